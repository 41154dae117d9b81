// SPDX-License-Identifier: MIT
#include "support/ReferenceConverter.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace varnow::test {

std::optional<std::string> ConvertBySystem(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    ADD_FAILURE() << "iconv cannot convert " << from << " to " << to;
    return std::nullopt;
  }
  std::string input(in);
  std::string out(in.size() * 4 + 8, '\0');
  char* src = input.data();
  std::size_t srcLeft = input.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!ok) {
    return std::nullopt;
  }
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace varnow::test
