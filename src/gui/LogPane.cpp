// SPDX-License-Identifier: MIT
#include "LogPane.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace varnow {
namespace {

constexpr int kMargin = 3;  // pixels left of the text

std::size_t CountCharacters(std::string_view utf8) {
  // Every byte that does not continue a UTF-8 sequence begins a character.
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace

LogPane::LogPane(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
  horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 4);
  UpdateScrollBars();
}

void LogPane::AppendLine(std::string_view utf8) {
  starts_.push_back(bytes_.size());
  changes_.push_back(kNoChange);
  bytes_.append(utf8);
  const std::size_t chars = CountCharacters(utf8);
  if (chars > widestChars_) {
    widestChars_ = chars;
    widestLine_ = starts_.size() - 1;
    widthStale_ = true;
  }
  QueueFlush();
}

void LogPane::AppendLine(const QString& text) {
  AppendLine(text.toStdString());
}

void LogPane::AppendChangeLine(std::string_view utf8, std::string_view page, std::size_t rank,
                               Switch procedure) {
  if (pages_.empty() || pages_.back() != page) {
    pages_.emplace_back(page);
  }
  AppendLine(utf8);
  changes_.back() = {static_cast<std::uint32_t>(pages_.size() - 1),
                     static_cast<std::uint32_t>(rank), procedure};
}

std::optional<LogPane::Change> LogPane::ChangeAt(std::size_t line) const {
  if (line >= changes_.size() || changes_[line].page == kNoChange.page) {
    return std::nullopt;
  }
  return Change{pages_[changes_[line].page], changes_[line].rank, changes_[line].procedure};
}

void LogPane::Clear() {
  // Give the memory back: the last run may have left a very long log.
  std::string().swap(bytes_);
  std::vector<std::size_t>().swap(starts_);
  std::vector<ChangeRef>().swap(changes_);
  std::vector<std::string>().swap(pages_);
  widestLine_ = widestChars_ = 0;
  widestPixels_ = 0;
  widthStale_ = false;
  hasSelection_ = false;
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  Flush();
}

void LogPane::QueueFlush() {
  if (flushQueued_) {
    return;
  }
  flushQueued_ = true;
  QMetaObject::invokeMethod(this, &LogPane::Flush, Qt::QueuedConnection);
}

void LogPane::Flush() {
  flushQueued_ = false;
  if (widthStale_) {
    widestPixels_ = fontMetrics().horizontalAdvance(Line(widestLine_));
    widthStale_ = false;
  }
  QScrollBar* vertical = verticalScrollBar();
  const bool followEnd = vertical->value() >= vertical->maximum();
  shown_ = starts_.size();
  UpdateScrollBars();
  if (followEnd) {
    vertical->setValue(vertical->maximum());
  }
  viewport()->update();
}

std::string_view LogPane::LineBytes(std::size_t index) const {
  const std::size_t begin = starts_[index];
  const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : bytes_.size();
  return std::string_view(bytes_).substr(begin, end - begin);
}

QString LogPane::Line(std::size_t index) const {
  if (index >= starts_.size()) {
    return {};
  }
  const std::string_view bytes = LineBytes(index);
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString LogPane::Text() const {
  QString text;
  for (std::size_t i = 0; i < starts_.size(); ++i) {
    if (i > 0) {
      text += QLatin1Char('\n');
    }
    text += Line(i);
  }
  return text;
}

QString LogPane::SelectedText() const {
  if (!hasSelection_ || starts_.empty()) {
    return {};
  }
  const std::size_t first = std::min(anchor_, cursor_);
  const std::size_t last = std::min(std::max(anchor_, cursor_), starts_.size() - 1);
  QString text;
  for (std::size_t i = first; i <= last; ++i) {
    if (i > first) {
      text += QLatin1Char('\n');
    }
    text += Line(i);
  }
  return text;
}

void LogPane::SelectAll() {
  if (starts_.empty()) {
    return;
  }
  hasSelection_ = true;
  anchor_ = 0;
  cursor_ = starts_.size() - 1;
  viewport()->update();
}

void LogPane::CopySelection() const {
  if (hasSelection_) {
    QApplication::clipboard()->setText(SelectedText());
  }
}

int LogPane::LineHeight() const {
  return std::max(1, fontMetrics().lineSpacing());
}

int LogPane::FullLinesInView() const {
  return std::max(1, viewport()->height() / LineHeight());
}

std::size_t LogPane::LineAt(int y) const {
  if (shown_ == 0) {
    return 0;
  }
  const long long line =
      static_cast<long long>(verticalScrollBar()->value()) + (y < 0 ? -1 : y / LineHeight());
  return static_cast<std::size_t>(
      std::clamp<long long>(line, 0, static_cast<long long>(shown_) - 1));
}

bool LogPane::IsSelected(std::size_t index) const {
  return hasSelection_ && index >= std::min(anchor_, cursor_) &&
         index <= std::max(anchor_, cursor_);
}

void LogPane::UpdateScrollBars() {
  // The vertical bar counts lines, so its range stays small whatever the pane holds.
  const int inView = FullLinesInView();
  const auto lines = static_cast<long long>(std::min<std::size_t>(shown_, INT32_MAX));
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, static_cast<int>(std::max<long long>(0, lines - inView)));
  vertical->setPageStep(inView);
  vertical->setSingleStep(1);

  QScrollBar* horizontal = horizontalScrollBar();
  const int contentWidth = widestPixels_ + 2 * kMargin;
  horizontal->setRange(0, std::max(0, contentWidth - viewport()->width()));
  horizontal->setPageStep(viewport()->width());
}

void LogPane::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(viewport());
  const QFontMetrics metrics = fontMetrics();
  const int height = LineHeight();
  const int x = kMargin - horizontalScrollBar()->value();
  const int width = viewport()->width();
  int y = 0;
  for (auto i = static_cast<std::size_t>(verticalScrollBar()->value());
       i < shown_ && y < viewport()->height(); ++i, y += height) {
    const bool selected = IsSelected(i);
    if (selected) {
      painter.fillRect(QRect(0, y, width, height), palette().highlight());
    }
    painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter.drawText(x, y + metrics.ascent(), Line(i));
    if (hasFocus() && hasSelection_ && i == cursor_) {
      // The current line's focus mark: where the keys act, and what Return opens.
      QPen mark(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
      mark.setStyle(Qt::DotLine);
      painter.setPen(mark);
      painter.drawRect(QRect(0, y, width - 1, height - 1));
    }
  }
}

void LogPane::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void LogPane::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    widthStale_ = !starts_.empty();
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 4);
    Flush();
  }
  QAbstractScrollArea::changeEvent(event);
}

void LogPane::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || shown_ == 0) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const std::size_t line = LineAt(event->position().toPoint().y());
  if (!(event->modifiers() & Qt::ShiftModifier) || !hasSelection_) {
    anchor_ = line;
  }
  cursor_ = line;
  hasSelection_ = true;
  viewport()->update();
}

void LogPane::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();  // the focus mark shows
}

void LogPane::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

void LogPane::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !hasSelection_) {
    return;
  }
  const int y = event->position().toPoint().y();
  // Dragging past an edge scrolls, a line per move.
  if (y < 0) {
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
  } else if (y >= viewport()->height()) {
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  }
  cursor_ = LineAt(y);
  viewport()->update();
}

void LogPane::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    event->accept();  // the press did the selecting
    return;
  }
  QAbstractScrollArea::mouseReleaseEvent(event);
}

void LogPane::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || shown_ == 0) {
    QAbstractScrollArea::mouseDoubleClickEvent(event);
    return;
  }
  anchor_ = cursor_ = LineAt(event->position().toPoint().y());
  hasSelection_ = true;
  viewport()->update();
  emit lineActivated(cursor_);
}

void LogPane::MoveCurrentLine(int key, bool extend) {
  if (shown_ == 0) {
    return;
  }
  const auto first = static_cast<std::size_t>(verticalScrollBar()->value());
  const auto page = static_cast<std::size_t>(std::max(1, viewport()->height() / LineHeight() - 1));
  const std::size_t last = shown_ - 1;
  // Without a current line yet, the keys start from the first line in view.
  const std::size_t from = hasSelection_ ? std::min(cursor_, last) : std::min(first, last);
  std::size_t to = from;
  switch (key) {
    case Qt::Key_Up:
      to = hasSelection_ && from > 0 ? from - 1 : from;
      break;
    case Qt::Key_Down:
      to = hasSelection_ ? std::min(from + 1, last) : from;
      break;
    case Qt::Key_PageUp:
      to = from > page ? from - page : 0;
      break;
    case Qt::Key_PageDown:
      to = std::min(from + page, last);
      break;
    case Qt::Key_Home:
      to = 0;
      break;
    default:  // End
      to = last;
      break;
  }
  if (!extend || !hasSelection_) {
    anchor_ = to;
  }
  cursor_ = to;
  hasSelection_ = true;
  // The current line in view.
  const std::size_t inView = page + 1;
  if (to < first) {
    verticalScrollBar()->setValue(static_cast<int>(to));
  } else if (to >= first + inView) {
    verticalScrollBar()->setValue(static_cast<int>(to - inView + 1));
  }
  viewport()->update();
}

void LogPane::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && hasSelection_) {
    emit lineActivated(cursor_);  // the current line
  } else if (event == QKeySequence::Copy) {
    CopySelection();
  } else if (event == QKeySequence::SelectAll) {
    SelectAll();
  } else if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
             key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End) {
    // The current line moves, Shift extending the selection from where it began.
    MoveCurrentLine(key, (event->modifiers() & Qt::ShiftModifier) != 0);
  } else {
    QAbstractScrollArea::keyPressEvent(event);
  }
}

void LogPane::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("Копировать"), this, &LogPane::CopySelection);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(hasSelection_);
  QAction* all = menu.addAction(QStringLiteral("Выделить все"), this, &LogPane::SelectAll);
  all->setShortcut(QKeySequence::SelectAll);
  all->setEnabled(!starts_.empty());
  menu.exec(event->globalPos());
}

}  // namespace varnow
