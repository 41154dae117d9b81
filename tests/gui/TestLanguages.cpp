// SPDX-License-Identifier: MIT
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

#include "AboutBox.h"
#include "BannerListEditor.h"
#include "ChangeViewer.h"
#include "GuiTestSupport.h"
#include "InterfaceLanguage.h"
#include "MainWindow.h"
#include "Program.h"
#include "SettingsDialog.h"
#include "SummaryPanel.h"

namespace varnow::test {
namespace {

// Every text a person can read on a widget: its own, its tool tip, and what it lists.
QStringList TextsOf(const QWidget* widget) {
  QStringList texts = {widget->windowTitle(), widget->toolTip(), widget->accessibleName()};
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    texts << label->text();
  } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
    texts << button->text();
  } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
    texts << group->title();
  } else if (const auto* line = qobject_cast<const QLineEdit*>(widget)) {
    texts << line->placeholderText();
  } else if (const auto* box = qobject_cast<const QComboBox*>(widget)) {
    for (int i = 0; i < box->count(); ++i) {
      // A language is named in its own language, as every language menu names it.
      if (box->itemText(i) != QStringLiteral("Русский")) {
        texts << box->itemText(i);
      }
    }
  } else if (const auto* table = qobject_cast<const QTableWidget*>(widget)) {
    for (int i = 0; i < table->columnCount(); ++i) {
      texts << table->horizontalHeaderItem(i)->text();
    }
  }
  return texts;
}

// What of `window` holds a Cyrillic letter: "object name: text" for each.
QStringList CyrillicIn(QWidget* window) {
  static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
  QStringList found;
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  widgets.prepend(window);
  for (const QWidget* widget : widgets) {
    for (const QString& text : TextsOf(widget)) {
      if (text.contains(cyrillic)) {
        found << widget->objectName() + ": " + text;
      }
    }
  }
  for (const QAction* action : window->findChildren<QAction*>()) {
    for (const QString& text : {action->text(), action->toolTip(), action->statusTip()}) {
      if (text.contains(cyrillic)) {
        found << action->objectName() + ": " + text;
      }
    }
  }
  return found;
}

QString MnemonicOf(const QString& text) {
  const qsizetype at = text.indexOf(QLatin1Char('&'));
  return at < 0 || at + 1 >= text.size() ? QString() : text.mid(at + 1, 1).toLower();
}

QString AltLetterOf(const QKeySequence& keys) {
  return keys.toString().remove(QStringLiteral("Alt+")).toLower();
}

// The Alt letters of a dialog's controls: a button's (or the shortcut of one whose text marks
// none), a label's that takes the focus to its field, a field's own shortcut.
QStringList MnemonicsOf(const QWidget* dialog) {
  QStringList letters;
  for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
    // A table's corner button is the table's, not a control of the dialog's.
    if (button->window() != dialog ||
        qobject_cast<const QAbstractItemView*>(button->parentWidget()) != nullptr) {
      continue;
    }
    const QString marked = MnemonicOf(button->text());
    letters << (marked.isEmpty() ? AltLetterOf(button->shortcut()) : marked);
  }
  for (const QLabel* label : dialog->findChildren<QLabel*>()) {
    if (label->buddy() != nullptr) {
      letters << MnemonicOf(label->text());
    }
  }
  for (const QShortcut* shortcut : dialog->findChildren<QShortcut*>()) {
    if (qobject_cast<QWidget*>(shortcut->parent())->window() == dialog) {
      letters << AltLetterOf(shortcut->key());
    }
  }
  return letters;
}

}  // namespace

// The windows in either language: Russian without a catalog (the program's own texts, which
// the other tests pin), English with the one built into the program. In English no Cyrillic
// letter is left where a user can reach it but the log's lines and the user's own data; in
// each, every control of a menu or a dialog has an Alt letter of its own, Latin in English.
class TestLanguages : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  RecordedMessages messages_;
  std::unique_ptr<Program> program_;
  QTranslator windows_;
  QTranslator qt_;

  bool English() const { return InterfaceLanguage() == Language::kEnglish; }

  void CheckMnemonics(QWidget* dialog, int expected) {
    const QStringList letters = MnemonicsOf(dialog);
    QVERIFY2(letters.size() == expected, qPrintable(letters.join(',')));
    for (const QString& letter : letters) {
      QVERIFY2(!letter.isEmpty(), qPrintable(dialog->objectName()));
      if (English()) {
        QVERIFY2(letter.at(0).unicode() < 0x80, qPrintable(letter));
      }
    }
    QCOMPARE(QSet<QString>(letters.begin(), letters.end()).size(), letters.size());
  }

 private slots:
  void init() {
    QFETCH_GLOBAL(QString, language);
    if (language == QStringLiteral("en")) {
      InstallLanguage(Language::kEnglish, windows_, qt_);
    }
    QCOMPARE(LanguageCode(InterfaceLanguage()), language.toStdString());
    program_ = ProgramOnASite(dir_.path(), messages_);
  }
  void cleanup() {
    program_.reset();
    QCoreApplication::removeTranslator(&windows_);
    QCoreApplication::removeTranslator(&qt_);
  }
  void initTestCase_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("ru") << QStringLiteral("ru");
    QTest::newRow("en") << QStringLiteral("en");
  }

  // The language a start picks from the locale alone (no settings file names one), and a
  // sample of what the windows then say.
  void theLocaleChoosesTheLanguage() {
    QFETCH_GLOBAL(QString, language);
    if (language != QStringLiteral("ru")) {
      QSKIP("one pass is enough: each locale installs its own catalogs");
    }
    cleanup();
    const struct {
      const char* locale;
      const char* fileMenu;
      const char* status;
    } cases[] = {
        {"en_US.UTF-8", "&File", "Ready"},
        {"C", "&File", "Ready"},
        {"ru_RU.UTF-8", "&Файл", "Готово"},
    };
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());  // no settings file of the user's
    qunsetenv("LC_ALL");
    qunsetenv("LANGUAGE");
    for (const auto& c : cases) {
      qputenv("LC_MESSAGES", c.locale);
      QTranslator windows;
      QTranslator qt;
      InstallLanguage(ProgramLanguage(), windows, qt);
      {
        Program program(dir_.filePath("varnow.ini").toStdString(), messages_.Sink());
        QCOMPARE(program.Window().menuBar()->actions().front()->text(),
                 QString::fromUtf8(c.fileMenu));
        QCOMPARE(Find<QLabel>(&program.Window(), "StatusText")->text(),
                 QString::fromUtf8(c.status));
      }
      QCoreApplication::removeTranslator(&windows);
      QCoreApplication::removeTranslator(&qt);
    }
    qunsetenv("LC_MESSAGES");
    qunsetenv("XDG_CONFIG_HOME");
  }

  void everyMenuAndDialogHasItsOwnAltLetters() {
    CheckMnemonics(&program_->Options(), 20);
    CheckMnemonics(&program_->Banners(), 4);  // "+", Close, and the two fields
    QMenuBar* bar = program_->Window().menuBar();
    QStringList menus;
    for (QAction* menu : bar->actions()) {
      menus << MnemonicOf(menu->text());
      QStringList items;
      for (const QAction* item : menu->menu()->actions()) {
        if (!item->isSeparator()) {
          items << MnemonicOf(item->text());
        }
      }
      QVERIFY2(!items.contains(QString()), qPrintable(items.join(',')));
      QCOMPARE(QSet<QString>(items.begin(), items.end()).size(), items.size());
    }
    QCOMPARE(QSet<QString>(menus.begin(), menus.end()).size(), menus.size());
  }

  // Every window the tests can open, after a run and with a change shown, and the messages
  // it gave. In English the log is made English too: its lines are the only text that
  // follows log.txt's language rather than the interface's.
  void englishLeavesNoCyrillicLetter() {
    if (!English()) {
      QSKIP("the Russian texts are the ones the other tests pin");
    }
    MainWindow& main = program_->Window();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    auto* logLanguage = Find<QComboBox>(&program_->Options(), "logLanguageBox");
    logLanguage->setCurrentIndex(1);
    Find<QPushButton>(&program_->Options(), "okButton")->click();
    Find<QToolButton>(&main, "executeButton")->click();
    QVERIFY(RunEnds(main));
    main.OpenPage(dir_.filePath("site/index.htm").toStdString());
    QVERIFY(ViewersShown(main));
    QVERIFY(main.Summary()->isVisible());
    QList<QWidget*> windows = {&main, &program_->Options(), &program_->Banners(),
                               &program_->About()};
    for (ChangeViewer* viewer : main.findChildren<ChangeViewer*>()) {
      windows << viewer;
    }
    for (QWidget* window : windows) {
      window->show();
      const QStringList found = CyrillicIn(window);
      QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }
    // A run that cannot start, and the box it gives.
    Find<QLineEdit>(&main, "folderField")->setText(dir_.filePath("gone"));
    Find<QToolButton>(&main, "executeButton")->click();
    QVERIFY(RunEnds(main));
    QCOMPARE(messages_.errors.size(), 1);
    QCOMPARE(messages_.errors.front(), "Folder not found: " + dir_.filePath("gone"));
    QVERIFY(CyrillicIn(&main).isEmpty());
    // The program's own boxes, their buttons Qt's or the program's, in English too.
    for (int kind = 0; kind < 3; ++kind) {
      QStringList found = {QStringLiteral("no box")};
      WhenModalShown([&](QWidget* box) {
        found = CyrillicIn(box);
        QTest::keyClick(box, Qt::Key_Escape);
      });
      const QString text = messages_.errors.front();
      kind == 0   ? ShowErrorBox(&main, text)
      : kind == 1 ? void(ShowOfferBox(&main, text, QStringLiteral("Settings...")))
                  : void(ShowQuestionBox(&main, text, QStringLiteral("Replace")));
      QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }
  }
};

}  // namespace varnow::test

QTEST_MAIN(varnow::test::TestLanguages)
#include "TestLanguages.moc"
