// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <QTimer>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "logstore/LogStore.h"

namespace varnow {

// The read-only log pane. It shows every line of a run, ten million lines and more: the lines
// live in a file-backed store, only the lines in view are read and laid out, so neither adding
// a line nor scrolling anywhere costs more however long the log is. A run on another thread
// adds its lines to the store directly and says so with LinesAdded. Lines may be selected with
// the mouse or the keys (shift extends) and copied.
class LogPane : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // The store's file lives in `storeFolder`.
  explicit LogPane(QWidget* parent = nullptr,
                   const std::filesystem::path& storeFolder = LogStore::DefaultFolder());

  // The lines, for a thread that adds them itself; it then calls LinesAdded.
  LogStore& Store() { return store_; }
  // Lines were added to the store, or it was cleared: they are shown within a few hundredths
  // of a second, however often this is called. Safe to call from any thread.
  void LinesAdded();

  // Adds one line. The line is stored at once and shown at the next turn of the event loop
  // (or by Flush), so a burst of lines is shown in one go.
  void AppendLine(std::string_view utf8);
  void AppendLine(const QString& text);
  // Clears the pane; the lines that follow are never wrapped.
  void Clear();
  // Each line wrapped at the pane's width, for a few lines of prose (the greeting before the
  // first run); a run's lines are never wrapped, so that each stays one row.
  void SetWrapped(bool wrapped);
  // Shows the lines added so far: scroll ranges, following the end, repainting.
  void Flush();

  // The lines stored, shown or about to be.
  std::size_t LineCount() const { return store_.LineCount(); }
  // The page and rank of the change a line reports; nothing for the other lines.
  using Change = LogStore::Change;
  std::optional<Change> ChangeAt(std::size_t line) const;
  QString Line(std::size_t index) const;
  // Every line, each ended by '\n' except the last.
  QString Text() const;

  // The clipboard takes a copy of at most this many bytes of text.
  static constexpr std::size_t kCopyLimitBytes = std::size_t{64} << 20;
  // The selected lines, joined as Text() joins them, as many whole lines as the copy limit
  // holds; empty when nothing is selected. `lines` is set to how many it holds.
  QString SelectedText(std::size_t* lines = nullptr) const;
  // The same as UTF-8, as the clipboard is given it.
  QByteArray SelectedUtf8(std::size_t* lines = nullptr) const;
  std::size_t SelectedLineCount() const;
  void SelectAll();
  void CopySelection();
  // The current line: the one the selection ends on (the last clicked, or moved to with the
  // arrow and page keys, Home and End); only with a selection.
  std::size_t CurrentLine() const { return cursor_; }
  bool HasSelection() const { return hasSelection_; }

 signals:
  // A line was double-clicked, or Enter pressed on the selected line.
  void lineActivated(std::size_t index);
  // A copy held only the first `copied` lines of the `selected`: the rest passed the limit.
  void copyLimited(std::size_t copied, std::size_t selected);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // Moves the current line as `key` (Up, Down, PageUp, PageDown, Home, End) asks; `extend`
  // keeps where the selection began.
  void MoveCurrentLine(int key, bool extend);
  int LineHeight() const;
  int FullLinesInView() const;
  // The line under a point of the viewport, kept within the lines shown.
  std::size_t LineAt(int y) const;
  bool IsSelected(std::size_t index) const;
  void UpdateScrollBars();
  // Wrapped: where each line shown stands, top to bottom, at the pane's width.
  std::vector<QRect> WrappedRows() const;
  bool Wrapping() const;
  // Lines added on the pane's own thread: shown at the next turn of the event loop.
  void FlushSoon();

  LogStore store_;
  std::uint64_t epoch_ = 0;  // the store's, when last shown: another means it was cleared
  std::size_t shown_ = 0;    // lines the scroll bars and the painting know of
  std::atomic<bool> flushQueued_{false};
  QTimer* flushTimer_;  // LinesAdded's flush, a moment later, with what came meanwhile

  // The widest line is taken to be the one with the most characters (the pane uses a
  // fixed-pitch font); only that one line is measured.
  std::size_t widestChars_ = 0;
  int widestPixels_ = 0;

  bool wrapped_ = false;
  static constexpr std::size_t kMostWrappedLines = 64;  // more are a log: never wrapped

  // The selection: the lines from anchor_ to cursor_, both included, in either order.
  bool hasSelection_ = false;
  std::size_t anchor_ = 0;
  std::size_t cursor_ = 0;
};

}  // namespace varnow
