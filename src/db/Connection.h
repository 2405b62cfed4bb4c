#pragma once
// Thin layer over MariaDB Connector/C. Texts travel in latin2; inside the
// program everything is QString. Errors become qo::Error with the server's text.
#include "base/Codec.h" // toLatin2, fromLatin2: the connection's bytes
#include "base/Error.h"
#include "config/StoredConnections.h"
#include "db/RowSet.h"
#include <QString>
#include <QStringList>
#include <functional>

struct st_mysql;
struct st_mysql_res;

namespace qo {

// One server of a connection: a name or address and its port.
struct ServerAddress {
    QString host;
    int port = 3306;
    QString text() const; // "host" or "host:port" when not 3306
};

struct ConnectParams {
    QString database;
    // One server, or the nodes of a cluster as a list "host1, host2:3307":
    // each may carry its own ":port"; the others use `port`.
    QString host = QStringLiteral("127.0.0.1");
    int port = 3306;
    QString user;
    QString password;
    // An encrypted link with the server's certificate checked (name and
    // issuer), against tlsCaFile or, when that is empty, the system's trusted
    // authorities. A server that cannot give such a link is refused.
    bool tls = false;
    QString tlsCaFile;
    // A stored connection record: database;host;port;user;password;display
    // name, with the TLS setting stored beside the same record.
    static ConnectParams fromRecord(const QString &record);
    // A stored connection's fields; a port that is not a number is 3306.
    static ConnectParams fromFields(const ConnectionFields &f);
    // The servers of `host` in the order they are tried; never empty (an
    // empty host is the local server).
    QList<ServerAddress> servers() const;
};

// A server on this machine: an empty host or "localhost" (the socket), a
// loopback address, a socket path. The link to it is not compressed.
bool IsLocalServer(const QString &host);

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens with compression (for a server elsewhere), 30 s connect time-out, latin2 / latin2_hungarian_ci,
    // automatic reconnect (the SET NAMES runs again after it), multi results.
    void open(const ConnectParams &p);
    void close();
    bool isOpen() const { return m_mysql != nullptr; }
    const ConnectParams &params() const { return m_params; }
    // The server of the list the link is on now.
    ServerAddress server() const { return m_server; }

    // Runs one statement; any result sets are read and dropped.
    void exec(const QString &sql);
    // Runs a query and reads every row into a compact row set.
    RowSet query(const QString &sql);
    // Reads a query's rows in batches of at most batchRows, so that a whole
    // list can be written out without holding it: fn sees each batch (the same
    // RowSet, refilled) and returns false to stop; the rest is then dropped.
    void queryBatches(const QString &sql, int batchRows, const std::function<bool(const RowSet &)> &fn);
    // A result left open on the link and read on as a window is scrolled.
    // While it is open the connection takes no other statement.
    void openStream(const QString &sql, RowSet &into); // the fields and no rows yet
    int readStream(RowSet &into, int maxRows);         // appends; fewer than maxRows at the end
    void closeStream();                                // drops what was not read
    // Drops the link at once, with a result still being read: the unread rows
    // are not fetched (closeStream would read them all first). The connection
    // is closed afterwards; open() makes a new one.
    void abandon();
    bool streamOpen() const { return m_stream != nullptr; }
    QStringList tables();
    quint64 lastInsertId() const;
    // The server's id of the session (for KILL QUERY from another link); 0 when closed.
    unsigned long sessionId() const;
    // Rows matched by the last UPDATE (found, not only changed: the link asks
    // for CLIENT_FOUND_ROWS so that an unchanged row still counts as found).
    quint64 affectedRows() const { return m_affected; }

    // The process-wide main connection that every window uses.
    static Connection &main();
    // The program's user as the server's audit triggers read it
    // (@qo_felhasznalo): set on the main connection at once and on every
    // session the program opens later, each time also after an automatic
    // reconnect. Empty: the triggers fall back to the database account.
    static void setActingUser(const QString &name);
    static QString actingUser();
    // Every thread other than the main one that opens a connection calls these
    // at its start and end (the client library keeps per-thread state).
    // Told, in the user's words, when a connection moved to another server of
    // its list because the one in use went away (the main window shows it in
    // its status line).
    static void setServerChangeNotice(std::function<void(const QString &text)> notice);
    static void threadInit();
    static void threadEnd();

    // A unit of work: statements that only make sense together on one server
    // session (an open transaction; a procedure call and the read of the
    // session variable it set). Outside a unit a dropped link is re-made
    // before the next statement; inside one it never is: the statement fails
    // with kLinkLostInUnit and the unit with it. Units nest.
    void beginUnit();
    void endUnit();
    bool inUnit() const { return m_unitDepth > 0; }
    // Whether the link still holds its session (asks the server; never
    // reconnects inside a unit of work).
    bool linkAlive();

    // Called with each statement just before it is sent (tests use it to
    // break the link at an exact point).
    void setBeforeStatement(std::function<void(const QString &sql)> hook) { m_beforeStatement = std::move(hook); }

private:
    void ensureLink();
    st_mysql *connectTo(const ServerAddress &server); // a new link with every option, or throws
    // Outside a unit of work, when the server in use is gone: the link moves
    // to the next server of the list that answers. False when none does.
    bool moveToNextServer();
    void send(const QString &sql); // throws unless the server took the statement
    void readResults(RowSet *first);
    void check(int rc, const char *what);
    [[noreturn]] void fail();
    void setReconnect(bool on);
    void applyActingUser(const QString &name);
    st_mysql_res *m_stream = nullptr;
    st_mysql *m_mysql = nullptr;
    ConnectParams m_params;
    ServerAddress m_server;
    quint64 m_affected = 0;
    int m_unitDepth = 0;
    unsigned long m_unitSession = 0; // the server session the unit runs on
    std::function<void(const QString &)> m_beforeStatement;
};

// The status-line text after a move from one server of the list to another.
// KILL QUERY for a session, sent from a short-lived link of its own opened
// with the given parameters to the server the session is on. Throws qo::Error.
void KillQueryOf(const ConnectParams &params, const ServerAddress &server, unsigned long sessionId);
QString ServerChangeText(const ServerAddress &from, const ServerAddress &to);

// The message of a unit whose link was lost part-way.
extern const char *const kLinkLostInUnit;

// Holds a unit of work open on a connection for its lifetime.
class UnitOfWork {
public:
    explicit UnitOfWork(Connection &db) : m_db(db) { m_db.beginUnit(); }
    ~UnitOfWork() { m_db.endUnit(); }
    UnitOfWork(const UnitOfWork &) = delete;
    UnitOfWork &operator=(const UnitOfWork &) = delete;

private:
    Connection &m_db;
};

// Runs work between START TRANSACTION and COMMIT as one unit of work; any
// failure (also a lost link) rolls back what the server still holds and is
// thrown on, so nothing is half stored and nothing is reported done.
void RunInTransaction(Connection &db, const std::function<void()> &work);

// The shared helpers on the main connection.
void ExecSql(const QString &sql);                     // blank does nothing; \r\n becomes CR LF
QString SqlValue(const QString &sql, const QString &def);
int SqlIntValue(const QString &sql, int def);

} // namespace qo
