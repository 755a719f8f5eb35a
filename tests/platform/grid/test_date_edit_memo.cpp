#include "DBMemo.h"
#include "DateEdit.h"
#include "GridTestSupport.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

using namespace gridtest;
using wik::grid::DBMemo;
using wik::grid::DateEdit;

namespace {

class DateBox : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }
    void SetUp() override {
        box.show();
        QApplication::processEvents();
    }
    void clearByKeys() {
        box.lineEdit()->setFocus();
        box.lineEdit()->selectAll();
        QTest::keyClick(box.lineEdit(), Qt::Key_Backspace);
    }
    DateEdit box;
};

TEST_F(DateBox, ShowsTheRegionalShortDateWithTheFullYear) {
    const QDate d(2026, 11, 21);
    box.setDate(d);
    EXPECT_EQ(box.date(), d);
    EXPECT_FALSE(box.isEmpty());
    EXPECT_EQ(box.lineEdit()->text(), QLocale::system().toString(d, box.displayFormat()));
    EXPECT_TRUE(box.lineEdit()->text().contains("2026"));
}

TEST_F(DateBox, DeletingTheTextEmptiesTheBox) {
    box.setDate(QDate(2026, 11, 21));
    QSignalSpy changed(&box, &DateEdit::dateChanged);
    clearByKeys();
    EXPECT_TRUE(box.isEmpty());
    EXPECT_FALSE(box.date().isValid()); // at once, before the box is left
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_FALSE(changed.at(0).at(0).toDate().isValid());
    box.setDate(QDate());
    EXPECT_TRUE(box.lineEdit()->text().isEmpty());
}

TEST_F(DateBox, TypedDatesAreReadAndOtherTextsGoBack) {
    box.setDate(QDate(2026, 11, 21));
    const QDate typed(2025, 2, 3);
    clearByKeys();
    QTest::keyClicks(box.lineEdit(), QLocale::system().toString(typed, box.displayFormat()));
    EXPECT_EQ(box.date(), typed);
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    clearByKeys();
    QTest::keyClicks(box.lineEdit(), "2024-05-06");
    EXPECT_EQ(box.date(), QDate(2024, 5, 6));
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box.lineEdit()->text(), QLocale::system().toString(QDate(2024, 5, 6), box.displayFormat()));
    clearByKeys();
    QTest::keyClicks(box.lineEdit(), "31 febr");
    EXPECT_EQ(box.date(), QDate(2024, 5, 6));
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box.lineEdit()->text(), QLocale::system().toString(QDate(2024, 5, 6), box.displayFormat()));
}

TEST_F(DateBox, TheCalendarPicksADate) {
    box.setDate(QDate());
    box.showCalendar();
    ASSERT_TRUE(box.calendar()->isVisible());
    EXPECT_EQ(box.calendar()->selectedDate(), QDate::currentDate()); // an empty box opens on today
    emit box.calendar()->clicked(QDate(2026, 1, 15));
    EXPECT_FALSE(box.calendar()->isVisible());
    EXPECT_EQ(box.date(), QDate(2026, 1, 15));
}

class Memo : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }
    void SetUp() override {
        memo.setModel(&model);
        memo.setDataField("err_la_import");
        memo.show();
    }
    TypedModel model{{"id_cmd_c", "err_la_import"},
                     {{"{a}", "(SQL o_kalvoro_cmd_c_ins) : comanda exista\nlinia 2"}, {"{b}", QVariant()}}};
    DBMemo memo;
};

TEST_F(Memo, FollowsTheCurrentRowAndItsChanges) {
    EXPECT_TRUE(memo.isReadOnly());
    EXPECT_EQ(memo.dataColumn(), 1);
    EXPECT_TRUE(memo.toPlainText().isEmpty()); // no current row yet
    memo.setCurrentRow(0);
    EXPECT_EQ(memo.toPlainText(), "(SQL o_kalvoro_cmd_c_ins) : comanda exista\nlinia 2");
    memo.setCurrentRow(1);
    EXPECT_TRUE(memo.toPlainText().isEmpty()); // NULL
    model.setValue(1, 1, "Timeout");
    EXPECT_EQ(memo.toPlainText(), "Timeout");
    model.setValue(0, 1, "alt rand");
    EXPECT_EQ(memo.toPlainText(), "Timeout");
    // The list is read again with the columns in another place: the field is found again.
    model.headers = {"err_la_import", "id_cmd_c"};
    model.replaceRows({{QVariant(), "{a}"}, {"nou", "{b}"}});
    EXPECT_EQ(memo.dataColumn(), 0);
    EXPECT_EQ(memo.toPlainText(), "nou");
    model.replaceRows({});
    EXPECT_TRUE(memo.toPlainText().isEmpty());
}

TEST_F(Memo, TypingNeverReachesTheData) {
    memo.setCurrentRow(1);
    memo.setFocus();
    QTest::keyClicks(&memo, "scris");
    EXPECT_TRUE(memo.toPlainText().isEmpty());
    EXPECT_EQ(model.setDataCalls, 0);
    EXPECT_FALSE(model.rows[1][1].isValid());
}

} // namespace
