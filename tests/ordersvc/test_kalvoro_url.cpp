// Base URLs that name no host. The URL rule puts "http://" before a text without a scheme and
// drops one trailing "/", so a setting such as "/" or "http://" leaves nothing before the resource:
// the request would go to a host named after the resource ("http://invoices/get") with the
// service's credentials on it. The client refuses such a setting before anything is sent.
#include "Error.h"
#include "KalvoroUrl.h"
#include "PgConnection.h"
#include "TestApplication.h"
#include "TestConnection.h"
#include "TestDb.h"
#include "u_dmCon.h"
#include "u_fProc_Kalvoro.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace {

struct HostCase {
    const char *configured;
    bool namesHost;
};

TEST(KalvoroBaseUrl, NamesAHostOnlyWhenThereIsOneBeforeThePath) {
    const HostCase cases[] = {
        {"http://kalvoro.ro/api", true},
        {"kalvoro.ro", true},
        {"127.0.0.1:18080/api/", true},
        {"https://user:pw@kalvoro.ro:8443", true},
        {"http://[::1]:8080/api", true},
        {"", false},
        {"   ", false},
        {"/", false},
        {"//", false},
        {"///api", false},
        {"http://", false},
        {"http:///", false},
        {"https:///kalvoro.ro", false},
        {"http://user:pw@/api", false},
        {"http://:8080/api", false},
        {"http://?x", false},
        {"http://#x", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(kalvoro_url::namesHost(kalvoro_url::baseUrlFrom(QString::fromUtf8(c.configured))),
                  c.namesHost)
            << '"' << c.configured << "\" gives " << kalvoro_url::baseUrlFrom(c.configured).toStdString();
}

class NoHostSetting : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testapp::ensureApplication(); }

    void SetUp() override {
        REQUIRE_DB();
        db = std::make_unique<testdb::CompanyDb>("ordersvc_url");
        dmCon = new TdmCon();
        testdb::pointAt(*dmCon->conZelto, db->name(), db->port());
        fProc_Kalvoro = new TfProc_Kalvoro();
    }
    void TearDown() override {
        delete fProc_Kalvoro;
        fProc_Kalvoro = nullptr;
        delete dmCon;
        dmCon = nullptr;
        db.reset();
    }

    std::unique_ptr<testdb::CompanyDb> db;
};

TEST_F(NoHostSetting, IsRefusedByBothCallsWithTheTransportsWording) {
    for (const char *setting : {"/", "//", " http:// ", "https:///invoices", "http://kalvoro@"}) {
        db->exec("DELETE FROM config_kalvoro; INSERT INTO config_kalvoro (base_url, user_name, pass) "
                 "VALUES ($$" + std::string(setting) + "$$, 'kalvoro', 'demo')");
        for (int call = 0; call < 2; ++call) {
            std::string message;
            try {
                if (call == 0)
                    fProc_Kalvoro->getCmdC();
                else
                    fProc_Kalvoro->confirmareCmdC(QStringLiteral("5d2f8a10-3c4b-4e6f-9a1b-7c8d9e0f1a21"));
                ADD_FAILURE() << "no error for \"" << setting << '"';
            } catch (const wik::Error &e) {
                message = e.message();
            }
            EXPECT_EQ(message, "REST request failed: URL rejected: No host part in the URL")
                << '"' << setting << "\", call " << call;
        }
        EXPECT_FALSE(fProc_Kalvoro->dsConfigKalvoro->Active());
    }
}

} // namespace
