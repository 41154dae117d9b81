// SPDX-License-Identifier: MIT
// The cleaning engine against the literal reference, for libFuzzer. An input is read as:
//   bytes 0-1  the twelve switches (bit i: the switch at index i), run in the program's order
//   byte 2     the pump at which Stop is pressed (0: never)
//   byte 3     the document's block size, 16 << (byte % 9)
//   byte 4     the markers of one banner slot: First takes byte % 8 of the bytes that follow,
//              Last the next (byte / 8) % 8
//   the rest   the page
// Both documents must leave the same bytes, log the same lines and pump as often.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cleaning/ProcedureOrder.h"
#include "document/FastDocument.h"
#include "messages/MessageText.h"
#include "support/LiteralDocument.h"

namespace {

struct Outcome {
  std::string text;
  std::vector<std::string> lines;
  int pumps = 0;
  bool operator==(const Outcome&) const = default;
};

struct Input {
  std::array<bool, varnow::kProcedureCount> switches{};
  int stopAtPump = 0;
  std::size_t blockSize = 16;
  varnow::MarkerBytes markers;
  std::string page;
};

Input Parse(const std::uint8_t* data, std::size_t size) {
  Input in;
  std::size_t at = 0;
  const auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };
  const unsigned mask = next() | (next() << 8);
  for (std::size_t i = 0; i < varnow::kProcedureCount; ++i) {
    in.switches[i] = (mask >> i) & 1;
  }
  in.stopAtPump = next();
  in.blockSize = std::size_t{16} << (next() % 9);
  const std::uint8_t lengths = next();
  const auto take = [&](std::size_t n) {
    std::string bytes;
    for (std::size_t i = 0; i < n && at < size; ++i) {
      bytes += static_cast<char>(data[at++]);
    }
    return bytes;
  };
  in.markers.first = take(lengths % 8);
  in.markers.second = take((lengths / 8) % 8);
  in.page = take(size);
  return in;
}

Outcome Clean(std::unique_ptr<varnow::Document> doc, const Input& in) {
  Outcome out;
  doc->Assign(in.page);
  const varnow::StopToken stop([&] { return ++out.pumps == in.stopAtPump; });
  varnow::CleaningContext ctx(*doc, stop, [&](const varnow::LoggedChange& change) {
    out.lines.push_back(varnow::ChangeLine(change));
  });
  varnow::RunProcedures(
      ctx, "/site/page.htm", [&](varnow::ProcedureId s) { return in.switches[varnow::Index(s)]; },
      varnow::FixedBannerSlots({in.markers}));
  out.text = std::string(doc->View());
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Input in = Parse(data, size);
  const Outcome literal = Clean(std::make_unique<varnow::test::LiteralDocument>(), in);
  const Outcome fast = Clean(std::make_unique<varnow::FastDocument>(in.blockSize), in);
  if (!(literal == fast)) {
    std::fprintf(stderr,
                 "the program's document differs from the literal one: text %zu/%zu "
                 "bytes, %zu/%zu lines, %d/%d pumps\n",
                 literal.text.size(), fast.text.size(), literal.lines.size(), fast.lines.size(),
                 literal.pumps, fast.pumps);
    std::abort();
  }
  return 0;
}
