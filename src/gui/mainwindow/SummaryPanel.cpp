// SPDX-License-Identifier: MIT
#include "SummaryPanel.h"
#include "InterfaceLanguage.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "cleaning/ProcedureTable.h"
#include "platform/LocalTime.h"
#include "text/Cp1251.h"
#include "text/Format.h"

namespace varnow {
namespace {

constexpr int kRowGap = 4;

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Grouped(std::uint64_t n) {
  return QString::fromStdString(GroupedDigits(n, InterfaceLanguage()));
}

QString Shown(const std::string& path) {
  std::string storage;
  return Utf8(ShownAsText(path, storage));
}

// A procedure as the window names it everywhere: its check box's caption.
QString Caption(const ProcedureRow& row) {
  return InInterfaceLanguage(row.caption);
}

}  // namespace

ProcedureBars::ProcedureBars(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("procedureBars"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ProcedureBars::SetSummary(const RunSummary& summary) {
  std::copy(summary.procedures.begin(), summary.procedures.end(), procedures_);
  update();
}

QSize ProcedureBars::sizeHint() const {
  const int row = fontMetrics().height() + kRowGap;
  return {360, row * static_cast<int>(kProcedureCount)};
}

QStringList ProcedureBars::Rows() const {
  QStringList rows;
  for (const ProcedureRow& row : kProcedures) {
    rows << Caption(row) + QLatin1Char(' ') + Grouped(procedures_[Index(row.id)].changes);
  }
  return rows;
}

void ProcedureBars::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const int row = metrics.height() + kRowGap;
  int nameWidth = 0;
  int countWidth = 0;
  std::uint64_t most = 1;
  for (const ProcedureRow& r : kProcedures) {
    nameWidth = std::max(nameWidth, metrics.horizontalAdvance(Caption(r)));
    countWidth =
        std::max(countWidth, metrics.horizontalAdvance(Grouped(procedures_[Index(r.id)].changes)));
    most = std::max(most, procedures_[Index(r.id)].changes);
  }
  const int barLeft = nameWidth + 8;
  const int barRoom = std::max(1, width() - barLeft - countWidth - 8);
  int y = 0;
  for (const ProcedureRow& r : kProcedures) {
    const std::uint64_t changes = procedures_[Index(r.id)].changes;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(0, y, nameWidth, row), Qt::AlignLeft | Qt::AlignVCenter, Caption(r));
    const int length = changes == 0
                           ? 0
                           : std::max(2, static_cast<int>(static_cast<double>(changes) /
                                                          static_cast<double>(most) * barRoom));
    painter.fillRect(QRect(barLeft, y + kRowGap / 2, length, row - kRowGap),
                     QColor(static_cast<QRgb>(r.colour)));
    painter.drawText(QRect(barLeft + length + 4, y, countWidth + 4, row),
                     Qt::AlignLeft | Qt::AlignVCenter, Grouped(changes));
    y += row;
  }
}

SummaryPanel::SummaryPanel(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("summaryPanel"));
  setFrameShape(QFrame::StyledPanel);
  auto* title = new QLabel(tr("<b>Сводка</b>"), this);
  auto* hide = new QToolButton(this);
  hide->setObjectName(QStringLiteral("hideSummaryButton"));
  hide->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  hide->setAutoRaise(true);
  hide->setToolTip(tr("Скрыть сводку (Файл \u2192 Сводка показывает ее снова)"));
  connect(hide, &QToolButton::clicked, this, &SummaryPanel::hideAsked);
  auto* header = new QHBoxLayout;
  header->addWidget(title, 1);
  header->addWidget(hide);
  outcome_ = new QLabel(this);
  outcome_->setObjectName(QStringLiteral("summaryOutcome"));
  outcome_->setTextFormat(Qt::PlainText);
  outcome_->setWordWrap(true);
  outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  totals_ = new QLabel(this);
  totals_->setObjectName(QStringLiteral("summaryTotals"));
  totals_->setTextFormat(Qt::PlainText);
  totals_->setWordWrap(true);
  totals_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  bars_ = new ProcedureBars(this);
  auto* topLabel = new QLabel(tr("Больше всего изменений:"), this);
  topPages_ = new QListWidget(this);
  topPages_->setObjectName(QStringLiteral("topPages"));
  topLabel->setBuddy(topPages_);
  // A click opens the page, and so does Return or a double click where the style activates so;
  // one gesture that is both opens it once.
  const auto choose = [this](QListWidgetItem* item) {
    const std::string page = item->data(Qt::UserRole).toByteArray().toStdString();
    if (page == lastChosen_ && sinceChosen_.isValid() &&
        sinceChosen_.elapsed() < QApplication::doubleClickInterval()) {
      return;
    }
    lastChosen_ = page;
    sinceChosen_.start();
    emit pageChosen(page);
  };
  connect(topPages_, &QListWidget::itemClicked, this, choose);
  connect(topPages_, &QListWidget::itemActivated, this, choose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 2, 6, 6);
  layout->addLayout(header);
  layout->addWidget(outcome_);
  layout->addWidget(totals_);
  layout->addWidget(bars_);
  layout->addWidget(topLabel);
  layout->addWidget(topPages_, 1);
  // Narrow enough to stand beside the log in the first start's window.
  setMinimumWidth(200);
}

QSize SummaryPanel::sizeHint() const {
  return {280, QFrame::sizeHint().height()};
}

void SummaryPanel::SetRunning() {
  outcome_->setText(tr("идет выполнение..."));
  totals_->clear();
  bars_->SetSummary({});
  topPages_->clear();
}

void SummaryPanel::SetEnd(const RunEnd& end) {
  switch (end.how) {
    case RunEnd::How::kComplete:
    case RunEnd::How::kNotStarted:
      outcome_->setText(tr("Выполнено полностью."));
      break;
    case RunEnd::How::kStopped:
      outcome_->setText(tr("Остановлено пользователем."));
      break;
    case RunEnd::How::kFailed:
      outcome_->setText(tr("Прервано ошибкой: ") + Utf8(end.shownError));
      break;
  }
  const RunSummary& s = end.summary;
  QString text = tr("Страниц найдено %1: изменено %2, без изменений %3, не записано "
                    "%4, не достигнуто %5.")
                     .arg(Grouped(s.pagesFound), Grouped(s.pagesChanged), Grouped(s.pagesUnchanged),
                          Grouped(s.pagesFailed), Grouped(s.pagesNotReached));
  if (s.pagesUpToDate > 0) {
    text += tr(" Как после прошлого запуска: %1.").arg(Grouped(s.pagesUpToDate));
  }
  text += tr("\nБайт на входе %1, на выходе %2").arg(Grouped(s.bytesIn), Grouped(s.bytesOut));
  if (s.bytesIn > 0) {
    const double change = 100.0 *
                          (static_cast<double>(s.bytesOut) - static_cast<double>(s.bytesIn)) /
                          static_cast<double>(s.bytesIn);
    text += QStringLiteral(" (%1%2%)")
                .arg(change > 0 ? QStringLiteral("+") : QString())
                .arg(change, 0, 'f', 1);
  }
  std::uint64_t removed = 0;
  std::uint64_t inserted = 0;
  for (const RunSummary::Procedure& p : s.procedures) {
    removed += p.removed;
    inserted += p.inserted;
  }
  text += tr(".\nУдалено байт %1, вставлено %2. Время: %3.")
              .arg(Grouped(removed), Grouped(inserted), Utf8(ElapsedText(s.elapsed)));
  totals_->setText(text);
  bars_->SetSummary(s);
  topPages_->clear();
  for (const RunSummary::Page& page : s.topPages) {
    auto* item = new QListWidgetItem(
        QStringLiteral("%1   %2").arg(Grouped(page.changes), Shown(page.path)), topPages_);
    item->setData(Qt::UserRole, QByteArray::fromStdString(page.path));
    item->setToolTip(tr("Открыть в просмотре изменений"));
  }
}

QString SummaryPanel::Outcome() const {
  return outcome_->text();
}

QString SummaryPanel::Totals() const {
  return totals_->text();
}

}  // namespace varnow
