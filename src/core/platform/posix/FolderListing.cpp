// SPDX-License-Identifier: MIT
#include "platform/FolderListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace varnow {

struct FolderListing::State {
  DIR* dir = nullptr;
  const dirent* last = nullptr;
  Failed error;
};

FolderListing::FolderListing(const std::string& folder) : state_(std::make_unique<State>()) {
  state_->dir = ::opendir(folder.c_str());
  if (state_->dir == nullptr) {
    state_->error = FailureOf(errno);
  }
}

FolderListing::~FolderListing() {
  if (state_->dir != nullptr) {
    ::closedir(state_->dir);
  }
}

bool FolderListing::Open() const {
  return state_->dir != nullptr;
}

std::optional<FileIdentity> FolderListing::Identity() const {
  struct stat self {};
  if (::fstat(::dirfd(state_->dir), &self) != 0) {
    return std::nullopt;
  }
  return FileIdentity{static_cast<std::uint64_t>(self.st_dev),
                      static_cast<std::uint64_t>(self.st_ino)};
}

bool FolderListing::Next(std::string& name) {
  errno = 0;
  state_->last = ::readdir(state_->dir);
  if (state_->last == nullptr) {
    if (errno != 0) {
      state_->error = FailureOf(errno);
    }
    return false;
  }
  name = state_->last->d_name;
  return true;
}

EntryKind FolderListing::KindOfLast(FileIdentity& folder, Failed& why) const {
  const dirent& entry = *state_->last;
  if (entry.d_type == DT_REG) {
    return EntryKind::kFile;  // a plain file: no need to ask the system again
  }
  struct stat st {};
  if (::fstatat(::dirfd(state_->dir), entry.d_name, &st, 0) != 0) {
    if (errno != ENOENT) {
      why = FailureOf(errno);
    }
    return EntryKind::kNothing;
  }
  if (S_ISDIR(st.st_mode)) {
    folder = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return EntryKind::kFolder;
  }
  return S_ISREG(st.st_mode) ? EntryKind::kFile : EntryKind::kOther;
}

const Failed& FolderListing::Error() const {
  return state_->error;
}

}  // namespace varnow
