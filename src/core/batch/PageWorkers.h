// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "batch/PagePipeline.h"
#include "cleaning/ProcedureId.h"

namespace varnow {

// Pages cleaned on several threads and handed out in the order of the file list. Each worker
// runs CleanPage, the steps one thread runs, on one page at a time, with a view of the banner
// slots of its own. At most `jobs` pages are in memory at once.
//
// A cleaned page waits to be taken as no more than its log lines and its copy, already
// written to a file without a name (only the first page of a folder not made yet keeps its
// copy in memory). Workers go on to later pages meanwhile, so that one large page does not
// idle the others; how far ahead they may run is bounded by a number of pages (each holds an
// open file) and by the bytes waiting. A worker that would run further waits: held back by the
// number of pages, until half of them have been taken (small pages are cleaned faster than
// they are committed, and a wake for every page would switch threads for every page); held
// back by bytes, until bytes are given back.
// Starts a thread running `body`; throws std::system_error when none can be had.
using ThreadStarter = std::function<std::thread(std::function<void()> body)>;
std::thread StartThread(std::function<void()> body);

class PageWorkers {
 public:
  // The pages from `first` on are cleaned with `settings`; workers with other settings are
  // new workers.
  // Threads that cannot be started are done without: ThreadCount() says how many serve,
  // perhaps none.
  PageWorkers(const std::vector<std::string>& pages, PageSettings settings,
              std::filesystem::path settingsFile, std::string searchedTree,
              const LogLineMaker& logLines, std::size_t jobs,
              const ThreadStarter& startThread = StartThread, std::size_t first = 0);
  // Stops the workers and waits for them.
  ~PageWorkers();
  // Has the workers drop what they clean and take on nothing more.
  void Stop();
  std::size_t ThreadCount() const { return threads_.size(); }
  PageWorkers(const PageWorkers&) = delete;
  PageWorkers& operator=(const PageWorkers&) = delete;

  // Page `index`, the one after the page taken before; `stop` is polled every few
  // milliseconds while it is not ready, and nothing is given once it has stopped.
  std::optional<CleanedPage> Take(std::size_t index, const StopToken& stop);
  // A page taken and committed: its buffers serve a page a worker cleans later, so that a
  // run in its steady state allocates and faults in no new memory for lines.
  void GiveBack(CleanedPage page);

 private:
  struct WorkerKit;  // what one worker cleans with
  void Work(WorkerKit& kit);
  bool MayStartNext();  // with mutex_ held
  // Whether the bytes waiting and in flight keep page next_ from starting, with mutex_ held.
  bool BytesHoldBack();
  std::size_t SizeOfNext();  // the size of page next_ on disk, with mutex_ held

  const std::vector<std::string>& pages_;
  const std::filesystem::path settingsFile_;
  const std::string searchedTree_;
  const LogLineMaker& logLines_;
  const std::size_t window_;     // pages begun and not yet taken, at most
  const PageSettings settings_;  // every page's

  std::mutex mutex_;
  std::condition_variable pageReady_;  // for the thread taking the pages
  std::condition_variable roomMade_;   // for the workers
  std::size_t next_ = 0;               // the next page a worker takes on
  std::size_t taken_ = 0;              // pages handed out
  std::size_t pendingBytes_ = 0;       // what the pages cleaned and not yet taken hold
  std::size_t inFlightBytes_ = 0;      // the sizes of the pages being cleaned
  std::size_t sizedIndex_ = SIZE_MAX;  // the page whose size nextSize_ is
  std::size_t nextSize_ = 0;
  std::vector<std::optional<CleanedPage>> ready_;  // page i at i % window_
  std::vector<CleanedPage> spares_;                // pages given back, for their buffers
  std::size_t spareBytes_ = 0;                     // what their buffers hold
  std::atomic<bool> stopping_{false};
  // Made on the run's thread before each worker starts, so that a worker allocates nothing
  // outside the page it cleans; a worker's kit is kits_[i] for threads_[i].
  std::vector<std::unique_ptr<WorkerKit>> kits_;
  std::vector<std::thread> threads_;
};

}  // namespace varnow
