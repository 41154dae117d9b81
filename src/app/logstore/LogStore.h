// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning/ProcedureId.h"
#include "platform/ScratchFile.h"

namespace varnow {

// The lines of the log pane, kept in a file without a name so that a run of any size costs the
// window no more memory than a few bytes per 64 lines and one row per page. Each line is kept as
// shown (UTF-8); a line that reports a change also keeps which change of which page it is, the
// page named by its path's own bytes, so that it can be opened. The file's records are those of
// LogRecord.h.
//
// The lock: mutex_ guards every member below it (the file only in that it is written and read
// under it). One thread (the run's) adds lines while others (the window's,
// a copy's) read them; every call takes the lock, a batch of lines under one hold (Appender),
// and ForEachText gives it up every kLinesPerHold lines. Index rules: checkpoints_[i] is the
// offset of line 64 i's record (never of a page name before it); pages_ is in line order, a
// row for each page whose change lines the store holds; size_ = flushed_ + pending_.size().
class LogStore {
 public:
  // The file lives in `folder` (made where missing); where no file can be made there nor in
  // the system's temporary folder, the lines are kept in memory.
  explicit LogStore(const std::filesystem::path& folder = DefaultFolder());
  ~LogStore();
  LogStore(const LogStore&) = delete;
  LogStore& operator=(const LogStore&) = delete;

  // $XDG_CACHE_HOME/varnow, else ~/.cache/varnow (%LOCALAPPDATA%\varnow on Windows): a disk,
  // where /tmp may be held in memory.
  static std::filesystem::path DefaultFolder();
  // Whether the lines are in a file (false: in memory, no folder could take one).
  bool InFile() const { return file_.IsOpen(); }

  void Clear();
  void Append(std::string_view utf8);
  // A line that reports the change of rank `rank` that `procedure` made to the page `page`
  // (its path's bytes as found), shown as `shownPage`, a space and `shownText` (UTF-8 both).
  void AppendChange(std::string_view page, std::string_view shownPage, std::string_view shownText,
                    std::size_t rank, ProcedureId procedure);

  // Many lines added under one hold of the store's lock.
  class Appender {
   public:
    explicit Appender(LogStore& store) : store_(store), lock_(store.mutex_) {}
    void AddChange(std::string_view page, std::string_view shownPage, std::string_view shownText,
                   std::size_t rank, ProcedureId procedure) {
      store_.AppendChangeLocked(page, shownPage, shownText, rank, procedure);
    }

   private:
    LogStore& store_;
    std::lock_guard<std::mutex> lock_;
  };

  std::size_t LineCount() const;
  // Grows by one with every Clear, so that a reader can tell a new log from a longer one.
  std::uint64_t Epoch() const;
  // The line with the most characters so far (its index, and how many).
  std::pair<std::size_t, std::size_t> Widest() const;

  struct Line {
    std::string text;  // UTF-8, as shown
    bool isChange = false;
    std::size_t rank = 0;
    ProcedureId procedure = ProcedureId::kScript;
  };
  // Lines `first` to `first + count`, fewer where the store ends earlier.
  std::vector<Line> Lines(std::size_t first, std::size_t count) const;
  std::string Text(std::size_t index) const;
  struct Change {
    std::string page;
    std::size_t rank;
    ProcedureId procedure;
  };
  std::optional<Change> ChangeAt(std::size_t index) const;
  // Calls `take` with each line from `first` to `last` (both included) in order, until it
  // returns false; the store is read a block at a time, never whole.
  void ForEachText(std::size_t first, std::size_t last,
                   const std::function<bool(std::string_view)>& take) const;

  // How much memory the store holds besides its file: the index and its two buffers.
  std::size_t IndexBytes() const;

 private:
  struct Record;  // one line as read back
  // A line of `kind` kept as the pieces of `stored`, back to back; `shownChars` more
  // characters than these are shown before them (the page's name a reader puts back).
  void AppendLocked(unsigned char kind, std::initializer_list<std::string_view> stored,
                    std::size_t shownChars, std::size_t rank, ProcedureId procedure);
  void AppendChangeLocked(std::string_view page, std::string_view shownPage,
                          std::string_view shownText, std::size_t rank, ProcedureId procedure);
  void Put(std::string_view bytes);
  void FlushLocked() const;
  // Bytes from `offset`, at least `size` of them unless the store ends first; valid until the
  // next read.
  std::string_view ReadLocked(std::uint64_t offset, std::size_t size) const;
  // The record at `offset`, the offset of the one after it.
  std::uint64_t ReadRecordLocked(std::uint64_t offset, Record& record) const;
  // The offset of line `index`'s record.
  std::uint64_t OffsetOfLocked(std::size_t index) const;
  // Line `index`, whose record is at or after `offset` (past any page's name), whole: a line
  // kept without its page's name gets it back, from the name read last in this scan of
  // `page`, else looked up. Returns the offset after it.
  struct PageOfScan {
    std::string name;
    bool known = false;
  };
  std::uint64_t ReadLineLocked(std::uint64_t offset, std::size_t index, Record& record,
                               PageOfScan& page) const;
  std::string PageNameLocked(std::uint64_t offset) const;

  mutable std::mutex mutex_;
  mutable ScratchFile file_;           // written as lines are flushed, which readers do too
  mutable std::string pending_;        // written and not yet in the file (all of it, in memory)
  mutable std::uint64_t flushed_ = 0;  // bytes in the file
  mutable std::size_t retryAt_ = 0;    // after a failed write: when to try again
  std::uint64_t size_ = 0;             // bytes written, flushed or not
  std::size_t lines_ = 0;
  std::uint64_t epoch_ = 0;
  std::vector<std::uint64_t> checkpoints_;  // the offset of every 64th line
  // One row per page whose changes the store holds: its first line and where its name is.
  struct PageRow {
    std::size_t firstLine;
    std::uint64_t nameOffset;
  };
  std::vector<PageRow> pages_;
  const PageRow* PageRowOfLocked(std::size_t index) const;  // the page of line `index`
  std::string lastPage_;  // the page of the last change line, to tell when a new one starts
  std::size_t lastPageChars_ = 0;       // its name's characters as shown
  bool lastPageShownAsItself_ = false;  // shown as its own bytes: its lines kept without it
  std::size_t widestLine_ = 0;
  std::size_t widestChars_ = 0;
  // The last block read from the file.
  mutable std::string cache_;
  mutable std::uint64_t cacheStart_ = 0;
};

}  // namespace varnow
