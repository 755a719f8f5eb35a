// The demo order service as the tool meets it: fetch with Basic authentication, confirm, fetch
// again; confirmations remembered across a restart; a clean stop on SIGTERM.
#include "RestClient.h"
#include "RestRequest.h"
#include "RestResponse.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using nlohmann::json;
using wik::rest::Method;
using wik::rest::RestClient;
using wik::rest::RestRequest;
using wik::rest::RestResponse;

namespace {

const std::string kOrdersFile = std::string(WIK_SOURCE_DIR) + "/db/demo/orders.json";
const std::string kBasicKalvoroDemo = "Basic a2Fsdm9ybzpkZW1v"; // kalvoro:demo

class DemoService {
public:
    explicit DemoService(std::vector<std::string> args) {
        int out[2];
        if (::pipe(out) != 0)
            throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char *> argv;
            std::string exe = KALVORO_DEMO_SERVICE;
            argv.push_back(exe.data());
            for (auto &a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(exe.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        stdout_ = out[0];
        const std::string first = readLine();
        port_ = std::atoi(first.c_str());
    }
    ~DemoService() {
        if (pid_ > 0 && !stopped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(stdout_);
    }

    int port() const { return port_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/api"; }

    // Sends SIGTERM and gives the exit status (-1 when it did not end within ten seconds).
    int stop() {
        ::kill(pid_, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        int status = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                stopped_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

private:
    std::string readLine() {
        std::string line;
        char c = 0;
        pollfd p{stdout_, POLLIN, 0};
        while (::poll(&p, 1, 10000) > 0 && ::read(stdout_, &c, 1) == 1 && c != '\n')
            line.push_back(c);
        return line;
    }

    pid_t pid_ = -1;
    int stdout_ = -1;
    int port_ = 0;
    bool stopped_ = false;
};

struct Client {
    explicit Client(const std::string &base) : client(base), request(client, response) {}
    RestClient client;
    RestResponse response;
    RestRequest request;

    json fetch(const std::string &authorization = kBasicKalvoroDemo) {
        request.clearParams();
        request.clearBody();
        request.setResource("invoices/get");
        request.setMethod(Method::Get);
        request.addHeader("Authorization", authorization);
        request.Execute();
        return response.StatusCode() == 200 ? json::parse(response.Content()) : json();
    }
    int confirm(const std::string &id) {
        request.clearParams();
        request.setResource("invoices/set");
        request.setMethod(Method::Post);
        request.addHeader("Authorization", kBasicKalvoroDemo);
        request.addBody("{\"order_id\": \"" + id + "\"}", "application/json");
        request.Execute();
        return response.StatusCode();
    }
};

std::vector<std::string> idsOf(const json &orders) {
    std::vector<std::string> ids;
    for (const auto &o : orders)
        ids.push_back(o.at("order_id").get<std::string>());
    return ids;
}

std::string readText(const fs::path &p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string yesterday() {
    std::time_t t = std::time(nullptr) - 24 * 3600;
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y-%m-%d", &tm);
    return buf;
}

class KalvoroDemoService : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("kalvoro-demo-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<std::string> args(std::vector<std::string> extra = {}) const {
        std::vector<std::string> a{"--port", "0", "--orders", kOrdersFile, "--user", "kalvoro",
                                   "--password", "demo", "--state", (dir / "confirmed.json").string(),
                                   "--log", (dir / "service.log").string()};
        a.insert(a.end(), extra.begin(), extra.end());
        return a;
    }
    fs::path dir;
};

TEST_F(KalvoroDemoService, FetchConfirmFetchAgainAndRememberAcrossARestart) {
    std::string confirmedId;
    {
        DemoService service(args());
        ASSERT_GT(service.port(), 0);
        Client client(service.url());

        const json orders = client.fetch();
        EXPECT_EQ(client.response.ContentType(), "application/json; charset=utf-8");
        ASSERT_TRUE(orders.is_array());
        ASSERT_EQ(orders.size(), 6u);
        // The demo shows a refusal for an order without lines.
        bool emptyLines = false;
        for (const auto &o : orders)
            emptyLines = emptyLines || o.at("lines").empty();
        EXPECT_TRUE(emptyLines);

        confirmedId = orders[0].at("order_id").get<std::string>();
        ASSERT_EQ(client.confirm(confirmedId), 201);
        const json answer = json::parse(client.response.Content());
        ASSERT_TRUE(answer.is_object());
        EXPECT_TRUE(answer.contains("generated_at"));

        const json after = client.fetch();
        EXPECT_EQ(after.size(), 5u);
        for (const auto &id : idsOf(after))
            EXPECT_NE(id, confirmedId);

        // Confirming again is harmless; an unknown order is not found.
        EXPECT_EQ(client.confirm(confirmedId), 201);
        EXPECT_EQ(client.confirm("00000000-0000-4000-8000-000000000000"), 404);
        EXPECT_EQ(client.response.Content(), "Order 00000000-0000-4000-8000-000000000000 not found");

        EXPECT_EQ(service.stop(), 0);
    }
    DemoService again(args());
    Client client(again.url());
    const auto ids = idsOf(client.fetch());
    EXPECT_EQ(ids.size(), 5u);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), confirmedId), 0);
    EXPECT_EQ(again.stop(), 0);

    const std::string log = readText(dir / "service.log");
    EXPECT_NE(log.find("POST /api/invoices/set 201"), std::string::npos) << log;
    EXPECT_NE(log.find("POST /api/invoices/set 404"), std::string::npos) << log;
}

TEST_F(KalvoroDemoService, WrongOrMissingCredentialsGet401WithAShortText) {
    DemoService service(args());
    Client client(service.url());
    for (const std::string auth : {"Basic a2Fsdm9ybzpkZW1w", "Basic ", "Bearer a2Fsdm9ybzpkZW1v"}) {
        client.fetch(auth);
        EXPECT_EQ(client.response.StatusCode(), 401) << auth;
        EXPECT_FALSE(client.response.Content().empty());
    }
    EXPECT_EQ(service.stop(), 0);
}

TEST_F(KalvoroDemoService, APasswordWhoseBase64HoldsAPlusIsAccepted) {
    auto a = args();
    a[7] = "\xC8\x99?>"; // "ș?>": kalvoro:ș?> gives a Base64 text ending in "+"
    DemoService service(a);
    Client client(service.url());
    EXPECT_EQ(client.fetch("Basic a2Fsdm9ybzrImT8+").size(), 6u);
    EXPECT_EQ(client.response.StatusCode(), 200);
    EXPECT_EQ(service.stop(), 0);
}

TEST_F(KalvoroDemoService, DatesAreMovedSoThatTheNewestOrderIsFromYesterday) {
    const json filed = json::parse(readText(kOrdersFile));
    {
        const std::string dayBefore = yesterday(); // the run may cross midnight
        DemoService service(args());
        const json served = Client(service.url()).fetch();
        const std::string dayAfter = yesterday();
        ASSERT_EQ(served.size(), filed.size());
        std::string newest;
        for (const auto &o : served)
            newest = std::max(newest, o.at("created_at").get<std::string>());
        EXPECT_TRUE(newest.substr(0, 10) == dayBefore || newest.substr(0, 10) == dayAfter) << newest;
        // The time of day is kept.
        EXPECT_EQ(served[0].at("created_at").get<std::string>().substr(10),
                  filed[0].at("created_at").get<std::string>().substr(10));
        service.stop();
    }
    DemoService keeping(args({"--keep-dates"}));
    const json served = Client(keeping.url()).fetch();
    for (size_t i = 0; i < served.size(); ++i) {
        EXPECT_EQ(served[i].at("created_at"), filed[i].at("created_at"));
        EXPECT_EQ(served[i].at("delivery_date"), filed[i].at("delivery_date"));
    }
    keeping.stop();
}

} // namespace
