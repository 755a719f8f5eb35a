#include "Startup.h"
#include "TestApplication.h"
#include "u_dmCon.h"
#include "u_fImportKalvoroCmdC.h"
#include "u_fJsonPretty.h"
#include "u_fMenuImportKalvoro.h"
#include "u_fProc_Kalvoro.h"
#include "u_frmLogin.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

namespace {

class Startup : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testapp::ensureApplication(); }
    void SetUp() override {
        startup::createInstances();
        fMenuImportKalvoro->show();
    }
    void TearDown() override { startup::destroyInstances(); }
};

TEST_F(Startup, CreatesTheSixInstancesWithOnlyTheMenuVisible) {
    ASSERT_TRUE(fMenuImportKalvoro && dmCon && frmLogin && fImportKalvoroCmdC && fProc_Kalvoro &&
                fJsonPretty);
    EXPECT_TRUE(fMenuImportKalvoro->isVisible());
    for (QWidget *w : {static_cast<QWidget *>(frmLogin), static_cast<QWidget *>(fImportKalvoroCmdC),
                       static_cast<QWidget *>(fProc_Kalvoro), static_cast<QWidget *>(fJsonPretty)})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    // The other windows belong to the main window, which alone stands in the taskbar.
    EXPECT_EQ(frmLogin->parentWidget(), fMenuImportKalvoro);
    EXPECT_EQ(fImportKalvoroCmdC->parentWidget(), fMenuImportKalvoro);
}

TEST_F(Startup, MenuOpensWithOnlyTheLoginPanel) {
    auto *login = fMenuImportKalvoro->findChild<QWidget *>("PanelLogin");
    auto *menu = fMenuImportKalvoro->findChild<QWidget *>("PanelMenu");
    ASSERT_TRUE(login && menu);
    EXPECT_TRUE(login->isVisible());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(fMenuImportKalvoro->windowTitle(), QStringLiteral("fMenuImportKalvoro"));
    EXPECT_EQ(fMenuImportKalvoro->size(), QSize(438, 223));
    auto *button = fMenuImportKalvoro->findChild<QPushButton *>("ButtonLogin");
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text(), QStringLiteral("Login"));
    EXPECT_EQ(button->geometry(), QRect(16, 15, 89, 30));
    auto *version = fMenuImportKalvoro->findChild<QLabel *>("Label1");
    EXPECT_EQ(version->text(), QStringLiteral("wImportKalvoro v. 2025.09.01"));
    EXPECT_EQ(version->geometry(), QRect(254, 0, 179, 15));
}

TEST_F(Startup, SignedInStateShowsTheDatabaseAndTheUser) {
    fMenuImportKalvoro->showSignedIn(QStringLiteral("zelto_demo"), QStringLiteral("operator"));
    EXPECT_FALSE(fMenuImportKalvoro->findChild<QWidget *>("PanelLogin")->isVisible());
    auto *menu = fMenuImportKalvoro->findChild<QWidget *>("PanelMenu");
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->geometry(), fMenuImportKalvoro->rect());
    EXPECT_EQ(fMenuImportKalvoro->findChild<QLabel *>("LabelDataBase")->text(),
              QStringLiteral("zelto_demo"));
    EXPECT_EQ(fMenuImportKalvoro->findChild<QLabel *>("LabelUser")->text(),
              QStringLiteral("User operator"));
    auto *version = fMenuImportKalvoro->findChild<QLabel *>("Label2");
    EXPECT_EQ(version->geometry(), QRect(254, 2, 179, 15));
}

TEST_F(Startup, LongDatabaseNameWraps) {
    fMenuImportKalvoro->showSignedIn(QString(80, QLatin1Char('x')).replace(40, 1, QLatin1Char(' ')),
                                     QStringLiteral("op"));
    auto *label = fMenuImportKalvoro->findChild<QLabel *>("LabelDataBase");
    EXPECT_GT(label->height(), label->fontMetrics().height() * 3 / 2);
    EXPECT_LE(label->geometry().right(), 254);
}

TEST_F(Startup, PreluareComenziShowsTheOneWorkbench) {
    fMenuImportKalvoro->showSignedIn(QStringLiteral("db"), QStringLiteral("op"));
    auto *button = fMenuImportKalvoro->findChild<QPushButton *>("ButtonPreluareComenzi");
    button->click();
    EXPECT_TRUE(fImportKalvoroCmdC->isVisible());
    button->click();
    EXPECT_TRUE(fImportKalvoroCmdC->isVisible());
    EXPECT_EQ(fMenuImportKalvoro->findChildren<TfImportKalvoroCmdC *>().size(), 1);
    EXPECT_TRUE(fMenuImportKalvoro->isVisible());
}

} // namespace
