// SPDX-License-Identifier: MIT
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <csignal>

#include "AboutBox.h"
#include "ApplicationTitle.h"
#include "BannerListEditor.h"
#include "GuiTestSupport.h"
#include "MainWindow.h"
#include "Program.h"
#include "SettingsDialog.h"
#include "WindowArguments.h"
#include "WindowState.h"

namespace varnow::test {

class TestProgramStart : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString ini_;

  // What a message box showed: caption, icon, text and buttons.
  static QStringList Describe(QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) {
      return {"not a message box"};
    }
    QStringList buttons;
    for (QAbstractButton* button : box->buttons()) {
      buttons << QString::number(box->standardButton(button), 16);
    }
    return {box->windowTitle(), QString::number(box->icon()), box->text(), buttons.join(",")};
  }

 private slots:
  // `varnow [FOLDER]` puts the folder, made absolute, in the folder field; --help and --version
  // print and end the program, as a wrong command line does (status 2).
  void commandLine() {
    const QString here = QDir::currentPath();
    const struct {
      QStringList words;
      QString folder;
      QString printedStart;
      int status;
    } cases[] = {
        {{"varnow"}, {}, {}, 0},
        {{"varnow", "/srv/site"}, "/srv/site", {}, 0},
        {{"varnow", "site"}, here + "/site", {}, 0},
        {{"varnow", "--", "-odd"}, here + "/-odd", {}, 0},
        {{"varnow", "--help"}, {}, "Usage: varnow [options] [FOLDER]\n", 0},
        {{"varnow", "-v"}, {}, "Varnow 0.9.9\n", 0},
        {{"varnow", "a", "b"}, {}, "varnow: one FOLDER only, got 2\n", 2},
        {{"varnow", "--bogus"}, {}, "varnow: unknown option --bogus\n", 2},
        {{"varnow", "--language"}, {}, "varnow: option --language needs a value\n", 2},
        {{"varnow", "--language", "de"}, {}, "varnow: --language takes ru or en, not 'de'\n", 2},
        // In Russian once asked for, the rest of the line told in it too.
        {{"varnow", "--language=ru", "--help"},
         {},
         "Использование: varnow [параметры] [FOLDER]\n",
         0},
        {{"varnow", "--language", "ru", "a", "b"},
         {},
         "varnow: нужна одна папка FOLDER, указано 2\n",
         2},
    };
    for (const auto& c : cases) {
      const WindowArguments parsed = ParseWindowArguments(c.words);
      QCOMPARE(parsed.folder.value_or(QString()), c.folder);
      QCOMPARE(parsed.printed.value_or(QString()).left(c.printedStart.size()), c.printedStart);
      QCOMPARE(parsed.exitStatus, c.status);
    }
    Program program(ini_.toStdString(), RecordedMessages().Sink());
    program.Window().SetFolder(QStringLiteral("/srv/site"));
    QCOMPARE(Find<QLineEdit>(&program.Window(), "folderField")->text(),
             QStringLiteral("/srv/site"));
  }

  void init() {
    QVERIFY(dir_.isValid());
    ini_ = dir_.filePath(QStringLiteral("%1.ini").arg(QTest::currentTestFunction()));
  }

  // The error box: the application's title, the error icon, the message punctuated by the
  // one rule, one OK button.
  void errorBox() {
    SetApplicationTitle(QStringLiteral("Varnow [0.9.9]"));
    QStringList seen;
    WhenModalShown([&](QWidget* modal) {
      seen << Describe(modal);
      modal->close();
    });
    ShowErrorBox(nullptr, QStringLiteral("Не указан каталог сохраненных файлов"));
    const QString ok = QString::number(QMessageBox::Ok, 16);
    const QString critical = QString::number(QMessageBox::Critical);
    QCOMPARE(seen, (QStringList{"Varnow [0.9.9]", critical, "Не указан каталог сохраненных файлов.",
                                ok}));
  }

  // Every line a sentence with its full stop, except one that ends with a path after a colon.
  void oneFullStopRule() {
    const struct {
      QString message;
      QString shown;
    } cases[] = {
        {"Не указан каталог сохраненных файлов", "Не указан каталог сохраненных файлов."},
        {"Не удалось записать файл /a: на диске нет места.",
         "Не удалось записать файл /a: на диске нет места."},
        {"Папка не найдена: /site/a.b", "Папка не найдена: /site/a.b"},
        {"Папка не найдена: C:\\site", "Папка не найдена: C:\\site"},
        {"Заменить ее?", "Заменить ее?"},
        {"Ошибка: нет места\nПапка не найдена: /b", "Ошибка: нет места.\nПапка не найдена: /b"},
    };
    for (const auto& c : cases) {
      QCOMPARE(WithFullStop(c.message), c.shown);
    }
  }

  // Esc closes every box: an offer as its OK does (the way out not taken), a question as its
  // "Отмена" does, which is also its default, so that Enter never does what it asks about.
  void escClosesEveryBox() {
    for (const bool question : {false, true}) {
      WhenModalShown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        if (question) {
          QCOMPARE(box->defaultButton()->text(), QStringLiteral("Отмена"));
        }
        QTest::keyClick(modal, Qt::Key_Escape);
      });
      const bool taken = question ? ShowQuestionBox(nullptr, "Заменить?", "Заменить")
                                  : ShowOfferBox(nullptr, "Не указан каталог", "Настройки...");
      QVERIFY(!taken);
      QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
  }

  // The main window is made first, so a settings error at start already carries the full
  // title; the error is shown once, and start-up goes on.
  void settingsErrorAtStart() {
    WriteSettings(ini_, "[Main]\nStorePatch=/out\nRmScript=ja\n");
    SetApplicationTitle(QStringLiteral("something else"));
    QStringList titlesAtError;
    UserMessages messages{[&](QWidget*, const QString& message) {
                            titlesAtError << ApplicationTitle() + ": " + message;
                          },
                          {},
                          {},
                          {}};
    Program program(ini_.toStdString(), messages);
    QCOMPARE(titlesAtError,
             QStringList{"Varnow [0.9.9]: Значение «ja» в файле настроек не является ни 0, ни -1 "
                         "(выключено, включено)"});
    QCOMPARE(program.Window().windowTitle(), QStringLiteral("Varnow [0.9.9]"));
    QCOMPARE(program.Options().OutputFolder(), std::string("/out"));
  }

  // At the program's end the settings dialog writes what its controls hold, also a switch
  // changed and then cancelled.
  void programEndWritesTheSettings() {
    RecordedMessages messages;
    {
      Program program(ini_.toStdString(), messages.Sink());
      QVERIFY(messages.errors.isEmpty());
      SettingsDialog& options = program.Options();
      options.open();
      Find<QCheckBox>(&options, "tableBox")->setChecked(true);
      Find<QPushButton>(&options, "cancelButton")->click();
      QVERIFY(!QFile::exists(ini_));
    }
    const QStringList expected{"StorePatch=",     "RmScript=0", "RmNoscript=0", "RmIframe=0",
                               "RmonMouseOver=0", "RmSpan=0",   "RmStyle=0",    "RmMSWord=0",
                               "RmTable=-1",      "RmBody=0",   "RmBanner=0",   "RmFont=0",
                               "RmBlank=0"};
    QCOMPARE(SectionLines(ini_, "Main"), expected);
    QVERIFY(messages.errors.isEmpty());
  }

  // The menu shows the settings dialog and the about box; "..." in the dialog shows the
  // banner list editor over it. Each is the window made at start, shown modally.
  void menuOpensTheWindowsMadeAtStart() {
    RecordedMessages messages;
    Program program(ini_.toStdString(), messages.Sink());
    program.Show();
    QStringList opened;
    WhenModalShown([&](QWidget* options) {
      opened << options->objectName();
      WhenModalShown([&](QWidget* banners) {
        opened << banners->objectName() + (banners->parentWidget() == options ? " over it" : "");
        Find<QPushButton>(banners, "closeButton")->click();
      });
      Find<QPushButton>(options, "bannersButton")->click();
      options->close();
    });
    Find<QAction>(&program.Window(), "settingsAction")->trigger();
    for (int time = 0; time < 2; ++time) {
      WhenModalShown([&](QWidget* about) {
        opened << about->objectName() + (about == &program.About() ? " (same)" : "");
        Find<QPushButton>(about, "closeButton")->click();
      });
      Find<QAction>(&program.Window(), "aboutAction")->trigger();
    }
    QCOMPARE(opened, (QStringList{"settingsDialog", "bannerListEditor over it", "aboutBox (same)",
                                  "aboutBox (same)"}));
  }

  // The state file's place: a link to a regular file is read and written through (the link
  // stays); a FIFO (which would block the start), a device node of the test's own, a folder or
  // a dangling link is neither read nor replaced: one message names it, the window starts and
  // remembers nothing, and the node is what it was.
  void stateFileThatIsNoRegularFile() {
    const QString base = dir_.filePath(QTest::currentTestFunction());
    QDir().mkpath(base);
    const QString fifo = base + "/fifo";
    const QString device = base + "/device";
    QCOMPARE(::mkfifo(fifo.toUtf8().constData(), 0600), 0);
    const bool withDevice =
        ::mknod(device.toUtf8().constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    QDir().mkpath(base + "/folder");
    const struct {
      const char* name;
      QString linkTo;  // empty: the place is the node itself
      QString place;
    } cases[] = {
        {"fifo", {}, fifo},
        {"link to a fifo", fifo, {}},
        {"link to a device", device, {}},
        {"link to a folder", base + "/folder", {}},
        {"dangling link", base + "/gone/state.ini", {}},
    };
    for (const auto& c : cases) {
      if (c.linkTo == device && !withDevice) {
        continue;  // no device node can be made here
      }
      QString place = c.place;
      if (place.isEmpty()) {
        place = base + "/" + c.name + ".ini";
        QVERIFY(QFile::link(c.linkTo, place));
      }
      RecordedMessages messages;
      {
        Program program(ini_.toStdString(), messages.Sink(), place);
        program.Window().SaveState();
        program.Window().SetFolder(base);
      }
      QCOMPARE(messages.errors.size(), 1);
      QVERIFY2(messages.errors.front().contains(place), qPrintable(messages.errors.front()));
    }
    struct stat st {};
    QCOMPARE(::lstat(fifo.toUtf8().constData(), &st), 0);
    QVERIFY(S_ISFIFO(st.st_mode));
    if (withDevice) {
      QCOMPARE(::lstat(device.toUtf8().constData(), &st), 0);
      QVERIFY(S_ISCHR(st.st_mode));
    }
    QVERIFY(!QFileInfo::exists(base + "/gone"));

    // Through a link to a regular file: the target holds the state, the link stays a link.
    WriteFile(base + "/real.ini", "");
    QVERIFY(QFile::link(base + "/real.ini", base + "/linked.ini"));
    RecordedMessages messages;
    {
      Program program(ini_.toStdString(), messages.Sink(), base + "/linked.ini");
      program.Window().SaveState();
    }
    QVERIFY(messages.errors.isEmpty());
    QVERIFY(QFileInfo(base + "/linked.ini").isSymLink());
    QVERIFY(ReadFile(base + "/real.ini").contains("geometry"));
  }

  // SIGTERM while a message box stands (one at start for a bad settings file, one after a run
  // that ended in an error) ends the program within a second: the box is closed, the window
  // closes as by its close box, and a box that would follow says its text on standard error.
  void stopSignalClosesAnOpenBox() {
    WriteSettings(ini_, "no section at all\n");
    QElapsedTimer clock;
    QTimer::singleShot(200, [&clock] {
      clock.start();
      ::raise(SIGTERM);
    });
    {
      Program program(ini_.toStdString(), MessageBoxes());
      QCOMPARE(program.StopSignal(), SIGTERM);
      QVERIFY(clock.isValid() && clock.elapsed() < 1000);
      QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    WriteSettings(ini_, "[Main]\nStorePatch=" + dir_.filePath("out") +
                            "\nRmScript=0\nRmNoscript=0\nRmIframe=0\nRmonMouseOver=0\nRmSpan=0\n"
                            "RmStyle=0\nRmMSWord=0\nRmTable=0\nRmBody=0\nRmBanner=0\nRmFont=0\n"
                            "RmBlank=0\n");
    Program program(ini_.toStdString(), MessageBoxes());
    program.Show();
    program.Window().SetFolder(dir_.filePath("no such folder"));
    bool boxShown = false;
    WhenModalShown([&](QWidget* modal) {
      boxShown = qobject_cast<QMessageBox*>(modal) != nullptr;
      clock.start();
      ::raise(SIGTERM);
    });
    Find<QAction>(&program.Window(), "executeAction")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(boxShown, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!program.Window().isVisible(), 1000);
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(program.StopSignal(), SIGTERM);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }
};

}  // namespace varnow::test

QTEST_MAIN(varnow::test::TestProgramStart)
#include "TestProgramStart.moc"
