// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "cleaning/ProcedureId.h"
#include "messages/Language.h"

namespace varnow::cli {

// varnow-cli --explain FILE: cleans one page in memory, as a run would with these switches
// and the banner slots of the settings file, and prints each change: its log line, then where
// in the page it falls (line:column) with the text it removed ("-") and put in ("+"), each
// shortened to one line. Nothing is written. Returns the exit status. The log lines are in
// the log's language, the rest in the interface's.
struct ExplainLanguages {
  Language language = Language::kRussian;
  Language logLanguage = Language::kRussian;
};
int ExplainCommand(const std::string& file, const std::array<bool, kProcedureCount>& switches,
                   const std::filesystem::path& settingsFile, ExplainLanguages languages = {});

}  // namespace varnow::cli
