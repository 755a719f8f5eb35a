#pragma once
// A call of a server function: a statement such as
// "SELECT * FROM o_kalvoro_cmd_c_ins(:pidorder, :pemitent)" with typed named parameters. The
// call runs as a statement of its own (it commits by itself); whatever rows it returns are
// ignored. A failure arrives as PgError with the server's primary message unchanged.
#include "PgConnection.h"
#include "SqlStatement.h"

#include <QObject>
#include <QString>

namespace wik::db {

class PgStoredProc : public QObject {
    Q_OBJECT
public:
    explicit PgStoredProc(QObject *parent = nullptr);
    ~PgStoredProc() override;

    void setConnection(PgConnection *connection) { connection_ = connection; }
    PgConnection *connection() const { return connection_; }
    void setStoredProcName(const QString &name) { procName_ = name; }
    const QString &storedProcName() const { return procName_; }
    void setSql(const QString &sql) { statement_.setSql(sql); }
    const QString &sql() const { return statement_.sql(); }

    Param &ParamByName(const QString &name) { return statement_.byName(name); }
    SqlStatement &params() { return statement_; }

    void ExecProc();

private:
    PgConnection *connection_ = nullptr;
    QString procName_;
    SqlStatement statement_;
};

} // namespace wik::db
