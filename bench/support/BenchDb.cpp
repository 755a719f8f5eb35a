#include "BenchDb.h"

#include "PgConnection.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace bench {

namespace {

std::string env(const char *name, const char *fallback = "") {
    const char *v = std::getenv(name);
    return v && *v ? v : fallback;
}

const char *listingText =
    "select *, \n"
    "       cmd_c_json::json->>'client_full_name'               as client_full_name,\n"
    "       cmd_c_json::json->>'location'                       as location,\n"
    "       cast(cmd_c_json::json->>'created_at' as timestamp)  as created_at,\n"
    "       cast(cmd_c_json::json->>'delivery_date' as date)    as delivery_date\n"
    "from log_kalvoro\n"
    "where cast(data_ins_log as date) between :pDataIncep and current_date\n"
    "order by cast(cmd_c_json::json->>'created_at' as timestamp) desc,\n"
    "         cmd_c_json::json->>'client_full_name',\n"
    "         cmd_c_json::json->>'location'                \n"
    ";";

// The listing with its date parameter replaced by `value`.
std::string listingWith(const std::string &value) {
    std::string sql = listingText;
    sql.replace(sql.find(":pDataIncep"), std::strlen(":pDataIncep"), value);
    return sql;
}

} // namespace

Server::Server()
    : host(env("WIK_TEST_PGHOST", "127.0.0.1")), port(env("WIK_TEST_PGPORT", "5432")),
      superuser(env("WIK_TEST_PGSUPERUSER", "postgres")), password(env("WIK_TEST_ZELTO_PASSWORD")) {}

wik::db::PgConnHandle adminConnect(const Server &s, const std::string &db) {
    const char *keys[] = {"host", "port", "dbname", "user", "sslmode", nullptr};
    const char *vals[] = {s.host.c_str(), s.port.c_str(), db.c_str(), s.superuser.c_str(), "disable",
                          nullptr};
    wik::db::PgConnHandle c(PQconnectdbParams(keys, vals, 0));
    if (PQstatus(c.get()) != CONNECTION_OK)
        throw std::runtime_error(PQerrorMessage(c.get()));
    return c;
}

void pointAt(wik::db::PgConnection &c, const Server &s, const std::string &db) {
    c.setServer(QString::fromStdString(s.host));
    c.setPort(std::stoi(s.port));
    c.setDatabase(QString::fromStdString(db));
    c.setUsername(QStringLiteral("zelto"));
    c.setPassword(QString::fromStdString(s.password));
    c.setSslMode(wik::db::SslMode::Prefer);
}

wik::db::PgResultHandle adminExec(PGconn *c, const std::string &sql) {
    wik::db::PgResultHandle r(PQexec(c, sql.c_str()));
    const auto st = PQresultStatus(r.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
        throw std::runtime_error(PQresultErrorMessage(r.get()) + ("\n" + sql));
    return r;
}

CompanyDb::CompanyDb(const Server &s, const std::string &prefix)
    : server_(s), name_(prefix + "_" + std::to_string(getpid())) {
    auto admin = adminConnect(s, "postgres");
    adminExec(admin.get(), "CREATE DATABASE " + name_ + " TEMPLATE company_template");
}

CompanyDb::~CompanyDb() {
    try {
        auto admin = adminConnect(server_, "postgres");
        adminExec(admin.get(), "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    } catch (...) {
    }
}

wik::db::PgResultHandle CompanyDb::exec(const std::string &sql) const {
    auto c = adminConnect(server_, name_);
    return adminExec(c.get(), sql);
}

std::string orderJsonSql(const std::string &client) {
    return R"(json_build_object(
         'order_id', md5(i::text)::uuid,
         'client_full_name', )" + client + R"(,
         'location', 'Punct de lucru ' || (i % 300),
         'created_at', to_char(timestamp '2026-01-01' + i * interval '37 seconds', 'YYYY-MM-DD"T"HH24:MI:SS'),
         'delivery_date', to_char(date '2026-01-05' + (i % 200), 'YYYY-MM-DD'),
         'lines', (SELECT json_agg(json_build_object('sku', 'P-' || ((i * 7 + k) % 1000),
                                                     'name', 'Produs de test numarul ' || k,
                                                     'quantity', k, 'price', round(k * 1.37, 2)))
                   FROM generate_series(1, 8) k))::text)";
}

void logOrders(const CompanyDb &db, int count, int days, bool allPending) {
    db.exec("INSERT INTO demo_partener VALUES ('Client de test SRL') ON CONFLICT DO NOTHING");
    db.exec(R"(
INSERT INTO log_kalvoro (id_cmd_c, cmd_c_json, data_ins_log, data_doc_zelto, tip_doc_zelto, nr_doc_zelto)
SELECT md5(i::text)::uuid,
       )" + orderJsonSql("'Client de test SRL'") + R"(,
       localtimestamp - (i % )" + std::to_string(days) + R"() * interval '1 day',
       CASE WHEN i % 10 = 0 AND NOT )" + (allPending ? "true" : "false") + R"( THEN current_date END,
       CASE WHEN i % 10 = 0 AND NOT )" + (allPending ? "true" : "false") + R"( THEN 'CMDC' END,
       CASE WHEN i % 10 = 0 AND NOT )" + (allPending ? "true" : "false") + R"( THEN 'KV' || lpad(i::text, 6, '0') END
FROM generate_series(1, )" + std::to_string(count) + ") i");
    db.exec("VACUUM ANALYZE log_kalvoro");
}

long long listingResultBytes(const CompanyDb &db) {
    auto c = adminConnect(Server(), db.name());
    const std::string numbered = listingWith("$1");
    const char *const start[] = {"0001-01-01"};
    wik::db::PgResultHandle all(
        PQexecParams(c.get(), numbered.c_str(), 1, nullptr, start, nullptr, nullptr, 0));
    if (PQresultStatus(all.get()) != PGRES_TUPLES_OK)
        throw std::runtime_error(PQresultErrorMessage(all.get()));
    long long bytes = 0;
    for (int r = 0; r < PQntuples(all.get()); ++r)
        for (int f = 0; f < PQnfields(all.get()); ++f)
            bytes += PQgetlength(all.get(), r, f);
    return bytes;
}

QString listingQuery() { return QString::fromUtf8(listingText); }

std::string listingSql() { return listingWith("date '0001-01-01'"); }

double psqlMs(const Server &s, const std::string &db, const std::string &sql) {
    const std::string file = "/tmp/wik_bench_" + std::to_string(getpid()) + ".sql";
    std::ofstream(file) << sql << "\n";
    const std::string conninfo =
        "host=" + s.host + " port=" + s.port + " dbname=" + db + " user=zelto sslmode=prefer";
    // The password reaches psql through its environment, not its command line.
    std::string password = "PGPASSWORD=" + s.password;
    std::vector<char *> envp;
    for (char **e = environ; *e; ++e)
        if (std::strncmp(*e, "PG", 2) != 0)
            envp.push_back(*e);
    envp.push_back(password.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = {"psql", "-X", "-q", "-o", "/dev/null", "-v", "ON_ERROR_STOP=1",
                                     "-f", file, conninfo};
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "psql", nullptr, nullptr, argv.data(), envp.data()) != 0)
        throw std::runtime_error("psql could not be started");
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms = msSince(t0);
    std::remove(file.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("psql failed");
    return ms;
}

long long statusBytes(const char *field) {
    std::ifstream f("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(f, line))
        if (line.rfind(key, 0) == 0)
            return std::atoll(line.c_str() + key.size()) * 1024;
    return -1;
}

void resetPeak() {
    // Free heap pages that earlier work left resident would be reused without raising the peak,
    // so the figure would depend on what ran before; they go back to the system first.
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace bench
