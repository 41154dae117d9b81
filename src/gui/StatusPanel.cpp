#include "StatusPanel.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>

namespace varnow {

StatusPanel::StatusPanel(QWidget* parent)
    : QStatusBar(parent), text_(new QLabel(this)), progress_(new QProgressBar(this)) {
  setSizeGripEnabled(false);
  text_->setObjectName(QStringLiteral("StatusText"));
  progress_->setObjectName(QStringLiteral("RunProgress"));
  progress_->setMaximumWidth(200);
  progress_->setFormat(QStringLiteral("%v / %m"));
  progress_->hide();
  addPermanentWidget(text_, 1);
  addPermanentWidget(progress_);
}

QString StatusPanel::Text() const {
  return text_->text();
}

void StatusPanel::SetText(const QString& text) {
  text_->setText(text);
}

void StatusPanel::ShowProgress(std::size_t done, std::size_t total) {
  // QProgressBar counts in int; a larger count is shown scaled.
  constexpr std::size_t kMax = 1'000'000'000;
  const std::size_t scale = total > kMax ? total / kMax + 1 : 1;
  progress_->setRange(0, static_cast<int>(total / scale));
  progress_->setValue(static_cast<int>(std::min(done, total) / scale));
  progress_->show();
}

void StatusPanel::HideProgress() {
  progress_->hide();
}

}  // namespace varnow
