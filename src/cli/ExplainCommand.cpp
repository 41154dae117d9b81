#include "ExplainCommand.h"

#include <cstdio>

#include "batch/PagePipeline.h"
#include "explain/ExplainPage.h"
#include "explain/TextLines.h"
#include "settings/CachedIniFile.h"
#include "settings/Settings.h"

namespace varnow::cli {
namespace {

// "line:column" of a byte of the page, both counted from 1.
std::string Place(const TextLines& lines, Pos offset) {
  const std::size_t line = lines.LineOf(offset);
  return std::to_string(line + 1) + ":" +
         std::to_string(static_cast<std::size_t>(offset) - lines.Start(line) + 1);
}

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

int ExplainCommand(const std::string& file, const std::array<bool, kSwitchCount>& switches,
                   const std::filesystem::path& settingsFile) {
  LoadedPage page = LoadWholePage(file);
  if (!page.error.empty()) {
    std::fprintf(stderr, "%s\n", page.error.c_str());
    return 1;
  }
  CachedIniFile banners(settingsFile);
  const PageExplanation e = ExplainPage(
      page.bytes, file, [&](Switch s) { return switches[Index(s)]; },
      [&banners](int slot) { return ReadBannerMarkers(banners, slot); });
  const TextLines lines(page.bytes);
  const std::string_view source = page.bytes;
  for (const RecordedChange& change : e.changes) {
    std::string text = change.line + "\n";
    for (const SourceMap::Removed& r : change.removed) {
      text += "    " + Place(lines, r.source) + "  -" +
              OneLine(source.substr(static_cast<std::size_t>(r.source),
                                    static_cast<std::size_t>(r.length))) +
              "\n";
    }
    for (const RecordedChange::Insertion& i : change.inserted) {
      text += "    " + Place(lines, i.before) + "  +" + OneLine(i.bytes) + "\n";
    }
    Print(text);
  }
  std::fflush(stdout);
  std::fprintf(stderr, "Изменений: %zu\n", e.changes.size());
  return 0;
}

}  // namespace varnow::cli
