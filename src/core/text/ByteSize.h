// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace varnow {

// A size in bytes as a user writes it: digits, then K, M, G or T (powers of 1024, either
// letter case) or nothing. Nothing for another text or a size past 2^64.
std::optional<std::uint64_t> ParseByteSize(std::string_view text);

}  // namespace varnow
