// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "MarkedTextView.h"
#include "cleaning/ProcedureOrder.h"
#include "explain/ExplainPage.h"
#include "explain/PageReview.h"
#include "text/PageEncoding.h"

class QLabel;
class QPushButton;

namespace varnow {

// A page and what cleaning did to it, in a window of its own. The page's own text shows what
// each change removed, in one colour for each procedure, the change's log line as its tool
// tip; a toggle shows the cleaned result with what the changes put in. Previous and next
// (Shift+F3, F3) walk through the changes.
//
// When cleaning the page again does not give the copy on disk (the settings or the page
// changed since the run, or the copy is gone), the window says so in its top line and shows
// the page and the copy compared line by line instead; previous and next then walk through the
// differing stretches.
class ChangeViewer : public QWidget {
  Q_OBJECT

 public:
  // A window on a page review (made on any thread by ReviewPage), with its change selected; on
  // the window's thread.
  static ChangeViewer* Show(PageReview review, QWidget* parent);

  int Current() const { return current_; }
  int ChangeCount() const { return static_cast<int>(count_); }
  bool ShowingResult() const { return showingResult_; }
  bool IsComparison() const { return comparison_; }
  QString Notice() const;
  // The legend: each procedure of the page's changes, its colour and its count.
  QString Legend() const;
  MarkedTextView* View() const { return view_; }

 signals:
  // The window is closing at this size (kept for the next viewer).
  void closing(QSize size);

 public slots:
  void Next();
  void Previous();
  void ShowResult(bool on);

 protected:
  // F3 and Shift+F3 walk the changes from wherever the focus is; Esc closes.
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  explicit ChangeViewer(const QString& title, QWidget* parent);
  void ShowExplanation(std::string source, PageExplanation explanation, int selected);
  void ShowComparison(const QString& problem, std::string_view source, std::string_view output);
  void Go(int change);
  void ShowCurrentText();
  void ShowLegend();

  MarkedTextView* view_ = nullptr;
  QLabel* notice_ = nullptr;
  QLabel* legend_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* result_ = nullptr;

  std::string source_;
  PageEncoding encoding_;  // the page's, as its text is read
  PageExplanation explanation_;
  Language logLanguage_ = Language::kRussian;  // the log's, that its changes' lines are in
  QString problem_;
  std::size_t count_ = 0;
  int current_ = -1;
  bool showingResult_ = false;
  bool comparison_ = false;
};

}  // namespace varnow
