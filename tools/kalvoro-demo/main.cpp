// kalvoro_demo_service: a small stand-in for the Kalvoro order service, for demonstrations and
// tests on one machine. It serves the pending orders of a JSON file and takes confirmations:
//
//   GET  <base>/invoices/get   Basic authentication; 200 with the pending orders (a JSON array)
//   POST <base>/invoices/set   Basic authentication; body {"order_id": "<uuid>"}; 201 with
//                              {"generated_at": "<local time>"}; the order is no longer pending
//
// Options: --port N (0: a free port; the port is always the first line on standard output),
// --host ADDR (127.0.0.1), --base PATH (/api), --orders FILE (a JSON array of orders),
// --user NAME and --password TEXT (kalvoro / demo), --state FILE (the confirmed order ids, kept
// across restarts), --log FILE (one line per request), --keep-dates (serve the dates as filed;
// by default they are moved by whole days so that the newest order was placed yesterday and the
// demonstration always shows recent orders). SIGTERM and SIGINT stop it cleanly.
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

using json = nlohmann::ordered_json;
namespace chr = std::chrono;

namespace {

struct Options {
    int port = 18080;
    std::string host = "127.0.0.1";
    std::string base = "/api";
    std::string ordersFile;
    std::string user = "kalvoro";
    std::string password = "demo";
    std::string stateFile;
    std::string logFile;
    bool keepDates = false;
};

[[noreturn]] void usage(const std::string &problem) {
    std::cerr << "kalvoro_demo_service: " << problem << "\n"
              << "usage: kalvoro_demo_service --orders FILE [--port N] [--host ADDR] [--base PATH]\n"
              << "       [--user NAME] [--password TEXT] [--state FILE] [--log FILE] [--keep-dates]\n";
    std::exit(2);
}

Options parseOptions(int argc, char **argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                usage(a + " needs a value");
            return argv[++i];
        };
        if (a == "--port") {
            try {
                o.port = std::stoi(value());
            } catch (...) {
                usage("--port needs a number");
            }
        } else if (a == "--host") {
            o.host = value();
        } else if (a == "--base") {
            o.base = value();
        } else if (a == "--orders") {
            o.ordersFile = value();
        } else if (a == "--user") {
            o.user = value();
        } else if (a == "--password") {
            o.password = value();
        } else if (a == "--state") {
            o.stateFile = value();
        } else if (a == "--log") {
            o.logFile = value();
        } else if (a == "--keep-dates") {
            o.keepDates = true;
        } else {
            usage("unknown option " + a);
        }
    }
    if (o.ordersFile.empty())
        usage("--orders is required");
    while (!o.base.empty() && o.base.back() == '/')
        o.base.pop_back();
    if (!o.base.empty() && o.base.front() != '/')
        o.base.insert(o.base.begin(), '/');
    return o;
}

std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string localTimeText(std::time_t t, const char *format) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    std::strftime(buf, sizeof buf, format, &tm);
    return buf;
}

std::string nowText() { return localTimeText(std::time(nullptr), "%Y-%m-%dT%H:%M:%S"); }

// "YYYY-MM-DD" (the date part of a created_at or a delivery_date) as a day count.
std::optional<chr::sys_days> parseDate(const std::string &text) {
    unsigned y = 0, m = 0, d = 0;
    if (text.size() < 10 || std::sscanf(text.c_str(), "%4u-%2u-%2u", &y, &m, &d) != 3)
        return std::nullopt;
    const chr::year_month_day ymd{chr::year(int(y)), chr::month(m), chr::day(d)};
    if (!ymd.ok())
        return std::nullopt;
    return chr::sys_days(ymd);
}

std::string dateText(chr::sys_days day) {
    const chr::year_month_day ymd(day);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", int(ymd.year()), unsigned(ymd.month()),
                  unsigned(ymd.day()));
    return buf;
}

chr::sys_days today() {
    std::tm tm{};
    const std::time_t t = std::time(nullptr);
    localtime_r(&t, &tm);
    return chr::sys_days(chr::year_month_day{chr::year(tm.tm_year + 1900), chr::month(unsigned(tm.tm_mon + 1)),
                                             chr::day(unsigned(tm.tm_mday))});
}

// Moves created_at and delivery_date of every order by the same number of days, so that the
// newest order was placed yesterday; times of day and the gaps between dates stay as filed.
void freshenDates(json &orders) {
    std::optional<chr::sys_days> newest;
    for (const auto &o : orders)
        if (o.contains("created_at") && o["created_at"].is_string())
            if (const auto d = parseDate(o["created_at"].get<std::string>()); d && (!newest || *d > *newest))
                newest = d;
    if (!newest)
        return;
    const chr::days shift = (today() - chr::days(1)) - *newest;
    for (auto &o : orders)
        for (const char *member : {"created_at", "delivery_date"})
            if (o.contains(member) && o[member].is_string()) {
                std::string text = o[member].get<std::string>();
                if (const auto d = parseDate(text)) {
                    text.replace(0, 10, dateText(*d + shift));
                    o[member] = text;
                }
            }
}

std::string base64Decode(const std::string &in) {
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (char c : in) {
        if (c == '=')
            break;
        const size_t v = alphabet.find(c);
        if (v == std::string::npos)
            return {};
        buffer = (buffer << 6) | unsigned(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(char((buffer >> bits) & 0xFF));
        }
    }
    return out;
}

class OrderService {
public:
    explicit OrderService(Options options) : o_(std::move(options)) {
        orders_ = json::parse(readFile(o_.ordersFile));
        if (!orders_.is_array())
            throw std::runtime_error(o_.ordersFile + ": not a JSON array of orders");
        for (const auto &order : orders_)
            if (!order.is_object() || !order.contains("order_id") || !order["order_id"].is_string())
                throw std::runtime_error(o_.ordersFile + ": every order needs a text \"order_id\"");
        if (!o_.keepDates)
            freshenDates(orders_);
        if (!o_.stateFile.empty()) {
            std::ifstream probe(o_.stateFile);
            if (probe) {
                const json state = json::parse(readFile(o_.stateFile));
                for (const auto &id : state)
                    confirmed_.insert(id.get<std::string>());
            }
        }
        if (!o_.logFile.empty()) {
            log_.open(o_.logFile, std::ios::app);
            if (!log_)
                throw std::runtime_error("cannot write " + o_.logFile);
        }
    }

    void install(httplib::Server &server) {
        server.Get(o_.base + "/invoices/get",
                   [this](const httplib::Request &req, httplib::Response &res) { fetch(req, res); });
        server.Post(o_.base + "/invoices/set",
                    [this](const httplib::Request &req, httplib::Response &res) { confirm(req, res); });
        server.set_logger([this](const httplib::Request &req, const httplib::Response &res) {
            if (!log_.is_open())
                return;
            std::lock_guard lock(mutex_);
            log_ << nowText() << ' ' << req.remote_addr << ' ' << req.method << ' ' << req.target << ' '
                 << res.status << std::endl;
        });
    }

private:
    bool authorised(const httplib::Request &req, httplib::Response &res) const {
        const std::string value = req.get_header_value("Authorization");
        if (value.rfind("Basic ", 0) == 0 && base64Decode(value.substr(6)) == o_.user + ":" + o_.password)
            return true;
        res.status = 401;
        res.set_header("WWW-Authenticate", "Basic realm=\"kalvoro-demo\", charset=\"UTF-8\"");
        res.set_content("Unauthorized: wrong or missing credentials", "text/plain; charset=utf-8");
        return false;
    }

    void fetch(const httplib::Request &req, httplib::Response &res) {
        if (!authorised(req, res))
            return;
        json pending = json::array();
        {
            std::lock_guard lock(mutex_);
            for (const auto &order : orders_)
                if (!confirmed_.count(order["order_id"].get<std::string>()))
                    pending.push_back(order);
        }
        res.status = 200;
        res.set_content(pending.dump(2), "application/json; charset=utf-8");
    }

    void confirm(const httplib::Request &req, httplib::Response &res) {
        if (!authorised(req, res))
            return;
        const json body = json::parse(req.body, nullptr, false);
        if (!body.is_object() || !body.contains("order_id") || !body["order_id"].is_string()) {
            res.status = 400;
            res.set_content("Bad request: expected {\"order_id\": \"<uuid>\"}", "text/plain; charset=utf-8");
            return;
        }
        const std::string id = body["order_id"].get<std::string>();
        std::lock_guard lock(mutex_);
        bool known = false;
        for (const auto &order : orders_)
            known = known || order["order_id"].get<std::string>() == id;
        if (!known) {
            res.status = 404;
            res.set_content("Order " + id + " not found", "text/plain; charset=utf-8");
            return;
        }
        // Confirming an order twice is harmless: the second answer is the same kind of success.
        if (confirmed_.insert(id).second)
            saveState();
        res.status = 201;
        res.set_content(json{{"generated_at", nowText()}}.dump(), "application/json; charset=utf-8");
    }

    void saveState() const {
        if (o_.stateFile.empty())
            return;
        const std::string temp = o_.stateFile + ".tmp";
        {
            std::ofstream out(temp, std::ios::trunc);
            out << json(confirmed_).dump(2) << '\n';
        }
        std::rename(temp.c_str(), o_.stateFile.c_str());
    }

    Options o_;
    json orders_;
    std::set<std::string> confirmed_;
    std::ofstream log_;
    std::mutex mutex_;
};

} // namespace

int main(int argc, char **argv) {
    const Options options = parseOptions(argc, argv);

    // SIGTERM and SIGINT are taken by one thread that stops the server; the others never see them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        OrderService service(options);
        httplib::Server server;
        // Idle connections are let go after a second, so that a stop does not wait for them.
        server.set_keep_alive_timeout(1);
        // Answers go out at once, not held back waiting for an acknowledgement.
        server.set_tcp_nodelay(true);
        service.install(server);
        int port = options.port;
        if (port == 0) {
            port = server.bind_to_any_port(options.host);
        } else if (!server.bind_to_port(options.host, port)) {
            port = -1;
        }
        if (port <= 0)
            throw std::runtime_error("cannot listen on " + options.host + ":" + std::to_string(options.port));
        std::cout << port << std::endl;
        std::cout << "Kalvoro demo service on http://" << options.host << ":" << port << options.base
                  << " (user " << options.user << ")" << std::endl;

        std::atomic<bool> signalled{false};
        std::thread stopper([&server, &signalled, stopSignals] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            signalled = true;
            server.stop();
        });
        server.listen_after_bind();
        // Ended without a signal (only a failure of the server does that): wake the stopper.
        if (!signalled)
            pthread_kill(stopper.native_handle(), SIGTERM);
        stopper.join();
    } catch (const std::exception &e) {
        std::cerr << "kalvoro_demo_service: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
