#include "PgConnection.h"

#include "PgError.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdlib>
#include <cstring>
#include <string>

extern char **environ;

namespace wik::db {

namespace {

// libpq takes every setting that a program leaves out (or gives as an empty text) from the PG*
// environment variables: PGSERVICE would bring in a service file, PGHOSTADDR another address,
// PGOPTIONS and PGTZ other session settings, PGSSLROOTCERT a certificate check. The program
// must connect exactly where its settings say and nowhere else, so those variables are removed
// from the process before every connection attempt. The program is single-threaded and does not
// use them itself.
void removePgEnvironment() {
    std::vector<std::string> names;
    for (char **e = environ; e && *e; ++e)
        if (std::strncmp(*e, "PG", 2) == 0)
            if (const char *eq = std::strchr(*e, '='))
                names.emplace_back(*e, std::size_t(eq - *e));
    for (const std::string &name : names)
        unsetenv(name.c_str());
}

// A file that can never exist (a path under a device file): the keywords that name key,
// certificate and password files point here so that libpq looks for none of them in the
// user's folder (~/.postgresql/root.crt would turn "require" into a certificate check).
constexpr const char *noFile = "/dev/null/none";

const char *sslModeKeyword(SslMode mode) {
    switch (mode) {
    case SslMode::Disable: return "disable";
    case SslMode::Prefer: return "prefer";
    case SslMode::Require: return "require";
    }
    return "prefer";
}

QByteArray applicationName() {
    if (QCoreApplication::instance()) {
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        if (!name.isEmpty())
            return name.toUtf8().left(63);
    }
    return "wImportKalvoro";
}

// Whether a session that sat idle can still take a statement. A server that ends a session (a
// restart, a crash, an administrator's command) sends its farewell and closes the connection,
// but libpq notices only when it next reads. Both are read here without waiting, so that the
// next statement goes out on a new session instead of failing on the dead one. Nothing is ever
// sent twice: this runs only between statements.
bool stillUsable(PGconn *conn) {
    if (PQstatus(conn) != CONNECTION_OK)
        return false;
    // The farewell, then the end of the connection behind it.
    if (!PQconsumeInput(conn) || !PQconsumeInput(conn))
        return false;
    // A farewell read while idle goes to the notice processor here, not to the next statement.
    (void)PQisBusy(conn);
    return PQstatus(conn) == CONNECTION_OK;
}

} // namespace

PgConnection::PgConnection(QObject *parent) : QObject(parent) {}

PgConnection::~PgConnection() { conn_.reset(); }

void PgConnection::settingChanged() { Close(); }

void PgConnection::setServer(const QString &server) {
    if (server_ != server) {
        server_ = server;
        settingChanged();
    }
}

void PgConnection::setPort(int port) {
    if (port_ != port) {
        port_ = port;
        settingChanged();
    }
}

void PgConnection::setDatabase(const QString &database) {
    if (database_ != database) {
        database_ = database;
        settingChanged();
    }
}

void PgConnection::setUsername(const QString &username) {
    if (username_ != username) {
        username_ = username;
        settingChanged();
    }
}

void PgConnection::setPassword(const QString &password) {
    if (password_ != password) {
        password_ = password;
        settingChanged();
    }
}

void PgConnection::setSslMode(SslMode mode) {
    if (sslMode_ != mode) {
        sslMode_ = mode;
        settingChanged();
    }
}

void PgConnection::setDisconnected(bool disconnected) { disconnected_ = disconnected; }

void PgConnection::Open() {
    if (conn_) {
        if (stillUsable(conn_.get()))
            return;
        Close(); // the server went away; start a new session
    }
    removePgEnvironment();

    const QByteArray host = server_.toUtf8();
    const QByteArray port = QByteArray::number(port_ > 0 ? port_ : 5432);
    const QByteArray dbname = database_.toUtf8();
    const QByteArray user = username_.toUtf8();
    const QByteArray password = password_.toUtf8();
    const QByteArray appName = applicationName();
    // Every keyword that could otherwise come from outside is given here.
    const char *keys[] = {
        "host", "port", "dbname", "user", "password", "sslmode",
        "client_encoding",
        // ISO dates in both directions; timestamps carry no time zone, so none is set
        "options",
        "connect_timeout", "application_name",
        "passfile", "sslrootcert", "sslcert", "sslkey", "sslcrl", "sslcrldir",
        "gssencmode", "target_session_attrs", "channel_binding",
        nullptr};
    const char *values[] = {
        host.constData(), port.constData(), dbname.constData(), user.constData(),
        password.constData(), sslModeKeyword(sslMode_),
        "UTF8",
        "-c DateStyle=ISO,YMD -c IntervalStyle=postgres",
        "15", appName.constData(),
        noFile, noFile, noFile, noFile, noFile, noFile,
        "disable", "any", "prefer",
        nullptr};
    PgConnHandle conn(PQconnectdbParams(keys, values, 0));
    if (!conn || PQstatus(conn.get()) != CONNECTION_OK)
        PgError::raiseConnectFailure(conn.get()); // the handle closes the failed attempt
    conn_ = std::move(conn);
    emit connectedChanged(true);
}

void PgConnection::Close() noexcept {
    if (!conn_)
        return;
    conn_.reset();
    try {
        emit connectedChanged(false);
    } catch (...) {
        // a receiver that throws must not turn a close into a failure
    }
}

PgConnection::Operation::Operation(PgConnection &connection) : connection_(connection) {
    if (!connection_.conn_ || !stillUsable(connection_.conn_.get())) {
        connection_.Open();
        opened_ = true;
    }
}

PgConnection::Operation::~Operation() {
    if (opened_ && connection_.disconnected_)
        connection_.Close();
}

PGconn *PgConnection::Operation::session() {
    if (!connection_.conn_) { // closed under the operation (a setting changed); open again
        connection_.Open();
        opened_ = true;
    }
    return connection_.conn_.get();
}

void PgConnection::Operation::fail(const PGresult *result, PGconn *conn) {
    const bool lost = PQstatus(conn) != CONNECTION_OK;
    try {
        PgError::raise(result, conn);
    } catch (...) {
        // A session the server dropped is of no further use; the next operation opens anew.
        if (lost)
            connection_.Close();
        throw;
    }
}

namespace {

struct ParamArrays {
    std::vector<Oid> types;
    std::vector<const char *> values;
    explicit ParamArrays(const std::vector<WireValue> &params) {
        types.reserve(params.size());
        values.reserve(params.size());
        for (const WireValue &p : params) {
            types.push_back(p.type);
            values.push_back(p.text ? p.text->constData() : nullptr);
        }
    }
};

} // namespace

PgResultHandle PgConnection::Operation::exec(const QByteArray &sql,
                                             const std::vector<WireValue> &params) {
    PGconn *conn = session();
    const ParamArrays p(params);
    PgResultHandle result(PQexecParams(conn, sql.constData(), int(params.size()), p.types.data(),
                                       p.values.data(), nullptr, nullptr, 0));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
        fail(result.get(), conn);
    return result;
}

std::unique_ptr<RowSet> PgConnection::Operation::fetch(const QByteArray &sql,
                                                       const std::vector<WireValue> &params) {
    PGconn *conn = session();
    const ParamArrays p(params);
    if (!PQsendQueryParams(conn, sql.constData(), int(params.size()), p.types.data(),
                           p.values.data(), nullptr, nullptr, 0))
        fail(nullptr, conn);
    PQsetSingleRowMode(conn);
    auto rows = std::make_unique<RowSet>();
    PgResultHandle failure;
    // Every result of the statement is read, also after a failure, so that the session is
    // ready for the next statement.
    while (PgResultHandle result{PQgetResult(conn)}) {
        switch (PQresultStatus(result.get())) {
        case PGRES_SINGLE_TUPLE:
            if (!failure)
                rows->append(result.get());
            break;
        case PGRES_TUPLES_OK:
        case PGRES_COMMAND_OK:
            rows->describe(result.get());
            break;
        default:
            if (!failure)
                failure = std::move(result);
            break;
        }
    }
    if (failure)
        fail(failure.get(), conn);
    return rows;
}

} // namespace wik::db
