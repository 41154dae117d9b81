// SPDX-License-Identifier: MIT
#include <sys/resource.h>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QScrollBar>
#include <QTest>

#include <csignal>

#include <vector>

#include "LogPane.h"

namespace varnow::test {

class TestLogPane : public QObject {
  Q_OBJECT

 private:
  static void Fill(LogPane& pane, int lines) {
    for (int i = 0; i < lines; ++i) {
      pane.AppendLine(QStringLiteral("line %1").arg(i));
    }
  }
  static QPoint PointOfLine(LogPane& pane, int lineInView) {
    return {10, lineInView * pane.fontMetrics().lineSpacing() + 2};
  }

 private slots:
  void keepsLinesExactly() {
    LogPane pane;
    pane.AppendLine(std::string_view("/site/страница.htm удален <script> [12]"));
    pane.AppendLine(std::string_view(""));
    pane.AppendLine(QStringLiteral("документ, то все испортите. "));
    QCOMPARE(pane.LineCount(), std::size_t{3});
    // The widest line counts characters, not bytes.
    QCOMPARE(pane.Store().Widest(), (std::pair<std::size_t, std::size_t>{0, 39}));
    QCOMPARE(pane.Line(0), QStringLiteral("/site/страница.htm удален <script> [12]"));
    QCOMPARE(pane.Line(1), QString());
    QCOMPARE(
        pane.Text(),
        QStringLiteral("/site/страница.htm удален <script> [12]\n\nдокумент, то все испортите. "));
    pane.Clear();
    QCOMPARE(pane.LineCount(), std::size_t{0});
    QCOMPARE(pane.Text(), QString());
  }

  // Lines are stored at once but shown together at the next turn of the event loop; the view
  // follows the end unless the user has scrolled away from it.
  void showsBurstsAndFollowsTheEnd() {
    LogPane pane;
    pane.resize(300, 200);
    pane.show();
    Fill(pane, 1000);
    QScrollBar* bar = pane.verticalScrollBar();
    QCOMPARE(bar->maximum(), 0);
    QCoreApplication::processEvents();
    QVERIFY(bar->maximum() > 900);
    QCOMPARE(bar->value(), bar->maximum());

    bar->setValue(10);
    Fill(pane, 10);
    pane.Flush();
    QCOMPARE(bar->value(), 10);
    QCOMPARE(pane.LineCount(), std::size_t{1010});
  }

  void horizontalRangeCoversTheLongestLine() {
    LogPane pane;
    pane.resize(200, 100);
    pane.show();
    pane.AppendLine(QStringLiteral("short"));
    pane.Flush();
    QCOMPARE(pane.horizontalScrollBar()->maximum(), 0);
    const QString longLine(400, QLatin1Char('x'));
    pane.AppendLine(longLine);
    pane.Flush();
    QVERIFY(pane.horizontalScrollBar()->maximum() + pane.viewport()->width() >=
            pane.fontMetrics().horizontalAdvance(longLine));
  }

  void selectsLinesWithTheMouseAndCopiesThem() {
    LogPane pane;
    pane.resize(300, 200);
    pane.show();
    Fill(pane, 5);
    pane.Flush();
    QCOMPARE(pane.SelectedText(), QString());
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, PointOfLine(pane, 1));
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, Qt::ShiftModifier, PointOfLine(pane, 3));
    QCOMPARE(pane.SelectedText(), QStringLiteral("line 1\nline 2\nline 3"));
    QTest::keyClick(&pane, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("line 1\nline 2\nline 3"));
    QTest::keyClick(&pane, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(pane.SelectedText(), pane.Text());
    pane.Clear();
    QCOMPARE(pane.SelectedText(), QString());
  }

  // The keys move a current line, which Return opens; Shift extends the selection from where
  // it began; the current line stays in view.
  void theKeysMoveTheCurrentLine() {
    LogPane pane;
    pane.resize(300, 200);
    pane.show();
    Fill(pane, 100);
    pane.Flush();
    std::vector<std::size_t> opened;
    connect(&pane, &LogPane::lineActivated, [&](std::size_t line) { opened.push_back(line); });
    // The first press takes the first line in view (the pane follows the end as lines come).
    const auto top = static_cast<std::size_t>(pane.verticalScrollBar()->value());
    QVERIFY(top > 0);
    QTest::keyClick(&pane, Qt::Key_Down);
    QCOMPARE(pane.CurrentLine(), top);
    const struct {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      std::size_t current;
      QString selected;
    } steps[] = {
        {Qt::Key_Home, {}, 0, "line 0"},
        {Qt::Key_Down, {}, 1, "line 1"},
        {Qt::Key_Down, Qt::ShiftModifier, 2, "line 1\nline 2"},
        {Qt::Key_Up, Qt::ShiftModifier, 1, "line 1"},
        {Qt::Key_End, {}, 99, "line 99"},
        {Qt::Key_Up, Qt::ShiftModifier, 98, "line 98\nline 99"},
        {Qt::Key_Home, {}, 0, "line 0"},
    };
    for (const auto& step : steps) {
      QTest::keyClick(&pane, step.key, step.modifiers);
      QCOMPARE(pane.CurrentLine(), step.current);
      QCOMPARE(pane.SelectedText(), step.selected);
    }
    QTest::keyClick(&pane, Qt::Key_PageDown);
    const std::size_t paged = pane.CurrentLine();
    QVERIFY(paged > 3);
    QTest::keyClick(&pane, Qt::Key_End);
    QCOMPARE(static_cast<std::size_t>(pane.verticalScrollBar()->value() +
                                      pane.viewport()->height() / pane.fontMetrics().lineSpacing()),
             std::size_t{100});
    QTest::keyClick(&pane, Qt::Key_Up);
    QTest::keyClick(&pane, Qt::Key_Return);
    QCOMPARE(opened, std::vector<std::size_t>{98});
  }

  // Where no file can be made (neither in the cache folder nor in the temporary one), the
  // store keeps its lines in memory, and reads them back as from a file.
  void withoutAFileTheStoreKeepsLinesInMemory() {
    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", "/proc/no-such-folder");
    LogStore store("/proc/no-such-folder");
    qputenv("TMPDIR", tmpdir);
    QVERIFY(!store.InFile());
    store.Append("Поиск...");
    store.AppendChange("/s/a.htm", "/s/a.htm", "удален <b>", 0, ProcedureId::kSpan);
    store.AppendChange("/s/b.htm", "/s/b.htm", "удален <i>", 3, ProcedureId::kFont);
    QCOMPARE(store.LineCount(), std::size_t{3});
    QCOMPARE(store.Text(2), std::string("/s/b.htm удален <i>"));
    const std::optional<LogStore::Change> change = store.ChangeAt(2);
    QVERIFY(change && change->page == "/s/b.htm" && change->rank == 3 &&
            change->procedure == ProcedureId::kFont);
    QVERIFY(!store.ChangeAt(0));
  }

  // A disk that fills up (here a limit on file sizes) loses no line: what the file cannot take
  // waits in memory and reads back from there.
  void aFullDiskLosesNoLine() {
    const auto page = [](int i) { return "/site/p" + std::to_string(i / 50) + ".htm"; };
    const auto change = [](int i) { return "удален <span> [" + std::to_string(i) + "]"; };
    const auto text = [&](int i) { return page(i) + " " + change(i); };
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit before = limit;
    limit.rlim_cur = 200'000;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    LogStore store(QDir::temp().filePath("varnow-test-full").toStdString());
    constexpr int kLines = 40'000;  // about 1 MB of records
    for (int i = 0; i < kLines; ++i) {
      store.AppendChange(page(i), page(i), change(i), i % 50, ProcedureId::kSpan);
    }
    const std::vector<LogStore::Line> lines = store.Lines(0, kLines);
    ::setrlimit(RLIMIT_FSIZE, &before);
    QVERIFY(store.InFile());
    QCOMPARE(lines.size(), std::size_t{kLines});
    for (int i = 0; i < kLines; ++i) {
      QCOMPARE(lines[static_cast<std::size_t>(i)].text, text(i));
    }
    QCOMPARE(store.ChangeAt(kLines - 1)->page,
             "/site/p" + std::to_string((kLines - 1) / 50) + ".htm");
    QDir(QDir::temp().filePath("varnow-test-full")).removeRecursively();
  }

  // A run of five million lines, filled into the pane's store as a run's thread fills it:
  // the pane shows the right lines anywhere, tells each change's page and rank, copies a
  // selection exactly, cuts a copy of everything at the limit on a whole line, and its index
  // stays small.
  void fiveMillionLines() {
    constexpr std::size_t kLines = 5'000'000;
    constexpr std::size_t kPerPage = 997;  // pages straddle the index's steps
    // Line i: the change of rank i % kPerPage of page i / kPerPage; every page's last line
    // reports no change.
    const auto page = [](std::size_t i) {
      return "/site/p" + std::to_string(i / kPerPage) + ".htm";
    };
    const auto text = [&page](std::size_t i) {
      return (i % kPerPage == kPerPage - 1 ? std::string("Пропущен ")
                                           : page(i) + " удален <span> [") +
             std::to_string(i) + "]";
    };
    const QString storeFolder = QDir::temp().filePath(QStringLiteral("varnow-test-store"));
    LogPane pane(nullptr, storeFolder.toStdString());
    QVERIFY(pane.Store().InFile());
    pane.resize(500, 300);
    pane.show();
    LogStore& store = pane.Store();
    for (std::size_t i = 0; i < kLines; ++i) {
      if (i % kPerPage == kPerPage - 1) {
        store.Append(text(i));
      } else {
        store.AppendChange(page(i), page(i), "удален <span> [" + std::to_string(i) + "]",
                           i % kPerPage, ProcedureId::kSpan);
      }
    }
    pane.LinesAdded();
    QTRY_COMPARE(pane.verticalScrollBar()->maximum() + pane.verticalScrollBar()->pageStep(),
                 static_cast<int>(kLines));
    QVERIFY2(store.IndexBytes() < 4'000'000, qPrintable(QString::number(store.IndexBytes())));

    for (const std::size_t line : {std::size_t{0}, std::size_t{63}, std::size_t{64}, kPerPage - 1,
                                   kPerPage, kLines / 2, kLines - 1}) {
      QCOMPARE(pane.Line(line), QString::fromStdString(text(line)));
      const std::optional<LogPane::Change> change = pane.ChangeAt(line);
      QCOMPARE(change.has_value(), line % kPerPage != kPerPage - 1);
      if (change) {
        QCOMPARE(change->page, page(line));
        QCOMPARE(change->rank, line % kPerPage);
        QVERIFY(change->procedure == ProcedureId::kSpan);
      }
    }

    // The middle in view, across a page's end: a click and a shift-click select, Ctrl+C
    // copies, Return opens.
    constexpr std::size_t kMiddle = kPerPage * (kLines / 2 / kPerPage) - 2;
    pane.verticalScrollBar()->setValue(static_cast<int>(kMiddle));
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, PointOfLine(pane, 0));
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, Qt::ShiftModifier, PointOfLine(pane, 3));
    QTest::keyClick(&pane, Qt::Key_C, Qt::ControlModifier);
    QStringList expected;
    for (std::size_t i = kMiddle; i < kMiddle + 4; ++i) {
      expected << QString::fromStdString(text(i));
    }
    QCOMPARE(QApplication::clipboard()->text(), expected.join('\n'));
    std::vector<std::size_t> opened;
    connect(&pane, &LogPane::lineActivated, [&](std::size_t line) { opened.push_back(line); });
    QTest::keyClick(&pane, Qt::Key_Return);
    QCOMPARE(opened, std::vector<std::size_t>{kMiddle + 3});

    // Everything: more than the clipboard takes, cut after the last whole line that fits.
    std::vector<std::pair<std::size_t, std::size_t>> limited;
    connect(&pane, &LogPane::copyLimited, [&](std::size_t copied, std::size_t selected) {
      limited.emplace_back(copied, selected);
    });
    QTest::keyClick(&pane, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&pane, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(limited.size(), std::size_t{1});
    const auto [copied, selected] = limited.front();
    QCOMPARE(selected, kLines);
    const QString all = QApplication::clipboard()->text();
    QCOMPARE(static_cast<std::size_t>(all.count('\n')) + 1, copied);
    QVERIFY(static_cast<std::size_t>(all.toUtf8().size()) <= LogPane::kCopyLimitBytes);
    std::string copiedLines;
    for (std::size_t i = 0; i < copied; ++i) {
      copiedLines += text(i) + (i + 1 < copied ? "\n" : "");
    }
    QVERIFY(all.toStdString() == copiedLines);

    // A new run: the store starts empty, and so does the view.
    store.Clear();
    pane.LinesAdded();
    QTRY_COMPARE(pane.verticalScrollBar()->maximum(), 0);
    QVERIFY(!pane.HasSelection());
    QDir(storeFolder).removeRecursively();
  }
};

}  // namespace varnow::test

QTEST_MAIN(varnow::test::TestLogPane)
#include "TestLogPane.moc"
