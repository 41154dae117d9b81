// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

class QSettings;

namespace varnow {

// What the window remembers from one start to the next that is no setting of the cleaning: its
// size and place, the last folder cleaned and the folders cleaned recently. A UTF-8 state file
// of Qt's, in $XDG_STATE_HOME/varnow/ (else ~/.local/state/varnow/), never varnow.ini (which
// holds the cleaning's settings, in cp1251, for the programs that read it).
//
// The place is looked at before the file is read and before every write: a link to a regular
// file is read and written through (its target replaced in the target's folder); a dangling
// link, or a FIFO, a device or a folder at the place, is neither read (it could block the
// program or never end) nor replaced (a device node would be destroyed). The window then
// remembers nothing, and Problem says why.
class WindowState {
 public:
  static constexpr int kRecentFolders = 10;

  explicit WindowState(const QString& file);
  ~WindowState();
  WindowState(const WindowState&) = delete;
  WindowState& operator=(const WindowState&) = delete;

  // state.ini in the user's state folder.
  static QString DefaultFile();

  // Why the file is neither read nor written, naming it; nothing while it is used.
  const std::optional<QString>& Problem() const { return problem_; }

  QByteArray Geometry() const;
  void SetGeometry(const QByteArray& geometry);
  // The change viewer's size as it was last closed; invalid until then.
  QSize ViewerSize() const;
  void SetViewerSize(const QSize& size);
  // Whether the summary panel stands beside the log after a run (true until the user hides
  // it), and the sizes of the log and the panel.
  bool SummaryShown() const;
  void SetSummaryShown(bool shown);
  QByteArray SummarySplit() const;
  void SetSummarySplit(const QByteArray& split);
  // Whether Execute cleans only the pages changed since the last run ("Только измененные").
  bool ChangedOnly() const;
  void SetChangedOnly(bool changedOnly);
  // The folders cleaned, the last first; at most kRecentFolders, each once.
  QStringList RecentFolders() const;
  void AddFolder(const QString& folder);

 private:
  // The state file for reading and writing, after a look at its place; null, with problem_
  // set, when the place is no regular file (any more).
  QSettings* Usable();
  QVariant Value(const QString& key) const;
  void Store(const QString& key, const QVariant& value);

  QString file_;
  std::unique_ptr<QSettings> settings_;
  std::optional<QString> problem_;
};

}  // namespace varnow
