// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning/ProcedureId.h"
#include "cleaning/ProcedureOrder.h"
#include "explain/RecordingDocument.h"

namespace varnow {

// A page cleaned again in memory, with each change placed in the page as it was.
struct PageExplanation {
  std::string page;      // the page's path, as the changes report it
  ChangeRecord changes;  // in the order logged
  std::string result;    // the cleaned bytes
  // The result piece by piece: original bytes, or bytes inserted by a change.
  std::vector<SourceMap::Piece> pieces;
  std::string insertedBytes;                    // what the inserted pieces point into
  std::vector<InsertionOwner> insertionOwners;  // which change put in which of those bytes
  // Per change, the offset in the result where it shows: its first inserted byte, or where
  // the bytes it removed stood.
  std::vector<Pos> resultAt;

  // The bytes an insertion put in.
  std::string_view Bytes(const RecordedChange::Insertion& i) const {
    return std::string_view(insertedBytes)
        .substr(static_cast<std::size_t>(i.at), static_cast<std::size_t>(i.length));
  }

  // The change that put in an inserted piece; -1 for none.
  std::int32_t ChangeOf(const SourceMap::Piece& inserted) const {
    return OwnerOfInserted(insertionOwners, inserted.InsertedAt());
  }

  // Change `i` as a run reports it.
  LoggedChange Reported(std::size_t i) const {
    const RecordedChange& c = changes[i];
    return {page, c.procedure, c.message, c.name, c.position};
  }
};

// Cleans `source` as a run cleans the page at `path`, with the switches and banner slots
// given, and records every change. Never stops and never pumps: a page is cleaned whole.
PageExplanation ExplainPage(std::string_view source, std::string_view path,
                            const std::function<bool(ProcedureId)>& switchOn,
                            const BannerSlotReader& bannerSlot);

}  // namespace varnow
