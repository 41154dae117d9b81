// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "explain/CompactLists.h"

#include "document/Document.h"

namespace varnow {

// Where each byte of an edited text came from: a byte of the original (by its 0-based offset)
// or text inserted by an edit. The text is a list of pieces; editing splits and drops pieces
// and never copies bytes, so it costs the same for any page size. The pieces are kept in
// chunks of bounded length, so an edit at any place costs a walk over the chunks and one
// chunk, not the whole list.
class SourceMap {
 public:
  // A run of bytes of the text, two words: a page can end up as millions of pieces. The
  // change that inserted an inserted piece is not kept here but found from its offset
  // among all inserted bytes (see InsertionOwners).
  struct Piece {
    Pos length = 0;
    // At or above 0: the offset of its first byte in the original. Below 0: an inserted piece,
    // its first byte at -1 - from among all inserted bytes.
    Pos from = 0;

    static Piece Original(Pos length, Pos source) { return {length, source}; }
    static Piece Inserted(Pos length, Pos inserted) { return {length, -1 - inserted}; }
    bool IsInserted() const { return from < 0; }
    Pos Source() const { return from; }           // original pieces only
    Pos InsertedAt() const { return -1 - from; }  // inserted pieces only
    // The piece without its first `head` bytes.
    Piece Without(Pos head) const {
      return {length - head, IsInserted() ? from - head : from + head};
    }
  };

  // An original range removed by a deletion.
  struct Removed {
    Pos source = 0;
    Pos length = 0;  // never 0 in a removal kept
    bool operator==(const Removed&) const = default;
  };

  // The original text of `length` bytes, unedited.
  explicit SourceMap(Pos length = 0);
  void Reset(Pos length);
  // The original grows at its end (a file loaded block by block).
  void Extend(Pos length);

  Pos Length() const { return length_; }

  // Removes `count` bytes from the 0-based `offset` on (both already within the text) and
  // adds the original ranges among them to `removed`; inserted text that is removed again
  // leaves no trace.
  void Delete(Pos offset, Pos count, MostlyOne<Removed>& removed);
  // Inserts `length` bytes at the 0-based `offset` (at most Length()), the bytes from
  // `inserted` on of everything inserted; returns the original offset the insertion stands
  // before (the original's length at the very end).
  Pos Insert(Pos offset, Pos length, Pos inserted);

  // Every piece of some length in text order, handed over: the map is emptied as they are
  // taken, so that it is done with and they are never held twice.
  std::vector<Piece> TakePieces();

 private:
  struct Chunk {
    std::vector<Piece> pieces;
    Pos length = 0;
  };
  struct Place {
    std::size_t chunk = 0;
    std::size_t piece = 0;
    Pos chunkStart = 0;  // the text offset the chunk begins at
  };
  // Makes a piece start at `offset` (0 <= offset <= Length()) and gives its place; at
  // Length() the piece is one past the last piece of the last chunk.
  Place SplitAt(Pos offset);
  void Rebalance(std::size_t chunk);

  std::vector<Chunk> chunks_;
  // The chunk of the last edit and where it begins. An edit moves only the chunks after its
  // own, and the cleaning edits mostly go front to back: the search for the next place starts
  // here rather than at the first chunk.
  std::size_t hintChunk_ = 0;
  Pos hintStart_ = 0;
  Pos length_ = 0;
  Pos originalLength_ = 0;
};

}  // namespace varnow
