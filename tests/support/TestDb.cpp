#include "TestDb.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace testdb {

namespace {

std::string env(const char *name) {
    const char *v = std::getenv(name);
    return v ? v : "";
}

struct ConnDeleter {
    void operator()(PGconn *c) const { PQfinish(c); }
};
struct ResultDeleter {
    void operator()(PGresult *r) const { PQclear(r); }
};

std::unique_ptr<PGconn, ConnDeleter> connect(const std::string &db, int p) {
    const std::string portText = std::to_string(p ? p : port());
    const std::string user = env("WIK_TEST_PGSUPERUSER");
    const std::string hostText = host();
    const char *keys[] = {"host", "port", "dbname", "user", "sslmode", "client_encoding", nullptr};
    const char *vals[] = {hostText.c_str(), portText.c_str(), db.c_str(), user.c_str(), "disable",
                          "UTF8", nullptr};
    std::unique_ptr<PGconn, ConnDeleter> c(PQconnectdbParams(keys, vals, 0));
    if (PQstatus(c.get()) != CONNECTION_OK)
        throw std::runtime_error("test set-up connection failed: " +
                                 std::string(PQerrorMessage(c.get())));
    return c;
}

std::unique_ptr<PGresult, ResultDeleter> run(const std::string &db, const std::string &sql, int p) {
    auto c = connect(db, p);
    std::unique_ptr<PGresult, ResultDeleter> r(PQexec(c.get(), sql.c_str()));
    const auto st = PQresultStatus(r.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
        throw std::runtime_error("test set-up statement failed: " +
                                 std::string(PQresultErrorMessage(r.get())) + "\n" + sql);
    return r;
}

} // namespace

std::string host() { return env("WIK_TEST_PGHOST"); }
int port() { return std::atoi(env("WIK_TEST_PGPORT").c_str()); }
int plainPort() { return std::atoi(env("WIK_TEST_PGPORT_PLAIN").c_str()); }
std::string zeltoUser() { return "zelto"; }
std::string zeltoPassword() { return env("WIK_TEST_ZELTO_PASSWORD"); }
bool available() { return !host().empty() && port() > 0; }

std::string sqlLiteral(const std::string &text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += '\'';
        out += c;
    }
    return out + "'";
}

void exec(const std::string &db, const std::string &sql, int p) { run(db, sql, p); }

std::string scalar(const std::string &db, const std::string &sql, int p) {
    auto r = run(db, sql, p);
    if (PQntuples(r.get()) == 0 || PQgetisnull(r.get(), 0, 0))
        return "";
    return PQgetvalue(r.get(), 0, 0);
}

std::vector<std::vector<std::string>> rows(const std::string &db, const std::string &sql, int p) {
    auto r = run(db, sql, p);
    std::vector<std::vector<std::string>> out;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
        std::vector<std::string> row;
        for (int j = 0; j < PQnfields(r.get()); ++j)
            row.push_back(PQgetisnull(r.get(), i, j) ? "\\N" : PQgetvalue(r.get(), i, j));
        out.push_back(std::move(row));
    }
    return out;
}

CompanyDb::CompanyDb(const std::string &prefix, int p) : port_(p ? p : testdb::port()) {
    static std::atomic<int> counter{0};
    name_ = prefix + "_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
    testdb::exec("postgres", "CREATE DATABASE " + name_ + " TEMPLATE company_template", port_);
}

CompanyDb::~CompanyDb() {
    try {
        testdb::exec("postgres", "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)", port_);
    } catch (const std::exception &e) {
        ADD_FAILURE() << e.what();
    }
}

} // namespace testdb
