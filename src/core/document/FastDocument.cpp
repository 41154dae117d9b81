// SPDX-License-Identifier: MIT
#include "document/FastDocument.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace varnow {

std::unique_ptr<Document> NewDocument() {
  return std::make_unique<FastDocument>();
}

FastDocument::FastDocument(std::size_t blockSize, VectorLevel vectors)
    : vectors_(vectors),
      text_(blockSize, vectors),
      slots_(kTrackedPatterns),
      nul_(std::string_view("\0", 1), vectors) {}

void FastDocument::ForgetAll() {
  pendingErase_ = {};
  for (Slot& slot : slots_) {
    slot.pattern.reset();
  }
  nul_ = TrackedPattern(std::string_view("\0", 1), vectors_);
  noNul_ = false;
  MeasureWidest();
  noTagEndFrom_ = text_.Length() + 1;
}

void FastDocument::Assign(std::string bytes) {
  text_.Assign(std::move(bytes));
  ForgetAll();
}

void FastDocument::Append(std::string_view bytes) {
  Insert(bytes, Length() + 1);
}

void FastDocument::Clear() {
  text_.Clear();
  ForgetAll();
}

namespace {

// Eight bytes of a pattern, its first four and its last four (which meet or overlap up to
// eight bytes), or all of a shorter one: two patterns of the same size up to eight bytes have
// the same key exactly when they are the same.
std::uint64_t KeyOf(std::string_view pattern) {
  const char* bytes = pattern.data();
  const std::size_t size = pattern.size();
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  if (size >= 4) {
    std::memcpy(&first, bytes, 4);
    std::memcpy(&last, bytes + size - 4, 4);
  } else {
    for (std::size_t i = 0; i < size; ++i) {
      first |= std::uint32_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
    }
  }
  return std::uint64_t{last} << 32 | first;
}

}  // namespace

TrackedPattern& FastDocument::Track(std::string_view pattern) {
  const std::uint64_t key = KeyOf(pattern);
  // A procedure asks for the same pattern several times in a row.
  if (Slot& last = slots_[lastSlot_]; last.Holds(key, pattern)) {
    last.lastUse = clock_;
    return *last.pattern;
  }
  Slot* free = nullptr;
  Slot* oldest = nullptr;
  for (Slot& slot : slots_) {
    if (!slot.pattern) {
      free = &slot;
    } else if (slot.Holds(key, pattern)) {
      slot.lastUse = clock_;
      lastSlot_ = static_cast<std::size_t>(&slot - slots_.data());
      return *slot.pattern;
    } else if (oldest == nullptr || slot.lastUse < oldest->lastUse) {
      oldest = &slot;
    }
  }
  Slot& slot = free != nullptr ? *free : *oldest;
  lastSlot_ = static_cast<std::size_t>(&slot - slots_.data());
  slot.pattern = std::make_unique<TrackedPattern>(pattern, vectors_);
  slot.key = key;
  slot.size = pattern.size();
  MeasureWidest();
  // A new pattern is newer than every other, even when no edit came between them: searches
  // that change nothing must not give up the pattern asked for just before.
  slot.lastUse = ++clock_;
  return *slot.pattern;
}

Pos FastDocument::FirstNul() {
  if (noNul_) {
    return Length() + 1;
  }
  const Pos at = nul_.First(text_, Length() + 1);
  if (at == 0) {
    noNul_ = true;
    return Length() + 1;
  }
  return at;
}

void FastDocument::SettleErase() {
  if (pendingErase_.count > 0) {
    const PendingErase erase = pendingErase_;
    pendingErase_ = {};
    text_.Erase(erase.at, erase.count);
    AfterEdit(erase.at, erase.count, {});
  }
}

Pos FastDocument::FindPattern(std::string_view pattern) {
  SettleErase();
  if (pattern.empty() || Length() == 0) {
    return 0;
  }
  return Track(pattern).First(text_, Length() + 1);
}

bool FastDocument::PatternRemains(std::string_view pattern) {
  // The text and the pattern are read as NUL-terminated strings. A pattern without NUL never
  // matches across one, so it remains exactly when it first occurs before the first NUL.
  SettleErase();
  const std::string_view needle = pattern.substr(0, pattern.find('\0'));
  if (needle.empty() || Length() == 0) {
    return false;
  }
  const Pos limit = FirstNul();
  return Track(needle).First(text_, limit) != 0;
}

Pos FastDocument::FindTagEnd(Pos start) {
  SettleErase();
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

void FastDocument::AfterEdit(Pos at, Pos removed, std::string_view inserted) {
  const Pos newLength = Length();
  const auto count = static_cast<Pos>(inserted.size());
  EditSeams seams;
  // Long insertions (a file loaded piece by piece) are simply searched.
  constexpr std::size_t kPairedInsertion = 256;
  const bool longInsertion = inserted.size() > kPairedInsertion;
  if (!longInsertion) {
    seams.SetInserted(inserted);
  }
  if (at > 1 && at <= newLength) {
    seams.AddPair(text_.ByteAt(at - 1), text_.ByteAt(at));
  }
  if (count > 0 && at + count <= newLength) {
    seams.AddPair(inserted.back(), text_.ByteAt(at + count));
  }

  // The window is read once, for the first pattern that needs it, as wide as the longest
  // pattern tracked; most edits need it for none.
  EditWindow window;
  bool windowRead = false;
  auto update = [&](TrackedPattern& pattern) {
    if (!pattern.Touches(at)) {
      return;
    }
    const EditWindow* seen = nullptr;
    if (longInsertion || pattern.MayMatchAcross(seams)) {
      if (!windowRead) {
        const Pos first = std::max<Pos>(at - widest_ + 1, 1);
        const Pos last = std::min(newLength, at + count + widest_ - 2);
        window = {first, text_.Window(first, last - first + 1, window_)};
        windowRead = true;
      }
      seen = &window;
    }
    pattern.AfterReplace(at, removed, count, newLength, seen);
  };
  if (!noNul_) {
    update(nul_);
  } else if (inserted.find('\0') != std::string_view::npos) {
    // The first NUL is somewhere in the new bytes: found again when next asked for.
    noNul_ = false;
    nul_ = TrackedPattern(std::string_view("\0", 1), vectors_);
  }
  bool forgot = false;
  for (Slot& slot : slots_) {
    if (!slot.pattern) {
      continue;
    }
    if (clock_ - slot.lastUse > kIdleTicks) {
      slot.pattern.reset();
      forgot = true;
    } else {
      update(*slot.pattern);
    }
  }
  if (forgot) {
    MeasureWidest();
  }
}

void FastDocument::MeasureWidest() {
  widest_ = nul_.Size();
  for (const Slot& slot : slots_) {
    if (slot.pattern) {
      widest_ = std::max(widest_, slot.pattern->Size());
    }
  }
}

void FastDocument::Delete(Pos index, Pos count) {
  const Pos length = Length();
  if (index < 1 || index > length || count <= 0) {
    return;
  }
  count = std::min(count, length - index + 1);
  edited_.removed += static_cast<std::uint64_t>(count);
  SettleErase();
  ++clock_;
  // A tag is often replaced: deleted, then a shorter text inserted in its place. The deletion
  // is made only when the next step is known, so that a replacement moves the bytes once and
  // costs the tracked patterns one look instead of two.
  pendingErase_ = {index, count};
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
  edited_.inserted += text.size();
  Pos removed = 0;
  if (pendingErase_.count > 0 && pendingErase_.at == at) {
    removed = pendingErase_.count;
    pendingErase_ = {};
  } else {
    SettleErase();
  }
  if (removed > 0) {
    text_.Replace(at, removed, text);
  } else {
    text_.Insert(at, text);
  }
  ++clock_;
  AfterEdit(at, removed, text);
  if (noTagEndFrom_ >= at) {
    noTagEndFrom_ += count;
  } else if (const auto gt = text.rfind('>'); gt != std::string_view::npos) {
    noTagEndFrom_ = at + static_cast<Pos>(gt) + 1;
  }
}

}  // namespace varnow
