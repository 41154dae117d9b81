// SPDX-License-Identifier: MIT
#include "ExplainCommand.h"

#include "CliTexts.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

#include "batch/PagePipeline.h"
#include "explain/ExplainPage.h"
#include "explain/TextLines.h"
#include "messages/MessageText.h"
#include "settings/CachedIniFile.h"
#include "settings/Settings.h"
#include "text/Format.h"
#include "text/PageDecoder.h"
#include "text/PageEncoding.h"

namespace varnow::cli {
namespace {

// "line:column" of each byte asked for, both counted from 1, the column in characters of the
// line as its encoding reads it. Each line is read once, however many places lie on it.
class Places {
 public:
  Places(std::string_view bytes, const TextLines& lines, PageDecoder& decoder,
         std::vector<Pos> offsets) {
    std::sort(offsets.begin(), offsets.end());
    std::size_t line = SIZE_MAX;
    std::size_t at = 0;
    std::size_t column = 0;
    for (const Pos offset : offsets) {
      const std::size_t target = std::min(static_cast<std::size_t>(offset), bytes.size());
      if (const std::size_t l = lines.LineOf(offset); l != line) {
        line = l;
        at = lines.Start(line);
        column = 0;
        decoder.Restart();
      }
      while (at < target) {
        column += decoder.Next(bytes, at) ? 1 : 0;
      }
      columns_.emplace(offset, std::to_string(line + 1) + ":" + std::to_string(column + 1));
    }
  }
  const std::string& Of(Pos offset) const { return columns_.at(offset); }

 private:
  std::map<Pos, std::string> columns_;
};

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

int ExplainCommand(const std::string& file, const std::array<bool, kProcedureCount>& switches,
                   const std::filesystem::path& settingsFile, ExplainLanguages languages) {
  LoadedPage page = LoadWholePage(file);
  if (!page.error.empty()) {
    std::fprintf(stderr, "%s\n", page.error.Shown(languages.language).c_str());
    return 1;
  }
  CachedIniFile banners(settingsFile);
  const PageExplanation e = ExplainPage(
      page.bytes, file, [&](ProcedureId s) { return switches[Index(s)]; },
      [&banners](int slot) { return ReadBannerMarkers(banners, slot); });
  // The page is read in its own encoding for what is shown of it; it was cleaned as bytes.
  const PageEncoding encoding = DetectPageEncoding(page.bytes);
  PageDecoder decoder(encoding);
  // The first line printed: how the page's text is read.
  Print(std::string(texts::kEncodingLine.In(languages.language)) +
        DescribeEncoding(encoding, languages.language) + "\n");
  const TextLines lines(page.bytes, encoding);
  const std::string_view source = page.bytes;
  std::vector<Pos> offsets;
  for (const RecordedChange& change : e.changes) {
    for (const SourceMap::Removed& r : change.removed) {
      offsets.push_back(r.source);
    }
    for (const RecordedChange::Insertion& i : change.inserted) {
      offsets.push_back(i.before);
    }
  }
  const Places places(source, lines, decoder, std::move(offsets));
  for (std::size_t k = 0; k < e.changes.size(); ++k) {
    const RecordedChange& change = e.changes[k];
    std::string text = ChangeLine(e.Reported(k), languages.logLanguage) + "\n";
    for (const SourceMap::Removed& r : change.removed) {
      text += "    " + places.Of(r.source) + "  -" +
              OneLine(source.substr(static_cast<std::size_t>(r.source),
                                    static_cast<std::size_t>(r.length)),
                      decoder) +
              "\n";
    }
    for (const RecordedChange::Insertion& i : change.inserted) {
      text += "    " + places.Of(i.before) + "  +" + OneLine(e.Bytes(i), decoder) + "\n";
    }
    Print(text);
  }
  std::fflush(stdout);
  const std::string count = FormatText(texts::kChangeCount.In(languages.language),
                                       {static_cast<std::int64_t>(e.changes.size())}) +
                            "\n";
  std::fputs(count.c_str(), stderr);
  return 0;
}

}  // namespace varnow::cli
