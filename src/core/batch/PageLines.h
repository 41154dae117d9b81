// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning/CleaningContext.h"
#include "text/LogEncoding.h"

namespace varnow {

// What a log line reports besides its text: the procedure that made the change and the position
// its message names.
struct ChangeFacts {
  Pos position;
  ProcedureId procedure;
};

// The log lines of one page, from the moment they are made until the page is committed. The
// first lines are kept in memory (and, where asked, converted for log.txt as they come, on the
// cleaning thread); past a cap the rest go to an unnamed file, so that a page with millions of
// changes holds no more memory than one with a few thousand. Where no such file can be made,
// the lines stay in memory: none is ever lost.
class PageLines {
 public:
  // Lines kept in memory before they go to disk: most pages never get there.
  static constexpr std::size_t kMemoryCap = 4 * 1024 * 1024;

  PageLines() = default;
  ~PageLines();
  PageLines(PageLines&& other) noexcept;
  PageLines& operator=(PageLines&& other) noexcept;
  PageLines(const PageLines&) = delete;
  PageLines& operator=(const PageLines&) = delete;

  // Forgets every line; the memory is kept for the next page.
  void Clear();
  // Whether each line is converted for log.txt as it comes, and to which encoding.
  void ConvertForLog(bool convert, LogEncoding encoding = LogEncoding::kCp1251) {
    convert_ = convert;
    encoding_ = encoding;
  }
  void Add(const LoggedChange& change);
  std::size_t Count() const { return count_; }
  // What the lines hold in memory now.
  std::size_t MemoryBytes() const;
  // What their buffers hold allocated, used or not.
  std::size_t CapacityBytes() const;

  // Hands the lines over in order, a piece at a time: `lines` back to back, each ending at the
  // next of `ends`, with its facts, and `converted`, those lines as log.txt holds them, where
  // they were converted already (else empty). `first` is the rank of the piece's first line.
  struct Piece {
    std::size_t first;
    std::string_view lines;
    const std::vector<std::size_t>& ends;
    const std::vector<ChangeFacts>& facts;
    std::string_view converted;
  };
  using PieceSink = std::function<void(const Piece& piece)>;
  // Returns 0, or the errno of a failed read of the lines on disk.
  int ForEachPiece(const PieceSink& sink) const;

 private:
  // Puts a line past the cap on disk; false when no file can be made for it.
  bool ToDisk(const LoggedChange& change);
  void CloseDisk();

  std::string bytes_;  // the lines in memory, back to back
  std::vector<std::size_t> ends_;
  std::vector<ChangeFacts> facts_;
  std::string converted_;
  bool convert_ = false;
  LogEncoding encoding_ = LogEncoding::kCp1251;
  std::size_t count_ = 0;
  // The lines past the cap: records of the line's length (4 bytes), its facts and its bytes.
  int disk_ = -1;
  std::string diskBuffer_;
  std::size_t diskBytes_ = 0;
  bool diskFailed_ = false;  // a write failed: later lines wait in diskBuffer_
  bool noDisk_ = false;      // no file could be made: every line stays in memory
};

}  // namespace varnow
