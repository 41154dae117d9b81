// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/FileFacts.h"
#include "platform/SystemFailure.h"

// A folder's entries one at a time, as the system lists them: readdir on POSIX,
// FindFirstFileExW on Windows (names in UTF-8 there, paths past MAX_PATH through "\\?\").
namespace varnow {

// An entry's kind after following links: a regular file, a folder, anything else (a device,
// a FIFO), or nothing (a link that leads nowhere, or an entry gone since it was listed).
enum class EntryKind : std::uint8_t { kFile, kFolder, kOther, kNothing };

class FolderListing {
 public:
  // Opens `folder` (ending with its separator, "/" or "\"); Open() says whether it could.
  explicit FolderListing(const std::string& folder);
  ~FolderListing();
  FolderListing(const FolderListing&) = delete;
  FolderListing& operator=(const FolderListing&) = delete;

  bool Open() const;
  // The identity of the folder listed; nothing when the system cannot say.
  std::optional<FileIdentity> Identity() const;
  // The next entry's name ("." and ".." included where the system lists them); false at the
  // end, or on a read error (Error()).
  bool Next(std::string& name);
  // The kind of the entry last given by Next; `folder` is set for a folder. A failure to learn
  // it is `why`, with kNothing.
  EntryKind KindOfLast(FileIdentity& folder, Failed& why) const;
  // Why the open or a read failed; nothing if neither did.
  const Failed& Error() const;

 private:
  struct State;  // the platform's own
  std::unique_ptr<State> state_;
};

}  // namespace varnow
