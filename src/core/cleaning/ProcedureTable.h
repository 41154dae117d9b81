// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cleaning/ProcedureId.h"
#include "cleaning/ProcedureOrder.h"
#include "cleaning/Procedures.h"
#include "messages/Language.h"

namespace varnow {

// Where a procedure's check box stands in the settings dialog.
enum class SettingsGroup {
  kDocumentFormat,  // "Формат документа"
  kScripts,         // "Скрипты"
};

// Runs one procedure on a document; only banner removal reads the banner slots.
using ProcedureFunction = void (*)(CleaningContext& ctx, std::string_view path,
                                   const BannerSlotReader& bannerSlot);

// What a settings file without a procedure's key in section "Main" gives.
enum class WhenKeyMissing {
  kFileRefused,  // the file is refused, the key named ("нет ключа")
  kOff,          // the procedure is off (for procedures added later than the file format)
};

// Everything the program says about one cleaning procedure. The switch lists of the settings
// file, the run order and dispatch, the settings dialog's check boxes, the change viewer's
// colours and the command line's --only names all come from these rows; what the procedure
// removes and the log lines it writes are in its own file (named by `run`).
struct ProcedureRow {
  ProcedureId id;
  std::size_t runRank;  // its place in the order in which a run calls the procedures
  WhenKeyMissing whenKeyMissing;
  std::string_view key;      // its switch in section "Main" of the settings file
  std::string_view cliName;  // its name in varnow-cli --only
  std::string_view boxName;  // the object name of its check box
  Texts caption;             // its check box's caption
  Texts toolTip;             // what its check box's tool tip says it removes
  SettingsGroup group;       // the group its check box stands in
  int placeInGroup;          // from the top of that group
  // 0xRRGGBB: how the change viewer and the summary mark its changes. Twelve of Paul Tol's
  // colour-blind-safe schemes ("bright", "vibrant" and "light"), chosen to stay apart for
  // normal, protan and deutan sight and to keep black text readable on them; where two still
  // look alike to someone, the legend's names tell them apart.
  std::uint32_t colour;
  Texts mnemonic;  // the caption's letter (its first) that Alt takes to the box, in each language
  ProcedureFunction run;
};

namespace procedure_detail {

template <void (*Procedure)(CleaningContext&, std::string_view)>
void WithoutSlots(CleaningContext& ctx, std::string_view path, const BannerSlotReader&) {
  Procedure(ctx, path);
}

// Every banner slot in order, each read right before it is used; an empty slot is passed over.
void AllBannerSlots(CleaningContext& ctx, std::string_view path,
                    const BannerSlotReader& bannerSlot);

}  // namespace procedure_detail

// In the order of the switches' keys in the settings file, which is the order of ProcedureId.
inline constexpr std::array<ProcedureRow, kProcedureCount> kProcedures{{
    {ProcedureId::kScript,
     8,
     WhenKeyMissing::kFileRefused,
     "RmScript",
     "script",
     "scriptBox",
     {"<script></script>", "<script></script>"},
     {"Блоки <script>...</script> целиком", "Whole <script>...</script> blocks"},
     SettingsGroup::kScripts,
     0,
     0xCC3311,
     {"s", "s"},
     procedure_detail::WithoutSlots<RemoveScriptBlocks>},
    {ProcedureId::kNoscript,
     9,
     WhenKeyMissing::kFileRefused,
     "RmNoscript",
     "noscript",
     "noscriptBox",
     {"<noscript></noscript>", "<noscript></noscript>"},
     {"Блоки <noscript>...</noscript> целиком", "Whole <noscript>...</noscript> blocks"},
     SettingsGroup::kScripts,
     1,
     0xEE3377,
     {"n", "n"},
     procedure_detail::WithoutSlots<RemoveNoscriptBlocks>},
    {ProcedureId::kIframe,
     10,
     WhenKeyMissing::kFileRefused,
     "RmIframe",
     "iframe",
     "iframeBox",
     {"<iframe></iframe>", "<iframe></iframe>"},
     {"Блоки <iframe>...</iframe> целиком", "Whole <iframe>...</iframe> blocks"},
     SettingsGroup::kScripts,
     2,
     0xEE6677,
     {"i", "i"},
     procedure_detail::WithoutSlots<RemoveIframeBlocks>},
    {ProcedureId::kOnMouseOver,
     11,
     WhenKeyMissing::kFileRefused,
     "RmonMouseOver",
     "onmouseover",
     "onMouseOverBox",
     {"onMouseOver", "onMouseOver"},
     {"Атрибуты onMouseOver=\"...\" в тегах", "onMouseOver=\"...\" attributes in tags"},
     SettingsGroup::kScripts,
     3,
     0xEE8866,
     {"M", "M"},
     procedure_detail::WithoutSlots<RemoveOnMouseOver>},
    {ProcedureId::kSpan,
     3,
     WhenKeyMissing::kFileRefused,
     "RmSpan",
     "span",
     "spanBox",
     {"Форматирование", "Formatting"},
     {"Теги <span ...> и </span>; текст между ними остается",
      "<span ...> and </span> tags; the text between them stays"},
     SettingsGroup::kDocumentFormat,
     2,
     0xEEDD88,
     {"Ф", "r"},
     procedure_detail::WithoutSlots<RemoveSpanTags>},
    {ProcedureId::kStyle,
     2,
     WhenKeyMissing::kFileRefused,
     "RmStyle",
     "style",
     "styleBox",
     {"Стили", "Styles"},
     {"Блоки <style>...</style>; атрибуты тегов <p>",
      "<style>...</style> blocks; attributes of <p> tags"},
     SettingsGroup::kDocumentFormat,
     1,
     0x33BBEE,
     {"С", "y"},
     procedure_detail::WithoutSlots<RemoveStyles>},
    {ProcedureId::kMSWord,
     1,
     WhenKeyMissing::kFileRefused,
     "RmMSWord",
     "msword",
     "msWordBox",
     {"Microsoft Word", "Microsoft Word"},
     {"Разметка Word: <meta name=ProgId/Generator/Originator>, блоки <!--[if ...]> и "
      "<![if ...]>, теги <o:p>, атрибуты тегов <b> и <i>",
      "Word markup: <meta name=ProgId/Generator/Originator>, <!--[if ...]> and "
      "<![if ...]> blocks, <o:p> tags, attributes of <b> and <i> tags"},
     SettingsGroup::kDocumentFormat,
     0,
     0x0077BB,
     {"W", "W"},
     procedure_detail::WithoutSlots<RemoveWordMarkup>},
    {ProcedureId::kTable,
     5,
     WhenKeyMissing::kFileRefused,
     "RmTable",
     "table",
     "tableBox",
     {"Таблицы", "Tables"},
     {"Атрибуты тегов <table>, <tr> и <td>", "Attributes of <table>, <tr> and <td> tags"},
     SettingsGroup::kDocumentFormat,
     3,
     0x228833,
     {"Т", "T"},
     procedure_detail::WithoutSlots<SimplifyTableTags>},
    {ProcedureId::kBody,
     6,
     WhenKeyMissing::kFileRefused,
     "RmBody",
     "body",
     "bodyBox",
     {"Основные", "Basic"},
     {"Атрибуты тегов <body> и <html>", "Attributes of <body> and <html> tags"},
     SettingsGroup::kDocumentFormat,
     4,
     0xCCBB44,
     {"О", "a"},
     procedure_detail::WithoutSlots<SimplifyBodyTags>},
    {ProcedureId::kBanner,
     0,
     WhenKeyMissing::kFileRefused,
     "RmBanner",
     "banner",
     "bannerBox",
     {"Баннеры", "Banners"},
     {"Блоки между вашими метками начала и конца (кнопка \"...\")",
      "Blocks between your own start and end markers (the \"...\" button)"},
     SettingsGroup::kScripts,
     5,
     0x99DDFF,
     {"Б", "B"},
     procedure_detail::AllBannerSlots},
    {ProcedureId::kFont,
     4,
     WhenKeyMissing::kFileRefused,
     "RmFont",
     "font",
     "fontBox",
     {"Шрифты", "Fonts"},
     {"Теги <font ...> и </font>; текст между ними остается",
      "<font ...> and </font> tags; the text between them stays"},
     SettingsGroup::kDocumentFormat,
     5,
     0xAAAA00,
     {"Ш", "F"},
     procedure_detail::WithoutSlots<RemoveFontTags>},
    {ProcedureId::kBlank,
     7,
     WhenKeyMissing::kFileRefused,
     "RmBlank",
     "blank",
     "blankBox",
     {"target=\"_blank\"", "target=\"_blank\""},
     {"Атрибуты target=\"_blank\": ссылки открываются в том же окне",
      "target=\"_blank\" attributes: links open in the same window"},
     SettingsGroup::kScripts,
     4,
     0xBBBBBB,
     {"b", "k"},
     procedure_detail::WithoutSlots<RemoveBlankTargets>},
}};

constexpr const ProcedureRow& RowOf(ProcedureId s) {
  return kProcedures[Index(s)];
}

// The rows stand at their procedure's index, so RowOf is a look-up, and every id has its row.
constexpr bool RowsInIdOrder() {
  for (std::size_t i = 0; i < kProcedures.size(); ++i) {
    if (Index(kProcedures[i].id) != i) {
      return false;
    }
  }
  return true;
}
static_assert(RowsInIdOrder(), "each ProcedureId has its row, in the order of the ids");

constexpr bool MnemonicsInCaptions() {
  for (const ProcedureRow& row : kProcedures) {
    for (const Language language : {Language::kRussian, Language::kEnglish}) {
      const std::string_view mnemonic = row.mnemonic.In(language);
      if (mnemonic.empty() || row.caption.In(language).find(mnemonic) == std::string_view::npos) {
        return false;
      }
    }
  }
  return true;
}
static_assert(MnemonicsInCaptions(), "each procedure's mnemonic is a letter of its caption");

// The order in which a run calls the procedures (and reads the switches) for each file, from
// the rows' ranks; a rank missing or given twice stops the build here.
constexpr std::array<ProcedureId, kProcedureCount> RunOrderOfRows() {
  std::array<ProcedureId, kProcedureCount> order{};
  std::array<bool, kProcedureCount> taken{};
  for (const ProcedureRow& row : kProcedures) {
    if (row.runRank >= kProcedureCount || taken[row.runRank]) {
      throw "the run ranks of the procedure table are not 0 to kProcedureCount - 1, each once";
    }
    taken[row.runRank] = true;
    order[row.runRank] = row.id;
  }
  return order;
}
inline constexpr std::array<ProcedureId, kProcedureCount> kRunOrder = RunOrderOfRows();

}  // namespace varnow
