// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Small containers for the record of a page's changes, kept per change: a page can have a
// million changes, and the standard containers' empty headers alone (24 to 32 bytes each, and
// a heap block for a single element) made up most of the change viewer's memory.
namespace varnow {

// A list that is mostly empty: a pointer's size while it is, its elements on the heap once
// it has one.
template <class T>
class RareList {
 public:
  RareList() = default;
  RareList(const RareList& other)
      : items_(other.items_ ? std::make_unique<std::vector<T>>(*other.items_) : nullptr) {}
  RareList& operator=(const RareList& other) {
    if (this != &other) {
      items_ = other.items_ ? std::make_unique<std::vector<T>>(*other.items_) : nullptr;
    }
    return *this;
  }
  RareList(RareList&&) noexcept = default;
  RareList& operator=(RareList&&) noexcept = default;

  void push_back(T item) {
    if (!items_) {
      items_ = std::make_unique<std::vector<T>>();
    }
    items_->push_back(std::move(item));
  }
  bool empty() const { return !items_ || items_->empty(); }
  std::size_t size() const { return items_ ? items_->size() : 0; }
  const T* begin() const { return items_ ? items_->data() : nullptr; }
  const T* end() const { return items_ ? items_->data() + items_->size() : nullptr; }
  const T& front() const { return items_->front(); }
  T& back() { return items_->back(); }

 private:
  std::unique_ptr<std::vector<T>> items_;
};

// A list that mostly holds one element: that one kept in place, a heap array only from the
// second on (which then holds them all). The value-initialised T stands for "none", so it is
// never an element: for the ranges kept here, one of no length.
template <class T>
class MostlyOne {
 public:
  void push_back(const T& item) {
    if (more_.empty() && one_ == T{}) {
      one_ = item;
      return;
    }
    if (more_.empty()) {
      more_.push_back(one_);
    }
    more_.push_back(item);
  }
  bool empty() const { return size() == 0; }
  std::size_t size() const { return more_.empty() ? (one_ == T{} ? 0 : 1) : more_.size(); }
  const T* begin() const { return more_.empty() ? &one_ : more_.begin(); }
  const T* end() const { return begin() + size(); }
  const T& front() const { return *begin(); }
  const T& back() const { return *(end() - 1); }
  T& back() { return more_.empty() ? one_ : more_.back(); }

 private:
  T one_{};
  RareList<T> more_;
};

// A text that is mostly empty: a pointer's size while it is.
class RareText {
 public:
  RareText() = default;
  RareText(const RareText& other)
      : text_(other.text_ ? std::make_unique<std::string>(*other.text_) : nullptr) {}
  RareText& operator=(const RareText& other) {
    if (this != &other) {
      text_ = other.text_ ? std::make_unique<std::string>(*other.text_) : nullptr;
    }
    return *this;
  }
  RareText(RareText&&) noexcept = default;
  RareText& operator=(RareText&&) noexcept = default;

  void assign(std::string_view text) {
    text_ = text.empty() ? nullptr : std::make_unique<std::string>(text);
  }
  std::string_view view() const { return text_ ? std::string_view(*text_) : std::string_view(); }
  operator std::string_view() const { return view(); }  // NOLINT: read as the text it holds
  bool empty() const { return !text_; }

 private:
  std::unique_ptr<std::string> text_;
};

}  // namespace varnow
