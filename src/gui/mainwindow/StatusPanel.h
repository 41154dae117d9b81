// SPDX-License-Identifier: MIT
#pragma once

#include <QStatusBar>
#include <cstddef>

class QLabel;
class QProgressBar;

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

  void ShowProgress(std::size_t done, std::size_t total);
  void HideProgress();
  const QProgressBar* ProgressBar() const { return progress_; }
  QString CountText() const;

 private:
  QLabel* text_;
  QLabel* count_;
  QProgressBar* progress_;
};

}  // namespace varnow
