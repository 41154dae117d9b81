// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/LoggedName.h"

namespace varnow {
namespace {

TEST(LoggedName, WritesEveryNameAsTextNoOtherNameGives) {
  const struct {
    std::string name;
    std::string logged;
  } cases[] = {
      {"/site/a.htm", "/site/a.htm"},
      {"/сайт/яю.htm", "/сайт/яю.htm"},
      // Bytes that are not UTF-8: the surrogate escape, so "\xff\xfe" is not "яю" read as cp1251.
      {"/s/\xff\xfe bad.htm", "/s/&#56575;&#56574; bad.htm"},
      {"/s/\xd1", "/s/&#56529;"},                          // a sequence cut short at the end
      {"/s/\xc0\xaf", "/s/&#56512;&#56495;"},              // an overlong '/'
      {"/s/\xed\xa0\x80", "/s/&#56557;&#56480;&#56448;"},  // a surrogate's encoding
      // A name cannot begin a line, nor hold a tab or another control character.
      {"/s/x.htm\r\nfake.htm удален <style> [53]",
       "/s/x.htm&#13;&#10;fake.htm удален <style> [53]"},
      {"a\tb\x7f", "a&#9;b&#127;"},
      {"\xc2\x85", "&#133;"},  // U+0085, a line break to some readers
      // A name cannot spell a reference: "&#" is escaped, '&' alone is not.
      {"R&D &#56575;.htm", "R&D &#38;#56575;.htm"},
      {"a&", "a&"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LoggedName(c.name), c.logged);
  }
}

// The README's rule for reading a name back, written on its own: every "&#N;" is character N,
// N from 56448 to 56575 the byte N - 56320; everything else stands as it is.
std::string ReadBack(const std::string& logged) {
  std::string bytes;
  for (std::size_t i = 0; i < logged.size();) {
    if (logged.compare(i, 2, "&#") == 0) {
      const std::size_t end = logged.find(';', i);
      const unsigned long n = std::stoul(logged.substr(i + 2, end - i - 2));
      if (n >= 56448 && n <= 56575) {
        bytes += static_cast<char>(n - 56320);
      } else if (n < 0x80) {
        bytes += static_cast<char>(n);
      } else {  // C1 controls: two bytes of UTF-8
        bytes += static_cast<char>(0xC0 | (n >> 6));
        bytes += static_cast<char>(0x80 | (n & 0x3F));
      }
      i = end + 1;
    } else {
      bytes += logged[i++];
    }
  }
  return bytes;
}

TEST(LoggedName, RandomNamesReadBackExactly) {
  std::mt19937 rng(7);
  // Bytes weighted towards what breaks names: controls, '&', '#', UTF-8 lead and continuation.
  const std::string alphabet =
      std::string("a/&#;.\r\n\t\x7f\xc2\x85\xd1\x8f\xe2\x80\xa8\xff\xc0", 19) +
      std::string(1, '\0');
  for (int round = 0; round < 20000; ++round) {
    std::string name;
    const int length = static_cast<int>(rng() % 12);
    for (int i = 0; i < length; ++i) {
      name += alphabet[rng() % alphabet.size()];
    }
    const std::string logged = LoggedName(name);
    ASSERT_EQ(ReadBack(logged), name) << logged;
    for (const char c : logged) {
      ASSERT_TRUE(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) << logged;
    }
  }
}

}  // namespace
}  // namespace varnow
