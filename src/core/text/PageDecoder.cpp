// SPDX-License-Identifier: MIT
#include "text/PageDecoder.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "text/Cp1251.h"

namespace varnow {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);

iconv_t Handle(void* cd) {
  return static_cast<iconv_t>(cd);
}

char32_t FromUtf32Le(const unsigned char* b) {
  return static_cast<char32_t>(b[0]) | (static_cast<char32_t>(b[1]) << 8) |
         (static_cast<char32_t>(b[2]) << 16) | (static_cast<char32_t>(b[3]) << 24);
}

}  // namespace

PageDecoder::PageDecoder(PageEncoding encoding) : encoding_(std::move(encoding)) {
  if (encoding_.name == "UTF-8") {
    return;
  }
  const iconv_t cd = ::iconv_open("UTF-32LE", encoding_.name.c_str());
  if (cd == kNoIconv) {
    return;  // not to be had here after all: read as UTF-8, what does not decode as U+FFFD
  }
  iconv_ = cd;
  kind_ = Kind::kIconv;
  if (encoding_.unit != 1) {
    return;
  }
  // An encoding where every byte alone is a character (or not one at all) is read through a
  // table: each byte is a column, and nothing is asked of iconv while the page is shown.
  for (int b = 0; b < 256; ++b) {
    Restart();
    char byte = static_cast<char>(b);
    char* in = &byte;
    std::size_t inLeft = 1;
    unsigned char out[4];
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    const std::size_t done = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    if (done != static_cast<std::size_t>(-1) && outLeft == 0) {
      table_[static_cast<std::size_t>(b)] = FromUtf32Le(out);
    } else if (done == static_cast<std::size_t>(-1) && errno == EILSEQ) {
      table_[static_cast<std::size_t>(b)] = kReplacement;
    } else {
      return;  // a byte that begins a longer sequence, or a shift: iconv reads each character
    }
  }
  kind_ = Kind::kTable;
  ::iconv_close(cd);
  iconv_ = nullptr;
}

PageDecoder::~PageDecoder() {
  if (iconv_ != nullptr) {
    ::iconv_close(Handle(iconv_));
  }
}

void PageDecoder::Restart() {
  if (iconv_ != nullptr) {
    ::iconv(Handle(iconv_), nullptr, nullptr, nullptr, nullptr);
  }
}

std::optional<char32_t> PageDecoder::Next(std::string_view bytes, std::size_t& at) {
  switch (kind_) {
    case Kind::kTable:
      return table_[static_cast<unsigned char>(bytes[at++])];
    case Kind::kUtf8:
      return NextCodePoint(bytes, at).value_or(kReplacement);
    case Kind::kIconv:
      break;
  }
  return NextByIconv(bytes, at);
}

std::optional<char32_t> PageDecoder::NextByIconv(std::string_view bytes, std::size_t& at) {
  // One character at a time: the room for one code point ends each call after it.
  unsigned char out[16];
  for (std::size_t room = 4; room <= sizeof out; room *= 4) {
    char* in = const_cast<char*>(bytes.data() + at);
    std::size_t inLeft = bytes.size() - at;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = room;
    const std::size_t done = ::iconv(Handle(iconv_), &in, &inLeft, &outPtr, &outLeft);
    const int err = errno;
    const std::size_t produced = room - outLeft;
    at = static_cast<std::size_t>(in - bytes.data());
    if (produced >= 4) {
      return FromUtf32Le(out);  // a character that gives several code points shows its first
    }
    if (done != static_cast<std::size_t>(-1)) {
      return std::nullopt;  // the bytes ended in a shift, with no character after it
    }
    if (err == E2BIG) {
      continue;  // one character that gives more code points than there was room for
    }
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
    case Kind::kIconv:
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
