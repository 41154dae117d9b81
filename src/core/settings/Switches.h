#pragma once

#include <array>
#include <string>
#include <string_view>

namespace varnow {

// The twelve switches, in the order of their keys in the settings file.
enum class Switch {
  kScript,
  kNoscript,
  kIframe,
  kOnMouseOver,
  kSpan,
  kStyle,
  kMSWord,
  kTable,
  kBody,
  kBanner,
  kFont,
  kBlank,
};
inline constexpr std::size_t kSwitchCount = 12;

struct SwitchInfo {
  Switch id;
  std::string_view key;       // in section "Main": "RmScript", ...
  std::string_view checkBox;  // the settings dialog's check box: "chScript", ...
  std::string_view caption;   // its caption: "<script></script>", ...
};

// In file order: the order in which the keys are read and written.
inline constexpr std::array<SwitchInfo, kSwitchCount> kSwitches{{
    {Switch::kScript, "RmScript", "chScript", "<script></script>"},
    {Switch::kNoscript, "RmNoscript", "chNoscript", "<noscript></noscript>"},
    {Switch::kIframe, "RmIframe", "chIframe", "<iframe></iframe>"},
    {Switch::kOnMouseOver, "RmonMouseOver", "chOnMouseOver", "onMouseOver"},
    {Switch::kSpan, "RmSpan", "chSpan", "Форматирование"},
    {Switch::kStyle, "RmStyle", "chStyle", "Стили"},
    {Switch::kMSWord, "RmMSWord", "chMSWord", "Microsoft Word"},
    {Switch::kTable, "RmTable", "chTable", "Таблицы"},
    {Switch::kBody, "RmBody", "chBody", "Основные"},
    {Switch::kBanner, "RmBanner", "chBanner", "Баннеры"},
    {Switch::kFont, "RmFont", "chFont", "Шрифты"},
    {Switch::kBlank, "RmBlank", "chBlank", "target=\"_blank\""},
}};

// The order in which a run calls the procedures (and reads the check boxes) for each file.
inline constexpr std::array<Switch, kSwitchCount> kRunOrder{
    Switch::kBanner, Switch::kMSWord, Switch::kStyle,  Switch::kSpan,
    Switch::kFont,   Switch::kTable,  Switch::kBody,   Switch::kBlank,
    Switch::kScript, Switch::kNoscript, Switch::kIframe, Switch::kOnMouseOver,
};

// Banner marker pairs: sections "Banner0" to "Banner20", used in this order.
inline constexpr int kBannerSlots = 21;

constexpr std::size_t Index(Switch s) { return static_cast<std::size_t>(s); }

// Switch values in the file: written as "-1" (checked) or "0".
std::string_view SwitchText(bool checked);
// Reads a decimal number (non-zero = checked) or True/False in any letter case. Anything
// else, the empty text included, throws ConversionError "'%s' is not a valid boolean value".
bool ParseSwitch(std::string_view value);

}  // namespace varnow
