// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "messages/LoggedChange.h"
#include "platform/ScratchFile.h"
#include "platform/SystemFailure.h"
#include "text/LogEncoding.h"

namespace varnow {

class LogLineMaker;

// The changes of one page, from the moment they are made until the page is committed, kept as
// data: a change is its procedure, message, position and (for a banner) the marker its message
// names, the page's path kept once for them all. The first changes are kept in memory (and,
// where asked, their log.txt lines are made as they come, on the cleaning thread); past a cap
// the rest go to an unnamed file, so that a page with millions of changes holds no more memory
// than one with a few hundred thousand. Where no such file can be made, the changes stay in
// memory: none is ever lost.
class PageLines {
 public:
  // Bytes kept in memory before changes go to disk: most pages never get there.
  static constexpr std::size_t kMemoryCap = 4 * 1024 * 1024;
  // Changes handed over per piece.
  static constexpr std::size_t kPieceChanges = 4096;

  PageLines() = default;
  ~PageLines();
  PageLines(PageLines&& other) noexcept;
  PageLines& operator=(PageLines&& other) noexcept;
  PageLines(const PageLines&) = delete;
  PageLines& operator=(const PageLines&) = delete;

  // Forgets every change; the memory is kept for the next page.
  void Clear();
  // Where `maker` is set, each change's log.txt line is made by it as the change comes.
  void MakeLogLines(const LogLineMaker* maker) { maker_ = maker; }
  // Every change of one PageLines is made to the same page.
  void Add(const LoggedChange& change);
  std::size_t Count() const { return count_; }
  // What the changes hold in memory now.
  std::size_t MemoryBytes() const;
  // What their buffers hold allocated, used or not.
  std::size_t CapacityBytes() const;

  // Hands the changes over in order, a piece at a time: `first` is the rank of the piece's
  // first change; `converted` holds the piece's lines as log.txt holds them where they were
  // made as they came (else it is empty). The views are valid during the call.
  struct Piece {
    std::size_t first;
    std::span<const LoggedChange> changes;
    std::string_view converted;
  };
  using PieceSink = std::function<void(const Piece& piece)>;
  // Fails where the changes on disk cannot be read back.
  Failed ForEachPiece(const PieceSink& sink) const;

 private:
  // A change as kept in memory: its marker in names_.
  struct Kept {
    std::int64_t position;
    std::uint32_t nameAt;
    std::uint32_t nameLength;
    ProcedureId procedure;
    MessageId message;
  };
  // Puts a change past the cap on disk; false when no file can be made for it.
  bool ToDisk(const LoggedChange& change);
  void CloseDisk();

  std::string page_;
  // The page as log.txt names it and the space after it, in the log's encoding, where the
  // lines are made as they come.
  std::string pageStart_;
  std::vector<Kept> kept_;
  std::string names_;  // the markers of the kept changes; one repeated is kept once
  // The log.txt lines of the kept changes, and where those of each piece end.
  std::string converted_;
  std::vector<std::size_t> convertedEnds_;
  const LogLineMaker* maker_ = nullptr;
  std::size_t count_ = 0;
  // The changes past the cap: records of a head (DiskHead) and the marker's bytes.
  ScratchFile disk_;
  std::string diskBuffer_;
  std::size_t diskBytes_ = 0;
  bool diskFailed_ = false;  // a write failed: later changes wait in diskBuffer_
  bool noDisk_ = false;      // no file could be made: every change stays in memory
};

}  // namespace varnow
