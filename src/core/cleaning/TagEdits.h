// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "cleaning/CleaningContext.h"

namespace varnow {

// Tag removal to '>': the first occurrence of `pattern` is deleted through the first '>' at or
// after it, logged with its position, and the host is pumped. No '>' after it: no change, no
// line, no pump. Returns whether the text changed.
bool RemoveTagToEnd(CleaningContext& ctx, std::string_view path, std::string_view pattern,
                    MessageId message);

// Tag reduction: the same deletion, then the line, then `bareTag` inserted where the tag began,
// then the pump. Returns whether the text changed.
bool ReduceTag(CleaningContext& ctx, std::string_view path, std::string_view pattern,
               std::string_view bareTag, MessageId message);

// Deletes the first occurrence of `pattern` (its own length, nothing more), logs it with its
// position and pumps. Returns whether it occurred.
bool RemoveExact(CleaningContext& ctx, std::string_view path, std::string_view pattern,
                 MessageId message);

// An element's start and end tags go, the text between them stays. Each pass removes the first
// start tag (through its '>') and the first end tag, whether or not they belong together,
// polling Stop before it, while either remains; a pass that changes nothing (only a start tag
// with no '>' after it is left) ends the loop.
struct TagPair {
  std::string_view start;  // upper-case pattern of the start tag, up to its attributes
  MessageId startMessage;
  std::string_view end;  // upper-case pattern of the whole end tag
  MessageId endMessage;
};
void RemoveStartAndEndTags(CleaningContext& ctx, std::string_view path, const TagPair& tags);

}  // namespace varnow
