// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// The system's own character decoder, for the encodings the program does not read by itself
// (all but UTF-8 and its windows-1251 table): iconv where the C library has it, the code-page
// functions on Windows. Encodings go by the names iconv gives them ("windows-1251", "KOI8-R",
// "SHIFT_JIS", "UTF-16LE"), whichever decoder reads them.
namespace varnow {

// Whether the system reads text in `encoding`.
bool SystemDecodes(const std::string& encoding);

class SystemDecoder {
 public:
  enum class Outcome {
    kCharacter,   // a character; a character of several code points gives its first
    kShift,       // no character, only a shift between character sets, to the end of the bytes
    kInvalid,     // the bytes at the start are no character in the encoding
    kIncomplete,  // the bytes end inside a character
  };
  struct Step {
    Outcome outcome = Outcome::kInvalid;
    char32_t character = 0;
    std::size_t consumed = 0;  // bytes read, shifts before a character or a failure included
  };

  // A decoder for `encoding`; nothing when the system does not read it.
  static std::unique_ptr<SystemDecoder> Open(const std::string& encoding);
  ~SystemDecoder();
  SystemDecoder(const SystemDecoder&) = delete;
  SystemDecoder& operator=(const SystemDecoder&) = delete;

  // Reading starts afresh, in the encoding's first character set.
  void Restart();
  // Reads one character from the start of `bytes` (not empty).
  Step Next(std::string_view bytes);

 private:
  struct State;  // the platform's own
  explicit SystemDecoder(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace varnow
