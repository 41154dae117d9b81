// SPDX-License-Identifier: MIT
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

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

  // The program names its settings file in a line under the links.
  void namesTheSettingsFile() {
    QTemporaryDir dir;
    const QString ini = dir.filePath("varnow.ini");
    RecordedMessages messages;
    Program program(ini.toStdString(), messages.Sink());
    const auto* line = Find<QLabel>(&program.About(), "SettingsFile");
    QCOMPARE(line->text(), "Файл настроек: " + ini);
    QVERIFY(!line->isHidden());
    QCOMPARE(Find<QLabel>(&program.About(), "licenceLine")->text(),
             QStringLiteral("Лицензия MIT. © 2026 the Varnow developers"));
  }

  // Each link goes to the desktop's handler; the box stays open.
  void linksOpenThroughTheDesktop() {
    AboutBox about;
    QList<QUrl> opened;
    about.SetLinkOpener([&](const QUrl& link) { opened << link; });
    about.open();
    QTest::mouseClick(Find<QLabel>(&about, "mailLink"), Qt::LeftButton);
    QTest::mouseClick(Find<QLabel>(&about, "webLink"), Qt::LeftButton);
    QVERIFY(about.isVisible());
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened[0].toString(), QStringLiteral("mailto:varnow@example.org?subject=Varnow"));
    QCOMPARE(opened[0].scheme(), QStringLiteral("mailto"));
    QCOMPARE(opened[1].scheme(), QStringLiteral("https"));
    QVERIFY(opened[1].isValid());
    about.close();
  }
};

}  // namespace varnow::test

QTEST_MAIN(varnow::test::TestAboutBox)
#include "TestAboutBox.moc"
