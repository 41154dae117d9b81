// SPDX-License-Identifier: MIT
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <system_error>

namespace varnow::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "varnow-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot make a temporary folder";
  }
  // The canonical form, so that paths the program builds from it compare equal.
  path_ = std::filesystem::canonical(pattern);
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
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    ADD_FAILURE() << "iconv cannot convert " << from << " to " << to;
    return {};
  }
  std::string input(in);
  std::string out(in.size() * 4 + 8, '\0');
  char* src = input.data();
  std::size_t srcLeft = input.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  EXPECT_TRUE(ok) << "iconv failed on " << in;
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace varnow::test
