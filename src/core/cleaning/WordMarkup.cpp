// SPDX-License-Identifier: MIT
// Markup that Word leaves in pages it saves as HTML, removed in eight stages.
#include <array>

#include "cleaning/PairedBlockPass.h"
#include "cleaning/Procedures.h"
#include "cleaning/TagEdits.h"

namespace varnow {
namespace {

struct MetaStage {
  std::string_view pattern;
  MessageId message;
};

constexpr std::array<MetaStage, 3> kMetaStages{{
    {"<META NAME=PROGID", MessageId::kMetaProgId},
    {"<META NAME=GENERATOR", MessageId::kMetaGenerator},
    {"<META NAME=ORIGINATOR", MessageId::kMetaOriginator},
}};

constexpr MessageId kEndifOrphan = MessageId::kEndifOrphan;
// Hidden conditional comments, <!--[if ...]> ... <![endif]-->.
constexpr PairedBlock kHiddenConditional{.opening = "<!--[IF",
                                         .closing = "<![ENDIF]-->",
                                         .blockMessage = MessageId::kHiddenConditional,
                                         .orphanMessage = kEndifOrphan,
                                         .pumpAfterOrphan = true};
// Revealed conditional blocks, <![if ...]> ... <![endif]>. The closing pattern starts at the
// '!', so a pair takes the '<' before it along while an orphan leaves that '<' behind.
constexpr PairedBlock kRevealedConditional{.opening = "<![IF ",
                                           .closing = "![ENDIF]>",
                                           .blockMessage = MessageId::kRevealedConditional,
                                           .orphanMessage = kEndifOrphan,
                                           .pumpAfterOrphan = true};

constexpr std::string_view kBoldSpace = "<B ";
constexpr std::string_view kItalicSpace = "<I ";
constexpr std::string_view kBoldBreak = "<B\r\n";
constexpr std::string_view kItalicBreak = "<I\r\n";
constexpr MessageId kBoldMessage = MessageId::kBoldReduced;
constexpr MessageId kItalicMessage = MessageId::kItalicReduced;

enum class StageEnd { kDone, kStopped };

// A stage of single-pattern passes. A tag with no '>' after it cannot change, and a pass that
// changes nothing would repeat forever, so it ends the stage; the later stages still run.
StageEnd RemoveTagsStage(CleaningContext& ctx, std::string_view path, const MetaStage& stage) {
  do {
    if (ctx.StopFlag()) {
      return StageEnd::kStopped;
    }
    if (!RemoveTagToEnd(ctx, path, stage.pattern, stage.message)) {
      return StageEnd::kDone;
    }
  } while (ctx.Text().PatternRemains(stage.pattern));
  return StageEnd::kDone;
}

StageEnd ConditionalStage(CleaningContext& ctx, std::string_view path, const PairedBlock& block) {
  return RepeatPairedBlockPass(ctx, path, block, StopPolling::kBeforeEachPass) ==
                 PassesEnd::kStopped
             ? StageEnd::kStopped
             : StageEnd::kDone;
}

StageEnd OfficeParagraphStage(CleaningContext& ctx, std::string_view path, std::string_view pattern,
                              MessageId message) {
  do {
    if (ctx.StopFlag()) {
      return StageEnd::kStopped;
    }
    if (!RemoveExact(ctx, path, pattern, message)) {
      return StageEnd::kDone;
    }
  } while (ctx.Text().PatternRemains(pattern));
  return StageEnd::kDone;
}

void BoldItalicStage(CleaningContext& ctx, std::string_view path) {
  Document& doc = ctx.Text();
  do {
    if (ctx.StopFlag()) {
      return;
    }
    const std::uint64_t before = ctx.ChangeCount();
    ReduceTag(ctx, path, kBoldSpace, "<b>", kBoldMessage);
    ReduceTag(ctx, path, kItalicSpace, "<i>", kItalicMessage);
    if (ctx.StopFlag()) {
      return;
    }
    ReduceTag(ctx, path, kBoldBreak, "<b>", kBoldMessage);
    ReduceTag(ctx, path, kItalicBreak, "<i>", kItalicMessage);
    // Only tags with no '>' after them are left: nothing more can change.
    if (ctx.ChangeCount() == before) {
      return;
    }
  } while (doc.PatternRemains(kBoldSpace) || doc.PatternRemains(kItalicSpace) ||
           doc.PatternRemains(kBoldBreak) || doc.PatternRemains(kItalicBreak));
}

}  // namespace

void RemoveWordMarkup(CleaningContext& ctx, std::string_view path) {
  for (const MetaStage& stage : kMetaStages) {
    if (RemoveTagsStage(ctx, path, stage) == StageEnd::kStopped) {
      return;
    }
  }
  if (ConditionalStage(ctx, path, kHiddenConditional) == StageEnd::kStopped ||
      ConditionalStage(ctx, path, kRevealedConditional) == StageEnd::kStopped ||
      OfficeParagraphStage(ctx, path, "<O:P>", MessageId::kOfficeParagraphStart) ==
          StageEnd::kStopped ||
      OfficeParagraphStage(ctx, path, "</O:P>", MessageId::kOfficeParagraphEnd) ==
          StageEnd::kStopped) {
    return;
  }
  BoldItalicStage(ctx, path);
}

}  // namespace varnow
