// SPDX-License-Identifier: MIT
#include "explain/SourceMap.h"

#include <iterator>

namespace varnow {
namespace {

// Pieces a chunk holds at most before it is halved: inserting into a chunk moves up to this
// many pieces, finding a place walks the chunks.
constexpr std::size_t kChunkPieces = 256;

// A chunk's pieces, with room for all it may hold before it is halved taken at once: grown
// by doubling instead, and never shrunk by halving, a chunk held up to four times the room
// its pieces need.
std::vector<SourceMap::Piece> ChunkRoom() {
  std::vector<SourceMap::Piece> pieces;
  pieces.reserve(kChunkPieces + 1);
  return pieces;
}

}  // namespace

SourceMap::SourceMap(Pos length) {
  Reset(length);
}

void SourceMap::Reset(Pos length) {
  chunks_.assign(1, Chunk{ChunkRoom(), 0});
  hintChunk_ = 0;
  hintStart_ = 0;
  length_ = 0;
  originalLength_ = 0;
  Extend(length);
}

void SourceMap::Extend(Pos length) {
  if (length <= 0) {
    return;
  }
  Chunk& last = chunks_.back();
  last.pieces.push_back(Piece::Original(length, originalLength_));
  last.length += length;
  length_ += length;
  originalLength_ += length;
  Rebalance(chunks_.size() - 1);
}

SourceMap::Place SourceMap::SplitAt(Pos offset) {
  const bool fromHint = hintChunk_ < chunks_.size() && offset >= hintStart_;
  Pos before = fromHint ? hintStart_ : 0;
  for (std::size_t c = fromHint ? hintChunk_ : 0; c < chunks_.size(); ++c) {
    Chunk& chunk = chunks_[c];
    if (offset > before + chunk.length ||
        (offset == before + chunk.length && c + 1 < chunks_.size())) {
      before += chunk.length;
      continue;
    }
    const Pos chunkStart = before;
    for (std::size_t i = 0; i < chunk.pieces.size(); ++i) {
      Piece& piece = chunk.pieces[i];
      if (offset == before) {
        return {c, i, chunkStart};
      }
      if (offset < before + piece.length) {
        // Cut the piece in two at `offset`.
        const Pos head = offset - before;
        const Piece tail = piece.Without(head);
        piece.length = head;
        chunk.pieces.insert(chunk.pieces.begin() + static_cast<std::ptrdiff_t>(i) + 1, tail);
        // Halved when full; the piece may then be in the second half.
        const std::size_t half = chunk.pieces.size() / 2;
        if (chunk.pieces.size() > kChunkPieces) {
          Rebalance(c);
          if (i + 1 >= half) {
            return {c + 1, i + 1 - half, chunkStart + chunks_[c].length};
          }
        }
        return {c, i + 1, chunkStart};
      }
      before += piece.length;
    }
    return {c, chunk.pieces.size(), chunkStart};
  }
  return {chunks_.size() - 1, chunks_.back().pieces.size(), length_ - chunks_.back().length};
}

void SourceMap::Rebalance(std::size_t c) {
  if (chunks_[c].pieces.size() <= kChunkPieces) {
    return;
  }
  Chunk tail{ChunkRoom(), 0};
  auto& pieces = chunks_[c].pieces;
  const auto middle = pieces.begin() + static_cast<std::ptrdiff_t>(pieces.size() / 2);
  tail.pieces.insert(tail.pieces.end(), middle, pieces.end());
  pieces.erase(middle, pieces.end());
  for (const Piece& p : tail.pieces) {
    tail.length += p.length;
  }
  chunks_[c].length -= tail.length;
  chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(c) + 1, std::move(tail));
}

void SourceMap::Delete(Pos offset, Pos count, MostlyOne<Removed>& removed) {
  if (count <= 0) {
    return;
  }
  SplitAt(offset + count);
  const Place place = SplitAt(offset);
  std::size_t c = place.chunk;
  std::size_t i = place.piece;
  Pos left = count;
  while (left > 0 && c < chunks_.size()) {
    Chunk& chunk = chunks_[c];
    std::size_t end = i;
    while (end < chunk.pieces.size() && left > 0) {
      const Piece& piece = chunk.pieces[end];
      if (!piece.IsInserted()) {
        // Neighbouring original ranges are one removal.
        if (!removed.empty() && removed.back().source + removed.back().length == piece.Source()) {
          removed.back().length += piece.length;
        } else {
          removed.push_back({piece.Source(), piece.length});
        }
      }
      left -= piece.length;
      chunk.length -= piece.length;
      length_ -= piece.length;
      ++end;
    }
    chunk.pieces.erase(chunk.pieces.begin() + static_cast<std::ptrdiff_t>(i),
                       chunk.pieces.begin() + static_cast<std::ptrdiff_t>(end));
    if (chunk.pieces.empty() && chunks_.size() > 1) {
      chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(c));
    } else {
      ++c;
    }
    i = 0;
  }
  // The chunk the deletion began in still begins where it did (or, emptied and gone, the
  // next one begins there now).
  hintChunk_ = place.chunk < chunks_.size() ? place.chunk : 0;
  hintStart_ = place.chunk < chunks_.size() ? place.chunkStart : 0;
}

Pos SourceMap::Insert(Pos offset, Pos length, Pos inserted) {
  const Place place = SplitAt(offset);
  // The original offset this text stands before: that of the next original piece.
  Pos before = originalLength_;
  bool found = false;
  for (std::size_t k = place.chunk, j = place.piece; k < chunks_.size() && !found; ++k, j = 0) {
    const auto& pieces = chunks_[k].pieces;
    for (; j < pieces.size() && !found; ++j) {
      if (!pieces[j].IsInserted()) {
        before = pieces[j].Source();
        found = true;
      }
    }
  }
  if (length > 0) {
    Chunk& chunk = chunks_[place.chunk];
    chunk.pieces.insert(chunk.pieces.begin() + static_cast<std::ptrdiff_t>(place.piece),
                        Piece::Inserted(length, inserted));
    chunk.length += length;
    length_ += length;
    Rebalance(place.chunk);  // the first half keeps the chunk's place and start
  }
  hintChunk_ = place.chunk;
  hintStart_ = place.chunkStart;
  return before;
}

std::vector<SourceMap::Piece> SourceMap::TakePieces() {
  std::size_t count = 0;
  for (const Chunk& chunk : chunks_) {
    count += chunk.pieces.size();
  }
  std::vector<Piece> all;
  all.reserve(count);
  for (Chunk& chunk : chunks_) {
    for (const Piece& piece : chunk.pieces) {
      if (piece.length > 0) {
        all.push_back(piece);
      }
    }
    std::vector<Piece>().swap(chunk.pieces);
  }
  chunks_.clear();
  return all;
}

}  // namespace varnow
