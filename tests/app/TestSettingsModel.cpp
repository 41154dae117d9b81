// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "settings/IniFile.h"
#include "settings/SettingsModel.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kComplete =
    "[Main]\r\nStorePatch=/out\r\nRmScript=-1\r\nRmNoscript=0\r\nRmIframe=0\r\n"
    "RmonMouseOver=0\r\nRmSpan=0\r\nRmStyle=0\r\nRmMSWord=0\r\nRmTable=0\r\nRmBody=0\r\n"
    "RmBanner=0\r\nRmFont=0\r\nRmBlank=0\r\nLogEncoding=utf-8\r\n";

// When a run reads the file, checks it, and takes the command line's settings in its place.
TEST(SettingsModel, WhatARunTakes) {
  TempDir dir;
  const std::array<bool, kProcedureCount> onlySpan = [] {
    std::array<bool, kProcedureCount> on{};
    on[Index(ProcedureId::kSpan)] = true;
    return on;
  }();
  const SettingsOverrides everything{onlySpan, std::string("/o"), LogEncoding::kUtf8, {}, {}};
  const struct {
    const char* name;
    std::string file;  // "-": none
    bool named;
    SettingsOverrides overrides;
    std::string problemStart;  // empty: none
    std::string outputFolder;
    bool script, span;
    LogEncoding encoding;
  } cases[] = {
      {"a complete file", kComplete, true, {}, "", "/out", true, false, LogEncoding::kUtf8},
      {"its own file missing: a first start",
       "-",
       false,
       {},
       "",
       "",
       false,
       false,
       LogEncoding::kCp1251},
      {"a named file missing",
       "-",
       true,
       {},
       "Файл настроек не найден",
       "",
       false,
       false,
       LogEncoding::kCp1251},
      {"a named file missing, everything given", "-", true, everything, "Файл настроек не найден",
       "", false, false, LogEncoding::kCp1251},
      {"its own file missing, everything given", "-", false, everything, "", "/o", false, true,
       LogEncoding::kUtf8},
      {"no section Main",
       "x=1\r\n",
       true,
       {},
       "В файле настроек нет раздела [Main]",
       "",
       false,
       false,
       LogEncoding::kCp1251},
      {"a switch missing",
       "[Main]\r\nStorePatch=/out\r\n",
       true,
       {},
       "В разделе [Main] файла настроек нет ключа RmScript",
       "",
       false,
       false,
       LogEncoding::kCp1251},
      {"switches given, the file's folder taken",
       "[Main]\r\nStorePatch=/out\r\n",
       true,
       {onlySpan, {}, {}, {}, {}},
       "",
       "/out",
       false,
       true,
       LogEncoding::kCp1251},
      {"the folder given",
       kComplete,
       true,
       {{}, std::string("/o"), LogEncoding::kCp1251, {}, {}},
       "",
       "/o",
       true,
       false,
       LogEncoding::kCp1251},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::filesystem::path file = dir / (std::string(c.name) + ".ini");
    if (c.file != "-") {
      WriteBytes(file, c.file);
    }
    const SettingsModel::Read read = SettingsModel(file, c.named).ForRun(c.overrides);
    EXPECT_EQ(read.problem.has_value(), !c.problemStart.empty());
    EXPECT_TRUE(read.problem.value_or("").starts_with(c.problemStart)) << *read.problem;
    if (read.problem) {
      continue;
    }
    EXPECT_EQ(read.settings.outputFolder, c.outputFolder);
    EXPECT_EQ(read.settings.switches[Index(ProcedureId::kScript)], c.script);
    EXPECT_EQ(read.settings.switches[Index(ProcedureId::kSpan)], c.span);
    EXPECT_EQ(read.settings.logEncoding, c.encoding);
  }
}

// MaxPageSize is the file's where it gives a size, the command line's in its place, and a file
// that gives something else is refused for a run; a window keeps it and never writes it.
TEST(SettingsModel, TheLargestPageIsTheFilesOrTheCommandLines) {
  TempDir dir;
  const struct {
    std::string value;  // of MaxPageSize; empty: no key
    std::optional<std::uint64_t> given;
    std::optional<std::uint64_t> taken;
    bool refused;
  } cases[] = {
      {"", {}, {}, false},         {"1048576", {}, 1048576, false},
      {"64K", {}, 65536, false},   {"2g", {}, std::uint64_t{2} << 30, false},
      {"64K", 1000, 1000, false},  {"lots", {}, {}, true},
      {"lots", 1000, 1000, false},  // the command line's, the file's not looked at
      {"0", {}, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const std::filesystem::path file = dir / "varnow.ini";
    WriteBytes(file, kComplete + (c.value.empty() ? "" : "MaxPageSize=" + c.value + "\r\n"));
    const SettingsModel::Read read =
        SettingsModel(file, true).ForRun({std::nullopt, std::nullopt, std::nullopt, c.given, {}});
    EXPECT_EQ(read.problem.has_value(), c.refused);
    if (!c.refused) {
      EXPECT_EQ(read.settings.maxPageSize, c.taken);
    }
  }
  SettingsModel window(dir / "varnow.ini", false);
  WriteBytes(dir / "varnow.ini", kComplete + "MaxPageSize=64K\r\n");
  SettingsModel::Read read = window.ForEditing();
  EXPECT_EQ(read.settings.maxPageSize, std::optional<std::uint64_t>(65536));
  read.settings.outputFolder = "/elsewhere";
  window.Write(read.settings, true);
  EXPECT_NE(ReadBytes(dir / "varnow.ini").find("MaxPageSize=64K"), std::string::npos);
}

// A window reads the file for editing and, at its end, writes back only what it changed: a
// key another window saved meanwhile keeps that window's value; a first start writes the file
// whole, without the log's encoding while it is the default.
TEST(SettingsModel, AWindowWritesBackOnlyWhatItChanged) {
  TempDir dir;
  const std::filesystem::path file = dir / "varnow.ini";
  SettingsModel first(file, false);
  SettingsModel::Read read = first.ForEditing();
  EXPECT_FALSE(read.problem.has_value());  // a first start
  first.Write(read.settings, true);
  EXPECT_EQ(ReadBytes(file).find("LogEncoding"), std::string::npos);
  EXPECT_NE(ReadBytes(file).find("RmBlank=0"), std::string::npos);

  read = first.ForEditing();
  SettingsModel other(file, false);
  MainSettings others = other.ForEditing().settings;
  others.outputFolder = "/saved-by-the-other";
  other.Write(others, false);
  read.settings.switches[Index(ProcedureId::kFont)] = true;
  first.Write(read.settings, true);
  const SettingsModel::Read now = SettingsModel(file, false).ForEditing();
  EXPECT_EQ(now.settings.outputFolder, "/saved-by-the-other");
  EXPECT_TRUE(now.settings.switches[Index(ProcedureId::kFont)]);

  // A bad switch: the folder and the switches before it stand, and the problem is said.
  WriteBytes(file, "[Main]\r\nStorePatch=/kept\r\nRmScript=-1\r\nRmNoscript=ja\r\n");
  read = SettingsModel(file, false).ForEditing();
  EXPECT_EQ(read.settings.outputFolder, "/kept");
  EXPECT_TRUE(read.settings.switches[Index(ProcedureId::kScript)]);
  EXPECT_EQ(read.problem.value_or(""),
            "Значение «ja» в файле настроек не является ни 0, ни -1 (выключено, включено)");

  // A link that leads nowhere is no first start.
  std::filesystem::create_symlink(dir / "gone" / "varnow.ini", dir / "linked.ini");
  read = SettingsModel(dir / "linked.ini", false).ForEditing();
  EXPECT_NE(read.problem.value_or("").find("dangling link"), std::string::npos);
}
}  // namespace
}  // namespace varnow
