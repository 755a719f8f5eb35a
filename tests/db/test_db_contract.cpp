// The company schema and the demo functions, straight against the server.
#include "TestDb.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

const char *order(const char *id, const char *client, const char *lines) {
    static thread_local std::string s;
    s = std::string("{\"order_id\": \"") + id + "\", \"client_full_name\": \"" + client +
        "\", \"location\": \"Cluj\", \"created_at\": \"2026-12-01T10:00:00\", "
        "\"delivery_date\": \"2026-12-03\", \"lines\": " + lines + "}";
    return s.c_str();
}

class DbContract : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_DB(); db = std::make_unique<testdb::CompanyDb>("contract"); }
    std::unique_ptr<testdb::CompanyDb> db;
};

TEST_F(DbContract, FilesAnAnswerOnceAndImportsAcceptedOrders) {
    db->exec("INSERT INTO demo_partener VALUES ('Magazin Central SRL')");
    const std::string good = order("11111111-1111-4111-8111-111111111111", "Magazin Central SRL",
                                   R"([{"sku": "P-1", "name": "Paine", "quantity": 2, "price": 3.5}])");
    const std::string unknown = order("22222222-2222-4222-8222-222222222222", "Nimeni",
                                      R"([{"sku": "P-1", "name": "Paine", "quantity": 1, "price": 1}])");
    const std::string answer = "[" + good + ", " + unknown + "]";
    const std::string call = "SELECT * FROM o_kalvoro_log_ins($json$" + answer + "$json$)";
    db->exec(call);
    db->exec(call); // filing again changes nothing
    EXPECT_EQ(db->scalar("SELECT count(*) FROM log_kalvoro"), "2");
    // The order's own text is kept as the service sent it.
    EXPECT_EQ(db->scalar("SELECT cmd_c_json FROM log_kalvoro WHERE id_cmd_c = '11111111-1111-4111-8111-111111111111'"),
              good);

    db->exec("SELECT * FROM o_kalvoro_cmd_c_ins('11111111-1111-4111-8111-111111111111', 'operator')");
    EXPECT_EQ(db->scalar("SELECT tip_doc_zelto || ' ' || nr_doc_zelto || ' ' || (data_doc_zelto = current_date) "
                         "FROM log_kalvoro WHERE id_cmd_c = '11111111-1111-4111-8111-111111111111'"),
              "CMDC KV000001 true");
    // A second import of the same order creates no second document.
    db->exec("SELECT * FROM o_kalvoro_cmd_c_ins('11111111-1111-4111-8111-111111111111', 'operator')");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM demo_cmd_client"), "1");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM demo_cmd_client_linie"), "1");

    try {
        db->exec("SELECT * FROM o_kalvoro_cmd_c_ins('22222222-2222-4222-8222-222222222222', 'operator')");
        FAIL() << "an order for an unknown client must be refused";
    } catch (const std::exception &e) {
        EXPECT_NE(std::string(e.what()).find("Client necunoscut: Nimeni"), std::string::npos) << e.what();
    }
    EXPECT_EQ(db->scalar("SELECT data_doc_zelto IS NULL FROM log_kalvoro WHERE id_cmd_c = '22222222-2222-4222-8222-222222222222'"),
              "t");
}

TEST_F(DbContract, RefusesAnOrderWithoutLines) {
    db->exec("INSERT INTO demo_partener VALUES ('Client')");
    db->exec(std::string("SELECT * FROM o_kalvoro_log_ins($j$[") +
             order("33333333-3333-4333-8333-333333333333", "Client", "[]") + "]$j$)");
    EXPECT_THROW(db->exec("SELECT * FROM o_kalvoro_cmd_c_ins('33333333-3333-4333-8333-333333333333', 'op')"),
                 std::exception);
}

TEST_F(DbContract, AnswersWithoutOrdersFileNothing) {
    for (const char *answer : {"[]", "null", "\"text\"", "42"})
        db->exec(std::string("SELECT * FROM o_kalvoro_log_ins($j$") + answer + "$j$)");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM log_kalvoro"), "0");
    EXPECT_EQ(db->scalar("SELECT string_agg(pjson, '|' ORDER BY id) FROM demo_log_ins_apel"),
              "[]|null|\"text\"|42");
}

TEST_F(DbContract, DemoDataLoadsAndItsOrdersParse) {
    std::ifstream in(std::string(std::getenv("WIK_TEST_ROOT")) + "/db/demo/data.sql");
    std::stringstream sql;
    sql << in.rdbuf();
    db->exec(sql.str());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM log_kalvoro"), "5");
    // Every demo order survives the order log's computed columns.
    EXPECT_EQ(db->scalar("SELECT count(cast(cmd_c_json::json->>'created_at' as timestamp)) + "
                         "count(cast(cmd_c_json::json->>'delivery_date' as date)) FROM log_kalvoro"),
              "10");
}

} // namespace
