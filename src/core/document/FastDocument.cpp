#include "document/FastDocument.h"

#include <algorithm>

namespace varnow {

std::unique_ptr<Document> NewDocument() { return std::make_unique<FastDocument>(); }

FastDocument::FastDocument(std::size_t blockSize)
    : text_(blockSize), slots_(kTrackedPatterns), nul_(std::string_view("\0", 1)) {}

void FastDocument::ForgetAll() {
  for (Slot& slot : slots_) {
    slot.pattern.reset();
  }
  nul_ = TrackedPattern(std::string_view("\0", 1));
  noTagEndFrom_ = text_.Length() + 1;
}

void FastDocument::Assign(std::string bytes) {
  text_.Assign(std::move(bytes));
  ForgetAll();
}

void FastDocument::Append(std::string_view bytes) { Insert(bytes, Length() + 1); }

void FastDocument::Clear() {
  text_.Clear();
  ForgetAll();
}

TrackedPattern& FastDocument::Track(std::string_view pattern) {
  Slot* free = nullptr;
  Slot* oldest = nullptr;
  for (Slot& slot : slots_) {
    if (!slot.pattern) {
      free = &slot;
    } else if (slot.pattern->Pattern() == pattern) {
      slot.lastUse = edits_;
      return *slot.pattern;
    } else if (oldest == nullptr || slot.lastUse < oldest->lastUse) {
      oldest = &slot;
    }
  }
  Slot& slot = free != nullptr ? *free : *oldest;
  slot.pattern = std::make_unique<TrackedPattern>(pattern);
  slot.lastUse = edits_;
  return *slot.pattern;
}

Pos FastDocument::FirstNul() {
  const Pos at = nul_.First(text_, Length() + 1);
  return at == 0 ? Length() + 1 : at;
}

Pos FastDocument::FindPattern(std::string_view pattern) {
  if (pattern.empty() || Length() == 0) {
    return 0;
  }
  return Track(pattern).First(text_, Length() + 1);
}

bool FastDocument::PatternRemains(std::string_view pattern) {
  // The text and the pattern are read as NUL-terminated strings. A pattern without NUL never
  // matches across one, so it remains exactly when it first occurs before the first NUL.
  const std::string_view needle = pattern.substr(0, pattern.find('\0'));
  if (needle.empty() || Length() == 0) {
    return false;
  }
  const Pos limit = FirstNul();
  return Track(needle).First(text_, limit) != 0;
}

Pos FastDocument::FindTagEnd(Pos start) {
  const Pos from = std::max<Pos>(start, 1);
  if (from >= noTagEndFrom_) {
    return 0;
  }
  const Pos found = text_.FindByte('>', from, noTagEndFrom_ - 1);
  if (found == 0) {
    noTagEndFrom_ = from;
  }
  return found;
}

template <typename Update>
void FastDocument::AfterEdit(Pos at, Pos inserted, Update update) {
  Pos widest = nul_.Touches(at) ? 1 : 0;
  for (Slot& slot : slots_) {
    if (!slot.pattern) {
      continue;
    }
    if (edits_ - slot.lastUse > kIdleEdits) {
      slot.pattern.reset();
    } else if (slot.pattern->Touches(at)) {
      widest = std::max(widest, slot.pattern->Size());
    }
  }
  if (widest == 0) {
    return;
  }
  const Pos first = std::max<Pos>(at - widest + 1, 1);
  const Pos last = std::min(Length(), at + inserted + widest - 2);
  text_.CopyOut(first, last - first + 1, window_);
  const EditWindow window{first, window_};
  update(nul_, window);
  for (Slot& slot : slots_) {
    if (slot.pattern) {
      update(*slot.pattern, window);
    }
  }
}

void FastDocument::Delete(Pos index, Pos count) {
  const Pos length = Length();
  if (index < 1 || index > length || count <= 0) {
    return;
  }
  count = std::min(count, length - index + 1);
  text_.Erase(index, count);
  ++edits_;
  const Pos newLength = Length();
  AfterEdit(index, 0, [&](TrackedPattern& p, const EditWindow& w) {
    p.AfterErase(index, count, newLength, w);
  });
  // No '>' from noTagEndFrom_ on: the bytes that closed up behind the edit were past it too.
  if (noTagEndFrom_ > index) {
    noTagEndFrom_ = noTagEndFrom_ >= index + count ? noTagEndFrom_ - count : index;
  }
}

void FastDocument::Insert(std::string_view text, Pos index) {
  if (text.empty()) {
    return;
  }
  const Pos at = std::clamp<Pos>(index, 1, Length() + 1);
  const auto count = static_cast<Pos>(text.size());
  text_.Insert(at, text);
  ++edits_;
  const Pos newLength = Length();
  AfterEdit(at, count, [&](TrackedPattern& p, const EditWindow& w) {
    p.AfterInsert(at, count, newLength, w);
  });
  if (noTagEndFrom_ >= at) {
    noTagEndFrom_ += count;
  } else if (const auto gt = text.rfind('>'); gt != std::string_view::npos) {
    noTagEndFrom_ = at + static_cast<Pos>(gt) + 1;
  }
}

}  // namespace varnow
