// SPDX-License-Identifier: MIT
#include "SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>
#include <vector>

#include "BannerListEditor.h"
#include "Icons.h"
#include "PlainText.h"
#include "cleaning/ProcedureTable.h"
#include "settings/Settings.h"
#include "settings/SettingsCheck.h"

namespace varnow {
namespace {

const QSize kClientSize(408, 266);

qsizetype Size(std::string_view text) {
  return static_cast<qsizetype>(text.size());
}

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), Size(text));
}

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

SettingsDialog::SettingsDialog(std::filesystem::path settingsFile, UserMessages messages,
                               QWidget* parent)
    : QDialog(parent),
      settings_(std::move(settingsFile)),
      messages_(std::move(messages)),
      pickFolder_(PickFolderWithDialog) {
  setObjectName(QStringLiteral("settingsDialog"));
  setWindowTitle(QStringLiteral("Настройки"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  BuildControls();
  setFixedSize(sizeHint().expandedTo(kClientSize));
  ReadSettings();
}

SettingsDialog::~SettingsDialog() {
  WriteSettingsAtEnd();
}

void SettingsDialog::BuildControls() {
  auto* okButton = PlainButton(QStringLiteral("ОК"), "okButton", this, this);
  auto* cancelButton = PlainButton(QStringLiteral("Отмена"), "cancelButton", this, this);
  connect(okButton, &QPushButton::clicked, this, &SettingsDialog::AcceptSettings);
  connect(cancelButton, &QPushButton::clicked, this, &SettingsDialog::DiscardChanges);

  auto* paths = new QGroupBox(QStringLiteral("Пути"), this);
  paths->setObjectName(QStringLiteral("pathsGroup"));
  auto* outputFolderLabel = new QLabel(QStringLiteral("Каталог сохраненных файлов"), paths);
  outputFolderLabel->setObjectName(QStringLiteral("outputFolderLabel"));
  outputFolderField_ = new QLineEdit(paths);
  outputFolderField_->setObjectName(QStringLiteral("outputFolderField"));
  outputFolderLabel->setBuddy(outputFolderField_);
  auto* chooseFolderButton = PlainButton(QString(), "chooseOutputFolderButton", this, paths);
  chooseFolderButton->setIcon(RoleIcon(IconRole::kChooseFolder, style()));
  chooseFolderButton->setToolTip(QStringLiteral("Выбрать папку"));
  connect(chooseFolderButton, &QPushButton::clicked, this, &SettingsDialog::ChooseOutputFolder);
  auto* folderRow = new QHBoxLayout;
  folderRow->setSpacing(0);
  folderRow->addWidget(outputFolderField_);
  folderRow->addWidget(chooseFolderButton);
  auto* encodingLabel = new QLabel(QStringLiteral("Кодировка log.txt"), paths);
  logEncodingBox_ = new QComboBox(paths);
  logEncodingBox_->setObjectName(QStringLiteral("logEncodingBox"));
  logEncodingBox_->addItem(QStringLiteral("windows-1251"),
                           QString::fromLatin1(LogEncodingName(LogEncoding::kCp1251).data()));
  logEncodingBox_->addItem(QStringLiteral("UTF-8"),
                           QString::fromLatin1(LogEncodingName(LogEncoding::kUtf8).data()));
  logEncodingBox_->setToolTip(PlainToolTip(
      QStringLiteral("windows-1251: символ, которого в ней нет, записывается как &#NNN;")));
  encodingLabel->setBuddy(logEncodingBox_);
  auto* encodingRow = new QHBoxLayout;
  encodingRow->addWidget(encodingLabel);
  encodingRow->addWidget(logEncodingBox_, 1);
  auto* pathsLayout = new QVBoxLayout(paths);
  pathsLayout->addWidget(outputFolderLabel);
  pathsLayout->addLayout(folderRow);
  pathsLayout->addLayout(encodingRow);

  auto* remove = new QGroupBox(QStringLiteral("Удалить"), this);
  remove->setObjectName(QStringLiteral("removeGroup"));
  auto* format = new QGroupBox(QStringLiteral("Формат документа"), remove);
  format->setObjectName(QStringLiteral("formatGroup"));
  auto* scripts = new QGroupBox(QStringLiteral("Скрипты"), remove);
  scripts->setObjectName(QStringLiteral("scriptsGroup"));

  // Each group's boxes from the top, as the procedures' rows place them.
  std::array<const ProcedureRow*, kProcedureCount> placed{};
  for (const ProcedureRow& row : kProcedures) {
    placed[Index(row.id)] = &row;
  }
  std::sort(placed.begin(), placed.end(), [](const ProcedureRow* a, const ProcedureRow* b) {
    return std::pair(a->group, a->placeInGroup) < std::pair(b->group, b->placeInGroup);
  });
  auto* formatLayout = new QVBoxLayout(format);
  auto* scriptsLayout = new QVBoxLayout(scripts);
  QCheckBox* bannerBox = nullptr;
  for (const ProcedureRow* row : placed) {
    auto* box = new QCheckBox(Utf8(row->caption));
    box->setObjectName(QString::fromLatin1(row->boxName.data(), Size(row->boxName)));
    box->setToolTip(PlainToolTip(Utf8(row->toolTip)));
    checkBoxes_[Index(row->id)] = box;
    connect(box, &QCheckBox::toggled, this, &SettingsDialog::changed);
    if (row->id == ProcedureId::kBanner) {
      bannerBox = box;  // in a row of its own, with the button of its list
    } else {
      (row->group == SettingsGroup::kDocumentFormat ? formatLayout : scriptsLayout)->addWidget(box);
    }
  }
  formatLayout->addStretch();

  auto* bannersButton = PlainButton(QStringLiteral("..."), "bannersButton", this, scripts);
  bannersButton->setToolTip(QStringLiteral("Правка баннеров"));
  bannersButton->setFixedWidth(
      bannersButton->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
  connect(bannersButton, &QPushButton::clicked, this, &SettingsDialog::OpenBannerEditor);
  auto* bannerRow = new QHBoxLayout;
  bannerRow->addWidget(bannerBox);
  bannerRow->addWidget(bannersButton);
  bannerRow->addStretch();
  scriptsLayout->addLayout(bannerRow);
  scriptsLayout->addStretch();

  auto* removeLayout = new QHBoxLayout(remove);
  removeLayout->addWidget(format, 1);
  removeLayout->addWidget(scripts, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancelButton);
  buttons->addWidget(okButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(paths);
  layout->addWidget(remove);
  layout->addStretch();
  layout->addLayout(buttons);

  // Tab follows what the eye reads: the folder and its button, the log's encoding, the left
  // group top down, the right group top down with "..." after its check box, then the buttons
  // left to right.
  std::vector<QWidget*> chain = {outputFolderField_, chooseFolderButton, logEncodingBox_};
  for (const ProcedureRow* row : placed) {
    chain.push_back(checkBoxes_[Index(row->id)]);
  }
  chain.insert(chain.end(), {bannersButton, cancelButton, okButton});
  for (std::size_t i = 1; i < chain.size(); ++i) {
    setTabOrder(chain[i - 1], chain[i]);
  }
}

void SettingsDialog::showEvent(QShowEvent* event) {
  // Centred over the main window every time it is shown, the same way: left to the window
  // system, a dialog shown again may come back shifted by its frame.
  if (const QWidget* owner = parentWidget()) {
    const QRect over = owner->frameGeometry();
    move(over.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  QDialog::showEvent(event);
  // Typing goes to the output folder at once; Return no longer closes the dialog unasked.
  outputFolderField_->setFocus(Qt::ActiveWindowFocusReason);
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* event) {
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

void SettingsDialog::keyPressEvent(QKeyEvent* event) {
  // Neither button is the dialog's cancel button: Esc closes nothing.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool SettingsDialog::SwitchOn(ProcedureId which) const {
  return checkBoxes_[Index(which)]->isChecked();
}

QWidget* SettingsDialog::BoxParent() {
  // While hidden (at program start and end) a box belongs over the main window.
  return isVisible() || parentWidget() == nullptr ? this : parentWidget();
}

void SettingsDialog::ReadSettings() {
  std::error_code error;
  if (!std::filesystem::exists(settings_.Path(), error)) {
    // First start: nothing to read and nothing to complain about. Every switch stays off,
    // the folder is empty, and OK or the program's end writes the file. A file that cannot
    // even be looked for, or a link that leads nowhere, is no first start: the user is told
    // why.
    if (error || std::filesystem::is_symlink(settings_.Path(), error)) {
      const std::optional<std::string> problem = CheckSettingsFile(settings_.Path(), false);
      messages_.error(BoxParent(), QString::fromStdString(problem.value_or(error.message())));
    }
    return;
  }
  try {
    const MainSection main = ReadMainSection(settings_);
    outputFolder_ = QString::fromStdString(main.outputFolder);
    for (const ProcedureRow& info : kProcedures) {
      checkBoxes_[Index(info.id)]->setChecked(main.switches[Index(info.id)]);
    }
    // The folder box shows the folder even when a switch failed to read, so that what the
    // dialog shows is what the next run uses and what OK stores.
    outputFolderField_->setText(outputFolder_);
    // What the file held, key by key, as this window read it: at the end only what differs
    // from it is written back.
    KeyValues keys = MainSectionValues({}, {});
    keys.emplace_back(std::string(kLogEncodingKey), std::string());
    known_ = StoredMainValues(settings_, keys);
    const StoredLogEncoding stored = ReadLogEncoding(settings_);
    logEncoding_ = stored.encoding;
    logEncodingStored_ = stored.stored;
    logEncodingBox_->setCurrentIndex(logEncoding_ == LogEncoding::kUtf8 ? 1 : 0);
    if (main.error) {
      messages_.error(BoxParent(), QString::fromStdString(*main.error));
    }
  } catch (const std::exception& e) {
    messages_.error(BoxParent(), QString::fromUtf8(e.what()));
  }
}

void SettingsDialog::WriteSettingsAtEnd() {
  WriteMain(true);
}

bool SettingsDialog::WriteMain(bool atEnd) {
  outputFolder_ = outputFolderField_->text();
  logEncoding_ = logEncodingBox_->currentIndex() == 1 ? LogEncoding::kUtf8 : LogEncoding::kCp1251;
  emit changed();
  std::array<bool, kProcedureCount> switches{};
  for (const ProcedureRow& info : kProcedures) {
    switches[Index(info.id)] = SwitchOn(info.id);
  }
  KeyValues now = MainSectionValues(outputFolder_.toStdString(), switches);
  // A file that never named the log's encoding keeps not naming it while it is the default.
  const bool withEncoding = logEncodingStored_ || logEncoding_ != LogEncoding::kCp1251;
  if (withEncoding) {
    now.emplace_back(std::string(kLogEncodingKey), std::string(LogEncodingName(logEncoding_)));
  }
  try {
    std::error_code ec;
    if (atEnd && std::filesystem::exists(settings_.Path(), ec)) {
      // Another window may have saved since this one read the file: only what this window
      // changed is written, so that it never undoes the other's change.
      WriteChangedMainKeys(settings_, now, known_);
    } else {
      for (const auto& [key, value] : now) {
        settings_.WriteString(kMainSection, key, value);
      }
    }
    logEncodingStored_ = withEncoding;
    known_ = {now.begin(), now.end()};
    return true;
  } catch (const std::exception& e) {
    messages_.error(BoxParent(), QString::fromUtf8(e.what()));
    return false;
  }
}

void SettingsDialog::AcceptSettings() {
  if (WriteMain()) {
    accept();
  }
}

void SettingsDialog::DiscardChanges() {
  // Undoes typing and picking in the folder box and the log's encoding; the check boxes stay
  // as they are.
  outputFolderField_->setText(outputFolder_);
  logEncodingBox_->setCurrentIndex(logEncoding_ == LogEncoding::kUtf8 ? 1 : 0);
  reject();
}

void SettingsDialog::OpenBannerEditor() {
  if (bannerEditor_ != nullptr) {
    bannerEditor_->exec();
  }
}

void SettingsDialog::ChooseOutputFolder() {
  const std::optional<QString> chosen =
      pickFolder_(this, QStringLiteral("Папка для сохранения обработанных файлов"), lastPick_);
  if (chosen) {
    lastPick_ = *chosen;
    outputFolderField_->setText(*chosen);
  }
}

}  // namespace varnow
