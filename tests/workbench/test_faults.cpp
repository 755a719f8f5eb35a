// Faults in what the workbench stands between: the company database's server stopping in the
// middle of an import walk or restarting between two actions, an order service that hangs, and
// answers that are huge, mislabelled, not valid UTF-8 or cut off. Each ends in a clear message
// or a stored failure text, never in a crash or a garbled order, and the window takes the next
// action as usual.
//
// The database tests run on a PostgreSQL server of this program alone, which they stop and start
// again (the test run's shared servers serve other programs at the same time).
#include "WorkbenchFixture.h"

#include "DBMemo.h"
#include "DataGrid.h"
#include "PgQuery.h"
#include "RestClient.h"
#include "u_fImportKalvoroCmdC.h"
#include "u_fProc_Kalvoro.h"

#include <QCryptographicHash>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>

using namespace wbtest;
using namespace std::chrono_literals;
using resttest::answer;
using resttest::rawReply;
using resttest::RecordedRequest;
using resttest::Reply;

namespace {

// ---------------------------------------------------------------------------------------------
// A server of this program alone
// ---------------------------------------------------------------------------------------------

// Runs a command; gives what it wrote to its standard output, raises when it fails.
std::string run(const std::string &command) {
    FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    std::string out;
    char buf[256];
    while (size_t n = std::fread(buf, 1, sizeof buf, pipe))
        out.append(buf, n);
    const int status = ::pclose(pipe);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(command + " failed");
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

class OwnServer {
public:
    void start() {
        char folder[] = "/tmp/wik-faults.XXXXXX";
        if (!::mkdtemp(folder))
            throw std::runtime_error("mkdtemp");
        ::chmod(folder, 0755); // the server runs as its own user when the tests run as root
        base_ = folder;
        port_ = std::stoi(run(script() + " start " + base_ + "/pg plain"));
        run(std::string(WIK_SOURCE_DIR) + "/scripts/load_schema.sh " + std::to_string(port_) + " '" +
            testdb::zeltoPassword() + "' >/dev/null");
        // Every commit is written out before it is reported, so that a crash of the server loses
        // no committed statement (the throw-away clusters trade that for speed).
        testdb::exec("postgres", "ALTER SYSTEM SET synchronous_commit = on", port_);
        testdb::exec("postgres", "SELECT pg_reload_conf()", port_);
        running_ = true;
    }
    void remove() {
        if (!base_.empty())
            std::system((script() + " stop " + base_ + "/pg; rm -rf " + base_).c_str());
        base_.clear();
        port_ = 0;
        running_ = false;
    }
    // "fast": the server ends every session and shuts down; "immediate": it crashes.
    void halt(const std::string &mode) {
        run(script() + " halt " + base_ + "/pg " + mode);
        running_ = false;
    }
    void startAgain() {
        if (std::stoi(run(script() + " startagain " + base_ + "/pg")) != port_)
            throw std::runtime_error("the server came back on another port");
        running_ = true;
    }
    void restart(const std::string &mode) {
        halt(mode);
        startAgain();
    }
    void ensureRunning() {
        if (!running_ && !base_.empty())
            startAgain();
    }
    int port() const { return port_; }
    bool running() const { return running_; }

private:
    static std::string script() { return std::string(WIK_SOURCE_DIR) + "/scripts/pg_cluster.sh"; }

    std::string base_;
    int port_ = 0;
    std::atomic<bool> running_{false};
};

OwnServer server;

class OwnServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!testdb::available())
            return;
        try {
            server.start();
        } catch (const std::exception &e) {
            ADD_FAILURE() << "the test program's own server could not be started: " << e.what();
        }
    }
    void TearDown() override { server.remove(); }
};

const auto *const ownServerEnvironment = ::testing::AddGlobalTestEnvironment(new OwnServerEnvironment);

// ---------------------------------------------------------------------------------------------
// The fixture
// ---------------------------------------------------------------------------------------------

// One order log row as the database holds it, every column as text ("\\N" for NULL).
struct LogRow {
    std::string json, logged, error, docDate, docType, docNr, feedback;
    bool operator==(const LogRow &) const = default;
    bool imported() const { return docDate != "\\N"; }
};

void PrintTo(const LogRow &r, std::ostream *os) {
    *os << "{error " << r.error << ", document " << r.docDate << " " << r.docType << " " << r.docNr
        << ", feedback " << r.feedback << "}";
}

// A Zelto document the demo ERP made from an order.
struct Document {
    std::string type, nr, date, emitent;
    int lines = 0;
};

// What a row should be after the actions of a test.
enum class Expect {
    Untouched, // every column as before
    Refused,   // the server function's refusal stored, nothing imported
    Imported,  // imported, the failure text cleared, not confirmed
    Confirmed, // imported and confirmed to the service
};

class Faults : public Workbench {
protected:
    static void SetUpTestSuite() {
        serverPort = server.port();
        Workbench::SetUpTestSuite();
        if (!db)
            return;
        // The import can be held in the middle, at a given call: the document and the log row are
        // written, nothing is committed yet. The calls are counted as the fixture counts them.
        db->exec(R"sql(
            CREATE TABLE test_pause (at_call bigint);
            CREATE OR REPLACE FUNCTION o_kalvoro_cmd_c_ins(pidorder uuid, pemitent text)
            RETURNS TABLE (data_doc date, tip_doc varchar, nr_doc varchar)
            LANGUAGE plpgsql SECURITY DEFINER SET search_path = public AS $$
            DECLARE
                call bigint := nextval('test_cmd_c_ins_calls');
            BEGIN
                RETURN QUERY SELECT * FROM demo_o_kalvoro_cmd_c_ins(pidorder, pemitent);
                IF call = (SELECT at_call FROM test_pause) THEN
                    PERFORM pg_sleep(60);
                END IF;
            END $$;
        )sql");
    }
    static void TearDownTestSuite() {
        server.ensureRunning();
        Workbench::TearDownTestSuite();
        serverPort = 0;
    }

    void SetUp() override {
        REQUIRE_DB();
        ASSERT_TRUE(server.running()) << "no server of this program";
        Workbench::SetUp();
        db->exec("DELETE FROM test_pause");
        today = db->scalar("SELECT current_date");
    }
    void TearDown() override {
        server.ensureRunning();
        Workbench::TearDown();
    }

    void serve(const std::string &resource, const Reply &reply) {
        service->on("/api/" + resource, [reply](const RecordedRequest &) { return reply; });
    }
    void serveConfirmations() { serve("invoices/set", answer(201, "{\"generated_at\": null}")); }

    static std::map<std::string, LogRow> logRows() {
        std::map<std::string, LogRow> out;
        for (const auto &r : testdb::rows(db->name(),
                                          "SELECT id_cmd_c, cmd_c_json, data_ins_log, err_la_import, data_doc_zelto, "
                                          "tip_doc_zelto, nr_doc_zelto, data_feedback FROM log_kalvoro",
                                          db->port()))
            out[r[0]] = LogRow{r[1], r[2], r[3], r[4], r[5], r[6], r[7]};
        return out;
    }
    static std::map<std::string, Document> documents() {
        std::map<std::string, Document> out;
        for (const auto &r : testdb::rows(db->name(),
                                          "SELECT c.id_cmd_c, c.tip_doc, c.nr_doc, c.data_doc, c.emitent, "
                                          "(SELECT count(*) FROM demo_cmd_client_linie l WHERE l.id_cmd_client = c.id) "
                                          "FROM demo_cmd_client c",
                                          db->port()))
            out[r[0]] = Document{r[1], r[2], r[3], r[4], std::stoi(r[5])};
        return out;
    }
    // The order ids the service has been asked to confirm (and has confirmed: it answers 201).
    std::set<std::string> confirmedByService() const {
        std::set<std::string> ids;
        for (const auto &r : requestsFor("invoices/set"))
            ids.insert(r.body.substr(14, 36));
        return ids;
    }

    // Every column of every row against what it should be. Rows imported by the test carry a
    // complete document of the demo ERP, made once; a confirmation time is stored only for an
    // order the service confirmed.
    void expectRows(const std::map<std::string, LogRow> &before,
                    const std::vector<std::pair<std::string, Expect>> &expected) const {
        const auto now = logRows();
        const auto docs = documents();
        const auto confirmed = confirmedByService();
        ASSERT_EQ(now.size(), before.size());
        size_t newlyImported = 0;
        for (const auto &[id, expect] : expected) {
            SCOPED_TRACE("order " + id);
            const LogRow &was = before.at(id);
            const LogRow &is = now.at(id);
            // What only the order service's filing writes.
            EXPECT_EQ(is.json, was.json);
            EXPECT_EQ(is.logged, was.logged);
            // The document's columns are written together or not at all.
            EXPECT_EQ(is.docType == "\\N", !is.imported());
            EXPECT_EQ(is.docNr == "\\N", !is.imported());
            if (is.feedback != was.feedback) {
                EXPECT_TRUE(confirmed.count(id)) << "a confirmation time for an order the service never confirmed";
            }
            switch (expect) {
            case Expect::Untouched:
                EXPECT_EQ(is, was);
                if (!was.imported()) {
                    EXPECT_EQ(docs.count(id), 0u);
                }
                break;
            case Expect::Refused:
                EXPECT_FALSE(is.imported());
                EXPECT_EQ(is.error, "(SQL o_kalvoro_cmd_c_ins) : Client necunoscut: Nobody");
                EXPECT_EQ(is.feedback, was.feedback);
                EXPECT_EQ(docs.count(id), 0u);
                break;
            case Expect::Imported:
            case Expect::Confirmed: {
                ASSERT_TRUE(is.imported());
                EXPECT_EQ(is.error, "\\N");
                ASSERT_EQ(docs.count(id), 1u);
                const Document &d = docs.at(id);
                EXPECT_EQ(is.docDate, today);
                EXPECT_EQ(is.docType, "CMDC");
                EXPECT_EQ(is.docNr, d.nr);
                EXPECT_EQ(d.date, today);
                EXPECT_EQ(d.emitent, "ion");
                EXPECT_EQ(d.lines, 1);
                if (expect == Expect::Confirmed) {
                    EXPECT_NE(is.feedback, "\\N");
                } else {
                    EXPECT_EQ(is.feedback, "\\N");
                }
                newlyImported += was.imported() ? 0 : 1;
                break;
            }
            }
        }
        EXPECT_EQ(docs.size(), newlyImported) << "documents of orders that are not imported";
    }

    bool windowTakesInput() const {
        return w->ButtonImportToateCmd->isEnabled() && w->ButtonImportCmd->isEnabled() &&
               w->ButtonConfirmareCmd->isEnabled() && w->ButtonPreluareComenzi->isEnabled() &&
               w->ButtonCauta->isEnabled() && !w->ButtonOprireImport->isVisible() &&
               !w->LabelProgresImport->isVisible();
    }

    std::string connectionFailure() const {
        return "connection to server at \"127.0.0.1\", port " + std::to_string(server.port()) + " failed: ";
    }

    std::string today;
};

// ---------------------------------------------------------------------------------------------
// The database server stops in the middle of "Importa toate comenzile in ZELTO"
// ---------------------------------------------------------------------------------------------

struct StopCase {
    const char *name;
    enum { AtConfirmation, InImportCall } where;
    int n;            // the n-th confirmation, or the n-th call of the import function
    const char *mode; // how the server stops: "fast" or "immediate" (a crash)
    // The six orders after the stop, in the grid's order.
    std::vector<Expect> afterStop;
};

void PrintTo(const StopCase &c, std::ostream *os) { *os << c.name; }

class ServerStops : public Faults, public ::testing::WithParamInterface<StopCase> {};

TEST_P(ServerStops, TheWalkStopsWithTheDatabasesErrorAndAFreshWalkFinishes) {
    const StopCase &c = GetParam();
    addClient("Mega Alfa");
    // In the grid's order (newest first); the import calls are r1, r2, r4, r5, r6.
    const std::string r1 = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:06:00"});
    const std::string r2 = addOrder({.client = "Nobody", .createdAt = "2025-09-01 10:05:00"});
    const std::string r3 = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:04:00", .imported = true,
                                     .confirmedAt = "2025-09-01 12:00:00"});
    const std::string r4 = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:03:00"});
    const std::string r5 = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:02:00"});
    const std::string r6 = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:01:00",
                                     .error = "(SQL o_kalvoro_cmd_c_ins) : eroare veche"});
    const std::string ids[] = {r1, r2, r3, r4, r5, r6};
    search(serverToday());
    ASSERT_EQ(gridIds().size(), 6);
    const auto before = logRows();

    std::atomic<bool> walkOver{false};
    std::atomic<bool> stopped{false};
    std::thread watcher;
    if (c.where == StopCase::AtConfirmation) {
        // The service takes the n-th confirmation; before its answer reaches the tool the
        // database server is gone.
        auto count = std::make_shared<std::atomic<int>>(0);
        service->on("/api/invoices/set", [&, count](const RecordedRequest &) {
            if (++*count == c.n) {
                try {
                    server.halt(c.mode);
                    stopped = true;
                } catch (const std::exception &) {
                    // reported below: the server was not stopped
                }
            }
            return answer(201, "{\"generated_at\": null}");
        });
    } else {
        // The server stops while the n-th import call has written its document and has not
        // committed it.
        db->exec("INSERT INTO test_pause VALUES (" + std::to_string(c.n) + ")");
        const int port = server.port();
        watcher = std::thread([&, port] {
            const auto giveUp = std::chrono::steady_clock::now() + 30s;
            while (!walkOver && std::chrono::steady_clock::now() < giveUp) {
                try {
                    if (testdb::scalar("postgres", "SELECT count(*) FROM pg_stat_activity WHERE wait_event = 'PgSleep'",
                                       port) != "0") {
                        server.halt(c.mode);
                        stopped = true;
                        return;
                    }
                } catch (const std::exception &) {
                    // looked again on the next round; reported below when it never works
                }
                std::this_thread::sleep_for(20ms);
            }
        });
    }

    press("ButtonImportToateCmd");
    walkOver = true;
    if (watcher.joinable())
        watcher.join();
    ASSERT_TRUE(stopped) << "the server was not stopped";

    // The database's error, shown once; the end of the walk is not announced.
    ASSERT_EQ(messages.messages.size(), 1u) << messages.texts().join('|').toStdString();
    EXPECT_EQ(messages.messages[0].kind, RecordedMessage::Error);
    EXPECT_TRUE(messages.messages[0].text.startsWith(QString::fromStdString(connectionFailure())))
        << messages.messages[0].text.toStdString();
    EXPECT_TRUE(windowTakesInput());
    expectReadOnly();

    server.startAgain();
    db->exec("DELETE FROM test_pause");
    {
        SCOPED_TRACE("after the stop");
        std::vector<std::pair<std::string, Expect>> expected;
        for (size_t i = 0; i < 6; ++i)
            expected.emplace_back(ids[i], c.afterStop[i]);
        expectRows(before, expected);
    }

    // With the server back a fresh walk imports the rest. An order whose confirmation the service
    // took while its time could not be saved stays imported and not confirmed, which the walk
    // passes by; "Feedback Kalvoro" confirms it.
    messages.clear();
    serveConfirmations();
    press("ButtonImportToateCmd");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Sfarsit import comenzi.")});
    for (size_t i = 0; i < 6; ++i) {
        if (c.afterStop[i] == Expect::Imported) {
            clickOrder(ids[i]);
            press("ButtonConfirmareCmd");
        }
    }
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Sfarsit import comenzi.")});
    {
        SCOPED_TRACE("at the end");
        expectRows(before, {{r1, Expect::Confirmed}, {r2, Expect::Refused}, {r3, Expect::Untouched},
                            {r4, Expect::Confirmed}, {r5, Expect::Confirmed}, {r6, Expect::Confirmed}});
    }
    EXPECT_TRUE(windowTakesInput());
    expectReadOnly();
}

using E = Expect;
INSTANTIATE_TEST_SUITE_P(
    Moments, ServerStops,
    ::testing::Values(
        StopCase{"ShutdownWhileTheSecondConfirmationIsAnswered", StopCase::AtConfirmation, 2, "fast",
                 {E::Confirmed, E::Refused, E::Untouched, E::Imported, E::Untouched, E::Untouched}},
        StopCase{"CrashWhileTheFirstConfirmationIsAnswered", StopCase::AtConfirmation, 1, "immediate",
                 {E::Imported, E::Untouched, E::Untouched, E::Untouched, E::Untouched, E::Untouched}},
        StopCase{"ShutdownInTheFourthImportCall", StopCase::InImportCall, 4, "fast",
                 {E::Confirmed, E::Refused, E::Untouched, E::Confirmed, E::Untouched, E::Untouched}},
        StopCase{"CrashInTheFourthImportCall", StopCase::InImportCall, 4, "immediate",
                 {E::Confirmed, E::Refused, E::Untouched, E::Confirmed, E::Untouched, E::Untouched}}),
    [](const auto &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// The database server restarts between two actions
// ---------------------------------------------------------------------------------------------

TEST_F(Faults, AfterARestartTheNextActionWorks) {
    addClient("Mega Alfa");
    const std::string a = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:03:00"});
    const std::string b = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:02:00", .imported = true});
    search(serverToday());
    ASSERT_EQ(listedIds().size(), 2);

    server.restart("fast");
    const std::string c = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:01:00"});
    press("ButtonCauta");
    EXPECT_EQ(listedIds().size(), 3);

    server.restart("immediate");
    clickOrder(a);
    press("ButtonImportCmd");
    EXPECT_NE(stored(a, "data_doc_zelto"), "\\N");
    EXPECT_NE(stored(a, "data_feedback"), "\\N");

    server.restart("fast");
    clickOrder(b);
    press("ButtonConfirmareCmd");
    EXPECT_NE(stored(b, "data_feedback"), "\\N");

    server.restart("immediate");
    serve("invoices/get", answer(200, "[{\"order_id\": \"30000000-0000-4000-8000-000000000001\", "
                                      "\"client_full_name\": \"Mega Alfa\", \"created_at\": \"2025-09-01 09:00:00\", "
                                      "\"lines\": [{\"sku\": \"A1\", \"quantity\": 1, \"price\": 2}]}]"));
    press("ButtonPreluareComenzi");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Comenzile au fost preluate.")});
    EXPECT_EQ(listedIds().size(), 4);

    // And in the middle of a walk, while the window processes its messages between two orders.
    messages.clear();
    QTimer::singleShot(0, w, [] { server.restart("fast"); });
    press("ButtonImportToateCmd");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Sfarsit import comenzi.")});
    for (const std::string &id : {a, b, c, std::string("30000000-0000-4000-8000-000000000001")}) {
        EXPECT_NE(stored(id, "data_doc_zelto"), "\\N") << id << " " << stored(id, "err_la_import");
        EXPECT_NE(stored(id, "data_feedback"), "\\N") << id;
    }
    EXPECT_TRUE(windowTakesInput());
    expectReadOnly();
}

// ---------------------------------------------------------------------------------------------
// The order service hangs
// ---------------------------------------------------------------------------------------------

TEST_F(Faults, AHangingServiceEndsInTheTimeOutAndTheWindowGoesOn) {
    addClient("Mega Alfa");
    const std::string a = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:02:00"});
    const std::string b = addOrder({.client = "Mega Alfa", .createdAt = "2025-09-01 10:01:00"});
    search(serverToday());
    const std::string timedOut = "REST request failed: Operation timed out: nothing received for 300 milliseconds";
    const std::string serviceUrl = service->url() + "/api";
    resttest::RawServer silent; // takes the connection, never reads the request, never answers

    struct Hang {
        const char *name;
        std::function<void()> arrange;
    } hangs[] = {
        {"an answer that never comes",
         [&] {
             service->on("/api/invoices/set", service->hang());
             service->on("/api/invoices/get", service->hang());
         }},
        {"a request that is never read",
         [&] { db->exec("UPDATE config_kalvoro SET base_url = " + sqlLiteral(silent.url() + "/api")); }},
    };
    const std::string orders[] = {a, b};
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(hangs[i].name);
        const std::string &id = orders[i];
        messages.clear();
        fProc_Kalvoro->RESTClient1.setTimeouts({.connect = 2000ms, .send = 300ms, .read = 300ms});
        hangs[i].arrange();

        // The import's confirmation: the time-out is kept in the row, no message.
        clickOrder(id);
        press("ButtonImportCmd");
        EXPECT_TRUE(messages.messages.empty()) << messages.texts().join('|').toStdString();
        EXPECT_NE(stored(id, "data_doc_zelto"), "\\N");
        EXPECT_EQ(stored(id, "data_feedback"), "\\N");
        EXPECT_EQ(stored(id, "err_la_import"), "fProc_Kalvoro.confirmareCmdC :" + timedOut);
        EXPECT_EQ(w->cxDBMemo1->toPlainText().toStdString(), "fProc_Kalvoro.confirmareCmdC :" + timedOut);

        // The retrieval: the time-out is shown.
        press("ButtonPreluareComenzi");
        EXPECT_EQ(messages.texts(), QStringList{QString::fromStdString("Eroare apel API Kalvoro - " + timedOut + ".")});
        EXPECT_TRUE(windowTakesInput());
        expectReadOnly();

        // The service answers again: the next actions work.
        messages.clear();
        db->exec("UPDATE config_kalvoro SET base_url = " + sqlLiteral(serviceUrl));
        serveConfirmations();
        serve("invoices/get", answer(200, "[]"));
        press("ButtonConfirmareCmd");
        EXPECT_TRUE(messages.messages.empty()) << messages.texts().join('|').toStdString();
        EXPECT_NE(stored(id, "data_feedback"), "\\N");
        EXPECT_EQ(stored(id, "err_la_import"), "\\N");
        press("ButtonPreluareComenzi");
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Comenzile au fost preluate.")});
    }
}

// ---------------------------------------------------------------------------------------------
// Answers of the order service: huge, mislabelled, not UTF-8, cut off
// ---------------------------------------------------------------------------------------------

struct AnswerCase {
    const char *name;
    Reply reply;
    std::string shown;       // the message, with the period the error display adds
    const char *filedClient; // the client of the filed order as stored; nullptr: nothing filed
};

std::string orderArray(const std::string &client) {
    return "[{\"order_id\": \"30000000-0000-4000-8000-000000000001\", \"client_full_name\": \"" + client +
           "\", \"created_at\": \"2025-09-01 09:00:00\"}]";
}

TEST_F(Faults, AnswersAreFiledWithTheirTextOrEndInAClearError) {
    const std::string cutBody = "[{\"order_id\": \"30000000-0000-4000-8000-000000000001\"";
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const AnswerCase cases[] = {
        // A charset iconv does not know: the text is read as UTF-8.
        {"unknown charset", answer(200, orderArray("Mega Bra\xC8\x99ov"), "application/json; charset=x-kalvoro-42"),
         "Comenzile au fost preluate.", "Mega Bra\xC8\x99ov"},
        {"windows-1250", answer(200, orderArray("Mega Bra\xBAov"), "application/json; charset=windows-1250"),
         "Comenzile au fost preluate.", "Mega Bra\xC5\x9Fov"},
        // Bytes that are not UTF-8 become U+FFFD; inside a string the answer is still JSON.
        {"not UTF-8 inside a string", answer(200, orderArray("Mega \xC3\x28 Alfa \xE2\x82")),
         "Comenzile au fost preluate.", "Mega \xEF\xBF\xBD( Alfa \xEF\xBF\xBD"},
        {"not UTF-8 outside a string", answer(200, "[\xFF]"),
         "Eroare - Eroare la parsare Json. Content = [\xEF\xBF\xBD].", nullptr},
        {"cut off before the announced length",
         rawReply("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 200\r\nConnection: close\r\n\r\n" +
             cutBody),
         "Eroare apel API Kalvoro - REST request failed: transfer closed with " + std::to_string(200 - cutBody.size()) +
             " bytes remaining to read.",
         nullptr},
        {"cut off in a chunk",
         rawReply("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n"
             "100\r\n" + cutBody),
         "Eroare apel API Kalvoro - REST request failed: transfer closed with outstanding read data remaining.", nullptr},
        {"cut off in the headers", rawReply("HTTP/1.1 200 OK\r\nContent-Type: appl"),
         "Eroare apel API Kalvoro - REST request failed: transfer closed inside the header section of the answer.",
         nullptr},
        // JSON the tool accepts at any depth; the database's own reader refuses it.
        {"nested deeper than the database reads", answer(200, deep), "stack depth limit exceeded.", nullptr},
    };
    for (const AnswerCase &c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        db->exec("DELETE FROM log_kalvoro");
        serve("invoices/get", c.reply);
        press("ButtonPreluareComenzi");
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text.toStdString(), c.shown);
        if (c.filedClient) {
            EXPECT_EQ(db->scalar("SELECT cmd_c_json::json->>'client_full_name' FROM log_kalvoro"), c.filedClient);
        } else {
            EXPECT_EQ(db->scalar("SELECT count(*) FROM log_kalvoro"), "0");
        }
        EXPECT_TRUE(windowTakesInput());
    }
}

TEST_F(Faults, TwentyMegabyteAnswersAreFiledOrEndInTheirMessage) {
    // 5,000 orders of 4 kB each, as one JSON array: all filed, all listed.
    const int count = 5000;
    std::string body = "[";
    body.reserve(21'000'000);
    for (int i = 0; i < count; ++i) {
        char id[40];
        std::snprintf(id, sizeof id, "40000000-0000-4000-8000-%012d", i);
        if (i > 0)
            body += ",\n";
        body += "{\"order_id\": \"" + std::string(id) + "\", \"client_full_name\": \"Client " + std::to_string(i) +
                "\", \"created_at\": \"2025-09-01 10:00:00\", \"note\": \"" + std::string(4000, 'x') + "\"}";
    }
    body += "]";
    ASSERT_GT(body.size(), 20'000'000u);
    search(serverToday());
    serve("invoices/get", answer(200, body));
    press("ButtonPreluareComenzi");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Comenzile au fost preluate.")});
    EXPECT_EQ(db->scalar("SELECT length(pjson) FROM demo_log_ins_apel"), std::to_string(body.size()));
    EXPECT_EQ(db->scalar("SELECT count(*) FROM log_kalvoro"), std::to_string(count));
    EXPECT_EQ(w->dsLogKalvoro->RecordCount(), count);

    // A page of 20 MB that is not JSON: the parse message carries all of it.
    std::string page;
    while (page.size() < 20'000'000)
        page += "<p>Serviciul este in mentenanta, reveniti mai tarziu.</p>\n";
    page += "</html>";
    messages.clear();
    serve("invoices/get", answer(200, page, "text/html"));
    press("ButtonPreluareComenzi");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(messages.messages[0].text == QString::fromStdString("Eroare - Eroare la parsare Json. Content = " + page + "."));

    // The same page as the answer to a confirmation: kept whole in the order's row, shown by the
    // memo and the grid.
    db->exec("DELETE FROM log_kalvoro");
    const std::string id = addOrder({.imported = true});
    search(serverToday());
    messages.clear();
    serve("invoices/set", answer(404, page, "text/html"));
    press("ButtonConfirmareCmd");
    EXPECT_TRUE(messages.messages.empty());
    const std::string kept = "fProc_Kalvoro.confirmareCmdC :(confirmareCmdC Order) EROARE! StatusCode = 404, Content = " + page;
    EXPECT_EQ(db->scalar("SELECT length(err_la_import) FROM log_kalvoro"), std::to_string(kept.size()));
    EXPECT_EQ(db->scalar("SELECT md5(err_la_import) FROM log_kalvoro"),
              QCryptographicHash::hash(QByteArray::fromStdString(kept), QCryptographicHash::Md5).toHex().toStdString());
    EXPECT_EQ(w->cxDBMemo1->toPlainText().size(), qsizetype(kept.size()));
    EXPECT_FALSE(w->grab().isNull()); // the window paints its grid row and memo
    EXPECT_EQ(stored(id, "data_feedback"), "\\N");
    EXPECT_TRUE(windowTakesInput());
}

} // namespace
