#pragma once
// Thin layer over MariaDB Connector/C. Texts travel in latin2; inside the
// program everything is QString. Errors become qo::Error with the server's text.
#include "base/Error.h"
#include "db/RowSet.h"
#include <QString>
#include <QStringList>

struct st_mysql;

namespace qo {

struct ConnectParams {
    QString database;
    QString host = QStringLiteral("127.0.0.1");
    int port = 3306;
    QString user;
    QString password;
    // A stored connection record: database;host;port;user;password;display name.
    static ConnectParams fromRecord(const QString &record);
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens with compression, 30 s connect time-out, latin2 / latin2_hungarian_ci,
    // automatic reconnect (the SET NAMES runs again after it), multi results.
    void open(const ConnectParams &p);
    void close();
    bool isOpen() const { return m_mysql != nullptr; }
    const ConnectParams &params() const { return m_params; }

    // Runs one statement; any result sets are read and dropped.
    void exec(const QString &sql);
    // Runs a query and reads every row into a compact row set.
    RowSet query(const QString &sql);
    QStringList tables();
    quint64 lastInsertId() const;
    // Rows matched by the last UPDATE (found, not only changed: the link asks
    // for CLIENT_FOUND_ROWS so that an unchanged row still counts as found).
    quint64 affectedRows() const { return m_affected; }

    // The process-wide main connection that every window uses.
    static Connection &main();

private:
    void ensureLink();
    void send(const QString &sql); // throws unless the server took the statement
    void check(int rc, const char *what);
    [[noreturn]] void fail();
    st_mysql *m_mysql = nullptr;
    ConnectParams m_params;
    quint64 m_affected = 0;
};

// The shared helpers on the main connection.
void ExecSql(const QString &sql);                     // blank does nothing; \r\n becomes CR LF
QString SqlValue(const QString &sql, const QString &def);
int SqlIntValue(const QString &sql, int def);
QString LookupName(qint64 key, const QString &table, const QString &def);

// Text <-> latin2 bytes of the connection.
QByteArray toLatin2(const QString &s);
QString fromLatin2(const char *data, int len);

} // namespace qo
