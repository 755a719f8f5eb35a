#include "LoginFixture.h"

#include "PgConnection.h"
#include "Startup.h"
#include "u_dmCon.h"
#include "u_fMenuImportKalvoro.h"
#include "u_frmLogin.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QLineEdit>
#include <QPushButton>

#include <atomic>

#include <unistd.h>

namespace logintest {

std::string sha256Hex(const std::string &text) {
    return QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

std::string uniqueSuffix() {
    static std::atomic<int> n{0};
    return " #" + std::to_string(getpid()) + "-" + std::to_string(n++);
}

Company::Company(std::string companyName, const std::string &user, const std::string &storedPassword,
                 const std::string &hashType, bool granted)
    : db(std::make_unique<testdb::CompanyDb>("login")), name(std::move(companyName)) {
    testdb::exec("zelto_mob",
                 "INSERT INTO m_firma (nume_firma, ip, port, db_name, pw_hash_type, activ, m_site) VALUES (" +
                     sqlLiteral(name) + ", '127.0.0.1', " + std::to_string(db->port()) + ", " +
                     sqlLiteral(db->name()) + ", " +
                     (hashType == "NULL" ? std::string("NULL") : sqlLiteral(hashType)) + ", true, false)");
    db->exec("INSERT INTO emitent (emitent, operator_parola, eu_punct_lucru, data_ins) VALUES (" +
             sqlLiteral(user) + ", " + sqlLiteral(storedPassword) + ", 'Sediu', current_date)");
    db->exec("INSERT INTO aplicatie_mob VALUES ('WIMPORTKALVORO', true, NULL)");
    if (granted)
        db->exec("INSERT INTO aplicatie_mob_emitent VALUES ('wImportKalvoro', " + sqlLiteral(user) + ", NULL)");
    db->exec("INSERT INTO eu (cod_cci, data_incep_activitate, tara, localit, adresa, metoda_stoc, "
             "tip_contabilitate, data_denominare, norma) VALUES ('RO1', '2010-01-01', 'RO', 'Cluj', "
             "'Str. 1', 'FIFO', 'R', '2005-07-01', 8)");
}

Company::~Company() {
    testdb::exec("zelto_mob", "DELETE FROM m_firma WHERE nume_firma = " + sqlLiteral(name));
}

void LoginWindow::SetUp() {
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

void LoginWindow::TearDown() {
    if (dmCon)
        startup::destroyInstances();
}

void LoginWindow::attempt(const std::string &company, const std::string &user, const std::string &password) {
    frmLogin->Edit1->setText(QString::fromStdString(company));
    frmLogin->Edit2->setText(QString::fromStdString(user));
    frmLogin->Edit3->setText(QString::fromStdString(password));
    frmLogin->Button1->click();
}

} // namespace logintest
