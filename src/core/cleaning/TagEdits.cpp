// SPDX-License-Identifier: MIT
#include "cleaning/TagEdits.h"

namespace varnow {

namespace {

// Deletes the first occurrence of `pattern` through the first '>' at or after it and gives the
// position it began at, or 0 (nothing deleted) when the pattern or the '>' is missing.
Pos DeleteTag(Document& doc, std::string_view pattern) {
  const Pos p = doc.FindPattern(pattern);
  if (p == 0) {
    return 0;
  }
  const Pos q = doc.FindTagEnd(p);
  if (q == 0) {
    return 0;
  }
  doc.Delete(p, q - p + 1);
  return p;
}

}  // namespace

bool RemoveTagToEnd(CleaningContext& ctx, std::string_view path, std::string_view pattern,
                    MessageId message) {
  const Pos p = DeleteTag(ctx.Text(), pattern);
  if (p == 0) {
    return false;
  }
  ctx.LogChange(path, message, p);
  ctx.PumpMessages();
  return true;
}

bool ReduceTag(CleaningContext& ctx, std::string_view path, std::string_view pattern,
               std::string_view bareTag, MessageId message) {
  const Pos p = DeleteTag(ctx.Text(), pattern);
  if (p == 0) {
    return false;
  }
  ctx.LogChange(path, message, p);
  ctx.Text().Insert(bareTag, p);
  ctx.PumpMessages();
  return true;
}

bool RemoveExact(CleaningContext& ctx, std::string_view path, std::string_view pattern,
                 MessageId message) {
  Document& doc = ctx.Text();
  const Pos p = doc.FindPattern(pattern);
  if (p == 0) {
    return false;
  }
  doc.Delete(p, static_cast<Pos>(pattern.size()));
  ctx.LogChange(path, message, p);
  ctx.PumpMessages();
  return true;
}

void RemoveStartAndEndTags(CleaningContext& ctx, std::string_view path, const TagPair& tags) {
  Document& doc = ctx.Text();
  do {
    if (ctx.StopFlag()) {
      return;
    }
    const bool opened = RemoveTagToEnd(ctx, path, tags.start, tags.startMessage);
    const bool closed = RemoveExact(ctx, path, tags.end, tags.endMessage);
    if (!opened && !closed) {
      return;
    }
  } while (doc.PatternRemains(tags.start) || doc.PatternRemains(tags.end));
}

}  // namespace varnow
