#include "batch/PageWorkers.h"

#include <cstring>

#include "batch/RunTexts.h"
#include "cleaning/CleaningContext.h"
#include "cleaning/ProcedureOrder.h"
#include "document/Document.h"
#include "files/SourceFile.h"
#include "files/StreamedLog.h"
#include "paths/SplitPath.h"
#include "settings/CachedProfile.h"
#include "settings/Settings.h"
#include "text/Format.h"

namespace varnow {
namespace {

// How often the thread taking the pages lets its host in while it waits.
constexpr auto kPumpInterval = std::chrono::milliseconds(10);

}  // namespace

PageWorkers::PageWorkers(const std::vector<std::string>& pages,
                         const std::array<bool, kSwitchCount>& switches,
                         std::filesystem::path settingsFile, std::string storeDir,
                         std::size_t jobs)
    : pages_(pages),
      switches_(switches),
      settingsFile_(std::move(settingsFile)),
      storeDir_(std::move(storeDir)),
      jobs_(std::max<std::size_t>(jobs, 1)),
      ready_(jobs_) {
  for (std::size_t i = 0; i < jobs_; ++i) {
    threads_.emplace_back([this] { Work(); });
  }
}

PageWorkers::~PageWorkers() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) {
    thread.join();
  }
}

void PageWorkers::Work() {
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock lock(mutex_);
      // Not more than jobs_ pages ahead of those taken: memory stays bounded.
      changed_.wait(lock, [&] { return stopping_ || next_ < taken_ + jobs_; });
      if (stopping_ || next_ >= pages_.size()) {
        return;
      }
      index = next_++;
    }
    CleanedPage page = Clean(index);
    {
      const std::lock_guard lock(mutex_);
      ready_[index % jobs_] = std::move(page);
    }
    changed_.notify_all();
  }
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
  CachedProfile banners(settingsFile_);
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
    page.output = MirroredPath(storeDir_, parts.directory, parts.fileName);
    std::error_code ec;
    std::filesystem::create_directories(MirroredFolder(storeDir_, parts.directory), ec);
    if (ec) {
      page.folderError = ec.message();
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
  while (!ready_[index % jobs_]) {
    if (stopFlag) {
      return std::nullopt;
    }
    changed_.wait_for(lock, kPumpInterval);
    lock.unlock();
    pump();  // the host's events: a stop among them
    lock.lock();
  }
  if (stopFlag) {
    return std::nullopt;
  }
  std::optional<CleanedPage> page = std::move(ready_[index % jobs_]);
  ready_[index % jobs_].reset();
  ++taken_;
  lock.unlock();
  changed_.notify_all();
  return page;
}

}  // namespace varnow
