// SPDX-License-Identifier: MIT
#include "logstore/LogStore.h"

#include "logstore/LogRecord.h"
#include "platform/ScratchFile.h"
#include "platform/UserFolders.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace varnow {

using namespace log_record;

namespace {

constexpr std::size_t kLinesPerCheckpoint = 64;
// Lines are gathered into blocks this large before they go to the file.
constexpr std::size_t kWriteBlock = 64 * 1024;
// After a failed write, lines are gathered this much further before the next try.
constexpr std::size_t kRetryBlock = 1024 * 1024;
// The file is read a block of this size at a time (more for a longer line).
constexpr std::size_t kReadBlock = 64 * 1024;
// Lines handed out per hold of the lock in ForEachText, so that a long copy never keeps the
// run from adding lines for long.
constexpr std::size_t kLinesPerHold = 4096;

std::size_t CountCharacters(std::string_view utf8) {
  // Every byte that does not continue a UTF-8 sequence (10xxxxxx) begins a character; the
  // continuing bytes are counted eight at a time.
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  std::size_t continuing = 0;
  std::size_t i = 0;
  for (; i + 8 <= utf8.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, utf8.data() + i, 8);
    continuing += static_cast<std::size_t>(std::popcount(word & ~(word << 1) & kHigh));
  }
  for (; i < utf8.size(); ++i) {
    continuing += (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80 ? 1 : 0;
  }
  return utf8.size() - continuing;
}

// The store's file in `folder` (made where missing); false where none can be made there.
bool OpenIn(ScratchFile& file, const std::filesystem::path& folder) {
  if (!folder.is_absolute()) {
    return false;  // never a file where the program happens to stand
  }
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return file.Open(folder);
}

}  // namespace

struct LogStore::Record {
  Kind kind = kPlain;
  std::size_t rank = 0;
  ProcedureId procedure = ProcedureId::kScript;
  std::string text;
};

std::filesystem::path LogStore::DefaultFolder() {
  return UserCacheFolder().value_or(std::filesystem::path("/.cache")) / "varnow";
}

LogStore::LogStore(const std::filesystem::path& folder) {
  if (!OpenIn(file_, folder)) {
    std::error_code error;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (!error && temporary.is_absolute()) {
      OpenIn(file_, temporary);
    }
  }
}

// Millions of lines make a file of hundreds of megabytes: the scratch file frees a large one
// aside, not at the end.
LogStore::~LogStore() = default;

void LogStore::Clear() {
  const std::lock_guard lock(mutex_);
  // Where the file cannot be emptied, the old lines stay on disk until the store is closed;
  // they are never read again.
  file_.Empty();
  std::string().swap(pending_);
  std::string().swap(cache_);
  cacheStart_ = 0;
  flushed_ = size_ = 0;
  retryAt_ = 0;
  lines_ = 0;
  ++epoch_;
  std::vector<std::uint64_t>().swap(checkpoints_);
  std::vector<PageRow>().swap(pages_);
  lastPage_.clear();
  lastPageChars_ = 0;
  lastPageShownAsItself_ = false;
  widestLine_ = widestChars_ = 0;
}

void LogStore::Append(std::string_view utf8) {
  const std::lock_guard lock(mutex_);
  AppendLocked(kPlain, {utf8}, 0, 0, ProcedureId::kScript);
}

void LogStore::AppendChange(std::string_view page, std::string_view shownPage,
                            std::string_view shownText, std::size_t rank, ProcedureId procedure) {
  const std::lock_guard lock(mutex_);
  AppendChangeLocked(page, shownPage, shownText, rank, procedure);
}

void LogStore::AppendChangeLocked(std::string_view page, std::string_view shownPage,
                                  std::string_view shownText, std::size_t rank,
                                  ProcedureId procedure) {
  if (pages_.empty() || page != lastPage_) {
    // A new page: its name once, then its lines.
    pages_.push_back({lines_, size_});
    std::string head;
    AppendHead(head, kPageName, ProcedureId::kScript, 0, page.size());
    Put(head);
    Put(page);
    lastPage_.assign(page);
    lastPageChars_ = CountCharacters(shownPage);
    lastPageShownAsItself_ = !page.empty() && shownPage == page;
  }
  // A name shown as its own bytes (nearly all) is put back by the reader; another is kept.
  if (lastPageShownAsItself_) {
    AppendLocked(kChangeAfterName, {" ", shownText}, lastPageChars_, rank, procedure);
  } else {
    AppendLocked(kChange, {shownPage, " ", shownText}, 0, rank, procedure);
  }
}

void LogStore::AppendLocked(unsigned char kind, std::initializer_list<std::string_view> stored,
                            std::size_t shownChars, std::size_t rank, ProcedureId procedure) {
  if (lines_ % kLinesPerCheckpoint == 0) {
    checkpoints_.push_back(size_);
  }
  std::size_t length = 0;
  for (const std::string_view piece : stored) {
    length += piece.size();
  }
  std::string head;
  AppendHead(head, static_cast<Kind>(kind), procedure, rank, length);
  Put(head);
  for (const std::string_view piece : stored) {
    Put(piece);
  }
  // A line no longer in bytes than the widest is in characters cannot be wider.
  if (shownChars + length > widestChars_) {
    std::size_t chars = shownChars;
    for (const std::string_view piece : stored) {
      chars += CountCharacters(piece);
    }
    if (chars > widestChars_) {
      widestChars_ = chars;
      widestLine_ = lines_;
    }
  }
  ++lines_;
}

void LogStore::Put(std::string_view bytes) {
  pending_.append(bytes);
  size_ += bytes.size();
  if (file_.IsOpen() && pending_.size() >= std::max(kWriteBlock, retryAt_)) {
    FlushLocked();
  }
}

void LogStore::FlushLocked() const {
  if (!file_.IsOpen() || pending_.empty()) {
    return;
  }
  if (file_.WriteAt(flushed_, pending_)) {
    // The disk is full: the lines wait in memory, and are tried again once another block
    // of them has come (or when they are read), not with every line.
    retryAt_ = pending_.size() + kRetryBlock;
    return;
  }
  flushed_ += pending_.size();
  pending_.clear();
  retryAt_ = 0;
}

std::string_view LogStore::ReadLocked(std::uint64_t offset, std::size_t size) const {
  if (offset >= size_) {
    return {};
  }
  size = static_cast<std::size_t>(std::min<std::uint64_t>(size, size_ - offset));
  if (file_.IsOpen() && offset + size > flushed_) {
    FlushLocked();
  }
  if (offset >= flushed_) {
    // Not in the file (kept in memory, or not written for lack of room).
    return std::string_view(pending_).substr(static_cast<std::size_t>(offset - flushed_));
  }
  if (offset < cacheStart_ || offset + size > cacheStart_ + cache_.size()) {
    const std::size_t want = static_cast<std::size_t>(
        std::min<std::uint64_t>(std::max(size, kReadBlock), flushed_ - offset));
    cache_.resize(want);
    std::size_t got = 0;
    while (got < want) {
      std::size_t n = 0;
      if (file_.ReadAt(offset + got, cache_.data() + got, want - got, n) || n == 0) {
        break;
      }
      got += n;
    }
    cache_.resize(got);
    cacheStart_ = offset;
  }
  return std::string_view(cache_).substr(static_cast<std::size_t>(offset - cacheStart_));
}

std::uint64_t LogStore::ReadRecordLocked(std::uint64_t offset, Record& record) const {
  const std::optional<Head> head = ReadHead(ReadLocked(offset, kMaxHeadBytes));
  if (!head) {
    record = {};
    return size_;
  }
  record.kind = head->kind;
  record.rank = head->rank;
  record.procedure = head->procedure;
  const std::string_view text = ReadLocked(offset + head->size, head->length);
  record.text.assign(text.substr(0, head->length));
  return offset + head->size + head->length;
}

std::uint64_t LogStore::OffsetOfLocked(std::size_t index) const {
  std::uint64_t offset = checkpoints_[index / kLinesPerCheckpoint];
  Record record;
  for (std::size_t skip = index % kLinesPerCheckpoint;;) {
    const std::uint64_t next = ReadRecordLocked(offset, record);
    if (record.kind != kPageName) {
      if (skip == 0) {
        return offset;  // a line's record, never a page's name before it
      }
      --skip;
    }
    offset = next;
  }
}

std::size_t LogStore::LineCount() const {
  const std::lock_guard lock(mutex_);
  return lines_;
}

std::uint64_t LogStore::Epoch() const {
  const std::lock_guard lock(mutex_);
  return epoch_;
}

std::pair<std::size_t, std::size_t> LogStore::Widest() const {
  const std::lock_guard lock(mutex_);
  return {widestLine_, widestChars_};
}

std::vector<LogStore::Line> LogStore::Lines(std::size_t first, std::size_t count) const {
  const std::lock_guard lock(mutex_);
  std::vector<Line> lines;
  if (first >= lines_) {
    return lines;
  }
  count = std::min(count, lines_ - first);
  lines.reserve(count);
  std::uint64_t offset = OffsetOfLocked(first);
  Record record;
  PageOfScan page;
  while (lines.size() < count) {
    offset = ReadLineLocked(offset, first + lines.size(), record, page);
    lines.push_back(
        {std::move(record.text), record.kind == kChange, record.rank, record.procedure});
  }
  return lines;
}

std::string LogStore::Text(std::size_t index) const {
  std::vector<Line> line = Lines(index, 1);
  return line.empty() ? std::string() : std::move(line.front().text);
}

std::uint64_t LogStore::ReadLineLocked(std::uint64_t offset, std::size_t index, Record& record,
                                       PageOfScan& page) const {
  for (;;) {
    const std::uint64_t next = ReadRecordLocked(offset, record);
    if (record.kind == kPageName) {
      page.name = std::move(record.text);
      page.known = true;
      offset = next;
      continue;
    }
    if (record.kind == kChangeAfterName) {
      if (!page.known) {
        page.name = PageNameLocked(PageRowOfLocked(index)->nameOffset);
        page.known = true;
      }
      record.text.insert(0, page.name);
      record.kind = kChange;
    }
    return next;
  }
}

const LogStore::PageRow* LogStore::PageRowOfLocked(std::size_t index) const {
  // The page is the last one begun at or before the line.
  const auto row =
      std::upper_bound(pages_.begin(), pages_.end(), index,
                       [](std::size_t line, const PageRow& r) { return line < r.firstLine; });
  return row == pages_.begin() ? nullptr : &*std::prev(row);
}

std::string LogStore::PageNameLocked(std::uint64_t offset) const {
  Record record;
  ReadRecordLocked(offset, record);
  return std::move(record.text);
}

std::optional<LogStore::Change> LogStore::ChangeAt(std::size_t index) const {
  const std::lock_guard lock(mutex_);
  if (index >= lines_) {
    return std::nullopt;
  }
  Record record;
  ReadRecordLocked(OffsetOfLocked(index), record);
  const PageRow* row = PageRowOfLocked(index);
  if ((record.kind != kChange && record.kind != kChangeAfterName) || row == nullptr) {
    return std::nullopt;
  }
  return Change{PageNameLocked(row->nameOffset), record.rank, record.procedure};
}

void LogStore::ForEachText(std::size_t first, std::size_t last,
                           const std::function<bool(std::string_view)>& take) const {
  std::uint64_t offset = 0;
  std::uint64_t epoch = 0;
  Record record;
  PageOfScan page;
  for (std::size_t next = first; next <= last;) {
    const std::lock_guard lock(mutex_);
    if (next == first) {
      if (first >= lines_) {
        return;
      }
      offset = OffsetOfLocked(first);
      epoch = epoch_;
      last = std::min(last, lines_ - 1);  // the lines there are as the copy begins
    } else if (epoch != epoch_) {
      return;  // cleared meanwhile: the lines asked for are gone
    }
    const std::size_t end = std::min(last + 1, next + kLinesPerHold);
    while (next < end) {
      offset = ReadLineLocked(offset, next, record, page);
      ++next;
      if (!take(record.text)) {
        return;
      }
    }
  }
}

std::size_t LogStore::IndexBytes() const {
  const std::lock_guard lock(mutex_);
  return checkpoints_.capacity() * sizeof(std::uint64_t) + pages_.capacity() * sizeof(PageRow) +
         lastPage_.capacity() + cache_.capacity() + pending_.capacity();
}

}  // namespace varnow
