// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

namespace varnow {

// What the window remembers from one start to the next that is no setting of the cleaning: its
// size and place, the last folder cleaned and the folders cleaned recently. A UTF-8 state file
// of Qt's, in $XDG_STATE_HOME/varnow/ (else ~/.local/state/varnow/), never varnow.ini (which
// holds the cleaning's settings, in cp1251, for the programs that read it).
class WindowState {
 public:
  static constexpr int kRecentFolders = 10;

  explicit WindowState(const QString& file);
  ~WindowState();
  WindowState(const WindowState&) = delete;
  WindowState& operator=(const WindowState&) = delete;

  // state.ini in the user's state folder.
  static QString DefaultFile();

  QByteArray Geometry() const;
  void SetGeometry(const QByteArray& geometry);
  // The change viewer's size as it was last closed; invalid until then.
  QSize ViewerSize() const;
  void SetViewerSize(const QSize& size);
  // The folders cleaned, the last first; at most kRecentFolders, each once.
  QStringList RecentFolders() const;
  void AddFolder(const QString& folder);

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace varnow
