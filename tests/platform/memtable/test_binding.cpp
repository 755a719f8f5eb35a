// Text boxes bound both ways to the remembered-login table, driven as the operator types.
#include "Error.h"
#include "FieldBinding.h"
#include "MemTableFixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString company = QStringLiteral("company");
const QString username = QStringLiteral("username");

class BindingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_memtable";
        static char *argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }

    void SetUp() override {
        edit1 = new QLineEdit(&window);
        edit2 = new QLineEdit(&window);
        new wik::FieldBinding(edit1, table.get(), company);
        new wik::FieldBinding(edit2, table.get(), username);
    }

    void saveFile(const wik::FieldValue &companyValue, const wik::FieldValue &usernameValue) {
        auto saved = makeLoginTable();
        saved->open();
        saved->append();
        saved->setValue(company, companyValue);
        saved->setValue(username, usernameValue);
        saved->saveToFile(path);
    }

    QWidget window;
    std::unique_ptr<wik::MemTable> table = makeLoginTable();
    QLineEdit *edit1 = nullptr;
    QLineEdit *edit2 = nullptr;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("ZeltoPalun.json"));
};

TEST_F(BindingTest, LoadingFillsTheBoxesAndNullShowsEmpty) {
    saveFile(QStringLiteral("Firma / Șoimul"), std::nullopt);
    edit2->setText(QStringLiteral("nimic")); // a closed table takes nothing from its boxes
    EXPECT_FALSE(table->isActive());

    table->loadFromFile(path);
    EXPECT_EQ(edit1->text(), QStringLiteral("Firma / Șoimul"));
    EXPECT_EQ(edit2->text(), QString());
    EXPECT_TRUE(table->isNull(username));
}

TEST_F(BindingTest, OpeningWithoutAFileEmptiesTheBoxes) {
    edit1->setText(QStringLiteral("ramas"));
    table->open();
    EXPECT_EQ(edit1->text(), QString());
    EXPECT_EQ(table->recordCount(), 0);
}

TEST_F(BindingTest, EveryKeystrokeIsWrittenAndTheFirstAddsTheRow) {
    table->open();
    QSignalSpy values(table.get(), &wik::MemTable::valueChanged);
    QTest::keyClicks(edit1, QStringLiteral("Fi"));
    ASSERT_EQ(table->recordCount(), 1);
    EXPECT_EQ(table->text(company), QStringLiteral("Fi"));
    EXPECT_TRUE(table->isNull(username));

    QTest::keyClicks(edit2, QStringLiteral("ion"));
    QTest::keyClick(edit2, Qt::Key_Backspace);
    EXPECT_EQ(table->recordCount(), 1);
    EXPECT_EQ(table->text(username), QStringLiteral("io"));
    EXPECT_EQ(values.count(), 6);

    edit1->clear(); // an emptied box holds an empty text, not NULL
    EXPECT_FALSE(table->isNull(company));
    EXPECT_EQ(table->text(company), QString());
}

TEST_F(BindingTest, TypingIsNotEchoedBackIntoTheBox) {
    table->open();
    QSignalSpy texts(edit1, &QLineEdit::textChanged);
    QTest::keyClicks(edit1, QStringLiteral("ac"));
    QTest::keyClick(edit1, Qt::Key_Left);
    QTest::keyClicks(edit1, QStringLiteral("b"));
    // A write back would have moved the cursor to the end and given "acb".
    EXPECT_EQ(edit1->text(), QStringLiteral("abc"));
    EXPECT_EQ(edit1->cursorPosition(), 2);
    EXPECT_EQ(table->text(company), QStringLiteral("abc"));
    EXPECT_EQ(texts.count(), 3);
}

TEST_F(BindingTest, AChangeOfTheTableShowsInItsBoxOnly) {
    table->open();
    table->append();
    QSignalSpy values(table.get(), &wik::MemTable::valueChanged);
    QSignalSpy texts2(edit2, &QLineEdit::textChanged);
    table->setValue(company, QStringLiteral("Nou"));
    EXPECT_EQ(edit1->text(), QStringLiteral("Nou"));
    EXPECT_EQ(values.count(), 1); // the box did not write it back
    EXPECT_EQ(texts2.count(), 0);
}

TEST_F(BindingTest, LoadingDropsWhatWasTypedSince) {
    saveFile(QStringLiteral("Salvat"), QStringLiteral("ion"));
    table->loadFromFile(path);
    QTest::keyClicks(edit1, QStringLiteral("X"));
    EXPECT_EQ(table->text(company), QStringLiteral("SalvatX"));
    table->loadFromFile(path);
    EXPECT_EQ(edit1->text(), QStringLiteral("Salvat"));
    EXPECT_EQ(table->text(company), QStringLiteral("Salvat"));
}

TEST_F(BindingTest, WhatTheBoxesHoldIsWhatASaveWrites) {
    table->open();
    QTest::keyClicks(edit1, QStringLiteral("Firma \"Ana\""));
    QTest::keyClicks(edit2, QStringLiteral("ana/1"));
    table->saveToFile(path);

    auto loaded = makeLoginTable();
    loaded->loadFromFile(path);
    EXPECT_EQ(loaded->text(company), QStringLiteral("Firma \"Ana\""));
    EXPECT_EQ(loaded->text(username), QStringLiteral("ana/1"));
}

TEST_F(BindingTest, AfterAnUnreadableFileTheBoxesAreEmptyAndTypingRepairsTheFile) {
    saveFile(QStringLiteral("Veche"), QStringLiteral("ion"));
    table->loadFromFile(path);
    writeBytes(path, "\xEF\xBB\xBF{\"FDBS\":{\"Version\":16,\"Manag");

    EXPECT_THROW(table->loadFromFile(path), wik::Error);
    EXPECT_EQ(edit1->text(), QString());
    EXPECT_EQ(edit2->text(), QString());

    QTest::keyClicks(edit1, QStringLiteral("Noua"));
    table->saveToFile(path);
    auto loaded = makeLoginTable();
    loaded->loadFromFile(path);
    EXPECT_EQ(loaded->text(company), QStringLiteral("Noua"));
    EXPECT_TRUE(loaded->isNull(username));
}

TEST_F(BindingTest, ABoxHoldsNoMoreThanItsFieldCanKeep) {
    table->open();
    EXPECT_EQ(edit1->maxLength(), 200);
    edit1->setText(QString(250, QChar(u'ș')));
    EXPECT_EQ(table->text(company), QString(200, QChar(u'ș')));
}

TEST_F(BindingTest, TheBoxesFollowTheCurrentRow) {
    table->open();
    table->append();
    table->setValue(company, QStringLiteral("Prima"));
    table->append();
    EXPECT_EQ(edit1->text(), QString());
    table->setValue(company, QStringLiteral("A doua"));
    table->setCurrentRow(0);
    EXPECT_EQ(edit1->text(), QStringLiteral("Prima"));
    table->setValue(company, QStringLiteral("Alta")); // not the current row's: no effect on row 1
    table->setCurrentRow(1);
    EXPECT_EQ(edit1->text(), QStringLiteral("A doua"));
}

TEST_F(BindingTest, ABoxDestroyedBeforeItsTableLeavesNothingDangling) {
    delete edit1;
    edit1 = nullptr;
    saveFile(QStringLiteral("Firma"), QStringLiteral("ion"));
    table->loadFromFile(path);
    table->setValue(company, QStringLiteral("Alta"));
    EXPECT_EQ(edit2->text(), QStringLiteral("ion"));
}

} // namespace
