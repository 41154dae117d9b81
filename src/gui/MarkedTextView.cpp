#include "MarkedTextView.h"

#include <QEvent>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>


namespace varnow {
namespace {

constexpr int kMargin = 3;  // pixels left of the text

}  // namespace

MarkedTextView::MarkedTextView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  // Each byte as --explain shows it: the same pictures for control bytes in both.
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<char>(b);
    const QString text = QString::fromStdString(OneLine(std::string_view(&byte, 1)));
    glyphs_[static_cast<std::size_t>(b)] = text.isEmpty() ? QChar(0xFFFD) : text.front();
  }
  UpdateScrollBars();
}

void MarkedTextView::SetText(std::string bytes, std::vector<TextMark> marks) {
  bytes_ = std::move(bytes);
  lines_ = TextLines(bytes_);
  longestLine_ = 0;
  for (std::size_t i = 0; i < lines_.Count(); ++i) {
    longestLine_ = std::max(longestLine_, lines_.Line(bytes_, i).size());
  }
  marks_ = std::move(marks);
  selected_ = -1;
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  UpdateScrollBars();
  viewport()->update();
}

QString MarkedTextView::Shown(std::string_view bytes) const {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[static_cast<qsizetype>(i)] = glyphs_[static_cast<unsigned char>(bytes[i])];
  }
  return text;
}

QString MarkedTextView::LineText(std::size_t line) const {
  return line < lines_.Count() ? Shown(lines_.Line(bytes_, line)) : QString();
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
  const std::size_t length = lines_.Line(bytes_, line).size();
  return static_cast<Pos>(lines_.Start(line) + static_cast<std::size_t>(std::clamp<long long>(
                                                   column, 0, static_cast<long long>(length))));
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
    const auto x = static_cast<long long>(
        static_cast<qreal>(static_cast<std::size_t>(first->start) - lines_.Start(line)) *
        CharWidth());
    QScrollBar* across = horizontalScrollBar();
    if (x < across->value() ||
        x + static_cast<long long>(CharWidth() * 8) > across->value() + viewport()->width()) {
      across->setValue(
          static_cast<int>(std::clamp<long long>(x - viewport()->width() / 4, 0, INT32_MAX)));
    }
  }
  viewport()->update();
}

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
    const std::string_view line = lines_.Line(bytes_, i);
    const auto start = static_cast<Pos>(lines_.Start(i));
    // The columns in view; one past the line's end shows a mark over its line break.
    const Pos from = start + static_cast<Pos>(std::min(firstColumn, line.size() + 1));
    const Pos to = start + static_cast<Pos>(std::min(firstColumn + columns, line.size() + 1));
    for (std::size_t m = FirstMarkFrom(from);
         firstColumn <= line.size() + 1 && m < marks_.size() && marks_[m].start <= to; ++m) {
      const TextMark& mark = marks_[m];
      const Pos a = std::max(mark.start, from);
      const Pos b = std::min(mark.start + mark.length, to);
      if (mark.length > 0 && b <= a) {
        continue;
      }
      const qreal left = x0 + static_cast<qreal>(a - from) * charWidth;
      const qreal width = mark.length > 0 ? static_cast<qreal>(b - a) * charWidth : 2;
      painter.fillRect(QRectF(left, y, width, height), mark.colour);
      if (mark.change == selected_ && selected_ >= 0) {
        painter.fillRect(QRectF(left, y, width, 2), selectedEdge);
        painter.fillRect(QRectF(left, y + height - 2, width, 2), selectedEdge);
      }
    }
    // Runs of ordinary characters in one go, each picture of a control byte in its own cell
    // (it may come from another font, of another width).
    const std::string_view shown = line.substr(std::min(firstColumn, line.size()), columns);
    std::size_t run = 0;
    for (std::size_t c = 0; c <= shown.size(); ++c) {
      const auto byte = c < shown.size() ? static_cast<unsigned char>(shown[c]) : 0;
      const bool ordinary = c < shown.size() && byte >= 0x20 && byte != 0x7F;
      if (ordinary) {
        continue;
      }
      if (c > run) {
        painter.setPen(ink);
        painter.drawText(QPointF(x0 + static_cast<qreal>(run) * charWidth, y + metrics.ascent()),
                         Shown(shown.substr(run, c - run)));
      }
      if (c < shown.size()) {
        painter.setPen(faint);
        painter.drawText(QRectF(x0 + static_cast<qreal>(c) * charWidth, y, charWidth, height),
                         Qt::AlignCenter, QString(glyphs_[byte]));
      }
      run = c + 1;
    }
  }
}

bool MarkedTextView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const int mark = MarkAt(help->pos());
    if (mark >= 0 && tip_) {
      QToolTip::showText(help->globalPos(), tip_(marks_[static_cast<std::size_t>(mark)].change),
                         viewport());
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
}

void MarkedTextView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    UpdateScrollBars();
  }
  QAbstractScrollArea::changeEvent(event);
}

}  // namespace varnow
