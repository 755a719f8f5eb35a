// The order service client against a company database and a recording loopback service: the
// requests as the service receives them, the URL rule, every outcome of both operations and the
// settings row read afresh at every call.
#include "RecordingServer.h"
#include "TestApplication.h"
#include "TestConnection.h"
#include "TestDb.h"
#include "u_dmCon.h"
#include "u_fProc_Kalvoro.h"

#include "ErrorOf.h"
#include "PgConnection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>

#include <memory>
#include <ostream>
#include <optional>

using resttest::answer;
using resttest::RecordingServer;
using resttest::Reply;
using testerr::errorOf;
using testing::StartsWith;

namespace {

const char *const kOrderId = "5d2f8a10-3c4b-4e6f-9a1b-7c8d9e0f1a21";

// The URL rule needs no database.
struct UrlCase {
    const char *configured;
    const char *url;
};

TEST(KalvoroUrlRule, BaseUrlAndResource) {
    const UrlCase cases[] = {
        {"http://kalvoro.ro/api", "http://kalvoro.ro/api/invoices/get"},
        {"http://kalvoro.ro/api/", "http://kalvoro.ro/api/invoices/get"},
        // of two trailing "/" one goes, and none is added before the resource
        {"http://kalvoro.ro/api//", "http://kalvoro.ro/api/invoices/get"},
        {"https://kalvoro.ro", "https://kalvoro.ro/invoices/get"},
        {"HTTPS://Kalvoro.ro/Api", "HTTPS://Kalvoro.ro/Api/invoices/get"},
        {"svn+ssh.x-1://h", "svn+ssh.x-1://h/invoices/get"},
        // no scheme: plain HTTP
        {"kalvoro.ro/api", "http://kalvoro.ro/api/invoices/get"},
        {"127.0.0.1:18080/api", "http://127.0.0.1:18080/api/invoices/get"},
        {"localhost:8080/", "http://localhost:8080/invoices/get"},
        {"1http://h", "http://1http://h/invoices/get"},
        {"h_t://h", "http://h_t://h/invoices/get"},
        {"http:/h", "http://http:/h/invoices/get"},
        // white space at both ends does not reach the URL
        {" \t kalvoro.ro/api/ \r\n", "http://kalvoro.ro/api/invoices/get"},
        {"  https://kalvoro.ro/api  ", "https://kalvoro.ro/api/invoices/get"},
        // what the rule makes of nothing, a URL a lenient parser reads as the host "invoices"
        // (the calls refuse an empty setting, see below)
        {"", "http:/invoices/get"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TfProc_Kalvoro::requestUrl(QString::fromUtf8(c.configured), QStringLiteral("invoices/get")),
                  QString::fromUtf8(c.url))
            << '"' << c.configured << '"';
}

TEST(KalvoroAuthorization, BasicOfTheUtf8BytesOfUserColonPass) {
    EXPECT_EQ(TfProc_Kalvoro::basicAuthorization("kalvoro", "demo"), "Basic a2Fsdm9ybzpkZW1v");
    EXPECT_EQ(TfProc_Kalvoro::basicAuthorization("", ""), "Basic Og==");
    // "ș" is two bytes in UTF-8; "?>" makes the standard alphabet's "+" appear.
    EXPECT_EQ(TfProc_Kalvoro::basicAuthorization(QString::fromUtf8("kalvoro"), QString::fromUtf8("\xC8\x99?>")),
              "Basic a2Fsdm9ybzrImT8+");
    EXPECT_EQ(TfProc_Kalvoro::basicAuthorization("a:b", "c"), "Basic YTpiOmM=");
}

class OrderServiceClient : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testapp::ensureApplication();
        if (testdb::available())
            db = new testdb::CompanyDb("ordersvc");
    }
    static void TearDownTestSuite() {
        delete db;
        db = nullptr;
    }

    void SetUp() override {
        REQUIRE_DB();
        dmCon = new TdmCon();
        testdb::pointAt(*dmCon->conZelto, db->name(), db->port());
        fProc_Kalvoro = new TfProc_Kalvoro();
        server = std::make_unique<RecordingServer>();
        configure("'" + server->url() + "/api'", "'kalvoro'", "'demo'");
    }
    void TearDown() override {
        delete fProc_Kalvoro;
        fProc_Kalvoro = nullptr;
        delete dmCon;
        dmCon = nullptr;
        server.reset();
        if (db)
            db->exec("DELETE FROM config_kalvoro");
    }

    // Replaces the settings row; the arguments are SQL literals (NULL allowed).
    static void configure(const std::string &baseUrl, const std::string &user, const std::string &pass) {
        db->exec("DELETE FROM config_kalvoro; INSERT INTO config_kalvoro (base_url, user_name, pass) VALUES (" +
                 baseUrl + ", " + user + ", " + pass + ")");
    }

    void serve(const std::string &path, const Reply &reply) {
        server->on(path, [reply](const resttest::RecordedRequest &) { return reply; });
    }

    static testdb::CompanyDb *db;
    std::unique_ptr<RecordingServer> server;
};

testdb::CompanyDb *OrderServiceClient::db = nullptr;

TEST_F(OrderServiceClient, TheFetchAsTheServiceReceivesIt) {
    serve("/api/invoices/get", answer(200, "[]"));
    EXPECT_EQ(fProc_Kalvoro->getCmdC(), "[]");

    ASSERT_EQ(server->requestCount(), 1u);
    const auto r = server->lastRequest();
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.target, "/api/invoices/get");
    EXPECT_EQ(r.headerValues("Authorization"), std::vector<std::string>{"Basic a2Fsdm9ybzpkZW1v"});
    EXPECT_EQ(r.headerValues("Accept"),
              std::vector<std::string>{"application/json, text/plain; q=0.9, text/html;q=0.8,"});
    EXPECT_EQ(r.headerValues("Accept-Charset"), std::vector<std::string>{"utf-8, *;q=0.8"});
    EXPECT_EQ(r.header("User-Agent"), wik::rest::RestClient::kUserAgent);
    EXPECT_FALSE(r.header("Content-Type").has_value());
    EXPECT_FALSE(r.header("Cookie").has_value());
    EXPECT_EQ(r.body, "");
}

TEST_F(OrderServiceClient, TheConfirmationAsTheServiceReceivesIt) {
    serve("/api/invoices/set", answer(201, "{\"generated_at\": \"2025-09-01T10:00:00\"}"));
    fProc_Kalvoro->confirmareCmdC(QString::fromLatin1(kOrderId));

    const auto r = server->lastRequest();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.target, "/api/invoices/set");
    EXPECT_EQ(r.body, std::string("{\"order_id\": \"") + kOrderId + "\"}");
    EXPECT_EQ(r.body.size(), 16u + 36u);
    EXPECT_EQ(r.headerValues("Content-Type"), std::vector<std::string>{"application/json"});
    EXPECT_EQ(r.headerValues("Authorization"), std::vector<std::string>{"Basic a2Fsdm9ybzpkZW1v"});
    EXPECT_EQ(r.headerValues("Accept"),
              std::vector<std::string>{"application/json, text/plain; q=0.9, text/html;q=0.8,"});
    EXPECT_EQ(r.headerValues("Accept-Charset"), std::vector<std::string>{"utf-8, *;q=0.8"});

    // The id goes in unchanged, as UTF-8 without a byte-order mark, with nothing escaped.
    fProc_Kalvoro->confirmareCmdC(QString::fromUtf8("Some\xC8\x99 \"x\\"));
    EXPECT_EQ(server->lastRequest().body, "{\"order_id\": \"Some\xC8\x99 \"x\\\"}");

    // A fetch after a confirmation carries no body and no Content-Type.
    fProc_Kalvoro->getCmdC();
    EXPECT_EQ(server->lastRequest().body, "");
    EXPECT_FALSE(server->lastRequest().header("Content-Type").has_value());
}

TEST_F(OrderServiceClient, NullOrEmptyCredentialsStillSendBasicOfAColon) {
    serve("/api/invoices/set", answer(201, "{\"generated_at\": null}"));
    for (const auto &[user, pass] : {std::pair{"NULL", "NULL"}, std::pair{"''", "''"}}) {
        configure("'" + server->url() + "/api'", user, pass);
        fProc_Kalvoro->getCmdC();
        EXPECT_EQ(server->lastRequest().header("Authorization"), "Basic Og==") << user;
        fProc_Kalvoro->confirmareCmdC(QString::fromLatin1(kOrderId));
        EXPECT_EQ(server->lastRequest().header("Authorization"), "Basic Og==") << user;
    }
}

TEST_F(OrderServiceClient, AHostWithoutSchemeAndSurroundingWhiteSpaceGoOverPlainHttp) {
    configure("E' 127.0.0.1:" + std::to_string(server->port()) + "/api/ \\t'", "'kalvoro'", "'demo'");
    fProc_Kalvoro->getCmdC();
    EXPECT_EQ(server->lastRequest().target, "/api/invoices/get");
}

struct Outcome {
    const char *name;
    int status;
    std::string body;
    std::string contentType;
    std::optional<std::string> error; // nullopt: success
    std::string result = {};          // for a successful fetch
};

TEST_F(OrderServiceClient, OutcomesOfTheFetch) {
    const Outcome cases[] = {
        {"200", 200, "[{\"order_id\": \"x\"}]", "application/json; charset=utf-8", std::nullopt,
         "[{\"order_id\": \"x\"}]"},
        {"200 empty", 200, "", "", std::nullopt, ""},
        {"200 in ISO-8859-2", 200, "[\"Some\xBA\"]", "application/json; charset=iso-8859-2", std::nullopt,
         "[\"Some\xC5\x9F\"]"},
        {"204", 204, "", "", "(getCmdC) EROARE! StatusCode = 204, Content = "},
        {"201", 201, "{}", "application/json", "(getCmdC) EROARE! StatusCode = 201, Content = {}"},
        {"202", 202, "later", "text/plain", "(getCmdC) EROARE! StatusCode = 202, Content = later"},
        {"302 without Location", 302, "moved", "text/plain",
         "(getCmdC) EROARE! StatusCode = 302, Content = moved"},
        {"401", 401, "Unauthorized: wrong or missing credentials", "text/plain",
         "(getCmdC) EROARE! StatusCode = 401, Content = Unauthorized: wrong or missing credentials"},
        {"404", 404, "Not here", "text/plain", "(getCmdC) EROARE! StatusCode = 404, Content = Not here"},
        {"500", 500, "boom", "text/plain", "HTTP/1.1 500 Internal Server Error"},
        {"503", 503, "busy", "text/plain", "HTTP/1.1 503 Service Unavailable"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        serve("/api/invoices/get", answer(c.status, c.body, c.contentType));
        if (c.error) {
            EXPECT_EQ(errorOf([] { fProc_Kalvoro->getCmdC(); }), *c.error);
        } else {
            EXPECT_EQ(fProc_Kalvoro->getCmdC().toStdString(), c.result);
        }
        EXPECT_FALSE(fProc_Kalvoro->dsConfigKalvoro->Active());
    }
}

TEST_F(OrderServiceClient, OutcomesOfTheConfirmation) {
    const std::string parse = "(confirmareCmdC Order) Eroare la parsare Json. Content = ";
    const Outcome cases[] = {
        {"201 with a time", 201, "{\"generated_at\": \"2001-02-03T04:05:06\"}", "application/json", std::nullopt},
        {"201 with null", 201, "{\"generated_at\": null}", "application/json", std::nullopt},
        {"201 among other members, white space around", 201,
         " \r\n{\"id\": 1, \"generated_at\": [1, {}]}\n ", "application/json", std::nullopt},
        {"200 even with generated_at", 200, "{\"generated_at\": null}", "application/json",
         "(confirmareCmdC Order) EROARE! StatusCode = 200, Content = {\"generated_at\": null}"},
        {"204", 204, "", "", "(confirmareCmdC Order) EROARE! StatusCode = 204, Content = "},
        {"401", 401, "Unauthorized", "text/plain",
         "(confirmareCmdC Order) EROARE! StatusCode = 401, Content = Unauthorized"},
        {"404", 404, std::string("Order ") + kOrderId + " not found", "text/plain",
         std::string("(confirmareCmdC Order) EROARE! StatusCode = 404, Content = Order ") + kOrderId +
             " not found"},
        {"503", 503, "{\"generated_at\": null}", "application/json", "HTTP/1.1 503 Service Unavailable"},
        {"201 empty", 201, "", "", parse},
        {"201 not JSON", 201, "ok", "text/plain", parse + "ok"},
        {"201 cut short", 201, "{\"generated_at\": ", "application/json", parse + "{\"generated_at\": "},
        {"201 garbage after the object", 201, "{\"generated_at\": 1} x", "application/json",
         parse + "{\"generated_at\": 1} x"},
        {"201 other case", 201, "{\"Generated_At\": 1}", "application/json", parse + "{\"Generated_At\": 1}"},
        {"201 nested only", 201, "{\"a\": {\"generated_at\": 1}}", "application/json",
         parse + "{\"a\": {\"generated_at\": 1}}"},
        {"201 array", 201, "[{\"generated_at\": 1}]", "application/json", "Invalid class typecast"},
        {"201 string", 201, "\"generated_at\"", "application/json", "Invalid class typecast"},
        {"201 number", 201, "42", "application/json", "Invalid class typecast"},
        {"201 null", 201, "null", "application/json", "Invalid class typecast"},
        {"201 true", 201, "true", "application/json", "Invalid class typecast"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        serve("/api/invoices/set", answer(c.status, c.body, c.contentType));
        if (c.error) {
            EXPECT_EQ(errorOf([] { fProc_Kalvoro->confirmareCmdC(QString::fromLatin1(kOrderId)); }), *c.error);
        } else {
            const QDateTime before = QDateTime::currentDateTime();
            const QDateTime at = fProc_Kalvoro->confirmareCmdC(QString::fromLatin1(kOrderId));
            // The workstation's local time, not the service's value.
            EXPECT_GE(at, before);
            EXPECT_LE(at, QDateTime::currentDateTime());
            EXPECT_EQ(at.timeSpec(), Qt::LocalTime);
        }
    }
}

TEST_F(OrderServiceClient, TransportFailuresOfBothOperations) {
    // Nothing listens.
    configure("'http://127.0.0.1:" + std::to_string(resttest::refusedPort()) + "/api'", "'kalvoro'", "'demo'");
    EXPECT_THAT(errorOf([] { fProc_Kalvoro->getCmdC(); }), StartsWith("REST request failed: "));
    EXPECT_THAT(errorOf([] { fProc_Kalvoro->confirmareCmdC(QString::fromLatin1(kOrderId)); }),
                StartsWith("REST request failed: "));

    // A service that takes the request and never answers: the answer time-out, shortened here.
    configure("'" + server->url() + "/api'", "'kalvoro'", "'demo'");
    wik::rest::RestClient::Timeouts t;
    t.read = std::chrono::milliseconds(300);
    fProc_Kalvoro->RESTClient1.setTimeouts(t);
    server->on("/api/invoices/get", server->hang());
    EXPECT_EQ(errorOf([] { fProc_Kalvoro->getCmdC(); }),
              "REST request failed: Operation timed out: nothing received for 300 milliseconds");
    server->release();

    // The next call starts from scratch.
    serve("/api/invoices/get", answer(200, "[]"));
    EXPECT_EQ(fProc_Kalvoro->getCmdC(), "[]");
}

TEST_F(OrderServiceClient, AnEmptySettingsTableSendsNothingAndARowAddedLaterIsUsed) {
    db->exec("DELETE FROM config_kalvoro");
    EXPECT_EQ(errorOf([] { fProc_Kalvoro->getCmdC(); }), "Nu aveti configurata tabela config_kalvoro.");
    EXPECT_EQ(errorOf([] { fProc_Kalvoro->confirmareCmdC(QString::fromLatin1(kOrderId)); }),
              "Nu aveti configurata tabela config_kalvoro.");
    EXPECT_EQ(server->requestCount(), 0u);
    EXPECT_FALSE(fProc_Kalvoro->dsConfigKalvoro->Active());

    configure("'" + server->url() + "/api'", "'kalvoro'", "'demo'");
    serve("/api/invoices/get", answer(200, "[1]"));
    EXPECT_EQ(fProc_Kalvoro->getCmdC(), "[1]");
    EXPECT_EQ(server->requestCount(), 1u);
}

TEST_F(OrderServiceClient, AFailingSettingsQueryRaisesTheDatabaseErrorAndSendsNothing) {
    db->exec("ALTER TABLE config_kalvoro RENAME COLUMN pass TO parola");
    const std::string message = errorOf([] { fProc_Kalvoro->getCmdC(); });
    db->exec("ALTER TABLE config_kalvoro RENAME COLUMN parola TO pass");
    EXPECT_EQ(message, "Field not found : pass");
    EXPECT_EQ(server->requestCount(), 0u);
    EXPECT_FALSE(fProc_Kalvoro->dsConfigKalvoro->Active());
}

TEST_F(OrderServiceClient, AnEmptyBaseUrlIsRefusedWithoutSendingTheCredentialsAnywhere) {
    for (const char *empty : {"NULL", "''", "'  '"}) {
        configure(empty, "'kalvoro'", "'demo'");
        EXPECT_EQ(errorOf([] { fProc_Kalvoro->getCmdC(); }),
                  "REST request failed: URL rejected: No host part in the URL")
            << empty;
        EXPECT_FALSE(fProc_Kalvoro->dsConfigKalvoro->Active());
    }
}

TEST_F(OrderServiceClient, WithTwoRowsTheFirstTheDatabaseReturnsIsUsed) {
    db->exec("DELETE FROM config_kalvoro; INSERT INTO config_kalvoro VALUES ('" + server->url() +
             "/first', 'unu', 'x'), ('" + server->url() + "/second', 'doi', 'y')");
    const std::string first = db->scalar("SELECT base_url FROM config_kalvoro");
    fProc_Kalvoro->getCmdC();
    EXPECT_EQ(server->url() + server->lastRequest().target, first + "/invoices/get");
    EXPECT_EQ(server->lastRequest().header("Authorization"),
              first.ends_with("/first") ? "Basic dW51Ong=" : "Basic ZG9pOnk=");
}

TEST_F(OrderServiceClient, ASettingChangedBetweenCallsTakesEffectAtTheNextCall) {
    fProc_Kalvoro->getCmdC();
    EXPECT_EQ(server->lastRequest().header("Authorization"), "Basic a2Fsdm9ybzpkZW1v");
    db->exec("UPDATE config_kalvoro SET user_name = 'alt', base_url = base_url || '/v2/'");
    fProc_Kalvoro->getCmdC();
    EXPECT_EQ(server->lastRequest().header("Authorization"), "Basic YWx0OmRlbW8=");
    EXPECT_EQ(server->lastRequest().target, "/api/v2/invoices/get");
}

TEST_F(OrderServiceClient, CookiesOfTheServiceComeBackOnLaterCalls) {
    server->on("/api/invoices/get", [](const resttest::RecordedRequest &) {
        Reply r = answer(200, "[]");
        r.headers.emplace_back("Set-Cookie", "kv=s1; Path=/");
        return r;
    });
    serve("/api/invoices/set", answer(201, "{\"generated_at\": 1}"));
    fProc_Kalvoro->getCmdC();
    fProc_Kalvoro->confirmareCmdC(QString::fromLatin1(kOrderId));
    EXPECT_EQ(server->lastRequest().header("Cookie"), "kv=s1");
}

} // namespace
