// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning/Switch.h"

namespace varnow {

// The read-only log pane. It holds every line of a run, a million lines and more: lines are
// kept as UTF-8 bytes back to back and only the lines in view are ever laid out, so adding a
// line costs the same however long the pane already is. Lines may be selected with the mouse
// (shift extends) and copied.
class LogPane : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit LogPane(QWidget* parent = nullptr);

  // Adds one line. The line is stored at once and shown at the next turn of the event loop
  // (or by Flush), so a burst of lines is shown in one go.
  void AppendLine(std::string_view utf8);
  void AppendLine(const QString& text);
  // Adds a line that reports the change of rank `rank` (0 for the first) that `procedure` made
  // to the page at `page` (its path's bytes as the run found them).
  void AppendChangeLine(std::string_view utf8, std::string_view page, std::size_t rank,
                        Switch procedure);
  void Clear();
  // Shows the lines added so far: scroll ranges, following the end, repainting.
  void Flush();

  std::size_t LineCount() const { return starts_.size(); }
  // The page and rank of the change a line reports; nothing for the other lines.
  struct Change {
    std::string_view page;
    std::size_t rank;
    Switch procedure;
  };
  std::optional<Change> ChangeAt(std::size_t line) const;
  QString Line(std::size_t index) const;
  // Every line, each ended by '\n' except the last.
  QString Text() const;

  // The selected lines, joined as Text() joins them; empty when nothing is selected.
  QString SelectedText() const;
  void SelectAll();
  void CopySelection() const;
  // The current line: the one the selection ends on (the last clicked, or moved to with the
  // arrow and page keys, Home and End); only with a selection.
  std::size_t CurrentLine() const { return cursor_; }
  bool HasSelection() const { return hasSelection_; }

 signals:
  // A line was double-clicked, or Enter pressed on the selected line.
  void lineActivated(std::size_t index);

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
  std::string_view LineBytes(std::size_t index) const;
  int LineHeight() const;
  int FullLinesInView() const;
  // The line under a point of the viewport, kept within the lines shown.
  std::size_t LineAt(int y) const;
  bool IsSelected(std::size_t index) const;
  void UpdateScrollBars();
  void QueueFlush();

  std::string bytes_;                // every line's bytes, back to back
  std::vector<std::size_t> starts_;  // where each line begins in bytes_
  // Per line, the change it reports: its page's place in pages_ and its rank in that page.
  struct ChangeRef {
    std::uint32_t page;
    std::uint32_t rank;
    Switch procedure;
  };
  static constexpr ChangeRef kNoChange{UINT32_MAX, 0, Switch::kScript};
  std::vector<ChangeRef> changes_;
  std::vector<std::string> pages_;  // the pages whose changes the pane shows, in order
  std::size_t shown_ = 0;           // lines the scroll bars and the painting know of
  bool flushQueued_ = false;

  // The widest line is taken to be the one with the most characters (the pane uses a
  // fixed-pitch font); only that one line is measured.
  std::size_t widestLine_ = 0;
  std::size_t widestChars_ = 0;
  bool widthStale_ = false;
  int widestPixels_ = 0;

  // The selection: the lines from anchor_ to cursor_, both included, in either order.
  bool hasSelection_ = false;
  std::size_t anchor_ = 0;
  std::size_t cursor_ = 0;
};

}  // namespace varnow
