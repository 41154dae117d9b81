#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;

namespace varnow {


// The about box: the program's name and version, a mail link to the author and a link to
// the web site, both opened by the desktop's default handler.
class TFormAbout : public QDialog {
  Q_OBJECT

 public:
  using LinkOpener = std::function<void(const QUrl&)>;

  explicit TFormAbout(QWidget* parent = nullptr);

  // Tests put their own opener here, so that no mail program or browser starts.
  void SetLinkOpener(LinkOpener opener) { openLink_ = std::move(opener); }

  // The line under the links that says which settings file the program uses.
  void ShowSettingsFile(const QString& path);
  QString SettingsFileLine() const;

  static QUrl MailLink();
  static QUrl WebLink();

 public slots:
  void Label3Click();  // the web link
  void Label4Click();  // the mail link
  void Button1Click();

 private:
  void BuildControls();
  void FormCreate();

  LinkOpener openLink_;
  QLabel* titleLabel_ = nullptr;
  QLabel* settingsLine_ = nullptr;
};

}  // namespace varnow
