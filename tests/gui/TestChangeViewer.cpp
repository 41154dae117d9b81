// SPDX-License-Identifier: MIT
#include <QCheckBox>
#include <QFile>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "ChangeViewer.h"
#include "GuiTestSupport.h"
#include "LogPane.h"
#include "MainWindow.h"
#include "PlainText.h"
#include "Program.h"
#include "SettingsDialog.h"
#include "SummaryPanel.h"

namespace varnow::test {

// The change viewer, opened from the log pane of the whole program after a run over a small
// site.
class TestChangeViewer : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString site_, out_, page_;
  RecordedMessages messages_;
  std::unique_ptr<Program> program_;

  MainWindow& Main() { return program_->Window(); }
  LogPane* Log() { return Find<LogPane>(&Main(), "logPane"); }
  QCheckBox* Switch(const char* name) { return Find<QCheckBox>(&program_->Options(), name); }

  std::size_t LineIndex(const QString& line) {
    for (std::size_t i = 0; i < Log()->LineCount(); ++i) {
      if (Log()->Line(i) == line) {
        return i;
      }
    }
    qFatal("no log line %s", qPrintable(line));
  }
  // Double-clicks a line of the pane as the user does; the viewer it opened, if any.
  ChangeViewer* DoubleClick(std::size_t line) {
    const int height = Log()->fontMetrics().lineSpacing();
    const auto row = static_cast<int>(line) - Log()->verticalScrollBar()->value();
    QTest::mouseDClick(Log()->viewport(), Qt::LeftButton, {},
                       QPoint(20, row * height + height / 2));
    return Opened();
  }
  ChangeViewer* Opened() {
    if (!ViewersShown(Main())) {
      return nullptr;
    }
    const QList<ChangeViewer*> viewers = Main().findChildren<ChangeViewer*>();
    return viewers.isEmpty() ? nullptr : viewers.back();
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    const QString base = dir_.filePath(QTest::currentTestFunction());
    site_ = base + "/site";
    out_ = base + "/out";
    page_ = site_ + "/index.htm";
    WriteFile(page_, "<P class=a>one\r\n<span>two</span>\r\n<script>three()</script>!");
    WriteFile(site_ + "/other.htm", "<span>x</span>");
    messages_ = {};
    program_ = std::make_unique<Program>((base + "/varnow.ini").toStdString(), messages_.Sink());
    Main().show();
    Find<QLineEdit>(&program_->Options(), "outputFolderField")->setText(out_);
    Find<QPushButton>(&program_->Options(), "okButton")->click();
    Find<QLineEdit>(&Main(), "folderField")->setText(site_);
    for (const char* name : {"styleBox", "spanBox", "scriptBox"}) {
      Switch(name)->setChecked(true);
    }
    Find<QToolButton>(&Main(), "executeButton")->click();
    QVERIFY(RunEnds(Main()));
    QVERIFY(messages_.errors.isEmpty());
  }
  // Qt removes a folder by decoded names, which misses a name that is not UTF-8; the bytes
  // themselves remove every file, so no run leaves its pages behind.
  void cleanup() {
    program_.reset();
    std::filesystem::remove_all(dir_.filePath(QTest::currentTestFunction()).toStdString());
  }

  // The change of the line clicked is selected, in view, in the page as it was; the buttons
  // and F3 walk the page's changes, and the toggle shows the result.
  void doubleClickShowsTheChangeInItsPage() {
    const QString spanEnd = page_ + " удален </span> [12]";
    // The pane knows the line's change as data: its page, rank and procedure.
    const std::optional<LogPane::Change> change = Log()->ChangeAt(LineIndex(spanEnd));
    QVERIFY(change.has_value());
    QCOMPARE(QString::fromStdString(std::string(change->page)), page_);
    QCOMPARE(change->rank, std::size_t{2});
    QVERIFY(change->procedure == ProcedureId::kSpan);
    ChangeViewer* viewer = DoubleClick(LineIndex(spanEnd));
    QVERIFY(viewer != nullptr);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->windowTitle(), page_);
    QVERIFY(!viewer->IsComparison());
    QCOMPARE(viewer->ChangeCount(), 4);  // <p...>, <span>, </span>, <script>
    QCOMPARE(viewer->Current(), 2);
    QCOMPARE(viewer->View()->Selected(), 2);
    QVERIFY(viewer->Notice().endsWith("3 из 4: " + spanEnd));
    // The legend: each procedure of the page with its count; the top line wraps, never cut off.
    // Named by the captions of the settings dialog, markup shown as text.
    QVERIFY2(viewer->Legend().contains("Форматирование&nbsp;2") &&
                 viewer->Legend().contains("&lt;script&gt;&lt;/script&gt;&nbsp;1") &&
                 viewer->Legend().contains("Стили&nbsp;1"),
             qPrintable(viewer->Legend()));
    QVERIFY(Find<QLabel>(viewer, "Notice")->wordWrap());
    const QRect screen = viewer->screen()->availableGeometry();
    QVERIFY(viewer->width() <= screen.width() && viewer->height() <= screen.height());
    // The page as it is on disk, the selected change's line in view.
    QCOMPARE(viewer->View()->LineText(1), QStringLiteral("<span>two</span>"));
    QVERIFY(viewer->View()->FirstLineInView() <= 1);

    // From the text, where the focus is, as from anywhere in the window.
    QTest::keyClick(viewer->View(), Qt::Key_F3);
    QCOMPARE(viewer->Current(), 3);
    QTest::keyClick(viewer->View(), Qt::Key_F3);  // the last stays
    QCOMPARE(viewer->Current(), 3);
    QTest::keyClick(viewer->View(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(viewer->Current(), 2);
    viewer->ShowResult(true);
    QVERIFY(viewer->ShowingResult());
    QCOMPARE(viewer->View()->LineText(0), QStringLiteral("<p>one"));
    QCOMPARE(viewer->View()->LineText(1), QStringLiteral("two"));
    QCOMPARE(viewer->Current(), 2);
    viewer->close();
  }

  // Enter on the selected line opens it as well; lines that report no change open nothing.
  void enterOpensAndOtherLinesDoNot() {
    const std::size_t line = LineIndex(page_ + " заменен <p...> [1]");
    DoubleClick(Log()->LineCount() - 1);  // "Лог сохранен в ..."
    QVERIFY(Opened() == nullptr);
    const int height = Log()->fontMetrics().lineSpacing();
    const auto row = static_cast<int>(line) - Log()->verticalScrollBar()->value();
    QTest::mouseClick(Log()->viewport(), Qt::LeftButton, {}, QPoint(20, row * height + 2));
    QTest::keyClick(Log(), Qt::Key_Return);
    QVERIFY(Opened() != nullptr);
    QCOMPARE(Opened()->Current(), 0);
  }

  // A page whose name is not UTF-8 (cp1251 bytes) is logged by its name as log.txt writes it
  // and opened by its name as it is.
  void aPageNamedInCp1251Opens() {
    std::ofstream(site_.toStdString() + "/\xEF\xF0.htm", std::ios::binary) << "<span>x</span>";
    Find<QToolButton>(&Main(), "executeButton")->click();
    QVERIFY(RunEnds(Main()));
    ChangeViewer* viewer =
        DoubleClick(LineIndex(site_ + "/&#56559;&#56560;.htm удален </span> [2]"));
    QVERIFY(viewer != nullptr);
    QVERIFY(!viewer->IsComparison());
    QCOMPARE(viewer->ChangeCount(), 2);
    QCOMPARE(viewer->Current(), 1);
    viewer->close();
  }

  // When cleaning now does not give the copy on disk, the viewer says so and compares the
  // page and the copy line by line.
  void aChangedOrMissingCopyIsCompared() {
    const QString copy = out_ + page_;
    WriteFile(copy, ReadFile(copy) + "\r\nadded later");
    ChangeViewer* viewer = DoubleClick(LineIndex(page_ + " удален <span> [9]"));
    QVERIFY(viewer != nullptr && viewer->IsComparison());
    QVERIFY(viewer->Notice().contains("Повторная очистка с нынешними настройками не дает копии"));
    QCOMPARE(viewer->View()->LineText(0), QStringLiteral("- <P class=a>one"));
    QStringList lines;
    for (std::size_t i = 0; i < viewer->View()->LineCount(); ++i) {
      lines << viewer->View()->LineText(i);
    }
    QVERIFY(lines.contains("+ added later"));
    QVERIFY(lines.contains("+ <p>one"));
    viewer->close();

    QFile::remove(copy);
    viewer = DoubleClick(LineIndex(page_ + " удален <span> [9]"));
    QVERIFY(viewer != nullptr && viewer->IsComparison());
    QVERIFY(viewer->Notice().contains("Копии страницы нет"));
    QCOMPARE(viewer->View()->LineText(0), QStringLiteral("- <P class=a>one"));
  }

  // Sideways only as far as the change needs: one near the start of its line leaves column 0
  // in view, one far along a long line is brought just into view.
  void scrollsSidewaysOnlyAsFarAsNeeded() {
    for (const int at : {12, 3000}) {
      WriteFile(page_, QByteArray(at, 'a') + "<span>b" + QByteArray(4000, 'c'));
      Find<QToolButton>(&Main(), "executeButton")->click();
      QVERIFY(RunEnds(Main()));
      Main().OpenPage(page_.toStdString());
      ChangeViewer* viewer = Opened();
      QVERIFY(viewer != nullptr);
      QVERIFY(QTest::qWaitForWindowExposed(viewer));
      const QScrollBar* across = viewer->View()->horizontalScrollBar();
      const qreal x = at * QFontMetricsF(viewer->View()->font()).horizontalAdvance('M');
      if (at == 12) {
        QCOMPARE(across->value(), 0);
      } else {
        QVERIFY2(across->value() > 0 && x >= across->value() &&
                     x < across->value() + viewer->View()->viewport()->width(),
                 qPrintable(QString::number(across->value())));
      }
      viewer->close();
    }
  }

  // After a run the summary stands beside the window, the keyboard left with the window: the
  // changes of each procedure as bars, the totals, and the pages with the most changes, a click
  // on one opening it in the change viewer at its first change.
  void theSummaryShowsTheRunAndOpensItsPages() {
    SummaryPanel* summary = Main().Summary();
    QVERIFY(summary != nullptr && summary->isVisible());
    QVERIFY(Find<QAction>(&Main(), "summaryAction")->isEnabled());
    const QStringList rows = summary->Bars()->Rows();
    // Named by their captions, as the settings dialog names them.
    QVERIFY2(rows.contains("Форматирование 4") && rows.contains("<script></script> 1") &&
                 rows.contains("Стили 1"),
             qPrintable(rows.join(", ")));
    QVERIFY2(summary->Totals().startsWith("Страниц найдено 2: изменено 2, без изменений 0"),
             qPrintable(summary->Totals()));
    QListWidget* top = summary->TopPages();
    QCOMPARE(top->count(), 2);
    QVERIFY(top->item(0)->text().endsWith(page_));  // four changes before the other's two
    const QRect first = top->visualItemRect(top->item(0));
    QTest::mouseClick(top->viewport(), Qt::LeftButton, {}, first.center());
    ChangeViewer* viewer = Opened();
    QVERIFY(viewer != nullptr && !viewer->IsComparison());
    QCOMPARE(viewer->windowTitle(), page_);
    QCOMPARE(viewer->Current(), 0);
    QVERIFY2(!viewer->Notice().contains("Этой строки лога нет"), qPrintable(viewer->Notice()));
    viewer->close();
  }

  // A page is shown as its encoding reads it, whatever it is, with the marks on the right
  // characters; the encoding leads the top line, and a change's tool tip is its log line as it
  // stands, tags included.
  void aPageIsShownInItsOwnEncoding() {
    const struct {
      std::string bytes;
      QString firstLine;  // as shown
      QString encoding;
    } pages[] = {
        {"<meta charset=\"utf-8\"><p>\xD0\x9D\xD0\xBE\xD0\xB2\xD0\xBE\xD1\x81\xD1\x82\xD0\xB8 "
         "<span>\xC2\xB6</span>",
         QStringLiteral("<meta charset=\"utf-8\"><p>Новости <span>¶</span>"),
         QStringLiteral("UTF-8 (объявлена в странице)")},
        {"<p>\xCD\xEE\xE2\xEE\xF1\xF2\xE8 <span>x</span>",
         QStringLiteral("<p>Новости <span>x</span>"),
         QStringLiteral("windows-1251 (по умолчанию)")},
    };
    for (const auto& page : pages) {
      std::ofstream(page_.toStdString(), std::ios::binary | std::ios::trunc) << page.bytes;
      Find<QToolButton>(&Main(), "executeButton")->click();
      QVERIFY(RunEnds(Main()));
      // The log counts bytes: the place of "<span>" in the page's bytes.
      const QString line =
          page_ + QStringLiteral(" удален <span> [%1]").arg(page.bytes.find("<span>") + 1);
      ChangeViewer* viewer = DoubleClick(LineIndex(line));
      QVERIFY(viewer != nullptr && !viewer->IsComparison());
      QCOMPARE(viewer->View()->LineText(0), page.firstLine);
      QVERIFY2(viewer->Notice().startsWith(QStringLiteral("Кодировка: ") + page.encoding),
               qPrintable(viewer->Notice()));
      // The mark of "<span>" lies under its characters, not under its bytes' count.
      const qreal width = QFontMetricsF(viewer->View()->font()).horizontalAdvance(QLatin1Char('M'));
      const int height = viewer->View()->fontMetrics().lineSpacing();
      const QPoint onSpan(3 + static_cast<int>((page.firstLine.indexOf("<span>") + 2.5) * width),
                          height / 2);
      QVERIFY(viewer->View()->MarkAt(onSpan) >= 0);
      const QString tip = viewer->View()->TipAt(onSpan);
      QCOMPARE(tip, line);
      QTextDocument shown;
      shown.setHtml(PlainToolTip(tip));
      QCOMPARE(shown.toPlainText(), tip);
      viewer->close();
    }
  }
};

}  // namespace varnow::test

QTEST_MAIN(varnow::test::TestChangeViewer)
#include "TestChangeViewer.moc"
