// Sign-in with hostile names and passwords, through the real login window: quotes, semicolons,
// percent signs, underscores, backslashes and names as long as the boxes and columns allow.
// Every value travels as a bound parameter, so such a name either signs in (when the catalog and
// the company hold it exactly) or fails with the ordinary message; nothing is read as SQL or as a
// pattern. And the password is found nowhere it could be read afterwards: not in the saved-login
// file, not in any file under the data folder, not in anything the program prints or shows.
#include "LoginFixture.h"
#include "PgConnection.h"
#include "Startup.h"
#include "TestApplication.h"
#include "TestDb.h"
#include "u_dmCon.h"
#include "u_fMenuImportKalvoro.h"
#include "u_frmLogin.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryFile>

#include <cstdio>
#include <string>

#include <unistd.h>

using namespace logintest;

namespace {

std::string repeatTo(const std::string &piece, std::size_t length) {
    std::string out;
    while (out.size() < length)
        out += piece;
    return out.substr(0, length);
}

// The application for the whole test program, ended with it.
const auto *const environment = ::testing::AddGlobalTestEnvironment(new testapp::ApplicationEnvironment);

class HostileLogin : public LoginWindow {
protected:
    // Each attempt on its own: the messages of the ones before are dropped.
    void attempt(const std::string &company, const std::string &user, const std::string &password) {
        messages.clear();
        LoginWindow::attempt(company, user, password);
    }
    // "" when the attempt signed in, else the one message it showed.
    std::string outcome() const {
        if (frmLogin->result() == QDialog::Accepted && messages.messages.empty())
            return "";
        if (messages.messages.size() != 1)
            return "(" + std::to_string(messages.messages.size()) + " messages) " +
                   messages.texts().join('|').toStdString();
        return messages.messages[0].text.toStdString();
    }
};

// --- names that exist exactly as typed sign in -------------------------------------------------

struct ExactCase {
    const char *label;
    std::string company; // a unique suffix is added
    std::string user;
    std::string password;
    const char *hashType;
};

void PrintTo(const ExactCase &c, std::ostream *os) { *os << c.label; }

class HostileNamesThatExist : public HostileLogin, public ::testing::WithParamInterface<ExactCase> {};

TEST_P(HostileNamesThatExist, SignInAndAreRememberedAsTyped) {
    const ExactCase &c = GetParam();
    const std::string suffix = uniqueSuffix();
    const std::string companyName =
        c.company.size() + suffix.size() > 200 ? c.company.substr(0, 200 - suffix.size()) + suffix
                                               : c.company + suffix;
    ASSERT_EQ(QString::fromStdString(companyName).size() <= 200, true);
    const std::string stored = std::string(c.hashType) == "HashSHA2" ? sha256Hex(c.password) : c.password;
    Company company(companyName, c.user, stored, c.hashType);
    // The catalog is shared with test programs running beside this one, so what is checked is
    // that this test's own rows, the company's and a bystander's, are still there unchanged.
    const std::string bystander = "Firma martor" + suffix;
    testdb::exec("zelto_mob", "INSERT INTO m_firma (nume_firma, ip, port, db_name, activ, m_site) VALUES (" +
                                  sqlLiteral(bystander) + ", '127.0.0.1', 5432, 'martor', true, false)");
    struct RemoveBystander {
        std::string name;
        ~RemoveBystander() { testdb::exec("zelto_mob", "DELETE FROM m_firma WHERE nume_firma = " + sqlLiteral(name)); }
    } removeBystander{bystander};
    const std::string catalogRowsSql = "SELECT string_agg(m_firma::text, '|' ORDER BY nume_firma) FROM m_firma "
                                       "WHERE nume_firma IN (" + sqlLiteral(companyName) + ", " +
                                       sqlLiteral(bystander) + ")";
    const std::string catalogRows = testdb::scalar("zelto_mob", catalogRowsSql);
    const std::string operatorRows = company.db->scalar("SELECT string_agg(emitent::text, '|') FROM emitent");

    attempt(companyName, c.user, c.password);
    EXPECT_EQ(outcome(), "");
    EXPECT_EQ(dmCon->glUser.toStdString(), c.user);
    EXPECT_EQ(dmCon->glDataBase.toStdString(), company.db->name());
    EXPECT_EQ(testdb::scalar("zelto_mob", catalogRowsSql), catalogRows);
    EXPECT_EQ(company.db->scalar("SELECT string_agg(emitent::text, '|') FROM emitent"), operatorRows);

    // The next showing offers both names exactly as they were typed.
    frmLogin->hide();
    frmLogin->Edit1->clear();
    frmLogin->Edit2->clear();
    frmLogin->show();
    EXPECT_EQ(frmLogin->Edit1->text().toStdString(), companyName);
    EXPECT_EQ(frmLogin->Edit2->text().toStdString(), c.user);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileNamesThatExist,
    ::testing::Values(
        ExactCase{"QuotesAndSemicolons", "Firma 'Soare'; DROP TABLE m_firma; --",
                  "o'brien\"; DELETE FROM emitent; --", "p'; OR 1=1 --", ""},
        ExactCase{"PercentUnderscoreBackslash", "100% _Bun_ \\ \\\\ \\' \\\"", "ion%_\\",
                  "%_'\"\\", ""},
        ExactCase{"AsLongAsTheColumnsAllow", repeatTo("Firma ';\"%\\_ ", 200),
                  repeatTo("u';%\\_", 100), repeatTo("p';%\\\"_ ", 300), "HashSHA2"},
        ExactCase{"DollarQuotesAndCasts", "$$ || $x$ ::text $1", "$1::text", "$$", "HashSHA2"}),
    [](const auto &info) { return std::string(info.param.label); });

// --- names that exist only as a pattern or a piece of SQL would match fail normally ------------

struct RefusedCase {
    const char *label;
    std::string company; // "{company}" is the real company's name
    std::string user;    // the real operator is "ion"
    std::string password; // the real password is "secret"
    const char *message;
};

void PrintTo(const RefusedCase &c, std::ostream *os) { *os << c.label; }

class HostileNamesThatDoNotExist : public HostileLogin,
                                   public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(HostileNamesThatDoNotExist, FailWithTheOrdinaryMessage) {
    const RefusedCase &c = GetParam();
    Company company("Firma Reala" + uniqueSuffix(), "ion", "secret");
    std::string typed = c.company;
    if (const auto at = typed.find("{company}"); at != std::string::npos)
        typed.replace(at, 9, company.name);
    attempt(typed, c.user, c.password);
    EXPECT_EQ(outcome(), c.message);
    EXPECT_TRUE(dmCon->glUser.isEmpty());
    EXPECT_EQ(frmLogin->Edit3->text().toStdString(), c.password);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileNamesThatDoNotExist,
    ::testing::Values(
        RefusedCase{"CompanyOrTrue", "' OR '1'='1", "ion", "secret", "Companie inexistenta."},
        RefusedCase{"CompanyCommentedOut", "{company}' --", "ion", "secret", "Companie inexistenta."},
        RefusedCase{"CompanyAsAPattern", "%", "ion", "secret", "Companie inexistenta."},
        RefusedCase{"CompanyWithEscapedQuote", "{company}\\'", "ion", "secret", "Companie inexistenta."},
        RefusedCase{"CompanyLongerThanTheBox", repeatTo("Nu exista '; -- ", 260), "ion", "secret",
                    "Companie inexistenta."},
        RefusedCase{"UserOrTrue", "{company}", "' OR '1'='1", "' OR '1'='1", "User, Password eronate."},
        RefusedCase{"UserCommentsOutThePassword", "{company}", "ion' --", "wrong", "User, Password eronate."},
        RefusedCase{"UserAsAPattern", "{company}", "%", "secret", "User, Password eronate."},
        RefusedCase{"PasswordOrTrue", "{company}", "ion", "x' OR 'x'='x", "User, Password eronate."},
        RefusedCase{"PasswordAsAPattern", "{company}", "ion", "%", "User, Password eronate."},
        RefusedCase{"UserLongerThanItsColumn", "{company}", repeatTo("ion';%", 150), "secret",
                    "User, Password eronate."},
        RefusedCase{"PasswordLongerThanItsColumn", "{company}", "ion", repeatTo("secret'", 400),
                    "User, Password eronate."}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(HostileLogin, AnOperatorWithoutTheGrantIsNamedAsTypedInTheMessage) {
    const std::string user = "o'brien\"; --";
    Company company("Firma" + uniqueSuffix(), user, "pw", "", /*granted=*/false);
    attempt(company.name, user, "pw");
    // The text ends in "-", so the display adds no period.
    EXPECT_EQ(outcome(), "Aplicatia wimportkalvoro nu este disponibila pentru user-ul " + user);
}

// --- the password is kept nowhere ---------------------------------------------------------------

// Everything the process writes to its standard output and error, and every Qt message, while
// the object lives.
class OutputCapture {
public:
    OutputCapture() {
        file_.open();
        std::fflush(stdout);
        std::fflush(stderr);
        savedOut_ = dup(1);
        savedErr_ = dup(2);
        dup2(file_.handle(), 1);
        dup2(file_.handle(), 2);
        qtMessages() = QString();
        previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) {
            qtMessages() += m + u'\n';
        });
    }
    ~OutputCapture() { restore(); }
    QByteArray finish() {
        restore();
        file_.seek(0);
        return file_.readAll() + qtMessages().toUtf8();
    }

private:
    static QString &qtMessages() {
        static QString text;
        return text;
    }
    void restore() {
        if (savedOut_ < 0)
            return;
        std::fflush(stdout);
        std::fflush(stderr);
        dup2(savedOut_, 1);
        dup2(savedErr_, 2);
        close(savedOut_);
        close(savedErr_);
        savedOut_ = savedErr_ = -1;
        qInstallMessageHandler(previous_);
    }

    QTemporaryFile file_;
    int savedOut_ = -1;
    int savedErr_ = -1;
    QtMessageHandler previous_ = nullptr;
};

TEST_F(HostileLogin, ThePasswordIsInNoFileAndInNothingPrintedOrShown) {
    const std::string password = "Parola-Secreta-7391!";
    const std::string digest = sha256Hex(password);
    Company sha("Firma SHA" + uniqueSuffix(), "ion", digest, "HashSHA2");
    Company plain("Firma Plain" + uniqueSuffix(), "ana", password);
    Company away("Firma Departe" + uniqueSuffix(), "ion", password);
    // A company whose server does not answer.
    testdb::exec("zelto_mob", "UPDATE m_firma SET port = 1 WHERE nume_firma = " + sqlLiteral(away.name));

    OutputCapture capture;
    attempt(sha.name, "ion", "wrong " + password); // refused
    attempt(away.name, "ion", password);            // the company server cannot be reached
    attempt(plain.name, "ion", password);           // refused: another operator's password
    attempt(sha.name, "ion", password);             // signs in
    EXPECT_EQ(outcome(), "");
    std::fprintf(stderr, "captured-stderr\n");
    qWarning("captured-qt-message");
    const QByteArray printed = capture.finish();
    ASSERT_TRUE(printed.contains("captured-stderr") && printed.contains("captured-qt-message"));

    for (const std::string &secret : {password, digest, testdb::zeltoPassword()}) {
        EXPECT_FALSE(printed.contains(QByteArray::fromStdString(secret))) << secret;
        QDirIterator files(dataHome.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        int count = 0;
        while (files.hasNext()) {
            QFile f(files.next());
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
            EXPECT_FALSE(f.readAll().contains(QByteArray::fromStdString(secret)))
                << secret << " in " << f.fileName().toStdString();
            ++count;
        }
        EXPECT_GE(count, 1) << "the saved-login file is under the data folder";
    }
    // The messages the attempts showed: the ordinary ones, none with a password.
    for (const auto &m : messages.messages)
        EXPECT_FALSE(m.text.contains(QString::fromStdString(password))) << m.text.toStdString();
}

TEST_F(HostileLogin, AFailedConnectionToTheCatalogShowsNoPassword) {
    dmCon->conZeltoMob->setPassword(QStringLiteral("Parola-Gresita-5521"));
    OutputCapture capture;
    attempt("Oricare", "ion", "Parola-Tastata-8842");
    const QByteArray printed = capture.finish();
    ASSERT_EQ(messages.messages.size(), 1u);
    const QString shown = messages.messages[0].text;
    EXPECT_TRUE(shown.contains(QStringLiteral("password authentication failed"))) << shown.toStdString();
    for (const char *secret : {"Parola-Gresita-5521", "Parola-Tastata-8842"}) {
        EXPECT_FALSE(shown.contains(QLatin1String(secret))) << shown.toStdString();
        EXPECT_FALSE(printed.contains(secret)) << printed.toStdString();
    }
}

} // namespace
