// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace varnow::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view relative) const { return path_ / relative; }

 private:
  std::filesystem::path path_;
};

// `path`, written with "/", in the system's own separators ("\" on Windows).
std::string Native(std::string path);

// Writes `bytes` to `file`, making its folders.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
// The file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& file);

// The system's own converter (ConvertBySystem), as an independent reference; fails the test
// when the text cannot be converted.
std::string Iconv(const char* to, const char* from, std::string_view in);

}  // namespace varnow::test
