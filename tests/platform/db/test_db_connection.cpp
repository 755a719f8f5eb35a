// Connections against the real servers: lazy opening, disconnected mode, TLS modes, failures
// with libpq's message, and independence from the PG* environment.
#include "DbTestSupport.h"

#include "PgError.h"
#include "PgQuery.h"
#include "PgStoredProc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace wik::db;

namespace {

class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_DB();
        db = std::make_unique<testdb::CompanyDb>("conn");
    }
    std::unique_ptr<testdb::CompanyDb> db;
};

// Whether the session that `q` ran on used TLS.
std::string sslOf(PgConnection &c) {
    PgQuery q;
    q.setConnection(&c);
    q.setSql("select ssl::text as ssl from pg_stat_ssl where pid = pg_backend_pid()");
    q.Open();
    return q.FieldByName("ssl").AsString().toStdString();
}

} // namespace

TEST_F(ConnectionTest, DisconnectedModeClosesAfterEachOperationAndKeepsTheRows) {
    auto c = dbtest::zeltoConnection(db->name());
    c->setDisconnected(true);
    db->exec("INSERT INTO emitent (emitent, eu_punct_lucru, data_ins) VALUES ('ana', 'sediu', '2026-01-02')");

    PgQuery q;
    q.setConnection(c.get());
    q.setSql("select emitent, data_ins from emitent where emitent = :pEmitent");
    q.ParamByName("pEmitent").setAsString("ana");
    EXPECT_FALSE(c->Connected()); // nothing opens before an operation needs the server
    q.Open();
    EXPECT_FALSE(c->Connected());
    EXPECT_EQ(dbtest::zeltoSessions(db->name(), 0), 0);
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("emitent").AsString(), "ana");
    EXPECT_EQ(q.FieldByName("data_ins").AsDate(), QDate(2026, 1, 2));

    PgStoredProc call;
    call.setConnection(c.get());
    call.setSql("select pg_sleep(0)");
    call.ExecProc();
    EXPECT_FALSE(c->Connected());
    q.Refresh();
    EXPECT_FALSE(c->Connected());
    EXPECT_EQ(q.RecordCount(), 1);

    // An explicit Open keeps the session until Close.
    c->Open();
    q.Refresh();
    EXPECT_TRUE(c->Connected());
    c->Close();
    c->Close(); // twice is harmless
    EXPECT_FALSE(c->Connected());
}

TEST_F(ConnectionTest, AConnectionNotInDisconnectedModeStaysOpen) {
    auto c = dbtest::zeltoConnection(db->name());
    PgQuery q;
    q.setConnection(c.get());
    q.setSql("select 1 as one");
    q.Open();
    EXPECT_TRUE(c->Connected());
    q.Close();
    q.Open();
    EXPECT_EQ(dbtest::zeltoSessions(db->name(), 1), 1); // one session, reused
    // A changed setting ends the session; the next operation opens one with the new setting.
    c->setSslMode(SslMode::Require);
    EXPECT_FALSE(c->Connected());
    EXPECT_EQ(sslOf(*c), "true");
}

TEST_F(ConnectionTest, AFailedOpenRaisesLibpqsMessageAndStaysClosed) {
    auto c = dbtest::zeltoConnection(db->name());
    c->setPassword("wrong");
    PgQuery q;
    q.setConnection(c.get());
    q.setSql("select 1 as one");
    try {
        q.Open();
        FAIL() << "a wrong password must be refused";
    } catch (const PgError &e) {
        EXPECT_NE(e.message().find("password authentication failed for user \"zelto\""), std::string::npos)
            << e.message();
        EXPECT_NE(e.message().back(), '\n');
        EXPECT_EQ(e.sqlState(), "08001");
    }
    EXPECT_FALSE(c->Connected());
    EXPECT_FALSE(q.Active());

    // The same settings, corrected, connect.
    c->setPassword(QString::fromStdString(testdb::zeltoPassword()));
    q.Open();
    EXPECT_TRUE(q.Active());

    auto nowhere = dbtest::zeltoConnection(db->name(), 1); // nothing listens on port 1
    try {
        nowhere->Open();
        FAIL();
    } catch (const PgError &e) {
        EXPECT_NE(e.message().find("Connection refused"), std::string::npos) << e.message();
    }
    EXPECT_FALSE(nowhere->Connected());
}

TEST_F(ConnectionTest, TlsModes) {
    testdb::CompanyDb plainDb("conn_plain", testdb::plainPort());
    struct Case {
        SslMode mode;
        bool tlsServer;
        const char *ssl; // nullptr: the connection must fail
    };
    const Case cases[] = {
        {SslMode::Require, true, "true"},
        {SslMode::Require, false, nullptr},
        {SslMode::Prefer, true, "true"},
        {SslMode::Prefer, false, "false"},
        {SslMode::Disable, true, "false"},
    };
    for (const Case &k : cases) {
        auto c = k.tlsServer ? dbtest::zeltoConnection(db->name(), testdb::port(), k.mode)
                             : dbtest::zeltoConnection(plainDb.name(), testdb::plainPort(), k.mode);
        SCOPED_TRACE(std::string(k.tlsServer ? "TLS server, mode " : "plain server, mode ") +
                     std::to_string(int(k.mode)));
        if (k.ssl) {
            EXPECT_EQ(sslOf(*c), k.ssl);
        } else {
            try {
                c->Open();
                FAIL() << "require must refuse a server without TLS";
            } catch (const PgError &e) {
                EXPECT_NE(e.message().find("server does not support SSL"), std::string::npos) << e.message();
            }
            EXPECT_FALSE(c->Connected());
        }
    }
}

TEST_F(ConnectionTest, ThePgEnvironmentChangesNothing) {
    // A password file and a certificate that would be used if libpq looked at them.
    const std::string dir = ::testing::TempDir();
    const std::string passfile = dir + "/wik_pgpass";
    {
        std::ofstream f(passfile);
        f << "*:*:*:*:" << testdb::zeltoPassword() << "\n";
    }
    chmod(passfile.c_str(), 0600);
    const std::string bogusCa = dir + "/wik_bogus_ca.crt";
    {
        std::ofstream f(bogusCa);
        f << "-----BEGIN CERTIFICATE-----\nMIIBnot-a-certificate\n-----END CERTIFICATE-----\n";
    }
    const std::pair<const char *, std::string> hostile[] = {
        {"PGPASSWORD", testdb::zeltoPassword()},
        {"PGPASSFILE", passfile},
        {"PGSSLMODE", "disable"},
        {"PGSSLROOTCERT", bogusCa},
        {"PGOPTIONS", "-c DateStyle=German -c search_path=nowhere"},
        {"PGDATESTYLE", "SQL"},
        {"PGTZ", "America/New_York"},
        {"PGSERVICE", "no_such_service"},
        {"PGSERVICEFILE", "/nonexistent/pg_service.conf"},
        {"PGHOSTADDR", "10.255.255.1"},
        {"PGDATABASE", "postgres"},
        {"PGUSER", "postgres"},
        {"PGAPPNAME", "intruder"},
        {"PGTARGETSESSIONATTRS", "read-only"},
        {"PGGSSENCMODE", "require"},
    };
    auto setHostile = [&] {
        for (const auto &[name, value] : hostile)
            setenv(name, value.c_str(), 1);
    };
    // whatever happens, the variables leave with the test
    struct Unset {
        decltype(hostile) &vars;
        ~Unset() {
            for (const auto &[name, value] : vars)
                unsetenv(name);
        }
    } unset{hostile};

    // Settings only: the TLS mode, the session settings and the database are the connection's.
    setHostile();
    auto c = dbtest::zeltoConnection(db->name(), testdb::port(), SslMode::Require);
    PgQuery q;
    q.setConnection(c.get());
    q.setSql("select current_setting('DateStyle') as ds, current_setting('TimeZone') as tz, "
             "current_setting('search_path') as sp, current_database()::text as db, "
             "current_user::text as usr, ssl::text as ssl "
             "from pg_stat_ssl where pid = pg_backend_pid()");
    q.Open();
    EXPECT_EQ(q.FieldByName("ds").AsString(), "ISO, YMD");
    EXPECT_EQ(q.FieldByName("tz").AsString(), "UTC"); // the server's own setting
    EXPECT_EQ(q.FieldByName("sp").AsString(), "\"$user\", public");
    EXPECT_EQ(q.FieldByName("db").AsString().toStdString(), db->name());
    EXPECT_EQ(q.FieldByName("usr").AsString(), "zelto");
    EXPECT_EQ(q.FieldByName("ssl").AsString(), "true");
    c->Close();

    // Without a password of its own the connection is refused, although PGPASSWORD and the
    // password file hold the right one.
    setHostile();
    c->setPassword("");
    try {
        c->Open();
        FAIL() << "a password from the environment or a password file was used";
    } catch (const PgError &e) {
        EXPECT_NE(e.message().find("password"), std::string::npos) << e.message();
    }
}

// A session kept open (a connection not in disconnected mode, or one held over several
// operations) that the server ends while it sits idle — a restart, a crash, an administrator's
// command — is not used again: the next statement goes out on a new session. A statement that
// was already on the wire when its session ended fails, and is not sent again.
TEST_F(ConnectionTest, ASessionTheServerEndedWhileIdleIsReplacedBeforeTheNextStatement) {
    testdb::CompanyDb plainDb("conn_plain", testdb::plainPort());
    struct Server {
        const char *name;
        std::string database;
        int port;
    };
    const Server servers[] = {{"TLS", db->name(), testdb::port()}, {"plain", plainDb.name(), testdb::plainPort()}};
    for (const Server &s : servers) {
        SCOPED_TRACE(s.name);
        auto endSession = [&](const std::string &pid) {
            testdb::exec("postgres", "SELECT pg_terminate_backend(" + pid + ", 5000)", s.port);
        };
        auto c = dbtest::zeltoConnection(s.database, s.port);
        PgQuery q;
        q.setConnection(c.get());
        q.setSql("select pg_backend_pid()::text as pid");
        q.Open();
        const std::string first = q.FieldByName("pid").AsString().toStdString();
        endSession(first);
        ASSERT_NO_THROW(q.Refresh());
        const std::string second = q.FieldByName("pid").AsString().toStdString();
        EXPECT_NE(second, first);

        // The same for a session held over several operations in disconnected mode.
        c->setDisconnected(true);
        {
            PgConnection::Operation hold(*c);
            q.Refresh();
            endSession(q.FieldByName("pid").AsString().toStdString());
            PgStoredProc call;
            call.setConnection(c.get());
            call.setSql("select 1");
            EXPECT_NO_THROW(call.ExecProc());
        }
        EXPECT_FALSE(c->Connected());

        // Ended while a statement runs: that statement fails.
        c->setDisconnected(false);
        q.Refresh();
        const std::string running = q.FieldByName("pid").AsString().toStdString();
        std::thread killer([&] {
            for (int i = 0; i < 200; ++i) {
                if (testdb::scalar("postgres",
                                   "SELECT count(*) FROM pg_stat_activity WHERE pid = " + running +
                                       " AND wait_event = 'PgSleep'",
                                   s.port) != "0") {
                    endSession(running);
                    return;
                }
                usleep(20 * 1000);
            }
        });
        PgStoredProc sleeper;
        sleeper.setConnection(c.get());
        sleeper.setSql("select pg_sleep(10)");
        EXPECT_THROW(sleeper.ExecProc(), PgError);
        killer.join();
        EXPECT_NO_THROW(q.Refresh());
    }
}
