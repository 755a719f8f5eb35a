// The saved-login file's layout: what the writer produces byte for byte, what the reader accepts,
// and the files it refuses.
#include "Error.h"
#include "MemTableFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstring>

namespace {

const QByteArray bom("\xEF\xBB\xBF");

class StorageTest : public ::testing::Test {
protected:
    QString file(const char *name = "ZeltoPalun.json") const {
        return dir.filePath(QString::fromLatin1(name));
    }
    QTemporaryDir dir;
};

// --- round trip ----------------------------------------------------------------------------

struct RoundTripCase {
    const char *name;
    wik::FieldValue company;
    wik::FieldValue username;
};

class RoundTrip : public StorageTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTrip, WhatIsSavedLoadsBackUnchanged) {
    const auto &c = GetParam();
    auto saved = makeLoginTable();
    saved->open();
    saved->append();
    saved->setValue(QStringLiteral("company"), c.company);
    saved->setValue(QStringLiteral("username"), c.username);
    saved->saveToFile(file());

    auto loaded = makeLoginTable();
    loaded->loadFromFile(file());
    ASSERT_EQ(loaded->recordCount(), 1);
    EXPECT_EQ(shown(loaded->value(QStringLiteral("company"))), shown(c.company));
    EXPECT_EQ(shown(loaded->value(QStringLiteral("username"))), shown(c.username));
}

INSTANTIATE_TEST_SUITE_P(
    Values, RoundTrip,
    ::testing::Values(
        RoundTripCase{"Diacritics", QStringLiteral("Hotel Someș ĂÂÎȘȚ ăâîșț"),
                      QStringLiteral("Ștefan")},
        RoundTripCase{"SlashQuotesBackslash", QStringLiteral("A/B \"C\" \\D\\ </script>"),
                      QStringLiteral("//\\\\\"\"")},
        RoundTripCase{"ShortEscapes", QStringLiteral("\b\f\n\r\t"), QStringLiteral("a\r\nb")},
        RoundTripCase{"OtherControlCharacters", QString::fromUtf16(u"\u0000x\u0001\u001f\u007f", 5),
                      QStringLiteral("\x0b\x1b")},
        RoundTripCase{"BeyondTheBasicPlane", QString::fromUtf16(u"😀 €"), QStringLiteral("中文")},
        RoundTripCase{"TwoHundredCharacters", QString(200, QChar(u'ș')),
                      QString(199, QChar(u'x')) + QChar(u'/')},
        RoundTripCase{"EmptyIsNotNull", QString(""), std::nullopt},
        RoundTripCase{"NullIsNotEmpty", std::nullopt, QString("")},
        RoundTripCase{"BothNull", std::nullopt, std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(StorageTest, AnEmptyTableLoadsBackEmptyAndOpen) {
    auto saved = makeLoginTable();
    saved->open();
    saved->saveToFile(file());
    auto loaded = makeLoginTable();
    loaded->loadFromFile(file());
    EXPECT_TRUE(loaded->isActive());
    EXPECT_EQ(loaded->recordCount(), 0);
    EXPECT_EQ(loaded->currentRow(), -1);
}

// --- the writer's exact bytes --------------------------------------------------------------

TEST_F(StorageTest, WriterProducesTheLayoutByteForByte) {
    auto table = makeLoginTable();
    table->open();
    table->append();
    table->setValue(QStringLiteral("company"),
                    QString::fromUtf16(u"Firma \"Ana\" / Cluj\\Nord\tșț\u0001\u001f"));
    table->saveToFile(file());

    const QByteArray expected =
        bom +
        R"({"FDBS":{"Version":16,"Manager":{"TableList":[{"class":"Table","Name":"dsLogin",)"
        R"("ColumnList":[{"class":"Column","Name":"company","DataType":"WideString","Size":200},)"
        R"({"class":"Column","Name":"username","DataType":"WideString","Size":200}],)"
        R"("ConstraintList":[],"ViewList":[],"RowList":[{"RowID":0,"Original":)"
        R"({"company":"Firma \"Ana\" \/ Cluj\\Nord\tșț\u0001\u001F"}}]}],"RelationList":[]}}})";
    EXPECT_EQ(readBytes(file()).toStdString(), expected.toStdString());

    table->setValue(QStringLiteral("username"), QString(""));
    table->saveToFile(file());
    EXPECT_TRUE(readBytes(file()).contains(R"("Original":{"company":"Firma \"Ana\" \/ )"
                                           R"(Cluj\\Nord\tșț\u0001\u001F","username":""}}])"));
}

// --- what the reader accepts ---------------------------------------------------------------

struct ReadCase {
    const char *name;
    QByteArray document;
    int rows;
    wik::FieldValue company;
    wik::FieldValue username;
};

class Reader : public StorageTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(Reader, TakesTheFirstRowsValues) {
    const auto &c = GetParam();
    writeBytes(file(), c.document);
    auto table = makeLoginTable();
    table->loadFromFile(file());
    EXPECT_TRUE(table->isActive());
    ASSERT_EQ(table->recordCount(), c.rows);
    EXPECT_EQ(table->currentRow(), c.rows > 0 ? 0 : -1);
    EXPECT_EQ(shown(table->value(QStringLiteral("company"))), shown(c.company));
    EXPECT_EQ(shown(table->value(QStringLiteral("username"))), shown(c.username));
}

// A document in the layout around one row object, compact and without a byte-order mark.
QByteArray withRows(const char *rows) {
    return QByteArray(R"({"FDBS":{"Version":16,"Manager":{"TableList":[{"class":"Table",)"
                      R"("Name":"dsLogin","ColumnList":[],"ConstraintList":[],"ViewList":[],)"
                      R"("RowList":[)") +
           rows + "]}],\"RelationList\":[]}}}";
}

INSTANTIATE_TEST_SUITE_P(
    Documents, Reader,
    ::testing::Values(
        ReadCase{"CurrentOverOriginalWithExtrasAndUnusualWhitespace",
                 bom + "{\r\n\t\"FDBS\" :\t{ \"Version\" : 16 ,\r\n\"Manager\":{\"Streaming\":true,"
                       "\"TableList\"\t:[ {\"class\":\"Table\",\"Name\":\"dsLogin\","
                       "\"SourceName\":\"x\",\"TabID\":0,\"ColumnList\":[\r\n{\"class\":\"Column\","
                       "\"Name\":\"company\",\"SourceID\":1,\"DataType\":\"WideString\","
                       "\"Size\":200,\"Searchable\":true,\"AllowNull\":true},{\"class\":\"Column\","
                       "\"Name\":\"username\",\"DataType\":\"WideString\",\"Size\":200,"
                       "\"Note\":{\"a\":[1,2]}}],\"ConstraintList\":[],\"ViewList\":[],"
                       "\"RowList\":[\r\n\t{\"RowID\":0,\"RowState\":\"Modified\","
                       "\"Original\":{\"company\":\"Veche\",\"username\":\"ion\"},"
                       "\"Current\":{\"company\":\"Noua \\/ SRL \\u0218\\u021b \\ud83d\\ude00\","
                       "\"username\":\"maria\"},\"Extra\":1}\r\n]}\r\n],\"RelationList\":[],"
                       "\"UpdatesJournal\":{\"Changes\":[{\"row\":0}]}}}}\r\n",
                 1, QString::fromUtf16(u"Noua / SRL Șț 😀"), QStringLiteral("maria")},
        ReadCase{"OriginalOnlyWithoutWhitespaceOrBom",
                 withRows(R"({"RowID":0,"Original":{"company":"Firma","username":"ion"}})"), 1,
                 QStringLiteral("Firma"), QStringLiteral("ion")},
        ReadCase{"ColumnAbsentFromCurrentIsNull",
                 withRows(R"({"RowID":0,"RowState":"Modified","Original":{"company":"A",)"
                          R"("username":"u"},"Current":{"company":"B"}})"),
                 1, QStringLiteral("B"), std::nullopt},
        ReadCase{"EmptyRowListGivesNoRow", withRows(""), 0, std::nullopt, std::nullopt},
        ReadCase{"OnlyTheFirstRowCounts",
                 withRows(R"({"RowID":0,"Original":{"company":"Prima"}},)"
                          R"({"RowID":1,"Original":{"company":"A doua","username":"x"}})"),
                 1, QStringLiteral("Prima"), std::nullopt},
        ReadCase{"EmptyTextStaysEmpty", withRows(R"({"RowID":0,"Original":{"company":""}})"), 1,
                 QString(""), std::nullopt},
        ReadCase{"NullAndUnknownColumns",
                 withRows(R"({"RowID":0,"Original":{"company":null,"username":"u","alt":5}})"), 1,
                 std::nullopt, QStringLiteral("u")},
        ReadCase{"InsertedRowWithCurrentOnly",
                 withRows(R"({"RowID":0,"RowState":"Inserted","Current":{"username":"nou"}})"), 1,
                 std::nullopt, QStringLiteral("nou")},
        ReadCase{"RowWithoutValues", withRows(R"({"RowID":0})"), 1, std::nullopt, std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

// --- what the reader refuses ---------------------------------------------------------------

struct DamagedCase {
    const char *name;
    QByteArray document;
    const char *reason; // the start of the reason the message gives
};

class Damaged : public StorageTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(Damaged, RaisesAndSaysWhy) {
    const auto &c = GetParam();
    writeBytes(file(), c.document);
    auto table = makeLoginTable();
    try {
        table->loadFromFile(file());
        FAIL() << "a damaged file was read";
    } catch (const wik::Error &e) {
        const std::string prefix =
            "Fisierul " + QDir::toNativeSeparators(file()).toStdString() + " nu poate fi citit: ";
        EXPECT_EQ(e.message().substr(0, prefix.size() + std::strlen(c.reason)), prefix + c.reason);
    }
}

const QByteArray longValue = QByteArray(201, 'x');

INSTANTIATE_TEST_SUITE_P(
    Files, Damaged,
    ::testing::Values(
        DamagedCase{"EmptyFile", "", "fisierul este gol"},
        DamagedCase{"OnlyAByteOrderMark", bom, "nu este un document JSON valid"},
        DamagedCase{"NotJson", "company=Firma\nusername=ion\n", "nu este un document JSON valid"},
        DamagedCase{"TrailingText", withRows("") + " x", "nu este un document JSON valid"},
        DamagedCase{"InvalidUtf8", withRows("{\"Original\":{\"company\":\"\xC3\x28\"}}"),
                    "nu este un document JSON valid"},
        DamagedCase{"ForeignObject", R"({"a":1})", "lipseste \"FDBS\""},
        DamagedCase{"TopLevelArray", "[1,2]", "documentul nu este un obiect JSON"},
        DamagedCase{"TopLevelString", "\"FDBS\"", "documentul nu este un obiect JSON"},
        DamagedCase{"FdbsNotAnObject", R"({"FDBS":[]})", "\"FDBS\" nu este un obiect"},
        DamagedCase{"NoManager", R"({"FDBS":{"Version":16}})", "lipseste \"Manager\""},
        DamagedCase{"NoTableList", R"({"FDBS":{"Manager":{"RelationList":[]}}})",
                    "lipseste \"TableList\""},
        DamagedCase{"EmptyTableList", R"({"FDBS":{"Manager":{"TableList":[]}}})",
                    "\"TableList\" nu contine nicio tabela"},
        DamagedCase{"TableNotAnObject", R"({"FDBS":{"Manager":{"TableList":[7]}}})",
                    "tabela din \"TableList\" nu este un obiect"},
        DamagedCase{"NoRowList", R"({"FDBS":{"Manager":{"TableList":[{"class":"Table"}]}}})",
                    "lipseste \"RowList\""},
        DamagedCase{"RowListNotAnArray", R"({"FDBS":{"Manager":{"TableList":[{"RowList":{}}]}}})",
                    "\"RowList\" nu este o lista"},
        DamagedCase{"RowNotAnObject", withRows("\"x\""),
                    "primul rand din \"RowList\" nu este un obiect"},
        DamagedCase{"CurrentNotAnObject", withRows(R"({"Current":"x","Original":{}})"),
                    "\"Current\" nu este un obiect"},
        DamagedCase{"NumberWhereATextBelongs", withRows(R"({"Original":{"company":5}})"),
                    "valoarea coloanei \"company\" nu este un text"},
        DamagedCase{"ObjectWhereATextBelongs", withRows(R"({"Current":{"username":{"v":"x"}}})"),
                    "valoarea coloanei \"username\" nu este un text"},
        DamagedCase{"ValueLongerThanItsField",
                    withRows(R"({"Original":{"company":")" + longValue + "\"}}"),
                    "valoarea coloanei \"company\" depaseste 200 de caractere"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(StorageTest, EveryCutShortCopyOfAGoodFileIsRefused) {
    auto table = makeLoginTable();
    table->open();
    table->append();
    table->setValue(QStringLiteral("company"), QStringLiteral("Firma/Ș"));
    table->setValue(QStringLiteral("username"), QStringLiteral("ion"));
    table->saveToFile(file("good.json"));
    const QByteArray good = readBytes(file("good.json"));
    ASSERT_FALSE(good.isEmpty());

    for (qsizetype length = 0; length < good.size(); ++length) {
        writeBytes(file(), good.left(length));
        auto loaded = makeLoginTable();
        EXPECT_THROW(loaded->loadFromFile(file()), wik::Error) << "cut at " << length;
    }
}

TEST_F(StorageTest, AMissingFileIsRefused) {
    auto table = makeLoginTable();
    EXPECT_THROW(table->loadFromFile(file("absent.json")), wik::Error);
}

} // namespace
