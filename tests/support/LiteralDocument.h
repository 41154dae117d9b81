// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "document/Document.h"

namespace varnow::test {

// The document exactly as its operations are defined: every search upper-cases a fresh copy
// of the whole text. Simple and slow (each search costs a sweep over the text); the tests hold
// the program's document to its results.
class LiteralDocument final : public Document {
 public:
  void Assign(std::string bytes) override { text_ = std::move(bytes); }
  void Append(std::string_view bytes) override { text_.append(bytes); }
  void Clear() override { text_.clear(); }

  Pos Length() const override { return static_cast<Pos>(text_.size()); }
  std::string_view View() override { return text_; }

  Pos FindPattern(std::string_view pattern) override;
  bool PatternRemains(std::string_view pattern) override;
  Pos FindTagEnd(Pos start) override;

  void Delete(Pos index, Pos count) override;
  void Insert(std::string_view text, Pos index) override;

 private:
  std::string text_;
};

}  // namespace varnow::test
