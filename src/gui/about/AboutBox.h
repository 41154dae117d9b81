// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;

namespace varnow {

// The about box: the program's name and version, a mail link to the author and a link to
// the web site, both opened by the desktop's default handler.
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  using LinkOpener = std::function<void(const QUrl&)>;

  explicit AboutBox(QWidget* parent = nullptr);

  // Tests put their own opener here, so that no mail program or browser starts.
  void SetLinkOpener(LinkOpener opener) { openLink_ = std::move(opener); }

  // The line under the links that says which settings file the program uses.
  void ShowSettingsFile(const QString& path);

  static QUrl MailLink();
  static QUrl WebLink();

 public slots:
  void OpenWebLink();   // the web link
  void OpenMailLink();  // the mail link
  void CloseBox();

 private:
  void BuildControls();
  void ShowTitle();

  LinkOpener openLink_;
  QLabel* titleLabel_ = nullptr;
  QLabel* settingsLine_ = nullptr;
};

}  // namespace varnow
