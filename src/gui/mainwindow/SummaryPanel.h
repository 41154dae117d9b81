// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QFrame>
#include <QWidget>
#include <string>

#include "batch/RunHost.h"
#include "batch/RunSummary.h"

class QLabel;
class QListWidget;
class QToolButton;

namespace varnow {

// The changes of each procedure as bars, one a row, in the procedure's own colour (the change
// viewer's), longest for the procedure with the most changes; each row names the procedure and
// its count. Plain painted bars: twelve rows need no charting library.
class ProcedureBars : public QWidget {
  Q_OBJECT

 public:
  explicit ProcedureBars(QWidget* parent = nullptr);
  void SetSummary(const RunSummary& summary);
  QSize sizeHint() const override;
  // Each row as shown: "span 893 176", for a reader and for tests.
  QStringList Rows() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  RunSummary::Procedure procedures_[kProcedureCount] = {};
};

// "Сводка": what the last run did at a glance, a panel of the main window beside its log. How
// the run ended, the totals, the bars of changes by procedure and the pages with the most
// changes; activating one of those (a click, or Return) asks for it to be opened in the change
// viewer. During a run it says so instead of showing the last run's figures.
class SummaryPanel : public QFrame {
  Q_OBJECT

 public:
  explicit SummaryPanel(QWidget* parent = nullptr);
  // What the run that ended did, and how it ended.
  void SetEnd(const RunEnd& end);
  // A run has begun: nothing of the last one is shown as if it were this one's.
  void SetRunning();

  // The first line: how the run ended, or that one goes on.
  QString Outcome() const;
  QString Totals() const;
  ProcedureBars* Bars() const { return bars_; }
  QListWidget* TopPages() const { return topPages_; }
  QSize sizeHint() const override;

 signals:
  // A page of the list, its path as found (bytes as they are).
  void pageChosen(const std::string& page);
  // The panel's own button asks for it to be hidden.
  void hideAsked();

 private:
  std::string lastChosen_;
  QElapsedTimer sinceChosen_;
  QLabel* outcome_ = nullptr;
  QLabel* totals_ = nullptr;
  ProcedureBars* bars_ = nullptr;
  QListWidget* topPages_ = nullptr;
};

}  // namespace varnow
