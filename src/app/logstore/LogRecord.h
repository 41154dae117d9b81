// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cleaning/ProcedureId.h"

// The records of the log pane's store, as they lie one after another in its file. Every
// record is a head and its text:
//
//   kind       1 byte   kPlain, kChange, kPageName or kChangeAfterName
//   procedure  1 byte   Index(ProcedureId); change kinds only
//   rank       varint   the change's rank within its page; change kinds only
//   length     varint   the text's length in bytes
//   text       length bytes
//
// A varint is 7 bits a byte, the lowest first, the high bit set on every byte but the last
// (so a head is at most kMaxHeadBytes). kPlain is a line as shown (UTF-8); kChange a change's
// line as shown; kPageName the raw bytes of the page the next change lines belong to, written
// once before a page's first change line; kChangeAfterName a change's line kept without the
// page's name it began with (nearly all of them), which a reader puts back from the last
// kPageName before it. The store never rewrites a record: a file only grows, until it is
// emptied whole.
namespace varnow::log_record {

enum Kind : unsigned char { kPlain = 0, kChange = 1, kPageName = 2, kChangeAfterName = 3 };

inline constexpr std::size_t kMaxHeadBytes = 1 + 1 + 10 + 10;

struct Head {
  Kind kind = kPlain;
  ProcedureId procedure = ProcedureId::kScript;  // change kinds only
  std::size_t rank = 0;                          // change kinds only
  std::size_t length = 0;                        // of the text after the head
  std::size_t size = 0;                          // of the head itself
};

constexpr bool IsChange(Kind kind) {
  return kind == kChange || kind == kChangeAfterName;
}

// The head of a record with `length` bytes of text, appended to `out`.
void AppendHead(std::string& out, Kind kind, ProcedureId procedure, std::size_t rank,
                std::size_t length);
// The head at the start of `bytes` (at least kMaxHeadBytes of them, or the store's end);
// nothing where they hold no whole head.
std::optional<Head> ReadHead(std::string_view bytes);

}  // namespace varnow::log_record
