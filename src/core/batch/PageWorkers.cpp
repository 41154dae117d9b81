// SPDX-License-Identifier: MIT
#include "batch/PageWorkers.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "batch/RunTexts.h"
#include "platform/FileFacts.h"
#include "platform/OpenFileLimit.h"
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
// The pages begun ahead of the page to be taken, by their size, and what the pages cleaned
// hold, together: a large page ahead waits until it is the page to be taken, so a parallel run
// holds what one thread holds and this much more.
constexpr std::size_t kMostBytesAhead = 64 * 1024 * 1024;
// Files kept free for the rest of the program (log, settings, folders, a page cleaned again on
// the run's own thread): many where the limit allows, else the few it needs at least.
constexpr std::uint64_t kFilesKeptFree = 64;
constexpr std::uint64_t kFilesNeeded = 8;

// A page begun and not yet taken holds up to two open files (its source or its copy, and its
// log lines past what it keeps in memory); the pages in flight stay within what the limit of
// open files leaves, whatever `jobs` is asked for. None
// when it leaves too little: the run's own thread then cleans every page, as with one job.
std::size_t PagesInFlight(std::size_t jobs) {
  std::size_t pages = jobs + std::min(jobs * (kPagesAheadPerJob - 1), kMostPagesAhead);
  if (const std::optional<std::uint64_t> left = FilesLeftToOpen()) {
    const std::uint64_t free = *left > 2 * kFilesKeptFree ? *left - kFilesKeptFree
                               : *left > kFilesNeeded     ? *left - kFilesNeeded
                                                          : 0;
    pages = std::min<std::size_t>(pages, free / 2);
  }
  return pages;
}

}  // namespace

std::thread StartThread(std::function<void()> body) {
  return std::thread(std::move(body));
}

PageWorkers::PageWorkers(const std::vector<std::string>& pages, PageSettings settings,
                         std::filesystem::path settingsFile, std::string searchedTree,
                         const LogLineMaker& logLines, std::size_t jobs,
                         const ThreadStarter& startThread, std::size_t first)
    : pages_(pages),
      settingsFile_(std::move(settingsFile)),
      searchedTree_(std::move(searchedTree)),
      logLines_(logLines),
      window_(PagesInFlight(std::max<std::size_t>(jobs, 1))),
      settings_(std::move(settings)),
      next_(first),
      taken_(first),
      ready_(window_) {
  const std::size_t threads = std::min(std::max<std::size_t>(jobs, 1), window_);
  for (std::size_t i = 0; i < threads; ++i) {
    try {
      kits_.push_back(std::make_unique<WorkerKit>(*this));
      WorkerKit* kit = kits_.back().get();
      threads_.push_back(startThread([this, kit] { Work(*kit); }));
    } catch (const std::system_error&) {
      // No more threads to be had (a limit on processes or memory): these serve.
      kits_.resize(threads_.size());
      break;
    } catch (const std::bad_alloc&) {
      kits_.resize(threads_.size());
      break;
    }
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

struct PageWorkers::WorkerKit {
  explicit WorkerKit(PageWorkers& owner)
      : banners(owner.settingsFile_),
        // The worker's own stop: the run's stop reaches it through stopping_.
        stop([&owner] { return owner.stopping_.load(std::memory_order_relaxed); }),
        how{
            .switchOn = [&owner](ProcedureId s) { return owner.settings_.switches[Index(s)]; },
            // Looked at once a page (in Work), not for each of its slots: a change saved
            // during a run counts from a page begun after it.
            .bannerSlot = [this](int slot) { return ReadBannerMarkersAsRead(banners, slot); },
            .outputFolder = [&owner] { return owner.settings_.outputFolder; },
            .searchedTree = owner.searchedTree_,
            .loaded = nullptr,
            .logLines = &owner.logLines_,
            .maxPageBytes = owner.settings_.maxPageBytes,
            .scope = owner.settings_.scope,
            .settingsHash = [this,
                             &owner] { return settingsHash.Of(owner.settings_.switches, banners); },
        } {}
  WorkerKit(const WorkerKit&) = delete;
  WorkerKit& operator=(const WorkerKit&) = delete;

  CachedIniFile banners;  // read again only when the file changes
  SettingsHashMemo settingsHash;
  const StopToken stop;
  const PageCleaning how;
};

void PageWorkers::Work(WorkerKit& kit) {
  CachedIniFile& banners = kit.banners;
  const StopToken& stop = kit.stop;
  const PageCleaning& how = kit.how;
  for (;;) {
    std::size_t index = 0;
    std::size_t size = 0;
    CleanedPage spare;
    {
      std::unique_lock lock(mutex_);
      roomMade_.wait(lock, [&] { return stopping_ || next_ >= pages_.size() || MayStartNext(); });
      if (stopping_ || next_ >= pages_.size()) {
        return;
      }
      size = SizeOfNext();
      inFlightBytes_ += size;
      index = next_++;
      if (!spares_.empty()) {
        spareBytes_ -= spares_.back().lines.CapacityBytes();
        spare = std::move(spares_.back());
        spares_.pop_back();
      }
    }
    CleanedPage page;
    if (settings_.outputFolder.empty()) {
      // No output folder to stage a copy in: the page is left to the run's own thread, which
      // says why when it takes the page.
      page.cleanedWith.generation = UINT64_MAX;
    } else {
      // Nothing may leave the thread: memory that runs out anywhere here (even while an
      // error's text is made) leaves the page to be cleaned again alone on the run's thread,
      // as one thread would clean it.
      try {
        try {
          if (settings_.switches[Index(ProcedureId::kBanner)]) {
            banners.Refresh();
          }
          page = CleanPage(pages_[index], how, stop, std::move(spare));
        } catch (const std::bad_alloc&) {
          throw;
        } catch (const std::exception& e) {
          // What ends a run on one thread (a banner slot that cannot be read) ends it here
          // too, at this page.
          page = {};
          page.end = PageEnd::kLoadFailed;
          page.why = TextOf(e);
        }
        page.cleanedWith = settings_;
      } catch (const std::bad_alloc&) {
        page = OutOfMemoryPage();
      }
    }
    if (page.end == PageEnd::kStopped) {
      return;  // never taken
    }
    bool wakeOthers = false;
    {
      const std::lock_guard lock(mutex_);
      // Its document is gone: a page held back for its size may start. Workers held back by
      // the window alone wait for it to drain (see Take).
      wakeOthers = next_ >= pages_.size() || (next_ < taken_ + window_ && BytesHoldBack());
      inFlightBytes_ -= size;
      pendingBytes_ += WaitingBytes(page);
      ready_[index % window_] = std::move(page);
    }
    pageReady_.notify_one();
    if (wakeOthers) {
      roomMade_.notify_all();
    }
  }
}

bool PageWorkers::MayStartNext() {
  // The page to be taken next is always begun: the run never waits on a page nobody cleans.
  if (next_ == taken_) {
    return true;
  }
  return next_ < taken_ + window_ && !BytesHoldBack();
}

bool PageWorkers::BytesHoldBack() {
  return pendingBytes_ >= kMostPendingBytes ||
         (next_ < pages_.size() && pendingBytes_ + inFlightBytes_ + SizeOfNext() > kMostBytesAhead);
}

std::size_t PageWorkers::SizeOfNext() {
  if (sizedIndex_ != next_) {
    // A page that cannot be looked at now is found out when it is loaded.
    const std::optional<FileFacts> facts = FactsOf(pages_[next_], Links::kFollow);
    nextSize_ = facts ? static_cast<std::size_t>(facts->size) : 0;
    sizedIndex_ = next_;
  }
  return nextSize_;
}

std::optional<CleanedPage> PageWorkers::Take(std::size_t index, const StopToken& stop) {
  stop.Poll();  // once a page, as one thread polls once a page at least
  std::unique_lock lock(mutex_);
  while (!ready_[index % window_]) {
    if (stop.Stopped()) {
      return std::nullopt;
    }
    pageReady_.wait_for(lock, kPumpInterval);
    lock.unlock();
    stop.Poll();  // the host's events: a stop among them
    lock.lock();
  }
  if (stop.Stopped()) {
    return std::nullopt;
  }
  std::optional<CleanedPage> page = std::move(ready_[index % window_]);
  ready_[index % window_].reset();
  // Workers held back by the window are let go once half of it has been taken: woken for every
  // page taken, each would clean one small page and wait again, a switch of threads a page.
  // Those held back by bytes are woken at once, as the bytes given back may let them start.
  // (With every page begun taken, next_ == taken_: they are woken before the run waits.)
  const bool wake = next_ - (taken_ + 1) <= window_ / 2 || BytesHoldBack();
  pendingBytes_ -= WaitingBytes(*page);
  ++taken_;
  lock.unlock();
  if (wake) {
    roomMade_.notify_all();
  }
  return page;
}

void PageWorkers::GiveBack(CleanedPage page) {
  // Every page ahead may need buffers of its own; what the spares hold is bounded as the
  // pages waiting are.
  const std::size_t bytes = page.lines.CapacityBytes();
  const std::lock_guard lock(mutex_);
  if (spares_.size() < window_ && spareBytes_ + bytes <= kMostPendingBytes) {
    CleanedPage spare;  // its lines' buffers only: its files are closed here
    spare.lines = std::move(page.lines);
    try {
      spares_.push_back(std::move(spare));
      spareBytes_ += bytes;
    } catch (const std::bad_alloc&) {
      // No room to keep them: the buffers go with the page, as they would without spares.
    }
  }
}

}  // namespace varnow
