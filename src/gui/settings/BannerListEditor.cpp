// SPDX-License-Identifier: MIT
#include "BannerListEditor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <exception>

#include "ScreenFit.h"
#include "cleaning/ProcedureId.h"
#include "settings/Settings.h"

namespace varnow {
namespace {

const QSize kClientSize(437, 215);
constexpr int kColumnWidth = 200;

QTableWidgetItem* Cell(const std::string& text) {
  auto* item = new QTableWidgetItem(QString::fromStdString(text));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

BannerListEditor::BannerListEditor(std::filesystem::path settingsFile, UserMessages messages,
                                   QWidget* parent)
    : QDialog(parent), settings_(std::move(settingsFile)), messages_(std::move(messages)) {
  setObjectName(QStringLiteral("bannerListEditor"));
  setWindowTitle(tr("Правка баннеров"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  BuildControls();
  // Its list scrolls: on a small screen the editor is as large as the screen holds.
  setFixedSize(FittedToScreen(parent, sizeHint().expandedTo(kClientSize)));
  FillList();
}

void BannerListEditor::BuildControls() {
  bannerList_ = new QTableWidget(kBannerSlots, 2, this);
  bannerList_->setObjectName(QStringLiteral("bannerList"));
  bannerList_->setHorizontalHeaderLabels({tr("Начало"), tr("Конец")});
  bannerList_->verticalHeader()->hide();
  bannerList_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  bannerList_->verticalHeader()->setDefaultSectionSize(bannerList_->fontMetrics().height() + 6);
  bannerList_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  bannerList_->horizontalHeader()->setStretchLastSection(false);
  bannerList_->horizontalHeader()->setSectionsClickable(false);
  bannerList_->setColumnWidth(0, kColumnWidth);
  bannerList_->setColumnWidth(1, kColumnWidth);
  bannerList_->setShowGrid(true);
  bannerList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  bannerList_->setSelectionMode(QAbstractItemView::SingleSelection);
  bannerList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  bannerList_->setWordWrap(false);
  // A row is loaded whenever the selection changes, by a click, the arrow keys or a Ctrl+click
  // that takes it away; a click on the row already selected, and Enter, load it again (from
  // the file, where a pair may have been written meanwhile).
  connect(bannerList_, &QTableWidget::clicked, this, &BannerListEditor::LoadSelectedSlot);
  connect(bannerList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &BannerListEditor::LoadSelectedSlot);
  connect(bannerList_, &QTableWidget::activated, this, &BannerListEditor::LoadSelectedSlot);
  // Tab leaves the list for the boxes instead of walking its cells.
  bannerList_->setTabKeyNavigation(false);

  firstMarkerField_ = new QLineEdit(this);
  firstMarkerField_->setObjectName(QStringLiteral("firstMarkerField"));
  firstMarkerField_->setFixedWidth(kColumnWidth + 1);
  lastMarkerField_ = new QLineEdit(this);
  lastMarkerField_->setObjectName(QStringLiteral("lastMarkerField"));
  lastMarkerField_->setFixedWidth(kColumnWidth - 1);

  auto* storeButton = new QPushButton(QStringLiteral("+"), this);
  storeButton->setObjectName(QStringLiteral("storeButton"));
  storeButton->setToolTip(
      tr("Записать пару в выбранную строку (если строка не выбрана — в первую пустую)"));
  QFont bold = storeButton->font();
  bold.setBold(true);
  bold.setPixelSize(24);
  storeButton->setFont(bold);
  storeButton->setFixedSize(26, 26);
  storeButton->setAutoDefault(false);
  connect(storeButton, &QPushButton::clicked, this, &BannerListEditor::StoreMarkersInSelectedSlot);

  auto* closeButton = new QPushButton(tr("&Закрыть"), this);
  closeButton->setObjectName(QStringLiteral("closeButton"));
  closeButton->setAutoDefault(false);
  connect(closeButton, &QPushButton::clicked, this, &BannerListEditor::CloseEditor);

  // The two boxes sit under the two columns, so that a pair is typed where it will show.
  auto* boxes = new QHBoxLayout;
  boxes->setSpacing(1);
  boxes->addWidget(firstMarkerField_);
  boxes->addWidget(lastMarkerField_);
  boxes->addWidget(storeButton);
  boxes->addStretch();
  auto* close = new QHBoxLayout;
  close->addStretch();
  close->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(2);
  layout->addWidget(bannerList_, 1);
  layout->addLayout(boxes);
  layout->addLayout(close);

  // The keyboard's way through: list, the opening marker, the closing one, "+", "Закрыть".
  // Alt with the first letter of a column's title goes to its box, Alt+= stores the pair.
  setTabOrder(bannerList_, firstMarkerField_);
  setTabOrder(firstMarkerField_, lastMarkerField_);
  setTabOrder(lastMarkerField_, storeButton);
  setTabOrder(storeButton, closeButton);
  firstMarkerField_->setAccessibleName(tr("Начало"));
  lastMarkerField_->setAccessibleName(tr("Конец"));
  firstMarkerField_->setToolTip(tr("Метка начала блока (Alt+Н)"));
  lastMarkerField_->setToolTip(tr("Метка конца блока (Alt+К)"));
  const auto focusOn = [this](const QString& keys, QWidget* target) {
    auto* shortcut = new QShortcut(QKeySequence(keys), this);
    connect(shortcut, &QShortcut::activated, target, [target] { target->setFocus(); });
  };
  focusOn(tr("Alt+Н"), firstMarkerField_);
  focusOn(tr("Alt+К"), lastMarkerField_);
  storeButton->setShortcut(QKeySequence(QStringLiteral("Alt+=")));
}

void BannerListEditor::FillList() {
  const IniSnapshot file(settings_.Path());
  for (int slot = 0; slot < kBannerSlots; ++slot) {
    BannerPair pair;
    try {
      pair = ReadBanner(file, slot);
    } catch (const std::exception& e) {
      messages_.error(parentWidget(), ShownMessage(e));
      break;
    }
    bannerList_->setItem(slot, 0, Cell(pair.first));
    bannerList_->setItem(slot, 1, Cell(pair.last));
  }
  for (int slot = 0; slot < kBannerSlots; ++slot) {
    for (int column = 0; column < 2; ++column) {
      if (bannerList_->item(slot, column) == nullptr) {
        bannerList_->setItem(slot, column, Cell({}));
      }
    }
  }
  bannerList_->clearSelection();
  bannerList_->setCurrentItem(nullptr);
}

int BannerListEditor::SelectedSlot() const {
  const QModelIndexList rows = bannerList_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void BannerListEditor::LoadSelectedSlot() {
  const int slot = SelectedSlot();
  if (slot < 0) {
    // No slot is selected: there is nothing to load.
    firstMarkerField_->clear();
    lastMarkerField_->clear();
    return;
  }
  try {
    // From the file, not from the row: a pair written there meanwhile is what is loaded.
    const BannerPair pair = ReadBanner(IniSnapshot(settings_.Path()), slot);
    firstMarkerField_->setText(QString::fromStdString(pair.first));
    lastMarkerField_->setText(QString::fromStdString(pair.last));
  } catch (const std::exception& e) {
    messages_.error(this, ShownMessage(e));
  }
}

void BannerListEditor::StoreMarkersInSelectedSlot() {
  int slot = SelectedSlot();
  if (slot < 0) {
    // Nothing selected: the pair typed goes to the first empty slot, never lost to a click.
    for (int row = 0; row < kBannerSlots && slot < 0; ++row) {
      if (bannerList_->item(row, 0)->text().isEmpty() &&
          bannerList_->item(row, 1)->text().isEmpty()) {
        slot = row;
      }
    }
    if (slot < 0) {
      messages_.hint(this, tr("Все строки заняты: выберите в списке строку, в которую "
                              "записать пару. Набранное остается в полях."));
      return;
    }
  }
  const BannerPair pair{firstMarkerField_->text().toStdString(),
                        lastMarkerField_->text().toStdString()};
  // A pair in the slot is never replaced (nor cleared, by two empty boxes) without asking.
  const QString oldFirst = bannerList_->item(slot, 0)->text();
  const QString oldLast = bannerList_->item(slot, 1)->text();
  const bool taken = !oldFirst.isEmpty() || !oldLast.isEmpty();
  const bool same = oldFirst == firstMarkerField_->text() && oldLast == lastMarkerField_->text();
  if (taken && !same) {
    const QString question = pair.first.empty() && pair.last.empty()
                                 ? tr("Строка %1 хранит пару «%2» … «%3». Очистить ее?")
                                 : tr("Строка %1 хранит пару «%2» … «%3». Заменить ее набранной?");
    if (!messages_.ask(this, question.arg(slot + 1).arg(oldFirst, oldLast),
                       pair.first.empty() && pair.last.empty() ? tr("Очистить") : tr("Заменить"))) {
      return;  // what was typed stays in the boxes
    }
  }
  try {
    WriteBanner(settings_, slot, pair);
  } catch (const std::exception& e) {
    messages_.error(this, ShownMessage(e));
    return;
  }
  bannerList_->item(slot, 0)->setText(firstMarkerField_->text());
  bannerList_->item(slot, 1)->setText(lastMarkerField_->text());
  // On to the next empty slot, so that the next pair typed cannot land on this one; the boxes
  // empty with it (it holds nothing). With none left, nothing stays selected.
  int next = -1;
  for (int k = 1; k < kBannerSlots && next < 0 && !(pair.first.empty() && pair.last.empty()); ++k) {
    const int row = (slot + k) % kBannerSlots;
    if (bannerList_->item(row, 0)->text().isEmpty() &&
        bannerList_->item(row, 1)->text().isEmpty()) {
      next = row;
    }
  }
  if (next >= 0) {
    bannerList_->selectRow(next);
    bannerList_->scrollToItem(bannerList_->item(next, 0));
  } else {
    bannerList_->clearSelection();
  }
  firstMarkerField_->setFocus();
}

void BannerListEditor::CloseEditor() {
  accept();
}

}  // namespace varnow
