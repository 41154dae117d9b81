// SPDX-License-Identifier: MIT
#include "explain/PageReview.h"

#include <algorithm>

#include "batch/PagePipeline.h"
#include "messages/MessageText.h"
#include "text/Cp1251.h"
#include "text/Format.h"

namespace varnow {
namespace {

constexpr Texts kNotTheCopy{
    "Повторная очистка с нынешними настройками не дает копии на диске: настройки или страница "
    "изменились после прогона. Показано построчное сравнение страницы и копии.",
    "Cleaning the page again with today's settings does not give the copy on disk: the "
    "settings or the page changed after the run. The page and the copy are compared line by "
    "line."};
constexpr Texts kNoCopy{
    "Копии страницы нет (%s). Показано построчное сравнение страницы с пустой копией.",
    "The page has no copy (%s). The page is compared line by line with an empty copy."};
constexpr Texts kLineNotFound{
    "Этой строки лога нет среди изменений повторной очистки; выбрано первое изменение.",
    "This log line is not among the changes of the page cleaned again; the first change is "
    "selected."};

}  // namespace

PageReview ReviewPage(const ReviewRequest& request,
                      const std::function<bool(ProcedureId)>& switchOn,
                      const BannerSlotReader& bannerSlot) {
  PageReview p;
  p.logLanguage = request.logLanguage;
  std::string storage;
  p.title = std::string(ShownAsText(request.page, storage));
  LoadedPage source = LoadWholePage(request.page);
  if (!source.error.empty()) {
    p.comparison = source.error.Shown(request.language);
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
    p.comparison = FormatText(kNoCopy.In(request.language), {error->Shown(request.language)});
    return p;
  }
  if (!same || compared != e.result.size()) {
    LoadedPage copy = LoadWholePage(request.output);
    p.comparison = copy.error.empty() ? std::string(kNotTheCopy.In(request.language))
                                      : FormatText(kNoCopy.In(request.language),
                                                   {copy.error.Shown(request.language)});
    p.copy = std::move(copy.bytes);
    return p;
  }
  // The line asked for is the page's change of that rank; if cleaning now logs it elsewhere,
  // the first change with its text. The request's line is as the log renders it.
  const auto sameLine = [&](std::size_t i) {
    return ChangeLine(e.Reported(i), request.logLanguage) == request.line;
  };
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
    p.problem = std::string(kLineNotFound.In(request.language));
    p.selected = 0;
  }
  p.explanation = std::move(e);
  return p;
}

}  // namespace varnow
