// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "messages/Language.h"
#include "messages/LoggedChange.h"

// The one place a change or a notice becomes text. Every host (log.txt, the terminal, JSON,
// the window's pane, --explain and the change viewer) shows what these give; none takes a line
// apart again. Each gives the log's lines in `language`: Russian, log.txt's own, unless the
// user asked for an English log.
namespace varnow {

// What the change did: its message with the values filled in ("удален <script> [12]").
std::string ChangeText(const LoggedChange& change, Language language = Language::kRussian);
void AppendChangeText(std::string& out, const LoggedChange& change,
                      Language language = Language::kRussian);
// Its line in the log: the page's path as LoggedName writes it, a space and ChangeText.
std::string ChangeLine(const LoggedChange& change, Language language = Language::kRussian);
// The same at the end of `out`.
void AppendChangeLine(std::string& out, const LoggedChange& change,
                      Language language = Language::kRussian);
// The same with the page's name given as LoggedName wrote it: made once for a page's changes.
void AppendChangeLine(std::string& out, std::string_view loggedPage, const LoggedChange& change,
                      Language language = Language::kRussian);

// A notice's line in the log.
std::string NoticeText(const RunNotice& notice, Language language = Language::kRussian);

}  // namespace varnow
