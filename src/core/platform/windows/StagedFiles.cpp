// SPDX-License-Identifier: MIT
#include "platform/windows/StagedFiles.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "platform/PathSyntax.h"
#include "platform/TemporaryNames.h"
#include "platform/windows/WideNames.h"

namespace varnow::windows {

HANDLE CreateTemporaryFile(const std::filesystem::path& folder, std::string& name,
                           SystemFailure& why) {
  std::random_device random;
  const std::string base = PathText(folder.empty() ? std::filesystem::path(".") : folder);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = base;
    if (!IsPathSeparator(candidate.back())) {
      candidate += '\\';
    }
    candidate += TemporaryFileName(static_cast<std::uint32_t>(random()));
    // DELETE: renamed through this handle; shared for reading alone, so no one else writes,
    // renames or deletes it while it is written.
    const HANDLE file =
        ::CreateFileW(WidePath(candidate).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                      FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      name = std::move(candidate);
      return file;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS) {
      why = FailureOfCode(error);
      return INVALID_HANDLE_VALUE;
    }
  }
  why = FailureOfCode(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

namespace {

// One call reads or writes at most this much.
constexpr std::size_t kMostAtOnce = std::size_t{1} << 30;

OVERLAPPED At(long long at) {
  OVERLAPPED where{};
  where.Offset = static_cast<DWORD>(at);
  where.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(at) >> 32);
  return where;
}

}  // namespace

Failed WriteAllAt(HANDLE file, std::string_view bytes, long long at) {
  while (!bytes.empty()) {
    const DWORD ask = static_cast<DWORD>(std::min(bytes.size(), kMostAtOnce));
    DWORD n = 0;
    OVERLAPPED where = At(at);
    if (!::WriteFile(file, bytes.data(), ask, &n, at >= 0 ? &where : nullptr)) {
      return FailureOfCode(::GetLastError());
    }
    if (n == 0) {
      return FailureOfCode(ERROR_DISK_FULL);
    }
    bytes.remove_prefix(n);
    if (at >= 0) {
      at += n;
    }
  }
  return std::nullopt;
}

Failed ReadAt(HANDLE file, long long at, char* into, std::size_t size, std::size_t& got) {
  OVERLAPPED where = At(at);
  DWORD n = 0;
  got = 0;
  if (!::ReadFile(file, into, static_cast<DWORD>(std::min(size, kMostAtOnce)), &n, &where)) {
    const DWORD error = ::GetLastError();
    return error == ERROR_HANDLE_EOF ? std::nullopt : Failed(FailureOfCode(error));
  }
  got = n;
  return std::nullopt;
}

Failed RenameOver(HANDLE file, const std::filesystem::path& target) {
  const std::wstring to = WidePath(PathText(target));
  // FILE_RENAME_INFO ends in the name, of a length of its own.
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + to.size() * sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
  std::copy(to.begin(), to.end(), info->FileName);
  if (!::SetFileInformationByHandle(file, FileRenameInfo, info,
                                    static_cast<DWORD>(buffer.size()))) {
    return FailureOfCode(::GetLastError());
  }
  return std::nullopt;
}

}  // namespace varnow::windows
