// SPDX-License-Identifier: MIT
// The system's decoder through iconv, converting to UTF-32LE one character at a time.
#include "platform/SystemDecoder.h"

#include <iconv.h>

#include <cerrno>

namespace varnow {
namespace {

const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);

char32_t FromUtf32Le(const unsigned char* b) {
  return static_cast<char32_t>(b[0]) | (static_cast<char32_t>(b[1]) << 8) |
         (static_cast<char32_t>(b[2]) << 16) | (static_cast<char32_t>(b[3]) << 24);
}

}  // namespace

struct SystemDecoder::State {
  iconv_t cd = kNoIconv;
};

bool SystemDecodes(const std::string& encoding) {
  const iconv_t cd = ::iconv_open("UTF-32LE", encoding.c_str());
  if (cd == kNoIconv) {
    return false;
  }
  ::iconv_close(cd);
  return true;
}

std::unique_ptr<SystemDecoder> SystemDecoder::Open(const std::string& encoding) {
  const iconv_t cd = ::iconv_open("UTF-32LE", encoding.c_str());
  if (cd == kNoIconv) {
    return nullptr;
  }
  auto state = std::make_unique<State>();
  state->cd = cd;
  return std::unique_ptr<SystemDecoder>(new SystemDecoder(std::move(state)));
}

SystemDecoder::SystemDecoder(std::unique_ptr<State> state) : state_(std::move(state)) {}

SystemDecoder::~SystemDecoder() {
  ::iconv_close(state_->cd);
}

void SystemDecoder::Restart() {
  ::iconv(state_->cd, nullptr, nullptr, nullptr, nullptr);
}

SystemDecoder::Step SystemDecoder::Next(std::string_view bytes) {
  // The room for one code point ends each call after the first character; a character of
  // several code points is given more room.
  unsigned char out[16];
  std::size_t from = 0;
  int err = 0;
  for (std::size_t room = 4; room <= sizeof out; room *= 4) {
    char* in = const_cast<char*>(bytes.data() + from);
    std::size_t inLeft = bytes.size() - from;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = room;
    const std::size_t done = ::iconv(state_->cd, &in, &inLeft, &outPtr, &outLeft);
    err = errno;
    from = static_cast<std::size_t>(in - bytes.data());
    if (room - outLeft >= 4) {
      return {Outcome::kCharacter, FromUtf32Le(out), from};
    }
    if (done != static_cast<std::size_t>(-1)) {
      return {Outcome::kShift, 0, from};
    }
    if (err != E2BIG) {
      break;
    }
  }
  return {err == EINVAL ? Outcome::kIncomplete : Outcome::kInvalid, 0, from};
}

}  // namespace varnow
