#include "explain/SourceMap.h"

#include <iterator>

namespace varnow {
namespace {

// Pieces a chunk holds at most before it is halved: inserting into a chunk moves up to this
// many pieces, finding a place walks the chunks.
constexpr std::size_t kChunkPieces = 256;

}  // namespace

SourceMap::SourceMap(Pos length) {
  Reset(length);
}

void SourceMap::Reset(Pos length) {
  chunks_.assign(1, Chunk{});
  length_ = 0;
  originalLength_ = 0;
  Extend(length);
}

void SourceMap::Extend(Pos length) {
  if (length <= 0) {
    return;
  }
  Chunk& last = chunks_.back();
  last.pieces.push_back({length, originalLength_, 0, -1});
  last.length += length;
  length_ += length;
  originalLength_ += length;
  Rebalance(chunks_.size() - 1);
}

std::pair<std::size_t, std::size_t> SourceMap::SplitAt(Pos offset) {
  Pos before = 0;
  for (std::size_t c = 0; c < chunks_.size(); ++c) {
    Chunk& chunk = chunks_[c];
    if (offset > before + chunk.length ||
        (offset == before + chunk.length && c + 1 < chunks_.size())) {
      before += chunk.length;
      continue;
    }
    for (std::size_t i = 0; i < chunk.pieces.size(); ++i) {
      Piece& piece = chunk.pieces[i];
      if (offset == before) {
        return {c, i};
      }
      if (offset < before + piece.length) {
        // Cut the piece in two at `offset`.
        Piece tail = piece;
        const Pos head = offset - before;
        piece.length = head;
        tail.length -= head;
        if (tail.source != kInserted) {
          tail.source += head;
        } else {
          tail.inserted += head;
        }
        chunk.pieces.insert(chunk.pieces.begin() + static_cast<std::ptrdiff_t>(i) + 1, tail);
        return {c, i + 1};
      }
      before += piece.length;
    }
    return {c, chunk.pieces.size()};
  }
  return {chunks_.size() - 1, chunks_.back().pieces.size()};
}

void SourceMap::Rebalance(std::size_t c) {
  if (chunks_[c].pieces.size() <= kChunkPieces) {
    return;
  }
  Chunk tail;
  auto& pieces = chunks_[c].pieces;
  const auto middle = pieces.begin() + static_cast<std::ptrdiff_t>(pieces.size() / 2);
  tail.pieces.assign(middle, pieces.end());
  pieces.erase(middle, pieces.end());
  for (const Piece& p : tail.pieces) {
    tail.length += p.length;
  }
  chunks_[c].length -= tail.length;
  chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(c) + 1, std::move(tail));
}

void SourceMap::Delete(Pos offset, Pos count, std::vector<Removed>& removed) {
  if (count <= 0) {
    return;
  }
  SplitAt(offset + count);
  auto [c, i] = SplitAt(offset);
  Pos left = count;
  while (left > 0 && c < chunks_.size()) {
    Chunk& chunk = chunks_[c];
    std::size_t end = i;
    while (end < chunk.pieces.size() && left > 0) {
      const Piece& piece = chunk.pieces[end];
      if (piece.source != kInserted) {
        // Neighbouring original ranges are one removal.
        if (!removed.empty() && removed.back().source + removed.back().length == piece.source) {
          removed.back().length += piece.length;
        } else {
          removed.push_back({piece.source, piece.length});
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
}

Pos SourceMap::Insert(Pos offset, Pos length, Pos inserted, std::int32_t change) {
  auto [c, i] = SplitAt(offset);
  // The original offset this text stands before: that of the next original piece.
  Pos before = originalLength_;
  for (std::size_t k = c, j = i; k < chunks_.size(); ++k, j = 0) {
    const auto& pieces = chunks_[k].pieces;
    for (; j < pieces.size(); ++j) {
      if (pieces[j].source != kInserted) {
        before = pieces[j].source;
        k = chunks_.size() - 1;
        break;
      }
    }
  }
  if (length > 0) {
    Chunk& chunk = chunks_[c];
    chunk.pieces.insert(chunk.pieces.begin() + static_cast<std::ptrdiff_t>(i),
                        Piece{length, kInserted, inserted, change});
    chunk.length += length;
    length_ += length;
    Rebalance(c);
  }
  return before;
}

std::vector<SourceMap::Piece> SourceMap::Pieces() const {
  std::vector<Piece> all;
  for (const Chunk& chunk : chunks_) {
    for (const Piece& piece : chunk.pieces) {
      if (piece.length > 0) {
        all.push_back(piece);
      }
    }
  }
  return all;
}

}  // namespace varnow
