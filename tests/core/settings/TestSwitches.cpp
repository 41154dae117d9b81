// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "settings/SettingsErrors.h"
#include "settings/Switches.h"

namespace varnow {
namespace {

TEST(Switches, NumbersAndWordsConvert) {
  EXPECT_TRUE(ParseSwitch("-1"));
  EXPECT_TRUE(ParseSwitch("1"));
  EXPECT_TRUE(ParseSwitch("+7"));
  EXPECT_TRUE(ParseSwitch("123456789012345678901234567890"));  // too long for any integer
  EXPECT_TRUE(ParseSwitch("True"));
  EXPECT_TRUE(ParseSwitch("true"));
  EXPECT_TRUE(ParseSwitch("TRUE"));
  EXPECT_TRUE(ParseSwitch(" -1 "));  // a hand-edited "RmScript = -1"
  EXPECT_FALSE(ParseSwitch("0"));
  EXPECT_FALSE(ParseSwitch("-0"));
  EXPECT_FALSE(ParseSwitch("000"));
  EXPECT_FALSE(ParseSwitch("False"));
  EXPECT_FALSE(ParseSwitch("fAlSe"));
}

TEST(Switches, AnythingElseIsAnErrorNamingTheValue) {
  for (const std::string value : {"yes", "", "1.0", "0x1", "-", "True1", "Истина", "1 2"}) {
    try {
      ParseSwitch(value);
      ADD_FAILURE() << "accepted '" << value << "'";
    } catch (const ConversionError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + value + "' is not a valid boolean value");
    }
  }
}

}  // namespace
}  // namespace varnow
