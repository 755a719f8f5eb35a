// The saved-login file against content found by feeding the reader arbitrary bytes: a value that
// must come back exactly as it was typed, and files that must be refused the way every damaged
// file is refused (the storage's Error, the table left open and empty), whatever JSON they hold.
#include "Error.h"
#include "MemTableFixture.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <string>

namespace {

class HostileFile : public ::testing::Test {
protected:
    QString file() const { return dir.filePath(QStringLiteral("ZeltoPalun.json")); }
    QTemporaryDir dir;
};

// A name that starts with U+FEFF (ZERO WIDTH NO-BREAK SPACE, pasted with a copied text) is a
// value like any other: the byte-order mark that begins the file is not the one inside a value.
TEST_F(HostileFile, AValueBeginningWithAByteOrderMarkCharacterReadsBackWhole) {
    const QString company = QStringLiteral("\uFEFFFirma");
    const QString username = QStringLiteral("\uFEFF\uFEFFion");
    auto saved = makeLoginTable();
    saved->open();
    saved->append();
    saved->setValue(QStringLiteral("company"), company);
    saved->setValue(QStringLiteral("username"), username);
    saved->saveToFile(file());

    auto loaded = makeLoginTable();
    loaded->loadFromFile(file());
    ASSERT_EQ(loaded->recordCount(), 1);
    EXPECT_EQ(loaded->text(QStringLiteral("company")), company);
    EXPECT_EQ(loaded->text(QStringLiteral("username")), username);
}

struct RefusedCase {
    const char *name;
    QByteArray document;
};

void PrintTo(const RefusedCase &c, std::ostream *os) { *os << c.name; }

class Refused : public HostileFile, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(Refused, AsADamagedFileWithTheTableLeftOpenAndEmpty) {
    writeBytes(file(), GetParam().document);
    auto table = makeLoginTable();
    table->open();
    table->append();
    table->setValue(QStringLiteral("company"), QStringLiteral("inainte"));
    try {
        table->loadFromFile(file());
        ADD_FAILURE() << "the file was read";
    } catch (const wik::Error &e) {
        EXPECT_EQ(e.message().rfind("Fisierul ", 0), 0u) << e.message();
        EXPECT_NE(e.message().find(" nu poate fi citit: "), std::string::npos) << e.message();
    } catch (const std::exception &e) {
        ADD_FAILURE() << "not the storage's error: " << e.what();
    }
    EXPECT_TRUE(table->isActive());
    EXPECT_EQ(table->recordCount(), 0);
}

QByteArray nestedArrays(int levels) {
    return QByteArray(levels, '[') + QByteArray(levels, ']');
}

INSTANTIATE_TEST_SUITE_P(
    Files, Refused,
    ::testing::Values(
        // A number beyond the range of a double anywhere in the document.
        RefusedCase{"NumberTooLargeForADouble", R"({"FDBS":{"Version":1E400}})"},
        RefusedCase{"NumberTooLargeInARow",
                    R"({"FDBS":{"Manager":{"TableList":[{"RowList":[{"RowID":-1e999}]}]}}})"},
        // Nesting far deeper than any document of the layout.
        RefusedCase{"DeeplyNestedValue", "{\"FDBS\":" + nestedArrays(100000) + "}"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
