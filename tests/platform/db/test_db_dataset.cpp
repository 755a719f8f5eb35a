// Data sets, server-function calls and the table model against a company database.
#include "DbTestSupport.h"

#include "DataSetModel.h"
#include "ErrorOf.h"
#include "PgError.h"
#include "PgQuery.h"
#include "PgStoredProc.h"

#include <gtest/gtest.h>

#include <QLocale>

using namespace wik::db;
using testerr::errorOf;

namespace {

// The order log as the workbench lists it.
const QString orderLogSql = QStringList{
    "select *, ",
    "       cmd_c_json::json->>'client_full_name'               as client_full_name,",
    "       cmd_c_json::json->>'location'                       as location,",
    "       cast(cmd_c_json::json->>'created_at' as timestamp)  as created_at,",
    "       cast(cmd_c_json::json->>'delivery_date' as date)    as delivery_date",
    "from log_kalvoro",
    "where cast(data_ins_log as date) between :pDataIncep and current_date",
    "order by cast(cmd_c_json::json->>'created_at' as timestamp) desc,",
    "         cmd_c_json::json->>'client_full_name',",
    "         cmd_c_json::json->>'location'                ",
    ";"}.join('\n');

const char *idA = "aaaaaaaa-0000-4000-8000-000000000001";
const char *idB = "bbbbbbbb-0000-4000-8000-000000000002";
const char *idC = "cccccccc-0000-4000-8000-000000000003";

QString braced(const char *id) { return QStringLiteral("{%1}").arg(QString::fromLatin1(id)); }

void declareOrderLogFields(PgQuery &q) {
    q.addField({"id_cmd_c", FieldKind::Guid, 38, true});
    q.addField({"cmd_c_json", FieldKind::WideMemo});
    q.addField({"err_la_import", FieldKind::WideMemo});
    q.addField({"data_ins_log", FieldKind::DateTime, 0, true});
    q.addField({"data_doc_zelto", FieldKind::Date});
    q.addField({"tip_doc_zelto", FieldKind::WideString, 7});
    q.addField({"nr_doc_zelto", FieldKind::WideString, 15});
    q.addField({"data_feedback", FieldKind::DateTime});
    q.addField({"client_full_name", FieldKind::WideMemo, 0, false, true});
    q.addField({"location", FieldKind::WideMemo, 0, false, true});
    q.addField({"created_at", FieldKind::DateTime, 0, false, true});
    q.addField({"delivery_date", FieldKind::Date, 0, false, true});
}

class DataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_DB();
        db = std::make_unique<testdb::CompanyDb>("dataset");
        con = dbtest::zeltoConnection(db->name());
    }

    void addOrder(const char *id, const char *client, const char *createdAt,
                  const char *logged = "localtimestamp") {
        db->exec(std::string("INSERT INTO log_kalvoro (id_cmd_c, cmd_c_json, data_ins_log) VALUES ('") + id +
                 "', json_build_object('client_full_name', '" + client +
                 "', 'location', 'Cluj', 'created_at', '" + createdAt +
                 "', 'delivery_date', '2026-12-03', 'lines', json_build_array())::text, " + logged + ")");
    }

    void openOrderLog(PgQuery &q) {
        q.setConnection(con.get());
        q.setSql(orderLogSql);
        declareOrderLogFields(q);
        q.setKeyFields("id_cmd_c");
        q.setUpdateTable("log_kalvoro");
        q.setReadOnly(true);
        q.ParamByName("pDataIncep").setAsDate(QDate(1899, 12, 30));
        q.Open();
    }

    std::unique_ptr<testdb::CompanyDb> db;
    std::unique_ptr<PgConnection> con;
};

} // namespace

TEST_F(DataSetTest, NamedParametersReachTheServerAsBoundValues) {
    PgQuery q;
    q.setConnection(con.get());
    q.setSql("select :pText::text as t, upper(:PTEXT) as t2, -- :pComment is no parameter\n"
             "       ':pLiteral' as lit, /* nor :pBlock */\n"
             "       :pGuid = 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'::uuid as guid_ok,\n"
             "       :pDate::date + 1 as next_day,\n"
             "       :pNull::text is null as was_null, :pNever::int is null as never_null");
    ASSERT_EQ(q.params().count(), 5);
    q.ParamByName("ptext").setAsString("o'Brien; drop table emitent; --");
    q.ParamByName("pGuid").setAsGuid("{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}");
    q.ParamByName("pDate").setAsDate(QDate(2026, 2, 28));
    q.ParamByName("pNull").setNull();
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("t").AsString(), "o'Brien; drop table emitent; --");
    EXPECT_EQ(q.FieldByName("t2").AsString(), "O'BRIEN; DROP TABLE EMITENT; --");
    EXPECT_EQ(q.FieldByName("lit").AsString(), ":pLiteral");
    EXPECT_TRUE(q.FieldByName("guid_ok").AsBoolean());
    EXPECT_EQ(q.FieldByName("next_day").AsDate(), QDate(2026, 3, 1));
    EXPECT_TRUE(q.FieldByName("was_null").AsBoolean());
    EXPECT_TRUE(q.FieldByName("never_null").AsBoolean());
}

TEST_F(DataSetTest, DeclaredFieldsAreCheckedByNameAtOpen) {
    struct Case {
        const char *what;
        std::vector<FieldDef> fields;
        std::string error; // empty: opens
    };
    const Case cases[] = {
        {"extra columns are ignored, names match without case",
         {{"A", FieldKind::Integer}, {"c", FieldKind::WideMemo}}, ""},
        {"a missing column names the field",
         {{"a", FieldKind::Integer}, {"jas_ip", FieldKind::WideMemo}}, "Field not found : jas_ip"},
        {"an incompatible type names the field",
         {{"a", FieldKind::Date}}, "Type mismatch for field : a, expecting: Date actual: int4"},
        {"text is not a number", {{"b", FieldKind::Float}},
         "Type mismatch for field : b, expecting: Float actual: varchar"},
        {"a date is not a date-time", {{"d", FieldKind::DateTime}},
         "Type mismatch for field : d, expecting: DateTime actual: date"},
        {"text columns of any declaration read as text",
         {{"b", FieldKind::WideMemo}, {"c", FieldKind::WideString, 10}}, ""},
        {"a narrower integer reads into a wider kind", {{"a", FieldKind::LargeInt}}, ""},
    };
    for (const Case &c : cases) {
        PgQuery q;
        q.setConnection(con.get());
        q.setSql("select 1::int4 as a, 'x'::varchar(3) as b, 'y'::text as c, current_date as d, 5 as extra");
        for (const FieldDef &f : c.fields)
            q.addField(f);
        const std::string error = errorOf([&] { q.Open(); });
        if (c.error.empty()) {
            EXPECT_EQ(error, "(no error)") << c.what;
            EXPECT_TRUE(q.Active()) << c.what;
            EXPECT_EQ(q.fieldCount(), int(c.fields.size())) << c.what;
        } else {
            EXPECT_EQ(error, c.error) << c.what;
            EXPECT_FALSE(q.Active()) << c.what;
            EXPECT_EQ(q.RecordCount(), 0) << c.what;
        }
    }
}

TEST_F(DataSetTest, AFailureAfterSomeRowsLeavesItClosedAndTheSessionUsable) {
    PgQuery q;
    q.setConnection(con.get());
    q.setSql("select 10 / (3000 - i) as v from generate_series(1, 5000) i");
    EXPECT_EQ(errorOf([&] { q.Open(); }), "division by zero");
    EXPECT_FALSE(q.Active());
    EXPECT_EQ(q.RecordCount(), 0);
    EXPECT_TRUE(con->Connected());
    q.setSql("select 1 as one");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 1);
}

TEST_F(DataSetTest, TheOrderLogListsItsRowsWithTheirValues) {
    addOrder(idA, "Beta SRL", "2026-12-01T10:00:00");
    addOrder(idB, "Alfa SRL", "2026-12-01T10:00:00");
    addOrder(idC, "Gama SRL", "2026-12-02T08:30:15", "'2020-01-01 00:00'");
    db->exec(std::string("UPDATE log_kalvoro SET data_doc_zelto = '2026-12-04', tip_doc_zelto = 'CMDC', "
                         "err_la_import = 'eroare' WHERE id_cmd_c = '") + idA + "'");

    PgQuery never;
    never.setConnection(con.get());
    never.setSql(orderLogSql);
    declareOrderLogFields(never);
    never.Open(); // pDataIncep has no value yet: the list is empty
    EXPECT_TRUE(never.Active());
    EXPECT_EQ(never.RecordCount(), 0);
    EXPECT_EQ(never.RecNo(), -1);
    EXPECT_TRUE(never.FieldByName("id_cmd_c").IsNull());
    EXPECT_EQ(never.FieldByName("id_cmd_c").AsString(), "");

    PgQuery q;
    openOrderLog(q);
    ASSERT_EQ(q.RecordCount(), 3);
    // newest first, then by client name
    std::vector<QString> ids;
    for (q.First(); !q.Eof(); q.Next())
        ids.push_back(q.FieldByName("id_cmd_c").AsString());
    EXPECT_EQ(ids, (std::vector<QString>{braced(idC), braced(idB), braced(idA)}));
    EXPECT_EQ(q.RecNo(), 2);

    q.setRecNo(2);
    EXPECT_EQ(q.FieldByName("client_full_name").AsString(), "Beta SRL");
    EXPECT_EQ(q.FieldByName("created_at").AsDateTime(), QDateTime(QDate(2026, 12, 1), QTime(10, 0)));
    EXPECT_EQ(q.FieldByName("delivery_date").AsDate(), QDate(2026, 12, 3));
    EXPECT_EQ(q.FieldByName("data_doc_zelto").AsDate(), QDate(2026, 12, 4));
    EXPECT_EQ(q.FieldByName("err_la_import").AsString(), "eroare");
    EXPECT_TRUE(q.FieldByName("data_feedback").IsNull());
    EXPECT_FALSE(q.FieldByName("data_feedback").Value().isValid());
    EXPECT_EQ(q.FieldByName("tip_doc_zelto").Value(), QVariant(QString("CMDC")));

    // A start date after today lists nothing.
    q.ParamByName("pDataIncep").setAsDate(QDate::currentDate().addDays(400));
    q.Refresh();
    EXPECT_EQ(q.RecordCount(), 0);
}

TEST_F(DataSetTest, RefreshKeepsTheCurrentRowByItsKey) {
    addOrder(idA, "A", "2026-12-01T10:00:00");
    addOrder(idB, "B", "2026-12-02T10:00:00");
    PgQuery q;
    openOrderLog(q);
    int resets = 0;
    QObject::connect(&q, &PgQuery::reset, [&] { ++resets; });
    q.setRecNo(1);
    ASSERT_EQ(q.FieldByName("id_cmd_c").AsString(), braced(idA));

    addOrder(idC, "C", "2026-12-03T10:00:00"); // lists first, pushing A down
    q.Refresh();
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(q.RecordCount(), 3);
    EXPECT_EQ(q.RecNo(), 2);
    EXPECT_EQ(q.FieldByName("id_cmd_c").AsString(), braced(idA));

    db->exec(std::string("DELETE FROM log_kalvoro WHERE id_cmd_c = '") + idA + "'");
    q.Refresh();
    EXPECT_EQ(q.RecNo(), 0);
    EXPECT_EQ(q.FieldByName("id_cmd_c").AsString(), braced(idC));

    // A failed re-read leaves the rows read before.
    db->exec("UPDATE log_kalvoro SET cmd_c_json = 'not json'");
    EXPECT_NE(errorOf([&] { q.Refresh(); }).find("invalid input syntax for type json"), std::string::npos);
    EXPECT_TRUE(q.Active());
    EXPECT_EQ(q.RecordCount(), 2);
}

TEST_F(DataSetTest, PostWritesOnlyTheAssignedColumns) {
    addOrder(idA, "A", "2026-12-01T10:00:00");
    db->exec(std::string("UPDATE log_kalvoro SET err_la_import = 'old' WHERE id_cmd_c = '") + idA + "'");
    PgQuery q;
    openOrderLog(q);
    int changed = -1;
    QObject::connect(&q, &PgQuery::rowChanged, [&](int row) { changed = row; });

    EXPECT_EQ(errorOf([&] { q.Edit(); }), "Cannot modify a read-only dataset");
    EXPECT_EQ(q.State(), DataSetState::Browse);
    q.setReadOnly(false);

    // Meanwhile the import function writes the document columns of the same row.
    db->exec(std::string("UPDATE log_kalvoro SET data_doc_zelto = '2026-12-05', nr_doc_zelto = 'KV1' "
                         "WHERE id_cmd_c = '") + idA + "'");
    const QDateTime confirmed(QDate(2026, 12, 5), QTime(14, 3, 2, 500));
    q.Edit();
    EXPECT_EQ(q.State(), DataSetState::Edit);
    q.FieldByName("data_feedback").SetValue(confirmed);
    q.FieldByName("err_la_import").SetNull();
    EXPECT_EQ(errorOf([&] { q.FieldByName("client_full_name").SetValue("x"); }),
              "Field cannot be modified : client_full_name");
    EXPECT_EQ(errorOf([&] { q.FieldByName("data_feedback").SetValue("tomorrow"); }),
              "Invalid value for field : data_feedback");
    q.Post();
    EXPECT_EQ(q.State(), DataSetState::Browse);
    EXPECT_EQ(changed, 0);

    const auto row = testdb::rows(db->name(),
                                  std::string("SELECT err_la_import, data_feedback, data_doc_zelto, nr_doc_zelto "
                                              "FROM log_kalvoro WHERE id_cmd_c = '") + idA + "'");
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0], (std::vector<std::string>{"\\N", "2026-12-05 14:03:02.5", "2026-12-05", "KV1"}));
    // The row shows the saved values; the rest is as read (the data set is not re-read).
    EXPECT_TRUE(q.FieldByName("err_la_import").IsNull());
    EXPECT_EQ(q.FieldByName("data_feedback").AsDateTime(), confirmed);
    EXPECT_TRUE(q.FieldByName("data_doc_zelto").IsNull());

    // A column the database user may not write fails with the server's message.
    q.Edit();
    q.FieldByName("cmd_c_json").SetValue("{}");
    EXPECT_EQ(errorOf([&] { q.Post(); }), "permission denied for table log_kalvoro");
    q.Cancel();
    EXPECT_EQ(q.FieldByName("cmd_c_json").AsString().left(1), "{");
    EXPECT_NE(q.FieldByName("cmd_c_json").AsString(), "{}");
}

TEST_F(DataSetTest, PostOfARowDeletedMeanwhileRaises) {
    addOrder(idA, "A", "2026-12-01T10:00:00");
    con->setDisconnected(true);
    PgQuery q;
    openOrderLog(q);
    q.setReadOnly(false);
    db->exec("DELETE FROM log_kalvoro");
    q.Edit();
    q.FieldByName("err_la_import").SetValue("eroare");
    EXPECT_EQ(errorOf([&] { q.Post(); }),
              "Record not found : log_kalvoro id_cmd_c=" + braced(idA).toStdString());
    EXPECT_FALSE(con->Connected());
    // still editing, the assignment kept: the caller may change it and try again
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(q.FieldByName("err_la_import").AsString(), "eroare");
    q.Cancel();
    EXPECT_TRUE(q.FieldByName("err_la_import").IsNull());
}

TEST_F(DataSetTest, AServerFunctionsErrorArrivesUnchanged) {
    db->exec("INSERT INTO demo_partener VALUES ('Client Bun')");
    addOrder(idA, "Client Bun", "2026-12-01T10:00:00");
    addOrder(idB, "Nimeni Cunoscut", "2026-12-01T10:00:00");
    db->exec(std::string("UPDATE log_kalvoro SET cmd_c_json = jsonb_set(cmd_c_json::jsonb, '{lines}', "
                         "'[{\"sku\": \"P\", \"name\": \"Paine\", \"quantity\": 1, \"price\": 2}]')::text"));

    con->setDisconnected(true);
    PgStoredProc call;
    call.setConnection(con.get());
    call.setStoredProcName("o_kalvoro_cmd_c_ins");
    call.setSql("SELECT * FROM o_kalvoro_cmd_c_ins(:pidorder, :pemitent)");
    call.ParamByName("pIdOrder").setAsGuid(braced(idB));
    call.ParamByName("pEmitent").setAsWideMemo("operator");
    try {
        call.ExecProc();
        FAIL() << "an order for an unknown client must be refused";
    } catch (const PgError &e) {
        EXPECT_EQ(e.message(), "Client necunoscut: Nimeni Cunoscut");
        EXPECT_EQ(e.sqlState(), "P0001");
    }
    EXPECT_FALSE(con->Connected());

    call.ParamByName("pIdOrder").setAsGuid(braced(idA));
    call.ExecProc(); // commits by itself
    EXPECT_EQ(db->scalar(std::string("SELECT nr_doc_zelto FROM log_kalvoro WHERE id_cmd_c = '") + idA + "'"),
              "KV000001");
}

TEST_F(DataSetTest, TheModelShowsTheDataSetAndFollowsItsCurrentRow) {
    PgQuery q;
    q.setConnection(con.get());
    q.setSql("select s, m, g, i, b, d, t, f, n from (values "
             "('ab'::varchar(5), 'memo'::text, 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'::uuid, 42::int4, true, "
             "'2026-12-01'::date, '2026-12-01 09:05:07'::timestamp, 2.5::float8, null::text), "
             "('cd', 'x', null, 7, false, null, null, null, 'y')) v(s, m, g, i, b, d, t, f, n) order by s");
    q.addField({"s", FieldKind::WideString, 5});
    q.addField({"m", FieldKind::WideMemo});
    q.addField({"g", FieldKind::Guid});
    q.addField({"i", FieldKind::Integer});
    q.addField({"b", FieldKind::Boolean});
    q.addField({"d", FieldKind::Date});
    q.addField({"t", FieldKind::DateTime});
    q.addField({"f", FieldKind::Float});
    q.addField({"n", FieldKind::WideMemo});
    DataSetModel model(&q);
    int resets = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });
    EXPECT_EQ(model.rowCount(), 0);
    q.Open();
    EXPECT_EQ(resets, 1);
    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.columnCount(), 9);
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "g");

    const QLocale loc = QLocale::system();
    struct Cell {
        int column;
        QVariant display;
        QVariant edit;
    };
    const Cell row0[] = {
        {0, "ab", QString("ab")},
        {1, "memo", QString("memo")},
        {2, "{a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11}", QString("{a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11}")},
        {3, "42", qlonglong(42)},
        {4, "True", true},
        {5, loc.toString(QDate(2026, 12, 1), QLocale::ShortFormat), QDate(2026, 12, 1)},
        {7, loc.toString(2.5, 'g', QLocale::FloatingPointShortest), 2.5},
        {8, QString(), QVariant()},
    };
    for (const Cell &c : row0) {
        const QModelIndex idx = model.index(0, c.column);
        EXPECT_EQ(model.data(idx, Qt::DisplayRole).toString(), c.display.toString()) << c.column;
        EXPECT_EQ(model.data(idx, Qt::EditRole), c.edit) << c.column;
        EXPECT_EQ(model.data(idx, Qt::EditRole).metaType(), c.edit.metaType()) << c.column;
        EXPECT_FALSE(model.flags(idx) & Qt::ItemIsEditable);
    }
    EXPECT_EQ(model.data(model.index(0, 6), Qt::EditRole), QDateTime(QDate(2026, 12, 1), QTime(9, 5, 7)));
    EXPECT_EQ(model.data(model.index(0, 2), DataSetModel::FieldKindRole).toInt(), int(FieldKind::Guid));
    EXPECT_FALSE(model.data(model.index(1, 2), Qt::EditRole).isValid());
    EXPECT_EQ(model.data(model.index(1, 2), Qt::DisplayRole).toString(), "");

    // current row, both ways
    std::vector<int> seen;
    QObject::connect(&model, &DataSetModel::currentRowChanged, [&](int row) { seen.push_back(row); });
    model.setCurrentRow(1);
    EXPECT_EQ(q.RecNo(), 1);
    EXPECT_EQ(q.FieldByName("s").AsString(), "cd");
    q.First();
    EXPECT_EQ(model.currentRow(), 0);
    EXPECT_EQ(seen, (std::vector<int>{1, 0}));

    q.Refresh();
    EXPECT_EQ(resets, 2);
    q.Close();
    EXPECT_EQ(resets, 3);
    EXPECT_EQ(model.rowCount(), 0);
}
