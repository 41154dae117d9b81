// SPDX-License-Identifier: MIT
#include "discovery/CollectFiles.h"

#include <set>
#include <string_view>

#include "platform/FolderListing.h"
#include "text/AsciiCase.h"

namespace varnow {
namespace {

// One search: the folders entered so far, so that none is entered twice.
class Search {
 public:
  Search(std::vector<std::string>& fileList, const StopToken& stop, const SkipReport& onSkipped)
      : fileList_(fileList), stop_(stop), onSkipped_(onSkipped) {}

  // `path` ends with its separator, which the paths below it take too.
  void Collect(const std::string& path) {
    const char separator = path.back();
    FolderListing listing(path);
    if (!listing.Open()) {
      Skip(path, *listing.Error());
      return;
    }
    const std::optional<FileIdentity> self = listing.Identity();
    if (!self || !entered_.insert(*self).second) {
      return;
    }
    std::string name;
    bool more = listing.Next(name);
    while (more) {
      if (stop_.Stopped()) {
        break;
      }
      Pump();
      if (name == "." || name == "..") {
        Pump();
        more = listing.Next(name);
        if (stop_.Stopped()) {
          break;
        }
        continue;
      }
      FileIdentity folder;
      Failed why;
      const EntryKind kind = listing.KindOfLast(folder, why);
      if (why) {
        Skip(path + name, *why);
      }
      if (kind == EntryKind::kFolder) {
        Pump();
        if (stop_.Stopped()) {
          break;
        }
        if (!entered_.contains(folder)) {
          std::string sub = path;
          sub += name;
          sub += separator;
          Collect(sub);
        }
      } else if (kind == EntryKind::kFile && HasPageExtension(name)) {
        // Only regular files: a FIFO or device of that name would block or never end loading.
        fileList_.push_back(path + name);
        if (stop_.Stopped()) {
          break;
        }
        Pump();
      }
      more = listing.Next(name);
    }
    if (!more && listing.Error()) {
      Skip(path, *listing.Error());
    }
  }

 private:
  // Tells of a folder (shown without its closing separator) or file the search could not go
  // into.
  void Skip(std::string path, const SystemFailure& why) {
    if (onSkipped_) {
      if (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) {
        path.pop_back();
      }
      onSkipped_(path, why);
    }
  }

  void Pump() { stop_.Poll(); }

  std::vector<std::string>& fileList_;
  const StopToken& stop_;
  const SkipReport& onSkipped_;
  std::set<FileIdentity> entered_;
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
