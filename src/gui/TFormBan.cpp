#include "TFormBan.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <exception>

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

TFormBan::TFormBan(std::filesystem::path settingsFile, UserMessages messages, QWidget* parent)
    : QDialog(parent), settings_(std::move(settingsFile)), messages_(std::move(messages)) {
  setObjectName(QStringLiteral("FormBan"));
  setWindowTitle(QStringLiteral("Правка баннеров"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  BuildControls();
  setFixedSize(sizeHint().expandedTo(kClientSize));
  FormCreate();
}

void TFormBan::BuildControls() {
  listView1_ = new QTableWidget(kBannerSlots, 2, this);
  listView1_->setObjectName(QStringLiteral("ListView1"));
  listView1_->setHorizontalHeaderLabels({QStringLiteral("Начало"), QStringLiteral("Конец")});
  listView1_->verticalHeader()->hide();
  listView1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  listView1_->verticalHeader()->setDefaultSectionSize(listView1_->fontMetrics().height() + 6);
  listView1_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  listView1_->horizontalHeader()->setStretchLastSection(false);
  listView1_->horizontalHeader()->setSectionsClickable(false);
  listView1_->setColumnWidth(0, kColumnWidth);
  listView1_->setColumnWidth(1, kColumnWidth);
  listView1_->setShowGrid(true);
  listView1_->setSelectionBehavior(QAbstractItemView::SelectRows);
  listView1_->setSelectionMode(QAbstractItemView::SingleSelection);
  listView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  listView1_->setWordWrap(false);
  listView1_->viewport()->installEventFilter(this);

  edit1_ = new QLineEdit(this);
  edit1_->setObjectName(QStringLiteral("Edit1"));
  edit1_->setFixedWidth(kColumnWidth + 1);
  edit2_ = new QLineEdit(this);
  edit2_->setObjectName(QStringLiteral("Edit2"));
  edit2_->setFixedWidth(kColumnWidth - 1);

  auto* bitBtn1 = new QPushButton(QStringLiteral("+"), this);
  bitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  bitBtn1->setToolTip(QStringLiteral("Записать пару в выбранную строку"));
  QFont bold = bitBtn1->font();
  bold.setBold(true);
  bold.setPixelSize(24);
  bitBtn1->setFont(bold);
  bitBtn1->setFixedSize(26, 26);
  bitBtn1->setAutoDefault(false);
  connect(bitBtn1, &QPushButton::clicked, this, &TFormBan::BitBtn1Click);

  auto* button1 = new QPushButton(QStringLiteral("Закрыть"), this);
  button1->setObjectName(QStringLiteral("Button1"));
  button1->setAutoDefault(false);
  connect(button1, &QPushButton::clicked, this, &TFormBan::Button1Click);

  // The two boxes sit under the two columns, so that a pair is typed where it will show.
  auto* boxes = new QHBoxLayout;
  boxes->setSpacing(1);
  boxes->addWidget(edit1_);
  boxes->addWidget(edit2_);
  boxes->addWidget(bitBtn1);
  boxes->addStretch();
  auto* close = new QHBoxLayout;
  close->addStretch();
  close->addWidget(button1);
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(2);
  layout->addWidget(listView1_, 1);
  layout->addLayout(boxes);
  layout->addLayout(close);
}

void TFormBan::FormCreate() {
  for (int slot = 0; slot < kBannerSlots; ++slot) {
    BannerPair pair;
    try {
      pair = ReadBanner(settings_, slot);
    } catch (const std::exception& e) {
      messages_.error(parentWidget(), QString::fromUtf8(e.what()));
      break;
    }
    listView1_->setItem(slot, 0, Cell(pair.first));
    listView1_->setItem(slot, 1, Cell(pair.last));
  }
  for (int slot = 0; slot < kBannerSlots; ++slot) {
    for (int column = 0; column < 2; ++column) {
      if (listView1_->item(slot, column) == nullptr) {
        listView1_->setItem(slot, column, Cell({}));
      }
    }
  }
  listView1_->clearSelection();
  listView1_->setCurrentItem(nullptr);
}

bool TFormBan::eventFilter(QObject* watched, QEvent* event) {
  if (watched == listView1_->viewport() && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    // After the view has handled the release: a Ctrl+click that takes the selection away
    // must find it gone.
    QMetaObject::invokeMethod(this, &TFormBan::ListView1Click, Qt::QueuedConnection);
  }
  return QDialog::eventFilter(watched, event);
}

int TFormBan::SelectedSlot() const {
  const QModelIndexList rows = listView1_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void TFormBan::ListView1Click() {
  const int slot = SelectedSlot();
  if (slot < 0) {
    // No slot is selected: there is nothing to load.
    edit1_->clear();
    edit2_->clear();
    return;
  }
  try {
    // From the file, not from the row: a pair written there meanwhile is what is loaded.
    const BannerPair pair = ReadBanner(settings_, slot);
    edit1_->setText(QString::fromStdString(pair.first));
    edit2_->setText(QString::fromStdString(pair.last));
  } catch (const std::exception& e) {
    messages_.error(this, QString::fromUtf8(e.what()));
  }
}

void TFormBan::BitBtn1Click() {
  const int slot = SelectedSlot();
  if (slot < 0) {
    messages_.hint(this, QStringLiteral("Выберите в списке строку, в которую записать пару."));
    return;
  }
  const BannerPair pair{edit1_->text().toStdString(), edit2_->text().toStdString()};
  try {
    WriteBanner(settings_, slot, pair);
  } catch (const std::exception& e) {
    messages_.error(this, QString::fromUtf8(e.what()));
    return;
  }
  listView1_->item(slot, 0)->setText(edit1_->text());
  listView1_->item(slot, 1)->setText(edit2_->text());
}

void TFormBan::Button1Click() {
  accept();
}

}  // namespace varnow
