// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "messages/Language.h"

namespace varnow {

// How a page's text is read where it is shown (never where it is cleaned: cleaning works on
// the bytes). The rules are a browser's: a byte-order mark; else the encoding the page declares
// in a <meta> within its first 1024 bytes; else UTF-8 when every byte is valid UTF-8; else
// windows-1251, the encoding of the program's own files.
enum class EncodingSource { kByteOrderMark, kDeclared, kValidUtf8, kFallback };

struct PageEncoding {
  std::string name = "UTF-8";  // as the system's decoder knows it, and as it is shown
  EncodingSource source = EncodingSource::kValidUtf8;
  std::size_t bomLength = 0;  // bytes of the byte-order mark at the start
  // 2 for UTF-16, whose lines end at the unit U+000A rather than at the byte 0x0A.
  std::size_t unit = 1;
  bool bigEndian = false;
};

PageEncoding DetectPageEncoding(std::string_view bytes);

// The encoding a declared label stands for, as browsers map labels ("latin1" means
// windows-1252, a <meta> declaring UTF-16 means UTF-8); nothing when the system does not decode it.
std::optional<std::string> EncodingOfLabel(std::string_view label);

// The label a page declares in its first 1024 bytes, as found; nothing when none is declared.
std::optional<std::string> DeclaredLabel(std::string_view bytes);

// "UTF-8 (объявлена в странице)": the encoding and how it was chosen, for a reader.
std::string DescribeEncoding(const PageEncoding& encoding, Language language = Language::kRussian);

}  // namespace varnow
