// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "logstore/LogRecord.h"
#include "logstore/LogStore.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

using namespace log_record;

// Every head reads back as written, at the edges of the varints too; a head cut short reads
// as none.
TEST(LogRecord, HeadsReadBackAsWrittenAndCutOnesAsNone) {
  const struct {
    Kind kind;
    ProcedureId procedure;
    std::size_t rank, length, size;
  } cases[] = {
      {kPlain, ProcedureId::kScript, 0, 0, 2},
      {kPlain, ProcedureId::kScript, 0, 127, 2},
      {kPlain, ProcedureId::kScript, 0, 128, 3},
      {kPageName, ProcedureId::kScript, 0, 300, 3},
      {kChange, ProcedureId::kBlank, 0, 5, 4},
      {kChangeAfterName, ProcedureId::kSpan, 128, 16384, 7},
      {kChange, ProcedureId::kBanner, std::size_t{1} << 40, std::size_t{1} << 33, 13},
  };
  for (const auto& c : cases) {
    std::string head;
    AppendHead(head, c.kind, c.procedure, c.rank, c.length);
    EXPECT_EQ(head.size(), c.size);
    EXPECT_LE(head.size(), kMaxHeadBytes);
    const std::optional<Head> read = ReadHead(head + "text after it");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->kind, c.kind);
    EXPECT_EQ(read->length, c.length);
    EXPECT_EQ(read->size, c.size);
    if (IsChange(c.kind)) {
      EXPECT_EQ(read->procedure, c.procedure);
      EXPECT_EQ(read->rank, c.rank);
    }
    for (std::size_t cut = 0; cut < head.size(); ++cut) {
      EXPECT_FALSE(ReadHead(head.substr(0, cut)).has_value()) << cut;
    }
  }
}

// The store's lines as a run writes them: pages of 100 lines, each a notice at its end and
// changes before it; most pages are shown by their own name (the lines kept without it), every
// third by another (as a name that is not UTF-8 is), its lines kept whole.
std::string PageOf(std::size_t line) {
  return "/site/folder/page" + std::to_string(line / 100) + ".htm";
}
std::string ShownPageOf(std::size_t line) {
  return (line / 100) % 3 == 1 ? "moved" + PageOf(line) : PageOf(line);
}
std::string ChangeTextOf(std::size_t line) {
  return "удален <span> [" + std::to_string(line) + "]";
}
bool IsChangeLine(std::size_t line) {
  return line % 100 != 99;
}
std::string TextOf(std::size_t line) {
  if (!IsChangeLine(line)) {
    return "Обработка файла " + std::to_string(line);
  }
  return ShownPageOf(line) + " " + ChangeTextOf(line);
}

// One thread adds lines while two others read them, each line checked against what was
// written at its place: the store's lock keeps every reader to whole, current lines (and
// ThreadSanitizer watches it in its own build).
TEST(LogStore, ReadersSeeWholeLinesWhileTheRunAddsThem) {
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
  constexpr std::size_t kPages = 300;
#else
  constexpr std::size_t kPages = 3000;
#endif
  test::TempDir dir;
  LogStore store(dir.Path());
  ASSERT_TRUE(store.InFile());
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (std::size_t page = 0; page < kPages; ++page) {
      {
        LogStore::Appender batch(store);  // a page's changes under one hold, as the run adds them
        for (std::size_t i = page * 100; IsChangeLine(i); ++i) {
          batch.AddChange(PageOf(i), ShownPageOf(i), ChangeTextOf(i), i % 100, ProcedureId::kSpan);
        }
      }
      store.Append(TextOf(page * 100 + 99));
    }
    done = true;
  });
  std::atomic<int> checked{0};
  const auto reader = [&](std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::string failure;
    while (failure.empty() && (!done || checked < 50)) {
      const std::size_t count = store.LineCount();
      if (count == 0) {
        continue;
      }
      std::size_t first = rng() % count;
      for (const LogStore::Line& line : store.Lines(first, 1 + rng() % 300)) {
        const std::size_t i = first++;
        if (line.text != TextOf(i) || line.isChange != IsChangeLine(i) ||
            (line.isChange && (line.rank != i % 100 || line.procedure != ProcedureId::kSpan))) {
          failure = "line " + std::to_string(i) + " reads as " + line.text;
        }
      }
      const std::size_t at = rng() % count;
      const std::optional<LogStore::Change> change = store.ChangeAt(at);
      if (change.has_value() != IsChangeLine(at) ||
          (change && (change->page != PageOf(at) || change->rank != at % 100))) {
        failure = "the change at line " + std::to_string(at);
      }
      std::size_t next = rng() % count;
      store.ForEachText(next, next + 500, [&](std::string_view text) {
        if (text != TextOf(next)) {
          failure = "copied line " + std::to_string(next) + " reads as " + std::string(text);
        }
        ++next;
        return failure.empty();
      });
      ++checked;
    }
    return failure;
  };
  std::string failures[2];
  std::thread one([&] { failures[0] = reader(1); });
  std::thread two([&] { failures[1] = reader(2); });
  writer.join();
  one.join();
  two.join();
  EXPECT_EQ(failures[0], "");
  EXPECT_EQ(failures[1], "");
  EXPECT_EQ(store.LineCount(), kPages * 100);
  EXPECT_GE(checked, 50);
}

}  // namespace
}  // namespace varnow
