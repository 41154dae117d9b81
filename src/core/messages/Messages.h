// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "messages/Language.h"

// Every line a run reports in its log, as a row: what the cleaning procedures say of each
// change, and the run's notices. A change or a notice travels as its message's id with the
// values for its placeholders (%d a number, %s a text) until a host shows it; the texts are
// rendered in one place (MessageText.h), the same for log.txt, the terminal, the window's pane,
// JSON and the change viewer.
//
// A change's message is what follows its page's path and one space in a log line; every one
// ends with the change's position, "[%d]".
namespace varnow {

enum class MessageId : std::uint8_t {
  // Changes, by the procedure that makes them.
  kScriptBlock,
  kScriptOrphan,
  kNoscriptBlock,
  kNoscriptOrphan,
  kIframeBlock,
  kIframeOrphan,
  kOnMouseOver,
  kSpanStart,
  kSpanEnd,
  kStyleBlock,
  kStyleOrphan,
  kParagraphReduced,
  kMetaProgId,
  kMetaGenerator,
  kMetaOriginator,
  kHiddenConditional,
  kRevealedConditional,
  kEndifOrphan,
  kOfficeParagraphStart,
  kOfficeParagraphEnd,
  kBoldReduced,
  kItalicReduced,
  kTableReduced,
  kRowReduced,
  kCellReduced,
  kBodyReduced,
  kHtmlReduced,
  kBannerBlock,   // %s: the opening marker as typed
  kBannerOrphan,  // %s: the closing marker as typed
  kFontStart,
  kFontEnd,
  kBlankQuoted,
  kBlankBare,
  kBlankApostrophe,
  // The run's notices.
  kFolderSkipped,  // %s the folder or file, %s why
  kPageRefused,    // %s why the page has no copy
  kStrayRemoved,   // %s the temporary file
  kStopped,
  kRunError,                   // %s the error's text
  kBeforeLogSaved,             // the empty line before where log.txt went
  kLogSaved,                   // %s log.txt's path
  kPageUpToDate,               // %s the page, as the last run left it
  kManifestIgnored,            // %s why the last run's manifest could not be used
  kManifestNotWritten,         // %s why this run's manifest could not be written
  kNothingWritten,             // a dry run's end
  kNothingWrittenCaseUnknown,  // %s the folder whose case rule a probe would have learned
  kLast = kNothingWrittenCaseUnknown,
};

constexpr std::size_t Index(MessageId id) {
  return static_cast<std::size_t>(id);
}

inline constexpr std::size_t kMessageCount = Index(MessageId::kLast) + 1;

// What a line reports: a change, or a notice of a kind a host may show its own way.
enum class MessageKind : std::uint8_t {
  kChange,
  kSkipped,   // a folder or file the search could not go into, or a page refused; about it
  kStopped,   // the user stopped the run
  kError,     // the error that ended the run
  kLogSaved,  // where log.txt was saved; about log.txt
  kOther,     // a stray temporary file removed, the empty line before where log.txt went
  kUpToDate,  // a page not cleaned again: as the last run left it; about it
  kWarning,   // the run's manifest not read or not written: the run goes on
  kDryRun,    // a dry run's end: nothing written
};

// Whether a notice's first value is a name (a path's bytes), written as LoggedName writes
// names; a change's page always is.
enum class FirstValue : std::uint8_t { kText, kName };

struct MessageRow {
  MessageId id;
  MessageKind kind;
  Texts text;  // Russian: log.txt's own; English: where the log's language is English
  FirstValue firstValue = FirstValue::kText;
};

// In the order of MessageId.
inline constexpr std::array<MessageRow, kMessageCount> kMessages{{
    {MessageId::kScriptBlock,
     MessageKind::kChange,
     {"удален <script> [%d]", "removed <script> [%d]"}},
    {MessageId::kScriptOrphan,
     MessageKind::kChange,
     {"удален пустой </script> [%d]", "removed empty </script> [%d]"}},
    {MessageId::kNoscriptBlock,
     MessageKind::kChange,
     {"удален <noscript> [%d]", "removed <noscript> [%d]"}},
    {MessageId::kNoscriptOrphan,
     MessageKind::kChange,
     {"удален пустой </noscript> [%d]", "removed empty </noscript> [%d]"}},
    {MessageId::kIframeBlock,
     MessageKind::kChange,
     {"удален <iframe> [%d]", "removed <iframe> [%d]"}},
    {MessageId::kIframeOrphan,
     MessageKind::kChange,
     {"удален пустой </iframe> [%d]", "removed empty </iframe> [%d]"}},
    {MessageId::kOnMouseOver,
     MessageKind::kChange,
     {"удален onMouseOver [%d]", "removed onMouseOver [%d]"}},
    {MessageId::kSpanStart, MessageKind::kChange, {"удален <span> [%d]", "removed <span> [%d]"}},
    {MessageId::kSpanEnd, MessageKind::kChange, {"удален </span> [%d]", "removed </span> [%d]"}},
    {MessageId::kStyleBlock, MessageKind::kChange, {"удален <style> [%d]", "removed <style> [%d]"}},
    {MessageId::kStyleOrphan,
     MessageKind::kChange,
     {"удален пустой </style> [%d]", "removed empty </style> [%d]"}},
    {MessageId::kParagraphReduced,
     MessageKind::kChange,
     {"заменен <p...> [%d]", "replaced <p...> [%d]"}},
    {MessageId::kMetaProgId,
     MessageKind::kChange,
     {"удален <meta name=ProgId> [%d]", "removed <meta name=ProgId> [%d]"}},
    {MessageId::kMetaGenerator,
     MessageKind::kChange,
     {"удалено <meta name=Generator> [%d]", "removed <meta name=Generator> [%d]"}},
    {MessageId::kMetaOriginator,
     MessageKind::kChange,
     {"удалено <meta name=Originator> [%d]", "removed <meta name=Originator> [%d]"}},
    {MessageId::kHiddenConditional,
     MessageKind::kChange,
     {"удален <!--[if...]> [%d]", "removed <!--[if...]> [%d]"}},
    {MessageId::kRevealedConditional,
     MessageKind::kChange,
     {"удален <![if...]> [%d]", "removed <![if...]> [%d]"}},
    {MessageId::kEndifOrphan,
     MessageKind::kChange,
     {"удален пустой <![endif]--> [%d]", "removed empty <![endif]--> [%d]"}},
    {MessageId::kOfficeParagraphStart,
     MessageKind::kChange,
     {"удален <o:p> [%d]", "removed <o:p> [%d]"}},
    {MessageId::kOfficeParagraphEnd,
     MessageKind::kChange,
     {"удален </o:p> [%d]", "removed </o:p> [%d]"}},
    {MessageId::kBoldReduced,
     MessageKind::kChange,
     {"заменен <b...> [%d]", "replaced <b...> [%d]"}},
    {MessageId::kItalicReduced,
     MessageKind::kChange,
     {"заменен <i...> [%d]", "replaced <i...> [%d]"}},
    {MessageId::kTableReduced,
     MessageKind::kChange,
     {"удален <table...> [%d]", "removed <table...> [%d]"}},
    {MessageId::kRowReduced, MessageKind::kChange, {"удален <tr...> [%d]", "removed <tr...> [%d]"}},
    {MessageId::kCellReduced,
     MessageKind::kChange,
     {"удален <td...> [%d]", "removed <td...> [%d]"}},
    {MessageId::kBodyReduced,
     MessageKind::kChange,
     {"удален <body...> [%d]", "removed <body...> [%d]"}},
    {MessageId::kHtmlReduced,
     MessageKind::kChange,
     {"удален <html...> [%d]", "removed <html...> [%d]"}},
    {MessageId::kBannerBlock, MessageKind::kChange, {"удален %s [%d]", "removed %s [%d]"}},
    {MessageId::kBannerOrphan,
     MessageKind::kChange,
     {"удален пустой %s [%d]", "removed empty %s [%d]"}},
    {MessageId::kFontStart, MessageKind::kChange, {"удален <font> [%d]", "removed <font> [%d]"}},
    {MessageId::kFontEnd, MessageKind::kChange, {"удален </font> [%d]", "removed </font> [%d]"}},
    {MessageId::kBlankQuoted,
     MessageKind::kChange,
     {"удален target=\"_blank\" [%d]", "removed target=\"_blank\" [%d]"}},
    {MessageId::kBlankBare,
     MessageKind::kChange,
     {"удален target=_blank [%d]", "removed target=_blank [%d]"}},
    {MessageId::kBlankApostrophe,
     MessageKind::kChange,
     {"удален target='_blank [%d]", "removed target='_blank [%d]"}},
    {MessageId::kFolderSkipped,
     MessageKind::kSkipped,
     {"%s пропущен: %s", "%s skipped: %s"},
     FirstValue::kName},
    {MessageId::kPageRefused, MessageKind::kSkipped, {"%s", "%s"}},
    {MessageId::kStrayRemoved,
     MessageKind::kOther,
     {"%s удален: остался от прерванного запуска", "%s removed: left over from an interrupted run"},
     FirstValue::kName},
    {MessageId::kStopped, MessageKind::kStopped, {"Прервано пользователем", "Stopped by the user"}},
    {MessageId::kRunError, MessageKind::kError, {"%s", "%s"}},
    {MessageId::kBeforeLogSaved, MessageKind::kOther, {"", ""}},
    {MessageId::kLogSaved,
     MessageKind::kLogSaved,
     {"Лог сохранен в %s", "Log saved to %s"},
     FirstValue::kName},
    {MessageId::kPageUpToDate,
     MessageKind::kUpToDate,
     {"%s не изменен", "%s unchanged"},
     FirstValue::kName},
    {MessageId::kManifestIgnored,
     MessageKind::kWarning,
     {"Прошлый запуск не учтен, очищаются все страницы: %s",
      "The last run is not taken into account, every page is cleaned: %s"}},
    {MessageId::kManifestNotWritten,
     MessageKind::kWarning,
     {"Список очищенных страниц не сохранен, следующий запуск очистит все: %s",
      "The list of cleaned pages was not saved, the next run cleans them all: %s"}},
    {MessageId::kNothingWritten,
     MessageKind::kDryRun,
     {"Проверка: ничего не записано", "Check: nothing was written"}},
    {MessageId::kNothingWrittenCaseUnknown,
     MessageKind::kDryRun,
     {"Проверка: ничего не записано; различает ли файловая система %s регистр букв, без "
      "пробного файла не узнать",
      "Check: nothing was written; whether the file system of %s tells letter case apart "
      "could not be learned without a probe file"},
     FirstValue::kName},
}};

constexpr bool MessagesInIdOrder() {
  for (std::size_t i = 0; i < kMessages.size(); ++i) {
    if (Index(kMessages[i].id) != i) {
      return false;
    }
  }
  return true;
}
static_assert(MessagesInIdOrder(), "each MessageId has its row, in the order of the ids");

constexpr std::string_view TextOf(MessageId id, Language language) {
  return kMessages[Index(id)].text.In(language);
}

constexpr FirstValue FirstValueOf(MessageId id) {
  return kMessages[Index(id)].firstValue;
}

constexpr MessageKind KindOf(MessageId id) {
  return kMessages[Index(id)].kind;
}

}  // namespace varnow
