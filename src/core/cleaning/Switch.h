// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>

namespace varnow {

// The twelve cleaning procedures as the user switches them, in the order of their keys in the
// settings file.
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

constexpr std::size_t Index(Switch s) {
  return static_cast<std::size_t>(s);
}

// The order in which a run calls the procedures (and reads the switches) for each file.
inline constexpr std::array<Switch, kSwitchCount> kRunOrder{
    Switch::kBanner, Switch::kMSWord,   Switch::kStyle,  Switch::kSpan,
    Switch::kFont,   Switch::kTable,    Switch::kBody,   Switch::kBlank,
    Switch::kScript, Switch::kNoscript, Switch::kIframe, Switch::kOnMouseOver,
};

// Banner marker pairs: sections "Banner0" to "Banner20", used in this order.
inline constexpr int kBannerSlots = 21;

}  // namespace varnow
