// Names and orders that look like markup or hold control characters are shown as written:
// the viewer's heading (client name and order id from the stored order), the viewer's text,
// and the menu's signed-in database and operator.
#include "ShownText.h"
#include "Startup.h"
#include "TestApplication.h"
#include "u_fJsonPretty.h"
#include "u_fMenuImportKalvoro.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

#include <memory>
#include <ostream>

namespace {

const auto *const environment = ::testing::AddGlobalTestEnvironment(new testapp::ApplicationEnvironment);

class HostileDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        startup::createInstances();
        fMenuImportKalvoro->show();
    }
    void TearDown() override { startup::destroyInstances(); }
};

TEST_F(HostileDisplay, TheViewerShowsMarkupAndControlCharactersOfAnOrderAsWritten) {
    const QString client = QStringLiteral("<b>Firma</b> <img src=\"file:///etc/hostname\"> & Fiii");
    const QString id = QStringLiteral("{5d2f8a10-3c4b-4e6f-9a1b-7c8d9e0f1a21}");
    const QString json = QStringLiteral(
        R"({"client_full_name": "<script>alert(1)</script>", "note": "bell\u0007 esc\u001b[31m"})");
    QString heading, memo;
    QTimer::singleShot(0, [&] {
        heading = shownText(fJsonPretty->Label1);
        memo = fJsonPretty->Memo1->toPlainText();
        fJsonPretty->close();
    });
    showOrderJson(json, client, id);
    EXPECT_EQ(heading, QStringLiteral("Client = ") + client + QStringLiteral(", Id comanda = ") + id);
    EXPECT_TRUE(memo.contains(QStringLiteral(R"("client_full_name": "<script>alert(1)</script>")")))
        << memo.toStdString();
    // The escapes are decoded: the memo holds the bell and escape characters themselves.
    EXPECT_TRUE(memo.contains(QStringLiteral("bell\u0007 esc\u001b[31m"))) << memo.toStdString();
}

TEST_F(HostileDisplay, TheMenuShowsTheSignedInNamesAsWritten) {
    const QString dataBase = QStringLiteral("<h1>zelto</h1>");
    const QString user = QStringLiteral("<i>ion</i> &amp;");
    fMenuImportKalvoro->showSignedIn(dataBase, user);
    EXPECT_EQ(shownText(fMenuImportKalvoro->LabelDataBase), dataBase);
    EXPECT_EQ(shownText(fMenuImportKalvoro->LabelUser), QStringLiteral("User ") + user);
}

} // namespace
