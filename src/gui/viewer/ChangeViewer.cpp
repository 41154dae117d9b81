// SPDX-License-Identifier: MIT
#include "ChangeViewer.h"
#include "InterfaceLanguage.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <dtl/dtl.hpp>

#include "ScreenFit.h"
#include "batch/PagePipeline.h"
#include "cleaning/ProcedureTable.h"
#include "explain/TextLines.h"
#include "messages/MessageText.h"
#include "text/Cp1251.h"
#include "text/PageDecoder.h"
#include "text/PageEncoding.h"

namespace varnow {
namespace {

// Comparisons of more line pairs than this are not aligned: the page and the copy are shown
// one after the other.
constexpr double kMostLinePairs = 4e8;

QString Text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// One colour for each procedure, light enough to read the text through on a light or a dark
// background.
QRgb ProcedureColour(ProcedureId s) {
  return (RowOf(s).colour & 0xFFFFFFu) | (110u << 24);
}

// The marks are counted before they are made, and sorted in place: a million of them take
// their room once, with no array doubling or sorting buffer beside them.
std::vector<TextMark> SourceMarks(const PageExplanation& e) {
  std::size_t count = 0;
  for (const RecordedChange& change : e.changes) {
    count += change.removed.size();
  }
  std::vector<TextMark> marks;
  marks.reserve(count);
  int i = 0;
  for (const RecordedChange& change : e.changes) {
    for (const SourceMap::Removed& r : change.removed) {
      marks.push_back({r.source, r.length, ProcedureColour(change.procedure), i});
    }
    ++i;
  }
  std::sort(marks.begin(), marks.end(),
            [](const TextMark& a, const TextMark& b) { return a.start < b.start; });
  return marks;
}

std::vector<TextMark> ResultMarks(const PageExplanation& e) {
  std::size_t count = e.changes.size();  // a bar each, at most
  for (const SourceMap::Piece& piece : e.pieces) {
    count += piece.IsInserted() ? 1 : 0;
  }
  std::vector<TextMark> marks;
  marks.reserve(count);
  std::vector<bool> shown(e.changes.size(), false);
  Pos offset = 0;
  for (const SourceMap::Piece& piece : e.pieces) {
    const std::int32_t owner = piece.IsInserted() ? e.ChangeOf(piece) : -1;
    if (owner >= 0 && static_cast<std::size_t>(owner) < e.changes.size()) {
      const auto change = static_cast<std::size_t>(owner);
      marks.push_back({offset, piece.length, ProcedureColour(e.changes[change].procedure), owner});
      shown[change] = true;
    }
    offset += piece.length;
  }
  // A change that only removed shows as a bar where its bytes were.
  for (std::size_t i = 0; i < e.changes.size(); ++i) {
    if (!shown[i]) {
      marks.push_back(
          {e.resultAt[i], 0, ProcedureColour(e.changes[i].procedure), static_cast<int>(i)});
    }
  }
  // Bars before the text put in at the same place, bars at one place in the order of their
  // changes (inserted pieces never share a start).
  std::sort(marks.begin(), marks.end(), [](const TextMark& a, const TextMark& b) {
    return a.start != b.start     ? a.start < b.start
           : a.length != b.length ? a.length < b.length
                                  : a.change < b.change;
  });
  return marks;
}

}  // namespace

ChangeViewer::ChangeViewer(const QString& title, QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("ChangeViewer"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(title);
  notice_ = new QLabel(this);
  notice_->setObjectName(QStringLiteral("Notice"));
  notice_->setTextFormat(Qt::PlainText);
  notice_->setWordWrap(true);  // a long line or path is read whole, never cut off
  legend_ = new QLabel(this);
  legend_->setObjectName(QStringLiteral("legend"));
  legend_->setTextFormat(Qt::RichText);
  legend_->setWordWrap(true);
  previous_ = new QPushButton(tr("Предыдущее"), this);
  previous_->setToolTip(tr("Предыдущее изменение (Shift+F3)"));
  next_ = new QPushButton(tr("Следующее"), this);
  next_->setToolTip(tr("Следующее изменение (F3)"));
  result_ = new QPushButton(tr("Результат"), this);
  result_->setCheckable(true);
  result_->setToolTip(tr("Показать очищенную страницу вместо исходной"));
  view_ = new MarkedTextView(this);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(previous_);
  buttons->addWidget(next_);
  buttons->addWidget(result_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(notice_);
  layout->addLayout(buttons);
  layout->addWidget(legend_);
  layout->addWidget(view_, 1);

  connect(previous_, &QPushButton::clicked, this, &ChangeViewer::Previous);
  connect(next_, &QPushButton::clicked, this, &ChangeViewer::Next);
  connect(result_, &QPushButton::toggled, this, &ChangeViewer::ShowResult);
  view_->SetTips([this](int change) -> QString {
    if (comparison_ || change < 0 ||
        static_cast<std::size_t>(change) >= explanation_.changes.size()) {
      return {};
    }
    return Text(ChangeLine(explanation_.Reported(static_cast<std::size_t>(change)), logLanguage_));
  });
  // 900x600, or as much of it as the screen holds.
  resize(FittedToScreen(parent, QSize(900, 600)));
}

QString ChangeViewer::Legend() const {
  return legend_->text();
}

void ChangeViewer::ShowLegend() {
  // Each procedure of the page's changes: its colour, its name, how many changes it made.
  std::array<std::size_t, kProcedureCount> counts{};
  for (const RecordedChange& change : explanation_.changes) {
    ++counts[Index(change.procedure)];
  }
  QStringList entries;
  for (const ProcedureRow& row : kProcedures) {
    if (counts[Index(row.id)] == 0) {
      continue;
    }
    const QColor colour(static_cast<QRgb>(row.colour));
    entries << QStringLiteral(
                   "<span style=\"background-color:%1\">&nbsp;&nbsp;&nbsp;&nbsp;</span>"
                   "&nbsp;%2&nbsp;%3")
                   // Named by its caption, as everywhere in the window.
                   .arg(colour.name(), InInterfaceLanguage(row.caption).toHtmlEscaped())
                   .arg(counts[Index(row.id)]);
  }
  legend_->setText(entries.join(QStringLiteral("&nbsp;&nbsp;&nbsp; ")));
  legend_->setVisible(!entries.isEmpty());
}

ChangeViewer* ChangeViewer::Show(PageReview prepared, QWidget* parent) {
  auto* viewer = new ChangeViewer(Text(prepared.title), parent);
  if (!prepared.comparison.empty()) {
    viewer->ShowComparison(Text(prepared.comparison), prepared.source, prepared.copy);
    return viewer;
  }
  viewer->problem_ = Text(prepared.problem);
  viewer->logLanguage_ = prepared.logLanguage;
  viewer->ShowExplanation(std::move(prepared.source), std::move(prepared.explanation),
                          prepared.selected);
  return viewer;
}

void ChangeViewer::ShowExplanation(std::string source, PageExplanation explanation, int selected) {
  source_ = std::move(source);
  // What is shown of the page, and of its result, is read in the encoding of the page.
  encoding_ = DetectPageEncoding(source_);
  explanation_ = std::move(explanation);
  comparison_ = false;
  count_ = explanation_.changes.size();
  ShowLegend();
  ShowCurrentText();
  Go(selected);
}

void ChangeViewer::ShowComparison(const QString& problem, std::string_view source,
                                  std::string_view output) {
  comparison_ = true;
  problem_ = problem;
  result_->setEnabled(false);
  legend_->hide();
  // Each side's lines are read in its own encoding and compared as text.
  const auto decodedLines = [](std::string_view bytes, std::vector<std::string>& lines) {
    const PageEncoding encoding = DetectPageEncoding(bytes);
    PageDecoder decoder(encoding);
    const TextLines split(bytes, encoding);
    for (std::size_t i = 0; i < split.Count() && !bytes.empty(); ++i) {
      lines.push_back(decoder.ToUtf8(split.Line(bytes, i)));
    }
    return encoding;
  };
  std::vector<std::string> sourceLines, outputLines;
  encoding_ = decodedLines(source, sourceLines);
  decodedLines(output, outputLines);
  const std::vector<std::string_view> before(sourceLines.begin(), sourceLines.end());
  const std::vector<std::string_view> after(outputLines.begin(), outputLines.end());
  // Each line of the listing: "- " only in the page, "+ " only in the copy, "  " in both.
  std::string text;
  std::vector<TextMark> marks;
  const QRgb removed = qRgba(230, 80, 80, 110), added = qRgba(60, 180, 90, 110);
  int block = -1;
  bool inBlock = false;
  const auto add = [&](std::string_view line, dtl::edit_t type) {
    const auto start = static_cast<Pos>(text.size());
    text += type == dtl::SES_DELETE ? "- " : type == dtl::SES_ADD ? "+ " : "  ";
    text += line;
    if (type != dtl::SES_COMMON) {
      if (!inBlock) {
        ++block;
      }
      marks.push_back({start, static_cast<Pos>(text.size()) - start,
                       type == dtl::SES_DELETE ? removed : added, block});
    }
    inBlock = type != dtl::SES_COMMON;
    text += '\n';
  };
  if (static_cast<double>(before.size()) * static_cast<double>(after.size()) > kMostLinePairs) {
    for (const std::string_view line : before) {
      add(line, dtl::SES_DELETE);
    }
    for (const std::string_view line : after) {
      add(line, dtl::SES_ADD);
    }
  } else {
    dtl::Diff<std::string_view, std::vector<std::string_view>> diff(before, after);
    diff.onHuge();
    diff.compose();
    // Within a stretch of differing lines, the page's lines come first, as diff shows them.
    std::vector<std::string_view> added;
    for (const auto& [line, info] : diff.getSes().getSequence()) {
      if (info.type == dtl::SES_ADD) {
        added.push_back(line);
        continue;
      }
      if (info.type == dtl::SES_COMMON) {
        for (const std::string_view a : added) {
          add(a, dtl::SES_ADD);
        }
        added.clear();
      }
      add(line, info.type);
    }
    for (const std::string_view a : added) {
      add(a, dtl::SES_ADD);
    }
  }
  if (!text.empty()) {
    text.pop_back();
  }
  count_ = static_cast<std::size_t>(block + 1);
  view_->SetText(std::move(text), std::move(marks), PageEncoding{});
  Go(count_ > 0 ? 0 : -1);
}

void ChangeViewer::ShowCurrentText() {
  // The marks shown go before the others are made: a million of them are not held twice.
  view_->ShowBytes({}, {}, encoding_);
  if (showingResult_) {
    view_->ShowBytes(explanation_.result, ResultMarks(explanation_), encoding_);
  } else {
    view_->ShowBytes(source_, SourceMarks(explanation_), encoding_);
  }
}

void ChangeViewer::Go(int change) {
  current_ = change;
  view_->Select(change);
  previous_->setEnabled(change > 0);
  next_->setEnabled(change >= 0 && static_cast<std::size_t>(change) + 1 < count_);
  notice_->setText(Notice());
}

QString ChangeViewer::Notice() const {
  // The page's encoding leads the line: what is shown depends on it.
  const QString encoding =
      tr("Кодировка: %1. ").arg(Text(DescribeEncoding(encoding_, InterfaceLanguage())));
  if (comparison_) {
    return encoding + problem_;
  }
  if (current_ < 0) {
    return encoding + tr("Изменений нет");
  }
  QString text = tr("%1 из %2: %3")
                     .arg(current_ + 1)
                     .arg(count_)
                     .arg(Text(ChangeLine(explanation_.Reported(static_cast<std::size_t>(current_)),
                                          logLanguage_)));
  return encoding + (problem_.isEmpty() ? text : problem_ + QLatin1Char(' ') + text);
}

void ChangeViewer::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F3 && event->modifiers() == Qt::ShiftModifier) {
    Previous();
  } else if (event->key() == Qt::Key_F3 && event->modifiers() == Qt::NoModifier) {
    Next();
  } else if (event->key() == Qt::Key_Escape) {
    close();
  } else {
    QWidget::keyPressEvent(event);
  }
}

void ChangeViewer::closeEvent(QCloseEvent* event) {
  emit closing(size());
  QWidget::closeEvent(event);
}

void ChangeViewer::Next() {
  if (current_ >= 0 && static_cast<std::size_t>(current_) + 1 < count_) {
    Go(current_ + 1);
  }
}

void ChangeViewer::Previous() {
  if (current_ > 0) {
    Go(current_ - 1);
  }
}

void ChangeViewer::ShowResult(bool on) {
  if (comparison_ || on == showingResult_) {
    return;
  }
  showingResult_ = on;
  result_->setChecked(on);
  ShowCurrentText();
  Go(current_);
}

}  // namespace varnow
