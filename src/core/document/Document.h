// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace varnow {

// A position in the document: 1 is the first byte, Length() the last; 0 means "none".
using Pos = std::int64_t;

// Positions and counts of bytes meet sizes of buffers: the casts between them, named.
constexpr std::size_t ToSize(Pos value) {
  return static_cast<std::size_t>(value);
}
constexpr Pos ToPos(std::size_t value) {
  return static_cast<Pos>(value);
}

// The document text that the cleaning procedures edit: the bytes of one file, never decoded
// (NUL allowed). All searching and editing by the procedures goes through these operations,
// and their results are defined as if every search ran over a fresh ASCII-upper-cased copy
// of the whole text, so implementations may search however they like.
class Document {
 public:
  virtual ~Document() = default;

  // Replaces the whole text.
  virtual void Assign(std::string bytes) = 0;
  // Adds bytes at the end (loading a file block by block).
  virtual void Append(std::string_view bytes) = 0;
  virtual void Clear() = 0;

  virtual Pos Length() const = 0;
  // The whole text, valid until the next change.
  virtual std::string_view View() = 0;
  // The whole text in chunks that, joined in order, are View(); valid until the next change.
  // A document kept in blocks gives them as they are, so that writing it out copies nothing.
  virtual std::vector<std::string_view> Chunks() { return {View()}; }
  // The whole text handed over, for a document that is done with: one that keeps a flat copy
  // of its text gives that copy itself instead of another. The document may be left empty.
  virtual std::string TakeText() { return std::string(View()); }

  // First position of `pattern` (upper-case ASCII letters) in the upper-cased text, searching
  // the whole length; 0 when it does not occur, or when the pattern or the text is empty.
  virtual Pos FindPattern(std::string_view pattern) = 0;
  // Whether `pattern` occurs in the upper-cased text before its first NUL byte, the text read
  // as a NUL-terminated string. False for an empty pattern and an empty text.
  virtual bool PatternRemains(std::string_view pattern) = 0;
  // Position of the first '>' at or after `start` (a start below 1 counts from 1); 0 if none.
  virtual Pos FindTagEnd(Pos start) = 0;

  // Removes `count` bytes from `index` on. Nothing happens when the index is below 1 or beyond
  // the last byte, or when the count is 0 or less; a count running past the end is cut there.
  virtual void Delete(Pos index, Pos count) = 0;
  // Inserts `text` so that it begins at `index`; below 1 inserts at the front, past the end
  // appends.
  virtual void Insert(std::string_view text, Pos index) = 0;

  // The bytes Delete has removed and Insert (and Append) has put in so far: the difference
  // across a stretch of edits is what they did. Kept by the kind of document runs use.
  struct EditBytes {
    std::uint64_t removed = 0;
    std::uint64_t inserted = 0;
  };
  EditBytes Edited() const { return edited_; }

 protected:
  EditBytes edited_;
};

// A new, empty document of the kind the program uses.
std::unique_ptr<Document> NewDocument();

}  // namespace varnow
