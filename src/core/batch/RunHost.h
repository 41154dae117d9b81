// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "batch/RunSummary.h"
#include "cleaning/ProcedureId.h"
#include "messages/LoggedChange.h"
#include "messages/MessageText.h"
#include "text/LogEncoding.h"
#include "text/LoggedName.h"

namespace varnow {

// How a run ended, as its host is told.
struct RunEnd {
  enum class How {
    kComplete,    // every page found was taken
    kStopped,     // stopped by the user (the window's Stop, a signal)
    kFailed,      // ended by an error
    kNotStarted,  // not a run: Execute was called while one went on (from inside its poll)
  };
  How how = How::kComplete;
  std::string error;       // kFailed: what ended it, as log.txt says it (in the log's language)
  std::string shownError;  // the same in the interface's words (message boxes, status)
  RunSummary summary;
};

// What a batch run asks of the program hosting it (the window, or the command line). The run
// calls it from one thread only. The switches and the output folder are asked for as each page
// is taken, so a change made during a run counts from the next page on.
class RunHost {
 public:
  virtual ~RunHost() = default;

  virtual std::string FolderText() = 0;          // the folder to clean, as the user gave it
  virtual std::string OutputFolder() = 0;        // the output root, asked for every file
  virtual bool SwitchOn(ProcedureId which) = 0;  // asked for every file, in run order
  // Grows whenever a setting changes during a run (a switch, the output folder, a banner slot
  // saved): pages cleaned ahead under an older one are cleaned again. A host whose settings
  // never change during a run keeps it at 0.
  virtual std::uint64_t SettingsGeneration() { return 0; }
  // The encoding of log.txt, asked for once as a run begins.
  virtual LogEncoding LogFileEncoding() { return LogEncoding::kCp1251; }
  // The language of log.txt's lines, which every host shows as log.txt holds them, and the
  // interface's (status texts, the errors shown), asked for once as a run begins.
  virtual Language LogLanguage() { return Language::kRussian; }
  virtual Language InterfaceLanguage() { return Language::kRussian; }
  // The largest page a run cleans, asked for once as a run begins; by default (nothing) a page
  // is refused when twice its size exceeds the memory a run may use.
  virtual std::optional<std::uint64_t> MaxPageBytes() { return std::nullopt; }

  // ---- What the run tells the host, in this order: RunStarted, then status, notices, changes
  // and pages done as they come, then RunEnded once, however the run ends.

  // A run begins: the log it shows starts empty.
  virtual void RunStarted() = 0;
  virtual void SetStatus(const std::string& text) = 0;
  // A line that reports no change. By default it is shown as NoticeText gives it.
  virtual void Notice(const RunNotice& notice) { AppendLog(NoticeText(notice, LogLanguage())); }
  // Changes made to the page at `page` (its path as found, bytes as they are), in the order
  // made: the k-th reports the page's change of rank `first` + k. A page with many changes
  // comes in several calls. By default each is shown as ChangeLine gives it.
  virtual void PageChanges(std::string_view page, std::size_t first,
                           std::span<const LoggedChange> changes) {
    (void)page;
    (void)first;
    const std::string loggedPage = LoggedName(page);  // once for the page's changes
    const Language language = LogLanguage();
    std::string line;
    for (const LoggedChange& change : changes) {
      line.clear();
      AppendChangeLine(line, loggedPage, change, language);
      AppendLog(line);
    }
  }
  // Pages done of the pages found, first as the search has found them (0 done), then after
  // every page written or found up to date.
  virtual void PagesDone(std::size_t done, std::size_t total) = 0;
  // The run has ended: how, with its summary.
  virtual void RunEnded(const RunEnd& end) = 0;

  // Where the default Notice and PageChanges show a line (UTF-8, or a name's bytes as found).
  virtual void AppendLog(std::string_view line) = 0;
};

}  // namespace varnow
