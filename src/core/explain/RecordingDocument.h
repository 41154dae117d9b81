// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "cleaning/ProcedureId.h"
#include "document/Document.h"
#include "explain/SourceMap.h"
#include "messages/LoggedChange.h"

namespace varnow {

// One logged change and the edits that made it, in the coordinates of the original text.
struct RecordedChange {
  struct Insertion {
    Pos before = 0;  // the original offset the text was put in front of
    Pos at = 0;      // its bytes: `length` from `at` on among all inserted bytes
    Pos length = 0;
  };
  // The change as reported (its page is the document's, kept once by whoever keeps these).
  ProcedureId procedure = ProcedureId::kScript;
  MessageId message = MessageId::kScriptBlock;
  RareText name;  // its message's %s, where it has one
  Pos position = 0;
  MostlyOne<SourceMap::Removed> removed;  // original bytes the change removed
  RareList<Insertion> inserted;           // bytes it put in
};

// Which change inserted the inserted bytes from `inserted` on (up to the next owner's).
struct InsertionOwner {
  Pos inserted = 0;
  std::int32_t change = 0;
};

// The changes of a page in the order logged. Kept in blocks, not one array: a page can have
// millions, and an array that doubles holds up to twice their room, and three times it while
// it moves.
using ChangeRecord = std::deque<RecordedChange>;

// The change that inserted the byte `inserted` (among all inserted bytes); -1 for none.
std::int32_t OwnerOfInserted(const std::vector<InsertionOwner>& owners, Pos inserted);

// The program's document, with a record of where every deletion and insertion falls in the
// original bytes. Searching is the program's own; only the edits are watched, so a page
// cleaned through it changes exactly as it does in a run.
//
// A change is logged after its deletion, and a reduced tag's bare form is inserted after
// its change is logged: deletions belong to the next line logged, insertions to the last.
class RecordingDocument final : public Document {
 public:
  RecordingDocument();

  void Assign(std::string bytes) override;
  void Append(std::string_view bytes) override;
  void Clear() override;
  Pos Length() const override { return inner_->Length(); }
  std::string_view View() override { return inner_->View(); }
  std::vector<std::string_view> Chunks() override { return inner_->Chunks(); }
  std::string TakeText() override { return inner_->TakeText(); }
  Pos FindPattern(std::string_view pattern) override { return inner_->FindPattern(pattern); }
  bool PatternRemains(std::string_view pattern) override { return inner_->PatternRemains(pattern); }
  Pos FindTagEnd(Pos start) override { return inner_->FindTagEnd(start); }
  void Delete(Pos index, Pos count) override;
  void Insert(std::string_view text, Pos index) override;

  // Closes the edits made since the last change reported into `change`.
  void Logged(const LoggedChange& change);

  const ChangeRecord& Changes() const { return changes_; }
  // The record, handed over whole once the cleaning is done.
  ChangeRecord TakeChanges() { return std::move(changes_); }
  std::vector<InsertionOwner> TakeInsertionOwners() { return std::move(owners_); }
  std::string TakeInsertedBytes() { return std::move(insertedBytes_); }
  // The text as it stands, piece by piece, handed over once the cleaning is done (the record of
  // them is emptied); inserted pieces point into InsertedBytes().
  std::vector<SourceMap::Piece> TakePieces() { return map_.TakePieces(); }
  const std::string& InsertedBytes() const { return insertedBytes_; }

 private:
  std::unique_ptr<Document> inner_;
  SourceMap map_;
  ChangeRecord changes_;
  RecordedChange pending_;
  std::string insertedBytes_;           // every insertion, back to back
  std::vector<InsertionOwner> owners_;  // one per insertion, in the order of insertedBytes_
};

}  // namespace varnow
