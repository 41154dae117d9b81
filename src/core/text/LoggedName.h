// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace varnow {

// A name (a path's bytes, as the file system gives them) as the log writes it: two names
// never give the same text, and no name can begin a line of its own. UTF-8 characters stand
// as they are, except:
//   - a control character (U+0000 to U+001F, U+007F to U+009F) as its decimal reference
//     "&#NNN;" (a CR LF in a name is "&#13;&#10;");
//   - a byte that is not part of valid UTF-8 (always 0x80 or above) as the reference of the
//     lone surrogate U+DC80 to U+DCFF that stands for it, U+DC00 + the byte: "&#56575;" for
//     0xFF (Python's "surrogate escape"; no valid name holds a lone surrogate);
//   - "&#" as "&#38;#", so that a name cannot spell a reference.
// Read back: every "&#N;" is character N, and N from 56448 to 56575 is the byte N - 56320.
std::string LoggedName(std::string_view bytes);
void AppendLoggedName(std::string& out, std::string_view bytes);

}  // namespace varnow
