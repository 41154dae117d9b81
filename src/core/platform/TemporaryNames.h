// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The names of the program's temporary files, the same on every system.
namespace varnow {

// ".vn" + 8 hex digits of `bits` + ".t": 13 bytes whatever the target's name is, so a name up
// to the system's limit can be replaced. Thirteen characters is what one long-name entry of a
// FAT folder holds: a FAT driver that writes only one such entry (fusefat) cut the longer
// names of earlier versions, ".vnXXXXXXXX.tmp", to ".vnXXXXXXXX.t", which the program then
// could neither rename nor remove by the name it had made.
std::string TemporaryFileName(std::uint32_t bits);

// Whether `name` is one of the program's temporary names: ".vn", 8 hex digits, ".t" (or
// ".tmp", the names earlier versions made).
bool IsTemporaryName(std::string_view name);

}  // namespace varnow
