// The connection data module: its settings as the program starts, and its four sign-in queries
// against a company database made from the schema.
#include "u_dmCon.h"

#include "BuildSettings.h"
#include "ErrorOf.h"
#include "PgError.h"
#include "TestDb.h"

#include <gtest/gtest.h>

#include <memory>

using wik::db::FieldKind;
using wik::db::PgQuery;
using wik::db::SslMode;
using testerr::errorOf;

namespace {

// The company connection pointed at a test database, as the sign-in points it.
void pointAt(TdmCon &dm, const testdb::CompanyDb &db) {
    dm.conZelto->setServer(QString::fromStdString(testdb::host()));
    dm.conZelto->setPort(db.port());
    dm.conZelto->setDatabase(QString::fromStdString(db.name()));
    dm.conZelto->setPassword(QString::fromStdString(testdb::zeltoPassword()));
    dm.conZelto->setSslMode(SslMode::Prefer);
}

void fillSignInRows(const testdb::CompanyDb &db) {
    db.exec("INSERT INTO emitent (emitent, operator_parola, eu_punct_lucru, data_ins) "
            "VALUES ('ana', 'pw', 'sediu', current_date)");
    db.exec("INSERT INTO aplicatie_mob (aplicatie_mob) VALUES ('WImportKalvoro')");
    db.exec("INSERT INTO aplicatie_mob_emitent (aplicatie_mob, emitent) VALUES ('wimportkalvoro', 'ana')");
    db.exec("INSERT INTO eu (cod_cci, data_incep_activitate, tara, localit, adresa, metoda_stoc, "
            "tip_contabilitate, data_denominare, norma) "
            "VALUES ('RO1', '2000-01-01', 'RO', 'Cluj', 'Str. 1', 'FIFO', 'generala', '2005-07-01', 8)");
}

void openSignInQueries(TdmCon &dm) {
    dm.dsEmitent->ParamByName("pEmitent").setAsWideString("ana");
    dm.dsEmitent->ParamByName("pP").setAsWideString("pw");
    dm.dsAplicatieMob->ParamByName("pAplicatieMob").setAsWideString("wimportkalvoro");
    dm.dsAplicatieMobEmitent->ParamByName("pEmitent").setAsWideString("ana");
    dm.dsAplicatieMobEmitent->ParamByName("pAplicatieMob").setAsWideString("wimportkalvoro");
    for (PgQuery *q : {dm.dsEmitent, dm.dsAplicatieMob, dm.dsAplicatieMobEmitent, dm.dsEu}) {
        q->Open();
        EXPECT_EQ(q->RecordCount(), 1) << q->objectName().toStdString();
    }
}

} // namespace

TEST(DmConTest, SettingsAtStartUp) {
    TdmCon dm;
    EXPECT_EQ(dm.objectName(), "dmCon");
    EXPECT_EQ(dm.findChild<wik::db::PgConnection *>("conZelto"), dm.conZelto);
    EXPECT_EQ(dm.findChild<wik::db::PgConnection *>("conZeltoMob"), dm.conZeltoMob);
    for (PgQuery *q : {dm.dsEmitent, dm.dsAplicatieMob, dm.dsAplicatieMobEmitent, dm.dsEu}) {
        EXPECT_EQ(dm.findChild<PgQuery *>(q->objectName()), q);
        EXPECT_EQ(q->connection(), dm.conZelto);
        EXPECT_FALSE(q->Active());
    }
    EXPECT_TRUE(dm.glUser.isEmpty());
    EXPECT_TRUE(dm.glDataBase.isEmpty());
    EXPECT_EQ(dm.GridTableViewStyleSheetDevExpress.caption, "DevExpress");

    EXPECT_FALSE(dm.conZelto->Connected());
    EXPECT_EQ(dm.conZelto->username(), buildsettings::dbUser);
    EXPECT_EQ(dm.conZelto->sslMode(), SslMode::Require);
    EXPECT_TRUE(dm.conZelto->disconnected());

    EXPECT_FALSE(dm.conZeltoMob->Connected());
    EXPECT_EQ(dm.conZeltoMob->server(), buildsettings::catalogHost);
    EXPECT_EQ(dm.conZeltoMob->port(), buildsettings::catalogPort);
    EXPECT_EQ(dm.conZeltoMob->database(), "zelto_mob");
    EXPECT_EQ(dm.conZeltoMob->username(), buildsettings::dbUser);
    EXPECT_EQ(dm.conZeltoMob->sslMode(), SslMode::Require);
    EXPECT_FALSE(dm.conZeltoMob->disconnected());
}

TEST(DmConTest, TheSignInQueriesAsDesigned) {
    TdmCon dm;
    struct Case {
        PgQuery *query;
        const char *sql;
        QStringList params;
        int fields;
    };
    const Case cases[] = {
        {dm.dsEmitent, "select *\nfrom emitent\nwhere emitent = :pEmitent\n  and operator_parola = :pP\n;",
         {"pEmitent", "pP"}, 65},
        {dm.dsAplicatieMob,
         "select *\nfrom aplicatie_mob\nwhere lower(aplicatie_mob) = lower(:pAplicatieMob)\n  and activ\n;",
         {"pAplicatieMob"}, 3},
        {dm.dsAplicatieMobEmitent,
         "select *\nfrom aplicatie_mob_emitent\nwhere emitent = :pEmitent\n"
         "  and lower(aplicatie_mob) = lower(:pAplicatieMob)\n;",
         {"pEmitent", "pAplicatieMob"}, 3},
        {dm.dsEu, "select *\nfrom eu\n;", {}, 117},
    };
    for (const Case &c : cases) {
        const std::string name = c.query->objectName().toStdString();
        EXPECT_EQ(c.query->sql().toStdString(), c.sql) << name;
        QStringList params;
        for (int i = 0; i < c.query->params().count(); ++i) {
            params << c.query->params().at(i).name();
            EXPECT_EQ(c.query->params().at(i).dataType(), FieldKind::WideString) << name;
        }
        EXPECT_EQ(params, c.params) << name;
        EXPECT_EQ(c.query->fieldCount(), c.fields) << name;
    }
    // A few declarations as the sign-in tables give them.
    struct FieldCase {
        PgQuery *query;
        const char *field;
        FieldKind kind;
        int size;
        bool required;
    };
    const FieldCase fields[] = {
        {dm.dsEmitent, "emitent", FieldKind::WideString, 100, true},
        {dm.dsEmitent, "operator_parola", FieldKind::WideString, 256, false},
        {dm.dsEmitent, "nr_zile_prezentare_doc", FieldKind::Integer, 0, false},
        {dm.dsEmitent, "proc_comisionar", FieldKind::Float, 0, false},
        {dm.dsEmitent, "data_ins", FieldKind::Date, 0, true},
        {dm.dsEmitent, "data_export", FieldKind::DateTime, 0, false},
        {dm.dsEmitent, "da_nu_generare_op", FieldKind::Boolean, 0, true},
        {dm.dsAplicatieMob, "obs", FieldKind::WideMemo, 0, false},
        {dm.dsAplicatieMobEmitent, "rol", FieldKind::WideMemo, 0, false},
        {dm.dsEu, "cod_cci", FieldKind::WideString, 20, true},
        {dm.dsEu, "norma", FieldKind::Float, 0, true},
        {dm.dsEu, "jas_ip", FieldKind::WideMemo, 0, false},
        {dm.dsEu, "reges_cod_act_id_pf", FieldKind::WideString, 25, false},
    };
    for (const FieldCase &f : fields) {
        const int i = f.query->fieldIndex(f.field);
        ASSERT_GE(i, 0) << f.field;
        const wik::db::FieldDef &def = f.query->fieldDef(i);
        EXPECT_EQ(def.kind, f.kind) << f.field;
        EXPECT_EQ(def.size, f.size) << f.field;
        EXPECT_EQ(def.required, f.required) << f.field;
    }
}

TEST(DmConTest, TheSignInQueriesOpenAgainstTheCompanySchema) {
    REQUIRE_DB();
    testdb::CompanyDb db("dmcon");
    fillSignInRows(db);
    // Columns the ERP added since do not disturb.
    for (const char *table : {"emitent", "aplicatie_mob", "aplicatie_mob_emitent", "eu"})
        db.exec(std::string("ALTER TABLE ") + table + " ADD COLUMN coloana_noua integer");
    TdmCon dm;
    pointAt(dm, db);
    openSignInQueries(dm);
    EXPECT_FALSE(dm.conZelto->Connected()); // disconnected mode
    EXPECT_EQ(dm.dsEu->FieldByName("localit").AsString(), "Cluj");
    EXPECT_EQ(dm.dsEmitent->FieldByName("data_ins").AsDate(), QDate::currentDate());
}

TEST(DmConTest, TheCompanyDetailsFailWithoutADeclaredColumn) {
    REQUIRE_DB();
    testdb::CompanyDb db("dmcon_nojas");
    fillSignInRows(db);
    db.exec("ALTER TABLE eu DROP COLUMN jas_ip");
    TdmCon dm;
    pointAt(dm, db);
    EXPECT_EQ(errorOf([&] { dm.dsEu->Open(); }), "Field not found : jas_ip");
    EXPECT_FALSE(dm.dsEu->Active());
    EXPECT_FALSE(dm.conZelto->Connected());
}
