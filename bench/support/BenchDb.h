#pragma once
// The cluster of a benchmark run (the WIK_TEST_PG* variables that scripts/bench.sh sets), a
// company database made for the run and dropped after it, and the figures benchmarks report.
#include "PgHandles.h"

#include <QString>

#include <chrono>
#include <string>

namespace wik::db {
class PgConnection;
}

namespace bench {

struct Server {
    Server();
    std::string host, port, superuser, password;
};

wik::db::PgConnHandle adminConnect(const Server &s, const std::string &db);
// Points a connection of the data access layer at `db` as the tool's database user.
void pointAt(wik::db::PgConnection &c, const Server &s, const std::string &db);
wik::db::PgResultHandle adminExec(PGconn *c, const std::string &sql);

// A company database from the template, dropped when the object goes.
class CompanyDb {
public:
    CompanyDb(const Server &s, const std::string &prefix);
    ~CompanyDb();
    CompanyDb(const CompanyDb &) = delete;
    CompanyDb &operator=(const CompanyDb &) = delete;
    const std::string &name() const { return name_; }
    wik::db::PgResultHandle exec(const std::string &sql) const;

private:
    const Server &server_;
    std::string name_;
};

// The JSON of an order shaped like the service's, as an SQL expression of the series number `i`
// (a location, two dates and eight lines; about 1 KB); `client` is the SQL expression of its
// client's name.
std::string orderJsonSql(const std::string &client);

// Orders shaped like the service's (a known client of the demo ERP, a location, two dates and
// eight lines; about 1 KB of JSON each), logged over the last `days` days; every tenth already
// imported unless `allPending`.
void logOrders(const CompanyDb &db, int count, int days, bool allPending);

// The size of the order log listing's result as libpq holds it: the sum of its value lengths.
long long listingResultBytes(const CompanyDb &db);

// The workbench's order log query as the data set takes it (the date parameter :pDataIncep).
QString listingQuery();
// The same for psql, the date parameter written in (a date before every row).
std::string listingSql();
double psqlMs(const Server &s, const std::string &db, const std::string &sql);

inline double msSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// From /proc/self/status, in bytes.
long long statusBytes(const char *field);
// Starts the peak (VmHWM) again from the present size.
void resetPeak();

} // namespace bench
