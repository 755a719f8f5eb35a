#pragma once
// The workbench as the operator has it after a sign-in: the six instances, the company
// connection on a company database of this test program, the operator "ion", the window shown,
// and the order service on a recording loopback server named in config_kalvoro. Every test
// files its own orders; the set-up clears the order log, the documents and the settings.
#include "MessageRecorder.h"
#include "RecordingServer.h"
#include "TestApplication.h"
#include "TestDb.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class TfImportKalvoroCmdC;

namespace wbtest {

// One logged order as a test files it straight into log_kalvoro.
struct Order {
    std::string client = "Client A";
    std::string location = "Cluj";
    std::string createdAt = "2025-09-01 10:00:00"; // the JSON member, as text
    std::string deliveryDate = "2025-09-05";
    bool withLines = true;
    std::optional<std::string> rawJson = {};         // replaces the JSON built from the above
    std::string logged = "localtimestamp";        // SQL expression for data_ins_log
    bool imported = false;                        // document columns filled
    std::optional<std::string> confirmedAt = {};  // data_feedback, as a timestamp text
    std::optional<std::string> error = {};           // err_la_import
};

using testdb::sqlLiteral;

class Workbench : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Files an order; gives its id (the bare UUID).
    std::string addOrder(const Order &order);
    static std::string orderJson(const Order &order);
    static std::string braced(const std::string &id) { return "{" + id + "}"; }
    // A client the demo ERP knows (orders for others are refused).
    static void addClient(const std::string &name);

    // The database server's current date.
    static QDate serverToday();
    // Sets the date box as the operator does (an invalid date: the box emptied) and presses
    // "Cauta".
    void search(const QDate &from);
    void press(const char *buttonName);

    // The order ids in the data set's order, and in the grid's order (the rows that pass the
    // filter row, sorted and grouped), as the data set shows them (braced).
    QStringList listedIds() const;
    QStringList gridIds() const;
    QString currentId() const;
    // Makes an order the current row as the operator does, by clicking its row in the grid.
    void clickOrder(const std::string &id);
    // A column of the order's log row as the database holds it ("\\N" for NULL).
    static std::string stored(const std::string &id, const std::string &column);
    // Calls of o_kalvoro_cmd_c_ins since the set-up, failed ones included.
    static int importCalls();
    // The requests of the order service for a resource ("invoices/get", "invoices/set").
    std::vector<resttest::RecordedRequest> requestsFor(const std::string &resource) const;

    // The expectation that the data set is read-only and the grid takes no edit.
    void expectReadOnly() const;

    static testdb::CompanyDb *db;
    // The server the company database is made on (0: the test run's server with TLS); a test
    // program that stops and starts its own server sets it before the suite's set-up.
    static int serverPort;
    std::unique_ptr<resttest::RecordingServer> service;
    MessageRecorder messages;
    TfImportKalvoroCmdC *w = nullptr;
    int nextOrder_ = 1;
};

} // namespace wbtest
