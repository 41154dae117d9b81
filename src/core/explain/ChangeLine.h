#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnow {

// A log line that reports a change: the page it names and the message after the path.
struct ChangeLine {
  std::string page;
  std::string message;  // begins with a space: " удален <script> [120]"
};

// The page and message of a change's log line; nothing for the other lines of a log (errors,
// skipped files, "Прервано пользователем", where log.txt went). The path may hold blanks: it
// is the shortest start of the line that ends in .htm or .html and is followed by a change's
// message, which ends in a position " [n]".
std::optional<ChangeLine> ParseChangeLine(std::string_view line);

}  // namespace varnow
