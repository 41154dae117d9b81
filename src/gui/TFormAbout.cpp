#include "TFormAbout.h"

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

QUrl TFormAbout::MailLink() {
  return QUrl(QStringLiteral("mailto:%1?subject=Varnow").arg(QLatin1String(kMailAddress)));
}

QUrl TFormAbout::WebLink() {
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

TFormAbout::TFormAbout(QWidget* parent)
    : QDialog(parent), openLink_([](const QUrl& link) { QDesktopServices::openUrl(link); }) {
  setObjectName(QStringLiteral("FormAbout"));
  setWindowTitle(QStringLiteral("О программе..."));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  BuildControls();
  setFixedSize(sizeHint().expandedTo(kClientSize));
  FormCreate();
}

void TFormAbout::BuildControls() {
  titleLabel_ = new QLabel(this);
  titleLabel_->setObjectName(QStringLiteral("Label1"));
  QFont title(QStringLiteral("Arial"), 18, QFont::Bold);
  title.setStyleHint(QFont::SansSerif);
  titleLabel_->setFont(title);
  titleLabel_->setToolTip(
      QStringLiteral("%1, версия файла %2")
          .arg(QString::fromUtf8(version::kDescription), QString::fromLatin1(version::kFile)));

  auto* label4 = LinkLabel(QString::fromUtf8(kCredit), MailLink(), this);
  label4->setObjectName(QStringLiteral("Label4"));
  label4->setToolTip(QString::fromLatin1(kMailAddress));
  connect(label4, &QLabel::linkActivated, this, &TFormAbout::Label4Click);

  auto* label3 = LinkLabel(QString::fromLatin1(kWebAddress), WebLink(), this);
  label3->setObjectName(QStringLiteral("Label3"));
  connect(label3, &QLabel::linkActivated, this, &TFormAbout::Label3Click);

  auto* button1 = new QPushButton(QStringLiteral("Закрыть"), this);
  button1->setObjectName(QStringLiteral("Button1"));
  connect(button1, &QPushButton::clicked, this, &TFormAbout::Button1Click);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(button1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(titleLabel_);
  layout->addWidget(label4);
  layout->addWidget(label3);
  settingsLine_ = new QLabel(this);
  settingsLine_->setObjectName(QStringLiteral("SettingsFile"));
  settingsLine_->setWordWrap(true);
  settingsLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  settingsLine_->hide();
  layout->addWidget(settingsLine_);
  layout->addStretch();
  layout->addLayout(buttons);
}

void TFormAbout::FormCreate() {
  titleLabel_->setText(QString::fromUtf8(version::kTitle));
}

void TFormAbout::ShowSettingsFile(const QString& path) {
  settingsLine_->setText(QStringLiteral("Файл настроек: ") + path);
  settingsLine_->setVisible(!path.isEmpty());
  setFixedSize(sizeHint().expandedTo(size()));
}

QString TFormAbout::SettingsFileLine() const {
  return settingsLine_->text();
}

void TFormAbout::Label3Click() {
  openLink_(WebLink());
}

void TFormAbout::Label4Click() {
  openLink_(MailLink());
}

void TFormAbout::Button1Click() {
  accept();
}

}  // namespace varnow
