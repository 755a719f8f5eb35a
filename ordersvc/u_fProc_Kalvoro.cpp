#include "u_fProc_Kalvoro.h"

#include "Error.h"
#include "JsonText.h"
#include "KalvoroUrl.h"
#include "u_dmCon.h"

#include <QByteArray>

TfProc_Kalvoro *fProc_Kalvoro = nullptr;

namespace {

std::string utf8(const QString &s) { return s.toStdString(); }

} // namespace

TfProc_Kalvoro::TfProc_Kalvoro(QWidget *parent)
    : QWidget(parent, Qt::Window), dsConfigKalvoro(new wik::db::PgQuery(this)) {
    setObjectName(QStringLiteral("fProc_Kalvoro"));
    setWindowTitle(QStringLiteral("fProc_Kalvoro"));

    dsConfigKalvoro->setObjectName(QStringLiteral("dsConfigKalvoro"));
    dsConfigKalvoro->setConnection(dmCon ? dmCon->conZelto : nullptr);
    dsConfigKalvoro->setSql(QStringLiteral("select * \nfrom config_kalvoro\n;"));
    for (const char *column : {"base_url", "user_name", "pass"})
        dsConfigKalvoro->addField(wik::db::FieldDef{QString::fromLatin1(column), wik::db::FieldKind::WideMemo});
}

TfProc_Kalvoro::~TfProc_Kalvoro() = default;

QString TfProc_Kalvoro::baseUrlFrom(const QString &configured) {
    return kalvoro_url::baseUrlFrom(configured);
}

QString TfProc_Kalvoro::requestUrl(const QString &configured, const QString &resource) {
    return kalvoro_url::requestUrl(configured, resource);
}

QString TfProc_Kalvoro::basicAuthorization(const QString &userName, const QString &pass) {
    return QStringLiteral("Basic ") +
           QString::fromLatin1((userName + u':' + pass).toUtf8().toBase64());
}

QString TfProc_Kalvoro::readSettings() {
    struct CloseAgain {
        wik::db::PgQuery *query;
        ~CloseAgain() { query->Close(); }
    } closeAgain{dsConfigKalvoro};

    dsConfigKalvoro->Close();
    dsConfigKalvoro->Open();
    if (dsConfigKalvoro->RecordCount() == 0)
        throw wik::Error("Nu aveti configurata tabela config_kalvoro.");
    dsConfigKalvoro->First();
    const QString userName = dsConfigKalvoro->FieldByName(QStringLiteral("user_name")).AsString();
    const QString pass = dsConfigKalvoro->FieldByName(QStringLiteral("pass")).AsString();
    const QString baseUrl = dsConfigKalvoro->FieldByName(QStringLiteral("base_url")).AsString();
    // A setting that names no host (empty, "/", "http://") would make the rule above give
    // "http://" + resource, a request to a host named after the resource with the credentials on
    // it; it is refused instead, with the transport's wording for a URL that names no host.
    const QString base = baseUrlFrom(baseUrl);
    if (!kalvoro_url::namesHost(base))
        throw wik::Error("REST request failed: URL rejected: No host part in the URL");
    RESTClient1.setBaseURL(utf8(base));
    return basicAuthorization(userName, pass);
}

QString TfProc_Kalvoro::getCmdC() {
    const QString authorization = readSettings();

    RESTRequest1.setResource("invoices/get");
    RESTRequest1.setMethod(wik::rest::Method::Get);
    RESTRequest1.clearParams();
    RESTRequest1.clearBody();
    RESTRequest1.addHeader("Authorization", utf8(authorization));
    RESTRequest1.Execute(); // transport failures and answers of 500 or above raise here

    const std::string content = RESTResponse1.Content();
    if (RESTResponse1.StatusCode() == 200)
        return QString::fromStdString(content);
    throw wik::Error("(getCmdC) EROARE! StatusCode = " + std::to_string(RESTResponse1.StatusCode()) +
                     ", Content = " + content);
}

QDateTime TfProc_Kalvoro::confirmareCmdC(const QString &pIdOrder) {
    const QString authorization = readSettings();
    // The id goes into the text as it is: it is a bare UUID, which needs no escaping.
    const QString body = QStringLiteral("{\"order_id\": \"") + pIdOrder + QStringLiteral("\"}");

    RESTRequest1.setResource("invoices/set");
    RESTRequest1.setMethod(wik::rest::Method::Post);
    RESTRequest1.clearParams();
    RESTRequest1.clearBody();
    RESTRequest1.addHeader("Authorization", utf8(authorization));
    RESTRequest1.addBody(utf8(body), "application/json");
    RESTRequest1.Execute(); // transport failures and answers of 500 or above raise here

    const std::string content = RESTResponse1.Content();
    if (RESTResponse1.StatusCode() != 201)
        throw wik::Error("(confirmareCmdC Order) EROARE! StatusCode = " +
                         std::to_string(RESTResponse1.StatusCode()) + ", Content = " + content);
    const wik::json::TopLevel top = wik::json::inspectTopLevel(content, "generated_at");
    if (top.kind == wik::json::TopKind::OtherValue)
        throw wik::Error("Invalid class typecast");
    if (top.kind == wik::json::TopKind::NotJson || !top.hasMember)
        throw wik::Error("(confirmareCmdC Order) Eroare la parsare Json. Content = " + content);
    return QDateTime::currentDateTime();
}
