#pragma once
// The order service client: fetches the pending orders and confirms one order to the Kalvoro
// service. A window class that only holds the REST components and the settings query; it is
// never shown. The service's address and credentials are read from config_kalvoro afresh at
// every call, so a change there takes effect at the next call.
#include "PgQuery.h"
#include "RestClient.h"
#include "RestRequest.h"
#include "RestResponse.h"

#include <QDateTime>
#include <QString>
#include <QWidget>

class TfProc_Kalvoro : public QWidget {
    Q_OBJECT
public:
    explicit TfProc_Kalvoro(QWidget *parent = nullptr);
    ~TfProc_Kalvoro() override;

    // The pending orders: the content of the service's answer to "invoices/get", unchanged.
    QString getCmdC();
    // Confirms one order ("invoices/set"); gives the workstation's local time at the moment the
    // service's answer was accepted.
    QDateTime confirmareCmdC(const QString &pIdOrder);

    // The request URL rule (KalvoroUrl.h): the base URL from the configured text, and the URL a
    // request for `resource` goes to with it.
    static QString baseUrlFrom(const QString &configured);
    static QString requestUrl(const QString &configured, const QString &resource);
    // "Basic " + Base64 (standard alphabet, padded, one line) of the UTF-8 bytes of user:pass.
    static QString basicAuthorization(const QString &userName, const QString &pass);

    wik::rest::RestClient RESTClient1;
    wik::rest::RestResponse RESTResponse1;
    wik::rest::RestRequest RESTRequest1{RESTClient1, RESTResponse1};
    wik::db::PgQuery *dsConfigKalvoro;

private:
    // Reads the settings row and prepares the client's base URL; gives the Authorization value.
    // The query is closed again whatever happens.
    QString readSettings();
};

extern TfProc_Kalvoro *fProc_Kalvoro;
