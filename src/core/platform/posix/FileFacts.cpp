// SPDX-License-Identifier: MIT
#include "platform/FileFacts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/DescriptorIo.h"

namespace varnow {
namespace {

std::int64_t Nanoseconds(const timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

FileFacts FactsOfStat(const struct stat& st) {
  FileFacts facts;
  facts.identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  facts.kind = S_ISREG(st.st_mode)   ? FileKind::kRegular
               : S_ISDIR(st.st_mode) ? FileKind::kFolder
               : S_ISLNK(st.st_mode) ? FileKind::kLink
                                     : FileKind::kOther;
  facts.size = static_cast<std::uint64_t>(st.st_size);
  facts.modified = Nanoseconds(st.st_mtim);
  facts.changed = Nanoseconds(st.st_ctim);
  return facts;
}

}  // namespace

std::optional<FileFacts> FactsOf(const std::string& path, Links links, Failed* why) {
  struct stat st {};
  const int rc = links == Links::kFollow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
  if (rc != 0) {
    if (why != nullptr) {
      *why = FailureOf(errno);
    }
    return std::nullopt;
  }
  return FactsOfStat(st);
}

struct ReadOnlyFile::State {
  int fd = -1;
  FileFacts facts;
};

ReadOnlyFile::ReadOnlyFile() : state_(std::make_unique<State>()) {}

ReadOnlyFile::~ReadOnlyFile() {
  Close();
}

Failed ReadOnlyFile::Open(const std::string& path, bool* notRegular) {
  Close();
  // O_NONBLOCK keeps a FIFO that appeared at the path from blocking the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    return FailureOf(errno);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    return FailureOf(err);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    if (notRegular != nullptr) {
      *notRegular = true;
    }
    return FailureOf(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
  }
  state_->fd = fd;
  state_->facts = FactsOfStat(st);
  return std::nullopt;
}

void ReadOnlyFile::Close() {
  if (state_->fd >= 0) {
    ::close(state_->fd);
    state_->fd = -1;
  }
}

bool ReadOnlyFile::IsOpen() const {
  return state_->fd >= 0;
}

const FileFacts& ReadOnlyFile::Facts() const {
  return state_->facts;
}

Failed ReadOnlyFile::Read(char* into, std::size_t size, std::size_t& got) {
  return ReadSome(state_->fd, into, size, got);
}

}  // namespace varnow
