// How fast and how lean the order log lists: 100,000 logged orders of about 1 KB of JSON each,
// read through the data set with the workbench's query and its declared fields, and the same
// query through psql. Connection set-up is included in both timings (best of three).
//
// The cluster comes from the WIK_TEST_PG* variables (scripts/bench.sh starts one). Prints the
// figures and ends with "list ratio=<data set / psql> memory_ratio=<peak data set memory /
// result bytes>".
#include "DataSetModel.h"
#include "PgConnection.h"
#include "PgHandles.h"
#include "PgQuery.h"

#include <QStringList>

#include <libpq-fe.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

using namespace wik::db;

namespace {

constexpr int rowCount = 100000;

const QStringList orderLogLines = {
    "select *, ",
    "       cmd_c_json::json->>'client_full_name'               as client_full_name,",
    "       cmd_c_json::json->>'location'                       as location,",
    "       cast(cmd_c_json::json->>'created_at' as timestamp)  as created_at,",
    "       cast(cmd_c_json::json->>'delivery_date' as date)    as delivery_date",
    "from log_kalvoro",
    "where cast(data_ins_log as date) between :pDataIncep and current_date",
    "order by cast(cmd_c_json::json->>'created_at' as timestamp) desc,",
    "         cmd_c_json::json->>'client_full_name',",
    "         cmd_c_json::json->>'location'                ",
    ";"};

// The "null date" of an empty date box: far in the past, so every row is listed.
const QDate farPast(1899, 12, 30);

std::string env(const char *name, const char *fallback = "") {
    const char *v = std::getenv(name);
    return v && *v ? v : fallback;
}

struct Server {
    std::string host = env("WIK_TEST_PGHOST", "127.0.0.1");
    std::string port = env("WIK_TEST_PGPORT", "5432");
    std::string superuser = env("WIK_TEST_PGSUPERUSER", "postgres");
    std::string password = env("WIK_TEST_ZELTO_PASSWORD");
};

PgConnHandle adminConnect(const Server &s, const std::string &db) {
    const char *keys[] = {"host", "port", "dbname", "user", "sslmode", nullptr};
    const char *vals[] = {s.host.c_str(), s.port.c_str(), db.c_str(), s.superuser.c_str(), "disable", nullptr};
    PgConnHandle c(PQconnectdbParams(keys, vals, 0));
    if (PQstatus(c.get()) != CONNECTION_OK)
        throw std::runtime_error(PQerrorMessage(c.get()));
    return c;
}

PgResultHandle adminExec(PGconn *c, const std::string &sql) {
    PgResultHandle r(PQexec(c, sql.c_str()));
    const auto st = PQresultStatus(r.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
        throw std::runtime_error(PQresultErrorMessage(r.get()) + ("\n" + sql));
    return r;
}

double msSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

void declareFields(PgQuery &q) {
    q.addField({"id_cmd_c", FieldKind::Guid, 38, true});
    q.addField({"cmd_c_json", FieldKind::WideMemo});
    q.addField({"err_la_import", FieldKind::WideMemo});
    q.addField({"data_ins_log", FieldKind::DateTime, 0, true});
    q.addField({"data_doc_zelto", FieldKind::Date});
    q.addField({"tip_doc_zelto", FieldKind::WideString, 7});
    q.addField({"nr_doc_zelto", FieldKind::WideString, 15});
    q.addField({"data_feedback", FieldKind::DateTime});
    q.addField({"client_full_name", FieldKind::WideMemo, 0, false, true});
    q.addField({"location", FieldKind::WideMemo, 0, false, true});
    q.addField({"created_at", FieldKind::DateTime, 0, false, true});
    q.addField({"delivery_date", FieldKind::Date, 0, false, true});
}

void configure(PgConnection &c, const Server &s, const std::string &db) {
    c.setServer(QString::fromStdString(s.host));
    c.setPort(std::stoi(s.port));
    c.setDatabase(QString::fromStdString(db));
    c.setUsername("zelto");
    c.setPassword(QString::fromStdString(s.password));
    c.setSslMode(SslMode::Prefer);
}

struct ListTiming {
    double openMs;  // connect + query + declared-field check
    double totalMs; // the above plus a walk over every row reading every field's value
    long checksum;
};

// One listing as the workbench does it, on a fresh connection.
ListTiming listThroughDataSet(const Server &s, const std::string &db) {
    const auto t0 = std::chrono::steady_clock::now();
    PgConnection con;
    configure(con, s, db);
    PgQuery q;
    q.setConnection(&con);
    q.setSql(orderLogLines.join('\n'));
    declareFields(q);
    q.setKeyFields("id_cmd_c");
    q.ParamByName("pDataIncep").setAsDate(farPast);
    q.Open();
    const double openMs = msSince(t0);
    long checksum = 0;
    const int fields = q.fieldCount();
    for (q.First(); !q.Eof(); q.Next())
        for (int f = 0; f < fields; ++f)
            checksum += q.Fields(f).Value().isValid() ? 1 : 0;
    return {openMs, msSince(t0), checksum};
}

double listThroughPsql(const Server &s, const std::string &db, const std::string &sqlFile) {
    const std::string conninfo = "host=" + s.host + " port=" + s.port + " dbname=" + db +
                                 " user=zelto sslmode=prefer";
    // the password goes to psql alone, through its environment, not on a command line
    std::string password = "PGPASSWORD=" + s.password;
    std::vector<char *> envp;
    for (char **e = environ; *e; ++e)
        if (std::strncmp(*e, "PG", 2) != 0)
            envp.push_back(*e);
    envp.push_back(password.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = {"psql", "-X", "-q", "-o", "/dev/null", "-v", "ON_ERROR_STOP=1",
                                     "-v", "pDataIncep='1899-12-30'", "-f", sqlFile, conninfo};
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
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("psql failed");
    return ms;
}

// A view asks the model for the cells it shows; a filter or a sort asks for every row's text.
double modelEveryCellMs(const Server &s, const std::string &db) {
    PgConnection con;
    configure(con, s, db);
    PgQuery q;
    q.setConnection(&con);
    q.setSql(orderLogLines.join('\n'));
    declareFields(q);
    q.ParamByName("pDataIncep").setAsDate(farPast);
    DataSetModel model(&q);
    q.Open();
    const auto t0 = std::chrono::steady_clock::now();
    qsizetype chars = 0;
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            if (c != 1) // the order JSON is no grid column
                chars += model.data(model.index(r, c), Qt::DisplayRole).toString().size();
    const double ms = msSince(t0);
    std::printf("model: display text of every grid cell (%d rows, %lld characters) in %.1f ms\n",
                model.rowCount(), static_cast<long long>(chars), ms);
    return ms;
}

long statusKb(const char *field) {
    std::ifstream f("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(f, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + key.size());
    return -1;
}

// The peak memory the listing adds, measured in a child process so that nothing the parent did
// before counts: the peak is reset once the connection is open, then the data set is opened
// and walked, and the rise of the peak is reported back through a pipe.
long datasetPeakBytes(const Server &s, const std::string &db) {
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe");
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        long peak = -1;
        try {
            PgConnection con;
            configure(con, s, db);
            con.Open();
            PgQuery q;
            q.setConnection(&con);
            q.setSql(orderLogLines.join('\n'));
            declareFields(q);
            q.ParamByName("pDataIncep").setAsDate(farPast);
            std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
            const long before = statusKb("VmHWM");
            q.Open();
            for (q.First(); !q.Eof(); q.Next())
                for (int f = 0; f < q.fieldCount(); ++f)
                    (void)q.Fields(f).AsString();
            peak = (statusKb("VmHWM") - before) * 1024;
        } catch (...) {
        }
        (void)!write(fds[1], &peak, sizeof peak);
        _exit(0);
    }
    close(fds[1]);
    long peak = -1;
    (void)!read(fds[0], &peak, sizeof peak);
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return peak;
}

} // namespace

int main() {
    const Server s;
    const std::string db = "bench_list_" + std::to_string(getpid());
    std::printf("creating %s with %d orders...\n", db.c_str(), rowCount);
    {
        PgConnHandle admin = adminConnect(s, "postgres");
        adminExec(admin.get(), "CREATE DATABASE " + db + " TEMPLATE company_template");
    }
    int rc = 0;
    try {
        PgConnHandle c = adminConnect(s, db);
        // Orders shaped like the service's: a client, a location, two dates and eight lines,
        // about 1 KB of JSON each; logged over the last year; every tenth imported.
        adminExec(c.get(), R"(
INSERT INTO log_kalvoro (id_cmd_c, cmd_c_json, data_ins_log, err_la_import, data_doc_zelto,
                         tip_doc_zelto, nr_doc_zelto, data_feedback)
SELECT md5(i::text)::uuid,
       json_build_object(
         'order_id', md5(i::text)::uuid,
         'client_full_name', 'Client de test SRL ' || (i % 5000),
         'location', 'Punct de lucru ' || (i % 300),
         'created_at', to_char(timestamp '2026-01-01' + i * interval '37 seconds', 'YYYY-MM-DD"T"HH24:MI:SS'),
         'delivery_date', to_char(date '2026-01-05' + (i % 200), 'YYYY-MM-DD'),
         'lines', (SELECT json_agg(json_build_object('sku', 'P-' || ((i * 7 + k) % 1000),
                                                     'name', 'Produs de test numarul ' || k,
                                                     'quantity', k, 'price', round(k * 1.37, 2)))
                   FROM generate_series(1, 8) k))::text,
       localtimestamp - (i % 365) * interval '1 day',
       CASE WHEN i % 17 = 0 THEN 'Client necunoscut: Client de test SRL ' || (i % 5000) END,
       CASE WHEN i % 10 = 0 THEN current_date END,
       CASE WHEN i % 10 = 0 THEN 'CMDC' END,
       CASE WHEN i % 10 = 0 THEN 'KV' || lpad(i::text, 6, '0') END,
       CASE WHEN i % 20 = 0 THEN localtimestamp END
FROM generate_series(1, )" + std::to_string(rowCount) + ") i");
        adminExec(c.get(), "VACUUM ANALYZE log_kalvoro");
        PgResultHandle size = adminExec(c.get(), "SELECT avg(length(cmd_c_json))::int FROM log_kalvoro");
        std::printf("average order JSON: %s characters\n", PQgetvalue(size.get(), 0, 0));

        // The result's size as libpq holds it: the sum of the value lengths.
        const std::string sql = orderLogLines.join('\n').toStdString();
        const QByteArray numbered = orderLogLines.join('\n').replace(":pDataIncep", "$1").toUtf8();
        const char *const start[] = {"1899-12-30"};
        PgResultHandle all(PQexecParams(c.get(), numbered.constData(), 1, nullptr, start, nullptr, nullptr, 0));
        if (PQresultStatus(all.get()) != PGRES_TUPLES_OK)
            throw std::runtime_error(PQresultErrorMessage(all.get()));
        long long resultBytes = 0;
        for (int r = 0; r < PQntuples(all.get()); ++r)
            for (int f = 0; f < PQnfields(all.get()); ++f)
                resultBytes += PQgetlength(all.get(), r, f);
        std::printf("rows=%d result_bytes=%lld\n", PQntuples(all.get()), resultBytes);
        all.reset();

        const std::string sqlFile = "/tmp/" + db + ".sql";
        std::ofstream(sqlFile) << sql << "\n";

        double bestOpen = 1e300, bestTotal = 1e300, bestPsql = 1e300;
        long rowsSeen = 0;
        for (int round = 0; round < 3; ++round) {
            const ListTiming t = listThroughDataSet(s, db);
            bestOpen = std::min(bestOpen, t.openMs);
            bestTotal = std::min(bestTotal, t.totalMs);
            rowsSeen = t.checksum;
            bestPsql = std::min(bestPsql, listThroughPsql(s, db, sqlFile));
        }
        std::remove(sqlFile.c_str());
        std::printf("data set: open %.1f ms, open and read every value %.1f ms (best of 3; %ld non-NULL values)\n",
                    bestOpen, bestTotal, rowsSeen);
        std::printf("psql -X -q -o /dev/null: %.1f ms (best of 3)\n", bestPsql);

        modelEveryCellMs(s, db);
        const long peak = datasetPeakBytes(s, db);
        std::printf("data set peak memory: %ld bytes (%.1f MB), result bytes %lld (%.1f MB)\n", peak,
                    peak / 1048576.0, resultBytes, resultBytes / 1048576.0);
        std::printf("list ratio=%.3f memory_ratio=%.3f\n", bestTotal / bestPsql,
                    double(peak) / double(resultBytes));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_list: %s\n", e.what());
        rc = 1;
    }
    try {
        PgConnHandle admin = adminConnect(s, "postgres");
        adminExec(admin.get(), "DROP DATABASE IF EXISTS " + db + " WITH (FORCE)");
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_list: %s\n", e.what());
    }
    return rc;
}
