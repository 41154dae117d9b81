// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "messages/MessageText.h"

namespace varnow {
namespace {

// A change's line is its page, a space and its message filled in; only a banner's messages
// name something besides the position, and a marker of any length or none is shown as given.
TEST(MessageText, RendersChangesAsTheLogShowsThem) {
  const std::string longPath = "/" + std::string(300, 'd') + "/page.htm";
  const std::string longMarker(1000, 'm');
  const struct {
    LoggedChange change;
    std::string line;
  } cases[] = {
      {{"/site/a.htm", ProcedureId::kSpan, MessageId::kSpanStart, {}, 51200},
       "/site/a.htm удален <span> [51200]"},
      {{"/s/b.htm", ProcedureId::kMSWord, MessageId::kMetaGenerator, {}, 1},
       "/s/b.htm удалено <meta name=Generator> [1]"},
      {{"/s/b.htm", ProcedureId::kBlank, MessageId::kBlankQuoted, {}, 7},
       "/s/b.htm удален target=\"_blank\" [7]"},
      {{"/s/b.htm", ProcedureId::kBlank, MessageId::kBlankApostrophe, {}, 7},
       "/s/b.htm удален target='_blank [7]"},
      {{"/s/c.htm", ProcedureId::kBanner, MessageId::kBannerBlock, "<!-- реклама -->", 0},
       "/s/c.htm удален <!-- реклама --> [0]"},
      {{"/s/c.htm", ProcedureId::kBanner, MessageId::kBannerOrphan, "", 3},
       "/s/c.htm удален пустой  [3]"},
      {{longPath, ProcedureId::kBanner, MessageId::kBannerBlock, longMarker, 9},
       longPath + " удален " + longMarker + " [9]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChangeLine(c.change), c.line);
    EXPECT_EQ(std::string(c.change.page) + " " + ChangeText(c.change), c.line);
    std::string appended = "x";
    AppendChangeLine(appended, c.change);
    EXPECT_EQ(appended, "x" + c.line);
  }
}

TEST(MessageText, RendersNoticesWithTheirKinds) {
  const struct {
    RunNotice notice;
    MessageKind kind;
    std::string text;
  } cases[] = {
      {{MessageId::kFolderSkipped, "/s/x", {"/s/x", "Permission denied"}},
       MessageKind::kSkipped,
       "/s/x пропущен: Permission denied"},
      {{MessageId::kPageRefused, "/s/a.htm", {"The output file is the source file itself"}},
       MessageKind::kSkipped,
       "The output file is the source file itself"},
      {{MessageId::kStrayRemoved, "/o/.a.t1", {"/o/.a.t1"}},
       MessageKind::kOther,
       "/o/.a.t1 удален: остался от прерванного запуска"},
      {{MessageId::kStopped, {}, {}}, MessageKind::kStopped, "Прервано пользователем"},
      {{MessageId::kRunError, {}, {"Cannot open file \"a\". x"}},
       MessageKind::kError,
       "Cannot open file \"a\". x"},
      {{MessageId::kBeforeLogSaved, {}, {}}, MessageKind::kOther, ""},
      {{MessageId::kLogSaved, "/o/log.txt", {"/o/log.txt"}},
       MessageKind::kLogSaved,
       "Лог сохранен в /o/log.txt"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.notice.Kind(), c.kind);
    EXPECT_EQ(NoticeText(c.notice), c.text);
  }
}

}  // namespace
}  // namespace varnow
