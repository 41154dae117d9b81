// SPDX-License-Identifier: MIT
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <memory>

#include "GuiTestSupport.h"
#include "SettingsDialog.h"
#include "cleaning/ProcedureTable.h"

namespace varnow::test {

namespace {

// All thirteen keys of "Main" as the dialog writes them, in file order.
QStringList MainLines(const QString& outputFolder, const QStringList& checkedKeys) {
  QStringList lines{QStringLiteral("StorePatch=") + outputFolder};
  for (const char* key :
       {"RmScript", "RmNoscript", "RmIframe", "RmonMouseOver", "RmSpan", "RmStyle", "RmMSWord",
        "RmTable", "RmBody", "RmBanner", "RmFont", "RmBlank"}) {
    lines << key + (checkedKeys.contains(key) ? QStringLiteral("=-1") : QStringLiteral("=0"));
  }
  return lines;
}

}  // namespace

class TestSettingsDialog : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString ini_;
  RecordedMessages messages_;

  std::unique_ptr<SettingsDialog> MakeDialog() {
    return std::make_unique<SettingsDialog>(ini_.toStdString(), messages_.Sink());
  }
  static QCheckBox* Box(SettingsDialog& dialog, const char* name) {
    return Find<QCheckBox>(&dialog, QString::fromLatin1(name));
  }
  static QLineEdit* Folder(SettingsDialog& dialog) {
    return Find<QLineEdit>(&dialog, "outputFolderField");
  }
  static void Press(SettingsDialog& dialog, const char* button) {
    Find<QPushButton>(&dialog, QString::fromLatin1(button))->click();
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    ini_ = dir_.filePath(QStringLiteral("varnow%1.ini").arg(QTest::currentTestFunction()));
    messages_ = {};
  }

  // Tab goes the way the eye reads; the dialog comes back where it was.
  void tabOrderAndPlacement() {
    QWidget owner;
    owner.setGeometry(100, 100, 700, 500);
    owner.show();
    auto dialog = std::make_unique<SettingsDialog>(ini_.toStdString(), messages_.Sink(), &owner);
    dialog->show();
    QStringList chain;
    QWidget* at = Folder(*dialog);
    do {
      if (at->focusPolicy() & Qt::TabFocus && at->isVisible() && at->window() == dialog.get()) {
        chain << at->objectName();
      }
      at = at->nextInFocusChain();
    } while (at != Folder(*dialog));
    QCOMPARE(chain, (QStringList{"outputFolderField", "chooseOutputFolderButton",
                                 "logEncodingBox",    "logLanguageBox",
                                 "languageBox",       "msWordBox",
                                 "styleBox",          "spanBox",
                                 "tableBox",          "bodyBox",
                                 "fontBox",           "scriptBox",
                                 "noscriptBox",       "iframeBox",
                                 "onMouseOverBox",    "blankBox",
                                 "bannerBox",         "bannersButton",
                                 "cancelButton",      "okButton"}));
    const QPoint first = dialog->pos();
    dialog->hide();
    dialog->show();
    QCOMPARE(dialog->pos(), first);
    dialog->hide();
  }

  void showsItsControls() {
    auto dialog = MakeDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Настройки"));
    const std::pair<const char*, const char*> boxes[] = {
        {"scriptBox", "<script></script>"},
        {"noscriptBox", "<noscript></noscript>"},
        {"iframeBox", "<iframe></iframe>"},
        {"onMouseOverBox", "onMouseOver"},
        {"spanBox", "Форматирование"},
        {"styleBox", "Стили"},
        {"msWordBox", "Microsoft Word"},
        {"tableBox", "Таблицы"},
        {"bodyBox", "Основные"},
        {"bannerBox", "Баннеры"},
        {"fontBox", "Шрифты"},
        {"blankBox", "target=\"_blank\""},
    };
    for (const auto& [name, caption] : boxes) {
      QCOMPARE(Box(*dialog, name)->text().remove('&'), QString::fromUtf8(caption));
      QVERIFY(!Box(*dialog, name)->toolTip().isEmpty());
    }
    QCOMPARE(Find<QPushButton>(dialog.get(), "okButton")->text().remove('&'), QStringLiteral("ОК"));
    QCOMPARE(Find<QPushButton>(dialog.get(), "cancelButton")->text().remove('&'),
             QStringLiteral("Отмена"));
    QCOMPARE(Find<QPushButton>(dialog.get(), "bannersButton")->text().remove('&'),
             QStringLiteral("..."));
    QVERIFY(dialog->width() >= 408 && dialog->height() >= 266);
  }

  // Every control has its Alt letter, none twice; Alt and a box's letter toggles the box, a
  // label's takes the keyboard to its field.
  void everyControlHasItsOwnMnemonic() {
    auto dialog = MakeDialog();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QStringList letters;
    const auto letterOf = [](const QString& text) {
      const qsizetype at = text.indexOf('&');
      return at < 0 || at + 1 >= text.size() ? QString() : text.mid(at + 1, 1).toLower();
    };
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
      const QString letter = button->text().isEmpty()
                                 ? button->shortcut().toString().remove(QStringLiteral("Alt+"))
                                 : letterOf(button->text());
      QVERIFY2(!letter.isEmpty(), qPrintable(button->objectName()));
      letters << letter.toLower();
    }
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
      if (label->buddy() != nullptr) {
        letters << letterOf(label->text());
      }
    }
    QCOMPARE(letters.size(), 20);  // twelve boxes, four buttons and four labels' fields
    letters.removeDuplicates();
    QCOMPARE(letters.size(), 20);
    const auto altLetter = [&](QChar letter) {
      QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(),
                          static_cast<Qt::Key>(letter.toUpper().unicode()), QString(letter),
                          Qt::AltModifier);
    };
    for (const char* name : {"scriptBox", "spanBox", "blankBox"}) {
      QCheckBox* box = Box(*dialog, name);
      const bool before = box->isChecked();
      altLetter(letterOf(box->text()).at(0));
      QTRY_VERIFY2(box->isChecked() != before, name);  // as a click, a moment later
    }
    altLetter(QChar(0x0434));  // д: the log's encoding
    QCOMPARE(QApplication::focusWidget(), Find<QComboBox>(dialog.get(), "logEncodingBox"));
    altLetter(QChar(0x043B));  // л: the output folder
    QCOMPARE(QApplication::focusWidget(), Folder(*dialog));
  }

  // First start: no box, everything off and empty; the program's end writes the file.
  void firstStartWithoutFile() {
    auto dialog = MakeDialog();
    QVERIFY(messages_.errors.isEmpty());
    QCOMPARE(Folder(*dialog)->text(), QString());
    QCOMPARE(dialog->OutputFolder(), std::string());
    for (const ProcedureRow& info : kProcedures) {
      QVERIFY(!dialog->SwitchOn(info.id));
    }
    QVERIFY(!QFile::exists(ini_));
    dialog.reset();
    QCOMPARE(SectionLines(ini_, "Main"), MainLines(QString(), {}));
    QVERIFY(messages_.errors.isEmpty());
  }

  // The log's encoding: Cancel undoes a choice; OK stores it, and a file that never named it
  // keeps not naming it while it is the default. Check boxes' tool tips show their tags.
  void logEncodingIsStoredOnceChosen() {
    auto dialog = MakeDialog();
    auto* choice = Find<QComboBox>(dialog.get(), "logEncodingBox");
    choice->setCurrentIndex(1);
    Press(*dialog, "cancelButton");
    QCOMPARE(choice->currentIndex(), 0);
    Press(*dialog, "okButton");
    QVERIFY(!SectionLines(ini_, "Main").join('|').contains("LogEncoding"));
    choice->setCurrentIndex(1);
    Press(*dialog, "okButton");
    QVERIFY(dialog->LogFileEncoding() == LogEncoding::kUtf8);
    QVERIFY(SectionLines(ini_, "Main").contains("LogEncoding=utf-8"));
    dialog = MakeDialog();
    QCOMPARE(Find<QComboBox>(dialog.get(), "logEncodingBox")->currentIndex(), 1);
    QTextDocument tip;
    tip.setHtml(Box(*dialog, "scriptBox")->toolTip());
    QVERIFY2(tip.toPlainText().contains("<script>"), qPrintable(tip.toPlainText()));
    // A long tip is broken at spaces to readable lines, not wrapped a few words wide by Qt;
    // every word stays.
    tip.setHtml(Box(*dialog, "msWordBox")->toolTip());
    const QStringList lines = tip.toPlainText().split(QLatin1Char('\n'));
    QVERIFY2(lines.size() == 2, qPrintable(tip.toPlainText()));
    for (const QString& line : lines) {
      QVERIFY(line.size() <= 72 && line.size() > 30);
    }
    QCOMPARE(lines.join(' '),
             QString::fromUtf8(RowOf(ProcedureId::kMSWord).toolTip.Russian().data()));
  }

  // Two windows on one file: what one saved is never undone by the other's end, which writes
  // only the keys it changed itself (and every key the file lacks).
  void anotherWindowsSaveIsNotUndoneAtTheEnd() {
    auto first = MakeDialog();
    Box(*first, "scriptBox")->setChecked(true);
    Press(*first, "okButton");  // RmScript=-1, the first start's thirteen keys
    auto a = MakeDialog();
    auto b = MakeDialog();
    Box(*b, "scriptBox")->setChecked(false);
    Press(*b, "okButton");  // B saves RmScript=0
    Box(*a, "spanBox")->setChecked(true);
    a.reset();  // A ends: its own change only
    const QStringList main = SectionLines(ini_, "Main");
    QVERIFY2(main.contains("RmScript=0"), qPrintable(main.join('|')));
    QVERIFY2(main.contains("RmSpan=-1"), qPrintable(main.join('|')));
    QCOMPARE(main.size(), 13);
  }

  // A settings file that cannot even be looked for is no first start: the user is told why.
  void unreachableFileIsReported() {
    const QString loop = dir_.filePath("loop");
    QVERIFY(QFile::link(loop, loop));
    ini_ = loop + "/varnow.ini";
    auto dialog = MakeDialog();
    QCOMPARE(messages_.errors.size(), 1);
    QVERIFY2(messages_.errors[0].startsWith("Файл настроек не открывается: " + ini_ +
                                            ": ссылки на пути замкнуты в круг"),
             qPrintable(messages_.errors[0]));
  }

  void readsEveryValueFormAndWritesItBackCanonically() {
    WriteSettings(
        ini_,
        "[Main]\r\nStorePatch=/srv/out\r\nRmScript=1\r\nRmNoscript=True\r\nRmIframe=true\r\n"
        "RmonMouseOver=0\r\nRmSpan=False\r\nRmStyle=-1\r\nRmMSWord=0\r\nRmTable=7\r\n"
        "RmBody=0\r\nRmBanner=-1\r\nRmFont=0\r\nRmBlank=tRuE\r\n");
    auto dialog = MakeDialog();
    QVERIFY(messages_.errors.isEmpty());
    QCOMPARE(Folder(*dialog)->text(), QStringLiteral("/srv/out"));
    QCOMPARE(dialog->OutputFolder(), std::string("/srv/out"));
    const QStringList on{"RmScript", "RmNoscript", "RmIframe", "RmStyle",
                         "RmTable",  "RmBanner",   "RmBlank"};
    for (const ProcedureRow& info : kProcedures) {
      QCOMPARE(dialog->SwitchOn(info.id), on.contains(QString::fromLatin1(info.key.data())));
    }
    Press(*dialog, "okButton");
    QCOMPARE(SectionLines(ini_, "Main"), MainLines("/srv/out", on));
  }

  // A bad value is reported once; the switches after it stay off, the folder box still
  // shows the folder that the run will use.
  void badSwitchValue() {
    WriteSettings(ini_, "[Main]\nStorePatch=/srv/out\nRmScript=-1\nRmNoscript=yes\nRmIframe=-1\n");
    auto dialog = MakeDialog();
    QCOMPARE(messages_.errors,
             QStringList{"Значение «yes» в файле настроек не является ни 0, ни -1 (выключено, "
                         "включено)"});
    QVERIFY(dialog->SwitchOn(ProcedureId::kScript));
    QVERIFY(!dialog->SwitchOn(ProcedureId::kNoscript));
    QVERIFY(!dialog->SwitchOn(ProcedureId::kIframe));
    QCOMPARE(Folder(*dialog)->text(), QStringLiteral("/srv/out"));
    QCOMPARE(dialog->OutputFolder(), std::string("/srv/out"));
  }

  void missingSwitchInAnExistingFile() {
    WriteSettings(ini_, "[Main]\nStorePatch=/o\nRmScript=-1\n");
    auto dialog = MakeDialog();
    QCOMPARE(messages_.errors,
             QStringList{"Значение «» в файле настроек не является ни 0, ни -1 (выключено, "
                         "включено)"});
    QVERIFY(dialog->SwitchOn(ProcedureId::kScript));
    QCOMPARE(Folder(*dialog)->text(), QStringLiteral("/o"));
  }

  // Cancel puts back the folder box only; a switch changed before it stays changed.
  void cancelRestoresOnlyTheFolderBox() {
    WriteSettings(ini_, MainLines("/old", {"RmScript"}).join("\n").prepend("[Main]\n"));
    const QByteArray before = ReadFile(ini_);
    auto dialog = MakeDialog();
    dialog->open();
    Folder(*dialog)->setText(QStringLiteral("/typed"));
    Box(*dialog, "scriptBox")->setChecked(false);
    Press(*dialog, "cancelButton");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(Folder(*dialog)->text(), QStringLiteral("/old"));
    QCOMPARE(dialog->OutputFolder(), std::string("/old"));
    QVERIFY(!dialog->SwitchOn(ProcedureId::kScript));
    QCOMPARE(ReadFile(ini_), before);
    dialog.reset();
    QCOMPARE(SectionLines(ini_, "Main"), MainLines("/old", {}));
  }

  // The close box runs no handler: the box keeps the typed folder, runs keep the old one,
  // nothing is written until OK or the program's end.
  void closeBoxChangesNothing() {
    WriteSettings(ini_, MainLines("/old", {}).join("\n").prepend("[Main]\n"));
    const QByteArray before = ReadFile(ini_);
    auto dialog = MakeDialog();
    dialog->open();
    Folder(*dialog)->setText(QStringLiteral("/typed"));
    QVERIFY(dialog->close());
    QVERIFY(!dialog->isVisible());
    QCOMPARE(Folder(*dialog)->text(), QStringLiteral("/typed"));
    QCOMPARE(dialog->OutputFolder(), std::string("/old"));
    QCOMPARE(ReadFile(ini_), before);
    dialog.reset();
    QCOMPARE(SectionLines(ini_, "Main"), MainLines("/typed", {}));
  }

  // No button is the default or the cancel button: Enter and Esc in the folder box do
  // nothing, Enter on a button presses that button.
  void enterActsOnTheFocusedControl() {
    auto dialog = MakeDialog();
    dialog->open();
    QTest::keyClick(Folder(*dialog), Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QVERIFY(!QFile::exists(ini_));
    QTest::keyClick(Folder(*dialog), Qt::Key_Escape);
    QVERIFY(dialog->isVisible());
    QTest::keyClick(Find<QPushButton>(dialog.get(), "cancelButton"), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QVERIFY(!QFile::exists(ini_));
  }

  void okTakesTheFolderAndWritesAllKeys() {
    auto dialog = MakeDialog();
    dialog->open();
    Folder(*dialog)->setText(QStringLiteral("/новая папка"));
    Box(*dialog, "fontBox")->setChecked(true);
    Press(*dialog, "okButton");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->OutputFolder(), std::string("/новая папка"));
    QCOMPARE(SectionLines(ini_, "Main"), MainLines("/новая папка", {"RmFont"}));
  }

  // A failed write keeps the dialog open; the folder is taken all the same.
  void okWithUnwritableFile() {
    WriteFile(dir_.filePath("plain-file"), "x");
    ini_ = dir_.filePath("plain-file/varnow.ini");
    auto dialog = MakeDialog();
    dialog->open();
    Folder(*dialog)->setText(QStringLiteral("/new"));
    Press(*dialog, "okButton");
    QCOMPARE(messages_.errors, QStringList{"Не удалось записать файл настроек: " + ini_});
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->OutputFolder(), std::string("/new"));
    dialog->close();
    dialog.reset();  // the program's end tries again, reports again, and goes on
    QCOMPARE(messages_.errors.size(), 2);
  }

  // The folder button opens where it last picked (nowhere the first time) and fills only
  // the box; cancelling the picker changes nothing.
  void folderButton() {
    auto dialog = MakeDialog();
    QStringList starts;
    std::optional<QString> answer = QStringLiteral("/picked/one");
    dialog->SetFolderPicker([&](QWidget*, const QString& title, const QString& start) {
      if (title != QStringLiteral("Папка для сохранения обработанных файлов")) {
        qFatal("wrong title");
      }
      starts << start;
      return answer;
    });
    Press(*dialog, "chooseOutputFolderButton");
    QCOMPARE(Folder(*dialog)->text(), QStringLiteral("/picked/one"));
    QCOMPARE(dialog->OutputFolder(), std::string());
    answer.reset();
    Press(*dialog, "chooseOutputFolderButton");
    QCOMPARE(Folder(*dialog)->text(), QStringLiteral("/picked/one"));
    QCOMPARE(starts, (QStringList{QString(), "/picked/one"}));
  }
};

}  // namespace varnow::test

QTEST_MAIN(varnow::test::TestSettingsDialog)
#include "TestSettingsDialog.moc"
