// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "AboutBox.h"
#include "GuiTestSupport.h"
#include "Program.h"

namespace varnow::test {

class TestAboutBox : public QObject {
  Q_OBJECT

 private slots:
  // Shown twice, it is the same window with the same texts, and Close only hides it.
  void showsTheSameBoxEachTime() {
    AboutBox about;
    QStringList seen;
    for (int time = 0; time < 2; ++time) {
      WhenModalShown([&](QWidget* modal) {
        seen << QString::number(modal == &about) << modal->windowTitle()
             << Find<QLabel>(modal, "titleLabel")->text();
        Find<QPushButton>(modal, "closeButton")->click();
      });
      QCOMPARE(about.exec(), int(QDialog::Accepted));
    }
    const QStringList once{"1", "О программе...", "Varnow [0.9.9]"};
    QCOMPARE(seen, once + once);
  }

  // The program names its settings file under the links: elided in the middle where it is
  // long, the whole path as the tool tip and copied by the button beside it. One credit line.
  void namesTheSettingsFile() {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QString(30, 'd') + "/" + QString(30, 'e') + "/varnow.ini");
    RecordedMessages messages;
    Program program(ini.toStdString(), messages.Sink());
    program.About().show();
    QVERIFY(QTest::qWaitForWindowExposed(&program.About()));
    const auto* line = Find<QLabel>(&program.About(), "SettingsFile");
    QVERIFY(!line->isHidden());
    QCOMPARE(line->toolTip(), ini);
    QVERIFY2(line->text().startsWith("Файл настроек: ") && line->text().endsWith("varnow.ini") &&
                 line->text().contains(QChar(0x2026)),
             qPrintable(line->text()));
    QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->width());
    Find<QToolButton>(&program.About(), "copySettingsPath")->click();
    QCOMPARE(QApplication::clipboard()->text(), ini);
    QCOMPARE(Find<QLabel>(&program.About(), "creditLine")->text(),
             QStringLiteral("© 2004–2026 Команда Varnow, лицензия MIT"));
  }

  // The links lead to files that exist (this build's README and licence) and never to a
  // made-up address; each goes to the desktop's handler, the box staying open.
  void linksLeadToWhatExists() {
    AboutBox about;
    QList<QUrl> opened;
    about.SetLinkOpener([&](const QUrl& link) { opened << link; });
    about.open();
    QCOMPARE(about.Links().size(), 2);  // no project address was given to this build
    for (const QUrl& link : about.Links()) {
      QVERIFY2(link.isLocalFile() && QFileInfo::exists(link.toLocalFile()),
               qPrintable(link.toString()));
    }
    QTest::mouseClick(Find<QLabel>(&about, "readmeLink"), Qt::LeftButton);
    QTest::mouseClick(Find<QLabel>(&about, "licenceLink"), Qt::LeftButton);
    QVERIFY(about.isVisible());
    QCOMPARE(opened, about.Links());
    QVERIFY(opened[0].toLocalFile().endsWith("README.md"));
    about.close();
  }
};

}  // namespace varnow::test

QTEST_MAIN(varnow::test::TestAboutBox)
#include "TestAboutBox.moc"
