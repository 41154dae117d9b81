#pragma once

#include <array>
#include <string>
#include <string_view>

#include "cleaning/Switch.h"

namespace varnow {

// A switch's key in section "Main": "RmScript", ...
struct SwitchInfo {
  Switch id;
  std::string_view key;
};

// In file order: the order in which the keys are read and written.
inline constexpr std::array<SwitchInfo, kSwitchCount> kSwitches{{
    {Switch::kScript, "RmScript"},
    {Switch::kNoscript, "RmNoscript"},
    {Switch::kIframe, "RmIframe"},
    {Switch::kOnMouseOver, "RmonMouseOver"},
    {Switch::kSpan, "RmSpan"},
    {Switch::kStyle, "RmStyle"},
    {Switch::kMSWord, "RmMSWord"},
    {Switch::kTable, "RmTable"},
    {Switch::kBody, "RmBody"},
    {Switch::kBanner, "RmBanner"},
    {Switch::kFont, "RmFont"},
    {Switch::kBlank, "RmBlank"},
}};

// Switch values in the file: written as "-1" (checked) or "0".
std::string_view SwitchText(bool checked);
// Reads a decimal number (non-zero = checked) or True/False in any letter case. Anything
// else, the empty text included, throws ConversionError "'%s' is not a valid boolean value".
bool ParseSwitch(std::string_view value);

}  // namespace varnow
