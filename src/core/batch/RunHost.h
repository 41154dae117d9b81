// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "batch/PageLines.h"
#include "cleaning/ProcedureId.h"
#include "text/LogEncoding.h"

namespace varnow {

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

  virtual void SetStatus(const std::string& text) = 0;
  virtual void ClearLog() = 0;
  virtual void AppendLog(std::string_view line) = 0;  // one UTF-8 line of the log pane
  // A line of the log that reports no change, with what it is about: a file the search could
  // not go into or a page refused (kSkipped, `page` naming it), the stop, the error that ended
  // the run, where log.txt was saved (kLogSaved, `page` naming log.txt), or another notice
  // (kOther: a stray temporary file removed, the empty line before the log's place).
  // By default it goes to AppendLog like any line.
  enum class Notice { kSkipped, kStopped, kError, kLogSaved, kOther };
  virtual void AppendNotice(Notice kind, std::string_view page, std::string_view line) {
    (void)kind;
    (void)page;
    AppendLog(line);
  }
  // Changes made to the page at `page` (its path as found, bytes as they are), one line each,
  // in the order made: the k-th line reports the page's change of rank `first` + k, made by
  // the procedure its facts name. The lines stand back to back in `lines`, each ending at the
  // next of `ends`; a page with many changes comes in several calls. By default each line goes
  // to AppendLog; a host that shows a change in its page keeps which page and change it is.
  virtual void AppendChanges(std::string_view page, std::size_t first, std::string_view lines,
                             const std::vector<std::size_t>& ends,
                             const std::vector<ChangeFacts>& facts) {
    (void)page;
    (void)first;
    (void)facts;
    std::size_t start = 0;
    for (const std::size_t end : ends) {
      AppendLog(lines.substr(start, end - start));
      start = end;
    }
  }
  // Files done of the files found, while a run goes on.
  virtual void Progress(std::size_t done, std::size_t total) = 0;
  // The run has ended, after a complete run, a stop or an error.
  virtual void RunEnded() = 0;
};

}  // namespace varnow
