#include "PgError.h"

namespace wik::db {

namespace {

std::string trimLineBreaks(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace

void PgError::raise(const PGresult *result, const PGconn *conn) {
    std::string message;
    std::string state;
    if (result) {
        if (const char *primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY))
            message = primary;
        if (const char *code = PQresultErrorField(result, PG_DIAG_SQLSTATE))
            state = code;
        // Errors that libpq itself puts into a result (a lost connection, say) carry no fields;
        // their whole text is the message then.
        if (message.empty())
            message = trimLineBreaks(PQresultErrorMessage(result));
    }
    if (message.empty() && conn)
        message = trimLineBreaks(PQerrorMessage(conn));
    if (message.empty())
        message = "Unknown database error";
    throw PgError(std::move(message), std::move(state));
}

void PgError::raiseConnectFailure(const PGconn *conn) {
    std::string message = conn ? trimLineBreaks(PQerrorMessage(conn)) : std::string();
    if (message.empty())
        message = "Cannot connect to the database server";
    throw PgError(std::move(message), connectFailureState);
}

} // namespace wik::db
