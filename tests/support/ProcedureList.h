// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "cleaning/ProcedureId.h"
#include "cleaning/Procedures.h"

namespace varnow::test {

// Every procedure as the differential and random-document tests call it on its own, by id; a
// row of the procedure table missing here fails ProcedureList.ListsEveryProcedureOfTheTable.
struct ListedProcedure {
  ProcedureId id;
  const char* name;
  void (*run)(CleaningContext&, std::string_view);  // null for the banner procedure (markers)
};

inline constexpr ListedProcedure kEachProcedure[] = {
    {ProcedureId::kScript, "RemoveScriptBlocks", RemoveScriptBlocks},
    {ProcedureId::kNoscript, "RemoveNoscriptBlocks", RemoveNoscriptBlocks},
    {ProcedureId::kIframe, "RemoveIframeBlocks", RemoveIframeBlocks},
    {ProcedureId::kStyle, "RemoveStyles", RemoveStyles},
    {ProcedureId::kSpan, "RemoveSpanTags", RemoveSpanTags},
    {ProcedureId::kOnMouseOver, "RemoveOnMouseOver", RemoveOnMouseOver},
    {ProcedureId::kMSWord, "RemoveWordMarkup", RemoveWordMarkup},
    {ProcedureId::kTable, "SimplifyTableTags", SimplifyTableTags},
    {ProcedureId::kBody, "SimplifyBodyTags", SimplifyBodyTags},
    {ProcedureId::kFont, "RemoveFontTags", RemoveFontTags},
    {ProcedureId::kBanner, "RemoveBannerBlocks", nullptr},
    {ProcedureId::kBlank, "RemoveBlankTargets", RemoveBlankTargets},
};

}  // namespace varnow::test
