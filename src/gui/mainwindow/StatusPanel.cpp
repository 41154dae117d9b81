// SPDX-License-Identifier: MIT
#include "StatusPanel.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>

#include "InterfaceLanguage.h"
#include "text/Format.h"

namespace varnow {

StatusPanel::StatusPanel(QWidget* parent)
    : QStatusBar(parent),
      text_(new QLabel(this)),
      count_(new QLabel(this)),
      progress_(new QProgressBar(this)) {
  setSizeGripEnabled(false);
  text_->setObjectName(QStringLiteral("StatusText"));
  text_->setTextFormat(Qt::PlainText);  // a page's name or an error, never guessed as markup
  // A long text never widens the window: it is elided to the room there is.
  text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  text_->installEventFilter(this);
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
  return fullText_;
}

void StatusPanel::SetText(const QString& text) {
  ++notes_;  // a note standing is gone
  lastText_ = text;
  fullText_ = text;
  ShowText();
}

void StatusPanel::ShowNote(const QString& note) {
  const unsigned note_ = ++notes_;
  fullText_ = note;
  ShowText();
  constexpr int kNoteMs = 4000;
  QTimer::singleShot(kNoteMs, this, [this, note_] {
    if (notes_ == note_) {
      fullText_ = lastText_;
      ShowText();
    }
  });
}

bool StatusPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == text_ && event->type() == QEvent::Resize) {
    ShowText();  // the room changed: the window, or the count and bar beside it
  }
  return QStatusBar::eventFilter(watched, event);
}

void StatusPanel::ShowText() {
  const int room = std::max(text_->width(), 40);
  const QString shown = text_->fontMetrics().elidedText(fullText_, Qt::ElideMiddle, room);
  text_->setText(shown);
  text_->setToolTip(shown == fullText_ ? QString() : fullText_);
}

void StatusPanel::ShowProgress(std::size_t done, std::size_t total) {
  // QProgressBar counts in int; a larger count is shown scaled.
  constexpr std::size_t kMax = 1'000'000'000;
  const std::size_t scale = total > kMax ? total / kMax + 1 : 1;
  progress_->setRange(0, static_cast<int>(total / scale));
  progress_->setValue(static_cast<int>(std::min(done, total) / scale));
  count_->setText(QStringLiteral("%1 / %2").arg(
      QString::fromStdString(GroupedDigits(std::min(done, total), InterfaceLanguage())),
      QString::fromStdString(GroupedDigits(total, InterfaceLanguage()))));
  count_->show();
  progress_->show();
}

void StatusPanel::HideProgress() {
  count_->hide();
  progress_->hide();
}

}  // namespace varnow
