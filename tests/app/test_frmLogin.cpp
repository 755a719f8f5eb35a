// Sign-in through the real login window, against the real catalog and company databases.
#include "LoginFixture.h"
#include "MemTable.h"
#include "PgConnection.h"
#include "PgQuery.h"
#include "Startup.h"
#include "TestApplication.h"
#include "TestDb.h"
#include "u_dmCon.h"
#include "u_fMenuImportKalvoro.h"
#include "u_frmLogin.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace logintest;

namespace {

// The messages of every attempt of a test add up in `messages`.
class Login : public LoginWindow {
protected:
    static void SetUpTestSuite() { testapp::ensureApplication(); }

    QString savedFile() const { return dataHome.path() + QStringLiteral("/ZeltoPalun.json"); }
};

struct Outcome {
    const char *label;
    const char *hashType;      // of the catalog row ("NULL" for NULL)
    const char *stored;        // operator_parola; "sha:" + text stores its lower-case digest
    const char *password;      // typed
    bool companyInOtherCase;
    const char *user;          // typed (the operator is "ion")
    const char *message;       // "" for success
};

class SignInOutcomes : public Login, public ::testing::WithParamInterface<Outcome> {};

TEST_P(SignInOutcomes, ShowTheExactMessageOrSignIn) {
    const Outcome &o = GetParam();
    std::string stored = o.stored;
    if (stored.rfind("sha:", 0) == 0)
        stored = sha256Hex(stored.substr(4));
    if (stored.rfind("SHA:", 0) == 0) {
        stored = sha256Hex(stored.substr(4));
        for (auto &c : stored)
            c = char(toupper(c));
    }
    Company company("Firma" + uniqueSuffix(), "ion", stored, o.hashType);
    std::string typedCompany = company.name;
    if (o.companyInOtherCase)
        typedCompany[0] = char(tolower(typedCompany[0]));
    attempt(typedCompany, o.user, o.password);
    if (*o.message == 0) {
        EXPECT_TRUE(messages.messages.empty()) << messages.texts().join('|').toStdString();
        EXPECT_EQ(frmLogin->result(), QDialog::Accepted);
        EXPECT_EQ(dmCon->glUser, QString::fromStdString(o.user));
        EXPECT_EQ(dmCon->glDataBase, QString::fromStdString(company.db->name()));
        EXPECT_TRUE(frmLogin->Edit3->text().isEmpty());
    } else {
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text.toStdString(), o.message);
        EXPECT_EQ(messages.messages[0].caption, QStringLiteral("wimportkalvoro"));
        EXPECT_NE(frmLogin->result(), QDialog::Accepted);
        EXPECT_EQ(frmLogin->Edit3->text().toStdString(), o.password);
        EXPECT_TRUE(dmCon->glUser.isEmpty());
    }
    // The attempt's queries are closed again, the grant and the company row stay open.
    EXPECT_FALSE(frmLogin->dsZeltoMobil->Active());
    EXPECT_FALSE(dmCon->dsEmitent->Active());
    EXPECT_FALSE(dmCon->dsAplicatieMob->Active());
}

INSTANTIATE_TEST_SUITE_P(
    Table, SignInOutcomes,
    ::testing::Values(
        Outcome{"PlainPassword", "", "secret", "secret", false, "ion", ""},
        Outcome{"NullHashTypeComparesAsTyped", "NULL", "secret", "secret", false, "ion", ""},
        Outcome{"Sha2LowerCaseDigest", "HashSHA2", "sha:secret", "secret", false, "ion", ""},
        Outcome{"Sha2UpperCaseDigestRefused", "HashSHA2", "SHA:secret", "secret", false, "ion",
                "User, Password eronate."},
        Outcome{"Sha2EmptyPasswordRefused", "HashSHA2", "sha:secret", "", false, "ion",
                "User, Password eronate."},
        Outcome{"OtherCaseHashTypeComparesAsTyped", "hashsha2", "secret", "secret", false, "ion", ""},
        Outcome{"WrongPassword", "", "secret", "Secret", false, "ion", "User, Password eronate."},
        Outcome{"WrongUser", "", "secret", "secret", false, "maria", "User, Password eronate."},
        Outcome{"CompanyInOtherCase", "", "secret", "secret", true, "ion", "Companie inexistenta."}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(Login, UnknownCompany) {
    attempt("Nu exista nicaieri", "ion", "x");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Companie inexistenta.")});
}

TEST_F(Login, ApplicationInactiveOrNotGranted) {
    Company company("Firma" + uniqueSuffix(), "ion", "pw");
    company.db->exec("UPDATE aplicatie_mob SET activ = false");
    attempt(company.name, "ion", "pw");
    company.db->exec("UPDATE aplicatie_mob SET activ = true");
    company.db->exec("DELETE FROM aplicatie_mob_emitent");
    attempt(company.name, "ion", "pw");
    EXPECT_EQ(messages.texts(),
              (QStringList{QStringLiteral("Aplicatia wimportkalvoro nu este disponibila."),
                           QStringLiteral(
                               "Aplicatia wimportkalvoro nu este disponibila pentru user-ul ion.")}));
}

TEST_F(Login, InactiveCatalogRowStillSignsIn) {
    Company company("Firma" + uniqueSuffix(), "ion", "pw");
    testdb::exec("zelto_mob", "UPDATE m_firma SET activ = false WHERE nume_firma = " + sqlLiteral(company.name));
    attempt(company.name, "ion", "pw");
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(frmLogin->result(), QDialog::Accepted);
}

TEST_F(Login, CompanyDetailsTableLackingADeclaredColumnFailsTheSignIn) {
    Company company("Firma" + uniqueSuffix(), "ion", "pw");
    company.db->exec("ALTER TABLE eu DROP COLUMN jas_ip");
    attempt(company.name, "ion", "pw");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(messages.messages[0].text.contains(QStringLiteral("jas_ip")))
        << messages.messages[0].text.toStdString();
    EXPECT_NE(frmLogin->result(), QDialog::Accepted);
}

TEST_F(Login, SecondAttemptPointsTheConnectionAtTheSecondCompany) {
    Company first("Firma" + uniqueSuffix(), "ion", "pw");
    Company second("Firma" + uniqueSuffix(), "ana", "pw2");
    attempt(first.name, "ana", "pw2"); // ana is an operator of the second company only
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("User, Password eronate.")});
    EXPECT_EQ(dmCon->conZelto->database().toStdString(), first.db->name());
    attempt(second.name, "ana", "pw2");
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(dmCon->conZelto->database().toStdString(), second.db->name());
    EXPECT_EQ(frmLogin->result(), QDialog::Accepted);
    EXPECT_TRUE(dmCon->dsEu->Active());
    EXPECT_TRUE(dmCon->dsAplicatieMobEmitent->Active());
}

TEST_F(Login, SavedLoginFileIsWrittenBeforeAnyCheckAndShownAgain) {
    EXPECT_FALSE(QFile::exists(savedFile()));
    attempt("Firma inexistenta", "Ștefan", "parola");
    EXPECT_TRUE(QFile::exists(savedFile()));
    QFile f(savedFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_FALSE(bytes.contains("parola")) << "the password is never stored";
    f.close();

    // Typing without "Login" and closing leaves the file as it was; the next showing shows it.
    frmLogin->Edit1->setText(QStringLiteral("Alta firma"));
    frmLogin->close();
    QFile again(savedFile());
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), bytes);
    frmLogin->show();
    EXPECT_EQ(frmLogin->Edit1->text(), QStringLiteral("Firma inexistenta"));
    EXPECT_EQ(frmLogin->Edit2->text(), QStringLiteral("Ștefan"));
    EXPECT_EQ(frmLogin->Edit3->text(), QStringLiteral("parola")); // kept while the window lives
}

TEST_F(Login, DamagedSavedLoginFileIsReportedAndTheNextLoginWritesAReadableOne) {
    frmLogin->close();
    QFile f(savedFile());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\"FDBS\": {\"Version\": 16, \"Manager\": ");
    f.close();
    messages.clear();
    frmLogin->show();
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(frmLogin->isVisible());
    EXPECT_TRUE(frmLogin->Edit1->text().isEmpty());
    messages.clear();
    attempt("Firma X", "ion", "pw");
    frmLogin->close();
    frmLogin->show();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Companie inexistenta.")});
    EXPECT_EQ(frmLogin->Edit1->text(), QStringLiteral("Firma X"));
}

TEST_F(Login, WindowAsDesigned) {
    EXPECT_EQ(frmLogin->windowTitle(), QStringLiteral("frmLogin"));
    EXPECT_EQ(frmLogin->size(), QSize(362, 158));
    EXPECT_EQ(frmLogin->Edit3->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(frmLogin->Button1->isDefault());
    EXPECT_EQ(frmLogin->Button1->text(), QStringLiteral("Login"));
    EXPECT_EQ(frmLogin->Edit1->geometry(), QRect(77, 22, 268, 21));
    EXPECT_EQ(frmLogin->Button1->geometry(), QRect(77, 120, 75, 30));
    EXPECT_EQ(frmLogin->focusWidget(), frmLogin->Edit3) << (frmLogin->focusWidget() ? frmLogin->focusWidget()->objectName().toStdString() : "none");
    // Tab order: password, Login, company, user name.
    auto nextTabStop = [](QWidget *w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    };
    EXPECT_EQ(nextTabStop(frmLogin->Edit3), frmLogin->Button1);
    EXPECT_EQ(nextTabStop(frmLogin->Button1), frmLogin->Edit1);
    EXPECT_EQ(nextTabStop(frmLogin->Edit1), frmLogin->Edit2);
    EXPECT_EQ(nextTabStop(frmLogin->Edit2), frmLogin->Edit3);
}

TEST_F(Login, EnterInABoxSignsInAndTheMenuShowsTheSignedInState) {
    Company company("Firma" + uniqueSuffix(), "ion", sha256Hex("parolă"), "HashSHA2");
    frmLogin->hide();
    // The menu's "Login" shows the window modally; the operator types and presses Enter.
    QTimer::singleShot(0, [&] {
        frmLogin->Edit1->setText(QString::fromStdString(company.name));
        frmLogin->Edit2->setText(QStringLiteral("ion"));
        frmLogin->Edit3->setText(QStringLiteral("parolă"));
        QTest::keyClick(frmLogin->Edit2, Qt::Key_Return);
        if (frmLogin->isVisible())
            frmLogin->reject(); // never leave the test hanging
    });
    fMenuImportKalvoro->findChild<QPushButton *>("ButtonLogin")->click();
    EXPECT_TRUE(messages.messages.empty()) << messages.texts().join('|').toStdString();
    EXPECT_FALSE(fMenuImportKalvoro->findChild<QWidget *>("PanelLogin")->isVisible());
    EXPECT_EQ(fMenuImportKalvoro->findChild<QLabel *>("LabelDataBase")->text().toStdString(),
              company.db->name());
    EXPECT_EQ(fMenuImportKalvoro->findChild<QLabel *>("LabelUser")->text(), QStringLiteral("User ion"));
}

TEST_F(Login, ClosingWithoutSigningInChangesNothingInTheMenu) {
    frmLogin->hide();
    QTimer::singleShot(0, [] { frmLogin->close(); });
    fMenuImportKalvoro->findChild<QPushButton *>("ButtonLogin")->click();
    EXPECT_TRUE(fMenuImportKalvoro->findChild<QWidget *>("PanelLogin")->isVisible());
    EXPECT_FALSE(fMenuImportKalvoro->findChild<QWidget *>("PanelMenu")->isVisible());
}

} // namespace
