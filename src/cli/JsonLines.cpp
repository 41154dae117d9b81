// SPDX-License-Identifier: MIT
#include "JsonLines.h"

#include "CliTexts.h"

#include <cinttypes>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cleaning/ProcedureTable.h"
#include "messages/MessageText.h"
#include "platform/LocalTime.h"
#include "text/Cp1251.h"
#include "text/Format.h"

namespace varnow::cli {
namespace {

using nlohmann::ordered_json;

void PutPage(ordered_json& object, std::string_view page) {
  std::string storage;
  object["page"] = std::string(ShownAsText(page, storage));
  if (!IsValidUtf8(page)) {
    object["page_bytes"] = Base64(page);
  }
}

std::string Line(const ordered_json& object) {
  return object.dump() + "\n";
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// The characters of UTF-8 text: a column each.
std::size_t Characters(std::string_view text) {
  std::size_t characters = 0;
  for (const char c : text) {
    characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  }
  return characters;
}

// `text` followed by spaces up to `width` columns.
std::string Padded(std::string text, std::size_t width) {
  const std::size_t columns = Characters(text);
  return columns < width ? text + std::string(width - columns, ' ') : text;
}

// `text` after spaces up to `width` columns.
std::string RightAligned(const std::string& text, std::size_t width) {
  const std::size_t columns = Characters(text);
  return columns < width ? std::string(width - columns, ' ') + text : text;
}

}  // namespace

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0U);
    }
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= n ? kDigits[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
  }
  return out;
}

std::string ChangeJson(const LoggedChange& change, Language logLanguage) {
  ordered_json object;
  object["type"] = "change";
  PutPage(object, change.page);
  object["procedure"] = std::string(RowOf(change.procedure).cliName);
  std::string storage;
  object["message"] = std::string(ShownAsText(ChangeText(change, logLanguage), storage));
  object["position"] = change.position;
  return Line(object);
}

std::string NoticeJson(const RunNotice& notice, Language logLanguage) {
  const MessageKind kind = notice.Kind();
  const char* type = nullptr;
  switch (kind) {
    case MessageKind::kSkipped:
      type = "skipped";
      break;
    case MessageKind::kUpToDate:
      type = "unchanged";
      break;
    case MessageKind::kStopped:
      type = "stopped";
      break;
    case MessageKind::kError:
      type = "error";
      break;
    case MessageKind::kWarning:
      type = "warning";
      break;
    case MessageKind::kDryRun:
      type = "dry_run";
      break;
    case MessageKind::kChange:
    case MessageKind::kLogSaved:
    case MessageKind::kOther:
      return {};
  }
  ordered_json object;
  object["type"] = type;
  std::string storage;
  const std::string text = NoticeText(notice, logLanguage);
  if (kind == MessageKind::kError) {
    object["error"] = std::string(ShownAsText(text, storage));
    return Line(object);
  }
  if (!notice.about.empty()) {
    PutPage(object, notice.about);
  }
  object["message"] = std::string(ShownAsText(text, storage));
  return Line(object);
}

std::string SummaryJson(const RunSummary& s, std::string_view logPath) {
  ordered_json object;
  object["type"] = "summary";
  object["pages"] = {{"found", s.pagesFound},
                     {"changed", s.pagesChanged},
                     {"unchanged", s.pagesUnchanged},
                     {"failed", s.pagesFailed},
                     {"not_reached", s.pagesNotReached},
                     {"up_to_date", s.pagesUpToDate}};
  ordered_json procedures = ordered_json::object();
  for (const ProcedureRow& row : kProcedures) {
    const RunSummary::Procedure& p = s.procedures[Index(row.id)];
    procedures[std::string(row.cliName)] = {{"changes", p.changes},
                                            {"pages", p.pages},
                                            {"bytes_removed", p.removed},
                                            {"bytes_inserted", p.inserted}};
  }
  object["procedures"] = procedures;
  object["bytes"] = {{"in", s.bytesIn}, {"out", s.bytesOut}};
  ordered_json top = ordered_json::array();
  for (const RunSummary::Page& page : s.topPages) {
    ordered_json entry;
    PutPage(entry, page.path);
    entry["changes"] = page.changes;
    top.push_back(entry);
  }
  object["top_pages"] = top;
  object["elapsed_seconds"] = Seconds(s.elapsed);
  object["stopped"] = s.stopped;
  if (!logPath.empty()) {
    std::string storage;
    object["log"] = std::string(ShownAsText(logPath, storage));
  }
  return Line(object);
}

std::string SummaryTable(const RunSummary& s, Language language) {
  const auto in = [language](const Texts& text) { return std::string(text.In(language)); };
  const auto digits = [language](std::uint64_t n) { return GroupedDigits(n, language); };
  std::string t = in(texts::kSummaryTitle) + "\n";
  const std::string upToDate =
      s.pagesUpToDate > 0 ? FormatText(in(texts::kSummaryUpToDate), {digits(s.pagesUpToDate)})
                          : std::string();
  t += "  " +
       FormatText(in(texts::kSummaryPages),
                  {digits(s.pagesFound), digits(s.pagesChanged), digits(s.pagesUnchanged),
                   digits(s.pagesFailed), digits(s.pagesNotReached), upToDate}) +
       "\n";
  std::string change;
  if (s.bytesIn > 0) {
    char percent[32];
    std::snprintf(percent, sizeof percent, " (%+.1f%%)",
                  100.0 * (static_cast<double>(s.bytesOut) - static_cast<double>(s.bytesIn)) /
                      static_cast<double>(s.bytesIn));
    change = percent;
  }
  t += "  " +
       FormatText(in(texts::kSummaryBytes), {digits(s.bytesIn), digits(s.bytesOut), change}) + "\n";
  t += "  " + Padded(in(texts::kColumnProcedure), 13) +
       RightAligned(in(texts::kColumnChanges), 12) + RightAligned(in(texts::kColumnPages), 10) +
       RightAligned(in(texts::kColumnRemoved), 16) + RightAligned(in(texts::kColumnInserted), 17) +
       "\n";
  for (const ProcedureRow& row : kProcedures) {
    const RunSummary::Procedure& p = s.procedures[Index(row.id)];
    t += "  " + Padded(std::string(row.cliName), 13) + RightAligned(digits(p.changes), 12) +
         RightAligned(digits(p.pages), 10) + RightAligned(digits(p.removed), 16) +
         RightAligned(digits(p.inserted), 17) + "\n";
  }
  if (!s.topPages.empty()) {
    t += "  " + in(texts::kMostChanged) + "\n";
    for (const RunSummary::Page& page : s.topPages) {
      std::string storage;
      t += "  " + RightAligned(digits(page.changes), 12) + "  " +
           std::string(ShownAsText(page.path, storage)) + "\n";
    }
  }
  t += "  " + FormatText(in(texts::kSummaryTime), {ElapsedText(s.elapsed)}) +
       (s.stopped ? in(texts::kSummaryStopped) : "") + "\n";
  return t;
}

}  // namespace varnow::cli
