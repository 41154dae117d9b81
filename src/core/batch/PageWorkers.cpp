#include "batch/PageWorkers.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "batch/RunTexts.h"
#include "cleaning/CleaningContext.h"
#include "cleaning/ProcedureOrder.h"
#include "document/Document.h"
#include "files/SourceFile.h"
#include "files/StreamedLog.h"
#include "paths/SplitPath.h"
#include "settings/CachedIniFile.h"
#include "settings/Settings.h"
#include "text/Format.h"

namespace varnow {
namespace {

// How often the thread taking the pages lets its host in while it waits.
constexpr auto kPumpInterval = std::chrono::milliseconds(10);

// How far the workers may run ahead of the page taken. Pages differ in size by orders of
// magnitude: with no room ahead, every worker but one idles while the largest page of a
// stretch is cleaned.
constexpr std::size_t kPagesAheadPerJob = 8;
constexpr std::size_t kMostPagesAhead = 256;
constexpr std::size_t kMostPendingBytes = 16 * 1024 * 1024;
// Files kept free for the rest of the program (standard streams, log, settings, folders).
constexpr rlim_t kFilesKeptFree = 64;

// A page begun and not yet taken holds one open file (its source or its copy); the pages in
// flight stay within the limit of open files, whatever `jobs` is asked for.
std::size_t PagesInFlight(std::size_t jobs) {
  std::size_t pages = jobs + std::min(jobs * (kPagesAheadPerJob - 1), kMostPagesAhead);
  rlimit files{};
  if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY) {
    const rlim_t free =
        files.rlim_cur > 2 * kFilesKeptFree ? files.rlim_cur - kFilesKeptFree : files.rlim_cur / 2;
    pages = std::min<std::size_t>(pages, std::max<rlim_t>(free, 1));
  }
  return pages;
}

std::size_t PendingBytes(const CleanedPage& page) {
  return page.lineBytes.size() + page.logBytes.size() + (page.bytes ? page.bytes->size() : 0);
}

}  // namespace

PageWorkers::PageWorkers(const std::vector<std::string>& pages,
                         const std::array<bool, kSwitchCount>& switches,
                         std::filesystem::path settingsFile, std::string outputFolder, std::size_t jobs)
    : pages_(pages),
      switches_(switches),
      settingsFile_(std::move(settingsFile)),
      outputFolder_(std::move(outputFolder)),
      window_(PagesInFlight(std::max<std::size_t>(jobs, 1))),
      ready_(window_) {
  const std::size_t threads = std::min(std::max<std::size_t>(jobs, 1), window_);
  for (std::size_t i = 0; i < threads; ++i) {
    threads_.emplace_back([this] { Work(); });
  }
}

PageWorkers::~PageWorkers() {
  Stop();
  for (std::thread& thread : threads_) {
    thread.join();
  }
}

void PageWorkers::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  roomMade_.notify_all();
}

void PageWorkers::Work() {
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock lock(mutex_);
      roomMade_.wait(lock, [&] { return stopping_ || next_ >= pages_.size() || MayStartNext(); });
      if (stopping_ || next_ >= pages_.size()) {
        return;
      }
      index = next_++;
    }
    CleanedPage page = Clean(index);
    {
      const std::lock_guard lock(mutex_);
      pendingBytes_ += PendingBytes(page);
      ready_[index % window_] = std::move(page);
    }
    pageReady_.notify_one();
  }
}

bool PageWorkers::MayStartNext() const {
  // The page to be taken next is always begun: the run never waits on a page nobody cleans.
  if (next_ == taken_) {
    return true;
  }
  return next_ < taken_ + window_ && pendingBytes_ < kMostPendingBytes;
}

CleanedPage PageWorkers::Clean(std::size_t index) const {
  const std::string& path = pages_[index];
  CleanedPage page;
  SourceFile source;
  if (const int err = source.Open(path); err != 0) {
    page.error = FormatText(run_text::kCannotOpen, {path, std::strerror(err)});
    return page;
  }
  page.device = source.Device();
  page.inode = source.Inode();
  std::unique_ptr<Document> doc = NewDocument();
  const auto append = [&doc](std::string_view bytes) { doc->Append(bytes); };
  // Loaded whole: a stop is noticed by the procedures, and a page abandoned on a stop is never
  // taken, so it need not be whole either.
  const bool loadWhole = false;
  if (const int err = source.Load(append, loadWhole, nullptr); err != 0) {
    page.error = FormatText(run_text::kCannotRead, {path, std::strerror(err)});
    return page;
  }
  source.Close();
  bool stopped = false;
  CachedIniFile banners(settingsFile_);
  CleaningContext ctx(
      *doc, stopped,
      [&page](std::string line) {
        page.lineBytes += line;
        page.lineEnds.push_back(page.lineBytes.size());
        AppendLogLineBytes(page.logBytes, line);
      },
      [this, &stopped] { stopped = stopped || stopping_.load(std::memory_order_relaxed); });
  RunProcedures(
      ctx, path, [this](Switch s) { return switches_[Index(s)]; },
      [&banners](int slot) { return ReadBannerMarkers(banners, slot); });
  if (stopped) {
    return page;  // never taken
  }
  // The copy is written here, in parallel, and named in order by the thread taking the pages.
  try {
    const SplitParts parts = SplitPath(path);
    page.output = MirroredPath(outputFolder_, parts.directory, parts.fileName);
    struct stat folder {};
    if (::stat(MirroredFolder(outputFolder_, parts.directory).c_str(), &folder) != 0 ||
        !S_ISDIR(folder.st_mode)) {
      page.bytes.emplace(doc->View());
      return page;
    }
    page.file = std::make_unique<NewFile>(page.output);
    page.file->Write(doc->View());
  } catch (const FileWriteError& e) {
    page.file.reset();
    page.writeError = e;
  } catch (const PathError& e) {
    page.error = e.what();
  }
  return page;
}

std::optional<CleanedPage> PageWorkers::Take(std::size_t index, const std::function<void()>& pump,
                                             const bool& stopFlag) {
  pump();  // once a page, as one thread pumps once a page at least
  std::unique_lock lock(mutex_);
  while (!ready_[index % window_]) {
    if (stopFlag) {
      return std::nullopt;
    }
    pageReady_.wait_for(lock, kPumpInterval);
    lock.unlock();
    pump();  // the host's events: a stop among them
    lock.lock();
  }
  if (stopFlag) {
    return std::nullopt;
  }
  std::optional<CleanedPage> page = std::move(ready_[index % window_]);
  ready_[index % window_].reset();
  pendingBytes_ -= PendingBytes(*page);
  ++taken_;
  lock.unlock();
  roomMade_.notify_all();
  return page;
}

}  // namespace varnow
