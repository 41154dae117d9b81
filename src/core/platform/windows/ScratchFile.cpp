// SPDX-License-Identifier: MIT
// A hidden temporary file of the program's own name, deleted when its handle closes
// (FILE_FLAG_DELETE_ON_CLOSE), shared with no one, read and written at offsets.
#include "platform/ScratchFile.h"

#include <windows.h>

#include <cstdio>
#include <random>
#include <utility>

#include "platform/windows/StagedFiles.h"
#include "platform/windows/WideNames.h"

namespace varnow {
namespace {

HANDLE Handle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

bool ScratchFile::Open(const std::filesystem::path& folder) {
  Close();
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "\\.vn%08x.t", static_cast<unsigned>(random()));
    const std::wstring path = windows::WidePath(windows::Utf8(folder.wstring()) + name);
    const HANDLE file = ::CreateFileW(
        path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      handle_ = reinterpret_cast<std::intptr_t>(file);
      return true;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS) {
      return false;
    }
  }
  return false;
}

Failed ScratchFile::WriteAt(std::uint64_t offset, std::string_view bytes) {
  if (Failed failed = windows::WriteAllAt(Handle(handle_), bytes, static_cast<long long>(offset))) {
    return failed;
  }
  size_ = std::max(size_, offset + bytes.size());
  return std::nullopt;
}

Failed ScratchFile::ReadAt(std::uint64_t offset, char* into, std::size_t size,
                           std::size_t& got) const {
  return windows::ReadAt(Handle(handle_), static_cast<long long>(offset), into, size, got);
}

void ScratchFile::Empty() {
  LARGE_INTEGER start{};
  if (IsOpen() && ::SetFilePointerEx(Handle(handle_), start, nullptr, FILE_BEGIN) &&
      ::SetEndOfFile(Handle(handle_))) {
    size_ = 0;
  }
}

// Deleted as its handle closes; Windows frees the blocks of a deleted file without keeping the
// closing call waiting as long as a large POSIX unlink does.
void ScratchFile::Close() {
  if (IsOpen()) {
    ::CloseHandle(Handle(handle_));
    handle_ = kNoHandle;
    size_ = 0;
  }
}

}  // namespace varnow
