// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "batch/RunSummary.h"
#include "cleaning/ProcedureId.h"
#include "messages/Language.h"
#include "messages/LoggedChange.h"

namespace varnow::cli {

// The machine-readable log, one JSON object a line (UTF-8). A page is named by "page", its
// path as UTF-8 (bytes that are not UTF-8 read as cp1251, the likeliest reading), and,
// only for such a name, by "page_bytes", the exact bytes in base64, so that every path
// round-trips. A message is in the log's language, as log.txt holds it; the other fields are
// the same in every language.

// {"type":"change","page":...,"procedure":"span","message":"удален <span> [12]","position":12}
std::string ChangeJson(const LoggedChange& change, Language logLanguage = Language::kRussian);
// {"type":"skipped"|"stopped","page":...,"message":...} or {"type":"error","error":...}; the
// page only where the notice names one. Notices of the other kinds have no JSON form: empty.
std::string NoticeJson(const RunNotice& notice, Language logLanguage = Language::kRussian);
// {"type":"summary",...}: what the run did, its log.txt where it was saved.
std::string SummaryJson(const RunSummary& summary, std::string_view logPath);

// The summary as an aligned table, for a reader in `language`.
std::string SummaryTable(const RunSummary& summary, Language language = Language::kRussian);

// Standard base64 (RFC 4648), with padding.
std::string Base64(std::string_view bytes);

}  // namespace varnow::cli
