#include "explain/ChangeLine.h"

#include <array>
#include <cctype>

#include "text/AsciiCase.h"

namespace varnow {
namespace {

// How every change's message begins ("удалено" begins as "удален" does).
constexpr std::array<std::string_view, 2> kMessageStarts = {" удален", " заменен"};

bool EndsWithPageExtension(std::string_view path) {
  const std::string upper = AsciiUpper(path.substr(path.size() >= 5 ? path.size() - 5 : 0));
  const std::string_view tail = upper;
  return tail.ends_with(".HTM") || tail.ends_with(".HTML");
}

// " [n]" at the end of a message: the position the change was made at.
bool EndsWithPosition(std::string_view message) {
  if (!message.ends_with(']')) {
    return false;
  }
  const std::size_t open = message.rfind(" [");
  if (open == std::string_view::npos || open + 3 > message.size()) {
    return false;
  }
  for (std::size_t i = open + 2; i + 1 < message.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(message[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<ChangeLine> ParseChangeLine(std::string_view line) {
  for (std::size_t at = line.find(' '); at != std::string_view::npos; at = line.find(' ', at + 1)) {
    const std::string_view message = line.substr(at);
    bool isMessage = false;
    for (const std::string_view start : kMessageStarts) {
      isMessage = isMessage || message.starts_with(start);
    }
    if (isMessage && EndsWithPageExtension(line.substr(0, at)) && EndsWithPosition(message)) {
      return ChangeLine{std::string(line.substr(0, at)), std::string(message)};
    }
  }
  return std::nullopt;
}

}  // namespace varnow
