// The workbench's actions through its buttons, against a real company database with the demo
// ERP's server functions and a recording order service on loopback: the retrieval, the
// confirmation to the service, the import of one order and of every listed order, and what
// happens when a re-read no longer lists the order an action works on.
#include "WorkbenchFixture.h"

#include "DBMemo.h"
#include "DataGrid.h"
#include "DateEdit.h"
#include "FilterHeader.h"
#include "GridTableView.h"
#include "GroupByBox.h"
#include "PgQuery.h"
#include "u_fImportKalvoroCmdC.h"
#include "u_fJsonPretty.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>

using namespace wbtest;
using resttest::answer;
using resttest::RecordedRequest;
using resttest::Reply;

namespace {

// The operator's regional settings are Romanian: dates as 02.09.2025, times as 08:30:15.
class Actions : public Workbench {
protected:
    static void SetUpTestSuite() {
        qputenv("LC_ALL", "ro_RO.UTF-8");
        Workbench::SetUpTestSuite();
    }

    void serve(const std::string &resource, const Reply &reply) {
        service->on("/api/" + resource, [reply](const RecordedRequest &) { return reply; });
    }
    // Runs a statement as another workstation would, while the order service answers.
    void serveAfter(const std::string &resource, const std::string &sql, const Reply &reply) {
        const std::string name = db->name();
        const int port = db->port();
        service->on("/api/" + resource, [=](const RecordedRequest &) {
            try {
                testdb::exec(name, sql, port);
            } catch (...) {
                return answer(500, "the test's statement failed", "text/plain");
            }
            return reply;
        });
    }

    // Files a trigger that takes an order out of the listed date range when the tool saves a
    // refused import in it, as if the server function's refusal moved it.
    void refusalMovesTheOrderOut() {
        db->exec(R"sql(
            CREATE OR REPLACE FUNCTION test_move_out() RETURNS trigger LANGUAGE plpgsql AS $$
            BEGIN
                NEW.data_ins_log := '2000-01-01';
                RETURN NEW;
            END $$;
            CREATE TRIGGER test_move_out BEFORE UPDATE OF err_la_import ON log_kalvoro
            FOR EACH ROW WHEN (NEW.err_la_import LIKE '(SQL o_kalvoro_cmd_c_ins)%')
            EXECUTE FUNCTION test_move_out();
        )sql");
    }
    void TearDown() override {
        Workbench::TearDown();
        if (db)
            db->exec("SET client_min_messages = warning; DROP TRIGGER IF EXISTS test_move_out ON log_kalvoro");
    }

    static std::string moveOut(const std::string &id) {
        return "UPDATE log_kalvoro SET data_ins_log = '2000-01-01' WHERE id_cmd_c = " + sqlLiteral(id);
    }
    static std::string confirmationBody(const std::string &id) { return "{\"order_id\": \"" + id + "\"}"; }
    // The ids of the orders confirmed to the service, in the order of the requests.
    std::vector<std::string> confirmedIds() const {
        std::vector<std::string> ids;
        for (const auto &r : requestsFor("invoices/set"))
            ids.push_back(r.body);
        return ids;
    }
    std::vector<std::string> bodies(std::initializer_list<std::string> ids) const {
        std::vector<std::string> out;
        for (const auto &id : ids)
            out.push_back(confirmationBody(id));
        return out;
    }

    QString field(const char *name) const { return w->dsLogKalvoro->FieldByName(QString::fromLatin1(name)).AsString(); }
    QStringList shownTexts() const { return messages.texts(); }
    int logRows() const { return std::stoi(db->scalar("SELECT count(*) FROM log_kalvoro")); }
};

// ---------------------------------------------------------------------------------------------
// Retrieval: "Preluare comenzi din site"
// ---------------------------------------------------------------------------------------------

using Retrieval = Actions;

TEST_F(Retrieval, AnyOneJsonValuePassesUnchangedToTheServerFunction) {
    const std::string twoOrders =
        "[{\"order_id\": \"10000000-0000-4000-8000-000000000001\", \"client_full_name\": \"Mega Alfa\", "
        "\"created_at\": \"2025-09-01 10:00:00\"},\r\n {\"order_id\": \"10000000-0000-4000-8000-000000000002\", "
        "\"client_full_name\": \"Mega Beta\", \"created_at\": \"2025-09-01 11:00:00\", \"note\": \"\\u0219\"}]";
    const std::string answers[] = {"[]", "null", "\"x\"", "42", " \n[]\t ", "-1.5e3", "true", twoOrders};
    search(serverToday());
    for (const std::string &body : answers) {
        SCOPED_TRACE(body);
        messages.clear();
        serve("invoices/get", answer(200, body));
        press("ButtonPreluareComenzi");
        ASSERT_EQ(messages.messages.size(), 1u) << shownTexts().join('|').toStdString();
        EXPECT_EQ(messages.messages[0].kind, RecordedMessage::Information);
        EXPECT_EQ(messages.messages[0].text, QStringLiteral("Comenzile au fost preluate."));
        EXPECT_EQ(db->scalar("SELECT pjson FROM demo_log_ins_apel ORDER BY id DESC LIMIT 1"), body);
    }
    EXPECT_EQ(db->scalar("SELECT count(*) FROM demo_log_ins_apel"), "8");
    // The orders filed by the last answer are listed at once, newest first.
    EXPECT_EQ(listedIds(), (QStringList{"{10000000-0000-4000-8000-000000000002}",
                                        "{10000000-0000-4000-8000-000000000001}"}));
    const auto requests = requestsFor("invoices/get");
    ASSERT_EQ(requests.size(), 8u);
    EXPECT_EQ(requests[0].method, "GET");
}

struct RetrievalFailure {
    const char *name;
    std::optional<Reply> reply; // nullopt: the settings table has no row
    const char *shown;
};

TEST_F(Retrieval, FailuresShowTheirMessageAndLeaveTheListUnread) {
    const RetrievalFailure cases[] = {
        {"empty answer", answer(200, "", ""), "Eroare - Eroare la parsare Json. Content = "},
        {"HTML page", answer(200, "<html><body><h1>Mentenanta</h1></body></html>", "text/html"),
         "Eroare - Eroare la parsare Json. Content = <html><body><h1>Mentenanta</h1></body></html>."},
        {"two values", answer(200, "[] []"), "Eroare - Eroare la parsare Json. Content = [] []."},
        {"401", answer(401, "Unauthorized: wrong or missing credentials", "text/plain"),
         "Eroare apel API Kalvoro - (getCmdC) EROARE! StatusCode = 401, Content = Unauthorized: wrong or missing "
         "credentials."},
        {"503", answer(503, "busy", "text/plain"), "Eroare apel API Kalvoro - HTTP/1.1 503 Service Unavailable."},
        {"no settings row", std::nullopt, "Eroare apel API Kalvoro - Nu aveti configurata tabela config_kalvoro."},
        {"the server function refuses", answer(200, "[{\"client_full_name\": \"X\"}]"),
         "Comanda fara order_id: {\"client_full_name\": \"X\"}."},
    };
    const auto listed = addOrder({});
    search(serverToday());
    // Filed since the search: a re-read would show it.
    addOrder({.createdAt = "2025-09-03 10:00:00"});
    const std::string settings = db->scalar("SELECT base_url FROM config_kalvoro");
    for (const RetrievalFailure &c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        db->exec("DELETE FROM config_kalvoro");
        if (c.reply) {
            db->exec("INSERT INTO config_kalvoro VALUES (" + sqlLiteral(settings) + ", 'kalvoro', 'demo')");
            serve("invoices/get", *c.reply);
        }
        press("ButtonPreluareComenzi");
        ASSERT_EQ(messages.messages.size(), 1u) << shownTexts().join('|').toStdString();
        EXPECT_EQ(messages.messages[0].kind, RecordedMessage::Error);
        EXPECT_EQ(messages.messages[0].text.toStdString(), c.shown);
        EXPECT_EQ(listedIds(), QStringList{QString::fromStdString(braced(listed))});
        EXPECT_EQ(logRows(), 2);
    }
    // Only the server function's own call reached the database, and was undone with it.
    EXPECT_EQ(db->scalar("SELECT count(*) FROM demo_log_ins_apel"), "0");
}

TEST_F(Retrieval, BeforeAnySearchItOpensTheListWhichIsEmpty) {
    serve("invoices/get", answer(200, "[{\"order_id\": \"10000000-0000-4000-8000-000000000001\", "
                                      "\"client_full_name\": \"Mega Alfa\"}]"));
    ASSERT_FALSE(w->dsLogKalvoro->Active());
    press("ButtonPreluareComenzi");
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Comenzile au fost preluate.")});
    EXPECT_TRUE(w->dsLogKalvoro->Active());
    EXPECT_EQ(w->dsLogKalvoro->RecordCount(), 0);
    EXPECT_EQ(logRows(), 1);
    press("ButtonCauta");
    EXPECT_EQ(listedIds(), QStringList{QStringLiteral("{10000000-0000-4000-8000-000000000001}")});
}

TEST_F(Retrieval, AfterASearchItReReadsWithThatSearchsDate) {
    const QDate today = serverToday();
    const auto older = addOrder({.createdAt = "2025-08-01 10:00:00", .logged = "current_date - 2"});
    const auto newer = addOrder({.createdAt = "2025-08-02 10:00:00", .logged = "current_date - 2"});
    addOrder({.createdAt = "2025-08-03 10:00:00", .logged = "current_date - 5"});
    search(today.addDays(-2));
    clickOrder(older);
    // Changed since the search, without pressing "Cauta": a date that would list nothing.
    w->cxDateEditDataIncep->setDate(today.addDays(5));
    serve("invoices/get", answer(200, "[{\"order_id\": \"10000000-0000-4000-8000-000000000001\", "
                                      "\"created_at\": \"2025-09-01 10:00:00\"}]"));
    press("ButtonPreluareComenzi");
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Comenzile au fost preluate.")});
    EXPECT_EQ(listedIds(), (QStringList{QStringLiteral("{10000000-0000-4000-8000-000000000001}"),
                                        QString::fromStdString(braced(newer)), QString::fromStdString(braced(older))}));
    // The operator's order is still the current one.
    EXPECT_EQ(currentId(), QString::fromStdString(braced(older)));
    EXPECT_EQ(w->cxGrid1->focusedSourceRow(), 2);
    EXPECT_EQ(w->cxDateEditDataIncep->date(), today.addDays(5));
    expectReadOnly();
}

// ---------------------------------------------------------------------------------------------
// "Nu aveti inregistrari."
// ---------------------------------------------------------------------------------------------

TEST_F(Actions, ActionsOnAnEmptyOrUnreadListAreRefused) {
    addOrder({.client = "Mega Alfa"});
    addClient("Mega Alfa");
    for (const char *button : {"ButtonImportCmd", "ButtonImportToateCmd", "ButtonConfirmareCmd"}) {
        SCOPED_TRACE(button);
        for (const bool searched : {false, true}) {
            if (searched)
                search(serverToday().addDays(1)); // lists nothing
            messages.clear();
            press(button);
            EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Nu aveti inregistrari.")});
            EXPECT_EQ(messages.messages[0].kind, RecordedMessage::Error);
        }
        w->dsLogKalvoro->Close();
    }
    EXPECT_EQ(importCalls(), 0);
    EXPECT_EQ(service->requestCount(), 0u);
    EXPECT_TRUE(w->dsLogKalvoro->ReadOnly());
}

// ---------------------------------------------------------------------------------------------
// Feedback: "Feedback Kalvoro"
// ---------------------------------------------------------------------------------------------

using Feedback = Actions;

TEST_F(Feedback, AnImportedOrderIsConfirmedAndTheTimeStored) {
    const auto first = addOrder({.createdAt = "2025-09-02 10:00:00", .imported = true});
    const auto id = addOrder({.imported = true, .error = "fProc_Kalvoro.confirmareCmdC :HTTP/1.1 503 Service Unavailable"});
    search(serverToday());
    clickOrder(id);
    ASSERT_EQ(w->cxDBMemo1->toPlainText(), QStringLiteral("fProc_Kalvoro.confirmareCmdC :HTTP/1.1 503 Service Unavailable"));

    const QDateTime before = QDateTime::currentDateTime();
    press("ButtonConfirmareCmd");
    const QDateTime after = QDateTime::currentDateTime();

    EXPECT_TRUE(messages.messages.empty()) << shownTexts().join('|').toStdString();
    ASSERT_EQ(confirmedIds(), bodies({id}));
    EXPECT_EQ(requestsFor("invoices/set")[0].method, "POST");
    // The workstation's time of the confirmation, not the service's "generated_at".
    const QDateTime storedAt = QDateTime::fromString(
        QString::fromStdString(stored(id, "to_char(data_feedback, 'YYYY-MM-DD\"T\"HH24:MI:SS.MS')")), Qt::ISODateWithMs);
    ASSERT_TRUE(storedAt.isValid());
    EXPECT_LE(before.addMSecs(-1), storedAt);
    EXPECT_LE(storedAt, after.addMSecs(1));
    EXPECT_EQ(stored(id, "err_la_import"), "\\N");
    EXPECT_EQ(stored(first, "data_feedback"), "\\N");
    // The grid and the memo show the saved row without a re-read.
    EXPECT_EQ(currentId(), QString::fromStdString(braced(id)));
    EXPECT_EQ(w->cxDBMemo1->toPlainText(), QString());
    EXPECT_EQ(w->cxGrid1->viewModel()->displayText(w->dsLogKalvoro->RecNo(), 9),
              storedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    expectReadOnly();

    // Pressed again: refused with the time of the first confirmation.
    press("ButtonConfirmareCmd");
    EXPECT_EQ(shownTexts(), QStringList{"Comanda a fost deja confirmata la Kalvoro. data_feedback=" +
                                        storedAt.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) + "."});
    EXPECT_EQ(confirmedIds().size(), 1u);
    expectReadOnly();
}

struct Refusal {
    const char *name;
    Order order;
    const char *shown; // with the period the error display adds
};

TEST_F(Feedback, RefusalsSendNothingAndStoreNothing) {
    const Refusal cases[] = {
        {"not imported", {.error = "eroare veche"},
         "Comanda nu este importata in ZELTO, dupa import se poate confirma la Kalvoro."},
        {"confirmed", {.imported = true, .confirmedAt = "2025-09-02 08:30:15"},
         "Comanda a fost deja confirmata la Kalvoro. data_feedback=02.09.2025 08:30:15."},
        {"confirmed at midnight", {.imported = true, .confirmedAt = "2025-09-02 00:00:00"},
         "Comanda a fost deja confirmata la Kalvoro. data_feedback=02.09.2025."},
        {"confirmed half a second after midnight", {.imported = true, .confirmedAt = "2025-09-02 00:00:00.5"},
         "Comanda a fost deja confirmata la Kalvoro. data_feedback=02.09.2025 00:00:00."},
    };
    for (const Refusal &c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        const auto id = addOrder(c.order);
        const std::string before = stored(id, "row(err_la_import, data_feedback)");
        search(serverToday());
        clickOrder(id);
        press("ButtonConfirmareCmd");
        EXPECT_EQ(shownTexts(), QStringList{QString::fromLatin1(c.shown)});
        EXPECT_EQ(stored(id, "row(err_la_import, data_feedback)"), before);
        expectReadOnly();
    }
    EXPECT_EQ(service->requestCount(), 0u);
}

struct ServiceFailure {
    const char *name;
    std::optional<Reply> reply; // nullopt: the settings table has no row
    const char *stored;
};

TEST_F(Feedback, AServiceFailureIsStoredAfterThePrefix) {
    const ServiceFailure cases[] = {
        {"503", answer(503, "busy", "text/plain"), "fProc_Kalvoro.confirmareCmdC :HTTP/1.1 503 Service Unavailable"},
        {"200 instead of 201", answer(200, "{\"generated_at\": null}"),
         "fProc_Kalvoro.confirmareCmdC :(confirmareCmdC Order) EROARE! StatusCode = 200, Content = "
         "{\"generated_at\": null}"},
        {"no settings row", std::nullopt, "fProc_Kalvoro.confirmareCmdC :Nu aveti configurata tabela config_kalvoro."},
    };
    const auto id = addOrder({.imported = true});
    search(serverToday());
    const std::string settings = db->scalar("SELECT base_url FROM config_kalvoro");
    for (const ServiceFailure &c : cases) {
        SCOPED_TRACE(c.name);
        db->exec("DELETE FROM config_kalvoro");
        if (c.reply) {
            db->exec("INSERT INTO config_kalvoro VALUES (" + sqlLiteral(settings) + ", 'kalvoro', 'demo')");
            serve("invoices/set", *c.reply);
        }
        press("ButtonConfirmareCmd");
        EXPECT_TRUE(messages.messages.empty()) << shownTexts().join('|').toStdString();
        EXPECT_EQ(stored(id, "err_la_import"), c.stored);
        EXPECT_EQ(stored(id, "data_feedback"), "\\N");
        EXPECT_EQ(w->cxDBMemo1->toPlainText().toStdString(), c.stored);
        EXPECT_EQ(field("err_la_import").toStdString(), c.stored);
        expectReadOnly();
    }
}

// ---------------------------------------------------------------------------------------------
// Import: "Importa comanda curenta in ZELTO"
// ---------------------------------------------------------------------------------------------

using Import = Actions;

TEST_F(Import, AnAcceptedOrderShowsItsDocumentAndIsConfirmedAtOnce) {
    addClient("Mega Alfa");
    const auto other = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-02 10:00:00"});
    const auto id = addOrder({.client = "Mega Alfa", .error = "(SQL o_kalvoro_cmd_c_ins) : Client necunoscut: Mega Alfa"});
    search(serverToday());
    clickOrder(id);
    press("ButtonImportCmd");

    EXPECT_TRUE(messages.messages.empty()) << shownTexts().join('|').toStdString();
    EXPECT_EQ(importCalls(), 1);
    EXPECT_EQ(db->scalar("SELECT emitent FROM demo_cmd_client WHERE id_cmd_c = " + sqlLiteral(id)), "ion");
    // The re-read shows the document the server function wrote; the same order is current.
    EXPECT_EQ(currentId(), QString::fromStdString(braced(id)));
    EXPECT_EQ(w->dsLogKalvoro->FieldByName(QStringLiteral("data_doc_zelto")).AsDate(), serverToday());
    EXPECT_EQ(field("tip_doc_zelto"), QStringLiteral("CMDC"));
    EXPECT_EQ(field("nr_doc_zelto"), QStringLiteral("KV000001"));
    EXPECT_EQ(field("err_la_import"), QString());
    EXPECT_EQ(w->cxDBMemo1->toPlainText(), QString());
    EXPECT_FALSE(w->dsLogKalvoro->FieldByName(QStringLiteral("data_feedback")).IsNull());
    EXPECT_EQ(confirmedIds(), bodies({id}));
    EXPECT_NE(stored(id, "data_feedback"), "\\N");
    EXPECT_EQ(stored(id, "err_la_import"), "\\N");
    EXPECT_EQ(stored(other, "data_doc_zelto"), "\\N");
    expectReadOnly();
}

struct ImportCase {
    const char *name;
    Order order;
    const char *storedError; // "\\N" for NULL; "%id" stands for the bare order id
    bool documentAfter;
    bool confirmationSent;
};

TEST_F(Import, WhatTheServerFunctionDecides) {
    addClient("Mega Alfa");
    const ImportCase cases[] = {
        {"unknown client", {.client = "Nobody"}, "(SQL o_kalvoro_cmd_c_ins) : Client necunoscut: Nobody", false, false},
        {"no lines", {.client = "Mega Alfa", .withLines = false}, "(SQL o_kalvoro_cmd_c_ins) : Comanda %id nu are linii",
         false, false},
        {"imported and confirmed", {.client = "Mega Alfa", .imported = true, .confirmedAt = "2025-09-02 08:30:15",
                                    .error = "eroare veche"},
         "\\N", true, false},
        {"imported, not confirmed", {.client = "Mega Alfa", .imported = true, .error = "eroare veche"}, "\\N", true,
         true},
    };
    for (const ImportCase &c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        const int calls = importCalls();
        const size_t confirmations = confirmedIds().size();
        const auto id = addOrder(c.order);
        const std::string feedbackBefore = stored(id, "data_feedback");
        search(serverToday());
        clickOrder(id);
        press("ButtonImportCmd");

        std::string error = c.storedError;
        if (const auto at = error.find("%id"); at != std::string::npos)
            error.replace(at, 3, id);
        EXPECT_TRUE(messages.messages.empty()) << shownTexts().join('|').toStdString();
        EXPECT_EQ(importCalls(), calls + 1);
        EXPECT_EQ(stored(id, "err_la_import"), error);
        EXPECT_EQ(w->cxDBMemo1->toPlainText().toStdString(), error == "\\N" ? "" : error);
        EXPECT_EQ(stored(id, "data_doc_zelto") != "\\N", c.documentAfter);
        EXPECT_EQ(confirmedIds().size(), confirmations + (c.confirmationSent ? 1 : 0));
        if (!c.confirmationSent) {
            EXPECT_EQ(stored(id, "data_feedback"), feedbackBefore);
        }
        EXPECT_EQ(currentId(), QString::fromStdString(braced(id)));
        expectReadOnly();
    }
}

TEST_F(Import, AnOrderDeletedMeanwhileFailsWithTheSavesError) {
    const auto id = addOrder({});
    search(serverToday());
    db->exec("DELETE FROM log_kalvoro WHERE id_cmd_c = " + sqlLiteral(id)); // another workstation
    press("ButtonImportCmd");
    // The server function's refusal cannot be saved in a row that is no longer there.
    EXPECT_EQ(shownTexts(), QStringList{QString::fromStdString("Record not found : log_kalvoro id_cmd_c=" + braced(id) + ".")});
    EXPECT_EQ(importCalls(), 1);
    EXPECT_EQ(service->requestCount(), 0u);
    EXPECT_EQ(w->dsLogKalvoro->State(), wik::db::DataSetState::Browse);
    expectReadOnly();
}

// ---------------------------------------------------------------------------------------------
// Import of every listed order: "Importa toate comenzile in ZELTO"
// ---------------------------------------------------------------------------------------------

using ImportAll = Actions;

TEST_F(ImportAll, VisitsTheFilteredRowsInTheGridsOrderAndSkipsImportedOnes) {
    for (const char *client : {"Mega Alfa", "Mega Beta", "Mega Gama", "Kaufland"})
        addClient(client);
    const auto alfa = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:03:00"});
    const auto beta = addOrder({.client = "Mega Beta", .createdAt = "2025-09-01 10:02:00", .imported = true});
    const auto gama = addOrder({.client = "Mega Gama", .createdAt = "2025-09-01 10:01:00",
                                .error = "(SQL o_kalvoro_cmd_c_ins) : Client necunoscut: Mega Gama"});
    const auto kaufland = addOrder({.client = "Kaufland", .createdAt = "2025-09-01 10:04:00"});
    search(serverToday());
    QTest::keyClicks(w->cxGrid1->filterHeader()->editor(1), QStringLiteral("mega"));
    // Sorted by client, descending: Gama, Beta, Alfa.
    w->cxGrid1->sortByClick(1, Qt::NoModifier);
    w->cxGrid1->sortByClick(1, Qt::NoModifier);
    ASSERT_EQ(w->cxGrid1->FilteredRecordCount(), 3);

    press("ButtonImportToateCmd");
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Sfarsit import comenzi.")});
    EXPECT_EQ(messages.messages[0].kind, RecordedMessage::Information);
    EXPECT_EQ(importCalls(), 2);
    EXPECT_EQ(confirmedIds(), bodies({gama, alfa}));
    EXPECT_NE(stored(gama, "data_doc_zelto"), "\\N");
    EXPECT_EQ(stored(gama, "err_la_import"), "\\N");
    EXPECT_NE(stored(alfa, "data_doc_zelto"), "\\N");
    EXPECT_EQ(stored(beta, "data_feedback"), "\\N"); // imported earlier: skipped, not confirmed
    EXPECT_EQ(stored(kaufland, "data_doc_zelto"), "\\N");
    expectReadOnly();
}

TEST_F(ImportAll, NothingToImportStillEndsWithTheMessage) {
    addClient("Mega Alfa");
    addOrder({.client = "Mega Alfa", .imported = true});
    addOrder({.client = "Mega Alfa", .imported = true, .confirmedAt = "2025-09-02 08:30:15"});
    search(serverToday());
    press("ButtonImportToateCmd");
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Sfarsit import comenzi.")});

    messages.clear();
    const auto c = addOrder({.client = "Mega Alfa"});
    press("ButtonCauta");
    QTest::keyClicks(w->cxGrid1->filterHeader()->editor(1), QStringLiteral("nimeni"));
    ASSERT_EQ(w->cxGrid1->FilteredRecordCount(), 0);
    ASSERT_EQ(w->dsLogKalvoro->RecordCount(), 3);
    press("ButtonImportToateCmd");
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Sfarsit import comenzi.")});

    EXPECT_EQ(importCalls(), 0);
    EXPECT_EQ(service->requestCount(), 0u);
    EXPECT_EQ(stored(c, "data_doc_zelto"), "\\N");
    expectReadOnly();
}

// While the walk runs: what takes input and what does not, the progress line, and the stop.
TEST_F(ImportAll, WhileItRunsOnlyLookingAndStoppingTakeInput) {
    addClient("Mega Alfa");
    const auto first = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:03:00"});
    const auto second = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:02:00"});
    const auto third = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:01:00"});
    search(serverToday());
    ASSERT_FALSE(w->LabelProgresImport->isVisible());
    ASSERT_FALSE(w->ButtonOprireImport->isVisible());

    struct Seen {
        bool ran = false;
        QString progress;
        bool stopShown = false;
        std::map<std::string, bool> enabled;
        int sortsAfterClick = -1;
        QString filterAfterTyping;
        int rowsAfterTyping = -1;
        int datasetRecordsAfterCauta = -1;
        QString viewerLabel;
    } seen;
    // Runs when the walk lets the window process its messages after the first order.
    QTimer::singleShot(0, w, [&] {
        seen.ran = true;
        seen.progress = w->LabelProgresImport->text();
        seen.stopShown = w->ButtonOprireImport->isVisible() && w->ButtonOprireImport->isEnabled();
        for (QWidget *c : std::initializer_list<QWidget *>{
                 w->ButtonPreluareComenzi, w->ButtonImportToateCmd, w->ButtonImportCmd, w->ButtonConfirmareCmd,
                 w->cxDateEditDataIncep, w->ButtonCauta, w->cxGrid1->filterHeader()->editor(1),
                 w->cxGrid1->groupByBox(), w->ButtonVeziJson, w->cxGrid1->tableView()})
            seen.enabled[c->objectName().toStdString()] = c->isEnabled();
        // The operator clicks a caption, types into the filter row and presses the buttons.
        auto *header = w->cxGrid1->filterHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionViewportPosition(1) + 10, 5));
        seen.sortsAfterClick = int(w->cxGrid1->sortColumns().size());
        QTest::keyClicks(header->editor(1), QStringLiteral("zzz"));
        seen.filterAfterTyping = header->editor(1)->text();
        seen.rowsAfterTyping = w->cxGrid1->FilteredRecordCount();
        for (QPushButton *b : {w->ButtonImportCmd, w->ButtonConfirmareCmd, w->ButtonPreluareComenzi,
                               w->ButtonImportToateCmd, w->ButtonCauta})
            QTest::mouseClick(b, Qt::LeftButton);
        // Scrolling and the viewer still work.
        w->cxGrid1->tableView()->verticalScrollBar()->setValue(1);
        QTimer::singleShot(0, fJsonPretty, [&] {
            seen.viewerLabel = fJsonPretty->Label1->text();
            fJsonPretty->close();
        });
        QTest::mouseClick(w->ButtonVeziJson, Qt::LeftButton);
        // Stop after the current order.
        QTest::mouseClick(w->ButtonOprireImport, Qt::LeftButton);
    });
    press("ButtonImportToateCmd");

    ASSERT_TRUE(seen.ran);
    EXPECT_EQ(seen.progress, QStringLiteral("Import 1 / 3"));
    EXPECT_TRUE(seen.stopShown);
    const std::map<std::string, bool> expectedEnabled = {
        {"ButtonPreluareComenzi", false}, {"ButtonImportToateCmd", false}, {"ButtonImportCmd", false},
        {"ButtonConfirmareCmd", false},   {"cxDateEditDataIncep", false},  {"ButtonCauta", false},
        {"filterEditor_1", false},        {"groupByBox", false},           {"ButtonVeziJson", true},
        {w->cxGrid1->tableView()->objectName().toStdString(), true},
    };
    EXPECT_EQ(seen.enabled, expectedEnabled);
    EXPECT_EQ(seen.sortsAfterClick, 0);
    EXPECT_EQ(seen.filterAfterTyping, QString());
    EXPECT_EQ(seen.rowsAfterTyping, 3);
    EXPECT_EQ(seen.viewerLabel, QString::fromStdString("Client = Mega Alfa, Id comanda = " + braced(first)));

    // Stopped after the first order; the end is still announced, once.
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Sfarsit import comenzi.")});
    EXPECT_EQ(importCalls(), 1);
    EXPECT_EQ(confirmedIds(), bodies({first}));
    EXPECT_EQ(stored(second, "data_doc_zelto"), "\\N");
    EXPECT_EQ(stored(third, "data_doc_zelto"), "\\N");
    // Everything takes input again.
    for (QWidget *c : std::initializer_list<QWidget *>{w->ButtonPreluareComenzi, w->ButtonImportToateCmd,
                                                       w->ButtonImportCmd, w->ButtonConfirmareCmd, w->GroupBox1,
                                                       w->cxGrid1->filterHeader(), w->cxGrid1->groupByBox()})
        EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();
    EXPECT_FALSE(w->LabelProgresImport->isVisible());
    EXPECT_FALSE(w->ButtonOprireImport->isVisible());
    expectReadOnly();

    // The next walk starts afresh: no stop left over from the last one.
    messages.clear();
    press("ButtonImportToateCmd");
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Sfarsit import comenzi.")});
    EXPECT_EQ(importCalls(), 3);
}

TEST_F(ImportAll, AClickOnAnotherRowDuringTheWalkDoesNotChangeItsCourse) {
    addClient("Mega Alfa");
    const auto first = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:03:00"});
    const auto second = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:02:00"});
    const auto third = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:01:00"});
    search(serverToday());
    QTimer::singleShot(0, w, [&] { clickOrder(third); });
    press("ButtonImportToateCmd");
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Sfarsit import comenzi.")});
    EXPECT_EQ(importCalls(), 3);
    EXPECT_EQ(confirmedIds(), bodies({first, second, third}));
}

TEST_F(ImportAll, AReReadThatFailsStopsTheWalkWithoutItsEndMessage) {
    addClient("Mega Alfa");
    const auto a = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:03:00"});
    const auto b = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:02:00"});
    const auto c = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:01:00"});
    search(serverToday());
    // While the first order is confirmed, an order whose JSON the database cannot read is filed.
    serveAfter("invoices/set",
               "INSERT INTO log_kalvoro (id_cmd_c, cmd_c_json) VALUES ('20000000-0000-4000-8000-000000000001', '{') "
               "ON CONFLICT DO NOTHING",
               answer(201, "{\"generated_at\": null}"));
    press("ButtonImportToateCmd");
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("invalid input syntax for type json.")});
    // The second order was imported before its re-read failed; the walk went no further.
    EXPECT_EQ(importCalls(), 2);
    EXPECT_EQ(confirmedIds(), bodies({a}));
    EXPECT_NE(stored(b, "data_doc_zelto"), "\\N");
    EXPECT_EQ(stored(b, "data_feedback"), "\\N");
    EXPECT_EQ(stored(c, "data_doc_zelto"), "\\N");
    EXPECT_TRUE(w->ButtonImportToateCmd->isEnabled());
    EXPECT_TRUE(w->cxGrid1->filterHeader()->isEnabled());
    EXPECT_FALSE(w->ButtonOprireImport->isVisible());
    expectReadOnly();
}

// ---------------------------------------------------------------------------------------------
// A re-read that no longer lists the order the action works on
// ---------------------------------------------------------------------------------------------

using OrderLeavesTheList = Actions;

TEST_F(OrderLeavesTheList, ImportStopsWithoutTouchingAnotherOrder) {
    // The first listed order is imported and not confirmed: an action that went on with the
    // first row would confirm it.
    const auto firstListed = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-02 10:00:00", .imported = true});
    const auto id = addOrder({.client = "Nobody"});
    refusalMovesTheOrderOut();
    search(serverToday());
    clickOrder(id);
    press("ButtonImportCmd");
    EXPECT_EQ(shownTexts(), QStringList{QString::fromStdString("Comanda " + braced(id) + " nu mai apare in lista.")});
    EXPECT_EQ(importCalls(), 1);
    EXPECT_EQ(service->requestCount(), 0u);
    EXPECT_EQ(stored(firstListed, "row(err_la_import, data_feedback)"), "(,)");
    EXPECT_EQ(stored(id, "err_la_import"), "(SQL o_kalvoro_cmd_c_ins) : Client necunoscut: Nobody");
    expectReadOnly();
}

TEST_F(OrderLeavesTheList, FeedbackStopsWithoutTouchingAnotherOrder) {
    const auto firstListed = addOrder({.createdAt = "2025-09-02 10:00:00", .imported = true});
    const auto id = addOrder({.imported = true});
    search(serverToday());
    clickOrder(id);
    db->exec(moveOut(id)); // another workstation
    press("ButtonConfirmareCmd");
    EXPECT_EQ(shownTexts(), QStringList{QString::fromStdString("Comanda " + braced(id) + " nu mai apare in lista.")});
    EXPECT_EQ(service->requestCount(), 0u);
    EXPECT_EQ(stored(firstListed, "row(err_la_import, data_feedback)"), "(,)");
    EXPECT_EQ(stored(id, "row(err_la_import, data_feedback)"), "(,)");
    expectReadOnly();
}

TEST_F(OrderLeavesTheList, TheWalkStopsThereWithoutItsEndMessage) {
    addClient("Mega Alfa");
    const auto imported = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-02 10:00:00", .imported = true});
    const auto refused = addOrder({.client = "Nobody", .createdAt = "2025-09-01 10:02:00"});
    const auto next = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:01:00"});
    refusalMovesTheOrderOut();
    search(serverToday());
    press("ButtonImportToateCmd");
    EXPECT_EQ(shownTexts(), QStringList{QString::fromStdString("Comanda " + braced(refused) + " nu mai apare in lista.")});
    EXPECT_EQ(importCalls(), 1);
    EXPECT_EQ(service->requestCount(), 0u);
    EXPECT_EQ(stored(imported, "data_feedback"), "\\N");
    EXPECT_EQ(stored(next, "data_doc_zelto"), "\\N");
    EXPECT_TRUE(w->ButtonImportToateCmd->isEnabled());
    EXPECT_FALSE(w->LabelProgresImport->isVisible());
    expectReadOnly();
}

TEST_F(OrderLeavesTheList, ConfirmedOrdersLeavingTheListDoNotUpsetTheWalk) {
    addClient("Mega Alfa");
    const auto a = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:03:00"});
    const auto b = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:02:00"});
    const auto c = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:01:00"});
    search(serverToday());
    // Each confirmation takes the confirmed order out of the listed range.
    const std::string name = db->name();
    const int port = db->port();
    service->on("/api/invoices/set", [=](const RecordedRequest &r) {
        const std::string id = r.body.substr(14, 36);
        try {
            testdb::exec(name, moveOut(id), port);
        } catch (...) {
            return answer(500, "the test's statement failed", "text/plain");
        }
        return answer(201, "{\"generated_at\": null}");
    });
    press("ButtonImportToateCmd");
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Sfarsit import comenzi.")});
    EXPECT_EQ(importCalls(), 3);
    EXPECT_EQ(confirmedIds(), bodies({a, b, c}));
    for (const auto &id : {a, b, c})
        EXPECT_NE(stored(id, "data_feedback"), "\\N") << id;
}

TEST_F(OrderLeavesTheList, AnOrderThatLeavesBeforeTheWalkReachesItIsNotMadeUpFor) {
    addClient("Mega Alfa");
    const auto a = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:03:00"});
    const auto refused = addOrder({.client = "Nobody", .createdAt = "2025-09-01 10:02:00"});
    const auto gone = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:01:00"});
    search(serverToday());
    // Another workstation takes the last order away while the first is confirmed.
    serveAfter("invoices/set", moveOut(gone), answer(201, "{\"generated_at\": null}"));
    press("ButtonImportToateCmd");
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Sfarsit import comenzi.")});
    // One attempt per order: the refused one is not tried again in place of the one that left.
    EXPECT_EQ(importCalls(), 2);
    EXPECT_EQ(confirmedIds(), bodies({a}));
    EXPECT_EQ(stored(refused, "err_la_import"), "(SQL o_kalvoro_cmd_c_ins) : Client necunoscut: Nobody");
    EXPECT_EQ(stored(gone, "data_doc_zelto"), "\\N");
}

} // namespace
