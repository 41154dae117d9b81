// SPDX-License-Identifier: MIT
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "support/ReferenceConverter.h"

namespace varnow::test {

TempDir::TempDir() {
  // A name no other test process takes: made with create_directory, which fails where one
  // stands already.
  std::random_device random;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::error_code ec;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "varnow-test-%08x", static_cast<unsigned>(random()));
    if (std::filesystem::create_directory(base / name, ec)) {
      // The canonical form, so that paths the program builds from it compare equal.
      path_ = std::filesystem::canonical(base / name);
      return;
    }
  }
  ADD_FAILURE() << "cannot make a temporary folder in " << base << ": " << ec.message();
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests take write permission away from folders; give it back so everything can go.
  for (auto it = std::filesystem::recursive_directory_iterator(
           path_, std::filesystem::directory_options::skip_permission_denied, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
    }
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string Native(std::string path) {
  std::replace(path.begin(), path.end(), '/',
               static_cast<char>(std::filesystem::path::preferred_separator));
  return path;
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << file;
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Iconv(const char* to, const char* from, std::string_view in) {
  const std::optional<std::string> out = ConvertBySystem(to, from, in);
  EXPECT_TRUE(out) << "the system cannot convert " << in << " from " << from << " to " << to;
  return out.value_or(std::string());
}

}  // namespace varnow::test
