#pragma once
// The PostgreSQL servers of the test run (started by scripts/test.sh) and fresh company
// databases for the tests. Set-up statements run as the trusted set-up role, straight over
// libpq, so that they do not depend on the data-access layer under test.
#include <string>
#include <vector>

namespace testdb {

std::string host();
int port();        // the server with TLS
int plainPort();   // the server without TLS
std::string zeltoUser();     // "zelto"
std::string zeltoPassword();
bool available(); // false when the suite runs without the servers

// A text as an SQL string literal: in quotes, a quote within doubled.
std::string sqlLiteral(const std::string &text);

// Runs statements as the set-up role in database `db` of the TLS server (or `port`); fails the
// test on an error.
void exec(const std::string &db, const std::string &sql, int port = 0);
// One value (first column of the first row; "" for NULL or no row).
std::string scalar(const std::string &db, const std::string &sql, int port = 0);
// All rows, each as its columns' texts ("\\N" for NULL).
std::vector<std::vector<std::string>> rows(const std::string &db, const std::string &sql, int port = 0);

// A company database made from the template with the schema and the demo functions; dropped
// when the object goes away.
class CompanyDb {
public:
    explicit CompanyDb(const std::string &prefix = "company", int port = 0);
    ~CompanyDb();
    CompanyDb(const CompanyDb &) = delete;
    CompanyDb &operator=(const CompanyDb &) = delete;
    const std::string &name() const { return name_; }
    int port() const { return port_; }
    void exec(const std::string &sql) const { testdb::exec(name_, sql, port_); }
    std::string scalar(const std::string &sql) const { return testdb::scalar(name_, sql, port_); }

private:
    std::string name_;
    int port_;
};

} // namespace testdb

// Skips a database test when the servers are not there (a pure run).
#define REQUIRE_DB()                                                                               \
    do {                                                                                           \
        if (!testdb::available())                                                                  \
            GTEST_SKIP() << "needs the PostgreSQL servers of scripts/test.sh";                     \
    } while (0)
