// SPDX-License-Identifier: MIT
#include "SettingsDialog.h"
#include "InterfaceLanguage.h"

#include <QScrollArea>

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
#include <utility>
#include <vector>

#include "BannerListEditor.h"
#include "Icons.h"
#include "PlainText.h"
#include "ScreenFit.h"
#include "cleaning/ProcedureTable.h"

namespace varnow {
namespace {

const QSize kClientSize(408, 266);

qsizetype Size(std::string_view text) {
  return static_cast<qsizetype>(text.size());
}

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), Size(text));
}

Language LanguageOfBox(const QComboBox* box) {
  return box->currentIndex() == 1 ? Language::kEnglish : Language::kRussian;
}

// The caption with its mnemonic marked (no caption holds an "&" of its own).
QString CaptionWithMnemonic(const ProcedureRow& row) {
  const Language language = InterfaceLanguage();
  const std::string_view caption = row.caption.In(language);
  const std::size_t at = caption.find(row.mnemonic.In(language));
  return Utf8(caption.substr(0, at)) + QLatin1Char('&') + Utf8(caption.substr(at));
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
      model_(std::move(settingsFile), false),
      messages_(std::move(messages)),
      pickFolder_(PickFolderWithDialog) {
  setObjectName(QStringLiteral("settingsDialog"));
  setWindowTitle(tr("Настройки"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  BuildControls();
  // The designed size, or as much of it as the screen holds (a small screen, a large scale
  // factor): the groups then scroll, and ОК and Отмена stay in view.
  ensurePolished();  // the controls' sizes in the style and fonts they are shown in
  setFixedSize(FittedToScreen(parent, WholeSize().expandedTo(kClientSize)));
  ReadSettings();
}

QSize SettingsDialog::WholeSize() const {
  // The scroll area's own hint is a small one: the dialog asks for room for all it holds.
  const auto* scroll = findChild<QScrollArea*>(QStringLiteral("settingsScroll"));
  const QSize inner = scroll->widget()->sizeHint();
  const QMargins margins = layout()->contentsMargins();
  const QSize hint = sizeHint();
  return {std::max(hint.width(), inner.width() + margins.left() + margins.right()),
          hint.height() - scroll->sizeHint().height() + inner.height()};
}

SettingsDialog::~SettingsDialog() {
  WriteSettingsAtEnd();
}

void SettingsDialog::BuildControls() {
  // Every control has its Alt letter, none twice in the dialog.
  auto* okButton = PlainButton(tr("О&К"), "okButton", this, this);
  auto* cancelButton = PlainButton(tr("Отм&ена"), "cancelButton", this, this);
  connect(okButton, &QPushButton::clicked, this, &SettingsDialog::AcceptSettings);
  connect(cancelButton, &QPushButton::clicked, this, &SettingsDialog::DiscardChanges);

  auto* paths = new QGroupBox(tr("Пути"), this);
  paths->setObjectName(QStringLiteral("pathsGroup"));
  auto* outputFolderLabel = new QLabel(tr("Ката&лог сохраненных файлов"), paths);
  outputFolderLabel->setObjectName(QStringLiteral("outputFolderLabel"));
  outputFolderField_ = new QLineEdit(paths);
  outputFolderField_->setObjectName(QStringLiteral("outputFolderField"));
  outputFolderLabel->setBuddy(outputFolderField_);
  auto* chooseFolderButton = PlainButton(QString(), "chooseOutputFolderButton", this, paths);
  chooseFolderButton->setIcon(RoleIcon(IconRole::kChooseFolder, style()));
  chooseFolderButton->setShortcut(QKeySequence(tr("Alt+В")));  // no text to mark
  chooseFolderButton->setToolTip(tr("Выбрать папку (Alt+В)"));
  connect(chooseFolderButton, &QPushButton::clicked, this, &SettingsDialog::ChooseOutputFolder);
  auto* folderRow = new QHBoxLayout;
  folderRow->setSpacing(0);
  folderRow->addWidget(outputFolderField_);
  folderRow->addWidget(chooseFolderButton);
  auto* encodingLabel = new QLabel(tr("Ко&дировка log.txt"), paths);
  logEncodingBox_ = new QComboBox(paths);
  logEncodingBox_->setObjectName(QStringLiteral("logEncodingBox"));
  logEncodingBox_->addItem(QStringLiteral("windows-1251"),
                           QString::fromLatin1(LogEncodingName(LogEncoding::kCp1251).data()));
  logEncodingBox_->addItem(QStringLiteral("UTF-8"),
                           QString::fromLatin1(LogEncodingName(LogEncoding::kUtf8).data()));
  logEncodingBox_->setToolTip(
      ReadableToolTip(tr("windows-1251: символ, которого в ней нет, записывается как &#NNN;")));
  encodingLabel->setBuddy(logEncodingBox_);
  auto* encodingRow = new QHBoxLayout;
  encodingRow->addWidget(encodingLabel);
  encodingRow->addWidget(logEncodingBox_, 1);
  // Each language by its own name, the same in either interface.
  const auto languageBox = [paths](const char* name) {
    auto* box = new QComboBox(paths);
    box->setObjectName(QString::fromLatin1(name));
    box->addItem(QStringLiteral("Русский"), QStringLiteral("ru"));
    box->addItem(QStringLiteral("English"), QStringLiteral("en"));
    return box;
  };
  auto* logLanguageLabel = new QLabel(tr("&Язык log.txt"), paths);
  logLanguageBox_ = languageBox("logLanguageBox");
  logLanguageBox_->setToolTip(ReadableToolTip(
      tr("Язык строк лога: в log.txt, в окне и в терминале. Русский — формат, который читают "
         "прежние логи и программы, разбирающие их.")));
  logLanguageLabel->setBuddy(logLanguageBox_);
  auto* languageLabel = new QLabel(tr("Язык &интерфейса"), paths);
  languageBox_ = languageBox("languageBox");
  languageBox_->setToolTip(
      ReadableToolTip(tr("Меню, окна и сообщения программы. Действует со следующего запуска.")));
  languageLabel->setBuddy(languageBox_);
  languageNote_ = new QLabel(tr("со следующего запуска"), paths);
  languageNote_->setObjectName(QStringLiteral("languageNote"));
  languageNote_->setVisible(false);
  connect(languageBox_, &QComboBox::currentIndexChanged, this, [this] {
    languageNote_->setVisible(LanguageOfBox(languageBox_) != InterfaceLanguage());
  });
  auto* languageRow = new QHBoxLayout;
  languageRow->addWidget(logLanguageLabel);
  languageRow->addWidget(logLanguageBox_, 1);
  languageRow->addWidget(languageLabel);
  languageRow->addWidget(languageBox_, 1);
  languageRow->addWidget(languageNote_);
  auto* pathsLayout = new QVBoxLayout(paths);
  pathsLayout->addWidget(outputFolderLabel);
  pathsLayout->addLayout(folderRow);
  pathsLayout->addLayout(encodingRow);
  pathsLayout->addLayout(languageRow);

  auto* remove = new QGroupBox(tr("Удалить"), this);
  remove->setObjectName(QStringLiteral("removeGroup"));
  auto* format = new QGroupBox(tr("Формат документа"), remove);
  format->setObjectName(QStringLiteral("formatGroup"));
  auto* scripts = new QGroupBox(tr("Скрипты"), remove);
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
    auto* box = new QCheckBox(CaptionWithMnemonic(*row));
    box->setObjectName(QString::fromLatin1(row->boxName.data(), Size(row->boxName)));
    box->setToolTip(ReadableToolTip(InInterfaceLanguage(row->toolTip)));
    checkBoxes_[Index(row->id)] = box;
    connect(box, &QCheckBox::toggled, this, &SettingsDialog::changed);
    if (row->id == ProcedureId::kBanner) {
      bannerBox = box;  // in a row of its own, with the button of its list
    } else {
      (row->group == SettingsGroup::kDocumentFormat ? formatLayout : scriptsLayout)->addWidget(box);
    }
  }
  formatLayout->addStretch();

  auto* bannersButton = PlainButton(QStringLiteral("&..."), "bannersButton", this, scripts);
  bannersButton->setToolTip(tr("Правка баннеров (Alt+.)"));
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

  // The groups scroll where the dialog cannot be as tall as they are; the buttons never do.
  auto* groups = new QWidget(this);
  auto* groupsLayout = new QVBoxLayout(groups);
  groupsLayout->setContentsMargins(0, 0, 0, 0);
  groupsLayout->addWidget(paths);
  groupsLayout->addWidget(remove);
  groupsLayout->addStretch();
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("settingsScroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setFocusPolicy(Qt::NoFocus);  // Tab goes through its controls, never to it
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  scroll->setWidget(groups);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(scroll, 1);
  layout->addLayout(buttons);

  // Tab follows what the eye reads: the folder and its button, the log's encoding, the left
  // group top down, the right group top down with "..." after its check box, then the buttons
  // left to right.
  std::vector<QWidget*> chain = {outputFolderField_, chooseFolderButton, logEncodingBox_,
                                 logLanguageBox_, languageBox_};
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
  const SettingsModel::Read read = model_.ForEditing();
  outputFolder_ = QString::fromStdString(read.settings.outputFolder);
  for (const ProcedureRow& info : kProcedures) {
    checkBoxes_[Index(info.id)]->setChecked(read.settings.switches[Index(info.id)]);
  }
  outputFolderField_->setText(outputFolder_);
  logEncoding_ = read.settings.logEncoding;
  maxPageSize_ = read.settings.maxPageSize;
  logEncodingBox_->setCurrentIndex(logEncoding_ == LogEncoding::kUtf8 ? 1 : 0);
  logLanguage_ = read.settings.logLanguage;
  chosenLanguage_ = read.settings.language;
  ShowLanguages();
  if (read.problem) {
    messages_.error(BoxParent(), QString::fromStdString(*read.problem));
  }
}

void SettingsDialog::ShowLanguages() {
  logLanguageBox_->setCurrentIndex(logLanguage_ == Language::kEnglish ? 1 : 0);
  languageBox_->setCurrentIndex(
      chosenLanguage_.value_or(InterfaceLanguage()) == Language::kEnglish ? 1 : 0);
}

void SettingsDialog::WriteSettingsAtEnd() {
  WriteMain(true);
}

bool SettingsDialog::WriteMain(bool atEnd) {
  outputFolder_ = outputFolderField_->text();
  logEncoding_ = logEncodingBox_->currentIndex() == 1 ? LogEncoding::kUtf8 : LogEncoding::kCp1251;
  logLanguage_ = LanguageOfBox(logLanguageBox_);
  // The interface's language is stored once the user picks one other than the one it speaks.
  if (chosenLanguage_ || LanguageOfBox(languageBox_) != InterfaceLanguage()) {
    chosenLanguage_ = LanguageOfBox(languageBox_);
  }
  emit changed();
  MainSettings settings;
  settings.outputFolder = outputFolder_.toStdString();
  settings.logEncoding = logEncoding_;
  settings.logLanguage = logLanguage_;
  settings.language = chosenLanguage_;
  settings.maxPageSize = maxPageSize_;
  for (const ProcedureRow& info : kProcedures) {
    settings.switches[Index(info.id)] = SwitchOn(info.id);
  }
  try {
    // At the end only what this window changed: another may have saved since.
    model_.Write(settings, atEnd);
    return true;
  } catch (const std::exception& e) {
    messages_.error(BoxParent(), ShownMessage(e));
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
  ShowLanguages();
  reject();
}

void SettingsDialog::OpenBannerEditor() {
  if (bannerEditor_ != nullptr) {
    bannerEditor_->exec();
  }
}

void SettingsDialog::ChooseOutputFolder() {
  const std::optional<QString> chosen =
      pickFolder_(this, tr("Папка для сохранения обработанных файлов"), lastPick_);
  if (chosen) {
    lastPick_ = *chosen;
    outputFolderField_->setText(*chosen);
  }
}

}  // namespace varnow
