// One order's whole road in one run of the program, as the operator drives it: sign-in through
// the menu and the login window, the workbench, retrieval from the order service, the search,
// the import with its confirmation, and the viewer; then the program ends the way it does, with
// every instance and the application object destroyed. Under the sanitizer build
// (scripts/test.sh --sanitize) LeakSanitizer then checks that nothing the run allocated is left
// unreleased.
#include "DataGrid.h"
#include "DateEdit.h"
#include "LoginFixture.h"
#include "MessageRecorder.h"
#include "PgConnection.h"
#include "PgQuery.h"
#include "RecordingServer.h"
#include "Startup.h"
#include "TestApplication.h"
#include "TestDb.h"
#include "u_dmCon.h"
#include "u_fImportKalvoroCmdC.h"
#include "u_fJsonPretty.h"
#include "u_fMenuImportKalvoro.h"
#include "u_frmLogin.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>

namespace {

const auto *const environment = ::testing::AddGlobalTestEnvironment(new testapp::ApplicationEnvironment);

const char *const orderId = "7b1e2c3d-4f5a-4b6c-8d7e-9f0a1b2c3d4e";

std::string ordersAnswer() {
    return std::string(R"([{"order_id": ")") + orderId +
           R"(", "client_full_name": "Cofetaria Dulce SRL", "location": "Cluj", )"
           R"("created_at": "2025-09-01T10:00:00", "delivery_date": "2025-09-05", )"
           R"("lines": [{"sku": "SKU-1", "name": "Paine", "quantity": 2, "price": 10.50}]}])";
}

void press(QWidget *window, const char *name) {
    auto *button = window->findChild<QPushButton *>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

TEST(WholeRun, SignInRetrieveImportConfirmAndView) {
    REQUIRE_DB();
    QTemporaryDir dataHome;
    ASSERT_TRUE(dataHome.isValid());
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());

    // The company, its operator and the program's grant; the demo ERP's client; the service.
    const logintest::Company company("Firma Drum" + logintest::uniqueSuffix(), "ion", "secret");
    const testdb::CompanyDb &db = *company.db;
    db.exec("INSERT INTO demo_partener (nume) VALUES ('Cofetaria Dulce SRL')");
    resttest::RecordingServer service;
    service.reply("/api/invoices/get", 200, ordersAnswer(), "application/json");
    service.reply("/api/invoices/set", 201, R"({"generated_at": "2025-09-01T10:05:00"})", "application/json");
    db.exec("INSERT INTO config_kalvoro (base_url, user_name, pass) VALUES ('" + service.url() +
            "/api/', 'kalvoro', 'demo')");

    MessageRecorder messages;
    startup::createInstances();
    dmCon->conZeltoMob->setServer(QString::fromStdString(testdb::host()));
    dmCon->conZeltoMob->setPort(testdb::port());
    dmCon->conZeltoMob->setPassword(QString::fromStdString(testdb::zeltoPassword()));
    dmCon->conZelto->setPassword(QString::fromStdString(testdb::zeltoPassword()));
    fMenuImportKalvoro->show();

    // Sign-in: the menu shows the login window modally; the operator types and presses Enter.
    QTimer::singleShot(0, [&] {
        frmLogin->Edit1->setText(QString::fromStdString(company.name));
        frmLogin->Edit2->setText(QStringLiteral("ion"));
        frmLogin->Edit3->setText(QStringLiteral("secret"));
        QTest::keyClick(frmLogin->Edit3, Qt::Key_Return);
        if (frmLogin->isVisible())
            frmLogin->reject();
    });
    press(fMenuImportKalvoro, "ButtonLogin");
    ASSERT_EQ(dmCon->glUser, QStringLiteral("ion")) << messages.texts().join('|').toStdString();

    // The workbench: retrieval, then the search from ten days back.
    press(fMenuImportKalvoro, "ButtonPreluareComenzi");
    ASSERT_TRUE(fImportKalvoroCmdC->isVisible());
    press(fImportKalvoroCmdC, "ButtonPreluareComenzi");
    press(fImportKalvoroCmdC, "ButtonCauta");
    ASSERT_EQ(fImportKalvoroCmdC->dsLogKalvoro->RecordCount(), 1);

    // The import of the current order, which confirms it to the service at once.
    press(fImportKalvoroCmdC, "ButtonImportCmd");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Comenzile au fost preluate.")});
    EXPECT_NE(db.scalar(std::string("SELECT data_doc_zelto FROM log_kalvoro WHERE id_cmd_c = '") + orderId + "'"), "");
    EXPECT_NE(db.scalar(std::string("SELECT data_feedback FROM log_kalvoro WHERE id_cmd_c = '") + orderId + "'"), "");
    EXPECT_EQ(service.requestCount(), 2u);

    // The viewer, closed by the operator.
    QString shown;
    QTimer::singleShot(0, [&] {
        shown = fJsonPretty->Memo1->toPlainText();
        fJsonPretty->close();
    });
    press(fImportKalvoroCmdC, "ButtonVeziJson");
    EXPECT_TRUE(shown.contains(QStringLiteral("\"client_full_name\": \"Cofetaria Dulce SRL\""))) << shown.toStdString();

    // The program ends: the menu window closes and the instances go.
    fMenuImportKalvoro->close();
    startup::destroyInstances();
}

} // namespace
