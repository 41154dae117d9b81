// SPDX-License-Identifier: MIT
#include "StatusPanel.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>

namespace varnow {

StatusPanel::StatusPanel(QWidget* parent)
    : QStatusBar(parent),
      text_(new QLabel(this)),
      count_(new QLabel(this)),
      progress_(new QProgressBar(this)) {
  setSizeGripEnabled(false);
  text_->setObjectName(QStringLiteral("StatusText"));
  text_->setTextFormat(Qt::PlainText);  // a page's name or an error, never guessed as markup
  count_->setObjectName(QStringLiteral("RunCount"));
  progress_->setObjectName(QStringLiteral("RunProgress"));
  progress_->setMaximumWidth(160);
  progress_->setTextVisible(false);
  count_->hide();
  progress_->hide();
  addPermanentWidget(text_, 1);
  addPermanentWidget(count_);
  addPermanentWidget(progress_);
}

QString StatusPanel::CountText() const {
  return count_->isVisible() ? count_->text() : QString();
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
  count_->setText(QStringLiteral("%1 / %2").arg(std::min(done, total)).arg(total));
  count_->show();
  progress_->show();
}

void StatusPanel::HideProgress() {
  count_->hide();
  progress_->hide();
}

}  // namespace varnow
