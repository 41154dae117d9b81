// SPDX-License-Identifier: MIT
#include "batch/PageLines.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <utility>

#include "batch/LogLineMaker.h"

namespace varnow {
namespace {

// Lines bound for disk are written in pieces of this size, and read back so.
constexpr std::size_t kDiskPiece = 256 * 1024;

// A scratch file in the system's temporary folder.
bool OpenScratch(ScratchFile& file) {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  return !ec && file.Open(folder);
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
    page_ = std::move(other.page_);
    pageStart_ = std::move(other.pageStart_);
    kept_ = std::move(other.kept_);
    names_ = std::move(other.names_);
    converted_ = std::move(other.converted_);
    convertedEnds_ = std::move(other.convertedEnds_);
    maker_ = other.maker_;
    count_ = other.count_;
    disk_ = std::move(other.disk_);
    diskBuffer_ = std::move(other.diskBuffer_);
    diskBytes_ = other.diskBytes_;
    diskFailed_ = other.diskFailed_;
    noDisk_ = other.noDisk_;
    other.count_ = 0;
  }
  return *this;
}

void PageLines::CloseDisk() {
  disk_.Close();
}

void PageLines::Clear() {
  page_.clear();
  kept_.clear();
  names_.clear();
  converted_.clear();
  convertedEnds_.clear();
  count_ = 0;
  CloseDisk();
  diskBuffer_.clear();
  diskBytes_ = 0;
  diskFailed_ = false;
  noDisk_ = false;
}

std::size_t PageLines::MemoryBytes() const {
  return page_.size() + kept_.size() * sizeof(Kept) + names_.size() + converted_.size() +
         convertedEnds_.size() * sizeof(std::size_t) + diskBuffer_.size();
}

std::size_t PageLines::CapacityBytes() const {
  return page_.capacity() + kept_.capacity() * sizeof(Kept) + names_.capacity() +
         converted_.capacity() + convertedEnds_.capacity() * sizeof(std::size_t) +
         diskBuffer_.capacity();
}

void PageLines::Add(const LoggedChange& change) {
  if (count_++ == 0) {
    page_.assign(change.page);
    if (maker_ != nullptr) {
      pageStart_ = maker_->PageStart(page_);
    }
  }
  if (MemoryBytes() >= kMemoryCap && !noDisk_ && ToDisk(change)) {
    return;
  }
  // A banner's changes name the same marker again and again: it is kept once.
  std::size_t nameAt = names_.size();
  if (!change.name.empty()) {
    const std::size_t last = kept_.empty() ? 0 : kept_.back().nameLength;
    if (last == change.name.size() &&
        std::string_view(names_).substr(names_.size() - last) == change.name) {
      nameAt = names_.size() - last;
    } else {
      names_ += change.name;
    }
  }
  kept_.push_back({change.position, static_cast<std::uint32_t>(nameAt),
                   static_cast<std::uint32_t>(change.name.size()), change.procedure,
                   change.message});
  if (maker_ != nullptr) {
    maker_->AppendLine(converted_, pageStart_, change);
    if (kept_.size() % kPieceChanges == 0) {
      convertedEnds_.push_back(converted_.size());
    }
  }
}

namespace {

// A change on disk: this head, then its marker's bytes.
struct DiskHead {
  std::uint32_t nameLength;
  std::uint16_t procedure;
  std::uint16_t message;
  std::int64_t position;
};

}  // namespace

bool PageLines::ToDisk(const LoggedChange& change) {
  if (!disk_.IsOpen()) {
    if (!OpenScratch(disk_)) {
      noDisk_ = true;  // every change stays in memory
      return false;
    }
  }
  const DiskHead head{static_cast<std::uint32_t>(change.name.size()),
                      static_cast<std::uint16_t>(change.procedure),
                      static_cast<std::uint16_t>(change.message), change.position};
  diskBuffer_.append(reinterpret_cast<const char*>(&head), sizeof head);
  diskBuffer_ += change.name;
  if (!diskFailed_ && diskBuffer_.size() >= kDiskPiece) {
    if (!disk_.WriteAt(diskBytes_, diskBuffer_)) {
      diskBytes_ += diskBuffer_.size();
      diskBuffer_.clear();
    } else {
      // The disk refused (full): the changes from here on wait in the buffer, after those on
      // disk, so nothing is lost and the order holds.
      diskFailed_ = true;
    }
  }
  return true;
}

Failed PageLines::ForEachPiece(const PieceSink& sink) const {
  std::vector<LoggedChange> changes;
  changes.reserve(std::min(count_, kPieceChanges));
  std::size_t rank = 0;
  for (std::size_t piece = 0; rank < kept_.size(); ++piece) {
    const std::size_t end = std::min(kept_.size(), rank + kPieceChanges);
    changes.clear();
    for (std::size_t i = rank; i < end; ++i) {
      const Kept& k = kept_[i];
      changes.push_back({page_, k.procedure, k.message,
                         std::string_view(names_).substr(k.nameAt, k.nameLength), k.position});
    }
    std::string_view converted;
    if (maker_ != nullptr) {
      const std::size_t from = piece == 0 ? 0 : convertedEnds_[piece - 1];
      const std::size_t to =
          piece < convertedEnds_.size() ? convertedEnds_[piece] : converted_.size();
      converted = std::string_view(converted_).substr(from, to - from);
    }
    sink({rank, changes, converted});
    rank = end;
  }
  if (!disk_.IsOpen()) {
    return std::nullopt;
  }
  // The changes past the cap: from disk a piece at a time, then those not written out.
  std::vector<DiskHead> heads;
  std::string names;
  std::string record;
  const auto flush = [&] {
    if (heads.empty()) {
      return;
    }
    changes.clear();
    std::size_t nameAt = 0;
    for (const DiskHead& h : heads) {
      changes.push_back({page_, static_cast<ProcedureId>(h.procedure),
                         static_cast<MessageId>(h.message),
                         std::string_view(names).substr(nameAt, h.nameLength), h.position});
      nameAt += h.nameLength;
    }
    sink({rank, changes, {}});
    rank += heads.size();
    heads.clear();
    names.clear();
  };
  const auto parse = [&](std::string_view data) {
    record.append(data);
    std::size_t at = 0;
    while (record.size() - at >= sizeof(DiskHead)) {
      DiskHead head{};
      std::memcpy(&head, record.data() + at, sizeof head);
      if (record.size() - at - sizeof head < head.nameLength) {
        break;
      }
      names.append(record, at + sizeof head, head.nameLength);
      heads.push_back(head);
      at += sizeof head + head.nameLength;
      if (heads.size() == kPieceChanges) {
        flush();
      }
    }
    record.erase(0, at);
  };
  std::string block(kDiskPiece, '\0');
  for (std::uint64_t offset = 0; offset < diskBytes_;) {
    std::size_t got = 0;
    if (Failed failed = disk_.ReadAt(offset, block.data(), block.size(), got)) {
      return failed;
    }
    if (got == 0) {
      return FailureOf(EIO);  // the file lost bytes
    }
    parse(std::string_view(block.data(), got));
    offset += got;
  }
  parse(diskBuffer_);
  flush();
  return std::nullopt;
}

}  // namespace varnow
