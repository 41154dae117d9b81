// SPDX-License-Identifier: MIT
#include "explain/ExplainPage.h"

#include <algorithm>

#include "cleaning/CleaningContext.h"

namespace varnow {
namespace {

// Where each change shows in the result: its first inserted piece, or else the place of the
// first byte it removed, right after the last original byte kept before it.
std::vector<Pos> ResultPlaces(const PageExplanation& e) {
  std::vector<Pos> at(e.changes.size(), -1);
  // For each kept piece: the original offset just past it, and the result offset there.
  std::vector<std::pair<Pos, Pos>> kept;
  kept.reserve(e.pieces.size());
  Pos offset = 0;
  for (const SourceMap::Piece& piece : e.pieces) {
    if (piece.source == SourceMap::kInserted) {
      const auto change = static_cast<std::size_t>(piece.change);
      if (change < at.size() && at[change] < 0) {
        at[change] = offset;
      }
    } else {
      kept.emplace_back(piece.source + piece.length, offset + piece.length);
    }
    offset += piece.length;
  }
  for (std::size_t i = 0; i < at.size(); ++i) {
    if (at[i] >= 0 || e.changes[i].removed.empty()) {
      at[i] = std::max<Pos>(at[i], 0);
      continue;
    }
    const Pos removedAt = e.changes[i].removed.front().source;
    const auto next =
        std::upper_bound(kept.begin(), kept.end(), std::make_pair(removedAt, Pos{-1}),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    at[i] = next == kept.begin() ? 0 : std::prev(next)->second;
  }
  return at;
}

}  // namespace

PageExplanation ExplainPage(std::string source, std::string_view path,
                            const std::function<bool(ProcedureId)>& switchOn,
                            const BannerSlotReader& bannerSlot) {
  RecordingDocument doc;
  doc.Assign(std::move(source));
  // The procedures run in order, each right after its switch is asked for and found on.
  const StopToken neverStop;
  CleaningContext ctx(doc, neverStop, [&](const LoggedChange& change) { doc.Logged(change); });
  RunProcedures(ctx, path, switchOn, bannerSlot);
  PageExplanation e;
  e.page = std::string(path);
  // Handed over, not copied: a page with millions of changes holds its record once.
  // Handed over, not copied: the document is done with, and its flat text is the result.
  e.result = doc.TakeText();
  e.pieces = doc.TakePieces();
  e.changes = doc.TakeChanges();
  e.insertedBytes = doc.TakeInsertedBytes();
  e.resultAt = ResultPlaces(e);
  return e;
}

}  // namespace varnow
