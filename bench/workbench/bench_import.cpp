// "Importa toate comenzile in ZELTO" over 1,000 listed orders against the demo functions and a
// local order service, and, in the same run, the floor: 1,000 direct calls of the import function
// plus 1,000 confirmation requests. Ends with
// "import ratio=<walk time / floor time> memory_ratio=<peak / result bytes>".
#include "BenchDb.h"
#include "DataGrid.h"
#include "PgQuery.h"
#include "RestClient.h"
#include "RestRequest.h"
#include "RestResponse.h"
#include "WorkbenchRun.h"
#include "u_fImportKalvoroCmdC.h"

#include <httplib.h>

#include <QPushButton>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

constexpr int orderCount = 1000;

// The order service: every confirmation is accepted.
class LocalService {
public:
    LocalService() {
        server_.Post("/api/invoices/set", [this](const httplib::Request &, httplib::Response &res) {
            ++confirmations;
            res.status = 201;
            res.set_content(R"({"generated_at": "2026-12-11T10:00:00"})", "application/json");
        });
        // Answers go out at once, not held back waiting for an acknowledgement.
        server_.set_tcp_nodelay(true);
        port = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~LocalService() {
        server_.stop();
        thread_.join();
    }
    int port = 0;
    std::atomic<int> confirmations{0};

private:
    httplib::Server server_;
    std::thread thread_;
};

void resetImports(const bench::CompanyDb &db) {
    db.exec("UPDATE log_kalvoro SET data_doc_zelto = NULL, tip_doc_zelto = NULL, nr_doc_zelto = NULL, "
            "data_feedback = NULL, err_la_import = NULL");
    db.exec("DELETE FROM demo_cmd_client_linie; DELETE FROM demo_cmd_client");
}

// What the walk cannot do without: each import function call and each confirmation request.
double floorMs(const bench::Server &s, const bench::CompanyDb &db, int servicePort) {
    auto ids = db.exec("SELECT id_cmd_c FROM log_kalvoro");
    wik::db::PgConnHandle con = bench::adminConnect(s, db.name());
    wik::rest::RestClient client("http://127.0.0.1:" + std::to_string(servicePort) + "/api");
    wik::rest::RestResponse response;
    wik::rest::RestRequest request(client, response);
    request.setResource("invoices/set");
    request.setMethod(wik::rest::Method::Post);
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < PQntuples(ids.get()); ++i) {
        const char *params[] = {PQgetvalue(ids.get(), i, 0), "bench"};
        wik::db::PgResultHandle r(PQexecParams(con.get(), "SELECT * FROM o_kalvoro_cmd_c_ins($1, $2)", 2,
                                               nullptr, params, nullptr, nullptr, 0));
        if (PQresultStatus(r.get()) != PGRES_TUPLES_OK)
            throw std::runtime_error(PQresultErrorMessage(r.get()));
        request.clearParams();
        request.addHeader("Authorization", "Basic a2Fsdm9ybzpkZW1v");
        request.addBody(std::string(R"({"order_id": ")") + PQgetvalue(ids.get(), i, 0) + "\"}",
                        "application/json");
        request.Execute();
    }
    return bench::msSince(t0);
}

} // namespace

int main() {
    const bench::Server server;
    LocalService service;
    bench::CompanyDb db(server, "bench_import");
    bench::logOrders(db, orderCount, 5, true);
    db.exec("INSERT INTO config_kalvoro VALUES ('127.0.0.1:" + std::to_string(service.port) +
            "/api', 'kalvoro', 'demo')");
    const long long resultBytes = bench::listingResultBytes(db);

    double walk = 0;
    long long peak = 0;
    {
        bench::WorkbenchRun run(server, db.name());
        fImportKalvoroCmdC->ButtonCauta->click();
        const long long before = bench::statusBytes("VmRSS");
        bench::resetPeak();
        const auto t0 = std::chrono::steady_clock::now();
        fImportKalvoroCmdC->ButtonImportToateCmd->click();
        walk = bench::msSince(t0);
        peak = bench::statusBytes("VmHWM") - before;
        const auto imported = db.exec("SELECT count(data_doc_zelto), count(data_feedback) FROM log_kalvoro");
        std::printf("walk: %.1f ms for %d orders (%s imported, %s confirmed); boxes: %s%s\n", walk, orderCount,
                    PQgetvalue(imported.get(), 0, 0), PQgetvalue(imported.get(), 0, 1),
                    run.messages.infos.join(QStringLiteral(" | ")).toUtf8().constData(),
                    run.messages.errors.join(QStringLiteral(" | ")).toUtf8().constData());
    }
    resetImports(db);
    const double floor = floorMs(server, db, service.port);
    std::printf("floor: %.1f ms (%d function calls and %d confirmation requests)\n", floor, orderCount,
                orderCount);
    std::printf("peak memory added by the walk: %lld bytes; result bytes %lld\n", peak, resultBytes);
    std::printf("import ratio=%.3f memory_ratio=%.3f\n", walk / floor, double(peak) / double(resultBytes));
    return 0;
}
