// SPDX-License-Identifier: MIT
#include "batch/BatchRun.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "batch/PageWorkers.h"
#include "batch/RunTexts.h"
#include "cleaning/ProcedureTable.h"
#include "discovery/CollectFiles.h"
#include "discovery/ListedPages.h"
#include "files/MakeFolders.h"
#include "files/ReplaceFile.h"
#include "messages/MessageText.h"
#include "paths/LinkGuard.h"
#include "paths/SplitPath.h"
#include "platform/LocalTime.h"
#include "platform/MemoryLimits.h"
#include "platform/PathSyntax.h"
#include "settings/Settings.h"
#include "text/Cp1251.h"
#include "text/Format.h"

namespace varnow {
namespace {

namespace text = run_text;

std::int64_t Count(std::size_t n) {
  return static_cast<std::int64_t>(n);
}

// Makes the folder of `file` with its parents; a folder that cannot be made is reported with
// its own reason (read-only, no access, a dangling link), not as the missing folder it leaves
// behind.
void MakeFoldersFor(const std::string& folder, const std::string& file) {
  if (const Failed failed = MakeFolders(PathOf(folder))) {
    throw RunError(MakeError(ErrorId::kCannotCreate, {file}, *failed));
  }
}

std::optional<FileFacts> IdentityOf(const std::string& path, bool followLinks) {
  return FactsOf(path, followLinks ? Links::kFollow : Links::kNotFollowed);
}

}  // namespace

BatchRun::BatchRun(RunHost& host, std::filesystem::path settingsFile, StopToken::HostPoll poll)
    : host_(host),
      banners_(std::move(settingsFile)),
      stop_(std::move(poll)),
      startThread_(StartThread) {}

BatchRun::~BatchRun() = default;

void BatchRun::RequestStop() {
  // Outside a run there is nothing to stop; a flag left set would stop the next run at once.
  if (running_) {
    stop_.Stop();
  }
}

RunEnd BatchRun::Execute() {
  if (running_) {
    return {RunEnd::How::kNotStarted, {}, {}, {}};
  }
  running_ = true;
  runStartTime_ = std::time(nullptr);
  written_ = 0;
  skipped_ = 0;
  refused_ = 0;
  upToDate_ = 0;
  listedRefused_ = 0;
  caseUnknownAt_.clear();
  summary_ = {};
  logDirectoryKnown_ = false;
  logSaveTried_ = false;
  start_ = std::chrono::steady_clock::now();
  try {
    Run();
    return EndCleanly(summary_.stopped ? RunEnd::How::kStopped : RunEnd::How::kComplete, {});
  } catch (const std::exception& e) {
    // The run ends cleanly all the same, and log.txt keeps what happened up to the error.
    ErrorText message = TextOf(e);
    FinishSummary();
    try {
      Report({MessageId::kRunError, {}, {message.Logged(logForm_.language)}});
      // A log that failed to be saved is not tried again: its error is the run's already.
      if (logDirectoryKnown_ && !logSaveTried_ && scope_.dryRun) {
        ReportNothingWritten();
      } else if (logDirectoryKnown_ && !logSaveTried_) {
        SaveManifest();
        const std::string logPath = SaveLog(std::chrono::steady_clock::now() - start_);
        ReportLogSaved(logPath);
      }
    } catch (const std::exception& logError) {
      // log.txt is lost as well: the user is told both, the error that ended the run first.
      message.AddLine(TextOf(logError));
    }
    return EndCleanly(RunEnd::How::kFailed, std::move(message));
  }
}

void BatchRun::Run() {
  fileList_.clear();
  log_.Reset();
  logForm_ = {host_.LogFileEncoding(), host_.LogLanguage()};
  logLines_ = LogLineMaker(logForm_);
  language_ = host_.InterfaceLanguage();
  // A page is refused when it could not be cleaned in the memory the run may use: it is held
  // twice over, as loaded and as cleaned.
  maxPageBytes_ = host_.MaxPageBytes().value_or(MemoryARunMayUse() / 2);
  log_.SetEncoding(logForm_.encoding);
  host_.RunStarted();
  host_.SetStatus(std::string(text::kSearching.In(language_)));

  const std::string folder = host_.FolderText();
  if (folder.empty()) {
    throw RunError(MakeError(ErrorId::kNoFolder, {}));
  }
  RefuseOutputOntoFolder(folder, NeedOutputFolder());
  searchedTree_ = RealFolder(folder);
  // One separator between the folder and its entries, also for a folder text ending in "/".
  const std::string root = IsPathSeparator(folder.back()) ? folder : folder + PathSeparator();
  FindPages(folder, root);

  start_ = std::chrono::steady_clock::now();
  // log.txt goes to the mirror of the folder that was searched.
  logDirectory_ = SplitPath(folder).directory;
  logDirectoryKnown_ = true;
  const std::string outputFolder = NeedOutputFolder();
  if (!scope_.dryRun) {
    // The log's lines go to disk from now on, beside where log.txt will be.
    const std::string logFolder = LogFolder(outputFolder);
    std::error_code ignored;  // where the folder cannot be made, the lines wait elsewhere
    std::filesystem::create_directories(SystemPath(PathOf(logFolder)), ignored);
    log_.Open(PathOf(logFolder), HeaderLines(std::chrono::steady_clock::duration::zero()));
    // A log body an interrupted run left there (where the file system has no unnamed files)
    // goes too, whether or not a copy is written into that folder; this run's own body is
    // newer and locked.
    RemoveStrayFilesOnce(logFolder);
  }
  // A run given a list of pages keeps the records of the pages it was not given.
  if (scope_.changedOnly || scope_.listedPages) {
    ReadPreviousManifest(ManifestPath(outputFolder));
  }

  next_.Reserve(fileList_.size());
  foldedCopies_.reserve(fileList_.size());
  host_.PagesDone(0, fileList_.size());
  summary_.pagesFound = fileList_.size() + listedRefused_;
  summary_.pagesFailed = listedRefused_;
  if ((jobs_ > 1 || (scope_.changedOnly && previousUsable_)) && fileList_.size() > 1) {
    ProcessPages();
  } else {
    ProcessOneByOne(0);
  }

  const auto elapsed = std::chrono::steady_clock::now() - start_;
  std::string status =
      FormatText(text::kDone.In(language_), {Count(written_), ElapsedText(elapsed)});
  if (upToDate_ > 0) {
    status += FormatText(text::kUpToDateCount.In(language_), {Count(upToDate_)});
  }
  if (skipped_ > 0) {
    status += FormatText(text::kSkippedCount.In(language_), {Count(skipped_)});
  }
  host_.SetStatus(status);
  if (stop_.Stopped()) {
    Report({MessageId::kStopped, {}, {}});
  }
  FinishSummary();
  stop_.Reset();
  if (scope_.dryRun) {
    ReportNothingWritten();
    return;
  }
  SaveManifest();
  const std::string logPath = SaveLog(elapsed);
  ReportLogSaved(logPath);
}

void BatchRun::FindPages(const std::string& folder, const std::string& root) {
  keyStart_ = root.size();
  if (scope_.listedPages) {
    fileList_ = ListedPages(
        folder, *scope_.listedPages,
        [this](const std::string& page, const ErrorText& why) {
          ++listedRefused_;
          ++skipped_;
          ++refused_;
          Report({MessageId::kPageRefused, page, {why.Logged(logForm_.language)}});
        },
        scope_.shard ? &*scope_.shard : nullptr);
    return;
  }
  CollectFiles(root, fileList_, stop_, [this](const std::string& path, const SystemFailure& why) {
    ++skipped_;
    Report({MessageId::kFolderSkipped, path, {path, why.reason}});
  });
  if (scope_.shard) {
    std::erase_if(fileList_, [this](const std::string& page) {
      return !InShard(std::string_view(page).substr(keyStart_), *scope_.shard);
    });
  }
}

void BatchRun::ReportLogSaved(const std::string& logPath) {
  host_.Notice({MessageId::kBeforeLogSaved, {}, {}});
  host_.Notice({MessageId::kLogSaved, logPath, {logPath}});
}

void BatchRun::ReportNothingWritten() {
  logSaveTried_ = true;
  host_.Notice({MessageId::kBeforeLogSaved, {}, {}});
  if (caseUnknownAt_.empty()) {
    host_.Notice({MessageId::kNothingWritten, {}, {}});
  } else {
    host_.Notice({MessageId::kNothingWrittenCaseUnknown, caseUnknownAt_, {caseUnknownAt_}});
  }
}

std::string BatchRun::LogFilePath(const std::string& outputFolder) const {
  if (!scope_.logFile.empty()) {
    return scope_.logFile;
  }
  if (scope_.shard) {
    // Shards never share a log: each has its own beside where log.txt would be.
    const std::string name = "log-" + std::to_string(scope_.shard->index) + "-of-" +
                             std::to_string(scope_.shard->count) + ".txt";
    return MirroredPath(outputFolder, logDirectory_, name);
  }
  return MirroredPath(outputFolder, logDirectory_, text::kLogFileName);
}

std::string BatchRun::LogFolder(const std::string& outputFolder) const {
  if (!scope_.logFile.empty()) {
    const std::filesystem::path parent = PathOf(scope_.logFile).parent_path();
    return parent.empty() ? std::string(".") : PathText(parent);
  }
  return MirroredFolder(outputFolder, logDirectory_);
}

std::string BatchRun::ManifestPath(const std::string& outputFolder) const {
  if (scope_.logFile.empty() && !scope_.shard) {
    return MirroredPath(outputFolder, logDirectory_, text::kManifestFileName);
  }
  return LogFilePath(outputFolder) + std::string(text::kManifestSuffix);
}

void BatchRun::ReadPreviousManifest(const std::string& path) {
  ManifestRead read = ReadManifest(path);
  if (read.problem) {
    Report({MessageId::kManifestIgnored, {}, {read.problem->Logged(logForm_.language)}});
  }
  previous_ = std::move(read.manifest);
  previousUsable_ = !read.problem;
}

void BatchRun::SaveManifest() {
  const std::string outputFolder = NeedOutputFolder();
  // What this run did not reach, or was not given, stands as the last run left it: its records
  // stay, each checked again against its files when used. A whole search that went to its end
  // drops the rest (pages gone since).
  const bool whole = !scope_.listedPages && summary_.pagesNotReached == 0;
  if (!whole) {
    previous_.ForEach([this](const std::string& page, const ManifestRecord& record) {
      if (next_.Find(page) == nullptr && !dropped_.contains(page)) {
        next_.Put(page, record);
      }
    });
  }
  std::error_code ignored;  // a folder that cannot be made fails the write, which says why
  std::filesystem::create_directories(SystemPath(PathOf(LogFolder(outputFolder))), ignored);
  if (std::optional<ErrorText> error = WriteManifest(ManifestPath(outputFolder), next_)) {
    Report({MessageId::kManifestNotWritten, {}, {error->Logged(logForm_.language)}});
  }
}

std::string_view BatchRun::KeyOf(std::size_t index) const {
  return std::string_view(fileList_[index]).substr(keyStart_);
}

void BatchRun::FinishSummary() {
  summary_.elapsed = std::chrono::steady_clock::now() - start_;
  summary_.stopped = stop_.Stopped();
  const std::uint64_t reached = summary_.pagesChanged + summary_.pagesUnchanged +
                                summary_.pagesFailed + summary_.pagesUpToDate;
  summary_.pagesNotReached = summary_.pagesFound > reached ? summary_.pagesFound - reached : 0;
}

PageSettings BatchRun::CurrentSettings() {
  PageSettings settings;
  settings.generation = host_.SettingsGeneration();
  for (const ProcedureId s : kRunOrder) {
    settings.switches[Index(s)] = host_.SwitchOn(s);
  }
  settings.outputFolder = NeedOutputFolder();
  settings.maxPageBytes = maxPageBytes_;
  settings.scope = {scope_.changedOnly && previousUsable_ ? &previous_ : nullptr, keyStart_,
                    logDirectory_, scope_.dryRun};
  return settings;
}

PageCleaning BatchRun::OneThreadCleaning(std::size_t index, const PageSettings& settings) {
  return {
      // The settings of the moment the page was taken on: a change saved during a page counts
      // from the next one, on one thread as on many.
      .switchOn = [&settings](ProcedureId s) { return settings.switches[Index(s)]; },
      .bannerSlot = [this](int slot) { return ReadBannerMarkersAsRead(banners_, slot); },
      .outputFolder = [&settings] { return settings.outputFolder; },
      .searchedTree = searchedTree_,
      .loaded =
          [this, index] {
            stop_.Poll();
            host_.SetStatus(FormatText(text::kProcessing.In(language_),
                                       {Count(index), Count(fileList_.size())}));
          },
      .maxPageBytes = settings.maxPageBytes,
      .scope = settings.scope,
      .settingsHash = [this, &settings] { return settingsHash_.Of(settings.switches, banners_); },
  };
}

bool BatchRun::ProcessFile(std::size_t index) {
  host_.SetStatus(std::string(text::kLoading.In(language_)));
  const PageSettings settings = CurrentSettings();
  if (settings.switches[Index(ProcedureId::kBanner)]) {
    banners_.Refresh();  // the banner slots are read once a page, when the file has changed
  }
  CleanedPage page =
      CleanPage(fileList_[index], OneThreadCleaning(index, settings), stop_, std::move(sparePage_));
  if (page.end == PageEnd::kStopped) {
    return false;  // a stop ends the run before the page in progress: nothing of it is kept
  }
  if (Commit commit = CommitPage(index, page, false); commit.kind == Committed::kFailed) {
    ++summary_.pagesFailed;  // the page that ended the run is one that failed, not unreached
    throw RunError(commit.error);
  }
  sparePage_ = std::move(page);  // its buffers serve the next page
  return true;
}

void BatchRun::ProcessOneByOne(std::size_t first) {
  for (std::size_t i = first; i < fileList_.size() && !stop_.Stopped() && ProcessFile(i); ++i) {
  }
}

std::vector<std::optional<BatchRun::Prejudged>> BatchRun::PrejudgeUpToDate() {
  const std::size_t n = fileList_.size();
  std::vector<std::optional<Prejudged>> found(n);
  const PageSettings settings = CurrentSettings();
  if (settings.switches[Index(ProcedureId::kBanner)]) {
    banners_.Refresh();
  }
  const std::uint64_t hash = settingsHash_.Of(settings.switches, banners_);
  // PageUpToDate reads the page's settings from the probe; `how` gives it the rest.
  const PageCleaning how = OneThreadCleaning(0, settings);
  // The stats are most of what a re-run costs: the list is judged in parts, one a thread. A
  // helper reads only the list, the last run's manifest and `how`, and writes only its own
  // part of `found` and its own `seen`; the run's thread polls the host, and `stopping` tells
  // the helpers of a stop.
  const std::size_t parts = std::clamp<std::size_t>(n / 1024, 1, jobs_);
  std::vector<std::vector<FileIdentity>> seen(parts);
  std::atomic<bool> stopping{false};
  const auto judge = [&](std::size_t part) {
    const std::size_t end = (part + 1) * n / parts;
    for (std::size_t i = part * n / parts; i < end; ++i) {
      if (part == 0 && i % 256 == 0) {
        stop_.Poll();
        stopping = stop_.Stopped();
      }
      if (stopping.load(std::memory_order_relaxed)) {
        return;
      }
      CleanedPage probe;
      probe.settings = hash;
      std::optional<FileFacts> source;
      if (PageUpToDate(fileList_[i], how, probe, &source)) {
        found[i] = Prejudged{probe.upToDate, std::move(probe.output)};
      }
      if (!source) {
        source = FactsOf(fileList_[i], Links::kFollow);
      }
      if (source) {
        seen[part].push_back(source->identity);
      }
    }
  };
  std::vector<std::thread> helpers;
  std::vector<std::size_t> leftToUs;  // parts no thread could be started for
  for (std::size_t part = 1; part < parts; ++part) {
    try {
      helpers.push_back(startThread_([&judge, part] { judge(part); }));
    } catch (const std::system_error&) {
      leftToUs.push_back(part);
    }
  }
  judge(0);
  for (const std::size_t part : leftToUs) {
    judge(part);
  }
  for (std::thread& helper : helpers) {
    helper.join();
  }
  if (!stop_.Stopped()) {
    // Every page's identity, learned on the way: an output found taken is compared with them
    // without a second look at every page.
    std::vector<FileIdentity> ids;
    for (const std::vector<FileIdentity>& part : seen) {
      ids.insert(ids.end(), part.begin(), part.end());
    }
    std::sort(ids.begin(), ids.end());
    pageIds_.insert(ids.begin(), ids.end());
    pageIdsKnown_ = true;
  }
  return found;
}

bool BatchRun::CommitPrejudged(std::size_t index, Prejudged& found, std::uint64_t judgedUnder) {
  stop_.Poll();
  if (stop_.Stopped()) {
    return false;
  }
  // A setting saved since it was looked at (the host's generation grows with each, banner
  // slots included): it is judged again, and cleaned where it must be, here.
  if (host_.SettingsGeneration() != judgedUnder) {
    return ProcessFile(index);
  }
  CleanedPage page;
  page.end = PageEnd::kUpToDate;
  page.output = std::move(found.output);
  page.upToDate = found.record;
  CommitPage(index, page, false);
  return true;
}

void BatchRun::ProcessPages() {
  // Where only what changed is cleaned, the pages found up to date are committed on this
  // thread in their turn, and the workers clean the rest, a list of their own.
  std::vector<std::optional<Prejudged>> upToDate;
  std::uint64_t judgedUnder = 0;
  std::vector<std::string> changed;
  const std::vector<std::string>* work = &fileList_;
  if (scope_.changedOnly && previousUsable_) {
    // Read before the pages are judged: a setting saved meanwhile has them judged again.
    judgedUnder = host_.SettingsGeneration();
    upToDate = PrejudgeUpToDate();
    for (std::size_t i = 0; i < fileList_.size(); ++i) {
      if (!upToDate[i]) {
        changed.push_back(fileList_[i]);
      }
    }
    work = &changed;
  }
  const auto prejudged = [&upToDate](std::size_t i) {
    return i < upToDate.size() && upToDate[i].has_value();
  };
  std::size_t i = 0;
  std::size_t k = 0;  // the place of page i among the workers' pages
  std::size_t jobs = jobs_;
  while (i < fileList_.size() && !stop_.Stopped()) {
    if (prejudged(i)) {
      if (!CommitPrejudged(i, *upToDate[i], judgedUnder)) {
        return;
      }
      ++i;
      continue;
    }
    if (jobs == 1 || k + 1 >= work->size()) {
      // One thread, or one page left to clean: the run's own thread cleans it, as one job
      // would.
      if (!ProcessFile(i)) {
        return;
      }
      ++i;
      ++k;
      continue;
    }
    try {
      workers_ = std::make_unique<PageWorkers>(*work, CurrentSettings(), banners_.Path(),
                                               searchedTree_, logLines_, jobs, startThread_, k);
    } catch (const std::bad_alloc&) {
      // No memory for pages ahead: the run's own thread cleans the rest, as one job would.
      ProcessOneByOne(i);
      return;
    }
    PageWorkers& workers = *workers_;
    if (workers.ThreadCount() == 0) {
      // Not one thread could be started: the run's own thread cleans every page.
      workers_.reset();
      ProcessOneByOne(i);
      return;
    }
    bool again = false;  // page i is to be cleaned again alone
    for (; i < fileList_.size() && !stop_.Stopped(); ++i) {
      if (prejudged(i)) {
        if (!CommitPrejudged(i, *upToDate[i], judgedUnder)) {
          break;
        }
        continue;
      }
      std::optional<CleanedPage> page;
      try {
        host_.SetStatus(std::string(text::kLoading.In(language_)));
        page = workers.Take(k, stop_);
      } catch (const std::bad_alloc&) {
        // Memory ran short on this thread while the pages ahead held it: they go with the
        // workers, and the run goes on with fewer, as where a worker's page found none.
        jobs = std::max<std::size_t>(1, jobs / 2);
        again = true;
        break;
      }
      if (!page) {
        break;  // stopped while this page was awaited: it is neither logged nor written
      }
      if (page->end != PageEnd::kOutOfMemory && page->cleanedWith != CurrentSettings()) {
        // Settings were changed since the page was begun: it is cleaned again here with
        // those of now, and the workers begin anew after it with them too. (A page that
        // memory ran short for carries no settings: it is cleaned again below, with fewer
        // pages ahead.)
        again = true;
        break;
      }
      host_.SetStatus(
          FormatText(text::kProcessing.In(language_), {Count(i), Count(fileList_.size())}));
      Commit commit{Committed::kFailed};
      const StreamedLog::Mark before = log_.Position();
      copyNamed_ = false;
      try {
        commit = CommitPage(i, *page, true);
      } catch (const std::bad_alloc&) {
        if (copyNamed_) {
          throw;  // its copy stands: the run ends at this page, as on one thread
        }
        // Nothing of the page is kept: its lines go from the log, and it is cleaned again
        // alone once the pages ahead have given their memory back.
        log_.RollBack(before);
        jobs = std::max<std::size_t>(1, jobs / 2);
        again = true;
        break;
      }
      if (commit.kind == Committed::kFailed) {
        ++summary_.pagesFailed;
        throw RunError(commit.error);
      }
      if (commit.kind == Committed::kOutOfSpace) {
        again = true;
        break;
      }
      if (commit.kind == Committed::kOutOfMemory) {
        // Fewer pages ahead from here on, down to none: whatever one thread completes, the
        // run completes, with the same result.
        jobs = std::max<std::size_t>(1, jobs / 2);
        again = true;
        break;
      }
      workers.GiveBack(std::move(*page));
      ++k;
    }
    if (!again) {
      // Done, or stopped: the workers drop what they clean and are waited for once log.txt
      // is saved, so that a page in the middle of a procedure does not hold the log back.
      workers.Stop();
      return;
    }
    // The disk filled up while later pages' copies were staged, memory ran short, or the
    // settings changed: the pages ahead are gone with the workers (and the memory they held),
    // this page is cleaned again alone, as one thread would, and the workers start anew after
    // it.
    workers_.reset();
    if (!ProcessFile(i)) {
      return;
    }
    ++i;
    ++k;
  }
}

BatchRun::Commit BatchRun::CommitPage(std::size_t index, CleanedPage& page, bool spaceMayBeFreed) {
  const auto outOfSpace = [spaceMayBeFreed](FailureCause cause) {
    return spaceMayBeFreed && cause == FailureCause::kNoRoom;
  };
  const std::uint64_t folded = FoldedName(page.output);
  switch (page.end) {
    case PageEnd::kLoadFailed:
    case PageEnd::kStopped:  // never committed: the run ends before it
      return {Committed::kFailed, page.why};
    case PageEnd::kOutOfMemory:
      // With pages cleaned ahead, their memory is given back and the page is cleaned again.
      if (spaceMayBeFreed) {
        return {Committed::kOutOfMemory};
      }
      return {Committed::kFailed, MakeError(ErrorId::kOutOfMemory, {fileList_[index]})};
    case PageEnd::kRefused:
      return Refuse(index, page.why);
    case PageEnd::kUpToDate:
      return KeepUpToDate(index, page, folded);
    case PageEnd::kWriteFailed:
      if (outOfSpace(page.writeCause)) {
        return {Committed::kOutOfSpace};  // nothing of it logged: it is cleaned again
      }
      break;
    case PageEnd::kStaged:
      if (std::optional<ErrorText> refusal = RefusalAtCommit(page, folded)) {
        return Refuse(index, *refusal);
      }
      break;
  }
  if (scope_.dryRun) {
    // What would be written, shown and counted; nothing is.
    std::optional<ErrorText> failure = page.end == PageEnd::kWriteFailed
                                           ? std::optional<ErrorText>(page.why)
                                           : ReplacesAPage(page.output, page.source);
    if (std::optional<ErrorText> error = ShowPageLines(index, page); error && !failure) {
      failure = std::move(error);
    }
    if (failure) {
      return {Committed::kFailed, std::move(*failure)};
    }
    foldedCopies_.insert(folded);
    ++written_;
    summary_.AddWritten(fileList_[index], page.tally);
    host_.PagesDone(written_ + upToDate_, fileList_.size());
    return {Committed::kWritten};
  }
  // The log comes first: the page's lines are on disk, with the room for the run's last lines
  // behind them, before its copy is named; where the disk cannot take them, neither is kept.
  const StreamedLog::Mark mark = log_.Position();
  if (std::optional<ErrorText> error = WritePageLines(index, page)) {
    return {Committed::kFailed, std::move(*error)};
  }
  if (const Failed failed = log_.Settle(mark)) {
    if (spaceMayBeFreed) {
      return {Committed::kOutOfSpace};
    }
    if (page.end == PageEnd::kWriteFailed) {
      return {Committed::kFailed, page.why};
    }
    return {Committed::kFailed,
            MakeError(ErrorId::kWriteError, {LogFilePath(NeedOutputFolder())}, *failed)};
  }
  // From here on the page's lines are in the log: they are shown too, also before an error
  // that ends the run at this page.
  std::optional<ErrorText> failure;
  std::optional<FileFacts> copy;
  copyNamed_ = true;  // from here on the page may stand on disk
  if (page.end == PageEnd::kWriteFailed) {
    failure = page.why;
  } else if (std::optional<ErrorText> taken = ReplacesAPage(page.output, page.source)) {
    failure = std::move(taken);
  } else {
    std::optional<FileWriteError> failed;
    if (page.unwritten) {
      // The first page of a folder not made yet: the folder is made now, in the file list's
      // order.
      if (Failed made = MakeFolders(PathOf(page.outputFolder))) {
        failed = FileWriteError(FileWriteError::Stage::kCreate, std::move(*made));
      } else {
        failed = TryReplaceFileContents(PathOf(page.output), page.unwritten->View());
      }
    } else {
      RemoveStrayFilesOnce(page.outputFolder);
      failed = page.file->TryCommit();
    }
    if (!failed) {
      // As it stands in place: what the next run compares it with.
      copy = IdentityOf(page.output, false);
    }
    if (failed && outOfSpace(failed->failure.cause)) {
      log_.RollBack(mark);
      return {Committed::kOutOfSpace};  // nothing of it logged: it is cleaned again
    }
    if (failed) {
      failure = WriteErrorText(*failed, page.output);
    }
  }
  if (std::optional<ErrorText> error = ShowPageLines(index, page); error && !failure) {
    failure = std::move(error);
  }
  if (failure) {
    return {Committed::kFailed, std::move(*failure)};
  }
  if (copy) {
    copies_.insert(copy->identity);
    next_.Put(KeyOf(index), RecordOf(page.sourceFacts, page.settings, *copy));
  }
  foldedCopies_.insert(folded);
  page.unwritten.reset();
  page.file.reset();
  ++written_;
  summary_.AddWritten(fileList_[index], page.tally);
  host_.PagesDone(written_ + upToDate_, fileList_.size());
  return {Committed::kWritten};
}

BatchRun::Commit BatchRun::KeepUpToDate(std::size_t index, const CleanedPage& page,
                                        std::uint64_t folded) {
  Report({MessageId::kPageUpToDate, fileList_[index], {fileList_[index]}});
  next_.Put(KeyOf(index), page.upToDate);
  // Its copy stands at its path as much as one written now.
  foldedCopies_.insert(folded);
  ++upToDate_;
  ++summary_.pagesUpToDate;
  host_.PagesDone(written_ + upToDate_, fileList_.size());
  return {Committed::kWritten};
}

BatchRun::Commit BatchRun::Refuse(std::size_t index, const ErrorText& why) {
  // Refused alone: the page is named with the reason, counted, and the run goes on. Its
  // changes are not logged, as it has no copy.
  Report({MessageId::kPageRefused, fileList_[index], {why.logged}});
  dropped_.emplace(KeyOf(index));
  ++skipped_;
  ++refused_;
  ++summary_.pagesFailed;
  return {Committed::kRefused};
}

std::optional<ErrorText> BatchRun::WritePageLines(std::size_t index, const CleanedPage& page) {
  std::string lines;
  const std::string pageStart = logLines_.PageStart(fileList_[index]);
  const Failed failed = page.lines.ForEachPiece([&](const PageLines::Piece& piece) {
    if (!piece.converted.empty()) {
      log_.AddConverted(piece.converted);
      return;
    }
    lines.clear();
    for (const LoggedChange& change : piece.changes) {
      logLines_.AppendLine(lines, pageStart, change);
    }
    log_.AddConverted(lines);
  });
  return ReadBackError(index, failed);
}

std::optional<ErrorText> BatchRun::ShowPageLines(std::size_t index, const CleanedPage& page) {
  const Failed failed = page.lines.ForEachPiece([&](const PageLines::Piece& piece) {
    host_.PageChanges(fileList_[index], piece.first, piece.changes);
  });
  return ReadBackError(index, failed);
}

std::optional<ErrorText> BatchRun::ReadBackError(std::size_t index, const Failed& failed) const {
  if (failed) {
    return MakeError(ErrorId::kCannotReadLines, {fileList_[index]}, *failed);
  }
  return std::nullopt;
}

void BatchRun::RemoveStrayFilesOnce(const std::string& folder) {
  if (scope_.dryRun || !strayChecked_.insert(folder).second) {
    return;
  }
  for (const std::string& path : RemoveStrayTemporaryFiles(PathOf(folder), runStartTime_)) {
    Report({MessageId::kStrayRemoved, path, {path}});
  }
}

std::optional<ErrorText> BatchRun::RefusalAtCommit(const CleanedPage& page, std::uint64_t folded) {
  // Looked at again where folders are made: the output tree may have changed since staging.
  if (std::optional<ErrorText> refusal =
          OutputRefusal(page.outputRoot, page.outputFolder, page.output, searchedTree_)) {
    return refusal;
  }
  // Another page's copy at this path (a file system that ignores letter case, two folders
  // linked together): never replaced in silence.
  if (const std::optional<FileFacts> there = IdentityOf(page.output, false);
      there && copies_.contains(there->identity)) {
    return MakeError(ErrorId::kCannotCreate, {page.output}, MakeError(ErrorId::kIsAnotherCopy, {}));
  }
  // The same on a file system that ignores letter case: "a.htm" and "A.htm" are one file. The
  // folder's case rule is probed only where a copy of this run differs from this one in case
  // alone (no two pages have the same output path).
  if (foldedCopies_.contains(folded) && IgnoresCase(page.outputFolder)) {
    return MakeError(ErrorId::kCannotCreate, {page.output}, MakeError(ErrorId::kIsAnotherCopy, {}));
  }
  return std::nullopt;
}

bool BatchRun::IgnoresCase(const std::string& folder) {
  if (const auto known = caseRules_.find(folder); known != caseRules_.end()) {
    return known->second;
  }
  if (scope_.dryRun) {
    // Learning it takes a probe file, which a dry run does not write: the copies are taken as
    // two, and the end of the run says that it could not tell.
    if (caseUnknownAt_.empty() && IdentityOf(folder, true)) {
      caseUnknownAt_ = folder;
    }
    return false;
  }
  const std::optional<bool> ignores = probeCase_(folder);
  if (!ignores) {
    return false;  // not there yet (nothing of this run is in it), or not writable
  }
  caseRules_.emplace(folder, *ignores);
  return *ignores;
}

std::uint64_t BatchRun::FoldedName(const std::string& output) const {
  return std::hash<std::string>{}(caseFolding_.Fold(output));
}

std::optional<ErrorText> BatchRun::ReplacesAPage(const std::string& output, FileIdentity source) {
  // The source is never written, not even when the output tree maps onto the source tree.
  // (lstat: a symbolic link at the path is not the file; writing replaces the link itself.)
  const std::optional<FileFacts> there = IdentityOf(output, false);
  if (there && there->identity == source) {
    return MakeError(ErrorId::kCannotCreate, {output}, MakeError(ErrorId::kIsTheSource, {}));
  }
  // Nor any other page of the run: the output tree may lie inside the searched one.
  if (IsAPageOfTheRun(there)) {
    return MakeError(ErrorId::kCannotCreate, {output}, MakeError(ErrorId::kIsASource, {}));
  }
  return std::nullopt;
}

std::string BatchRun::NeedOutputFolder() {
  std::string outputFolder = host_.OutputFolder();
  if (outputFolder.empty()) {
    throw RunError(MakeError(ErrorId::kNoOutputFolder, {}));
  }
  return outputFolder;
}

std::vector<std::string> BatchRun::HeaderLines(std::chrono::steady_clock::duration elapsed) const {
  const auto now = std::chrono::system_clock::now();
  return {
      std::string(text::kHeaderProduct.In(logForm_.language)),
      FormatText(text::kHeaderDateTime, {LocaleDate(now), LocaleTime(now)}),
      FormatText(text::kHeaderCount.In(logForm_.language), {Count(fileList_.size())}),
      FormatText(text::kHeaderElapsed.In(logForm_.language), {ElapsedText(elapsed)}),
      std::string(text::kHeaderEnd),
  };
}

std::string BatchRun::SaveLog(std::chrono::steady_clock::duration elapsed) {
  logSaveTried_ = true;
  const std::vector<std::string> header = HeaderLines(elapsed);
  // The output folder of this moment: changed during the run, it takes log.txt along.
  const std::string outputFolder = NeedOutputFolder();
  const std::string logPath = LogFilePath(outputFolder);
  MakeFoldersFor(LogFolder(outputFolder), logPath);
  try {
    log_.Save(PathOf(logPath), header, [this] { stop_.Poll(); });
  } catch (const FileWriteError& e) {
    throw RunError(WriteErrorText(e, logPath));
  }
  return logPath;
}

void BatchRun::RefuseOutputOntoFolder(const std::string& folder, const std::string& outputFolder) {
  const std::optional<FileFacts> searched = IdentityOf(folder, true);
  if (searched && searched->kind != FileKind::kFolder) {
    throw RunError(MakeError(ErrorId::kNotAFolder, {folder}));
  }
  // The mirror of the searched folder is that folder itself ("/" as the output folder, or a
  // link back): every copy and log.txt would land on the user's own files.
  const std::optional<FileFacts> mirror =
      IdentityOf(MirroredFolder(outputFolder, SplitPath(folder).directory), true);
  if (searched && mirror && searched->identity == mirror->identity) {
    throw RunError(MakeError(ErrorId::kOutputOntoFolder, {outputFolder, folder}));
  }
}

bool BatchRun::IsAPageOfTheRun(const std::optional<FileFacts>& there) {
  // Writing replaces what stands at the path; only a file there can be a page. Most outputs
  // are new, so the pages' identities are learned only the first time one is not.
  if (!there || there->kind != FileKind::kRegular) {
    return false;
  }
  if (!pageIdsKnown_) {
    for (const std::string& page : fileList_) {
      if (const std::optional<FileFacts> id = IdentityOf(page, true)) {
        pageIds_.insert(id->identity);
      }
    }
    pageIdsKnown_ = true;
  }
  return pageIds_.contains(there->identity);
}

void BatchRun::Report(const RunNotice& notice) {
  host_.Notice(notice);
  if (!scope_.dryRun) {
    log_.Add(NoticeText(notice, logForm_.language));
  }
}

RunEnd BatchRun::EndCleanly(RunEnd::How how, ErrorText error) {
  workers_.reset();  // before the file list they clean from
  sparePage_ = {};
  fileList_ = {};
  pageIds_ = {};
  copies_ = {};
  strayChecked_ = {};
  caseRules_ = {};
  foldedCopies_ = {};
  pageIdsKnown_ = false;
  skipped_ = 0;
  previous_ = {};
  previousUsable_ = false;
  next_ = {};
  dropped_ = {};
  log_.Reset();
  banners_.Forget();
  stop_.Reset();
  running_ = false;
  RunEnd end{how, error.Logged(logForm_.language), error.Shown(language_), summary_};
  try {
    host_.RunEnded(end);
  } catch (const std::exception&) {
    // The run is over whatever the host does with the news.
  }
  return end;
}

}  // namespace varnow
