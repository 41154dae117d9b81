#pragma once

#include <string_view>

#include "cleaning/CleaningContext.h"

namespace varnow {

// Tag removal to '>': the first occurrence of `pattern` is deleted through the first '>' at or
// after it, logged with its position, and the host is pumped. No '>' after it: no change, no
// line, no pump. Returns whether the text changed.
bool RemoveTagToEnd(CleaningContext& ctx, std::string_view path, std::string_view pattern,
                    std::string_view message);

// Tag reduction: the same deletion, then the line, then `bareTag` inserted where the tag began,
// then the pump. Returns whether the text changed.
bool ReduceTag(CleaningContext& ctx, std::string_view path, std::string_view pattern,
               std::string_view bareTag, std::string_view message);

// Deletes the first occurrence of `pattern` (its own length, nothing more), logs it with its
// position and pumps. Returns whether it occurred.
bool RemoveExact(CleaningContext& ctx, std::string_view path, std::string_view pattern,
                 std::string_view message);

}  // namespace varnow
