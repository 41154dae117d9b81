// SPDX-License-Identifier: MIT
#include "batch/RunManifest.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "files/ReplaceFile.h"
#include "platform/PathSyntax.h"
#include "text/Fnv1a.h"

namespace varnow {
namespace {

// Reads the fields of a stored manifest from left to right; any fault sets failed_ for good.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  bool Failed() const { return failed_; }
  std::size_t Offset() const { return at_; }
  bool AtEnd() const { return at_ == text_.size(); }
  bool StartsWith(std::string_view word) const { return text_.substr(at_).starts_with(word); }

  template <typename Number>
  Number Read(char after, int base = 10) {
    Number n{};
    const char* begin = text_.data() + at_;
    const char* end = text_.data() + text_.size();
    const auto [stop, error] = std::from_chars(begin, end, n, base);
    if (failed_ || error != std::errc{} || stop == begin || stop == end || *stop != after) {
      failed_ = true;
      return {};
    }
    at_ = static_cast<std::size_t>(stop - text_.data()) + 1;
    return n;
  }
  std::string_view Bytes(std::size_t length, char after) {
    if (failed_ || text_.size() - at_ <= length || text_[at_ + length] != after) {
      failed_ = true;
      return {};
    }
    const std::string_view bytes = text_.substr(at_, length);
    at_ += length + 1;
    return bytes;
  }
  void Word(std::string_view word) {
    if (!failed_ && StartsWith(word)) {
      at_ += word.size();
    } else {
      failed_ = true;
    }
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  bool failed_ = false;
};

void AppendNumber(std::string& out, std::int64_t n) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, n);
  out.append(digits, end);
}

void AppendNumber(std::string& out, std::uint64_t n) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, n);
  out.append(digits, end);
}

void AppendHex(std::string& out, std::uint64_t n) {
  static constexpr char kDigits[] = "0123456789abcdef";
  for (int shift = 60; shift >= 0; shift -= 4) {
    out += kDigits[(n >> shift) & 0xFU];
  }
}

}  // namespace

bool ManifestRecord::Matches(const FileFacts& source, const FileFacts& copy) const {
  return source.size == sourceSize && source.modified == sourceModified &&
         source.changed == sourceChanged && copy.size == copySize && copy.modified == copyModified;
}

ManifestRecord RecordOf(const FileFacts& source, std::uint64_t settings, const FileFacts& copy) {
  return {source.size, source.modified, source.changed, settings, copy.size, copy.modified};
}

std::optional<RunManifest> RunManifest::Parse(std::string_view bytes) {
  FieldReader in(bytes);
  in.Word(kFirstLine);
  in.Word("\n");
  RunManifest manifest;
  // About a record a line: no rehash as they are read.
  manifest.Reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
  while (!in.Failed() && !in.StartsWith("end ")) {
    ManifestRecord r;
    r.sourceSize = in.Read<std::uint64_t>(' ');
    r.sourceModified = in.Read<std::int64_t>(' ');
    r.sourceChanged = in.Read<std::int64_t>(' ');
    r.settings = in.Read<std::uint64_t>(' ', 16);
    r.copySize = in.Read<std::uint64_t>(' ');
    r.copyModified = in.Read<std::int64_t>(' ');
    const std::string_view page = in.Bytes(in.Read<std::size_t>(' '), '\n');
    if (in.Failed()) {
      break;
    }
    if (manifest.Find(page) != nullptr) {
      return std::nullopt;  // a page twice: not a manifest this program wrote
    }
    manifest.Put(page, r);
  }
  const std::size_t checked = in.Offset();
  in.Word("end ");
  const auto count = in.Read<std::size_t>(' ');
  const auto check = in.Read<std::uint64_t>('\n', 16);
  if (in.Failed() || !in.AtEnd() || count != manifest.Size() ||
      check != Fnv1a64Of(bytes.substr(0, checked))) {
    return std::nullopt;
  }
  return manifest;
}

std::string RunManifest::Serialized() const {
  std::string out(kFirstLine);
  out += '\n';
  const auto field = [&out](auto n) {  // a number with the space after it
    AppendNumber(out, n);
    out += ' ';
  };
  for (const auto& [page, r] : entries_) {
    field(r.sourceSize);
    field(r.sourceModified);
    field(r.sourceChanged);
    AppendHex(out, r.settings);
    out += ' ';
    field(r.copySize);
    field(r.copyModified);
    field(static_cast<std::uint64_t>(page.size()));
    out += page;
    out += '\n';
  }
  const std::uint64_t check = Fnv1a64Of(out);
  out += "end ";
  AppendNumber(out, static_cast<std::uint64_t>(entries_.size()));
  out += ' ';
  AppendHex(out, check);
  out += '\n';
  return out;
}

const ManifestRecord* RunManifest::Find(std::string_view page) const {
  const auto found = index_.find(page);
  return found == index_.end() ? nullptr : &entries_[found->second].second;
}

void RunManifest::Put(std::string_view page, const ManifestRecord& record) {
  if (const auto found = index_.find(page); found != index_.end()) {
    entries_[found->second].second = record;
    return;
  }
  entries_.emplace_back(std::string(page), record);
  index_.emplace(entries_.back().first, entries_.size() - 1);
}

ManifestRead ReadManifest(const std::string& path) {
  ManifestRead read;
  ReadOnlyFile file;
  if (const Failed failed = file.Open(path)) {
    if (failed->cause != FailureCause::kNotFound) {
      read.problem = MakeError(ErrorId::kCannotOpen, {path}, *failed);
    }
    return read;
  }
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(file.Facts().size));
  std::size_t at = 0;
  for (;;) {
    if (at == bytes.size()) {
      bytes.resize(bytes.size() + 4096);  // grown since it was opened
    }
    std::size_t got = 0;
    if (const Failed failed = file.Read(bytes.data() + at, bytes.size() - at, got)) {
      read.problem = MakeError(ErrorId::kCannotRead, {path}, *failed);
      return read;
    }
    if (got == 0) {
      break;
    }
    at += got;
  }
  bytes.resize(at);
  if (std::optional<RunManifest> manifest = RunManifest::Parse(bytes)) {
    read.manifest = std::move(*manifest);
  } else {
    read.problem = MakeError(ErrorId::kCannotRead, {path}, MakeError(ErrorId::kDamaged, {}));
  }
  return read;
}

std::optional<ErrorText> WriteManifest(const std::string& path, const RunManifest& manifest) {
  if (const std::optional<FileWriteError> failed =
          TryReplaceFileContents(PathOf(path), manifest.Serialized())) {
    return MakeError(failed->stage == FileWriteError::Stage::kWrite ? ErrorId::kWriteError
                                                                    : ErrorId::kCannotCreate,
                     {path}, failed->failure);
  }
  return std::nullopt;
}

}  // namespace varnow
