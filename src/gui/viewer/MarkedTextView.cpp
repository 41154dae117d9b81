// SPDX-License-Identifier: MIT
#include "MarkedTextView.h"

#include <QEvent>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "PlainText.h"

namespace varnow {
namespace {

constexpr int kMargin = 3;  // pixels left of the text

}  // namespace

MarkedTextView::MarkedTextView(QWidget* parent)
    : QAbstractScrollArea(parent), decoder_(std::make_unique<PageDecoder>(PageEncoding{})) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  // Once the user scrolls sideways, a resize leaves the view where the user put it.
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
          [this] { acrossFollowsSelection_ = false; });
  UpdateScrollBars();
}

void MarkedTextView::SetText(std::string bytes, std::vector<TextMark> marks,
                             PageEncoding encoding) {
  ownBytes_ = std::move(bytes);
  ShowBytes(ownBytes_, std::move(marks), std::move(encoding));
}

void MarkedTextView::ShowBytes(std::string_view bytes, std::vector<TextMark> marks,
                               PageEncoding encoding) {
  if (bytes.data() != ownBytes_.data()) {
    std::string().swap(ownBytes_);  // the caller's bytes now: nothing of the last kept
  }
  bytes_ = bytes;
  lines_ = TextLines(bytes_, encoding);
  decoder_ = std::make_unique<PageDecoder>(std::move(encoding));
  longestLine_ = 0;
  for (std::size_t i = 0; i < lines_.Count(); ++i) {
    longestLine_ = std::max(longestLine_, decoder_->CharactersAbout(lines_.Line(bytes_, i)));
  }
  marks_ = std::move(marks);
  selected_ = -1;
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  UpdateScrollBars();
  viewport()->update();
}

MarkedTextView::Columns MarkedTextView::ColumnsOf(std::size_t line, std::size_t first,
                                                  std::size_t count) const {
  Columns columns;
  const std::size_t start = lines_.Start(line);
  const std::size_t end = start + lines_.Line(bytes_, line).size();
  // Reading never runs past the line's end, whatever a character there would need.
  const std::string_view text = std::string_view(bytes_).substr(0, end);
  std::size_t at = start;
  std::size_t column = 0;
  if (decoder_->OneBytePerCharacter()) {
    at = std::min(start + first, end);
    column = at - start;
  } else {
    decoder_->Restart();
    while (column < first && at < end) {
      column += decoder_->Next(text, at) ? 1 : 0;
    }
  }
  if (column < first) {
    return columns;  // the line ends before the view begins
  }
  while (columns.characters.size() < count && at < end) {
    const std::size_t before = at;
    if (const std::optional<char32_t> c = decoder_->Next(text, at)) {
      columns.starts.push_back(ToPos(before));
      columns.characters.push_back(ShownCharacter(*c));
    }
  }
  columns.starts.push_back(ToPos(at));
  if (at >= end && columns.characters.size() < count) {
    // The line break's own column, up to where the next line begins.
    const std::size_t next = line + 1 < lines_.Count() ? lines_.Start(line + 1) : end + 1;
    columns.starts.push_back(ToPos(std::max(next, end + 1)));
  }
  return columns;
}

std::size_t MarkedTextView::ColumnOf(std::size_t line, Pos offset) const {
  const std::size_t start = lines_.Start(line);
  const std::size_t end = start + lines_.Line(bytes_, line).size();
  const std::size_t target = std::clamp<std::size_t>(ToSize(std::max<Pos>(offset, 0)), start, end);
  if (decoder_->OneBytePerCharacter()) {
    return target - start;
  }
  const std::string_view text = std::string_view(bytes_).substr(0, end);
  std::size_t column = 0;
  decoder_->Restart();
  for (std::size_t at = start; at < target;) {
    column += decoder_->Next(text, at) ? 1 : 0;
  }
  return column;
}

QString MarkedTextView::LineText(std::size_t line) const {
  if (line >= lines_.Count()) {
    return {};
  }
  const std::u32string characters = ColumnsOf(line, 0, SIZE_MAX).characters;
  return QString::fromUcs4(characters.data(), static_cast<qsizetype>(characters.size()));
}

int MarkedTextView::LineHeight() const {
  return std::max(1, fontMetrics().lineSpacing());
}

qreal MarkedTextView::CharWidth() const {
  // Exact, not rounded: a rounded width drifts from the text by a pixel every few characters.
  return std::max<qreal>(1, QFontMetricsF(font()).horizontalAdvance(QLatin1Char('M')));
}

std::size_t MarkedTextView::FirstLineInView() const {
  return static_cast<std::size_t>(verticalScrollBar()->value());
}

std::size_t MarkedTextView::LinesInView() const {
  return static_cast<std::size_t>(std::max(1, viewport()->height() / LineHeight()));
}

void MarkedTextView::UpdateScrollBars() {
  const auto inView = static_cast<long long>(LinesInView());
  const auto lines = static_cast<long long>(std::min<std::size_t>(lines_.Count(), INT32_MAX));
  verticalScrollBar()->setRange(0, static_cast<int>(std::max<long long>(0, lines - inView)));
  verticalScrollBar()->setPageStep(static_cast<int>(inView));
  const auto width =
      static_cast<long long>(static_cast<qreal>(longestLine_) * CharWidth()) + 2 * kMargin;
  horizontalScrollBar()->setRange(
      0, static_cast<int>(std::clamp<long long>(width - viewport()->width(), 0, INT32_MAX)));
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setSingleStep(static_cast<int>(CharWidth() * 4));
}

std::size_t MarkedTextView::FirstMarkFrom(Pos offset) const {
  const auto at = std::lower_bound(
      marks_.begin(), marks_.end(), offset,
      [](const TextMark& m, Pos o) { return m.start + std::max<Pos>(m.length, 1) <= o; });
  return static_cast<std::size_t>(at - marks_.begin());
}

Pos MarkedTextView::OffsetAt(QPoint point) const {
  if (lines_.Count() == 0) {
    return 0;
  }
  const std::size_t line =
      std::min(FirstLineInView() + static_cast<std::size_t>(std::max(0, point.y()) / LineHeight()),
               lines_.Count() - 1);
  const auto column =
      static_cast<long long>((point.x() - kMargin + horizontalScrollBar()->value()) / CharWidth());
  const Columns at = ColumnsOf(line, static_cast<std::size_t>(std::max(0LL, column)), 1);
  // Past the line's end: its end.
  return at.starts.empty() ? ToPos(lines_.Start(line) + lines_.Line(bytes_, line).size())
                           : std::min(at.starts.front(),
                                      ToPos(lines_.Start(line) + lines_.Line(bytes_, line).size()));
}

QString MarkedTextView::TipAt(QPoint point) const {
  const int mark = MarkAt(point);
  return mark >= 0 && tip_ ? tip_(marks_[static_cast<std::size_t>(mark)].change) : QString();
}

int MarkedTextView::MarkAt(QPoint point) const {
  const Pos offset = OffsetAt(point);
  const std::size_t i = FirstMarkFrom(offset);
  if (i < marks_.size() && marks_[i].start <= offset) {
    return static_cast<int>(i);
  }
  return -1;
}

void MarkedTextView::Select(int change) {
  selected_ = change;
  const auto first = std::find_if(marks_.begin(), marks_.end(),
                                  [change](const TextMark& m) { return m.change == change; });
  if (first != marks_.end()) {
    // The mark's line near the top third of the view, its start in view across.
    const std::size_t line = lines_.LineOf(first->start);
    const std::size_t lead = LinesInView() / 3;
    verticalScrollBar()->setValue(
        static_cast<int>(std::min<std::size_t>(line > lead ? line - lead : 0, INT32_MAX)));
  }
  acrossFollowsSelection_ = true;
  ShowSelectedAcross();
  viewport()->update();
}

void MarkedTextView::ShowSelectedAcross() {
  const auto first = std::find_if(marks_.begin(), marks_.end(),
                                  [this](const TextMark& m) { return m.change == selected_; });
  if (first == marks_.end()) {
    return;
  }
  // Sideways only as far as the start of the change (and a few characters of it) needs, so
  // that the start of every line stays in view wherever it can.
  const std::size_t line = lines_.LineOf(first->start);
  const auto x =
      static_cast<long long>(static_cast<qreal>(ColumnOf(line, first->start)) * CharWidth());
  const auto end = x + static_cast<long long>(CharWidth() * 8) + kMargin;
  const long long room = viewport()->width();
  horizontalScrollBar()->setValue(
      static_cast<int>(std::clamp<long long>(end - room, 0, INT32_MAX)));
}

namespace {

// A character that takes two columns of a fixed-width font (CJK, Hangul, full-width forms): drawn
// in a cell of its own, so that what follows it stays in its column.
bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// A picture of a control character, drawn faint in a cell of its own (it may come from
// another font, of another width).
bool IsPicture(char32_t c) {
  return (c >= 0x2400 && c <= 0x2421) || c == 0x21B5 || c == 0x2192;
}

}  // namespace

void MarkedTextView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(viewport());
  const QFontMetricsF metrics(font());
  const int height = LineHeight();
  const qreal charWidth = CharWidth();
  const int scrolled = horizontalScrollBar()->value();
  // Only the columns in view are laid out: a line of megabytes costs what a short one does.
  const auto firstColumn = static_cast<std::size_t>(scrolled / charWidth);
  const auto columns = static_cast<std::size_t>(viewport()->width() / charWidth + 2);
  const qreal x0 = kMargin - scrolled + static_cast<qreal>(firstColumn) * charWidth;
  const QColor selectedEdge = palette().color(QPalette::Highlight);
  const QColor ink = palette().color(QPalette::Text);
  const QColor faint = palette().color(QPalette::PlaceholderText);
  int y = 0;
  for (std::size_t i = FirstLineInView(); i < lines_.Count() && y < viewport()->height();
       ++i, y += height) {
    const Columns shown = ColumnsOf(i, firstColumn, columns);
    if (shown.starts.empty()) {
      continue;
    }
    const std::vector<Pos>& starts = shown.starts;
    const Pos from = starts.front();
    const Pos to = starts.back();
    // The column whose bytes begin at or after `offset`.
    const auto columnAt = [&starts](Pos offset) {
      return static_cast<qreal>(std::lower_bound(starts.begin(), starts.end(), offset) -
                                starts.begin());
    };
    for (std::size_t m = FirstMarkFrom(from); m < marks_.size() && marks_[m].start <= to; ++m) {
      const TextMark& mark = marks_[m];
      const qreal a = columnAt(std::max(mark.start, from));
      const qreal b = columnAt(std::min(mark.start + mark.length, to));
      if (mark.length > 0 && b <= a) {
        continue;
      }
      const qreal left = x0 + a * charWidth;
      const qreal width = mark.length > 0 ? (b - a) * charWidth : 2;
      painter.fillRect(QRectF(left, y, width, height), QColor::fromRgba(mark.colour));
      if (mark.change == selected_ && selected_ >= 0) {
        // The current change stands out: its own colour at full strength, framed all round.
        QColor strong = QColor::fromRgba(mark.colour);
        strong.setAlpha(230);
        painter.fillRect(QRectF(left, y, width, height), strong);
        painter.fillRect(QRectF(left, y, width, 2), selectedEdge);
        painter.fillRect(QRectF(left, y + height - 2, width, 2), selectedEdge);
        painter.fillRect(QRectF(left, y, 2, height), selectedEdge);
        painter.fillRect(QRectF(left + width - 2, y, 2, height), selectedEdge);
      }
    }
    // Runs of ordinary characters in one go; a picture or a wide character in its own cell.
    const std::u32string& text = shown.characters;
    std::size_t run = 0;
    for (std::size_t c = 0; c <= text.size(); ++c) {
      const bool ordinary = c < text.size() && !IsPicture(text[c]) && !IsWide(text[c]);
      if (ordinary) {
        continue;
      }
      if (c > run) {
        painter.setPen(ink);
        painter.drawText(QPointF(x0 + static_cast<qreal>(run) * charWidth, y + metrics.ascent()),
                         QString::fromUcs4(text.data() + run, static_cast<qsizetype>(c - run)));
      }
      if (c < text.size()) {
        painter.setPen(IsPicture(text[c]) ? faint : ink);
        painter.drawText(QRectF(x0 + static_cast<qreal>(c) * charWidth, y, charWidth, height),
                         Qt::AlignCenter | Qt::TextDontClip, QString::fromUcs4(&text[c], 1));
      }
      run = c + 1;
    }
  }
}

bool MarkedTextView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = TipAt(help->pos());
    if (!tip.isEmpty()) {
      QToolTip::showText(help->globalPos(), PlainToolTip(tip), viewport());
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void MarkedTextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
  if (acrossFollowsSelection_) {
    ShowSelectedAcross();  // the view has its real width now: as little sideways as it needs
  }
}

void MarkedTextView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    UpdateScrollBars();
  }
  QAbstractScrollArea::changeEvent(event);
}

}  // namespace varnow
