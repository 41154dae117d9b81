// SPDX-License-Identifier: MIT
#include "explain/RecordingDocument.h"

#include <algorithm>
#include <iterator>

namespace varnow {

std::int32_t OwnerOfInserted(const std::vector<InsertionOwner>& owners, Pos inserted) {
  const auto after =
      std::upper_bound(owners.begin(), owners.end(), inserted,
                       [](Pos at, const InsertionOwner& owner) { return at < owner.inserted; });
  return after == owners.begin() ? -1 : std::prev(after)->change;
}

RecordingDocument::RecordingDocument() : inner_(NewDocument()) {}

void RecordingDocument::Assign(std::string bytes) {
  map_.Reset(static_cast<Pos>(bytes.size()));
  changes_.clear();
  pending_ = {};
  insertedBytes_.clear();
  owners_.clear();
  inner_->Assign(std::move(bytes));
}

void RecordingDocument::Append(std::string_view bytes) {
  map_.Extend(static_cast<Pos>(bytes.size()));
  inner_->Append(bytes);
}

void RecordingDocument::Clear() {
  map_.Reset(0);
  changes_.clear();
  pending_ = {};
  insertedBytes_.clear();
  owners_.clear();
  inner_->Clear();
}

void RecordingDocument::Delete(Pos index, Pos count) {
  // Clamped as the document clamps it.
  const Pos length = inner_->Length();
  if (index >= 1 && index <= length && count > 0) {
    map_.Delete(index - 1, std::min(count, length - index + 1), pending_.removed);
  }
  inner_->Delete(index, count);
}

void RecordingDocument::Insert(std::string_view text, Pos index) {
  const Pos at = std::clamp<Pos>(index - 1, 0, inner_->Length());
  RecordedChange& owner = changes_.empty() ? pending_ : changes_.back();
  const auto change = static_cast<std::int32_t>(changes_.empty() ? 0 : changes_.size() - 1);
  const auto inserted = static_cast<Pos>(insertedBytes_.size());
  const Pos before = map_.Insert(at, static_cast<Pos>(text.size()), inserted);
  if (!text.empty()) {
    owners_.push_back({inserted, change});
  }
  insertedBytes_.append(text);
  owner.inserted.push_back({before, inserted, static_cast<Pos>(text.size())});
  inner_->Insert(text, index);
}

void RecordingDocument::Logged(const LoggedChange& change) {
  pending_.procedure = change.procedure;
  pending_.message = change.message;
  pending_.name.assign(change.name);
  pending_.position = change.position;
  changes_.push_back(std::move(pending_));
  pending_ = {};
}

}  // namespace varnow
