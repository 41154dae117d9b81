#pragma once

#include <array>
#include <string_view>

#include "cleaning/Switch.h"

namespace varnow {

// The settings dialog's check box for each switch: its object name and its caption, in the
// order of the switches' keys in the settings file.
struct SwitchBox {
  Switch id;
  std::string_view name;     // "chScript", ...
  std::string_view caption;  // "<script></script>", ...
};

inline constexpr std::array<SwitchBox, kSwitchCount> kSwitchBoxes{{
    {Switch::kScript, "chScript", "<script></script>"},
    {Switch::kNoscript, "chNoscript", "<noscript></noscript>"},
    {Switch::kIframe, "chIframe", "<iframe></iframe>"},
    {Switch::kOnMouseOver, "chOnMouseOver", "onMouseOver"},
    {Switch::kSpan, "chSpan", "Форматирование"},
    {Switch::kStyle, "chStyle", "Стили"},
    {Switch::kMSWord, "chMSWord", "Microsoft Word"},
    {Switch::kTable, "chTable", "Таблицы"},
    {Switch::kBody, "chBody", "Основные"},
    {Switch::kBanner, "chBanner", "Баннеры"},
    {Switch::kFont, "chFont", "Шрифты"},
    {Switch::kBlank, "chBlank", "target=\"_blank\""},
}};

}  // namespace varnow
