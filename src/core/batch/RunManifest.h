// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "messages/ErrorTexts.h"
#include "platform/FileFacts.h"

namespace varnow {

// What a run knew of a page when it wrote the page's copy: its source's size, time of last
// change of content (mtime) and of its entry (ctime, or Windows' ChangeTime), the settings that
// cleaned it, and the copy's size and mtime. A later run with the same record finds the page
// up to date without reading it: rsync's quick check (size and mtime) with ccache's guard
// (ctime, which a program that puts an old mtime back cannot put back).
struct ManifestRecord {
  std::uint64_t sourceSize = 0;
  std::int64_t sourceModified = 0;  // nanoseconds since 1970
  std::int64_t sourceChanged = 0;
  std::uint64_t settings = 0;  // the hash of the settings that cleaned it (SettingsHashMemo)
  std::uint64_t copySize = 0;
  std::int64_t copyModified = 0;
  bool operator==(const ManifestRecord&) const = default;

  // Whether `source` and `copy` stand as this record found them.
  bool Matches(const FileFacts& source, const FileFacts& copy) const;
};

// The record of a page written now.
ManifestRecord RecordOf(const FileFacts& source, std::uint64_t settings, const FileFacts& copy);

// The manifest a run leaves beside its log: a record for each page it wrote, or found up to
// date, keyed by the page's path below the searched folder (so that it holds wherever the tree
// is mounted). Its stored form is versioned text:
//
//   varnow-manifest 1
//   SIZE MTIME CTIME SETTINGS COPYSIZE COPYMTIME LENGTH PATH     (one line a page)
//   end COUNT CHECK
//
// numbers in decimal, SETTINGS in 16 hex digits, PATH the key's LENGTH bytes as they are (any
// byte, a line break too), CHECK the FNV-1a 64 hash of everything before "end" in 16 hex digits.
// A manifest that is not exactly this is not read at all: a run never trusts half of one.
class RunManifest {
 public:
  static constexpr std::string_view kFirstLine = "varnow-manifest 1";

  // Nothing when `bytes` is not a whole manifest of this version.
  static std::optional<RunManifest> Parse(std::string_view bytes);
  // The stored form, records in the order they were put (a run puts them in its pages' order).
  std::string Serialized() const;

  const ManifestRecord* Find(std::string_view page) const;
  void Put(std::string_view page, const ManifestRecord& record);
  std::size_t Size() const { return entries_.size(); }
  void Reserve(std::size_t pages) { index_.reserve(pages); }
  template <typename Visit>
  void ForEach(const Visit& visit) const {
    for (const auto& [page, record] : entries_) {
      visit(page, record);
    }
  }

 private:
  // The records in the order put; a deque, so that the keys the index views never move.
  std::deque<std::pair<std::string, ManifestRecord>> entries_;
  std::unordered_map<std::string_view, std::size_t> index_;  // key -> its place in entries_
};

// A manifest read from `path`: empty, with no problem, where there is none yet; empty, with
// what is wrong, where one is there but cannot be read or is damaged.
struct ManifestRead {
  RunManifest manifest;
  std::optional<ErrorText> problem;
};
ManifestRead ReadManifest(const std::string& path);

// Writes `manifest` as the file `path`, whole or not at all; says why not.
std::optional<ErrorText> WriteManifest(const std::string& path, const RunManifest& manifest);

}  // namespace varnow
