#include "PgStoredProc.h"

#include "Error.h"

namespace wik::db {

PgStoredProc::PgStoredProc(QObject *parent) : QObject(parent) {}

PgStoredProc::~PgStoredProc() = default;

void PgStoredProc::ExecProc() {
    if (!connection_)
        throw wik::Error("Connection not assigned : " + objectName().toStdString());
    if (statement_.sql().trimmed().isEmpty())
        throw wik::Error("No SQL statement : " + procName_.toStdString());
    const std::vector<WireValue> values = statement_.wireValues();
    PgConnection::Operation op(*connection_);
    op.exec(statement_.serverSql(), values); // the rows are not read
}

} // namespace wik::db
