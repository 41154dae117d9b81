// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QCheckBox>
#include <QCompleter>
#include <QDir>
#include <QDirIterator>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <random>

#include "AboutBox.h"
#include "ApplicationTitle.h"
#include "ChangeViewer.h"
#include "GuiTestSupport.h"
#include "LogPane.h"
#include "MainWindow.h"
#include "Program.h"
#include "SettingsDialog.h"
#include "StatusPanel.h"
#include "SummaryPanel.h"
#include "support/RandomHtml.h"

namespace varnow::test {

// The main window with the whole program behind it, over a small site in a temporary folder.
class TestMainWindow : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString site_, out_;
  RecordedMessages messages_;
  std::unique_ptr<Program> program_;

  MainWindow& Main() { return program_->Window(); }
  QToolButton* Button(const char* name) { return Find<QToolButton>(&Main(), name); }
  QToolButton* ChooseFolderButton() { return Button("chooseFolderButton"); }
  QToolButton* ExecuteButton() { return Button("executeButton"); }
  QToolButton* StopButton() { return Button("stopButton"); }
  QLineEdit* Folder() { return Find<QLineEdit>(&Main(), "folderField"); }
  LogPane* Log() { return Find<LogPane>(&Main(), "logPane"); }
  StatusPanel* Status() { return Find<StatusPanel>(&Main(), "statusPanel"); }
  QCheckBox* Switch(const char* name) { return Find<QCheckBox>(&program_->Options(), name); }
  // Where the run writes the copy of a file of the site.
  QString Output(const QString& relative) { return out_ + site_ + QLatin1Char('/') + relative; }
  QString LastLine() { return Log()->Line(Log()->LineCount() - 1); }
  QStringList LogLines() { return Log()->Text().split(QLatin1Char('\n')); }

  // Sets the output folder as the user does: in the settings dialog, with OK.
  void SetStoreDir(const QString& folder) {
    Find<QLineEdit>(&program_->Options(), "outputFolderField")->setText(folder);
    Find<QPushButton>(&program_->Options(), "okButton")->click();
  }
  // Has the run, at its first pump (where `when`, asked on the run's thread, holds), wait while
  // `during` runs on the window's thread.
  void HoldAtFirstPump(
      std::function<void()> during, std::function<bool()> when = [] { return true; }) {
    auto held = std::make_shared<std::atomic<bool>>(false);
    Main().SetPumpHook([this, held, during = std::move(during), when = std::move(when)] {
      if (!*held && when() && !held->exchange(true)) {
        QMetaObject::invokeMethod(this, during, Qt::BlockingQueuedConnection);
      }
    });
  }
  // Every file below `root` but a run's manifest (which holds the copies' times), by its path
  // below it, with its bytes.
  static std::map<QString, QByteArray> Tree(const QString& root) {
    std::map<QString, QByteArray> files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
      const QString path = it.next();
      if (path.endsWith("/.varnow-manifest")) {
        continue;
      }
      files[path.mid(root.size())] = ReadFile(path);
    }
    return files;
  }
  // A site of `pages` random pages in four folders, with every switch on.
  void RandomSite(int pages) {
    std::mt19937_64 rng(11);
    for (int i = 0; i < pages; ++i) {
      const std::string page = test::RandomHtml(rng, test::RandomDocumentSize(rng));
      WriteFile(site_ + QStringLiteral("/f%1/p%2.htm").arg(i % 4).arg(i),
                QByteArray(page.data(), static_cast<qsizetype>(page.size())));
    }
    for (QCheckBox* box : program_->Options().findChildren<QCheckBox*>()) {
      box->setChecked(true);
    }
  }
  // Waits until the window's run (and any run it led to) has ended.
  bool RunEnds() {
    const bool ended = test::RunEnds(Main());
    Main().SetPumpHook(nullptr);
    return ended;
  }
  // Presses Execute and waits for the run to end; `during` runs while the run waits at its
  // first pump.
  void Execute(std::function<void()> during = {}) {
    if (during) {
      HoldAtFirstPump(std::move(during));
    }
    ExecuteButton()->click();
    QVERIFY(RunEnds());
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    const QString base = dir_.filePath(QTest::currentTestFunction());
    site_ = base + "/site";
    out_ = base + "/out";
    WriteFile(site_ + "/index.htm", "<p>a<script>x()</script>b</p>");
    WriteFile(site_ + "/sub/page.html", "<script src=q></script>");
    WriteFile(site_ + "/sub/notes.txt", "<script>not a page</script>");
    messages_ = {};
    program_ = std::make_unique<Program>((base + "/varnow.ini").toStdString(), messages_.Sink());
    Main().show();
    SetStoreDir(out_);
    Folder()->setText(site_);
  }
  void cleanup() { program_.reset(); }

  void startState() {
    QCOMPARE(Main().windowTitle(), QStringLiteral("Varnow [0.9.9]"));
    QCOMPARE(ApplicationTitle(), QStringLiteral("Varnow [0.9.9]"));
    // Qt's display name would end every window's title: it stays unset.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    program_ =
        std::make_unique<Program>(dir_.filePath("fresh.ini").toStdString(), messages_.Sink());
    QCOMPARE(Folder()->text(), QDir::toNativeSeparators(QDir::homePath()));
    QCOMPARE(Log()->Text(),
             QStringLiteral("Программа Varnow предназначена для очистки *.htm и *.html файлов.\n\n"
                            "Иногда тэги <script></script> и <noscript></noscript> служат для "
                            "организации меню. Поэтому если вы обработайте такой\n"
                            "документ, то все испортите. "));
    QCOMPARE(Status()->Text(), QStringLiteral("Готово"));
    QVERIFY(ChooseFolderButton()->isEnabled());
    QVERIFY(ExecuteButton()->isEnabled());
    QVERIFY(!StopButton()->isEnabled());
    QVERIFY(ExecuteButton()->text().isEmpty() && !ExecuteButton()->icon().isNull());
    // The designed size at first, and the smallest; the window grows, the log pane with it.
    QCOMPARE(Main().size(), QSize(717, 476));
    QCOMPARE(Main().minimumSize(), QSize(717, 476));
    QVERIFY(Main().maximumSize().width() > 717 && Main().maximumSize().height() > 476);
    Main().show();
    QVERIFY(QTest::qWaitForWindowExposed(&Main()));
    // The greeting wraps at the pane's width: its long third line needs no sideways scroll.
    QVERIFY(Log()->fontMetrics().horizontalAdvance(Log()->Line(2)) > Log()->viewport()->width());
    QCOMPARE(Log()->horizontalScrollBar()->maximum(), 0);
    // Focus in the pane shows before any line is current.
    Log()->setFocus();
    QVERIFY(Log()->hasFocus() && !Log()->HasSelection());
    const QImage focused = Log()->viewport()->grab().toImage();
    Folder()->setFocus();
    QVERIFY(Log()->viewport()->grab().toImage() != focused);
    const int narrow = Log()->width();
    Main().resize(900, 600);
    QCOMPARE(Main().size(), QSize(900, 600));
    QTRY_COMPARE(Log()->width(), narrow + 900 - 717);
    QStringList menu;
    for (QAction* top : Main().menuBar()->actions()) {
      menu << QString(top->text()).remove('&');
      for (QAction* item : top->menu()->actions()) {
        menu << (item->isSeparator() ? QStringLiteral("-") : QString(item->text()).remove('&'));
      }
    }
    QCOMPARE(menu, (QStringList{"Файл", "Настройки", "Сводка", "Открыть папку результатов",
                                "Открыть log.txt", "-", "Выход", "?", "О программе..."}));
    QVERIFY(!Find<QAction>(&Main(), "openResultsAction")->isEnabled());
    QVERIFY(!Find<QAction>(&Main(), "openLogAction")->isEnabled());
    // Every item has its underlined letter, the menus too; and the keys of the desktop.
    for (QAction* top : Main().menuBar()->actions()) {
      QVERIFY2(top->text().contains('&'), qPrintable(top->text()));
      for (QAction* item : top->menu()->actions()) {
        QVERIFY2(item->isSeparator() || item->text().contains('&'), qPrintable(item->text()));
      }
    }
    const std::pair<const char*, QKeySequence> keys[] = {
        {"settingsAction", QKeySequence(Qt::CTRL | Qt::Key_Comma)},
        {"exitAction", QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {"aboutAction", QKeySequence(Qt::Key_F1)},
        {"executeAction", QKeySequence(Qt::Key_F5)},
    };
    for (const auto& [name, key] : keys) {
      QCOMPARE(Find<QAction>(&Main(), name)->shortcut(), key);
    }
    QVERIFY(messages_.errors.isEmpty());
  }

  void executeCleansTheSite() {
    Switch("scriptBox")->setChecked(true);
    Execute();
    QVERIFY(messages_.errors.isEmpty());
    // Its results open with the desktop's own handler: the folder of the copies and log.txt.
    QList<QUrl> opened;
    Main().SetUrlOpener([&](const QUrl& url) {
      opened << url;
      return true;
    });
    Find<QAction>(&Main(), "openResultsAction")->trigger();
    Find<QAction>(&Main(), "openLogAction")->trigger();
    QCOMPARE(opened, (QList<QUrl>{QUrl::fromLocalFile(out_ + site_),
                                  QUrl::fromLocalFile(Output("log.txt"))}));
    QCOMPARE(ReadFile(Output("index.htm")), QByteArray("<p>ab</p>"));
    QCOMPARE(ReadFile(Output("sub/page.html")), QByteArray());
    QVERIFY(QFile::exists(Output("sub/page.html")));
    QVERIFY(!QFile::exists(Output("sub/notes.txt")));

    QStringList removals;
    for (std::size_t i = 0; i + 2 < Log()->LineCount(); ++i) {
      removals << Log()->Line(i);
    }
    removals.sort();
    QCOMPARE(removals, (QStringList{site_ + "/index.htm удален <script> [5]",
                                    site_ + "/sub/page.html удален <script> [1]"}));
    const QString logFile = out_ + site_ + "/log.txt";
    QCOMPARE(LastLine(), "Лог сохранен в " + logFile);
    QVERIFY(Log()->horizontalScrollBar()->maximum() > 0);  // a run's lines stay one row each
    QVERIFY(Status()->Text().startsWith("Готово. Обработано 2 файлов. Время: "));
    QVERIFY(!Status()->ProgressBar()->isVisible());
    QVERIFY(ExecuteButton()->isEnabled());
    QVERIFY(!StopButton()->isEnabled());

    const QStringList saved = SettingsText(logFile).split("\r\n");
    QCOMPARE(saved.value(0), QStringLiteral("Файл сгенерирован программой Varnow 0.9.9"));
    QCOMPARE(saved.value(2), QStringLiteral("Файлов обработано 2"));
    QVERIFY(saved.contains(site_ + "/index.htm удален <script> [5]"));
  }

  // "Проверить" (Shift+F5) runs the whole batch into the log pane and the summary and writes
  // nothing; "Только измененные", kept in the state file, has Execute skip the pages the last
  // run left as they are.
  void checkWritesNothingAndChangedOnlySkips() {
    const QString base = dir_.filePath(QTest::currentTestFunction());
    const QString state = base + "/state.ini";
    program_.reset();
    program_ =
        std::make_unique<Program>((base + "/varnow.ini").toStdString(), messages_.Sink(), state);
    Main().show();
    SetStoreDir(out_);
    Folder()->setText(site_);
    Switch("scriptBox")->setChecked(true);
    Main().activateWindow();  // shortcuts reach the active window
    QVERIFY(QTest::qWaitForWindowActive(&Main()));
    QTest::keyClick(&Main(), Qt::Key_F5, Qt::ShiftModifier);
    QVERIFY(RunEnds());
    QVERIFY(messages_.errors.isEmpty());
    QVERIFY(!QFileInfo::exists(out_));
    QVERIFY(LogLines().contains(site_ + "/index.htm удален <script> [5]"));
    QCOMPARE(LastLine(), QStringLiteral("Проверка: ничего не записано"));
    QVERIFY(!Find<QAction>(&Main(), "openLogAction")->isEnabled());
    QVERIFY(Main().Summary()->isVisible());

    auto* changedOnly = Find<QCheckBox>(&Main(), "changedOnlyBox");
    changedOnly->setChecked(true);
    Execute();
    QVERIFY(LogLines().contains(site_ + "/index.htm удален <script> [5]"));
    Execute();
    QVERIFY(LogLines().contains(site_ + "/index.htm не изменен"));
    QVERIFY(LogLines().contains(site_ + "/sub/page.html не изменен"));
    QVERIFY(Status()->Text().contains(QStringLiteral("Не изменено: 2")));
    QVERIFY2(Main().Summary()->Totals().contains(QStringLiteral("Как после прошлого запуска: 2.")),
             qPrintable(Main().Summary()->Totals()));

    program_.reset();
    program_ =
        std::make_unique<Program>((base + "/varnow.ini").toStdString(), messages_.Sink(), state);
    QVERIFY(Find<QCheckBox>(&Main(), "changedOnlyBox")->isChecked());
  }

  // A page named by a cp1251 system: the pane shows its name as log.txt writes it, each byte
  // that is not UTF-8 as the reference of the lone surrogate standing for it.
  void nameBytesThatAreNotUtf8ShowAsLogTxtWritesThem() {
    // Raw bytes: a QString cannot name such a file (nor remove it with its folder).
    const std::string page = site_.toStdString() + "/sub/\xE0\xE1.htm";
    const std::string copy = out_.toStdString() + page;
    std::ofstream(page) << "<script></script>";
    Switch("scriptBox")->setChecked(true);
    Execute();
    std::remove(page.c_str());
    std::remove(copy.c_str());
    QVERIFY(LogLines().contains(site_ + "/sub/&#56544;&#56545;.htm удален <script> [1]"));
  }

  // Execute's image is as clear as the others', pressable or not: a dark outline around a
  // green (or, disabled, grey) fill.
  void executeIconReadsAsStart() {
    const QIcon icon = ExecuteButton()->icon();
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
      const QImage image = icon.pixmap(QSize(16, 16), mode).toImage();
      int darkest = 255;
      bool green = false;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          const QColor c = image.pixelColor(x, y);
          if (c.alpha() < 200) {
            continue;
          }
          darkest = std::min(darkest, c.lightness());
          green = green || (c.green() > c.red() + 60 && c.green() > c.blue() + 60);
        }
      }
      QVERIFY2(darkest < (mode == QIcon::Normal ? 0x60 : 0x80),
               qPrintable(QString::number(darkest)));
      QCOMPARE(green, mode == QIcon::Normal);
    }
  }

  // A run from the keyboard: F5, or Enter in the folder field; Esc stops it. The tips say so.
  // Ctrl+L and F6 put the focus in the folder field, its text selected.
  void ctrlLAndF6GoToTheFolderField() {
    QLineEdit* field = Folder();
    Main().activateWindow();  // shortcuts reach the active window
    QVERIFY(QTest::qWaitForWindowActive(&Main()));
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::Key_F6)}) {
      Find<QWidget>(&Main(), "logPane")->setFocus();
      QVERIFY(!field->hasFocus());
      QTest::keySequence(&Main(), keys);
      QVERIFY(field->hasFocus());
      QCOMPARE(field->selectedText(), field->text());
    }
  }

  void keyboardStartsAndStopsARun() {
    Switch("scriptBox")->setChecked(true);
    QVERIFY(ExecuteButton()->toolTip().contains("F5"));
    QVERIFY(StopButton()->toolTip().contains("Esc"));
    QVERIFY(ExecuteButton()->focusPolicy() & Qt::TabFocus);
    Main().activateWindow();  // shortcuts reach the active window
    QVERIFY(QTest::qWaitForWindowActive(&Main()));
    QTest::keyClick(&Main(), Qt::Key_F5);
    QVERIFY(RunEnds());
    QCOMPARE(ReadFile(Output("index.htm")), QByteArray("<p>ab</p>"));

    QFile::remove(Output("index.htm"));
    Folder()->setFocus();
    QTest::keyClick(Folder(), Qt::Key_Return);
    QVERIFY(RunEnds());
    QCOMPARE(ReadFile(Output("index.htm")), QByteArray("<p>ab</p>"));

    QFile::remove(Output("index.htm"));
    bool pressed = false;
    HoldAtFirstPump([&] {
      QTest::keyClick(&Main(), Qt::Key_Escape);
      pressed = true;
    });
    QTest::keyClick(&Main(), Qt::Key_F5);
    QVERIFY(RunEnds());
    QVERIFY(pressed);
    QVERIFY(LogLines().contains("Прервано пользователем"));
    QVERIFY(!QFile::exists(Output("index.htm")));
  }

  // A folder dropped on the window fills the folder field with its path; a page dropped gives
  // its folder; what is no local file, or a file that is no page, is refused, the status bar
  // saying why for a moment. The field itself takes no drop as text.
  void aDroppedFolderFillsTheField() {
    const struct {
      QList<QUrl> urls;
      QString field;  // empty: refused, the field as it was
    } drops[] = {
        {{QUrl::fromLocalFile(site_ + "/sub")}, site_ + "/sub"},
        {{QUrl::fromLocalFile(site_ + "/index.htm")}, site_},
        {{QUrl("https://example.org/"), QUrl::fromLocalFile(site_)}, site_},
        {{QUrl("https://example.org/")}, {}},
        {{QUrl::fromLocalFile(site_ + "/sub/notes.txt")}, {}},
    };
    QVERIFY(!Folder()->acceptDrops());
    for (const auto& drop : drops) {
      Folder()->setText(QStringLiteral("before"));
      QMimeData data;
      data.setUrls(drop.urls);
      QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(&Main(), &enter);
      QCOMPARE(enter.isAccepted(), !drop.field.isEmpty());
      QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(&Main(), &dropped);
      QCOMPARE(Folder()->text(), drop.field.isEmpty() ? QStringLiteral("before") : drop.field);
    }
    QCOMPARE(Status()->Text(),
             QStringLiteral("Сюда перетаскивают папку или страницу *.htm, *.html, а не notes.txt"));
    QTRY_COMPARE_WITH_TIMEOUT(Status()->Text(), QStringLiteral("Готово"), 6000);
  }

  // The keys reach the dialogs with an output folder set: Ctrl+, opens the settings with the
  // typing in the output folder's field, F1 the about box.
  void keysOpenTheDialogs() {
    const std::pair<QKeySequence, QWidget*> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Comma), static_cast<QWidget*>(&program_->Options())},
        {QKeySequence(Qt::Key_F1), static_cast<QWidget*>(&program_->About())},
    };
    for (const auto& [key, expected] : keys) {
      Main().activateWindow();  // shortcuts reach the active window
      QVERIFY(QTest::qWaitForWindowActive(&Main()));
      QWidget* opened = nullptr;
      QString focus;
      WhenModalShown([&](QWidget* dialog) {
        opened = dialog;
        focus = dialog->focusWidget() != nullptr ? dialog->focusWidget()->objectName() : "";
        dialog->close();
      });
      QTest::keySequence(&Main(), key);
      QCOMPARE(opened, expected);
      if (expected == &program_->Options()) {
        QCOMPARE(focus, QStringLiteral("outputFolderField"));
      }
    }
  }

  // No output folder yet: the message offers the settings dialog, and the window is left as
  // it was.
  void firstRunWithoutAnOutputFolderOffersTheSettings() {
    program_ =
        std::make_unique<Program>(dir_.filePath("first.ini").toStdString(), messages_.Sink());
    Main().show();
    const QString intro = Log()->Text();
    Folder()->setText(site_);
    Execute();
    QCOMPARE(messages_.offers, QStringList{"Не указан каталог сохраненных файлов. | Настройки..."});
    QCOMPARE(Log()->Text(), intro);
    QVERIFY(messages_.errors.isEmpty());

    messages_.acceptOffers = true;
    bool opened = false;
    WhenModalShown([&](QWidget* dialog) {
      opened = dialog == &program_->Options();
      dialog->close();
    });
    Execute();
    QVERIFY(opened);
  }

  // The status text and the progress bar, as they stand at every pump of a run.
  void showsProgressWhileRunning() {
    // Every file has a script, so the run pumps while it cleans each one.
    WriteFile(site_ + "/sub/third.htm", "<script></script>");
    Switch("scriptBox")->setChecked(true);
    Main().SetJobs(1);  // one thread pumps while it cleans, with the page's status shown
    Main().SetStatusInterval(0);
    QStringList seen;
    // Looked at on the window's thread at every pump of the run, the run waiting meanwhile,
    // after all it had reported before.
    const auto look = [&] {
      const QProgressBar* bar = Status()->ProgressBar();
      QString state = Status()->Text();
      if (bar->isVisible()) {
        // The count stands beside the bar, which draws no text over its fill.
        QVERIFY(!bar->isTextVisible());
        QCOMPARE(Status()->CountText(),
                 QStringLiteral("%1 / %2").arg(bar->value()).arg(bar->maximum()));
        state += QStringLiteral(" %1/%2").arg(bar->value()).arg(bar->maximum());
      }
      if (seen.isEmpty() || seen.back() != state) {
        seen << state;
      }
    };
    Main().SetPumpHook(
        [&] { QMetaObject::invokeMethod(this, look, Qt::BlockingQueuedConnection); });
    ExecuteButton()->click();
    QVERIFY(RunEnds());
    QVERIFY2(seen.contains("Обработка файла 0 из 3 0/3"), qPrintable(seen.join(" | ")));
    QVERIFY2(seen.contains("Обработка файла 2 из 3 2/3"), qPrintable(seen.join(" | ")));
    QVERIFY(!Status()->ProgressBar()->isVisible());
  }

  // Stop enables Execute at once; Stop itself stays enabled until the run has ended.
  void stopFromInsideTheRun() {
    bool stopped = false;
    Execute([&] {
      QVERIFY(!ExecuteButton()->isEnabled());
      QVERIFY(StopButton()->isEnabled());
      StopButton()->click();
      QVERIFY(ExecuteButton()->isEnabled());
      QVERIFY(StopButton()->isEnabled());
      stopped = true;
    });
    QVERIFY(stopped);
    QVERIFY(ExecuteButton()->isEnabled());
    QVERIFY(!StopButton()->isEnabled());
    QVERIFY(!Main().Run().StopFlag());
    QVERIFY(LogLines().contains("Прервано пользователем"));
    QVERIFY(Status()->Text().startsWith("Готово. Обработано 0 файлов."));
    QVERIFY(!QFile::exists(Output("index.htm")));
    QVERIFY(QFile::exists(out_ + site_ + "/log.txt"));
  }

  // Execute pressed while the stopped run is still ending starts no second run inside it:
  // the new run begins once the old one is over.
  void executeWhileAStoppedRunEnds() {
    Execute([&] {
      StopButton()->click();
      ExecuteButton()->click();
      QVERIFY(!ExecuteButton()->isEnabled());  // the press is taken
      QVERIFY(Main().Run().Running());
    });
    QVERIFY(messages_.errors.isEmpty());
    QVERIFY(Status()->Text().startsWith("Готово. Обработано 2 файлов."));
    QVERIFY(!LogLines().contains("Прервано пользователем"));
    QVERIFY(QFile::exists(Output("index.htm")));
    QVERIFY(ExecuteButton()->isEnabled());
    QVERIFY(!StopButton()->isEnabled());
  }

  // After an error the window is idle and the next run works.
  void anErrorLeavesTheWindowReady() {
    Folder()->setText(site_ + "/missing");
    Execute();
    QCOMPARE(messages_.errors.size(), 1);
    // Named in words of the interface, the folder with them; log.txt keeps its stored text.
    QCOMPARE(messages_.errors, QStringList{"Папка не найдена: " + site_ + "/missing"});
    QCOMPARE(Status()->Text(), messages_.errors[0]);  // not "Поиск..."
    // A text longer than the status bar is elided there, whole in its tool tip.
    Status()->SetText(messages_.errors[0].repeated(8));
    const auto* shown = Find<QLabel>(Status(), "StatusText");
    QVERIFY(shown->fontMetrics().horizontalAdvance(shown->text()) <= shown->width());
    QCOMPARE(shown->toolTip(), messages_.errors[0].repeated(8));
    QCOMPARE(Main().size(), QSize(717, 476));
    QVERIFY(LogLines().contains("File not found"));
    QVERIFY(ExecuteButton()->isEnabled());
    QVERIFY(!StopButton()->isEnabled());
    QVERIFY(!Main().Run().StopFlag());
    QVERIFY(!Main().Run().Running());
    QVERIFY(!Status()->ProgressBar()->isVisible());
    QVERIFY(!Main().Summary()->isVisible());  // no page found: no summary to stand beside

    // Stop pressed before the error must not stop the next run either.
    Folder()->setText(site_);
    Execute();
    QVERIFY(Status()->Text().startsWith("Готово. Обработано 2 файлов."));
    QCOMPARE(messages_.errors.size(), 1);
    QVERIFY(Main().Summary() != nullptr && Main().Summary()->isVisible());
  }

  // The switches saved in a dialog during a run count from the next page taken: here, with the
  // run held at its search, every page.
  void settingsDialogDuringARun() {
    Switch("scriptBox")->setChecked(true);
    bool shown = false;
    Execute([&] {
      WhenModalShown([&](QWidget* dialog) {
        shown = dialog == &program_->Options();
        Switch("scriptBox")->setChecked(false);
        Find<QPushButton>(dialog, "okButton")->click();
      });
      Find<QAction>(&Main(), "settingsAction")->trigger();
      QVERIFY(Main().Run().Running());
    });
    QVERIFY(shown);
    QCOMPARE(ReadFile(Output("index.htm")), QByteArray("<p>a<script>x()</script>b</p>"));
  }

  // A dialog opened during a run does not hold it: the run writes every page and ends while
  // the settings dialog, then the about box, stand open.
  void dialogsDuringARunDoNotPauseIt() {
    Switch("scriptBox")->setChecked(true);
    for (const char* action : {"settingsAction", "aboutAction"}) {
      QFile::remove(Output("index.htm"));
      bool endedWhileOpen = false;
      HoldAtFirstPump([&] {
        // Opened once the run goes on again.
        QTimer::singleShot(0, this, [&] {
          WhenModalShown([&](QWidget* dialog) {
            QTRY_VERIFY_WITH_TIMEOUT(!Main().Running(), 30000);
            endedWhileOpen = dialog->isVisible() && QFile::exists(Output("index.htm"));
            dialog->close();
          });
          Find<QAction>(&Main(), action)->trigger();
        });
      });
      ExecuteButton()->click();
      QTRY_VERIFY_WITH_TIMEOUT(endedWhileOpen, 30000);
      QVERIFY(RunEnds());
      QCOMPARE(ReadFile(Output("index.htm")), QByteArray("<p>ab</p>"));
    }
  }

  // The window cleans on every core: what four threads leave (the copies, the pane's lines,
  // log.txt past its header's time lines) is what one thread leaves.
  void fourThreadsLeaveWhatOneLeaves() {
    RandomSite(40);
    struct Result {
      std::map<QString, QByteArray> tree;
      QString pane;
      QStringList log;
    };
    std::vector<Result> results;
    for (const std::size_t jobs : {1, 4}) {
      QDir(out_).removeRecursively();
      Main().SetJobs(jobs);
      Execute();
      QVERIFY(messages_.errors.isEmpty());
      QStringList log = SettingsText(Output("log.txt")).split("\r\n");
      log.erase(log.begin(), log.begin() + 5);  // the header: date, time and elapsed differ
      std::map<QString, QByteArray> tree = Tree(out_);
      tree.erase(site_ + "/log.txt");
      results.push_back({tree, Log()->Text(), log});
    }
    QCOMPARE(results[0].tree.size(), std::size_t{42});  // and the two pages of every test
    QVERIFY(results[0].tree == results[1].tree);
    QCOMPARE(results[0].pane, results[1].pane);
    QCOMPARE(results[0].log, results[1].log);
    QVERIFY(results[0].log.size() > 40);
  }

  // Closing the window during a run stops the run at a page's end: every copy written is
  // whole, log.txt is saved, nothing half made is left; the window closes then.
  void closingAfterSomePagesLeavesWholeCopies() {
    RandomSite(40);
    Main().SetJobs(1);
    Execute();  // what each copy is, whole
    const std::map<QString, QByteArray> whole = Tree(out_);
    QDir(out_).removeRecursively();
    Main().SetJobs(4);
    HoldAtFirstPump([&] { Find<QAction>(&Main(), "exitAction")->trigger(); },
                    [this] { return QFile::exists(Output("f1/p1.htm")); });
    ExecuteButton()->click();
    QVERIFY(RunEnds());
    QVERIFY(!Main().isVisible());
    QVERIFY(LogLines().contains("Прервано пользователем"));
    const std::map<QString, QByteArray> left = Tree(out_);
    QVERIFY(left.count(site_ + "/log.txt") == 1);
    QVERIFY2(left.size() > 2 && left.size() < whole.size(),
             qPrintable(QString::number(left.size())));
    for (const auto& [path, bytes] : left) {
      if (path != site_ + "/log.txt") {
        QVERIFY2(whole.count(path) == 1 && whole.at(path) == bytes, qPrintable(path));
      }
    }
  }

  // Closing the window during a run stops the run; the window closes when it has ended.
  void closingDuringARun() {
    Execute([&] {
      Find<QAction>(&Main(), "exitAction")->trigger();
      QVERIFY(Main().isVisible());
    });
    QVERIFY(!Main().isVisible());
    QVERIFY(LogLines().contains("Прервано пользователем"));
    QVERIFY(QFile::exists(out_ + site_ + "/log.txt"));
  }

  // What the user presses while a run goes on decides what follows its end: S Stop, E Execute,
  // C closing the window.
  void pressesDuringARun() {
    const struct {
      const char* presses;
      bool secondRunCompletes;  // the last run wrote every copy
      bool closed;
    } cases[] = {
        {"S", false, false}, {"SE", true, false},  {"SES", false, false},
        {"C", false, true},  {"SEC", false, true}, {"CE", false, true},
    };
    for (const auto& c : cases) {
      QFile::remove(Output("index.htm"));
      Main().show();
      Execute([&] {
        for (const char* p = c.presses; *p != '\0'; ++p) {
          if (*p == 'S') {
            StopButton()->click();
          } else if (*p == 'E') {
            ExecuteButton()->click();
          } else {
            Find<QAction>(&Main(), "exitAction")->trigger();
          }
        }
      });
      QVERIFY2(QFile::exists(Output("index.htm")) == c.secondRunCompletes, c.presses);
      QVERIFY2(Main().isVisible() == !c.closed, c.presses);
      QVERIFY2(!Main().Run().Running(), c.presses);
      QVERIFY2(ExecuteButton()->isEnabled() && !StopButton()->isEnabled(), c.presses);
    }
  }

  // Execute and Stop have one writer, the window's run state: a run that began just before
  // Stop was pressed never disables Execute again while it ends (it used to, by a queued
  // report of its start arriving after the Stop).
  void stopRightAfterExecuteLeavesExecuteEnabled() {
    Main().show();
    bool executeWhileEnding = false;
    bool stopWhileEnding = false;
    HoldAtFirstPump([&] {
      executeWhileEnding = ExecuteButton()->isEnabled();
      stopWhileEnding = StopButton()->isEnabled();
    });
    ExecuteButton()->click();
    StopButton()->click();
    QVERIFY(RunEnds());
    QVERIFY(executeWhileEnding);
    QVERIFY(stopWhileEnding);
    QVERIFY(ExecuteButton()->isEnabled() && !StopButton()->isEnabled());
  }

  // SIGTERM and SIGHUP end the window as closing it does: the run stops with log.txt saved,
  // and the program's end writes the settings.
  void stopSignalsCloseTheWindow() {
    for (const int sig : {SIGTERM, SIGHUP}) {
      QFile::remove(out_ + site_ + "/log.txt");
      Main().show();
      Execute([&] {
        ::raise(sig);
        QTRY_COMPARE(program_->StopSignal(), sig);  // read by the window, the run waiting
      });
      QTRY_VERIFY(!Main().isVisible());
      QCOMPARE(program_->StopSignal(), sig);
      QVERIFY(LogLines().contains("Прервано пользователем"));
      QVERIFY(QFile::exists(out_ + site_ + "/log.txt"));
    }
    program_.reset();
    QVERIFY(SectionLines(dir_.filePath("stopSignalsCloseTheWindow/varnow.ini"), "Main")
                .contains("StorePatch=" + out_));
  }

  // With a state file the window remembers from one start to the next its size and place, the
  // last folder cleaned (put back in the field) and the ten folders cleaned last (offered as
  // the field is typed in, the last first); "~" in the field is the home folder.
  void remembersItsStateAcrossStarts() {
    const QString base = dir_.filePath(QTest::currentTestFunction());
    const QString state = base + "/state/varnow/state.ini";
    const auto start = [&] {
      program_.reset();
      program_ =
          std::make_unique<Program>((base + "/varnow.ini").toStdString(), messages_.Sink(), state);
      Main().show();
    };
    start();
    for (int i = 0; i < 11; ++i) {
      WriteFile(site_ + QStringLiteral("%1/a.htm").arg(i), "a");
      Folder()->setText(site_ + QString::number(i));
      Execute();
    }
    Folder()->setText(site_ + "/missing");  // not cleaned: not offered again
    Execute();
    QCOMPARE(messages_.errors.size(), 1);
    messages_.errors.clear();
    Folder()->setText(site_);
    Execute();
    Main().resize(820, 530);
    start();
    QCOMPARE(Folder()->text(), site_);
    QCOMPARE(Main().size(), QSize(820, 530));
    const auto* offered = qobject_cast<QStringListModel*>(Folder()->completer()->model());
    QVERIFY(offered != nullptr);
    QStringList expected{site_};
    for (int i = 10; i > 1; --i) {
      expected << site_ + QString::number(i);
    }
    QCOMPARE(offered->stringList(), expected);

    // The change viewer opens at the size it was last closed at.
    const auto viewer = [&] {
      Main().OpenPage((site_ + "/index.htm").toStdString());
      ViewersShown(Main());
      const QList<ChangeViewer*> open = Main().findChildren<ChangeViewer*>();
      return open.isEmpty() ? nullptr : open.back();
    };
    ChangeViewer* first = viewer();
    QVERIFY(first != nullptr);
    first->resize(640, 420);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ChangeViewer* second = viewer();
    QVERIFY(second != nullptr);
    QCOMPARE(second->size(), QSize(640, 420));
    second->close();

    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", base.toUtf8());
    Folder()->setText(QStringLiteral("~/site"));
    Execute();
    qputenv("HOME", home);
    QCOMPARE(Folder()->text(), site_);
    QVERIFY(Status()->Text().startsWith("Готово. Обработано 2 файлов."));
    QVERIFY(messages_.errors.isEmpty());
  }

  // The summary is a panel to the right of the log, never over it: hidden until a run ends,
  // "идет выполнение..." during the next, how a run ended after it (a failed page counted as
  // failed); hidden from the menu or its own button, it stays hidden, from one start to the
  // next, until the menu shows it again.
  void theSummaryStandsBesideTheLog() {
    const QString base = dir_.filePath(QTest::currentTestFunction());
    const QString state = base + "/state.ini";
    const auto start = [&] {
      program_.reset();
      program_ =
          std::make_unique<Program>((base + "/varnow.ini").toStdString(), messages_.Sink(), state);
      Main().show();
      Folder()->setText(site_);
      QVERIFY(QTest::qWaitForWindowExposed(&Main()));
    };
    start();
    SummaryPanel* panel = Main().Summary();
    QAction* menu = Find<QAction>(&Main(), "summaryAction");
    QVERIFY(!panel->isVisible() && !menu->isEnabled());
    Execute([&] { QVERIFY(!panel->isVisible()); });
    QVERIFY(panel->isVisible() && menu->isChecked());
    QCOMPARE(panel->Outcome(), QStringLiteral("Выполнено полностью."));
    QCOMPARE(Main().size(), QSize(717, 476));  // the window keeps its size; the log gives room
    const QRect log = Log()->geometry();
    const QRect beside = panel->geometry();
    QVERIFY2(!log.intersects(beside) && beside.left() > log.right() && log.width() > beside.width(),
             qPrintable(QStringLiteral("%1 %2").arg(log.width()).arg(beside.width())));
    Execute([&] {
      QCOMPARE(panel->Outcome(), QStringLiteral("идет выполнение..."));
      QVERIFY(panel->Totals().isEmpty() && panel->TopPages()->count() == 0);
    });

    WriteFile(base + "/plain", "a file where the output folder would be");
    SetStoreDir(base + "/plain/out");
    Execute();
    QCOMPARE(messages_.errors.size(), 1);
    QVERIFY2(panel->Outcome().startsWith("Прервано ошибкой: Не удалось создать файл " + base +
                                         "/plain/out"),
             qPrintable(panel->Outcome()));
    QVERIFY2(panel->Totals().contains("не записано 1, не достигнуто 1"),
             qPrintable(panel->Totals()));
    SetStoreDir(out_);

    Find<QToolButton>(panel, "hideSummaryButton")->click();
    QVERIFY(!panel->isVisible() && !menu->isChecked());
    Execute();
    QVERIFY(!panel->isVisible());
    start();
    Execute();
    QVERIFY(!Main().Summary()->isVisible());
    Find<QAction>(&Main(), "summaryAction")->trigger();
    QVERIFY(Main().Summary()->isVisible());
    QCOMPARE(Main().Summary()->Outcome(), QStringLiteral("Выполнено полностью."));
  }

  // No program to open the results with: a box names the path, to be copied from it.
  void noDesktopHandlerIsSaid() {
    Execute();
    Main().SetUrlOpener([](const QUrl&) { return false; });
    Find<QAction>(&Main(), "openResultsAction")->trigger();
    Find<QAction>(&Main(), "openLogAction")->trigger();
    QCOMPARE(messages_.errors,
             (QStringList{"Не задана программа, чтобы открыть папку: " + out_ + site_,
                          "Не задана программа, чтобы открыть файл: " + Output("log.txt")}));
  }

  // The picker opens at the folder in the field, else where it last picked (at first home);
  // cancelling changes nothing.
  void folderPicker() {
    QStringList starts;
    std::optional<QString> answer = QStringLiteral("/picked");
    Main().SetFolderPicker([&](QWidget*, const QString& title, const QString& start) {
      if (title != QStringLiteral("Выберите папку с HTML файлами")) {
        qFatal("wrong title");
      }
      starts << start;
      return answer;
    });
    ChooseFolderButton()->click();  // at the site, the folder in the field
    QCOMPARE(Folder()->text(), QStringLiteral("/picked"));
    answer.reset();
    ChooseFolderButton()->click();  // "/picked" is no folder: where it last picked
    QCOMPARE(Folder()->text(), QStringLiteral("/picked"));
    Folder()->setText(QStringLiteral("/no/such/folder"));
    answer = QStringLiteral("/again");
    ChooseFolderButton()->click();
    QCOMPARE(starts, (QStringList{site_, "/picked", "/picked"}));
    program_ =
        std::make_unique<Program>(dir_.filePath("fresh.ini").toStdString(), messages_.Sink());
    starts.clear();
    Main().SetFolderPicker([&](QWidget*, const QString&, const QString& start) {
      starts << start;
      return std::optional<QString>();
    });
    Folder()->setText(QStringLiteral("/no/such/folder"));
    ChooseFolderButton()->click();
    QCOMPARE(starts, QStringList{QDir::toNativeSeparators(QDir::homePath())});
  }
};

}  // namespace varnow::test

QTEST_MAIN(varnow::test::TestMainWindow)
#include "TestMainWindow.moc"
