#include "cleaning/TagEdits.h"

namespace varnow {

bool RemoveTagToEnd(CleaningContext& ctx, std::string_view path, std::string_view pattern,
                    std::string_view message) {
  Document& doc = ctx.DocText();
  const Pos p = doc.FindPattern(pattern);
  if (p == 0) {
    return false;
  }
  const Pos q = doc.FindTagEnd(p);
  if (q == 0) {
    return false;
  }
  doc.Delete(p, q - p + 1);
  ctx.LogChange(path, message, {p});
  ctx.PumpMessages();
  return true;
}

bool ReduceTag(CleaningContext& ctx, std::string_view path, std::string_view pattern,
               std::string_view bareTag, std::string_view message) {
  Document& doc = ctx.DocText();
  const Pos p = doc.FindPattern(pattern);
  if (p == 0) {
    return false;
  }
  const Pos q = doc.FindTagEnd(p);
  if (q == 0) {
    return false;
  }
  doc.Delete(p, q - p + 1);
  ctx.LogChange(path, message, {p});
  doc.Insert(bareTag, p);
  ctx.PumpMessages();
  return true;
}

bool RemoveExact(CleaningContext& ctx, std::string_view path, std::string_view pattern,
                 std::string_view message) {
  Document& doc = ctx.DocText();
  const Pos p = doc.FindPattern(pattern);
  if (p == 0) {
    return false;
  }
  doc.Delete(p, static_cast<Pos>(pattern.size()));
  ctx.LogChange(path, message, {p});
  ctx.PumpMessages();
  return true;
}

}  // namespace varnow
