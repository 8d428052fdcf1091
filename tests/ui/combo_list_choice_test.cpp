// Editable list boxes choose only from their list: leaving the text box with a text that
// names an item must not count as choosing it (a record would be loaded over the window's
// data), while the arrow keys and the open list still choose.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "platform/combo_box.h"

namespace {

struct Box {
  QComboBox combo;
  Box() {
    combo.setEditable(true);
    combo.setInsertPolicy(QComboBox::NoInsert);
    combo.addItems({QStringLiteral("示范井1"), QStringLiteral("示范井2")});
    combo.setCurrentIndex(0);
  }
  // The user types an item's text and the focus moves on.
  void type_and_leave(const QString& text) {
    combo.lineEdit()->setText(text);
    emit combo.lineEdit()->editingFinished();
  }
};

TEST(ComboListChoice, LeavingTheTextBoxChoosesNothing) {
  {
    // Without the rule the box itself counts leaving as a choice: the case this guards.
    Box plain;
    QSignalSpy spy(&plain.combo, &QComboBox::activated);
    plain.type_and_leave(QStringLiteral("示范井2"));
    EXPECT_EQ(spy.count(), 1);
  }
  Box b;
  wb::choose_from_list_only(&b.combo);
  QSignalSpy spy(&b.combo, &QComboBox::activated);
  b.type_and_leave(QStringLiteral("示范井2"));
  EXPECT_EQ(spy.count(), 0);
  EXPECT_EQ(b.combo.currentText(), QStringLiteral("示范井2"));  // the typed text stays
}

TEST(ComboListChoice, ArrowKeysStillChoose) {
  Box b;
  wb::choose_from_list_only(&b.combo);
  QSignalSpy spy(&b.combo, &QComboBox::activated);
  QTest::keyClick(&b.combo, Qt::Key_Down);
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.at(0).at(0).toInt(), 1);
}

}  // namespace
