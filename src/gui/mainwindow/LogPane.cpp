// SPDX-License-Identifier: MIT
#include "LogPane.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace varnow {
namespace {

constexpr int kMargin = 3;  // pixels left of the text

}  // namespace

LogPane::LogPane(QWidget* parent, const std::filesystem::path& storeFolder)
    : QAbstractScrollArea(parent),
      store_(storeFolder),
      epoch_(store_.Epoch()),
      flushTimer_(new QTimer(this)) {
  // A run adds lines as fast as it cleans; the pane shows them this often, which the eye
  // cannot tell from at once, leaving the cores to the run.
  flushTimer_->setSingleShot(true);
  flushTimer_->setInterval(40);
  connect(flushTimer_, &QTimer::timeout, this, &LogPane::Flush);
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
  store_.Append(utf8);
  FlushSoon();
}

void LogPane::FlushSoon() {
  // At the next turn of the event loop, once for a burst of lines.
  if (!flushQueued_.exchange(true)) {
    QMetaObject::invokeMethod(this, &LogPane::Flush, Qt::QueuedConnection);
  }
}

void LogPane::AppendLine(const QString& text) {
  AppendLine(text.toStdString());
}

std::optional<LogPane::Change> LogPane::ChangeAt(std::size_t line) const {
  return store_.ChangeAt(line);
}

void LogPane::Clear() {
  wrapped_ = false;
  store_.Clear();
  Flush();
}

void LogPane::SetWrapped(bool wrapped) {
  wrapped_ = wrapped;
  UpdateScrollBars();
  viewport()->update();
}

bool LogPane::Wrapping() const {
  return wrapped_ && shown_ <= kMostWrappedLines;
}

std::vector<QRect> LogPane::WrappedRows() const {
  std::vector<QRect> rows;
  const int width = std::max(1, viewport()->width() - 2 * kMargin);
  const QFontMetrics metrics = fontMetrics();
  int y = 0;
  const std::vector<LogStore::Line> lines = store_.Lines(0, shown_);
  for (const LogStore::Line& line : lines) {
    const QString text = QString::fromStdString(line.text);
    const int height =
        text.isEmpty()
            ? LineHeight()
            : std::max(
                  LineHeight(),
                  metrics.boundingRect(QRect(0, 0, width, INT32_MAX / 2), Qt::TextWordWrap, text)
                      .height());
    rows.emplace_back(kMargin, y, width, height);
    y += height;
  }
  return rows;
}

void LogPane::LinesAdded() {
  // One flush waits at a time, however fast lines come.
  if (!flushQueued_.exchange(true)) {
    QMetaObject::invokeMethod(flushTimer_, qOverload<>(&QTimer::start), Qt::QueuedConnection);
  }
}

void LogPane::Flush() {
  flushQueued_ = false;
  flushTimer_->stop();
  QScrollBar* vertical = verticalScrollBar();
  if (const std::uint64_t epoch = store_.Epoch(); epoch != epoch_) {
    // The store was cleared (a new run): a new log, from its top.
    epoch_ = epoch;
    widestChars_ = 0;
    widestPixels_ = 0;
    hasSelection_ = false;
    shown_ = 0;
    vertical->setValue(0);
    horizontalScrollBar()->setValue(0);
  }
  const auto [widestLine, widestChars] = store_.Widest();
  if (widestChars != widestChars_) {
    widestChars_ = widestChars;
    widestPixels_ = widestChars == 0 ? 0 : fontMetrics().horizontalAdvance(Line(widestLine));
  }
  const bool followEnd = vertical->value() >= vertical->maximum();
  shown_ = store_.LineCount();
  UpdateScrollBars();
  if (followEnd) {
    vertical->setValue(vertical->maximum());
  }
  viewport()->update();
}

QString LogPane::Line(std::size_t index) const {
  if (index >= shown_ && index >= store_.LineCount()) {
    return {};
  }
  return QString::fromStdString(store_.Text(index));
}

QString LogPane::Text() const {
  QString text;
  store_.ForEachText(0, SIZE_MAX, [&text, first = true](std::string_view line) mutable {
    if (!first) {
      text += QLatin1Char('\n');
    }
    first = false;
    text += QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    return true;
  });
  return text;
}

std::size_t LogPane::SelectedLineCount() const {
  if (!hasSelection_ || shown_ == 0) {
    return 0;
  }
  return std::min(std::max(anchor_, cursor_), shown_ - 1) - std::min(anchor_, cursor_) + 1;
}

QByteArray LogPane::SelectedUtf8(std::size_t* lines) const {
  const std::size_t count = SelectedLineCount();
  std::size_t taken = 0;
  QByteArray text;
  if (count > 0) {
    const std::size_t first = std::min(anchor_, cursor_);
    // Measured first, so that the text is made in one piece of its own size: grown as it is
    // read, a 64 MB copy went through buffers of twice that.
    std::size_t bytes = 0;
    store_.ForEachText(first, first + count - 1, [&](std::string_view line) {
      if (bytes + line.size() + (taken > 0 ? 1 : 0) > kCopyLimitBytes) {
        return false;  // whole lines only, up to the limit
      }
      bytes += line.size() + (taken > 0 ? 1 : 0);
      ++taken;
      return true;
    });
    text.reserve(static_cast<qsizetype>(bytes));
    std::size_t added = 0;
    store_.ForEachText(first, first + taken - 1, [&](std::string_view line) {
      if (added++ > 0) {
        text += '\n';
      }
      text.append(line.data(), static_cast<qsizetype>(line.size()));
      return true;
    });
  }
  if (lines != nullptr) {
    *lines = taken;
  }
  return text;
}

QString LogPane::SelectedText(std::size_t* lines) const {
  return QString::fromUtf8(SelectedUtf8(lines));
}

void LogPane::SelectAll() {
  if (shown_ == 0) {
    return;
  }
  hasSelection_ = true;
  anchor_ = 0;
  cursor_ = shown_ - 1;
  viewport()->update();
}

void LogPane::CopySelection() {
  if (!hasSelection_) {
    return;
  }
  std::size_t copied = 0;
  // The clipboard holds the UTF-8 text itself, once: a program that pastes it is given these
  // bytes, and no wider copy of them is made here (a QString would be twice their size).
  auto* data = new QMimeData;
  data->setData(QStringLiteral("text/plain;charset=utf-8"), SelectedUtf8(&copied));
  data->setData(QStringLiteral("text/plain"),
                data->data(QStringLiteral("text/plain;charset=utf-8")));
  QApplication::clipboard()->setMimeData(data);
  if (const std::size_t selected = SelectedLineCount(); copied < selected) {
    emit copyLimited(copied, selected);
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
  if (Wrapping()) {
    const std::vector<QRect> rows = WrappedRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (y < rows[i].bottom() + 1) {
        return i;
      }
    }
    return shown_ - 1;
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
  if (Wrapping()) {
    vertical->setRange(0, 0);  // a few lines of prose, wrapped to the width: nothing to scroll
    horizontal->setRange(0, 0);
    return;
  }
  horizontal->setRange(0, std::max(0, contentWidth - viewport()->width()));
  horizontal->setPageStep(viewport()->width());
}

void LogPane::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(viewport());
  const QFontMetrics metrics = fontMetrics();
  const int height = LineHeight();
  const int x = kMargin - horizontalScrollBar()->value();
  const int width = viewport()->width();
  const auto first = static_cast<std::size_t>(verticalScrollBar()->value());
  if (hasFocus() && !hasSelection_) {
    // Focus with no current line yet (before the first click or key): the pane says so.
    QPen mark(palette().color(QPalette::Highlight));
    mark.setStyle(Qt::DotLine);
    painter.setPen(mark);
    painter.drawRect(viewport()->rect().adjusted(0, 0, -1, -1));
  }
  if (Wrapping()) {
    const std::vector<QRect> rows = WrappedRows();
    const std::vector<LogStore::Line> lines = store_.Lines(0, shown_);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const bool selected = IsSelected(i);
      if (selected) {
        painter.fillRect(QRect(0, rows[i].y(), width, rows[i].height()), palette().highlight());
      }
      painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
      painter.drawText(rows[i], Qt::TextWordWrap, QString::fromStdString(lines[i].text));
    }
    return;
  }
  const std::vector<LogStore::Line> lines =
      first < shown_ ? store_.Lines(first, std::min<std::size_t>(shown_ - first,
                                                                 viewport()->height() / height + 1))
                     : std::vector<LogStore::Line>();
  int y = 0;
  for (std::size_t k = 0; k < lines.size(); ++k, y += height) {
    const std::size_t i = first + k;
    const bool selected = IsSelected(i);
    if (selected) {
      painter.fillRect(QRect(0, y, width, height), palette().highlight());
    }
    painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter.drawText(x, y + metrics.ascent(), QString::fromStdString(lines[k].text));
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
    widestChars_ = 0;  // measured again in the new font
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
  QAction* copy = menu.addAction(tr("Копировать"), this, &LogPane::CopySelection);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(hasSelection_);
  QAction* all = menu.addAction(tr("Выделить все"), this, &LogPane::SelectAll);
  all->setShortcut(QKeySequence::SelectAll);
  all->setEnabled(shown_ > 0);
  menu.exec(event->globalPos());
}

}  // namespace varnow
