// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "cleaning/CleaningContext.h"

// The twelve cleaning procedures. Each edits ctx.Text() in place and reports every change as
// made to the page at `path`; `path` is used for nothing else.
namespace varnow {

void RemoveScriptBlocks(CleaningContext& ctx, std::string_view path);
void RemoveNoscriptBlocks(CleaningContext& ctx, std::string_view path);
void RemoveIframeBlocks(CleaningContext& ctx, std::string_view path);
void RemoveStyles(CleaningContext& ctx, std::string_view path);
void RemoveSpanTags(CleaningContext& ctx, std::string_view path);
void RemoveOnMouseOver(CleaningContext& ctx, std::string_view path);
void RemoveWordMarkup(CleaningContext& ctx, std::string_view path);
void SimplifyTableTags(CleaningContext& ctx, std::string_view path);
void SimplifyBodyTags(CleaningContext& ctx, std::string_view path);
void RemoveFontTags(CleaningContext& ctx, std::string_view path);
// `first` and `last` are the banner markers as stored (cp1251 bytes); the log shows them as
// typed, whatever their letter case in the document.
void RemoveBannerBlocks(CleaningContext& ctx, std::string_view path, std::string_view first,
                        std::string_view last);
void RemoveBlankTargets(CleaningContext& ctx, std::string_view path);

}  // namespace varnow
