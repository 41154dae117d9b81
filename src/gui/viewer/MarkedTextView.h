// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QString>
#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "explain/TextLines.h"
#include "text/PageDecoder.h"

namespace varnow {

// A stretch of the text shown in a colour: a change's bytes, or a whole line of a comparison.
// A mark of no length is a place (where removed bytes stood), drawn as a bar.
struct TextMark {
  Pos start = 0;  // 0-based byte offset
  Pos length = 0;
  QRgb colour = 0;  // with its alpha; four bytes, where a QColor takes sixteen, for a million marks
  int change = -1;  // what Select and the tool tips know it by
};

// A read-only view of a page's bytes with marks, the bytes read in the page's encoding. Only
// the lines in view are read and laid out, and of a long line only as far as the view reaches,
// so a page of many megabytes scrolls as smoothly as a short one. One column a character:
// control characters show as their pictures (NUL as "␀"), a tab as "→"; bytes that do not
// decode as "�".
class MarkedTextView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit MarkedTextView(QWidget* parent = nullptr);

  // `marks` in the order of their starts, not overlapping.
  void SetText(std::string bytes, std::vector<TextMark> marks, PageEncoding encoding = {});
  // The same with bytes the caller keeps, unchanged, for as long as they are shown: a page of
  // many megabytes is not held twice.
  void ShowBytes(std::string_view bytes, std::vector<TextMark> marks, PageEncoding encoding = {});
  const PageEncoding& Encoding() const { return decoder_->Encoding(); }
  // The tool tip of a mark, by its change.
  void SetTips(std::function<QString(int change)> tip) { tip_ = std::move(tip); }
  // Shows the marks of `change` selected, the first of them scrolled into view.
  void Select(int change);
  int Selected() const { return selected_; }

  std::size_t LineCount() const { return lines_.Count(); }
  // The line as shown.
  QString LineText(std::size_t line) const;
  std::size_t FirstLineInView() const;
  std::size_t LinesInView() const;
  // The byte offset under a point of the viewport.
  Pos OffsetAt(QPoint point) const;
  // The tool tip shown over a point of the viewport, as plain text; empty where none is.
  QString TipAt(QPoint point) const;
  // The mark under a point of the viewport, or -1.
  int MarkAt(QPoint point) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  // Scrolls sideways as little as shows the selected change's start.
  void ShowSelectedAcross();
  // The columns [first, first + count) of a line, as far as the line reaches: each character
  // as shown, and where each column's bytes begin (one entry more: where the last ends). The
  // column after the line's last character stands for its line break.
  struct Columns {
    std::u32string characters;
    std::vector<Pos> starts;
  };
  Columns ColumnsOf(std::size_t line, std::size_t first, std::size_t count) const;
  // How many characters the bytes [line start, offset) of a line hold.
  std::size_t ColumnOf(std::size_t line, Pos offset) const;
  int LineHeight() const;
  qreal CharWidth() const;
  void UpdateScrollBars();
  // The first mark that ends after `offset` (or is a place at it).
  std::size_t FirstMarkFrom(Pos offset) const;

  std::string ownBytes_;    // what SetText was given
  std::string_view bytes_;  // what is shown: ownBytes_, or the caller's
  TextLines lines_{std::string_view()};
  std::size_t longestLine_ = 0;  // in characters
  std::vector<TextMark> marks_;
  int selected_ = -1;
  bool acrossFollowsSelection_ = false;  // a resize scrolls sideways to the selected change
  std::function<QString(int)> tip_;
  std::unique_ptr<PageDecoder> decoder_;
};

}  // namespace varnow
