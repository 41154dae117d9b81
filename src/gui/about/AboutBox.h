// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;
class QToolButton;
class QVBoxLayout;

namespace varnow {

// The about box: the program's name and version, one credit line, and links to what exists:
// the program's README and its licence where they are installed (or beside the sources, in a
// build that runs from its build folder), and the project's web address only when the build
// was given one. Each link is opened by the desktop's default handler. Under them, the
// settings file the program uses.
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  using LinkOpener = std::function<void(const QUrl&)>;

  explicit AboutBox(QWidget* parent = nullptr);

  // Tests put their own opener here, so that no browser starts.
  void SetLinkOpener(LinkOpener opener) { openLink_ = std::move(opener); }

  // The line under the links that says which settings file the program uses: elided in the
  // middle where it is long, the whole path as its tool tip and copied by its button.
  void ShowSettingsFile(const QString& path);
  QString SettingsFile() const { return settingsPath_; }

  // The links the box shows, in order; a link that leads nowhere is not shown.
  QList<QUrl> Links() const { return links_; }

 public slots:
  void CloseBox();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ShowTitle();
  void AddLink(const QString& text, const QUrl& link, const char* name);
  void ElideSettingsLine();

  LinkOpener openLink_;
  QList<QUrl> links_;
  QLabel* titleLabel_ = nullptr;
  QWidget* settingsRow_ = nullptr;
  QLabel* settingsLine_ = nullptr;
  QString settingsPath_;
  QVBoxLayout* linksLayout_ = nullptr;
};

}  // namespace varnow
