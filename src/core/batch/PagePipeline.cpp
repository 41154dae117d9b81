// SPDX-License-Identifier: MIT
#include "batch/PagePipeline.h"

#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "Version.h"
#include "batch/RunTexts.h"
#include "cleaning/CleaningContext.h"
#include "cleaning/ProcedureTable.h"
#include "files/SourceFile.h"
#include "paths/LinkGuard.h"
#include "paths/SplitPath.h"
#include "platform/PathSyntax.h"
#include "settings/Settings.h"
#include "text/Fnv1a.h"
#include "text/Format.h"
#include "text/LoggedName.h"

namespace varnow {
namespace {

bool IsFolder(const std::string& path) {
  const std::optional<FileFacts> facts = FactsOf(path, Links::kFollow);
  return facts && facts->kind == FileKind::kFolder;
}

// Writes the copy without a name where its folder stands, or keeps the document for the
// commit to make the folder first.
void StageCopy(CleanedPage& page, std::unique_ptr<Document> doc, const std::string& path,
               const std::string& outputFolder, const std::string& searchedTree, bool dryRun) {
  page.outputRoot = outputFolder;
  try {
    const SplitParts parts = SplitPath(path);
    page.outputFolder = MirroredFolder(outputFolder, parts.directory);
    page.output = MirroredPath(outputFolder, parts.directory, parts.fileName);
  } catch (const PathError& e) {
    page.end = PageEnd::kWriteFailed;  // its folder is gone
    page.why = e.Text();
    return;
  }
  if (std::optional<ErrorText> refusal =
          OutputRefusal(outputFolder, page.outputFolder, page.output, searchedTree)) {
    page.end = PageEnd::kRefused;
    page.why = std::move(*refusal);
    return;
  }
  if (dryRun) {
    return;  // nothing is written: the page's changes and where its copy would go are all
  }
  if (!IsFolder(page.outputFolder)) {
    page.unwritten = std::move(doc);
    return;
  }
  try {
    page.file = std::make_unique<NewFile>(PathOf(page.output));
    page.file->Write(doc->Chunks());
  } catch (const FileWriteError& e) {
    page.file.reset();
    page.end = PageEnd::kWriteFailed;
    page.why = WriteErrorText(e, page.output);
    page.writeCause = e.failure.cause;
  }
}

}  // namespace

std::optional<ErrorText> OutputRefusal(const std::string& outputRoot,
                                       const std::string& outputFolder, const std::string& output,
                                       const std::string& searchedTree) {
  if (const std::optional<std::string> link =
          LinkIntoSearchedTree(outputRoot, outputFolder, searchedTree)) {
    return MakeError(ErrorId::kCannotCreate, {output}, MakeError(ErrorId::kThroughLink, {*link}));
  }
  return std::nullopt;
}

// CleanPage, with an allocation that fails thrown as std::bad_alloc.
CleanedPage CleanPageOrThrow(const std::string& path, const PageCleaning& how,
                             const StopToken& stop, CleanedPage spare);

std::optional<ErrorText> LoadPage(const std::string& path,
                                  const std::function<void(std::string_view)>& sink,
                                  const StopToken& stop, FileFacts* source, std::uint64_t maxBytes,
                                  bool* tooLarge) {
  SourceFile file;
  // Opened first, so that a page gone since the search is reported by its own name.
  if (const Failed failed = file.Open(path)) {
    return MakeError(ErrorId::kCannotOpen, {path}, *failed);
  }
  if (source != nullptr) {
    *source = file.Facts();
  }
  if (file.Size() > maxBytes) {
    if (tooLarge != nullptr) {
      *tooLarge = true;
    }
    return MakeError(ErrorId::kPageTooLarge,
                     {LoggedName(path), GroupedDigits(file.Size()), GroupedDigits(maxBytes)});
  }
  if (const Failed failed = file.Load(sink, stop)) {
    return MakeError(ErrorId::kCannotRead, {path}, *failed);
  }
  return std::nullopt;
}

LoadedPage LoadWholePage(const std::string& path) {
  LoadedPage page;
  // Its room taken once: grown block by block, a page went through buffers up to twice its
  // size.
  std::error_code unknown;
  if (const std::uintmax_t size = std::filesystem::file_size(path, unknown); !unknown) {
    page.bytes.reserve(static_cast<std::size_t>(size));
  }
  const StopToken neverStop;
  if (std::optional<ErrorText> error = LoadPage(
          path, [&page](std::string_view bytes) { page.bytes.append(bytes); }, neverStop)) {
    page.bytes.clear();
    page.error = std::move(*error);
  }
  return page;
}

namespace {

std::uint64_t CleaningSettingsHash(const std::array<bool, kProcedureCount>& switches,
                                   const CachedIniFile& banners) {
  Fnv1a64 hash;
  hash.AddField(version::kFile);
  for (const ProcedureId p : kRunOrder) {
    hash.AddNumber(static_cast<std::uint64_t>(Index(p)) * 2 + (switches[Index(p)] ? 1 : 0));
  }
  if (switches[Index(ProcedureId::kBanner)]) {
    for (int slot = 0; slot < kBannerSlots; ++slot) {
      const MarkerBytes markers = ReadBannerMarkersAsRead(banners, slot);
      hash.AddField(markers.first).AddField(markers.second);
    }
  }
  return hash.Value();
}

}  // namespace

std::uint64_t SettingsHashMemo::Of(const std::array<bool, kProcedureCount>& switches,
                                   const CachedIniFile& banners) {
  if (!known_ || switches != switches_ || banners.Version() != bannersVersion_) {
    hash_ = CleaningSettingsHash(switches, banners);
    switches_ = switches;
    bannersVersion_ = banners.Version();
    known_ = true;
  }
  return hash_;
}

bool PageUpToDate(const std::string& path, const PageCleaning& how, CleanedPage& page,
                  std::optional<FileFacts>* seen) {
  if (path.size() < how.scope.keyStart) {
    return false;
  }
  const ManifestRecord* record =
      how.scope.previous->Find(std::string_view(path).substr(how.scope.keyStart));
  if (record == nullptr || record->settings != page.settings) {
    return false;
  }
  const std::optional<FileFacts> source = FactsOf(path, Links::kFollow);
  if (seen != nullptr) {
    *seen = source;
  }
  if (!source || source->kind != FileKind::kRegular) {
    return false;
  }
  // Where its copy is, as StageCopy would find it: the searched folder's mirror and the page's
  // path below it (which has no "." or ".." part). Were it not, the copy would not be found,
  // and the page would be cleaned again.
  const std::string_view below = std::string_view(path).substr(how.scope.keyStart);
  std::size_t name = below.size();
  while (name > 0 && !IsPathSeparator(below[name - 1])) {
    --name;
  }
  std::string directory = how.scope.searchedDirectory;
  if (name > 0) {
    if (directory.empty() || !IsPathSeparator(directory.back())) {
      directory += PathSeparator();
    }
    directory += below.substr(0, name - 1);
  }
  page.output = MirroredPath(how.outputFolder(), directory, below.substr(name));
  const std::optional<FileFacts> copy = FactsOf(page.output, Links::kNotFollowed);
  if (!copy || copy->kind != FileKind::kRegular || !record->Matches(*source, *copy)) {
    return false;
  }
  page.upToDate = *record;
  return true;
}

CleanedPage OutOfMemoryPage() noexcept {
  CleanedPage page;
  page.end = PageEnd::kOutOfMemory;
  return page;
}

CleanedPage CleanPage(const std::string& path, const PageCleaning& how, const StopToken& stop,
                      CleanedPage spare) {
  try {
    return CleanPageOrThrow(path, how, stop, std::move(spare));
  } catch (const std::bad_alloc&) {
    // The page, its log or its copy does not fit in memory. Nothing is allocated here, where
    // memory has just run out (on a worker's thread an exception from here would end the
    // program): the page is cleaned again alone, or the run ends with the message its
    // committer makes.
    return OutOfMemoryPage();
  }
}

CleanedPage CleanPageOrThrow(const std::string& path, const PageCleaning& how,
                             const StopToken& stop, CleanedPage spare) {
  CleanedPage page;
  page.lines = std::move(spare.lines);
  page.lines.Clear();
  page.lines.MakeLogLines(how.logLines);
  page.settings = how.settingsHash();
  if (how.scope.previous != nullptr && PageUpToDate(path, how, page)) {
    page.end = PageEnd::kUpToDate;
    return page;
  }
  std::unique_ptr<Document> doc = NewDocument();
  bool tooLarge = false;
  if (std::optional<ErrorText> error = LoadPage(
          path, [&doc](std::string_view bytes) { doc->Append(bytes); }, stop, &page.sourceFacts,
          how.maxPageBytes, &tooLarge)) {
    page.source = page.sourceFacts.identity;
    page.end = tooLarge ? PageEnd::kRefused : PageEnd::kLoadFailed;
    page.why = std::move(*error);
    return page;
  }
  page.source = page.sourceFacts.identity;
  if (how.loaded) {
    how.loaded();
  }
  if (stop.Stopped()) {
    page.end = PageEnd::kStopped;
    return page;
  }
  page.tally.bytesIn = static_cast<std::uint64_t>(doc->Length());
  CleaningContext ctx(*doc, stop, [&page](const LoggedChange& change) {
    ++page.tally.procedures[Index(change.procedure)].changes;
    page.lines.Add(change);
  });
  ProcedureEdits edits{};
  RunProcedures(ctx, path, how.switchOn, how.bannerSlot, &edits);
  if (stop.Stopped()) {
    page.end = PageEnd::kStopped;
    return page;
  }
  for (std::size_t i = 0; i < kProcedureCount; ++i) {
    page.tally.procedures[i].removed = edits[i].removed;
    page.tally.procedures[i].inserted = edits[i].inserted;
  }
  page.tally.bytesOut = static_cast<std::uint64_t>(doc->Length());
  StageCopy(page, std::move(doc), path, how.outputFolder(), how.searchedTree, how.scope.dryRun);
  return page;
}

ErrorText WriteErrorText(const FileWriteError& e, const std::string& path) {
  return MakeError(
      e.stage == FileWriteError::Stage::kWrite ? ErrorId::kWriteError : ErrorId::kCannotCreate,
      {path}, e.failure);
}

std::size_t WaitingBytes(const CleanedPage& page) {
  return page.lines.MemoryBytes() +
         (page.unwritten ? static_cast<std::size_t>(page.unwritten->Length()) : 0);
}

}  // namespace varnow
