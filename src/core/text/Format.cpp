// SPDX-License-Identifier: MIT
#include "text/Format.h"

#include <charconv>
#include <cstring>
#include <span>

namespace varnow {
namespace {

// Gathers a line on the stack and makes it a string once, at its full size: log lines are made
// by the thousand, and growing a string piece by piece cost more than the rest of a line's work.
class LineOut {
 public:
  void Put(const char* data, std::size_t size) {
    if (size == 0) {
      return;  // an empty piece may have no bytes at all (a null pointer)
    }
    if (size > kRoom - used_) {
      Spill(data, size);
      return;
    }
    std::memcpy(bytes_ + used_, data, size);
    used_ += size;
  }
  std::string Take() {
    if (spilled_.empty()) {
      return std::string(bytes_, used_);
    }
    spilled_.append(bytes_, used_);
    return std::move(spilled_);
  }

 private:
  static constexpr std::size_t kRoom = 256;

  // A line longer than the room goes on in a string.
  [[gnu::noinline]] void Spill(const char* data, std::size_t size) {
    spilled_.append(bytes_, used_);
    spilled_.append(data, size);
    used_ = 0;
  }

  char bytes_[kRoom];
  std::size_t used_ = 0;
  std::string spilled_;
};

// Where the filled text goes: a line on the stack, or the end of a string.
struct StringOut {
  std::string& out;
  void Put(const char* data, std::size_t size) {
    if (size != 0) {
      out.append(data, size);
    }
  }
};

template <typename Out>
void Fill(Out& out, std::string_view format, std::span<const FormatArg> values) {
  auto next = values.begin();
  while (!format.empty()) {
    // The text up to the next placeholder goes over in one piece.
    const std::size_t percent = format.find('%');
    if (percent == std::string_view::npos || percent + 1 == format.size()) {
      out.Put(format.data(), format.size());
      return;
    }
    out.Put(format.data(), percent);
    const char kind = format[percent + 1];
    if (kind == '%') {
      out.Put(format.data() + percent, 1);
    } else if (kind == 'd' && next != values.end() && std::holds_alternative<std::int64_t>(*next)) {
      char digits[24];
      const auto end =
          std::to_chars(digits, digits + sizeof digits, std::get<std::int64_t>(*next++));
      out.Put(digits, static_cast<std::size_t>(end.ptr - digits));
    } else if (kind == 's' && next != values.end() &&
               std::holds_alternative<std::string_view>(*next)) {
      const std::string_view text = std::get<std::string_view>(*next++);
      out.Put(text.data(), text.size());
    } else {
      // Unknown, or without a fitting value: left as written.
      out.Put(format.data() + percent, 2);
    }
    format.remove_prefix(percent + 2);
  }
}

}  // namespace

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> values) {
  LineOut line;
  Fill(line, format, values);
  return line.Take();
}

std::string FormatText(std::string_view format, std::span<const FormatArg> values) {
  LineOut line;
  Fill(line, format, values);
  return line.Take();
}

void AppendFormatted(std::string& out, std::string_view format,
                     std::initializer_list<FormatArg> values) {
  StringOut to{out};
  Fill(to, format, values);
}

std::string GroupedDigits(std::uint64_t n, Language language) {
  const char separator = language == Language::kRussian ? ' ' : ',';
  const std::string digits = std::to_string(n);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) {
      grouped += separator;
    }
    grouped += digits[i];
  }
  return grouped;
}

}  // namespace varnow
