// SPDX-License-Identifier: MIT
// The settings file's reader and writer, for libFuzzer. The input is a settings file; its
// first byte also picks the key to write. Reading and checking must never fail, and writing
// one key must change no other key's value.
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/SettingsCheck.h"
#include "settings/SettingsErrors.h"

namespace {

struct Key {
  std::string_view section;
  std::string_view key;
};
constexpr std::array<Key, 7> kKeys{{
    {"Main", "StorePatch"},
    {"Main", "RmScript"},
    {"Main", "RmBlank"},
    {"Banner0", "First"},
    {"Banner0", "Last"},
    {"Banner20", "Last"},
    {"New", "Key"},
}};

std::filesystem::path FileOfThisProcess() {
  static const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                            ("varnow-fuzz-" + std::to_string(::getpid()) + ".ini");
  return file;
}

// Removes the input's file when the input is done, so that no run leaves one behind.
struct RemovedAtEnd {
  std::filesystem::path file;
  ~RemovedAtEnd() {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = FileOfThisProcess();
  const RemovedAtEnd removed{file};
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  const varnow::IniFile ini(file);
  (void)varnow::CheckSettingsFile(file);
  (void)varnow::ReadMainSection(varnow::IniSnapshot(file));

  std::array<std::string, kKeys.size()> before;
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    before[i] = ini.ReadString(kKeys[i].section, kKeys[i].key);
  }
  const std::size_t written = size == 0 ? 0 : data[0] % kKeys.size();
  try {
    ini.WriteString(kKeys[written].section, kKeys[written].key, "v");
  } catch (const varnow::SettingsWriteError&) {
    return 0;  // a file it may not rewrite is left alone
  }
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    const std::string after = ini.ReadString(kKeys[i].section, kKeys[i].key);
    const bool same =
        kKeys[i].section == kKeys[written].section && kKeys[i].key == kKeys[written].key;
    if (after != (same ? std::string("v") : before[i])) {
      std::fprintf(stderr, "writing %s/%s changed %s/%s\n", kKeys[written].section.data(),
                   kKeys[written].key.data(), kKeys[i].section.data(), kKeys[i].key.data());
      std::abort();
    }
  }
  return 0;
}
