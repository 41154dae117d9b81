// SPDX-License-Identifier: MIT
#include "text/PageEncoding.h"

#include <array>

#include "platform/SystemDecoder.h"
#include "text/AsciiCase.h"
#include "text/Cp1251.h"

namespace varnow {
namespace {

// As far into a page as a browser looks for a declared encoding.
constexpr std::size_t kPrescanBytes = 1024;

// Labels as browsers read them, for the encodings a page is likely to declare; a label not
// listed is given to the system's decoder as it stands.
struct LabelRow {
  std::string_view label;
  std::string_view encoding;
};
constexpr std::array kLabels{
    LabelRow{"utf-8", "UTF-8"},
    LabelRow{"utf8", "UTF-8"},
    LabelRow{"unicode-1-1-utf-8", "UTF-8"},
    // A page that declares UTF-16 in its own bytes cannot be UTF-16: the declaration was
    // readable as ASCII.
    LabelRow{"utf-16", "UTF-8"},
    LabelRow{"utf-16le", "UTF-8"},
    LabelRow{"utf-16be", "UTF-8"},
    LabelRow{"unicode", "UTF-8"},
    LabelRow{"us-ascii", "windows-1252"},
    LabelRow{"ascii", "windows-1252"},
    LabelRow{"ansi_x3.4-1968", "windows-1252"},
    LabelRow{"latin1", "windows-1252"},
    LabelRow{"l1", "windows-1252"},
    LabelRow{"iso-8859-1", "windows-1252"},
    LabelRow{"iso8859-1", "windows-1252"},
    LabelRow{"iso88591", "windows-1252"},
    LabelRow{"iso_8859-1", "windows-1252"},
    LabelRow{"cp819", "windows-1252"},
    LabelRow{"ibm819", "windows-1252"},
    LabelRow{"cp1252", "windows-1252"},
    LabelRow{"x-cp1252", "windows-1252"},
    LabelRow{"windows-1252", "windows-1252"},
    LabelRow{"iso-8859-9", "windows-1254"},
    LabelRow{"latin5", "windows-1254"},
    LabelRow{"iso-8859-11", "windows-874"},
    LabelRow{"tis-620", "windows-874"},
    LabelRow{"cp1251", "windows-1251"},
    LabelRow{"x-cp1251", "windows-1251"},
    LabelRow{"windows-1251", "windows-1251"},
    LabelRow{"koi8-r", "KOI8-R"},
    LabelRow{"koi8", "KOI8-R"},
    LabelRow{"koi", "KOI8-R"},
    LabelRow{"cskoi8r", "KOI8-R"},
    LabelRow{"koi8_r", "KOI8-R"},
    LabelRow{"koi8-u", "KOI8-U"},
    LabelRow{"koi8-ru", "KOI8-U"},
    LabelRow{"866", "IBM866"},
    LabelRow{"cp866", "IBM866"},
    LabelRow{"ibm866", "IBM866"},
    LabelRow{"shift_jis", "CP932"},
    LabelRow{"shift-jis", "CP932"},
    LabelRow{"sjis", "CP932"},
    LabelRow{"x-sjis", "CP932"},
    LabelRow{"ms_kanji", "CP932"},
    LabelRow{"windows-31j", "CP932"},
    LabelRow{"gb2312", "GBK"},
    LabelRow{"gbk", "GBK"},
    LabelRow{"x-gbk", "GBK"},
    LabelRow{"chinese", "GBK"},
    LabelRow{"gb18030", "GB18030"},
    LabelRow{"big5", "BIG5-HKSCS"},
    LabelRow{"big5-hkscs", "BIG5-HKSCS"},
    LabelRow{"euc-kr", "CP949"},
    LabelRow{"ks_c_5601-1987", "CP949"},
    LabelRow{"windows-949", "CP949"},
    LabelRow{"macintosh", "MACINTOSH"},
    LabelRow{"x-mac-roman", "MACINTOSH"},
    LabelRow{"x-mac-cyrillic", "MAC-CYRILLIC"},
    LabelRow{"x-user-defined", "windows-1252"},
};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsSpace(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

bool SameLetters(std::string_view a, std::string_view b) {
  return AsciiLower(a) == AsciiLower(b);
}

// Reads one attribute of a tag from `at`; false at the tag's end (or the prescan's).
bool NextAttribute(std::string_view s, std::size_t& at, std::string& name, std::string& value) {
  while (at < s.size() && (IsSpace(s[at]) || s[at] == '/')) {
    ++at;
  }
  if (at >= s.size() || s[at] == '>') {
    return false;
  }
  const std::size_t nameStart = at;
  while (at < s.size() && s[at] != '=' && !IsSpace(s[at]) && s[at] != '/' && s[at] != '>') {
    ++at;
  }
  name = AsciiLower(s.substr(nameStart, at - nameStart));
  value.clear();
  while (at < s.size() && IsSpace(s[at])) {
    ++at;
  }
  if (at >= s.size() || s[at] != '=') {
    return true;
  }
  ++at;
  while (at < s.size() && IsSpace(s[at])) {
    ++at;
  }
  if (at < s.size() && (s[at] == '"' || s[at] == '\'')) {
    const char quote = s[at++];
    const std::size_t end = s.find(quote, at);
    if (end == std::string_view::npos) {
      at = s.size();
      return false;  // the value runs past what is looked at
    }
    value = s.substr(at, end - at);
    at = end + 1;
    return true;
  }
  const std::size_t valueStart = at;
  while (at < s.size() && !IsSpace(s[at]) && s[at] != '>') {
    ++at;
  }
  value = s.substr(valueStart, at - valueStart);
  return true;
}

// The charset a Content-Type value names ("text/html; charset=utf-8").
std::optional<std::string> CharsetOfContent(std::string_view content) {
  const std::string lower = AsciiLower(content);
  for (std::size_t at = lower.find("charset"); at != std::string::npos;
       at = lower.find("charset", at + 1)) {
    std::size_t i = at + 7;
    while (i < lower.size() && IsSpace(lower[i])) {
      ++i;
    }
    if (i >= lower.size() || lower[i] != '=') {
      continue;
    }
    ++i;
    while (i < lower.size() && IsSpace(lower[i])) {
      ++i;
    }
    if (i < lower.size() && (lower[i] == '"' || lower[i] == '\'')) {
      const std::size_t end = content.find(content[i], i + 1);
      if (end == std::string_view::npos) {
        return std::nullopt;
      }
      return std::string(content.substr(i + 1, end - i - 1));
    }
    std::size_t end = i;
    while (end < content.size() && !IsSpace(content[end]) && content[end] != ';') {
      ++end;
    }
    return end > i ? std::optional<std::string>(content.substr(i, end - i)) : std::nullopt;
  }
  return std::nullopt;
}

// The encoding a <meta> tag whose attributes begin at `at` declares, if any.
std::optional<std::string> LabelOfMeta(std::string_view s, std::size_t& at) {
  bool gotPragma = false;
  std::optional<bool> needPragma;
  std::optional<std::string> charset;
  std::string name, value;
  while (NextAttribute(s, at, name, value)) {
    if (name == "http-equiv") {
      gotPragma = gotPragma || SameLetters(Trimmed(value), "content-type");
    } else if (name == "content" && !charset) {
      if (std::optional<std::string> found = CharsetOfContent(value)) {
        charset = std::move(found);
        needPragma = true;
      }
    } else if (name == "charset") {
      charset = std::string(Trimmed(value));
      needPragma = false;
    }
  }
  if (!charset || charset->empty() || !needPragma || (*needPragma && !gotPragma)) {
    return std::nullopt;
  }
  return charset;
}

bool StartsWithTagName(std::string_view s, std::size_t at) {
  return at < s.size() && ((s[at] >= 'a' && s[at] <= 'z') || (s[at] >= 'A' && s[at] <= 'Z'));
}

}  // namespace

std::optional<std::string> EncodingOfLabel(std::string_view label) {
  const std::string lower = AsciiLower(Trimmed(label));
  if (lower.empty()) {
    return std::nullopt;
  }
  for (const LabelRow& row : kLabels) {
    if (row.label == lower) {
      return std::string(row.encoding);
    }
  }
  // The ISO and Windows code pages and whatever else the system decodes by the name declared.
  if (lower.find_first_of("/\\") == std::string::npos && SystemDecodes(lower)) {
    return lower.starts_with("windows-") ? lower : AsciiUpper(lower);
  }
  return std::nullopt;
}

std::optional<std::string> DeclaredLabel(std::string_view bytes) {
  const std::string_view s = bytes.substr(0, kPrescanBytes);
  std::size_t at = 0;
  while (at < s.size()) {
    const std::size_t lt = s.find('<', at);
    if (lt == std::string_view::npos) {
      break;
    }
    at = lt;
    const std::string_view rest = s.substr(at);
    if (rest.starts_with("<!--")) {
      const std::size_t end = s.find("-->", at + 2);
      at = end == std::string_view::npos ? s.size() : end + 3;
    } else if (rest.size() > 5 && SameLetters(rest.substr(0, 5), "<meta") &&
               (IsSpace(rest[5]) || rest[5] == '/')) {
      at += 5;
      if (std::optional<std::string> label = LabelOfMeta(s, at)) {
        return label;
      }
    } else if (StartsWithTagName(s, at + 1) ||
               (rest.size() > 2 && rest[1] == '/' && StartsWithTagName(s, at + 2))) {
      // Another tag: its attributes are passed over whole, so that a quoted ">" or "<meta"
      // inside one is not taken for markup.
      at += rest[1] == '/' ? 2 : 1;
      while (at < s.size() && !IsSpace(s[at]) && s[at] != '>') {
        ++at;
      }
      std::string name, value;
      while (NextAttribute(s, at, name, value)) {
      }
    } else if (rest.starts_with("<!") || rest.starts_with("</") || rest.starts_with("<?")) {
      const std::size_t end = s.find('>', at);
      at = end == std::string_view::npos ? s.size() : end + 1;
    } else {
      ++at;
    }
  }
  return std::nullopt;
}

PageEncoding DetectPageEncoding(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    return {"UTF-8", EncodingSource::kByteOrderMark, 3, 1, false};
  }
  if (bytes.starts_with("\xFF\xFE")) {
    return {"UTF-16LE", EncodingSource::kByteOrderMark, 2, 2, false};
  }
  if (bytes.starts_with("\xFE\xFF")) {
    return {"UTF-16BE", EncodingSource::kByteOrderMark, 2, 2, true};
  }
  if (const std::optional<std::string> label = DeclaredLabel(bytes)) {
    if (std::optional<std::string> encoding = EncodingOfLabel(*label)) {
      return {std::move(*encoding), EncodingSource::kDeclared, 0, 1, false};
    }
  }
  if (IsValidUtf8(bytes)) {
    return {"UTF-8", EncodingSource::kValidUtf8, 0, 1, false};
  }
  return {"windows-1251", EncodingSource::kFallback, 0, 1, false};
}

std::string DescribeEncoding(const PageEncoding& encoding, Language language) {
  std::string_view how;
  switch (encoding.source) {
    case EncodingSource::kByteOrderMark:
      how = Texts{"по метке порядка байтов", "by its byte-order mark"}.In(language);
      break;
    case EncodingSource::kDeclared:
      how = Texts{"объявлена в странице", "declared in the page"}.In(language);
      break;
    case EncodingSource::kValidUtf8:
      how = Texts{"байты страницы — правильный UTF-8", "the page's bytes are valid UTF-8"}.In(
          language);
      break;
    case EncodingSource::kFallback:
      how = Texts{"по умолчанию", "by default"}.In(language);
      break;
  }
  return encoding.name + " (" + std::string(how) + ")";
}

}  // namespace varnow
