#pragma once
// A connection of the data access layer pointed at a database of the test servers, as the tool's
// database user. Header only: the programs that use it link the data access layer themselves.
#include "PgConnection.h"
#include "TestDb.h"

#include <string>

namespace testdb {

// `port` 0: the server with TLS.
inline void pointAt(wik::db::PgConnection &c, const std::string &database, int port = 0,
                    wik::db::SslMode mode = wik::db::SslMode::Prefer) {
    c.setServer(QString::fromStdString(host()));
    c.setPort(port ? port : testdb::port());
    c.setDatabase(QString::fromStdString(database));
    c.setUsername(QString::fromStdString(zeltoUser()));
    c.setPassword(QString::fromStdString(zeltoPassword()));
    c.setSslMode(mode);
}

} // namespace testdb
