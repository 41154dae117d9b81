// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/PageShard.h"
#include "messages/ErrorTexts.h"

namespace varnow {

// A list of pages another tool made (find, a version control system, a build): one path a
// line, or NUL-separated as `find -print0` writes them. Empty entries are passed over; a line's
// CR before its LF is dropped, so a list written on Windows reads the same (a name that ends in
// CR needs the NUL-separated form).
std::vector<std::string> SplitPageList(std::string_view bytes, bool nulSeparated);

// The pages of `entries` below `folder`, in the list's order, each once, as the search would
// have written their paths: `folder` with one separator, then the path below it. A relative
// entry is taken relative to `folder` (as rsync takes its --files-from lines), an absolute one
// must lead into it; "." parts are dropped and ".." parts resolved by the text alone, as the
// search never climbs out of the folder either. An entry that is not below the folder, not
// named *.htm or *.html, missing, or not a regular file (links are followed) is told to
// `onRefused` with why, and left out. With `shard`, only the shard's pages are taken (and
// refused); an entry outside the folder, which belongs to no shard, is refused by shard 0 alone,
// so that N shards given one list tell it once.
using ListRefusal = std::function<void(const std::string& page, const ErrorText& why)>;
std::vector<std::string> ListedPages(const std::string& folder,
                                     const std::vector<std::string>& entries,
                                     const ListRefusal& onRefused,
                                     const PageShard* shard = nullptr);

}  // namespace varnow
