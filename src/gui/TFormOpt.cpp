#include "TFormOpt.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <vector>
#include <system_error>

#include "Icons.h"
#include "SwitchBoxes.h"
#include "TFormBan.h"
#include "settings/Settings.h"

namespace varnow {
namespace {

const QSize kClientSize(408, 266);

// No button is the dialog's default: Enter acts on the focused control only (see eventFilter),
// so Enter in the folder box closes nothing.
QPushButton* PlainButton(const QString& caption, const char* name, QObject* filter,
                         QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  button->setDefault(false);
  button->installEventFilter(filter);
  return button;
}

}  // namespace

TFormOpt::TFormOpt(std::filesystem::path settingsFile, UserMessages messages, QWidget* parent)
    : QDialog(parent),
      settings_(std::move(settingsFile)),
      messages_(std::move(messages)),
      pickFolder_(PickFolderWithDialog) {
  setObjectName(QStringLiteral("FormOpt"));
  setWindowTitle(QStringLiteral("Настройки"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  BuildControls();
  setFixedSize(sizeHint().expandedTo(kClientSize));
  FormCreate();
}

TFormOpt::~TFormOpt() {
  FormDestroy();
}

void TFormOpt::BuildControls() {
  auto* button1 = PlainButton(QStringLiteral("ОК"), "Button1", this, this);
  auto* button2 = PlainButton(QStringLiteral("Отмена"), "Button2", this, this);
  connect(button1, &QPushButton::clicked, this, &TFormOpt::Button1Click);
  connect(button2, &QPushButton::clicked, this, &TFormOpt::Button2Click);

  auto* paths = new QGroupBox(QStringLiteral("Пути"), this);
  paths->setObjectName(QStringLiteral("GroupBox1"));
  auto* label1 = new QLabel(QStringLiteral("Каталог сохраненных файлов"), paths);
  label1->setObjectName(QStringLiteral("Label1"));
  storeDirField_ = new QLineEdit(paths);
  storeDirField_->setObjectName(QStringLiteral("Edit1"));
  label1->setBuddy(storeDirField_);
  auto* bitBtn1 = PlainButton(QString(), "BitBtn1", this, paths);
  bitBtn1->setIcon(RoleIcon(IconRole::kChooseFolder, style()));
  bitBtn1->setToolTip(QStringLiteral("Выбрать папку"));
  connect(bitBtn1, &QPushButton::clicked, this, &TFormOpt::BitBtn1Click);
  auto* folderRow = new QHBoxLayout;
  folderRow->setSpacing(0);
  folderRow->addWidget(storeDirField_);
  folderRow->addWidget(bitBtn1);
  auto* pathsLayout = new QVBoxLayout(paths);
  pathsLayout->addWidget(label1);
  pathsLayout->addLayout(folderRow);

  auto* remove = new QGroupBox(QStringLiteral("Удалить"), this);
  remove->setObjectName(QStringLiteral("GroupBox2"));
  auto* format = new QGroupBox(QStringLiteral("Формат документа"), remove);
  format->setObjectName(QStringLiteral("GroupBox4"));
  auto* scripts = new QGroupBox(QStringLiteral("Скрипты"), remove);
  scripts->setObjectName(QStringLiteral("GroupBox3"));

  for (const SwitchBox& info : kSwitchBoxes) {
    auto* box = new QCheckBox(
        QString::fromUtf8(info.caption.data(), static_cast<qsizetype>(info.caption.size())));
    box->setObjectName(
        QString::fromLatin1(info.name.data(), static_cast<qsizetype>(info.name.size())));
    checkBoxes_[Index(info.id)] = box;
  }
  const auto box = [this](Switch s) { return checkBoxes_[Index(s)]; };

  auto* formatLayout = new QVBoxLayout(format);
  for (Switch s : {Switch::kMSWord, Switch::kStyle, Switch::kSpan, Switch::kTable, Switch::kBody,
                   Switch::kFont}) {
    formatLayout->addWidget(box(s));
  }
  formatLayout->addStretch();

  auto* scriptsLayout = new QVBoxLayout(scripts);
  for (Switch s : {Switch::kScript, Switch::kNoscript, Switch::kIframe, Switch::kOnMouseOver,
                   Switch::kBlank}) {
    scriptsLayout->addWidget(box(s));
  }
  auto* button3 = PlainButton(QStringLiteral("..."), "Button3", this, scripts);
  button3->setToolTip(QStringLiteral("Правка баннеров"));
  button3->setFixedWidth(button3->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
  connect(button3, &QPushButton::clicked, this, &TFormOpt::Button3Click);
  auto* bannerRow = new QHBoxLayout;
  bannerRow->addWidget(box(Switch::kBanner));
  bannerRow->addWidget(button3);
  bannerRow->addStretch();
  scriptsLayout->addLayout(bannerRow);
  scriptsLayout->addStretch();

  auto* removeLayout = new QHBoxLayout(remove);
  removeLayout->addWidget(format, 1);
  removeLayout->addWidget(scripts, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(button2);
  buttons->addWidget(button1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(paths);
  layout->addWidget(remove);
  layout->addStretch();
  layout->addLayout(buttons);

  // Tab follows what the eye reads: the folder and its button, the left group top down, the
  // right group top down with "..." after its check box, then the buttons left to right.
  std::vector<QWidget*> chain = {storeDirField_, bitBtn1};
  for (Switch s : {Switch::kMSWord, Switch::kStyle, Switch::kSpan, Switch::kTable, Switch::kBody,
                   Switch::kFont, Switch::kScript, Switch::kNoscript, Switch::kIframe,
                   Switch::kOnMouseOver, Switch::kBlank, Switch::kBanner}) {
    chain.push_back(box(s));
  }
  chain.insert(chain.end(), {button3, button2, button1});
  for (std::size_t i = 1; i < chain.size(); ++i) {
    setTabOrder(chain[i - 1], chain[i]);
  }
}

void TFormOpt::showEvent(QShowEvent* event) {
  // Centred over the main window every time it is shown, the same way: left to the window
  // system, a dialog shown again may come back shifted by its frame.
  if (const QWidget* owner = parentWidget()) {
    const QRect over = owner->frameGeometry();
    move(over.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  QDialog::showEvent(event);
}

bool TFormOpt::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button != nullptr && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      button->click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFormOpt::keyPressEvent(QKeyEvent* event) {
  // Neither button is the dialog's cancel button: Esc closes nothing.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool TFormOpt::SwitchOn(Switch which) const {
  return checkBoxes_[Index(which)]->isChecked();
}

QWidget* TFormOpt::BoxParent() {
  // While hidden (at program start and end) a box belongs over the main window.
  return isVisible() || parentWidget() == nullptr ? this : parentWidget();
}

void TFormOpt::FormCreate() {
  std::error_code error;
  if (!std::filesystem::exists(settings_.Path(), error)) {
    // First start: nothing to read and nothing to complain about. Every switch stays off,
    // the folder is empty, and OK or the program's end writes the file.
    return;
  }
  try {
    const MainSection main = ReadMainSection(settings_);
    storeDir_ = QString::fromStdString(main.storePatch);
    for (const SwitchInfo& info : kSwitches) {
      checkBoxes_[Index(info.id)]->setChecked(main.switches[Index(info.id)]);
    }
    // The folder box shows the folder even when a switch failed to read, so that what the
    // dialog shows is what the next run uses and what OK stores.
    storeDirField_->setText(storeDir_);
    if (main.error) {
      messages_.error(BoxParent(), QString::fromStdString(*main.error));
    }
  } catch (const std::exception& e) {
    messages_.error(BoxParent(), QString::fromUtf8(e.what()));
  }
}

void TFormOpt::FormDestroy() {
  WriteMain();
}

bool TFormOpt::WriteMain() {
  storeDir_ = storeDirField_->text();
  std::array<bool, kSwitchCount> switches{};
  for (const SwitchInfo& info : kSwitches) {
    switches[Index(info.id)] = SwitchOn(info.id);
  }
  try {
    WriteMainSection(settings_, storeDir_.toStdString(), switches);
    return true;
  } catch (const std::exception& e) {
    messages_.error(BoxParent(), QString::fromUtf8(e.what()));
    return false;
  }
}

void TFormOpt::Button1Click() {
  if (WriteMain()) {
    accept();
  }
}

void TFormOpt::Button2Click() {
  // Undoes typing and picking in the folder box only; the check boxes stay as they are.
  storeDirField_->setText(storeDir_);
  reject();
}

void TFormOpt::Button3Click() {
  if (formBan_ != nullptr) {
    formBan_->exec();
  }
}

void TFormOpt::BitBtn1Click() {
  const std::optional<QString> chosen =
      pickFolder_(this, QStringLiteral("Папка для сохранения обработанных файлов"), lastPick_);
  if (chosen) {
    lastPick_ = *chosen;
    storeDirField_->setText(*chosen);
  }
}

}  // namespace varnow
