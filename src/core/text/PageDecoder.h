// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/SystemDecoder.h"
#include "text/PageEncoding.h"

namespace varnow {

// Reads a page's bytes as characters of its encoding, one at a time, so that whoever shows
// them knows which bytes each character came from. The system's decoder reads; UTF-8 is read
// directly, and an encoding of one byte a character through a table the system fills once. Bytes
// that do not decode read as U+FFFD, one for each byte (each unit of UTF-16): nothing is dropped.
class PageDecoder {
 public:
  explicit PageDecoder(PageEncoding encoding);
  ~PageDecoder();
  PageDecoder(const PageDecoder&) = delete;
  PageDecoder& operator=(const PageDecoder&) = delete;

  const PageEncoding& Encoding() const { return encoding_; }
  // Whether every byte is one character, so that byte offsets are character columns.
  bool OneBytePerCharacter() const { return kind_ == Kind::kTable; }

  // Starts reading afresh (at the start of a line): an encoding that shifts between character
  // sets starts in its first.
  void Restart();
  // The character at `at`, and `at` moved past it; nothing when the bytes end first (with only
  // a shift between character sets left).
  std::optional<char32_t> Next(std::string_view bytes, std::size_t& at);

  // The bytes as UTF-8 text.
  std::string ToUtf8(std::string_view bytes);
  // How many characters the bytes hold.
  std::size_t CountCharacters(std::string_view bytes);
  // About as many, without decoding: exact for one byte a character and for valid UTF-8, never
  // more than the bytes' units otherwise. For a width to scroll through, not for a column.
  std::size_t CharactersAbout(std::string_view bytes) const;

 private:
  enum class Kind { kUtf8, kTable, kSystem };
  std::optional<char32_t> NextBySystem(std::string_view bytes, std::size_t& at);

  PageEncoding encoding_;
  Kind kind_ = Kind::kUtf8;
  std::unique_ptr<SystemDecoder> system_;  // open for kSystem
  std::array<char32_t, 256> table_{};
};

}  // namespace varnow
