#pragma once
// A connection to a PostgreSQL server: its settings, and the server session while it is open.
//
// It opens lazily, when a data set or a server-function call first needs the server. In
// disconnected mode it is opened for each such operation and closed when the operation is
// over; the rows a data set has read stay available. Client encoding is UTF-8, dates travel in
// ISO form, and nothing outside the settings made here (the PG* environment variables, a
// password file, a service file, certificates in the user's folder) can change where it
// connects or how.
#include "PgHandles.h"
#include "RowSet.h"
#include "SqlStatement.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace wik::db {

enum class SslMode {
    Disable, // plain connection only
    Prefer,  // TLS when the server offers it, plain otherwise
    Require, // TLS or nothing; the server's certificate is not checked
};

class PgConnection : public QObject {
    Q_OBJECT
public:
    explicit PgConnection(QObject *parent = nullptr);
    ~PgConnection() override; // closes; never throws

    // Changing a setting of an open connection closes it; the next operation opens it with the
    // new settings.
    void setServer(const QString &server);
    void setPort(int port); // 0: the PostgreSQL default, 5432
    void setDatabase(const QString &database);
    void setUsername(const QString &username);
    void setPassword(const QString &password);
    void setSslMode(SslMode mode);
    void setDisconnected(bool disconnected);

    const QString &server() const { return server_; }
    int port() const { return port_; }
    const QString &database() const { return database_; }
    const QString &username() const { return username_; }
    const QString &password() const { return password_; }
    SslMode sslMode() const { return sslMode_; }
    bool disconnected() const { return disconnected_; }

    bool Connected() const { return conn_ != nullptr; }
    // Opens the session (nothing when open). Raises PgError with libpq's message when the server
    // cannot be reached or refuses; the connection stays closed then. An explicitly opened
    // connection stays open until Close(), also in disconnected mode.
    void Open();
    // Safe to call any number of times.
    void Close() noexcept;

    // One operation on the server (a query, a refresh, a save, a call): opens the connection
    // if needed and, in disconnected mode, closes it again at the end if it opened it.
    class Operation {
    public:
        explicit Operation(PgConnection &connection);
        ~Operation();
        Operation(const Operation &) = delete;
        Operation &operator=(const Operation &) = delete;

        // Runs one statement in the connection's automatic-commit mode. Raises PgError for a
        // failure; the result of a success is returned (rows or none).
        PgResultHandle exec(const QByteArray &sql, const std::vector<WireValue> &params);
        // Runs a query and keeps its rows compactly (RowSet), taking them from libpq one by one.
        // Raises PgError for a failure, also one that comes after some rows (a bad value in a
        // later row); no rows are kept then.
        std::unique_ptr<RowSet> fetch(const QByteArray &sql, const std::vector<WireValue> &params);

    private:
        PGconn *session();
        [[noreturn]] void fail(const PGresult *result, PGconn *conn);

        PgConnection &connection_;
        bool opened_ = false;
    };

signals:
    void connectedChanged(bool connected);

private:
    void settingChanged();

    QString server_;
    int port_ = 0;
    QString database_;
    QString username_;
    QString password_;
    SslMode sslMode_ = SslMode::Prefer;
    bool disconnected_ = false;
    PgConnHandle conn_;
};

} // namespace wik::db
