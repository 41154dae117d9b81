// SPDX-License-Identifier: MIT
#include "AboutBox.h"
#include "InterfaceLanguage.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "ScreenFit.h"
#include "Version.h"
#include "platform/ExecutablePath.h"

namespace varnow {
namespace {

const QSize kClientSize(292, 114);
constexpr char kCredit[] =
    QT_TRANSLATE_NOOP("varnow::AboutBox", "© 2004–2026 Команда Varnow, лицензия MIT");

// A link drawn by the label itself, in the palette's link colour, as wide as its text so that
// a click beside it is no click on it. Activating it reports; opening is the handler's job.
QLabel* LinkLabel(const QString& text, const QUrl& link, QWidget* parent) {
  auto* label = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                               .arg(link.toString().toHtmlEscaped(), text.toHtmlEscaped()),
                           parent);
  label->setTextFormat(Qt::RichText);
  label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  label->setOpenExternalLinks(false);
  label->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
  label->setToolTip(link.isLocalFile() ? QDir::toNativeSeparators(link.toLocalFile())
                                       : link.toString());
  return label;
}

// The first of the files that exists: as installed beside the program, else in the sources
// of a build run from its build folder.
QUrl ExistingFile(const QStringList& installed, const QString& inSources) {
  const QString exe = QString::fromStdString(ExecutablePath().string());
  if (!exe.isEmpty()) {
    const QDir docs(QFileInfo(exe).absolutePath() + QStringLiteral("/../share/doc/varnow"));
    for (const QString& name : installed) {
      if (QFileInfo::exists(docs.filePath(name))) {
        return QUrl::fromLocalFile(QDir::cleanPath(docs.filePath(name)));
      }
    }
  }
  const QString source = QStringLiteral(VARNOW_SOURCE_DIR "/") + inSources;
  return QFileInfo::exists(source) ? QUrl::fromLocalFile(source) : QUrl();
}

}  // namespace

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent), openLink_([](const QUrl& link) { QDesktopServices::openUrl(link); }) {
  setObjectName(QStringLiteral("aboutBox"));
  setWindowTitle(tr("О программе..."));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  BuildControls();
  setFixedSize(FittedToScreen(parent, sizeHint().expandedTo(kClientSize)));
  ShowTitle();
}

void AboutBox::AddLink(const QString& text, const QUrl& link, const char* name) {
  if (link.isEmpty()) {
    return;  // nothing there to lead to
  }
  QLabel* label = LinkLabel(text, link, this);
  label->setObjectName(QString::fromLatin1(name));
  connect(label, &QLabel::linkActivated, this, [this, link] { openLink_(link); });
  linksLayout_->addWidget(label);
  links_ << link;
}

void AboutBox::BuildControls() {
  titleLabel_ = new QLabel(this);
  titleLabel_->setObjectName(QStringLiteral("titleLabel"));
  QFont title(QStringLiteral("Arial"), 18, QFont::Bold);
  title.setStyleHint(QFont::SansSerif);
  titleLabel_->setFont(title);
  titleLabel_->setToolTip(
      tr("%1, версия файла %2")
          .arg(InInterfaceLanguage({version::kDescription, version::kDescriptionEnglish}),
               QString::fromLatin1(version::kFile)));

  auto* credit = new QLabel(tr(kCredit), this);
  credit->setObjectName(QStringLiteral("creditLine"));
  credit->setTextFormat(Qt::PlainText);

  linksLayout_ = new QVBoxLayout;
  AddLink(tr("Руководство (README)"),
          ExistingFile({QStringLiteral("README.md")}, QStringLiteral("README.md")), "readmeLink");
  AddLink(tr("Лицензия"), ExistingFile({QStringLiteral("copyright")}, QStringLiteral("LICENSE")),
          "licenceLink");
  if (const QString web = QString::fromUtf8(version::kProjectUrl); !web.isEmpty()) {
    AddLink(web, QUrl(web), "webLink");
  }

  settingsRow_ = new QWidget(this);
  settingsLine_ = new QLabel(settingsRow_);
  settingsLine_->setTextFormat(Qt::PlainText);
  settingsLine_->setObjectName(QStringLiteral("SettingsFile"));
  settingsLine_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  settingsLine_->installEventFilter(this);
  auto* copy = new QToolButton(settingsRow_);
  copy->setObjectName(QStringLiteral("copySettingsPath"));
  copy->setIcon(QIcon::fromTheme(QStringLiteral("edit-copy"),
                                 style()->standardIcon(QStyle::SP_FileDialogDetailedView)));
  copy->setToolTip(tr("Копировать путь"));
  connect(copy, &QToolButton::clicked, this,
          [this] { QApplication::clipboard()->setText(settingsPath_); });
  auto* settingsLayout = new QHBoxLayout(settingsRow_);
  settingsLayout->setContentsMargins(0, 0, 0, 0);
  settingsLayout->addWidget(settingsLine_, 1);
  settingsLayout->addWidget(copy);
  settingsRow_->hide();

  auto* closeButton = new QPushButton(tr("Закрыть"), this);
  closeButton->setObjectName(QStringLiteral("closeButton"));
  connect(closeButton, &QPushButton::clicked, this, &AboutBox::CloseBox);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(closeButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(titleLabel_);
  layout->addWidget(credit);
  layout->addLayout(linksLayout_);
  layout->addWidget(settingsRow_);
  layout->addStretch();
  layout->addLayout(buttons);
}

void AboutBox::ShowTitle() {
  titleLabel_->setText(QString::fromUtf8(version::kTitle));
}

void AboutBox::ShowSettingsFile(const QString& path) {
  settingsPath_ = QDir::toNativeSeparators(path);
  settingsLine_->setToolTip(settingsPath_);
  settingsRow_->setVisible(!path.isEmpty());
  setFixedSize(FittedToScreen(this, sizeHint().expandedTo(kClientSize).expandedTo(QSize(360, 0))));
  ElideSettingsLine();
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == settingsLine_ && event->type() == QEvent::Resize) {
    ElideSettingsLine();  // as much of the path as the line's width now holds
  }
  return QDialog::eventFilter(watched, event);
}

void AboutBox::ElideSettingsLine() {
  const QString full = tr("Файл настроек: ") + settingsPath_;
  settingsLine_->setText(settingsLine_->fontMetrics().elidedText(
      full, Qt::ElideMiddle, std::max(40, settingsLine_->width())));
}

void AboutBox::CloseBox() {
  accept();
}

}  // namespace varnow
