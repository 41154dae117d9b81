// SPDX-License-Identifier: MIT
// Checks that need a real X display (run by WindowOnXDisplay.sh under Xvfb, not offscreen):
// what the window system holds as each window's title, where the main window lands on a
// screen too small for it, and Qt's own texts in Russian.
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <memory>

#include "AboutBox.h"
#include "BannerListEditor.h"
#include "GuiTestSupport.h"
#include "MainWindow.h"
#include "Program.h"
#include "SettingsDialog.h"

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
