// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string_view>

#include "messages/Language.h"

namespace varnow {

// The language the windows speak: the one whose catalog the program installed at its start.
// The catalog says which itself (its word for the language's code), so the windows' own texts
// and the engine's (status texts, errors) always agree, and a test that installs no catalog
// sees the program's own Russian.
Language InterfaceLanguage();

// One of the engine's texts in the interface's language.
QString InInterfaceLanguage(const Texts& text);
QString FromUtf8(std::string_view text);

}  // namespace varnow
