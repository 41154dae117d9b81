// SPDX-License-Identifier: MIT
#include "CliApp.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "CliOptions.h"
#include "CliTexts.h"
#include "ExplainCommand.h"
#include "JsonLines.h"
#include "TerminalHost.h"
#include "Version.h"
#include "batch/BatchRun.h"
#include "batch/RunTexts.h"
#include "discovery/ListedPages.h"
#include "platform/MemoryReuse.h"
#include "platform/PathSyntax.h"
#include "platform/ProcessSignals.h"
#include "platform/ProgramArguments.h"
#include "platform/StandardStreams.h"
#include "platform/StopSignals.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsModel.h"
#include "text/Format.h"

namespace varnow::cli {
namespace {

void PrintError(const std::string& message) {
  std::fwrite(message.data(), 1, message.size(), stderr);  // every byte, whatever it holds
  std::fputc('\n', stderr);
}

// The bytes of the list --files-from names: a file, a pipe (`<(find ...)`), or standard input
// for "-". Read whole before the run, as the run's first step is to know its pages.
std::optional<std::string> ReadPageList(const std::string& name, Language language) {
  std::string bytes;
  Failed failed;
  if (name == "-") {
    failed = ReadStandardInput(bytes);
  } else {
    errno = 0;
    std::ifstream file(PathOf(name), std::ios::binary);
    char block[64 * 1024];
    while (file) {
      file.read(block, sizeof block);
      bytes.append(block, static_cast<std::size_t>(file.gcount()));
    }
    if (!file.eof() || file.bad()) {
      failed = FailureOf(errno != 0 ? errno : EIO);
    }
  }
  if (failed) {
    const std::string shown = name == "-" ? std::string(texts::kStandardInput.In(language)) : name;
    PrintError(
        FormatText(texts::kCannotReadList.In(language), {shown, CauseWords(*failed, language)}));
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

int RunCli(int argc, char** argv) {
  // Before any thread: the signals must be blocked in every thread but the watcher.
  const StopSignals signals(kExitSignalBase);
  PrepareTerminal();
  std::setlocale(LC_ALL, "");
  // A reader that goes away (`| head`) must not kill the run: the failed write is noticed and
  // the run goes on, writing every output and log.txt. A file-size limit makes a write fail.
  IgnoreSignalsThatWouldKillARun();

  // The program speaks the language --language asks for, else the one the settings file
  // names, else the locale's.
  const Language localeLanguage = LanguageOfEnvironment();
  const ParsedArguments parsed = ParseArguments(ProgramArguments(argc, argv), localeLanguage);
  const CliOptions& options = parsed.options;
  if (parsed.error) {
    const Language language = options.language.value_or(localeLanguage);
    PrintError("varnow-cli: " + *parsed.error + "\n" +
               FormatText(texts::kTryHelp.In(language), {"varnow-cli"}));
    return kExitUsage;
  }
  const std::filesystem::path settingsFile =
      options.settings ? std::filesystem::path(*options.settings) : FindProgramSettings().file;
  // Without a settings file of its own choosing, this is a first start: every switch off, no
  // output folder. With --only and --output no settings file is needed at all.
  SettingsModel model(settingsFile, options.settings.has_value());
  const Language language =
      options.language.value_or(model.ChosenLanguage().value_or(localeLanguage));
  model.TellProblemsIn(language);
  if (options.help) {
    std::fputs(UsageText(settingsFile.string(), language).c_str(), stdout);
    return kExitDone;
  }
  if (options.version) {
    std::printf("Varnow %s\n", version::kProduct);
    return kExitDone;
  }

  const SettingsModel::Read read = model.ForRun({options.only, options.output, options.logEncoding,
                                                 options.maxPageSize, options.logLanguage});
  if (read.problem) {
    PrintError(*read.problem);
    return kExitError;
  }
  const MainSettings& settings = read.settings;
  if (options.explain) {
    return ExplainCommand(*options.explain, settings.switches, settingsFile,
                          {language, settings.logLanguage});
  }
  const std::string& outputFolder = settings.outputFolder;
  if (outputFolder.empty()) {
    PrintError(FormatText(texts::kNoOutputFolder.In(language), {settingsFile.string()}));
    return kExitError;
  }

  TerminalHost host(options.folder, outputFolder, settings.switches, signals,
                    IsTerminal(StandardStream::kError), options.quiet);
  host.UseLogEncoding(settings.logEncoding);
  host.UseLanguages(language, settings.logLanguage);
  host.UseMaxPageSize(settings.maxPageSize);
  host.PrintJson(options.json);
  RunScope scope{.changedOnly = options.changed,
                 .dryRun = options.dryRun,
                 .listedPages = std::nullopt,
                 .logFile = options.log.value_or(std::string()),
                 .shard = options.shard};
  if (options.filesFrom) {
    const std::optional<std::string> list = ReadPageList(*options.filesFrom, language);
    if (!list) {
      return kExitError;
    }
    scope.listedPages = SplitPageList(*list, options.nulSeparated);
  }
  BatchRun run(host, settingsFile, [&host] { return host.Poll(); });
  run.SetScope(std::move(scope));
  const std::size_t jobs = options.jobs.value_or(std::max(1U, std::thread::hardware_concurrency()));
  // Every page carries its lines and copy from cleaning to commit in buffers of its own.
  KeepFreedMemoryForReuse();
  run.SetJobs(jobs);
  // What the run did, however it ended.
  const RunEnd end = run.Execute();
  PrintError(end.how == RunEnd::How::kFailed ? end.shownError : host.LastStatus());
  if (options.summary == CliOptions::Summary::kTable) {
    std::fputs(SummaryTable(end.summary, language).c_str(), stderr);
  } else if (options.summary == CliOptions::Summary::kJson) {
    host.Print(SummaryJson(end.summary, host.LogPath()));
  }
  if (end.how == RunEnd::How::kFailed) {
    return kExitError;
  }
  if (host.StopIssued()) {
    return kExitSignalBase + signals.Signal();
  }
  // Pages refused one by one did not stop the run, but the run did not do all it was asked.
  return run.RefusedPages() > 0 ? kExitError : kExitDone;
}

}  // namespace varnow::cli
