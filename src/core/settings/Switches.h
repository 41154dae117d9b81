// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace varnow {

// Switch values in the file: written as "-1" (checked) or "0".
std::string_view SwitchText(bool checked);
// Reads a decimal number (non-zero = checked) or True/False in any letter case. Anything
// else, the empty text included, throws ConversionError "'%s' is not a valid boolean value".
bool ParseSwitch(std::string_view value);

}  // namespace varnow
