// SPDX-License-Identifier: MIT
#include "explain/ExplainPage.h"

#include <algorithm>
#include <cstdint>

#include "cleaning/CleaningContext.h"
#include "platform/MemoryReuse.h"

namespace varnow {
namespace {

// Where each change shows in the result: its first inserted piece, or else the place of the
// first byte it removed, right after the last original byte kept before it.
std::vector<Pos> ResultPlaces(const PageExplanation& e) {
  std::vector<Pos> at(e.changes.size(), -1);
  Pos offset = 0;
  for (const SourceMap::Piece& piece : e.pieces) {
    if (piece.IsInserted()) {
      const auto change = static_cast<std::size_t>(e.ChangeOf(piece));
      if (change < at.size() && at[change] < 0) {
        at[change] = offset;
      }
    }
    offset += piece.length;
  }
  // The changes that only removed, by the first byte they removed, walked once beside the
  // kept pieces (which stand in the original's order); an index of them is a quarter of the
  // room a table of the kept pieces' places would take.
  std::vector<std::uint32_t> removers;
  for (std::size_t i = 0; i < at.size(); ++i) {
    if (at[i] < 0 && !e.changes[i].removed.empty()) {
      removers.push_back(static_cast<std::uint32_t>(i));
    } else {
      at[i] = std::max<Pos>(at[i], 0);
    }
  }
  const auto removedAt = [&e](std::uint32_t i) { return e.changes[i].removed.front().source; };
  std::sort(removers.begin(), removers.end(),
            [&](std::uint32_t a, std::uint32_t b) { return removedAt(a) < removedAt(b); });
  std::size_t next = 0;
  offset = 0;
  Pos afterKept = 0;  // the result offset right after the last kept piece passed
  for (const std::uint32_t i : removers) {
    for (; next < e.pieces.size(); ++next) {
      const SourceMap::Piece& piece = e.pieces[next];
      if (!piece.IsInserted() && piece.Source() + piece.length > removedAt(i)) {
        break;
      }
      offset += piece.length;
      if (!piece.IsInserted()) {
        afterKept = offset;
      }
    }
    at[i] = afterKept;
  }
  return at;
}

// The bytes the pieces stand for, in order.
std::string JoinedPieces(std::string_view source, const PageExplanation& e) {
  Pos length = 0;
  for (const SourceMap::Piece& piece : e.pieces) {
    length += piece.length;
  }
  std::string joined;
  joined.reserve(static_cast<std::size_t>(length));
  for (const SourceMap::Piece& piece : e.pieces) {
    const std::string_view from = piece.IsInserted() ? std::string_view(e.insertedBytes) : source;
    joined.append(from.substr(
        static_cast<std::size_t>(piece.IsInserted() ? piece.InsertedAt() : piece.Source()),
        static_cast<std::size_t>(piece.length)));
  }
  return joined;
}

}  // namespace

PageExplanation ExplainPage(std::string_view source, std::string_view path,
                            const std::function<bool(ProcedureId)>& switchOn,
                            const BannerSlotReader& bannerSlot) {
  PageExplanation e;
  e.page = std::string(path);
  {
    RecordingDocument doc;
    // Appended, as a run loads a page, rather than assigned: the document then keeps its
    // blocks alone, not a flat copy of the page beside them, and the caller's bytes are not
    // copied.
    doc.Append(source);
    // The procedures run in order, each right after its switch is asked for and found on.
    const StopToken neverStop;
    CleaningContext ctx(doc, neverStop, [&](const LoggedChange& change) { doc.Logged(change); });
    RunProcedures(ctx, path, switchOn, bannerSlot);
    // Handed over, not copied: a page with millions of changes holds its record once.
    e.pieces = doc.TakePieces();
    e.changes = doc.TakeChanges();
    e.insertedBytes = doc.TakeInsertedBytes();
    e.insertionOwners = doc.TakeInsertionOwners();
  }
  // The result is put together from its pieces once the document is gone, and the document's
  // memory given back first: the page's text is never held three times (the page, the
  // document's blocks and the result).
  GiveFreedMemoryBack();
  e.result = JoinedPieces(source, e);
  e.resultAt = ResultPlaces(e);
  return e;
}

}  // namespace varnow
