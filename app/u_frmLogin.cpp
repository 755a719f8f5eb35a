#include "u_frmLogin.h"

#include "AppDataPath.h"
#include "Application.h"
#include "Error.h"
#include "FieldBinding.h"
#include "MemTable.h"
#include "PgQuery.h"
#include "u_dmCon.h"

#include <QCryptographicHash>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

TfrmLogin *frmLogin = nullptr;

namespace {

using wik::db::FieldDef;
using wik::db::FieldKind;

constexpr QSize designClient(362, 158);

void closeQuietly(wik::db::PgQuery *query) noexcept {
    try {
        if (query->Active())
            query->Close();
    } catch (...) {
        // Closing only drops rows held in memory.
    }
}

} // namespace

TfrmLogin::TfrmLogin(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("frmLogin"));
    setFont(QFont(QStringLiteral("Tahoma")));
    setFixedSize(designClient);

    auto label = [this](const QString &name, const QString &text, QPoint at) {
        auto *l = new QLabel(text, this);
        l->setObjectName(name);
        l->move(at);
        l->adjustSize();
        return l;
    };
    Label1 = label(QStringLiteral("Label1"), QStringLiteral("Company"), {16, 24});
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("UserName"), {16, 56});
    Label3 = label(QStringLiteral("Label3"), QStringLiteral("Password"), {16, 88});

    auto edit = [this](const QString &name, QRect at) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        e->setGeometry(at);
        return e;
    };
    Edit1 = edit(QStringLiteral("Edit1"), {77, 22, 268, 21});
    Edit2 = edit(QStringLiteral("Edit2"), {77, 54, 268, 21});
    Edit3 = edit(QStringLiteral("Edit3"), {77, 86, 268, 21});
    Edit3->setEchoMode(QLineEdit::Password);
    // Every character of the password shows as "*".
    Edit3->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));

    Button1 = new QPushButton(QStringLiteral("Login"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(77, 120, 75, 30);
    Button1->setDefault(true); // Enter in any box signs in

    // Tab order: the password first (it has the focus when the window opens), then "Login",
    // the company and the user name.
    setTabOrder(Edit3, Button1);
    setTabOrder(Button1, Edit1);
    setTabOrder(Edit1, Edit2);

    dsLogin = new wik::MemTable(QStringLiteral("dsLogin"), this);
    dsLogin->setObjectName(QStringLiteral("dsLogin"));
    dsLogin->addField(QStringLiteral("company"), 200);
    dsLogin->addField(QStringLiteral("username"), 200);
    LinkControlToField1 = new wik::FieldBinding(Edit1, dsLogin, QStringLiteral("company"), this);
    LinkControlToField2 = new wik::FieldBinding(Edit2, dsLogin, QStringLiteral("username"), this);

    dsZeltoMobil = new wik::db::PgQuery(this);
    dsZeltoMobil->setObjectName(QStringLiteral("dsZeltoMobil"));
    dsZeltoMobil->setConnection(dmCon->conZeltoMob);
    dsZeltoMobil->setSql(QStringLiteral("select *\nfrom m_firma\nwhere nume_firma = :pNumeFirma\n;"));
    dsZeltoMobil->ParamByName(QStringLiteral("pNumeFirma")).setDataType(FieldKind::WideString);
    for (const FieldDef &f : {FieldDef{QStringLiteral("nume_firma"), FieldKind::WideString, 200, true},
                              FieldDef{QStringLiteral("ip"), FieldKind::WideMemo},
                              FieldDef{QStringLiteral("port"), FieldKind::Integer},
                              FieldDef{QStringLiteral("db_name"), FieldKind::WideMemo},
                              FieldDef{QStringLiteral("activ"), FieldKind::Boolean},
                              FieldDef{QStringLiteral("m_site"), FieldKind::Boolean, 0, true},
                              FieldDef{QStringLiteral("pw_hash_type"), FieldKind::WideString, 23}})
        dsZeltoMobil->addField(f);

    wik::connectHandler(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

TfrmLogin::~TfrmLogin() = default;

QString TfrmLogin::savedLoginPath() { return wik::savedLoginFilePath(); }

QString TfrmLogin::passwordForm(const QString &password, const QString &pwHashType) {
    if (pwHashType == QLatin1String("HashSHA2"))
        return QString::fromLatin1(
            QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha256).toHex());
    return password;
}

void TfrmLogin::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        wik::Application::guard([this] { FormShow(); });
        Edit3->setFocus();
    }
}

void TfrmLogin::keyPressEvent(QKeyEvent *event) {
    // The window has no cancel button: Escape does not close it, only the frame does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmLogin::FormShow() {
    const QString path = savedLoginPath();
    // The table is open whatever the file holds, so that the next "Login" can save a readable
    // file even after a damaged one was reported.
    auto openTable = qScopeGuard([this] {
        if (!dsLogin->isActive())
            dsLogin->open();
    });
    if (QFile::exists(path))
        dsLogin->loadFromFile(path);
}

void TfrmLogin::Button1Click() {
    // 1. The boxes' text is in the row already (the bindings store every change at once).
    dsLogin->saveToFile(savedLoginPath());
    // 2.
    dmCon->conZeltoMob->setSslMode(wik::db::SslMode::Require);
    // 3.
    dsZeltoMobil->Close();
    dsZeltoMobil->ParamByName(QStringLiteral("pNumeFirma")).setAsWideString(Edit1->text());
    dsZeltoMobil->Open();
    // 16. Whatever happens from here on, the queries of the attempt are closed again.
    const auto cleanUp = qScopeGuard([this] {
        closeQuietly(dmCon->dsAplicatieMob);
        closeQuietly(dmCon->dsEmitent);
        closeQuietly(dsZeltoMobil);
    });
    // 4.
    if (dsZeltoMobil->RecordCount() == 0)
        throw wik::Error("Companie inexistenta");
    // 5. A catalog row without a port means the PostgreSQL default port.
    const QString dbName = dsZeltoMobil->FieldByName(QStringLiteral("db_name")).AsString();
    auto port = dsZeltoMobil->FieldByName(QStringLiteral("port"));
    dmCon->conZelto->setServer(dsZeltoMobil->FieldByName(QStringLiteral("ip")).AsString());
    dmCon->conZelto->setPort(port.IsNull() ? 0 : static_cast<int>(port.AsInteger()));
    dmCon->conZelto->setDatabase(dbName);
    dmCon->conZelto->setSslMode(wik::db::SslMode::Prefer);
    // 6.-8.
    auto *dsEmitent = dmCon->dsEmitent;
    dsEmitent->Close();
    dsEmitent->ParamByName(QStringLiteral("pEmitent")).setAsWideString(Edit2->text());
    dsEmitent->ParamByName(QStringLiteral("pP")).setAsWideString(passwordForm(
        Edit3->text(), dsZeltoMobil->FieldByName(QStringLiteral("pw_hash_type")).AsString()));
    dsEmitent->Open();
    if (dsEmitent->RecordCount() == 0)
        throw wik::Error("User, Password eronate");
    // 9.
    const QString key = wik::Application::title();
    auto *dsAplicatieMob = dmCon->dsAplicatieMob;
    dsAplicatieMob->Close();
    dsAplicatieMob->ParamByName(QStringLiteral("pAplicatieMob")).setAsWideString(key);
    dsAplicatieMob->Open();
    if (dsAplicatieMob->RecordCount() == 0)
        throw wik::Error(("Aplicatia " + key + " nu este disponibila").toStdString());
    // 10.
    auto *dsAplicatieMobEmitent = dmCon->dsAplicatieMobEmitent;
    dsAplicatieMobEmitent->Close();
    dsAplicatieMobEmitent->ParamByName(QStringLiteral("pEmitent")).setAsWideString(Edit2->text());
    dsAplicatieMobEmitent->ParamByName(QStringLiteral("pAplicatieMob")).setAsWideString(key);
    dsAplicatieMobEmitent->Open();
    if (dsAplicatieMobEmitent->RecordCount() == 0)
        throw wik::Error(("Aplicatia " + key + " nu este disponibila pentru user-ul " + Edit2->text())
                             .toStdString());
    // 11.-12.
    dmCon->glUser = Edit2->text();
    dmCon->glDataBase = dbName;
    // 13.
    if (dmCon->dsEu->Active())
        dmCon->dsEu->Refresh();
    else
        dmCon->dsEu->Open();
    // 14.-15.
    Edit3->clear();
    accept();
}
