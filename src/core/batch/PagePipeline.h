// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/PageLines.h"
#include "batch/RunManifest.h"
#include "batch/RunSummary.h"
#include "cleaning/ProcedureId.h"
#include "cleaning/ProcedureOrder.h"
#include "control/StopToken.h"
#include "document/Document.h"
#include "files/ReplaceFile.h"
#include "messages/ErrorTexts.h"
#include "platform/FileFacts.h"
#include "settings/CachedIniFile.h"

namespace varnow {

// The steps every page of a run goes through, on whichever thread it is cleaned: it is loaded,
// cleaned and its copy staged without a name (CleanPage); then, in the file list's order, its
// lines are logged and its copy is given its name (BatchRun). One thread and many run the
// same steps, so what they write is the same by construction.

// Hands the bytes of the page at `path` to `sink`, block by block, polling `stop` after each
// block and stopping when it says so. Returns the message a run gives when the page cannot be
// opened or read; `source` gets the page's facts as it was opened. A page larger than
// `maxBytes` is not read: the message says so, and `tooLarge` is set.
std::optional<ErrorText> LoadPage(const std::string& path,
                                  const std::function<void(std::string_view)>& sink,
                                  const StopToken& stop, FileFacts* source = nullptr,
                                  std::uint64_t maxBytes = UINT64_MAX, bool* tooLarge = nullptr);

// A page's bytes, whole, for a page looked at outside a run; or why they could not be read.
struct LoadedPage {
  std::string bytes;
  ErrorText error;  // empty when loaded
};
LoadedPage LoadWholePage(const std::string& path);

// What a run does with every page beyond cleaning it, fixed for the run.
struct PageScope {
  // Where only what changed is cleaned: the manifest the run before left, and where a page's
  // path below the searched folder (its key there) begins.
  const RunManifest* previous = nullptr;
  std::size_t keyStart = 0;
  // The searched folder as SplitPath gives it (absolute, "." and ".." resolved): a page's copy
  // is worked out from it and the page's key, without a look at the page's folder.
  std::string searchedDirectory;
  // A dry run: the page is cleaned and its changes counted, and no copy is staged.
  bool dryRun = false;
  bool operator==(const PageScope&) const = default;
};

// The settings a page is cleaned with: those standing as the page is taken on. A change
// saved during a run bumps `generation`, so that a page cleaned ahead under older settings is
// known and cleaned again (the banner slots, read from the settings file, count as well).
struct PageSettings {
  std::uint64_t generation = 0;
  std::array<bool, kProcedureCount> switches{};
  std::string outputFolder;
  std::uint64_t maxPageBytes = UINT64_MAX;  // the run's, fixed as it begins
  PageScope scope;                          // the run's, fixed as it begins
  bool operator==(const PageSettings&) const = default;
};

// How cleaning a page ended, before it is committed: exactly one of these.
enum class PageEnd {
  kStaged,       // cleaned, its copy staged without a name (or its document kept to be written)
  kRefused,      // no copy may be made (its folder leads into the searched tree): the run goes on
  kLoadFailed,   // not loaded: the run ends, nothing logged
  kOutOfMemory,  // not cleaned for want of memory: the run ends, nothing logged, unless
                 // memory held by pages cleaned ahead can be given back
  kWriteFailed,  // no place for its copy, or the copy not staged: the run ends after its lines
  kStopped,      // the run was stopped before the page was done: it is dropped whole
  kUpToDate,     // its source, settings and copy are as the last run left them: not cleaned
};

// What cleaning one page gave, waiting to be logged and committed in the file list's order.
struct CleanedPage {
  PageSettings cleanedWith;  // what the page was cleaned with
  PageEnd end = PageEnd::kStaged;
  ErrorText why;  // what the user is told, for kRefused, kLoadFailed and kWriteFailed
  FailureCause writeCause = FailureCause::kOther;  // why the write failed (kWriteFailed)
  PageLines lines;                                 // the changes' log lines, in order
  PageTally tally;                                 // what each procedure did to it
  FileIdentity source;         // the page's identity, so that it is never written over
  FileFacts sourceFacts;       // the source as it was loaded
  std::uint64_t settings = 0;  // the hash of the settings that cleaned it (SettingsHashMemo)
  ManifestRecord upToDate;     // kUpToDate: the last run's record, which stays
  // Where the copy goes.
  std::string outputRoot;    // the output folder of the run
  std::string outputFolder;  // the copy's own folder below it
  std::string output;
  // The copy, written already but without a name.
  std::unique_ptr<NewFile> file;
  // Where the copy's folder does not exist yet, the cleaned document itself: folders are made
  // in the file list's order, so that a run that ends early leaves none for later pages.
  std::unique_ptr<Document> unwritten;
};

// What the pages of a run are cleaned with. The switches are asked for right before each
// procedure, the banner slots right before each is used, and the output folder once the page
// is cleaned, so that a change made during a page counts from that moment on.
struct PageCleaning {
  std::function<bool(ProcedureId)> switchOn;
  BannerSlotReader bannerSlot;
  std::function<std::string()> outputFolder;
  std::string searchedTree;  // the real path of the searched folder, which is never written
  // Called between loading and cleaning (a host shows its status); may be empty.
  std::function<void()> loaded;
  // Where set, the lines are made for log.txt as the changes come (on a worker's thread), not
  // when the page is committed.
  const LogLineMaker* logLines = nullptr;
  // A larger page is refused before it is loaded (it could not be cleaned in the memory the
  // run may use); the run goes on with the next.
  std::uint64_t maxPageBytes = UINT64_MAX;
  PageScope scope;
  // The hash of the settings the page is cleaned with (SettingsHashMemo keeps it worked out),
  // recorded in the manifest and compared with its record.
  std::function<std::uint64_t()> settingsHash;
};

// The settings that decide what cleaning makes of a page, as one hash: the program's version,
// the switches, and the banner slots of a settings file when the banner switch is on. Worked
// out again only when they change (the file read again): 21 slots read for every page would cost a
// re-run that cleans nothing more than its stats.
class SettingsHashMemo {
 public:
  std::uint64_t Of(const std::array<bool, kProcedureCount>& switches, const CachedIniFile& banners);

 private:
  bool known_ = false;
  std::array<bool, kProcedureCount> switches_{};
  std::uint64_t bannersVersion_ = 0;
  std::uint64_t hash_ = 0;
};

// Whether the page at `path` is as the last run left it (the manifest how.scope.previous says
// so): its source and its copy stand as recorded, and `page.settings` are the settings that
// cleaned it. Sets page.output and page.upToDate, and `source`, where given, to the source's
// facts once it is looked at. Two stats; nothing is read.
bool PageUpToDate(const std::string& path, const PageCleaning& how, CleanedPage& page,
                  std::optional<FileFacts>* source = nullptr);

// A page not cleaned for want of memory, made without allocating anything; its message is
// made where it is committed.
CleanedPage OutOfMemoryPage() noexcept;

// Loads, cleans and stages the page at `path`. `stop` is polled after every block loaded and
// every change made; the page is dropped (stopped) when it has stopped by the end. The buffers
// of `spare`, a page committed before, are emptied and used again.
CleanedPage CleanPage(const std::string& path, const PageCleaning& how, const StopToken& stop,
                      CleanedPage spare = {});

// Why the copy `output` in `outputFolder` may not be made: the folder reaches the searched tree
// through a link inside the output tree under `outputRoot`; nothing when it may.
std::optional<ErrorText> OutputRefusal(const std::string& outputRoot,
                                       const std::string& outputFolder, const std::string& output,
                                       const std::string& searchedTree);

// What the user is told of a write that failed: the bytes not all written, or the file not made
// (its folder missing, no access, a folder in the way).
ErrorText WriteErrorText(const FileWriteError& e, const std::string& path);

// What a cleaned page holds in memory while it waits to be committed.
std::size_t WaitingBytes(const CleanedPage& page);

}  // namespace varnow
