// SPDX-License-Identifier: MIT
#include "batch/PageLines.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <utility>

#include "files/ReplaceFile.h"
#include "files/StreamedLog.h"

namespace varnow {
namespace {

// Lines bound for disk are written in pieces of this size, and read back so.
constexpr std::size_t kDiskPiece = 256 * 1024;

// An unnamed file in the system's temporary folder, or a named one removed at once.
int OpenScratch() {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  if (ec) {
    return -1;
  }
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 || !NoUnnamedFiles(errno)) {
    return fd;
  }
  std::string name;
  const int named = CreateTemporaryFile(folder, O_RDWR, name);
  if (named >= 0) {
    ::unlink(name.c_str());
  }
  return named;
}

}  // namespace

PageLines::~PageLines() {
  CloseDisk();
}

PageLines::PageLines(PageLines&& other) noexcept {
  *this = std::move(other);
}

PageLines& PageLines::operator=(PageLines&& other) noexcept {
  if (this != &other) {
    CloseDisk();
    bytes_ = std::move(other.bytes_);
    ends_ = std::move(other.ends_);
    facts_ = std::move(other.facts_);
    converted_ = std::move(other.converted_);
    convert_ = other.convert_;
    encoding_ = other.encoding_;
    count_ = other.count_;
    disk_ = std::exchange(other.disk_, -1);
    diskBuffer_ = std::move(other.diskBuffer_);
    diskBytes_ = other.diskBytes_;
    diskFailed_ = other.diskFailed_;
    noDisk_ = other.noDisk_;
    other.count_ = 0;
  }
  return *this;
}

void PageLines::CloseDisk() {
  if (disk_ >= 0) {
    ::close(disk_);
    disk_ = -1;
  }
}

void PageLines::Clear() {
  bytes_.clear();
  ends_.clear();
  facts_.clear();
  converted_.clear();
  count_ = 0;
  CloseDisk();
  diskBuffer_.clear();
  diskBytes_ = 0;
  diskFailed_ = false;
  noDisk_ = false;
}

std::size_t PageLines::MemoryBytes() const {
  return bytes_.size() + converted_.size() +
         ends_.size() * (sizeof(std::size_t) + sizeof(ChangeFacts)) + diskBuffer_.size();
}

std::size_t PageLines::CapacityBytes() const {
  return bytes_.capacity() + converted_.capacity() + ends_.capacity() * sizeof(std::size_t) +
         facts_.capacity() * sizeof(ChangeFacts) + diskBuffer_.capacity();
}

void PageLines::Add(const LoggedChange& change) {
  ++count_;
  if (bytes_.size() >= kMemoryCap && !noDisk_ && ToDisk(change)) {
    return;
  }
  bytes_ += change.line;
  ends_.push_back(bytes_.size());
  facts_.push_back({change.position, change.procedure});
  if (convert_) {
    AppendLogLineBytes(converted_, change.line, encoding_);
  }
}

namespace {

// A record on disk: the line's length, its facts, then its bytes.
struct RecordHead {
  std::uint32_t length;
  std::uint32_t procedure;
  std::int64_t position;
};

}  // namespace

bool PageLines::ToDisk(const LoggedChange& change) {
  if (disk_ < 0) {
    disk_ = OpenScratch();
    if (disk_ < 0) {
      noDisk_ = true;  // every line stays in memory
      return false;
    }
  }
  const RecordHead head{static_cast<std::uint32_t>(change.line.size()),
                        static_cast<std::uint32_t>(change.procedure), change.position};
  diskBuffer_.append(reinterpret_cast<const char*>(&head), sizeof head);
  diskBuffer_ += change.line;
  if (!diskFailed_ && diskBuffer_.size() >= kDiskPiece) {
    if (WriteAll(disk_, diskBuffer_) == 0) {
      diskBytes_ += diskBuffer_.size();
      diskBuffer_.clear();
    } else {
      // The disk refused (full): the lines from here on wait in the buffer, after those on
      // disk, so nothing is lost and the order holds.
      diskFailed_ = true;
    }
  }
  return true;
}

int PageLines::ForEachPiece(const PieceSink& sink) const {
  if (!ends_.empty()) {
    sink({0, bytes_, ends_, facts_, convert_ ? std::string_view(converted_) : std::string_view()});
  }
  if (disk_ < 0) {
    return 0;
  }
  // The lines past the cap: from disk a piece at a time, then those not written out.
  std::size_t rank = ends_.size();
  std::string lines;
  std::vector<std::size_t> ends;
  std::vector<ChangeFacts> facts;
  std::string record;
  const auto flush = [&] {
    if (!ends.empty()) {
      sink({rank, lines, ends, facts, {}});
      rank += ends.size();
      lines.clear();
      ends.clear();
      facts.clear();
    }
  };
  const auto parse = [&](std::string_view data) {
    record.append(data);
    std::size_t at = 0;
    while (record.size() - at >= sizeof(RecordHead)) {
      RecordHead head{};
      std::memcpy(&head, record.data() + at, sizeof head);
      if (record.size() - at - sizeof head < head.length) {
        break;
      }
      lines.append(record, at + sizeof head, head.length);
      ends.push_back(lines.size());
      facts.push_back({head.position, static_cast<ProcedureId>(head.procedure)});
      at += sizeof head + head.length;
    }
    record.erase(0, at);
    if (lines.size() >= kDiskPiece) {
      flush();
    }
  };
  std::string block(kDiskPiece, '\0');
  for (off_t offset = 0; offset < static_cast<off_t>(diskBytes_);) {
    const ssize_t n = ::pread(disk_, block.data(), block.size(), offset);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return n < 0 ? errno : EIO;
    }
    parse(std::string_view(block.data(), static_cast<std::size_t>(n)));
    offset += n;
  }
  parse(diskBuffer_);
  flush();
  return 0;
}

}  // namespace varnow
