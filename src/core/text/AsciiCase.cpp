#include "text/AsciiCase.h"

namespace varnow {

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    c = AsciiUpper(c);
  }
  return out;
}

}  // namespace varnow
