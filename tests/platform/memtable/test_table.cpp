// The memory table itself: open and closed, rows, NULL against empty text, field sizes, and the
// state a failed load leaves behind.
#include "Error.h"
#include "MemTableFixture.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

const QString company = QStringLiteral("company");
const QString username = QStringLiteral("username");

TEST(MemTable, AClosedTableHoldsNoRowsAndClosingDropsThem) {
    auto table = makeLoginTable();
    EXPECT_FALSE(table->isActive());
    EXPECT_EQ(table->recordCount(), 0);
    EXPECT_FALSE(table->value(company).has_value());
    EXPECT_THROW(table->append(), wik::Error);

    table->open();
    EXPECT_EQ(table->recordCount(), 0);
    EXPECT_EQ(table->currentRow(), -1);
    table->append();
    EXPECT_EQ(table->currentRow(), 0);
    EXPECT_TRUE(table->isNull(company));
    EXPECT_TRUE(table->isNull(username));
    table->setValue(company, QStringLiteral("Firma"));

    table->open(); // already open: keeps its row
    EXPECT_EQ(table->text(company), QStringLiteral("Firma"));
    table->close();
    table->open();
    EXPECT_EQ(table->recordCount(), 0);
}

TEST(MemTable, NullIsNotTheEmptyText) {
    auto table = makeLoginTable();
    table->open();
    table->append();
    table->setValue(company, QString(""));
    EXPECT_FALSE(table->isNull(company));
    EXPECT_EQ(table->text(company), QString());
    table->setNull(company);
    EXPECT_TRUE(table->isNull(company));
}

TEST(MemTable, ATextLongerThanItsFieldIsRefusedAndTheValueKept) {
    auto table = makeLoginTable();
    table->open();
    table->append();
    table->setValue(company, QString(200, QChar(u'ă')));
    EXPECT_THROW(table->setValue(company, QString(201, QChar(u'x'))), wik::Error);
    EXPECT_EQ(table->text(company), QString(200, QChar(u'ă')));
}

TEST(MemTable, MisuseRaisesErrors) {
    auto table = makeLoginTable();
    EXPECT_THROW(table->addField(company, 10), wik::Error); // declared twice
    EXPECT_THROW(table->value(QStringLiteral("parola")), wik::Error);
    table->open();
    EXPECT_THROW(table->addField(QStringLiteral("parola"), 10), wik::Error);
    EXPECT_THROW(table->setValue(company, QStringLiteral("x")), wik::Error); // no row
    EXPECT_THROW(table->setCurrentRow(0), wik::Error);
}

TEST(MemTable, SignalsTellTheBindingsWhatChanged) {
    auto table = makeLoginTable();
    QSignalSpy state(table.get(), &wik::MemTable::stateChanged);
    QSignalSpy values(table.get(), &wik::MemTable::valueChanged);
    table->open();
    table->append();
    EXPECT_EQ(state.count(), 2);
    table->setValue(username, QStringLiteral("ion"));
    table->setValue(username, QStringLiteral("ion")); // unchanged: no signal
    ASSERT_EQ(values.count(), 1);
    EXPECT_EQ(values[0][0].toInt(), 0);
    EXPECT_EQ(values[0][1].toInt(), table->fieldIndex(username));
    table->close();
    EXPECT_EQ(state.count(), 3);
}

TEST(MemTable, LoadingReplacesWhatTheTableHeld) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ZeltoPalun.json"));
    auto saved = makeLoginTable();
    saved->open();
    saved->append();
    saved->setValue(company, QStringLiteral("Din fisier"));
    saved->saveToFile(path);

    auto table = makeLoginTable();
    table->open();
    for (const char *name : {"unu", "doi"}) {
        table->append();
        table->setValue(company, QString::fromLatin1(name));
        table->setValue(username, QStringLiteral("x"));
    }
    QSignalSpy state(table.get(), &wik::MemTable::stateChanged);
    table->loadFromFile(path);
    EXPECT_EQ(state.count(), 1);
    ASSERT_EQ(table->recordCount(), 1);
    EXPECT_EQ(table->currentRow(), 0);
    EXPECT_EQ(table->text(company), QStringLiteral("Din fisier"));
    EXPECT_TRUE(table->isNull(username));
}

TEST(MemTable, AfterAFailedLoadTheTableIsOpenEmptyAndTheNextSaveIsReadable) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ZeltoPalun.json"));
    writeBytes(path, "{\"FDBS\":");
    auto table = makeLoginTable();
    table->open();
    table->append();
    table->setValue(company, QStringLiteral("Tastat inainte"));
    QSignalSpy state(table.get(), &wik::MemTable::stateChanged);

    EXPECT_THROW(table->loadFromFile(path), wik::Error);
    EXPECT_EQ(state.count(), 1);
    EXPECT_TRUE(table->isActive());
    EXPECT_EQ(table->recordCount(), 0);

    table->append();
    table->setValue(company, QStringLiteral("Tastat dupa"));
    table->saveToFile(path);
    auto loaded = makeLoginTable();
    loaded->loadFromFile(path);
    EXPECT_EQ(loaded->text(company), QStringLiteral("Tastat dupa"));
}

TEST(MemTable, AClosedTableSavesAReadableFileWithoutRows) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ZeltoPalun.json"));
    makeLoginTable()->saveToFile(path);
    auto loaded = makeLoginTable();
    loaded->loadFromFile(path);
    EXPECT_EQ(loaded->recordCount(), 0);
}

} // namespace
