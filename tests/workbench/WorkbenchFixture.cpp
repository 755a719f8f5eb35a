#include "WorkbenchFixture.h"

#include "DataGrid.h"
#include "DataSetModel.h"
#include "DateEdit.h"
#include "Error.h"
#include "GridTableView.h"
#include "PgConnection.h"
#include "PgQuery.h"
#include "Startup.h"
#include "TestConnection.h"
#include "u_dmCon.h"
#include "u_fImportKalvoroCmdC.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdio>

namespace wbtest {

testdb::CompanyDb *Workbench::db = nullptr;
int Workbench::serverPort = 0;

void Workbench::SetUpTestSuite() {
    testapp::ensureApplication();
    if (!testdb::available())
        return;
    db = new testdb::CompanyDb("workbench", serverPort);
    // Every call of the import's server function is counted, also the ones it refuses (a
    // sequence keeps its count when the statement fails); the work is the demo ERP's own.
    db->exec(R"sql(
        CREATE SEQUENCE test_cmd_c_ins_calls;
        ALTER FUNCTION o_kalvoro_cmd_c_ins(uuid, text) RENAME TO demo_o_kalvoro_cmd_c_ins;
        CREATE FUNCTION o_kalvoro_cmd_c_ins(pidorder uuid, pemitent text)
        RETURNS TABLE (data_doc date, tip_doc varchar, nr_doc varchar)
        LANGUAGE plpgsql SECURITY DEFINER SET search_path = public AS $$
        BEGIN
            PERFORM nextval('test_cmd_c_ins_calls');
            RETURN QUERY SELECT * FROM demo_o_kalvoro_cmd_c_ins(pidorder, pemitent);
        END $$;
        GRANT EXECUTE ON FUNCTION o_kalvoro_cmd_c_ins(uuid, text) TO zelto;
    )sql");
}

void Workbench::TearDownTestSuite() {
    delete db;
    db = nullptr;
}

void Workbench::SetUp() {
    REQUIRE_DB();
    db->exec("DELETE FROM demo_cmd_client_linie; DELETE FROM demo_cmd_client; DELETE FROM log_kalvoro; "
             "DELETE FROM demo_log_ins_apel; DELETE FROM demo_partener; DELETE FROM config_kalvoro; "
             "SELECT setval('test_cmd_c_ins_calls', 1, false)");
    startup::createInstances();
    testdb::pointAt(*dmCon->conZelto, db->name(), db->port());
    dmCon->glUser = QStringLiteral("ion");
    dmCon->glDataBase = QString::fromStdString(db->name());

    service = std::make_unique<resttest::RecordingServer>();
    service->reply("/api/invoices/set", 201, "{\"generated_at\": \"2025-09-02T08:30:15\"}", "application/json");
    db->exec("INSERT INTO config_kalvoro (base_url, user_name, pass) VALUES (" +
             sqlLiteral(service->url() + "/api") + ", 'kalvoro', 'demo')");

    w = fImportKalvoroCmdC;
    w->show();
}

void Workbench::TearDown() {
    if (dmCon)
        startup::destroyInstances();
    service.reset();
}

std::string Workbench::orderJson(const Order &o) {
    if (o.rawJson)
        return *o.rawJson;
    std::string json = "{\"client_full_name\": \"" + o.client + "\", \"location\": \"" + o.location +
                       "\", \"created_at\": \"" + o.createdAt + "\", \"delivery_date\": \"" + o.deliveryDate + "\"";
    if (o.withLines)
        json += ", \"lines\": [{\"sku\": \"A1\", \"name\": \"Faina\", \"quantity\": 2, \"price\": 10.50}]";
    return json + "}";
}

std::string Workbench::addOrder(const Order &o) {
    char id[40];
    std::snprintf(id, sizeof id, "00000000-0000-4000-8000-%012d", nextOrder_++);
    db->exec("INSERT INTO log_kalvoro (id_cmd_c, cmd_c_json, data_ins_log, err_la_import, data_doc_zelto, "
             "tip_doc_zelto, nr_doc_zelto, data_feedback) VALUES (" +
             sqlLiteral(id) + ", " + sqlLiteral(orderJson(o)) + ", " + o.logged + ", " +
             (o.error ? sqlLiteral(*o.error) : std::string("NULL")) + ", " +
             (o.imported ? std::string("current_date, 'CMDC', 'KV-OLD'") : std::string("NULL, NULL, NULL")) +
             ", " + (o.confirmedAt ? sqlLiteral(*o.confirmedAt) : std::string("NULL")) + ")");
    return id;
}

void Workbench::addClient(const std::string &name) {
    db->exec("INSERT INTO demo_partener (nume) VALUES (" + sqlLiteral(name) + ")");
}

QDate Workbench::serverToday() {
    return QDate::fromString(QString::fromStdString(db->scalar("SELECT current_date")), Qt::ISODate);
}

void Workbench::search(const QDate &from) {
    if (from.isValid()) {
        w->cxDateEditDataIncep->setDate(from);
    } else {
        // The operator deletes the box's text.
        QLineEdit *edit = w->cxDateEditDataIncep->lineEdit();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        ASSERT_TRUE(w->cxDateEditDataIncep->isEmpty());
    }
    press("ButtonCauta");
}

void Workbench::press(const char *buttonName) {
    auto *b = w->findChild<QPushButton *>(QString::fromLatin1(buttonName));
    ASSERT_NE(b, nullptr) << buttonName;
    b->click();
}

QStringList Workbench::listedIds() const {
    QStringList ids;
    auto *ds = w->dsLogKalvoro;
    const int f = ds->fieldIndex(QStringLiteral("id_cmd_c"));
    for (int row = 0; row < ds->RecordCount(); ++row)
        ids << ds->displayText(row, f);
    return ids;
}

QStringList Workbench::gridIds() const {
    QStringList ids;
    auto *ds = w->dsLogKalvoro;
    const int f = ds->fieldIndex(QStringLiteral("id_cmd_c"));
    auto *model = w->cxGrid1->viewModel();
    for (int p = 0; p < model->filteredCount(); ++p)
        ids << ds->displayText(model->filteredSourceRow(p), f);
    return ids;
}

QString Workbench::currentId() const {
    return w->dsLogKalvoro->FieldByName(QStringLiteral("id_cmd_c")).AsString();
}

void Workbench::clickOrder(const std::string &id) {
    const int source = int(listedIds().indexOf(QString::fromStdString(braced(id))));
    ASSERT_GE(source, 0) << id << " is not listed";
    auto *view = w->cxGrid1->tableView();
    if (w->cxGrid1->viewModel()->rowOfSourceRow(source) < 0)
        w->cxGrid1->setAllGroupsExpanded(true); // its group is collapsed: the operator opens it
    const int row = w->cxGrid1->viewModel()->rowOfSourceRow(source);
    ASSERT_GE(row, 0) << id << " is not shown";
    const QModelIndex index = view->model()->index(row, 1);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(index).center());
}

std::string Workbench::stored(const std::string &id, const std::string &column) {
    const auto rows = testdb::rows(db->name(),
                                   "SELECT " + column + "::text FROM log_kalvoro WHERE id_cmd_c = " + sqlLiteral(id),
                                   db->port());
    return rows.empty() ? "(no row)" : rows[0][0];
}

int Workbench::importCalls() {
    return std::stoi(db->scalar("SELECT CASE WHEN is_called THEN last_value ELSE 0 END FROM test_cmd_c_ins_calls"));
}

std::vector<resttest::RecordedRequest> Workbench::requestsFor(const std::string &resource) const {
    std::vector<resttest::RecordedRequest> out;
    for (auto &r : service->requests())
        if (r.path() == "/api/" + resource)
            out.push_back(r);
    return out;
}

void Workbench::expectReadOnly() const {
    auto *ds = w->dsLogKalvoro;
    EXPECT_TRUE(ds->ReadOnly());
    if (ds->RecordCount() > 0) {
        try {
            ds->Edit();
            ADD_FAILURE() << "the order log could be put into editing";
            ds->Cancel();
        } catch (const wik::Error &e) {
            EXPECT_EQ(e.message(), "Cannot modify a read-only dataset");
        }
    }
    // The operator's ways into a cell editor: a double click, F2, typing; tried on the current
    // row, so that the current order stays where it was.
    auto *view = w->cxGrid1->tableView();
    auto *model = view->model();
    if (model->rowCount() == 0)
        return;
    const int focused = w->cxGrid1->viewModel()->rowOfSourceRow(w->cxGrid1->focusedSourceRow());
    const int row = focused >= 0 ? focused : 0;
    const QString current = ds->RecordCount() > 0 ? currentId() : QString();
    for (int column = 0; column < model->columnCount(); ++column) {
        const QModelIndex index = model->index(row, column);
        EXPECT_FALSE(model->flags(index) & Qt::ItemIsEditable) << column;
        const QString before = index.data().toString();
        view->scrollTo(index);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(index).center());
        QTest::keyClick(view, Qt::Key_F2);
        QTest::keyClicks(view, QStringLiteral("x"));
        // A cell editor would be a child of the viewport.
        for (QWidget *child : view->viewport()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            EXPECT_FALSE(child->isVisible()) << column << " " << child->metaObject()->className();
        EXPECT_EQ(model->index(row, column).data().toString(), before) << column;
    }
    if (ds->RecordCount() > 0) {
        EXPECT_EQ(currentId(), current);
    }
}

} // namespace wbtest
