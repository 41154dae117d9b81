// SPDX-License-Identifier: MIT
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "AboutBox.h"
#include "BannerListEditor.h"
#include "ChangeViewer.h"
#include "GuiTestSupport.h"
#include "MainWindow.h"
#include "Program.h"
#include "SettingsDialog.h"
#include "SummaryPanel.h"

namespace varnow::test {

// Every window of the program on a small screen: run at scale 2 on a 1280x800 screen (640x400
// to the program) and at scale 1 on 1024x768. Each fits the screen with room for a window
// manager's frame, asks for no minimum larger than the screen, and keeps its buttons in view.
class TestScreenFit : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  RecordedMessages messages_;
  std::unique_ptr<Program> program_;

  static QRect Room() { return QGuiApplication::primaryScreen()->availableGeometry(); }
  static void Fits(QWidget* window) {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QSize frame(16, 48);
    const QRect room = Room();
    QVERIFY2(window->width() + frame.width() <= room.width() &&
                 window->height() + frame.height() <= room.height(),
             qPrintable(QStringLiteral("%1: %2x%3 on %4x%5")
                            .arg(window->objectName())
                            .arg(window->width())
                            .arg(window->height())
                            .arg(room.width())
                            .arg(room.height())));
    QVERIFY(window->minimumWidth() <= room.width() && window->minimumHeight() <= room.height());
    QVERIFY(room.contains(window->geometry()));
    // Its buttons lie inside it, none cut off at its edge; one in a scrolled part once
    // scrolled to.
    const QPushButton* cut = ButtonCutOff(window);
    QVERIFY2(cut == nullptr, qPrintable(cut == nullptr ? QString() : cut->objectName()));
  }

 private slots:
  void init() { program_ = ProgramOnASite(dir_.path(), messages_); }
  void cleanup() { program_.reset(); }

  void everyWindowFits() {
    qInfo("screen %dx%d at scale %g", Room().width(), Room().height(),
          QGuiApplication::primaryScreen()->devicePixelRatio());
    MainWindow& main = program_->Window();
    Fits(&main);
    Find<QToolButton>(&main, "executeButton")->click();
    QVERIFY(RunEnds(main));
    QVERIFY(messages_.errors.isEmpty());
    QVERIFY(main.Summary()->isVisible());  // the panel beside the log, inside the window
    QVERIFY(main.rect().contains(
        QRect(main.Summary()->mapTo(&main, QPoint(0, 0)), main.Summary()->size())));
    Fits(&program_->Options());
    program_->Options().hide();
    Fits(&program_->Banners());
    program_->Banners().hide();
    Fits(&program_->About());
    program_->About().hide();
    main.OpenPage(dir_.filePath("site/index.htm").toStdString());
    QVERIFY(ViewersShown(main));
    ChangeViewer* viewer = main.findChildren<ChangeViewer*>().back();
    Fits(viewer);
  }
};

}  // namespace varnow::test

QTEST_MAIN(varnow::test::TestScreenFit)
#include "TestScreenFit.moc"
