#pragma once
// Connections of the data access layer to the test servers, as the tool's database user.
#include "PgConnection.h"
#include "TestConnection.h"
#include "TestDb.h"

#include <memory>
#include <string>

namespace dbtest {

inline std::unique_ptr<wik::db::PgConnection> zeltoConnection(
    const std::string &database, int port = 0, wik::db::SslMode mode = wik::db::SslMode::Prefer) {
    auto c = std::make_unique<wik::db::PgConnection>();
    testdb::pointAt(*c, database, port, mode);
    return c;
}

// The number of server sessions of the tool's user in `database`. A closed session may take a
// moment to leave the server's list, so this waits (up to two seconds) for `expected`.
inline int zeltoSessions(const std::string &database, int expected, int port = 0) {
    int n = -1;
    for (int attempt = 0; attempt < 40; ++attempt) {
        n = std::stoi(testdb::scalar("postgres",
                                     "SELECT count(*) FROM pg_stat_activity WHERE usename = 'zelto' "
                                     "AND datname = '" + database + "'",
                                     port));
        if (n == expected)
            break;
        usleep(50 * 1000);
    }
    return n;
}

} // namespace dbtest
