// SPDX-License-Identifier: MIT
#include "logstore/LogRecord.h"

namespace varnow::log_record {
namespace {

void PutNumber(std::string& out, std::uint64_t value) {
  do {
    unsigned char byte = value & 0x7F;
    value >>= 7;
    if (value != 0) {
      byte |= 0x80;
    }
    out.push_back(static_cast<char>(byte));
  } while (value != 0);
}

// The number at `at`, moving past it; nothing where the bytes end inside it.
std::optional<std::uint64_t> GetNumber(std::string_view bytes, std::size_t& at) {
  std::uint64_t value = 0;
  for (int shift = 0; at < bytes.size() && shift < 64; shift += 7) {
    const auto byte = static_cast<unsigned char>(bytes[at++]);
    value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) {
      return value;
    }
  }
  return std::nullopt;
}

}  // namespace

void AppendHead(std::string& out, Kind kind, ProcedureId procedure, std::size_t rank,
                std::size_t length) {
  out.push_back(static_cast<char>(kind));
  if (IsChange(kind)) {
    out.push_back(static_cast<char>(Index(procedure)));
    PutNumber(out, rank);
  }
  PutNumber(out, length);
}

std::optional<Head> ReadHead(std::string_view bytes) {
  if (bytes.empty()) {
    return std::nullopt;
  }
  Head head;
  head.kind = static_cast<Kind>(static_cast<unsigned char>(bytes[0]));
  std::size_t at = 1;
  if (IsChange(head.kind)) {
    if (at >= bytes.size()) {
      return std::nullopt;
    }
    head.procedure = static_cast<ProcedureId>(static_cast<unsigned char>(bytes[at++]));
    const std::optional<std::uint64_t> rank = GetNumber(bytes, at);
    if (!rank) {
      return std::nullopt;
    }
    head.rank = static_cast<std::size_t>(*rank);
  }
  const std::optional<std::uint64_t> length = GetNumber(bytes, at);
  if (!length) {
    return std::nullopt;
  }
  head.length = static_cast<std::size_t>(*length);
  head.size = at;
  return head;
}

}  // namespace varnow::log_record
