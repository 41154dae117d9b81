#include "files/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>

namespace varnow {
namespace {

constexpr int kCreateAttempts = 100;

// Closes the descriptor and removes the temporary file unless it was renamed into place.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    Close();
    if (!path_.empty()) {
      ::unlink(path_.c_str());
    }
  }

  // Creates "<target>.<random>.tmp" beside the target. O_EXCL makes the name ours alone; mode
  // 0666 lets the umask give the file the permissions any new file of the user gets.
  int Create(const std::filesystem::path& target) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
      std::string name = target.string();
      name += '.';
      name += std::to_string(random() % 1000000000ULL);
      name += ".tmp";
      fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0) {
        path_ = std::move(name);
        return 0;
      }
      if (errno != EEXIST) {
        return errno;
      }
    }
    return EEXIST;
  }

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  int Close() {
    int result = 0;
    if (fd_ >= 0 && ::close(fd_) != 0) {
      result = errno;
    }
    fd_ = -1;
    return result;
  }
  void Release() { path_.clear(); }

 private:
  int fd_ = -1;
  std::string path_;
};

std::string Describe(FileWriteError::Stage stage, int code) {
  const char* what = stage == FileWriteError::Stage::kCreate  ? "cannot create"
                     : stage == FileWriteError::Stage::kWrite ? "cannot write"
                                                              : "cannot replace";
  return std::string(what) + ": " + std::strerror(code);
}

}  // namespace

FileWriteError::FileWriteError(Stage s, int c)
    : std::runtime_error(Describe(s, c)), stage(s), code(c) {}

void ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
  using Stage = FileWriteError::Stage;
  TemporaryFile temp;
  if (const int err = temp.Create(target); err != 0) {
    throw FileWriteError(Stage::kCreate, err);
  }
  // A file being replaced keeps its permissions; a symbolic link there is not looked through.
  struct stat old {};
  if (::lstat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::fchmod(temp.fd(), old.st_mode & 07777);
  }
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(temp.fd(), data, left);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      throw FileWriteError(Stage::kWrite, errno);
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  if (const int err = temp.Close(); err != 0) {
    throw FileWriteError(Stage::kWrite, err);
  }
  if (::rename(temp.path().c_str(), target.c_str()) != 0) {
    throw FileWriteError(Stage::kCommit, errno);
  }
  temp.Release();
}

}  // namespace varnow
