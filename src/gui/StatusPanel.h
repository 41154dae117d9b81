#pragma once

#include <QStatusBar>
#include <cstddef>

class QLabel;
class QProgressBar;

namespace varnow {

// The status bar: one text, and beside it a progress bar (files done of the files found)
// while a run goes on. The text is a permanent widget, so hovering menus never hides it.
class StatusPanel : public QStatusBar {
  Q_OBJECT

 public:
  explicit StatusPanel(QWidget* parent = nullptr);

  QString Text() const;
  void SetText(const QString& text);

  void ShowProgress(std::size_t done, std::size_t total);
  void HideProgress();
  const QProgressBar* ProgressBar() const { return progress_; }

 private:
  QLabel* text_;
  QProgressBar* progress_;
};

}  // namespace varnow
