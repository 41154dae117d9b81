// SPDX-License-Identifier: MIT
#include "text/PageDecoder.h"

#include <algorithm>
#include <cerrno>

#include "platform/SystemDecoder.h"
#include "text/Cp1251.h"

namespace varnow {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

PageDecoder::PageDecoder(PageEncoding encoding) : encoding_(std::move(encoding)) {
  if (encoding_.name == "UTF-8") {
    return;
  }
  system_ = SystemDecoder::Open(encoding_.name);
  if (!system_) {
    return;  // not to be had here after all: read as UTF-8, what does not decode as U+FFFD
  }
  kind_ = Kind::kSystem;
  if (encoding_.unit != 1) {
    return;
  }
  // An encoding where every byte alone is a character (or not one at all) is read through a
  // table: each byte is a column, and nothing is asked of the system while the page is shown.
  for (int b = 0; b < 256; ++b) {
    system_->Restart();
    const char byte = static_cast<char>(b);
    const SystemDecoder::Step step = system_->Next(std::string_view(&byte, 1));
    if (step.outcome == SystemDecoder::Outcome::kCharacter && step.consumed == 1) {
      table_[static_cast<std::size_t>(b)] = step.character;
    } else if (step.outcome == SystemDecoder::Outcome::kInvalid) {
      table_[static_cast<std::size_t>(b)] = kReplacement;
    } else {
      return;  // a byte that begins a longer sequence, or a shift: read character by character
    }
  }
  kind_ = Kind::kTable;
  system_.reset();
}

PageDecoder::~PageDecoder() = default;

void PageDecoder::Restart() {
  if (system_) {
    system_->Restart();
  }
}

std::optional<char32_t> PageDecoder::Next(std::string_view bytes, std::size_t& at) {
  switch (kind_) {
    case Kind::kTable:
      return table_[static_cast<unsigned char>(bytes[at++])];
    case Kind::kUtf8:
      return NextCodePoint(bytes, at).value_or(kReplacement);
    case Kind::kSystem:
      break;
  }
  return NextBySystem(bytes, at);
}

std::optional<char32_t> PageDecoder::NextBySystem(std::string_view bytes, std::size_t& at) {
  const SystemDecoder::Step step = system_->Next(bytes.substr(at));
  at += step.consumed;
  switch (step.outcome) {
    case SystemDecoder::Outcome::kCharacter:
      return step.character;
    case SystemDecoder::Outcome::kShift:
      return std::nullopt;  // the bytes ended in a shift, with no character after it
    case SystemDecoder::Outcome::kInvalid:
    case SystemDecoder::Outcome::kIncomplete:
      break;
  }
  // Bytes that are no character here (or a character cut off at the end): one replacement for
  // one unit, and the reading goes on after it.
  at = std::min(bytes.size(), at + encoding_.unit);
  Restart();
  return kReplacement;
}

std::string PageDecoder::ToUtf8(std::string_view bytes) {
  if (kind_ == Kind::kUtf8 && IsValidUtf8(bytes)) {
    return std::string(bytes);
  }
  std::string text;
  text.reserve(bytes.size());
  Restart();
  for (std::size_t at = 0; at < bytes.size();) {
    if (const std::optional<char32_t> c = Next(bytes, at)) {
      AppendUtf8(text, *c);
    }
  }
  return text;
}

std::size_t PageDecoder::CharactersAbout(std::string_view bytes) const {
  switch (kind_) {
    case Kind::kTable:
      return bytes.size();
    case Kind::kUtf8:
      return static_cast<std::size_t>(std::count_if(bytes.begin(), bytes.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
      }));
    case Kind::kSystem:
      break;
  }
  return bytes.size() / encoding_.unit;
}

std::size_t PageDecoder::CountCharacters(std::string_view bytes) {
  if (kind_ == Kind::kTable) {
    return bytes.size();
  }
  std::size_t count = 0;
  Restart();
  for (std::size_t at = 0; at < bytes.size();) {
    count += Next(bytes, at) ? 1 : 0;
  }
  return count;
}

}  // namespace varnow
