// SPDX-License-Identifier: MIT
#include "explain/PageReview.h"

#include <algorithm>

#include "batch/PagePipeline.h"
#include "messages/MessageText.h"
#include "text/Cp1251.h"
#include "text/Format.h"

namespace varnow {
namespace {

constexpr std::string_view kNotTheCopy =
    "Повторная очистка с нынешними настройками не дает копии на диске: настройки или страница "
    "изменились после прогона. Показано построчное сравнение страницы и копии.";
constexpr std::string_view kNoCopy =
    "Копии страницы нет (%s). Показано построчное сравнение страницы с пустой копией.";
constexpr std::string_view kLineNotFound =
    "Этой строки лога нет среди изменений повторной очистки; выбрано первое изменение.";

}  // namespace

PageReview ReviewPage(const ReviewRequest& request,
                      const std::function<bool(ProcedureId)>& switchOn,
                      const BannerSlotReader& bannerSlot) {
  PageReview p;
  std::string storage;
  p.title = std::string(ShownAsText(request.page, storage));
  LoadedPage source = LoadWholePage(request.page);
  if (!source.error.empty()) {
    p.comparison = std::move(source.error.shown);
    return p;
  }
  p.source = std::move(source.bytes);
  PageExplanation e = ExplainPage(p.source, request.page, switchOn, bannerSlot);
  // The copy is compared as it is read, a block at a time: it is held whole only where it
  // differs, to be shown beside the page.
  bool same = true;
  std::size_t compared = 0;
  const StopToken neverStop;
  const std::optional<ErrorText> error = LoadPage(
      request.output,
      [&](std::string_view block) {
        same = same && compared + block.size() <= e.result.size() &&
               e.result.compare(compared, block.size(), block) == 0;
        compared += block.size();
      },
      neverStop);
  if (error) {
    p.comparison = FormatText(kNoCopy, {error->shown});
    return p;
  }
  if (!same || compared != e.result.size()) {
    LoadedPage copy = LoadWholePage(request.output);
    p.comparison =
        copy.error.empty() ? std::string(kNotTheCopy) : FormatText(kNoCopy, {copy.error.shown});
    p.copy = std::move(copy.bytes);
    return p;
  }
  // The line asked for is the page's change of that rank; if cleaning now logs it elsewhere,
  // the first change with its text. The request's line is as the log renders it.
  const auto sameLine = [&](std::size_t i) { return ChangeLine(e.Reported(i)) == request.line; };
  if (request.line.empty()) {
    p.selected = e.changes.empty() ? -1 : 0;  // a page opened as a whole: its first change
  } else if (request.changeIndex < e.changes.size() && sameLine(request.changeIndex)) {
    p.selected = static_cast<int>(request.changeIndex);
  } else {
    for (std::size_t i = 0; i < e.changes.size(); ++i) {
      if (sameLine(i)) {
        p.selected = static_cast<int>(i);
        break;
      }
    }
  }
  if (p.selected < 0 && !e.changes.empty() && !request.line.empty()) {
    p.problem = std::string(kLineNotFound);
    p.selected = 0;
  }
  p.explanation = std::move(e);
  return p;
}

}  // namespace varnow
