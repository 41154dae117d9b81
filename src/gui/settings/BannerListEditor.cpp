// SPDX-License-Identifier: MIT
#include "BannerListEditor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <exception>

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
  setWindowTitle(QStringLiteral("Правка баннеров"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  BuildControls();
  setFixedSize(sizeHint().expandedTo(kClientSize));
  FillList();
}

void BannerListEditor::BuildControls() {
  bannerList_ = new QTableWidget(kBannerSlots, 2, this);
  bannerList_->setObjectName(QStringLiteral("bannerList"));
  bannerList_->setHorizontalHeaderLabels({QStringLiteral("Начало"), QStringLiteral("Конец")});
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
  // Every click on a row loads it, also one that takes the selection away (Ctrl+click): the
  // view reports the click after it has changed the selection.
  connect(bannerList_, &QTableWidget::clicked, this, &BannerListEditor::LoadSelectedSlot);
  connect(bannerList_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (SelectedSlot() < 0) {
      LoadSelectedSlot();
    }
  });

  firstMarkerField_ = new QLineEdit(this);
  firstMarkerField_->setObjectName(QStringLiteral("firstMarkerField"));
  firstMarkerField_->setFixedWidth(kColumnWidth + 1);
  lastMarkerField_ = new QLineEdit(this);
  lastMarkerField_->setObjectName(QStringLiteral("lastMarkerField"));
  lastMarkerField_->setFixedWidth(kColumnWidth - 1);

  auto* storeButton = new QPushButton(QStringLiteral("+"), this);
  storeButton->setObjectName(QStringLiteral("storeButton"));
  storeButton->setToolTip(QStringLiteral(
      "Записать пару в выбранную строку (если строка не выбрана — в первую пустую)"));
  QFont bold = storeButton->font();
  bold.setBold(true);
  bold.setPixelSize(24);
  storeButton->setFont(bold);
  storeButton->setFixedSize(26, 26);
  storeButton->setAutoDefault(false);
  connect(storeButton, &QPushButton::clicked, this, &BannerListEditor::StoreMarkersInSelectedSlot);

  auto* closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
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
}

void BannerListEditor::FillList() {
  for (int slot = 0; slot < kBannerSlots; ++slot) {
    BannerPair pair;
    try {
      pair = ReadBanner(settings_, slot);
    } catch (const std::exception& e) {
      messages_.error(parentWidget(), QString::fromUtf8(e.what()));
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
    const BannerPair pair = ReadBanner(settings_, slot);
    firstMarkerField_->setText(QString::fromStdString(pair.first));
    lastMarkerField_->setText(QString::fromStdString(pair.last));
  } catch (const std::exception& e) {
    messages_.error(this, QString::fromUtf8(e.what()));
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
      messages_.hint(this, QStringLiteral("Все строки заняты: выберите в списке строку, в которую "
                                          "записать пару. Набранное остается в полях."));
      return;
    }
    // Selected without loading it: what was typed stays in the boxes.
    const QSignalBlocker quiet(bannerList_);
    bannerList_->selectRow(slot);
  }
  const BannerPair pair{firstMarkerField_->text().toStdString(),
                        lastMarkerField_->text().toStdString()};
  try {
    WriteBanner(settings_, slot, pair);
  } catch (const std::exception& e) {
    messages_.error(this, QString::fromUtf8(e.what()));
    return;
  }
  bannerList_->item(slot, 0)->setText(firstMarkerField_->text());
  bannerList_->item(slot, 1)->setText(lastMarkerField_->text());
}

void BannerListEditor::CloseEditor() {
  accept();
}

}  // namespace varnow
