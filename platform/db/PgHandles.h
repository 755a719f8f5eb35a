#pragma once
// Owning handles for the libpq objects. A result is put into its handle as soon as libpq hands
// it over, before anything looks at its status, so that no path can leak it.
#include <libpq-fe.h>

#include <memory>

namespace wik::db {

struct PgConnDeleter {
    void operator()(PGconn *conn) const noexcept { PQfinish(conn); }
};
struct PgResultDeleter {
    void operator()(PGresult *result) const noexcept { PQclear(result); }
};

using PgConnHandle = std::unique_ptr<PGconn, PgConnDeleter>;
using PgResultHandle = std::unique_ptr<PGresult, PgResultDeleter>;

} // namespace wik::db
