// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "batch/LogLineMaker.h"
#include "batch/PagePipeline.h"
#include "batch/PageWorkers.h"
#include "batch/RunHost.h"
#include "batch/RunManifest.h"
#include "batch/RunScope.h"
#include "cleaning/ProcedureOrder.h"
#include "files/StreamedLog.h"
#include "messages/ErrorTexts.h"
#include "paths/SplitPath.h"
#include "platform/CaseRule.h"
#include "settings/CachedIniFile.h"

namespace varnow {

// An error that ends a run, thrown inside it and caught where the run ends (Execute), which
// reports it as the run's end; its message is what the user is shown.
class RunError : public ProgramError {
 public:
  using ProgramError::ProgramError;
};

// The batch run: finds the pages under the host's folder, cleans each with the procedures
// switched on, writes the mirrored copies and log.txt. One object serves any number of runs,
// one at a time.
//
// Threads, what each runs and touches, and what guards it:
// - The run's thread (varnow-cli's main thread; in the window a std::thread of the window's
//   own) runs Execute: the search, the commit of every page in file-list order, log.txt, and
//   every call to the host. Everything of this object is touched on it alone, the stop token
//   included: a Stop from elsewhere (the window's Stop, Ctrl-C) reaches it through the host's
//   poll (an atomic the host sets), and RequestStop is called only from inside that poll.
// - Workers (PageWorkers: as many as jobs, when more than one) run CleanPage on
//   pages ahead: load, clean, stage the copy without a name. They share only PageWorkers' state
//   under its mutex_ (the pages ready, the next page, the bytes held) and its atomic
//   stopping_; their settings are fixed for their life, each has its own view of the banner
//   slots and its own stop token. A cleaned page passes to the run's thread whole, under
//   mutex_, and is never touched by its worker again.
// - Where only what changed is cleaned, helpers (as many as jobs, for a while before the pages
//   are taken) look at parts of the file list for pages up to date (PrejudgeUpToDate): they
//   read the file list, the last run's manifest and a fixed PageCleaning, and each writes only
//   its own part of the result and its own list of identities; the run's thread polls the host
//   meanwhile and tells them of a stop through an atomic, and joins them before going on.
// - In the window, the window's thread publishes what the user set (folder, switches, output
//   folder) to WindowRunHost under its mutex_, and shows what the run reports (status,
//   progress, the end) from queued calls; the log pane's store (LogStore) takes the run's lines
//   under its own lock while the window reads them.
// - In varnow-cli, a signal-watching thread (SignalWatcher) only sets atomics the host's poll
//   reads.
class BatchRun {
 public:
  // `poll` is the host's: it runs what the host has pending between the run's steps (its
  // events, its progress) and says whether the run is to stop.
  BatchRun(RunHost& host, std::filesystem::path settingsFile, StopToken::HostPoll poll = nullptr);
  ~BatchRun();
  BatchRun(const BatchRun&) = delete;
  BatchRun& operator=(const BatchRun&) = delete;

  // Runs one whole batch and says how it ended, as the host's RunEnded was told. After an
  // error the run is ended cleanly all the same (log.txt saved with the error as its last
  // line); when log.txt cannot be saved either, its own error follows on a second line of the
  // end's error. Does nothing when a run is already going (called from inside its poll).
  RunEnd Execute();

  // The Stop action: the run ends at its next poll.
  void RequestStop();

  bool Running() const { return running_; }

  // Pages cleaned at once, each on a thread of its own; what is written, and in which order,
  // is what one thread writes: a page cleaned ahead under settings changed since it was begun
  // is cleaned again when its turn comes. 1 by default.
  void SetJobs(std::size_t jobs) { jobs_ = std::max<std::size_t>(jobs, 1); }
  // What the next runs take on and leave (RunScope); by default every page found, written
  // and logged in log.txt beside the mirror of the searched folder.
  void SetScope(RunScope scope) { scope_ = std::move(scope); }
  bool StopFlag() const { return stop_.Stopped(); }
  // Pages of the last run that were refused one by one (the run went on).
  std::size_t RefusedPages() const { return refused_; }
  // What the last run did, once it has ended (also after an error or a stop).
  const RunSummary& Summary() const { return summary_; }
  // How the parallel run starts its threads (tests make it fail).
  void SetThreadStarter(ThreadStarter starter) { startThread_ = std::move(starter); }
  // How the run learns whether an output folder's file system ignores letter case (tests play
  // such a file system on one that does not).
  using CaseProbe = std::function<std::optional<bool>(const std::string& folder)>;
  void SetCaseProbe(CaseProbe probe) { probeCase_ = std::move(probe); }

 private:
  void Run();
  // Page `index` cleaned on the run's thread and committed; false when the run was stopped.
  bool ProcessFile(std::size_t index);
  // How page `index` is cleaned on the run's thread: with `settings`, its status shown once
  // the page is loaded.
  PageCleaning OneThreadCleaning(std::size_t index, const PageSettings& settings);
  // The host's settings as they stand now, for the page taken next.
  PageSettings CurrentSettings();
  // Tells the host where log.txt went, after an empty line.
  void ReportLogSaved(const std::string& logPath);
  // A dry run's end: the host is told that nothing was written.
  void ReportNothingWritten();
  // The pages the run takes: those listed, or those the search finds under `root`, the
  // folder text with its separator; only the shard's, where the run is one.
  void FindPages(const std::string& folder, const std::string& root);
  // Where log.txt goes (the mirror of the searched folder, or where the scope names it), its
  // folder, and the manifest beside it; with `outputFolder` as the output folder.
  std::string LogFilePath(const std::string& outputFolder) const;
  std::string LogFolder(const std::string& outputFolder) const;
  std::string ManifestPath(const std::string& outputFolder) const;
  // Reads the last run's manifest, telling the host and the log when it cannot be used.
  void ReadPreviousManifest(const std::string& path);
  // Writes the manifest of the pages written or found up to date; the records of pages this
  // run did not reach (or was not given) are carried over from the last run's.
  void SaveManifest();
  // Page `index`'s key in the manifest: its path below the searched folder.
  std::string_view KeyOf(std::size_t index) const;
  // The summary's last figures, as the run ends however it ends.
  void FinishSummary();
  // The pages from `first` on, cleaned on the run's thread.
  void ProcessOneByOne(std::size_t first);
  // The pages cleaned on jobs_ threads (or on this one), committed in the file list's order;
  // where only what changed is cleaned, those found up to date beforehand are committed here
  // in their turn and the workers clean the others.
  void ProcessPages();
  // A page a run that cleans only what changed found up to date before its workers started:
  // the workers never see it (a page handed over costs more than its check), and the run's
  // thread commits it in its turn.
  struct Prejudged {
    ManifestRecord record;
    std::string output;
  };
  std::vector<std::optional<Prejudged>> PrejudgeUpToDate();
  // Commits page `index`, found up to date with `found` under the host's settings generation
  // `judgedUnder`; where a setting was saved since, it is cleaned here instead. False when the
  // run was stopped.
  bool CommitPrejudged(std::size_t index, Prejudged& found, std::uint64_t judgedUnder);
  // Logs the lines of page `index` and gives its copy its name (making its folder first where
  // needed), or ends the run with the error that kept the page from being loaded or written.
  // The lines are settled in log.txt's body before the copy is named. With `spaceMayBeFreed`
  // (later pages' copies are staged), a page whose copy or lines found no room on the disk is
  // left alone, unlogged, for the page to be cleaned again once the pages ahead are dropped.
  // How a commit ended; a failure ends the run with `error` (the caller throws it).
  enum class Committed { kWritten, kRefused, kOutOfSpace, kOutOfMemory, kFailed };
  struct Commit {
    Committed kind;
    ErrorText error = {};
  };
  Commit CommitPage(std::size_t index, CleanedPage& page, bool spaceMayBeFreed);
  // Names page `index` with `why`, counts it, and lets the run go on.
  Commit Refuse(std::size_t index, const ErrorText& why);
  // Page `index` as the last run left it: logged as such, its record kept.
  Commit KeepUpToDate(std::size_t index, const CleanedPage& page, std::uint64_t folded);
  // The lines of page `index`, into log.txt's body; then, once they are settled there, to the
  // host.
  // Each returns why the lines could not be read back, if they could not. The pieces are read
  // twice: the host is shown no line that log.txt's body might still drop.
  std::optional<ErrorText> WritePageLines(std::size_t index, const CleanedPage& page);
  std::optional<ErrorText> ShowPageLines(std::size_t index, const CleanedPage& page);
  std::optional<ErrorText> ReadBackError(std::size_t index, const Failed& failed) const;
  // Why a cleaned page may not be committed while the run goes on: its folder leads into the
  // searched tree through a link, or its path holds another page's copy of this run.
  // `folded` is the hash of its output path folded to one letter case (FoldedName).
  std::optional<ErrorText> RefusalAtCommit(const CleanedPage& page, std::uint64_t folded);
  // Whether the file system of the existing output folder `folder` ignores letter case, probed
  // at most once a folder and run.
  bool IgnoresCase(const std::string& folder);
  // A copy's path as a file system that ignores case compares it, hashed; worked out once a page.
  std::uint64_t FoldedName(const std::string& output) const;
  // The first time a copy goes to an existing `folder` in a run, what interrupted runs left
  // there is removed and logged.
  void RemoveStrayFilesOnce(const std::string& folder);
  // Why `output` may not be written: the page's own source (`source`) or another page stands
  // there; nothing when it may.
  std::optional<ErrorText> ReplacesAPage(const std::string& output, FileIdentity source);
  // Refuses a folder text that names no folder, and an output folder whose mirror of the
  // searched folder is that folder itself.
  void RefuseOutputOntoFolder(const std::string& folder, const std::string& outputFolder);
  // Whether `there`, what stands at an output path (not followed), is one of the pages of this
  // run (by identity, through any link).
  bool IsAPageOfTheRun(const std::optional<FileFacts>& there);
  std::string NeedOutputFolder();
  // log.txt's five header lines, as of now.
  std::vector<std::string> HeaderLines(std::chrono::steady_clock::duration elapsed) const;
  // Saves the header and every line of the run as log.txt; returns its path.
  std::string SaveLog(std::chrono::steady_clock::duration elapsed);
  // A line of the run: to the log pane and to log.txt.
  // A line that reports no change, to the host and to log.txt; `about` is the file it names.
  // A notice to the host and into log.txt.
  void Report(const RunNotice& notice);
  // Forgets the run and tells the host how it ended.
  RunEnd EndCleanly(RunEnd::How how, ErrorText error);

  RunHost& host_;
  RunScope scope_;
  RunManifest previous_;  // the last run's, where this one reads it
  bool previousUsable_ = false;
  RunManifest next_;                         // this run's, saved as it ends
  std::unordered_set<std::string> dropped_;  // keys of pages refused: no record carried over
  std::size_t keyStart_ = 0;                 // where a page's key begins in its path
  std::size_t upToDate_ = 0;                 // pages found up to date
  std::size_t listedRefused_ = 0;            // listed pages refused before the run took them
  std::string caseUnknownAt_;      // a dry run's output folder whose case rule was not probed
  CachedIniFile banners_;          // the settings file, read again only when it changes
  SettingsHashMemo settingsHash_;  // of the settings pages are taken with on the run's thread
  // The run's stop: polled with the host's poll between its steps, stopped by RequestStop.
  StopToken stop_;
  bool running_ = false;
  std::vector<std::string> fileList_;
  std::uint64_t maxPageBytes_ = UINT64_MAX;  // this run's largest page
  LogForm logForm_;                          // of this run's log.txt
  LogLineMaker logLines_;                    // its lines of changes, in that form
  Language language_ = Language::kRussian;   // the interface's, for status texts
  CleanedPage sparePage_;  // the page committed last, whose buffers the next page takes
  // The lines of the run, on their way to log.txt; the run keeps no other copy.
  StreamedLog log_;
  std::string logDirectory_;  // the folder text's directory part, once known
  bool logDirectoryKnown_ = false;
  bool logSaveTried_ = false;  // log.txt was (tried to be) saved in this run
  std::size_t jobs_ = 1;
  bool copyNamed_ = false;  // the page being committed has gone past naming its copy
  ThreadStarter startThread_;
  // The parallel run's workers; stopped at the run's end, waited for after log.txt is saved.
  std::unique_ptr<PageWorkers> workers_;
  std::size_t written_ = 0;
  std::size_t skipped_ = 0;  // folders and files the search could not go into, pages refused
  std::size_t refused_ = 0;  // pages refused one by one
  RunSummary summary_;
  std::string searchedTree_;  // the real path of the searched folder
  // The copies this run has written (device, inode): a page never replaces one.
  std::set<FileIdentity> copies_;
  std::set<std::string> strayChecked_;  // output folders looked at for stray temporary files
  CaseProbe probeCase_ = FolderIgnoresCase;
  std::map<std::string, bool> caseRules_;  // output folder -> its file system ignores case
  CaseFolding caseFolding_;
  // The paths of this run's copies, folded to one case, as 64-bit hashes (a few bytes a page): a
  // page whose copy folds to one of them, in a folder whose file system ignores case, is
  // refused, as the file system would write it over the first (which has another identity
  // there on some FUSE file systems).
  std::unordered_set<std::uint64_t> foldedCopies_;
  std::time_t runStartTime_ = 0;
  // The pages' identities (device, inode), learned when an output path is first found taken.
  std::set<FileIdentity> pageIds_;
  bool pageIdsKnown_ = false;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace varnow
