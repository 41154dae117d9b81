// SPDX-License-Identifier: MIT
#include "discovery/CollectFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <set>
#include <string_view>
#include <utility>

#include "text/AsciiCase.h"

namespace varnow {
namespace {

using FolderId = std::pair<dev_t, ino_t>;

class DirectoryListing {
 public:
  explicit DirectoryListing(const std::string& path)
      : dir_(::opendir(path.c_str())), error_(dir_ == nullptr ? errno : 0) {}
  ~DirectoryListing() {
    if (dir_ != nullptr) {
      ::closedir(dir_);
    }
  }
  DirectoryListing(const DirectoryListing&) = delete;
  DirectoryListing& operator=(const DirectoryListing&) = delete;

  bool Open() const { return dir_ != nullptr; }
  int Fd() const { return ::dirfd(dir_); }
  // The next entry in the system's order; nullptr at the end, or on a read error (Error()).
  const dirent* Next() {
    errno = 0;
    const dirent* entry = ::readdir(dir_);
    if (entry == nullptr) {
      error_ = errno;
    }
    return entry;
  }
  // The errno of the failed open or read, 0 if none.
  int Error() const { return error_; }

 private:
  DIR* dir_;
  int error_;
};

// One search: the folders entered so far, so that none is entered twice.
class Search {
 public:
  Search(std::vector<std::string>& fileList, const StopToken& stop, const SkipReport& onSkipped)
      : fileList_(fileList), stop_(stop), onSkipped_(onSkipped) {}

  void Collect(const std::string& path) {
    DirectoryListing listing(path);
    if (!listing.Open()) {
      Skip(path, listing.Error());
      return;
    }
    struct stat self {};
    if (::fstat(listing.Fd(), &self) != 0 || !entered_.insert({self.st_dev, self.st_ino}).second) {
      return;
    }
    const dirent* entry = listing.Next();
    while (entry != nullptr) {
      if (stop_.Stopped()) {
        break;
      }
      Pump();
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") {
        Pump();
        entry = listing.Next();
        if (stop_.Stopped()) {
          break;
        }
        continue;
      }
      struct stat st {};
      const bool known = Stat(listing.Fd(), *entry, st);
      if (!known && errno != ENOENT) {
        Skip(path + std::string(name), errno);
      }
      if (known && S_ISDIR(st.st_mode)) {
        Pump();
        if (stop_.Stopped()) {
          break;
        }
        if (!entered_.contains({st.st_dev, st.st_ino})) {
          std::string sub = path;
          sub += name;
          sub += '/';
          Collect(sub);
        }
      } else if (HasPageExtension(name) && known && S_ISREG(st.st_mode)) {
        // Only regular files: a FIFO or device of that name would block or never end loading.
        fileList_.push_back(path + std::string(name));
        if (stop_.Stopped()) {
          break;
        }
        Pump();
      }
      entry = listing.Next();
    }
    if (entry == nullptr && listing.Error() != 0) {
      Skip(path, listing.Error());
    }
  }

 private:
  // Tells of a folder (shown without its closing "/") or file the search could not go into.
  void Skip(std::string path, int err) {
    if (onSkipped_) {
      if (path.size() > 1 && path.back() == '/') {
        path.pop_back();
      }
      onSkipped_(path, FailureOf(err));
    }
  }

  // The entry's kind after following links. A broken link is known as nothing.
  static bool Stat(int dirFd, const dirent& entry, struct stat& st) {
    if (entry.d_type == DT_REG) {
      st.st_mode = S_IFREG;  // a plain file: no need to ask the system again
      return true;
    }
    return ::fstatat(dirFd, entry.d_name, &st, 0) == 0;
  }

  void Pump() { stop_.Poll(); }

  std::vector<std::string>& fileList_;
  const StopToken& stop_;
  const SkipReport& onSkipped_;
  std::set<FolderId> entered_;
};

}  // namespace

bool HasPageExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) {
    return false;
  }
  const std::string ext = AsciiUpper(name.substr(dot));
  return ext == ".HTM" || ext == ".HTML";
}

void CollectFiles(const std::string& path, std::vector<std::string>& fileList,
                  const StopToken& stop, const SkipReport& onSkipped) {
  Search(fileList, stop, onSkipped).Collect(path);
}

}  // namespace varnow
