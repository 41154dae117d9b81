// SPDX-License-Identifier: MIT
// Checks that need a real X display with a window manager (run by WindowOnXDisplay.sh under
// Xvfb and openbox, not offscreen): what the window system holds as each window's title, where
// the windows land on a screen too small for them, frames included, the banner editor by
// keyboard, the summary beside the log, and Qt's own texts in Russian.
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QUrl>
#include <memory>

#include "AboutBox.h"
#include "BannerListEditor.h"
#include "ChangeViewer.h"
#include "GuiTestSupport.h"
#include "LogPane.h"
#include "MainWindow.h"
#include "Program.h"
#include "SettingsDialog.h"
#include "SummaryPanel.h"

namespace varnow::test {

class XDisplayChecks : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  RecordedMessages messages_;
  std::unique_ptr<Program> program_;

  // The title as the window system holds it, read back with xprop.
  static QString TitleOnX(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
      return QStringLiteral("(not shown)");
    }
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                          QStringLiteral("_NET_WM_NAME")});
    xprop.waitForFinished(10000);
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    window.hide();
    const qsizetype quote = out.indexOf(QLatin1Char('"'));
    return quote < 0 ? out : out.mid(quote + 1).chopped(1);
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    program_ =
        std::make_unique<Program>(dir_.filePath("varnow.ini").toStdString(), messages_.Sink());
  }
  void cleanup() { program_.reset(); }

  void titlesAreThePrograms() {
    QCOMPARE(TitleOnX(program_->Window()), QStringLiteral("Varnow [0.9.9]"));
    QCOMPARE(TitleOnX(program_->Options()), QStringLiteral("Настройки"));
    QCOMPARE(TitleOnX(program_->Banners()), QStringLiteral("Правка баннеров"));
    QCOMPARE(TitleOnX(program_->About()), QStringLiteral("О программе..."));
  }

  // The designed size where the screen holds it; otherwise fitted to the screen. Either way
  // the whole window, its menu and Execute included, lies on the screen.
  void mainWindowLiesOnTheScreen() {
    MainWindow& main = program_->Window();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    const QRect screen = main.screen()->availableGeometry();
    QVERIFY2(screen.contains(main.geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                                                              .arg(main.x())
                                                              .arg(main.y())
                                                              .arg(main.width())
                                                              .arg(main.height())
                                                              .arg(screen.width())
                                                              .arg(screen.height())));
    if (screen.width() >= 800 && screen.height() >= 600) {
      QCOMPARE(main.size(), QSize(717, 476));
    }
  }

  // The window grows on a real display, the log pane with it, never below its first size.
  void theWindowResizes() {
    MainWindow& main = program_->Window();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    const QRect screen = main.screen()->availableGeometry();
    if (screen.width() < 960 || screen.height() < 700) {
      QSKIP("the screen is too small to grow the window on");
    }
    auto* log = Find<LogPane>(&main, "logPane");
    const int narrow = log->width();
    main.resize(900, 620);
    QTRY_COMPARE(main.size(), QSize(900, 620));
    QTRY_COMPARE(log->width(), narrow + 900 - 717);
    main.resize(300, 200);
    QTRY_COMPARE(main.size(), QSize(717, 476));  // the smallest it goes
  }

  // A folder dropped on the window fills the folder field.
  void aDropFillsTheField() {
    MainWindow& main = program_->Window();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir_.path())});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&main, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&main, &drop);
    QCOMPARE(Find<QLineEdit>(&main, "folderField")->text(), dir_.path());
  }

  // From start to a finished run and a change opened in the viewer with keys alone: Ctrl+,
  // and the settings dialog's own order of Tab, the folder field, F5, Tab to the log, Home and
  // Down to the change, Return.
  void keysAloneRunAndOpenAChange() {
    const QString site = dir_.filePath("site");
    const QString out = dir_.filePath("out");
    QDir().mkpath(site);
    QFile page(site + "/index.htm");
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<p>a<script>x()</script>b</p>");
    page.close();
    MainWindow& main = program_->Window();
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));

    bool stored = false;
    // Each key goes to the focus of the window it is meant for, as the window system would
    // send it there: on a loaded machine the X server may hand focus to a newly shown window
    // late, or give it back to the main window for a moment, and a key sent to "whatever has
    // focus now" would then press the main window's buttons (its folder picker, which waits).
    const auto key = [](QWidget* window, Qt::Key code) {
      QTest::keyClick(window->focusWidget(), code);
    };
    WhenModalShown([&](QWidget* dialog) {
      QTest::keyClicks(dialog->focusWidget(), out);  // the output folder's field
      // Tab to "Скрипты" <script>: past the folder button, the log's encoding and languages
      // and the left group's six boxes; Space ticks it; then Tab on to "ОК" and Return.
      for (int i = 0; i < 11; ++i) {
        key(dialog, Qt::Key_Tab);
      }
      key(dialog, Qt::Key_Space);
      for (int i = 0; i < 8; ++i) {
        key(dialog, Qt::Key_Tab);
      }
      stored = dialog->focusWidget()->objectName() == QStringLiteral("okButton");
      if (stored) {
        key(dialog, Qt::Key_Return);
      } else {
        dialog->close();
      }
    });
    QTest::keySequence(&main, QKeySequence(Qt::CTRL | Qt::Key_Comma));
    QVERIFY(stored);
    QVERIFY(program_->Options().SwitchOn(ProcedureId::kScript));
    QCOMPARE(program_->Options().OutputFolder(), out.toStdString());

    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    auto* field = Find<QLineEdit>(&main, "folderField");
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, site);
    QTest::keyClick(&main, Qt::Key_F5);
    QVERIFY(RunEnds(main));
    QTRY_VERIFY(QFile::exists(out + site + "/index.htm"));

    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    auto* log = Find<LogPane>(&main, "logPane");
    for (int tabs = 0; tabs < 50 && main.focusWidget() != log; ++tabs) {
      key(&main, Qt::Key_Tab);
    }
    QVERIFY(main.focusWidget() == log);
    QTest::keyClick(log, Qt::Key_Home);
    QTest::keyClick(log, Qt::Key_Return);
    QVERIFY(ViewersShown(main));
    const QList<ChangeViewer*> opened = main.findChildren<ChangeViewer*>();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.front()->Current(), 0);
  }

  // Every window, its frame included, lies on the screen (at scale 2 a 640x400 one), its
  // buttons inside it.
  void everyWindowFitsTheScreen() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const auto fits = [&](QWidget* window) {
      window->show();
      QVERIFY(QTest::qWaitForWindowExposed(window));
      QTRY_VERIFY2(screen.contains(window->frameGeometry()),
                   qPrintable(QStringLiteral("%1: %2,%3 %4x%5 on %6x%7")
                                  .arg(window->objectName())
                                  .arg(window->frameGeometry().x())
                                  .arg(window->frameGeometry().y())
                                  .arg(window->frameGeometry().width())
                                  .arg(window->frameGeometry().height())
                                  .arg(screen.width())
                                  .arg(screen.height())));
      const QPushButton* cut = ButtonCutOff(window);
      QVERIFY2(cut == nullptr, qPrintable(cut == nullptr ? QString() : cut->objectName()));
      window->hide();
    };
    fits(&program_->Window());
    fits(&program_->Options());
    fits(&program_->Banners());
    fits(&program_->About());
  }

  // Tab walks the banner editor: the list, the two markers, "+", "Закрыть" and back to the
  // list; Alt+Н and Alt+К go to the markers.
  void bannerEditorByKeyboard() {
    BannerListEditor& editor = program_->Banners();
    editor.show();
    editor.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    Find<QWidget>(&editor, "bannerList")->setFocus();
    const QStringList order = {"firstMarkerField", "lastMarkerField", "storeButton", "closeButton",
                               "bannerList"};
    for (const QString& next : order) {
      QTest::keyClick(editor.focusWidget(), Qt::Key_Tab);
      QTRY_COMPARE(editor.focusWidget()->objectName(), next);
    }
    QTest::sendKeyEvent(QTest::Click, editor.focusWidget(), static_cast<Qt::Key>(0x041A),
                        QStringLiteral("к"), Qt::AltModifier);
    QTRY_COMPARE(editor.focusWidget()->objectName(), QStringLiteral("lastMarkerField"));
    QTest::sendKeyEvent(QTest::Click, editor.focusWidget(), static_cast<Qt::Key>(0x041D),
                        QStringLiteral("н"), Qt::AltModifier);
    QTRY_COMPARE(editor.focusWidget()->objectName(), QStringLiteral("firstMarkerField"));
    editor.hide();
  }

  // After a run the summary stands to the right of the log inside the main window, which
  // keeps the keyboard and its size.
  void theSummaryStandsBesideTheLog() {
    const QString site = dir_.filePath("site");
    WriteFile(site + "/index.htm", "<p>a<span>b</span></p>");
    Find<QLineEdit>(&program_->Options(), "outputFolderField")->setText(dir_.filePath("out"));
    Find<QPushButton>(&program_->Options(), "okButton")->click();
    MainWindow& main = program_->Window();
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    const QSize before = main.size();
    auto* field = Find<QLineEdit>(&main, "folderField");
    field->setText(site);
    QTest::keyClick(&main, Qt::Key_F5);
    QVERIFY(RunEnds(main));
    QWidget* panel = main.Summary();
    QTRY_VERIFY(panel->isVisible());
    const QRect log = Find<LogPane>(&main, "logPane")->geometry();
    QVERIFY(panel->geometry().left() > log.right());
    QCOMPARE(main.size(), before);
    QVERIFY(main.isActiveWindow());
  }

  // A copy from the log pane reaches another program as the UTF-8 text it is, Cyrillic and
  // markup included: pasted by xclip from the X clipboard.
  void aCopyPastesElsewhere() {
    LogPane pane;
    pane.AppendLine(QStringLiteral("/сайт/a.htm удален <span> [3]"));
    pane.AppendLine(QStringLiteral("second"));
    pane.Flush();
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    pane.SelectAll();
    pane.CopySelection();
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
    // The clipboard is served from this event loop while xclip asks for it.
    QTRY_VERIFY_WITH_TIMEOUT(xclip.state() == QProcess::NotRunning, 10000);
    QCOMPARE(QString::fromUtf8(xclip.readAllStandardOutput()),
             QStringLiteral("/сайт/a.htm удален <span> [3]\nsecond"));
  }

  // Qt's own texts (the standard buttons of its dialogs and boxes) come in Russian.
  void qtTextsAreRussian() {
    QTranslator translator;
    QVERIFY(InstallQtTranslation(translator));
    QMessageBox box(QMessageBox::Question, QString(), QStringLiteral("x"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена"));
    QCoreApplication::removeTranslator(&translator);
  }
};

}  // namespace varnow::test

QTEST_MAIN(varnow::test::XDisplayChecks)
#include "XDisplayChecks.moc"
