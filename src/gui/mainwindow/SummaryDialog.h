// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QWidget>
#include <string>

#include "batch/RunSummary.h"

class QLabel;
class QListWidget;

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

// "Сводка": what the last run did at a glance, after each run and from the menu. The totals,
// the bars of changes by procedure and the pages with the most changes; activating one of
// those (a click, or Return) asks for it to be opened in the change viewer.
class SummaryDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SummaryDialog(QWidget* parent = nullptr);
  void SetSummary(const RunSummary& summary);

  QString Totals() const;
  ProcedureBars* Bars() const { return bars_; }
  QListWidget* TopPages() const { return topPages_; }

 signals:
  // A page of the list, its path as found (bytes as they are).
  void pageChosen(const std::string& page);

 private:
  std::string lastChosen_;
  QElapsedTimer sinceChosen_;
  QLabel* totals_ = nullptr;
  ProcedureBars* bars_ = nullptr;
  QListWidget* topPages_ = nullptr;
};

}  // namespace varnow
