// SPDX-License-Identifier: MIT
#include "AboutBox.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Version.h"

namespace varnow {
namespace {

const QSize kClientSize(292, 114);
constexpr char kMailAddress[] = "varnow@example.org";
constexpr char kWebAddress[] = "https://www.example.org/varnow/";
constexpr char kCredit[] = "© 2004 Команда Varnow";

}  // namespace

QUrl AboutBox::MailLink() {
  return QUrl(QStringLiteral("mailto:%1?subject=Varnow").arg(QLatin1String(kMailAddress)));
}

QUrl AboutBox::WebLink() {
  return QUrl(QString::fromLatin1(kWebAddress));
}

namespace {

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
  return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent), openLink_([](const QUrl& link) { QDesktopServices::openUrl(link); }) {
  setObjectName(QStringLiteral("aboutBox"));
  setWindowTitle(QStringLiteral("О программе..."));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  BuildControls();
  setFixedSize(sizeHint().expandedTo(kClientSize));
  ShowTitle();
}

void AboutBox::BuildControls() {
  titleLabel_ = new QLabel(this);
  titleLabel_->setObjectName(QStringLiteral("titleLabel"));
  QFont title(QStringLiteral("Arial"), 18, QFont::Bold);
  title.setStyleHint(QFont::SansSerif);
  titleLabel_->setFont(title);
  titleLabel_->setToolTip(
      QStringLiteral("%1, версия файла %2")
          .arg(QString::fromUtf8(version::kDescription), QString::fromLatin1(version::kFile)));

  auto* mailLink = LinkLabel(QString::fromUtf8(kCredit), MailLink(), this);
  mailLink->setObjectName(QStringLiteral("mailLink"));
  mailLink->setToolTip(QString::fromLatin1(kMailAddress));
  connect(mailLink, &QLabel::linkActivated, this, &AboutBox::OpenMailLink);

  auto* webLink = LinkLabel(QString::fromLatin1(kWebAddress), WebLink(), this);
  webLink->setObjectName(QStringLiteral("webLink"));
  connect(webLink, &QLabel::linkActivated, this, &AboutBox::OpenWebLink);

  auto* closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
  closeButton->setObjectName(QStringLiteral("closeButton"));
  connect(closeButton, &QPushButton::clicked, this, &AboutBox::CloseBox);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(titleLabel_);
  layout->addWidget(mailLink);
  layout->addWidget(webLink);
  settingsLine_ = new QLabel(this);
  settingsLine_->setTextFormat(Qt::PlainText);
  settingsLine_->setObjectName(QStringLiteral("SettingsFile"));
  settingsLine_->setWordWrap(true);
  settingsLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  settingsLine_->hide();
  layout->addWidget(settingsLine_);
  auto* licence = new QLabel(QStringLiteral("Лицензия MIT. © 2026 the Varnow developers"), this);
  licence->setObjectName(QStringLiteral("licenceLine"));
  licence->setTextFormat(Qt::PlainText);
  layout->addWidget(licence);
  layout->addStretch();
  layout->addLayout(buttons);
}

void AboutBox::ShowTitle() {
  titleLabel_->setText(QString::fromUtf8(version::kTitle));
}

void AboutBox::ShowSettingsFile(const QString& path) {
  settingsLine_->setText(QStringLiteral("Файл настроек: ") + path);
  settingsLine_->setVisible(!path.isEmpty());
  setFixedSize(sizeHint().expandedTo(size()));
}

void AboutBox::OpenWebLink() {
  openLink_(WebLink());
}

void AboutBox::OpenMailLink() {
  openLink_(MailLink());
}

void AboutBox::CloseBox() {
  accept();
}

}  // namespace varnow
