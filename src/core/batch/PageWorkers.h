#pragma once

#include <sys/types.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cleaning/Switch.h"
#include "files/ReplaceFile.h"

namespace varnow {

// What cleaning one page gave: its log lines in order and its cleaned bytes; or the error that
// kept it from being cleaned (it could not be opened or read), at which the run ends.
struct CleanedPage {
  // The log lines back to back, each ending at the next of lineEnds: a page's lines cost two
  // allocations, not one each (freed by another thread, they would contend in malloc).
  std::string lineBytes;
  std::vector<std::size_t> lineEnds;
  std::string logBytes;  // the lines as log.txt holds them
  std::optional<std::string> error;
  dev_t device = 0;  // the source's identity, so that it is never written over
  ino_t inode = 0;
  // The copy, written already but without a name: it is given its name (or dropped) in the
  // file list's order. Where it could not be made, the error to report at this page.
  std::string output;
  std::unique_ptr<NewFile> file;
  std::optional<FileWriteError> writeError;
  std::optional<std::string> folderError;  // the output folder could not be made
};

// Pages cleaned on several threads and handed out in the order of the file list, so that what
// is written from them is exactly what one thread writes. Each worker loads, cleans and holds
// one page at a time with a document of its own, and reads the banner slots for its page as
// the one-thread run does (each slot right before it is used). A worker that runs ahead of
// the pages taken waits: at most `jobs` pages are held at once.
class PageWorkers {
 public:
  // `storeDir` is the output root for the whole run.
  PageWorkers(const std::vector<std::string>& pages, const std::array<bool, kSwitchCount>& switches,
              std::filesystem::path settingsFile, std::string storeDir, std::size_t jobs);
  // Stops the workers and waits for them.
  ~PageWorkers();
  PageWorkers(const PageWorkers&) = delete;
  PageWorkers& operator=(const PageWorkers&) = delete;

  // Page `index`, the one after the page taken before; `pump` runs every few milliseconds
  // while it is not ready, and nothing is given once `stopFlag` is set.
  std::optional<CleanedPage> Take(std::size_t index, const std::function<void()>& pump,
                                  const bool& stopFlag);

 private:
  void Work();
  CleanedPage Clean(std::size_t index) const;

  const std::vector<std::string>& pages_;
  const std::array<bool, kSwitchCount> switches_;
  const std::filesystem::path settingsFile_;
  const std::string storeDir_;
  const std::size_t jobs_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t next_ = 0;   // the next page a worker takes on
  std::size_t taken_ = 0;  // pages handed out; a worker may be at most jobs_ pages ahead
  std::vector<std::optional<CleanedPage>> ready_;  // page i at i % jobs_
  std::atomic<bool> stopping_{false};
  std::vector<std::thread> threads_;
};

}  // namespace varnow
