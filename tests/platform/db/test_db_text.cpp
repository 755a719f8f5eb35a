// Statement texts with named parameters, parameter values on the wire, and the text forms of
// values: everything the data access layer does before and after the server.
#include "Param.h"
#include "SqlStatement.h"
#include "ValueText.h"

#include "Error.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cstring>
#include <functional>

using namespace wik::db;

namespace {

QStringList paramNames(SqlStatement &s) {
    QStringList names;
    for (int i = 0; i < s.count(); ++i)
        names << s.at(i).name();
    return names;
}

struct ParseCase {
    const char *sql;
    const char *server;
    QStringList names;
};

} // namespace

TEST(SqlStatementTest, RewritesNamedParametersAndLeavesEverythingElse) {
    const ParseCase cases[] = {
        {"select * from emitent where emitent = :pEmitent and operator_parola = :pP",
         "select * from emitent where emitent = $1 and operator_parola = $2", {"pEmitent", "pP"}},
        // one parameter however often and in whatever case it is named
        {"where lower(a) = lower(:pAplicatieMob) or b = :PAPLICATIEMOB or c = :paplicatiemob",
         "where lower(a) = lower($1) or b = $1 or c = $1", {"pAplicatieMob"}},
        // casts
        {"select cmd_c_json::json->>'x', :p::date, :q", "select cmd_c_json::json->>'x', $1::date, $2",
         {"p", "q"}},
        // literals, quoted identifiers, escapes and comments hold no parameters
        {"select ':a', 'it''s :b', \":c\" from t -- :d\nwhere x = :e /* :f /* :g */ :h */ and y = :i",
         "select ':a', 'it''s :b', \":c\" from t -- :d\nwhere x = $1 /* :f /* :g */ :h */ and y = $2",
         {"e", "i"}},
        {"select E'a\\' :x', :y", "select E'a\\' :x', $1", {"y"}},
        {"select $$ :a $$, $tag$ :b $tag$, :c", "select $$ :a $$, $tag$ :b $tag$, $1", {"c"}},
        // a lone colon, a digit after a colon (array slices), a colon at the end
        {"select a[1:2], b : c, :", "select a[1:2], b : c, :", {}},
        {"SELECT * FROM o_kalvoro_cmd_c_ins(:pidorder, :pemitent)",
         "SELECT * FROM o_kalvoro_cmd_c_ins($1, $2)", {"pidorder", "pemitent"}},
    };
    for (const ParseCase &c : cases) {
        SqlStatement s;
        s.setSql(QString::fromUtf8(c.sql));
        EXPECT_EQ(s.serverSql().toStdString(), c.server) << c.sql;
        EXPECT_EQ(paramNames(s), c.names) << c.sql;
    }
}

TEST(SqlStatementTest, NamesMatchWithoutCaseAndUnknownNamesAreRefused) {
    SqlStatement s;
    s.setSql("select :pIdOrder, :pEmitent");
    s.byName("PIDORDER").setAsGuid("{11111111-1111-4111-8111-111111111111}");
    EXPECT_EQ(&s.byName("pidorder"), &s.at(0));
    try {
        s.byName("pNothing");
        FAIL();
    } catch (const wik::Error &e) {
        EXPECT_EQ(e.message(), "Parameter not found : pNothing");
    }
    // A new text keeps the values of the parameters it still names.
    s.setSql("select :pidorder");
    ASSERT_EQ(s.count(), 1);
    EXPECT_EQ(s.at(0).asString(), "{11111111-1111-4111-8111-111111111111}");
}

TEST(ParamTest, ValuesTravelAsTextWithTheirKindsType) {
    struct Case {
        const char *what;
        std::function<void(Param &)> set;
        std::optional<QByteArray> text;
        Oid type;
    };
    const Case cases[] = {
        {"never given a value", [](Param &) {}, std::nullopt, 0},
        {"text", [](Param &p) { p.setAsString(QString::fromUtf8("Ștefan")); }, QByteArray("Ștefan"), 0},
        {"memo", [](Param &p) { p.setAsWideMemo("{\"a\": 1}"); }, QByteArray("{\"a\": 1}"), 0},
        {"empty text is not NULL", [](Param &p) { p.setAsString(""); }, QByteArray(""), 0},
        {"braced guid", [](Param &p) { p.setAsGuid("{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}"); },
         QByteArray("A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11"), pgtype::Uuid},
        {"bare guid", [](Param &p) { p.setAsGuid("a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11"); },
         QByteArray("a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11"), pgtype::Uuid},
        {"NULL guid keeps its type", [](Param &p) { p.setAsGuid("x"); p.setNull(); }, std::nullopt,
         pgtype::Uuid},
        {"date", [](Param &p) { p.setAsDate(QDate(2026, 1, 5)); }, QByteArray("2026-01-05"), pgtype::Date},
        {"null date", [](Param &p) { p.setAsDate(QDate()); }, std::nullopt, pgtype::Date},
        {"date-time", [](Param &p) { p.setAsDateTime(QDateTime(QDate(2026, 1, 5), QTime(7, 8, 9, 120))); },
         QByteArray("2026-01-05 07:08:09.120"), pgtype::Timestamp},
        {"integer", [](Param &p) { p.setAsInteger(-42); }, QByteArray("-42"), pgtype::Int4},
        {"float", [](Param &p) { p.setAsFloat(0.1); }, QByteArray("0.1"), pgtype::Float8},
        {"boolean", [](Param &p) { p.setAsBoolean(false); }, QByteArray("f"), pgtype::Bool},
    };
    for (const Case &c : cases) {
        Param p("p");
        c.set(p);
        const WireValue w = p.wire();
        EXPECT_EQ(w.text, c.text) << c.what;
        EXPECT_EQ(w.type, c.type) << c.what;
    }
    Param p("p");
    EXPECT_FALSE(p.isBound());
    EXPECT_TRUE(p.isNull());
    p.setNull();
    EXPECT_TRUE(p.isBound());
    p.setDataType(FieldKind::Integer);
    p.setValue("twelve");
    try {
        p.wire();
        FAIL();
    } catch (const wik::Error &e) {
        EXPECT_EQ(e.message(), "Invalid value for parameter : p");
    }
}

TEST(ValueTextTest, ReadsTheServersIsoTexts) {
    QDate d;
    QTime t;
    EXPECT_TRUE(valuetext::parseTimestamp("2026-12-01 09:05:07.123456", 26, d, t));
    EXPECT_EQ(d, QDate(2026, 12, 1));
    EXPECT_EQ(t, QTime(9, 5, 7, 123));
    EXPECT_TRUE(valuetext::parseTimestamp("2026-12-01 09:05:07", 19, d, t));
    EXPECT_EQ(t, QTime(9, 5, 7));
    for (const char *bad : {"infinity", "-infinity", "2026-12-01 09:05:07 BC", "2026-13-01 00:00:00",
                            "2026-12-01T09:05:07", "2026-12-01 09:05:07.", ""})
        EXPECT_FALSE(valuetext::parseTimestamp(bad, int(strlen(bad)), d, t)) << bad;
    EXPECT_TRUE(valuetext::parseDate("0099-02-28", 10, d));
    EXPECT_EQ(d, QDate(99, 2, 28));
    EXPECT_FALSE(valuetext::parseDate("2026-02-30", 10, d));

    // A value that does not parse as its kind is kept as its text, not lost.
    EXPECT_EQ(valuetext::toValue(FieldKind::DateTime, "infinity", 8), QVariant(QString("infinity")));
    EXPECT_EQ(valuetext::toValue(FieldKind::Guid, "a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11", 36),
              QVariant(QString("{a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11}")));
    EXPECT_EQ(valuetext::toValue(FieldKind::Float, "NaN", 3).toDouble() !=
                  valuetext::toValue(FieldKind::Float, "NaN", 3).toDouble(),
              true);
}

TEST(ValueTextTest, DisplayTextsFollowTheRegionalSettings) {
    const QLocale loc = QLocale::system();
    EXPECT_EQ(valuetext::toDisplay(FieldKind::Date, "2026-12-01", 10),
              loc.toString(QDate(2026, 12, 1), QLocale::ShortFormat));
    // a date-time at midnight shows its date only
    EXPECT_EQ(valuetext::toDisplay(FieldKind::DateTime, "2026-12-01 00:00:00", 19),
              loc.toString(QDate(2026, 12, 1), QLocale::ShortFormat));
    const QString withTime = valuetext::toDisplay(FieldKind::DateTime, "2026-12-01 09:05:07", 19);
    EXPECT_TRUE(withTime.startsWith(loc.toString(QDate(2026, 12, 1), QLocale::ShortFormat) + ' '))
        << withTime.toStdString();
    EXPECT_TRUE(withTime.contains("05:07")) << withTime.toStdString();
    EXPECT_EQ(valuetext::toDisplay(FieldKind::Boolean, "t", 1), "True");
    EXPECT_EQ(valuetext::toDisplay(FieldKind::Float, "2.5", 3), loc.toString(2.5, 'g', QLocale::FloatingPointShortest));
}

TEST(ValueTextTest, WritesValuesOfEachKindOrRefusesThem) {
    using valuetext::toWire;
    EXPECT_EQ(toWire(FieldKind::DateTime, QDateTime(QDate(2026, 3, 29), QTime(3, 30))),
              QByteArray("2026-03-29 03:30:00"));
    EXPECT_EQ(toWire(FieldKind::Date, QDate(2026, 3, 29)), QByteArray("2026-03-29"));
    EXPECT_EQ(toWire(FieldKind::Boolean, true), QByteArray("t"));
    EXPECT_EQ(toWire(FieldKind::Integer, QString(" 17 ")), QByteArray("17"));
    EXPECT_EQ(toWire(FieldKind::WideMemo, QString::fromUtf8("ăîșț")), QString::fromUtf8("ăîșț").toUtf8());
    EXPECT_FALSE(toWire(FieldKind::Integer, QString("17a")));
    EXPECT_FALSE(toWire(FieldKind::Float, QString("x")));
    EXPECT_FALSE(toWire(FieldKind::Date, QDate()));
    EXPECT_FALSE(toWire(FieldKind::DateTime, QString("tomorrow")));
    EXPECT_FALSE(toWire(FieldKind::Boolean, QString("perhaps")));
}
