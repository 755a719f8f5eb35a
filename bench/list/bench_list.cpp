// How fast and how lean the order log lists: 100,000 logged orders of about 1 KB of JSON each,
// read through the data set with the workbench's query and its declared fields, and the same
// query through psql. Connection set-up is included in both timings (best of three).
//
// The cluster comes from the WIK_TEST_PG* variables (scripts/bench.sh starts one). Prints the
// figures and ends with "list ratio=<data set / psql> memory_ratio=<peak data set memory /
// result bytes>".
#include "BenchDb.h"
#include "DataSetModel.h"
#include "PgConnection.h"
#include "PgHandles.h"
#include "PgQuery.h"

#include <QDate>

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace wik::db;

namespace {

constexpr int rowCount = 100000;

// The "null date" of an empty date box: far in the past, so every row is listed.
const QDate farPast(1899, 12, 30);

// The order log on a fresh connection, with the workbench's query and declared fields, ready to
// open.
void prepareListing(PgConnection &con, PgQuery &q, const bench::Server &s, const std::string &db) {
    bench::pointAt(con, s, db);
    q.setConnection(&con);
    q.setSql(bench::listingQuery());
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
    q.ParamByName("pDataIncep").setAsDate(farPast);
}

struct ListTiming {
    double openMs;  // connect + query + declared-field check
    double totalMs; // the above plus a walk over every row reading every field's value
    long checksum;
};

// One listing as the workbench does it, on a fresh connection.
ListTiming listThroughDataSet(const bench::Server &s, const std::string &db) {
    const auto t0 = std::chrono::steady_clock::now();
    PgConnection con;
    PgQuery q;
    prepareListing(con, q, s, db);
    q.setKeyFields("id_cmd_c");
    q.Open();
    const double openMs = bench::msSince(t0);
    long checksum = 0;
    const int fields = q.fieldCount();
    for (q.First(); !q.Eof(); q.Next())
        for (int f = 0; f < fields; ++f)
            checksum += q.Fields(f).Value().isValid() ? 1 : 0;
    return {openMs, bench::msSince(t0), checksum};
}

// A view asks the model for the cells it shows; a filter or a sort asks for every row's text.
double modelEveryCellMs(const bench::Server &s, const std::string &db) {
    PgConnection con;
    PgQuery q;
    prepareListing(con, q, s, db);
    DataSetModel model(&q);
    q.Open();
    const auto t0 = std::chrono::steady_clock::now();
    qsizetype chars = 0;
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            if (c != 1) // the order JSON is no grid column
                chars += model.data(model.index(r, c), Qt::DisplayRole).toString().size();
    const double ms = bench::msSince(t0);
    std::printf("model: display text of every grid cell (%d rows, %lld characters) in %.1f ms\n",
                model.rowCount(), static_cast<long long>(chars), ms);
    return ms;
}

// The peak memory the listing adds, measured in a child process so that nothing the parent did
// before counts: the peak is reset once the connection is open, then the data set is opened
// and walked, and the rise of the peak is reported back through a pipe.
long long datasetPeakBytes(const bench::Server &s, const std::string &db) {
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe");
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        long long peak = -1;
        try {
            PgConnection con;
            PgQuery q;
            prepareListing(con, q, s, db);
            con.Open();
            bench::resetPeak(); // the peak starts again from here
            const long long before = bench::statusBytes("VmHWM");
            q.Open();
            for (q.First(); !q.Eof(); q.Next())
                for (int f = 0; f < q.fieldCount(); ++f)
                    (void)q.Fields(f).AsString();
            peak = bench::statusBytes("VmHWM") - before;
        } catch (...) {
        }
        (void)!write(fds[1], &peak, sizeof peak);
        _exit(0);
    }
    close(fds[1]);
    long long peak = -1;
    (void)!read(fds[0], &peak, sizeof peak);
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return peak;
}

} // namespace

int main() {
    try {
        const bench::Server s;
        const bench::CompanyDb company(s, "bench_list");
        const std::string &db = company.name();
        std::printf("filling %s with %d orders...\n", db.c_str(), rowCount);
        // Orders shaped like the service's: a client, a location, two dates and eight lines,
        // about 1 KB of JSON each; logged over the last year; every tenth imported.
        company.exec(R"(
INSERT INTO log_kalvoro (id_cmd_c, cmd_c_json, data_ins_log, err_la_import, data_doc_zelto,
                         tip_doc_zelto, nr_doc_zelto, data_feedback)
SELECT md5(i::text)::uuid,
       )" + bench::orderJsonSql("'Client de test SRL ' || (i % 5000)") + R"(,
       localtimestamp - (i % 365) * interval '1 day',
       CASE WHEN i % 17 = 0 THEN 'Client necunoscut: Client de test SRL ' || (i % 5000) END,
       CASE WHEN i % 10 = 0 THEN current_date END,
       CASE WHEN i % 10 = 0 THEN 'CMDC' END,
       CASE WHEN i % 10 = 0 THEN 'KV' || lpad(i::text, 6, '0') END,
       CASE WHEN i % 20 = 0 THEN localtimestamp END
FROM generate_series(1, )" + std::to_string(rowCount) + ") i");
        company.exec("VACUUM ANALYZE log_kalvoro");
        PgResultHandle size =
            company.exec("SELECT count(*), avg(length(cmd_c_json))::int FROM log_kalvoro");
        std::printf("average order JSON: %s characters\n", PQgetvalue(size.get(), 0, 1));

        // The result's size as libpq holds it: the sum of the value lengths.
        const long long resultBytes = bench::listingResultBytes(company);
        std::printf("rows=%s result_bytes=%lld\n", PQgetvalue(size.get(), 0, 0), resultBytes);

        double bestOpen = 1e300, bestTotal = 1e300, bestPsql = 1e300;
        long rowsSeen = 0;
        for (int round = 0; round < 3; ++round) {
            const ListTiming t = listThroughDataSet(s, db);
            bestOpen = std::min(bestOpen, t.openMs);
            bestTotal = std::min(bestTotal, t.totalMs);
            rowsSeen = t.checksum;
            bestPsql = std::min(bestPsql, bench::psqlMs(s, db, bench::listingSql()));
        }
        std::printf("data set: open %.1f ms, open and read every value %.1f ms (best of 3; %ld non-NULL values)\n",
                    bestOpen, bestTotal, rowsSeen);
        std::printf("psql -X -q -o /dev/null: %.1f ms (best of 3)\n", bestPsql);

        modelEveryCellMs(s, db);
        const long long peak = datasetPeakBytes(s, db);
        std::printf("data set peak memory: %lld bytes (%.1f MB), result bytes %lld (%.1f MB)\n", peak,
                    peak / 1048576.0, resultBytes, resultBytes / 1048576.0);
        std::printf("list ratio=%.3f memory_ratio=%.3f\n", bestTotal / bestPsql,
                    double(peak) / double(resultBytes));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_list: %s\n", e.what());
        return 1;
    }
    return 0;
}
