// Sign-in through the real login window, against the real catalog and company databases.
#include "Application.h"
#include "MemTable.h"
#include "MessageRecorder.h"
#include "PgConnection.h"
#include "PgQuery.h"
#include "Startup.h"
#include "TestDb.h"
#include "u_dmCon.h"
#include "u_fMenuImportKalvoro.h"
#include "u_frmLogin.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {

std::string sha256Hex(const std::string &text) {
    return QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

std::string sqlLiteral(const std::string &text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += '\'';
        out += c;
    }
    return out + "'";
}

// One company in the catalog with its own database, an operator and the program's grant.
struct Company {
    std::unique_ptr<testdb::CompanyDb> db;
    std::string name;

    Company(const std::string &hashType, const std::string &storedPassword,
            const std::string &user = "ion") {
        static std::atomic<int> n{0};
        db = std::make_unique<testdb::CompanyDb>("login");
        name = "Firma " + std::to_string(getpid()) + "-" + std::to_string(n++);
        testdb::exec("zelto_mob",
                     "INSERT INTO m_firma (nume_firma, ip, port, db_name, pw_hash_type, activ, m_site) "
                     "VALUES (" + sqlLiteral(name) + ", '127.0.0.1', " + std::to_string(db->port()) + ", " +
                         sqlLiteral(db->name()) + ", " +
                         (hashType == "NULL" ? std::string("NULL") : sqlLiteral(hashType)) +
                         ", true, false)");
        db->exec("INSERT INTO emitent (emitent, operator_parola, eu_punct_lucru, data_ins) VALUES (" +
                 sqlLiteral(user) + ", " + sqlLiteral(storedPassword) + ", 'Sediu', current_date)");
        db->exec("INSERT INTO aplicatie_mob VALUES ('WIMPORTKALVORO', true, NULL)");
        db->exec("INSERT INTO aplicatie_mob_emitent VALUES ('wImportKalvoro', " + sqlLiteral(user) + ", NULL)");
        db->exec("INSERT INTO eu (cod_cci, data_incep_activitate, tara, localit, adresa, metoda_stoc, "
                 "tip_contabilitate, data_denominare, norma) VALUES ('RO1', '2010-01-01', 'RO', 'Cluj', "
                 "'Str. 1', 'FIFO', 'R', '2005-07-01', 8)");
    }
    ~Company() { testdb::exec("zelto_mob", "DELETE FROM m_firma WHERE nume_firma = " + sqlLiteral(name)); }
};

class Login : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "wImportKalvoro";
        static char *argv[] = {name, nullptr};
        if (!QApplication::instance())
            new wik::Application(argc, argv);
    }

    void SetUp() override {
        REQUIRE_DB();
        ASSERT_TRUE(dataHome.isValid());
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
        startup::createInstances();
        auto *mob = dmCon->conZeltoMob;
        mob->setServer(QString::fromStdString(testdb::host()));
        mob->setPort(testdb::port());
        mob->setPassword(QString::fromStdString(testdb::zeltoPassword()));
        dmCon->conZelto->setPassword(QString::fromStdString(testdb::zeltoPassword()));
        fMenuImportKalvoro->show();
        frmLogin->show();
    }
    void TearDown() override {
        if (dmCon)
            startup::destroyInstances();
    }

    // Types into the boxes and presses "Login"; the texts of the boxes the attempt showed.
    void attempt(const std::string &company, const std::string &user, const std::string &password) {
        frmLogin->Edit1->setText(QString::fromStdString(company));
        frmLogin->Edit2->setText(QString::fromStdString(user));
        frmLogin->Edit3->setText(QString::fromStdString(password));
        frmLogin->Button1->click();
    }

    QString savedFile() const { return dataHome.path() + QStringLiteral("/ZeltoPalun.json"); }

    QTemporaryDir dataHome;
    MessageRecorder messages;
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
    Company company(o.hashType, stored);
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
    Company company("", "pw");
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
    Company company("", "pw");
    testdb::exec("zelto_mob", "UPDATE m_firma SET activ = false WHERE nume_firma = " + sqlLiteral(company.name));
    attempt(company.name, "ion", "pw");
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(frmLogin->result(), QDialog::Accepted);
}

TEST_F(Login, CompanyDetailsTableLackingADeclaredColumnFailsTheSignIn) {
    Company company("", "pw");
    company.db->exec("ALTER TABLE eu DROP COLUMN jas_ip");
    attempt(company.name, "ion", "pw");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(messages.messages[0].text.contains(QStringLiteral("jas_ip")))
        << messages.messages[0].text.toStdString();
    EXPECT_NE(frmLogin->result(), QDialog::Accepted);
}

TEST_F(Login, SecondAttemptPointsTheConnectionAtTheSecondCompany) {
    Company first("", "pw", "ion");
    Company second("", "pw2", "ana");
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
    Company company("HashSHA2", sha256Hex("parolă"));
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
