// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "BannerListEditor.h"
#include "GuiTestSupport.h"

namespace varnow::test {

class TestBannerListEditor : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString ini_;
  RecordedMessages messages_;
  std::unique_ptr<BannerListEditor> editor_;

  void Open() {
    editor_ = std::make_unique<BannerListEditor>(ini_.toStdString(), messages_.Sink());
    editor_->open();
  }
  QTableWidget* List() { return Find<QTableWidget>(editor_.get(), "bannerList"); }
  QLineEdit* First() { return Find<QLineEdit>(editor_.get(), "firstMarkerField"); }
  QLineEdit* Last() { return Find<QLineEdit>(editor_.get(), "lastMarkerField"); }
  void Plus() { Find<QPushButton>(editor_.get(), "storeButton")->click(); }
  QStringList Row(int row) { return {List()->item(row, 0)->text(), List()->item(row, 1)->text()}; }
  void ClickRow(int row, Qt::KeyboardModifiers keys = {}) {
    QTableWidget* list = List();
    list->scrollToItem(list->item(row, 0));
    const QRect cell = list->visualItemRect(list->item(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, cell.center());
    QCoreApplication::processEvents();  // the click is handled once the view has taken it
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    ini_ = dir_.filePath(QStringLiteral("%1.ini").arg(QTest::currentTestFunction()));
    messages_ = {};
  }
  void cleanup() { editor_.reset(); }

  void listsTheTwentyOneSlotsOnce() {
    WriteSettings(
        ini_,
        "[Banner0]\r\nFirst=<!-- ad -->\r\nLast=<!-- /ad -->\r\n[banner3]\r\nfirst=Только\r\n"
        "[Banner21]\r\nFirst=x\r\nLast=y\r\n");
    Open();
    QCOMPARE(editor_->windowTitle(), QStringLiteral("Правка баннеров"));
    QCOMPARE(List()->rowCount(), 21);
    QCOMPARE(List()->horizontalHeaderItem(0)->text(), QStringLiteral("Начало"));
    QCOMPARE(List()->horizontalHeaderItem(1)->text(), QStringLiteral("Конец"));
    QCOMPARE(Row(0), (QStringList{"<!-- ad -->", "<!-- /ad -->"}));
    QCOMPARE(Row(3), (QStringList{"Только", ""}));
    QCOMPARE(Row(20), (QStringList{"", ""}));
    QVERIFY(List()->selectionModel()->selectedRows().isEmpty());
    QVERIFY(messages_.errors.isEmpty());
  }

  void withoutFileTheRowsAreEmpty() {
    Open();
    QCOMPARE(List()->rowCount(), 21);
    for (int row = 0; row < 21; ++row) {
      QCOMPARE(Row(row), (QStringList{"", ""}));
    }
  }

  // A click loads the slot from the file, not from the row: the row keeps what was read at
  // start until "+" is pressed for it.
  void clickLoadsTheSlotFromTheFile() {
    WriteSettings(ini_, "[Banner2]\nFirst=old-a\nLast=old-b\n");
    Open();
    WriteSettings(ini_, "[Banner2]\nFirst=new-a\nLast=new-b\n");
    ClickRow(2);
    QCOMPARE(First()->text(), QStringLiteral("new-a"));
    QCOMPARE(Last()->text(), QStringLiteral("new-b"));
    QCOMPARE(Row(2), (QStringList{"old-a", "old-b"}));
    ClickRow(5);  // an empty slot empties both boxes
    QCOMPARE(First()->text(), QString());
    QCOMPARE(Last()->text(), QString());

    // Ctrl+click on the selected row takes the selection away: the boxes empty, nothing is
    // loaded into them.
    ClickRow(2);
    QCOMPARE(First()->text(), QStringLiteral("new-a"));
    ClickRow(2, Qt::ControlModifier);
    QVERIFY(List()->selectionModel()->selectedRows().isEmpty());
    QCOMPARE(First()->text(), QString());
    QCOMPARE(Last()->text(), QString());
  }

  void plusStoresIntoTheFileAndTheRow() {
    Open();
    ClickRow(3);
    First()->setText(QStringLiteral("<div class=\"баннер\">"));
    Last()->setText(QStringLiteral(" </div> "));
    Plus();
    QCOMPARE(SectionLines(ini_, "Banner3"),
             (QStringList{"First=<div class=\"баннер\">", "Last= </div> "}));
    QCOMPARE(Row(3), (QStringList{"<div class=\"баннер\">", " </div> "}));

    // Two empty boxes clear the slot, once the user has said so.
    ClickRow(3);
    First()->clear();
    Last()->clear();
    messages_.acceptOffers = true;
    Plus();
    QCOMPARE(messages_.questions.size(), 1);
    QVERIFY(messages_.questions.front().endsWith("| Очистить"));
    QCOMPARE(SectionLines(ini_, "Banner3"), (QStringList{"First=", "Last="}));
    QCOMPARE(Row(3), (QStringList{"", ""}));
    QVERIFY(messages_.errors.isEmpty());
  }

  // A pair is never lost: after "+" the next empty slot is selected, so a second pair typed
  // and stored goes there; storing over a pair (another pair, or nothing) asks, and a "no"
  // leaves the slot and the boxes as they were.
  void aPairIsNeverLost() {
    WriteSettings(ini_, "[Banner4]\nFirst=kept\nLast=/kept\n");
    Open();
    ClickRow(3);
    const struct {
      const char* first;
      const char* last;
      int storedIn;
      int selectedAfter;
    } pairs[] = {{"a", "/a", 3, 5}, {"b", "/b", 5, 6}};
    for (const auto& p : pairs) {
      First()->setText(QString::fromUtf8(p.first));
      Last()->setText(QString::fromUtf8(p.last));
      Plus();
      QCOMPARE(Row(p.storedIn), (QStringList{p.first, p.last}));
      QCOMPARE(List()->selectionModel()->selectedRows().front().row(), p.selectedAfter);
      QCOMPARE(First()->text(), QString());  // the next slot is empty
    }
    QCOMPARE(Row(4), (QStringList{"kept", "/kept"}));
    QVERIFY(messages_.questions.isEmpty());

    for (const bool yes : {false, true}) {
      ClickRow(4);
      First()->setText(QStringLiteral("new"));
      messages_.acceptOffers = yes;
      Plus();
      QCOMPARE(Row(4), (yes ? QStringList{"new", "/kept"} : QStringList{"kept", "/kept"}));
      QCOMPARE(SectionLines(ini_, "Banner4").front(), yes ? "First=new" : "First=kept");
      if (!yes) {
        QCOMPARE(First()->text(), QStringLiteral("new"));  // what was typed stays
      }
    }
    QCOMPARE(messages_.questions.size(), 2);
    QVERIFY(messages_.questions.front().contains("Строка 5 хранит пару «kept» … «/kept»"));
  }

  // The keyboard alone: the arrow keys load rows as clicks do; Tab goes list, opening marker,
  // closing marker, "+", "Закрыть"; Alt+Н and Alt+К go to the boxes.
  void theKeyboardAloneReachesEverything() {
    WriteSettings(ini_, "[Banner0]\nFirst=a0\nLast=b0\n[Banner1]\nFirst=a1\nLast=b1\n");
    Open();
    QVERIFY(QTest::qWaitForWindowActive(editor_.get()));
    List()->setFocus();
    ClickRow(0);
    QTest::keyClick(List(), Qt::Key_Down);
    QCOMPARE(First()->text(), QStringLiteral("a1"));
    QTest::keyClick(List(), Qt::Key_Up);
    QCOMPARE(Last()->text(), QStringLiteral("b0"));
    const QStringList order = {"bannerList",  "firstMarkerField", "lastMarkerField",
                               "storeButton", "closeButton",      "bannerList"};
    List()->setFocus();
    for (int i = 1; i < order.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), order[i]);
    }
    // Cyrillic letters, which QTest cannot spell by name: their keys are their code points.
    const auto altLetter = [](QChar letter) {
      QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(),
                          static_cast<Qt::Key>(letter.toUpper().unicode()), QString(letter),
                          Qt::AltModifier);
    };
    altLetter(QChar(0x043A));  // к
    QCOMPARE(QApplication::focusWidget(), Last());
    altLetter(QChar(0x043D));  // н
    QCOMPARE(QApplication::focusWidget(), First());
  }

  // What was typed is never lost: without a selected row "+" stores the pair into the first
  // empty slot and selects it; with every slot taken it asks, and the boxes keep the text.
  void plusWithoutASelectedRowTakesTheFirstEmptySlot() {
    WriteSettings(ini_, "[Banner0]\nFirst=x\nLast=y\n[Banner1]\nLast=only\n");
    Open();
    First()->setText(QStringLiteral("a"));
    Last()->setText(QStringLiteral("b"));
    Plus();
    QVERIFY(messages_.hints.isEmpty());
    QCOMPARE(SectionLines(ini_, "Banner2"), (QStringList{"First=a", "Last=b"}));
    QCOMPARE(Row(2), (QStringList{"a", "b"}));
    QCOMPARE(List()->selectionModel()->selectedRows().front().row(), 3);  // the next empty one

    for (int row = 3; row < 21; ++row) {
      List()->item(row, 0)->setText(QStringLiteral("taken"));
    }
    List()->clearSelection();
    First()->setText(QStringLiteral("c"));
    Last()->setText(QStringLiteral("d"));
    Plus();
    QCOMPARE(messages_.hints.size(), 1);
    QCOMPARE(First()->text(), QStringLiteral("c"));
    QCOMPARE(Last()->text(), QStringLiteral("d"));
  }

  void plusThatCannotWriteLeavesTheRow() {
    WriteFile(dir_.filePath("plain-file"), "x");
    ini_ = dir_.filePath("plain-file/varnow.ini");
    Open();
    ClickRow(1);
    First()->setText(QStringLiteral("a"));
    Plus();
    QCOMPARE(messages_.errors, QStringList{"Не удалось записать файл настроек: " + ini_});
    QCOMPARE(Row(1), (QStringList{"", ""}));
  }

  void closeButtonHidesTheEditorAndKeepsTheBoxes() {
    Open();
    First()->setText(QStringLiteral("kept"));
    Find<QPushButton>(editor_.get(), "closeButton")->click();
    QVERIFY(!editor_->isVisible());
    QCOMPARE(First()->text(), QStringLiteral("kept"));
    QVERIFY(!QFile::exists(ini_));
  }
};

}  // namespace varnow::test

QTEST_MAIN(varnow::test::TestBannerListEditor)
#include "TestBannerListEditor.moc"
