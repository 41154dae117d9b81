// SPDX-License-Identifier: MIT
#pragma once

#include <QStatusBar>
#include <cstddef>

class QLabel;
class QProgressBar;
class QEvent;

namespace varnow {

// The status bar: one text, and beside it, while a run goes on, the files done of the files
// found: as a count ("730 / 2000") and as a bar. The count stands beside the bar, not over its
// fill, where some styles make it unreadable. The text is a permanent widget, so hovering
// menus never hides it.
class StatusPanel : public QStatusBar {
  Q_OBJECT

 public:
  explicit StatusPanel(QWidget* parent = nullptr);

  QString Text() const;
  void SetText(const QString& text);
  // A word for a moment (a drop refused): the text comes back after a few seconds, unless a
  // new one was set meanwhile.
  void ShowNote(const QString& note);

  void ShowProgress(std::size_t done, std::size_t total);
  void HideProgress();
  const QProgressBar* ProgressBar() const { return progress_; }
  QString CountText() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The text as far as the label holds it, elided in the middle (a path's start and its name
  // both stay), the whole of it as the tool tip.
  void ShowText();

  QString fullText_;
  QString lastText_;    // what SetText set: a note passes, this comes back
  unsigned notes_ = 0;  // notes shown; only the last one's timer restores the text
  QLabel* text_;
  QLabel* count_;
  QProgressBar* progress_;
};

}  // namespace varnow
