#pragma once
// A failure reported by the database server or by libpq. The message is the server's primary
// message exactly as it wrote it (a RAISE EXCEPTION of a server function arrives unchanged);
// the SQLSTATE is kept beside it for code that must tell kinds of failure apart.
#include "Error.h"

#include <libpq-fe.h>

#include <string>

namespace wik::db {

class PgError : public wik::Error {
public:
    PgError(std::string message, std::string sqlState)
        : Error(std::move(message)), sqlState_(std::move(sqlState)) {}

    // Five characters ("P0001" for RAISE EXCEPTION, "23505" for a duplicate key, ...); for a
    // connection that could not be opened "08001"; empty when libpq gave none.
    const std::string &sqlState() const noexcept { return sqlState_; }

    // The one place where a failed libpq result becomes an exception. `result` may be null
    // (libpq could not even build one); the connection's message is used then.
    [[noreturn]] static void raise(const PGresult *result, const PGconn *conn);
    // A connection that could not be opened: libpq's message without its trailing line breaks.
    [[noreturn]] static void raiseConnectFailure(const PGconn *conn);

    // SQLSTATE of a connection that could not be established.
    static constexpr const char *connectFailureState = "08001";

private:
    std::string sqlState_;
};

} // namespace wik::db
