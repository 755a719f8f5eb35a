#pragma once
// The connection data module: the two database connections, the sign-in queries, the sign-in
// fields and the order log grid's style sheet. It has no behaviour of its own: the sign-in points the company connection at the
// company's server and drives the queries; the workbench binds its own queries and calls to the
// company connection.
#include "GridStyleSheet.h"
#include "PgConnection.h"
#include "PgQuery.h"

#include <QObject>
#include <QString>

class TdmCon : public QObject {
    Q_OBJECT
public:
    explicit TdmCon(QObject *parent = nullptr);
    ~TdmCon() override;

    // The signed-in company's ERP database: server, port and database are set at every sign-in
    // attempt from the catalog; disconnected mode (open only for each operation).
    wik::db::PgConnection *conZelto;
    // The central catalog of all companies, database "zelto_mob"; once open, it stays open.
    wik::db::PgConnection *conZeltoMob;

    // Sign-in queries on conZelto, opened by the sign-in in this order.
    wik::db::PgQuery *dsEmitent;             // the operator with that name and password
    wik::db::PgQuery *dsAplicatieMob;        // this program, active
    wik::db::PgQuery *dsAplicatieMobEmitent; // this program granted to the operator
    wik::db::PgQuery *dsEu;                  // the company's own details

    // Sign-in fields: empty until a sign-in succeeds, then fixed for the rest of the run.
    QString glUser;
    QString glDataBase;

    // The style sheet "DevExpress" of the order log grid (cxStyle1 .. cxStyle14).
    wik::grid::GridStyleSheet GridTableViewStyleSheetDevExpress = wik::grid::GridStyleSheet::devExpress();
};

extern TdmCon *dmCon;
