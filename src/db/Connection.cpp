#include "db/Connection.h"
#include "db/RowConflict.h"
#include "base/Codec.h"
#include "db/SqlText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <mysql.h>
#include <errmsg.h>
#include <poll.h>
#include <sys/socket.h>

#include <array>
#include <mutex>
#include <utility>

namespace qo {

// ---- connection ----------------------------------------------------------

namespace {

// The server words its messages in the connection's character set (latin2),
// also those of the log-in itself; only a message quoting what we sent as
// UTF-8 (a host name) is UTF-8.
QString errorText(const char *message)
{
    const QByteArray b(message);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString s = utf8.decode(b);
    if (!utf8.hasError())
        return s;
    return fromLatin2(b.constData(), int(b.size()));
}

// The client library's words for a refused encrypted link, said in Hungarian
// with the library's own text after it for the administrator.
QString tlsFailureText(const QString &message)
{
    const QString m = message.toLower();
    const bool certificate = m.contains(QLatin1String("certificate")) || m.contains(QLatin1String("verif"))
        || m.contains(QLatin1String("issuer")) || m.contains(QLatin1String("validation"))
        || m.contains(QLatin1String("x509")) || m.contains(QLatin1String("self-signed"))
        || m.contains(QLatin1String("self signed"));
    if (certificate)
        return QStringLiteral("A kiszolgáló tanúsítványa nem ellenőrizhető: nem a megadott hitelesítő (CA) "
                              "állította ki, vagy nem erre a kiszolgálónévre szól. A kapcsolat nem jött létre. (")
            + message + QLatin1Char(')');
    return QStringLiteral("A titkosított (TLS) kapcsolat nem jött létre. (") + message + QLatin1Char(')');
}

} // namespace

Connection::Connection() = default;

Connection::~Connection() { close(); }

Connection &Connection::main()
{
    static Connection c;
    return c;
}

namespace {

std::mutex &actingUserMutex()
{
    static std::mutex m;
    return m;
}

QString &actingUserName()
{
    static QString name;
    return name;
}

} // namespace

void Connection::setActingUser(const QString &name)
{
    {
        const std::lock_guard<std::mutex> lock(actingUserMutex());
        actingUserName() = name;
    }
    if (main().isOpen())
        main().applyActingUser(name);
}

QString Connection::actingUser()
{
    const std::lock_guard<std::mutex> lock(actingUserMutex());
    return actingUserName();
}

// The init commands of a link are a list that the client library runs again
// after every automatic reconnect; the last SET of the variable wins.
void Connection::applyActingUser(const QString &name)
{
    if (name.isEmpty())
        return;
    const QString set = QStringLiteral("SET @qo_felhasznalo = %1").arg(SqlQuote(name));
    const QByteArray cmd = toLatin2(set);
    mysql_options(m_mysql, MYSQL_INIT_COMMAND, cmd.constData());
    // The program's own bookkeeping, not a statement of the caller's.
    auto hook = std::exchange(m_beforeStatement, nullptr);
    try {
        exec(set);
    } catch (...) {
        m_beforeStatement = std::move(hook);
        throw;
    }
    m_beforeStatement = std::move(hook);
}

void Connection::threadInit() { mysql_thread_init(); }
void Connection::threadEnd() { mysql_thread_end(); }

void Connection::close()
{
    if (m_stream) {
        // The client library reads the unread rest before it lets the result
        // go; a caller that must not wait stops the query first (KILL QUERY).
        mysql_free_result(m_stream);
        m_stream = nullptr;
    }
    if (m_mysql) {
        mysql_close(m_mysql);
        m_mysql = nullptr;
    }
}

void Connection::open(const ConnectParams &p)
{
    close();
    m_params = p;
    // The servers of the list in order: the first that answers is used. A
    // refusal by a server that answered (a wrong password) is final.
    const QList<ServerAddress> servers = p.servers();
    for (qsizetype i = 0; i < servers.size(); ++i) {
        try {
            m_mysql = connectTo(servers.at(i));
            m_server = servers.at(i);
            break;
        } catch (const Error &e) {
            const bool unreachable = e.code() >= 2000 && e.code() < 3000 && e.code() != CR_SSL_CONNECTION_ERROR;
            if (i + 1 == servers.size() || !unreachable)
                throw;
        }
    }
    m_unitDepth = 0;
    applyActingUser(actingUser());
}

MYSQL *Connection::connectTo(const ServerAddress &server)
{
    const ConnectParams &p = m_params;
    MYSQL *m = mysql_init(nullptr);
    if (!m)
        throw Error(QStringLiteral("Nincs elég memória a kapcsolathoz."));
    const unsigned timeout = 30;
    const my_bool on = 1;
    // Compression pays on a slow link only: on this machine it costs more CPU
    // than it saves (see the architecture notes for the figures).
    if (!IsLocalServer(server.host))
        mysql_options(m, MYSQL_OPT_COMPRESS, nullptr);
    mysql_options(m, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin2");
    // Both run again after an automatic reconnect. The second one makes sure
    // backslash escapes in our literals mean what the quoting helpers intend,
    // whatever SQL mode the server runs with.
    mysql_options(m, MYSQL_INIT_COMMAND, "SET NAMES 'latin2' COLLATE 'latin2_hungarian_ci'");
    // Every session is strict as well, so a text too long for its column is
    // refused instead of being cut without a word.
    mysql_options(m, MYSQL_INIT_COMMAND,
                  "SET SESSION sql_mode = TRIM(BOTH ',' FROM REPLACE(CONCAT(',', @@SESSION.sql_mode, ','), "
                  "',NO_BACKSLASH_ESCAPES,', ','))");
    mysql_options(m, MYSQL_INIT_COMMAND,
                  "SET SESSION sql_mode = IF(FIND_IN_SET('STRICT_TRANS_TABLES', @@SESSION.sql_mode), "
                  "@@SESSION.sql_mode, TRIM(LEADING ',' FROM CONCAT(@@SESSION.sql_mode, ',STRICT_TRANS_TABLES')))");
    mysql_options(m, MYSQL_OPT_RECONNECT, &on);
    if (p.tls) {
        if (!p.tlsCaFile.isEmpty() && !QFileInfo(p.tlsCaFile).isReadable()) {
            mysql_close(m);
            throw Error(QStringLiteral("A titkosított kapcsolat tanúsítványfájlja (CA) nem olvasható: ") + p.tlsCaFile);
        }
        // Kept for the automatic reconnect as well: the link is never made in clear.
        mysql_options(m, MYSQL_OPT_SSL_ENFORCE, &on);
        mysql_options(m, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &on);
        if (!p.tlsCaFile.isEmpty())
            mysql_options(m, MYSQL_OPT_SSL_CA, QFile::encodeName(p.tlsCaFile).constData());
    }

    const QByteArray host = server.host.toUtf8(), user = toLatin2(p.user), pass = toLatin2(p.password),
                     db = toLatin2(p.database);
    if (!mysql_real_connect(m, host.constData(), user.constData(), pass.constData(),
                            db.isEmpty() ? nullptr : db.constData(), unsigned(server.port), nullptr,
                            CLIENT_MULTI_RESULTS | CLIENT_FOUND_ROWS)) {
        QString msg = errorText(mysql_error(m));
        const unsigned code = mysql_errno(m);
        mysql_close(m);
        if (p.tls && code == CR_SSL_CONNECTION_ERROR)
            msg = tlsFailureText(msg);
        throw Error(msg, code);
    }
    // On a node of a cluster every read waits until the node has applied what
    // other nodes committed before it (causal reads): a new order copies the
    // prescription another branch has just saved, and an edit reads the row
    // as stored. Kept for a reconnect as well. A server without the setting
    // (MySQL) refuses the question; a single server answers 0.
    if (mysql_query(m, "SELECT @@wsrep_on") == 0) {
        if (MYSQL_RES *res = mysql_store_result(m)) {
            const MYSQL_ROW row = mysql_fetch_row(res);
            const bool cluster = row && row[0] && (qstrcmp(row[0], "1") == 0 || qstricmp(row[0], "ON") == 0);
            mysql_free_result(res);
            if (cluster) {
                const char *causal = "SET SESSION wsrep_sync_wait = 1";
                mysql_query(m, causal);
                mysql_options(m, MYSQL_INIT_COMMAND, causal);
            }
        }
    }
    return m;
}

const char *const kLinkLostInUnit = "Megszakadt a kapcsolat az adatbázissal, a művelet nem fejeződött be; "
                                    "a szerver semmit sem tárolt belőle. Próbálja újra.";

void Connection::setReconnect(bool on)
{
    const my_bool v = on ? 1 : 0;
    mysql_options(m_mysql, MYSQL_OPT_RECONNECT, &v);
}

void Connection::beginUnit()
{
    if (m_unitDepth > 0) {
        ++m_unitDepth;
        return;
    }
    // A link dropped while idle is re-made now, before the unit starts (on
    // the next server of the list when its own is gone).
    ensureLink();
    if (mysql_ping(m_mysql) != 0 && !moveToNextServer())
        fail();
    m_unitSession = mysql_thread_id(m_mysql);
    setReconnect(false);
    m_unitDepth = 1;
}

bool Connection::linkAlive()
{
    if (!m_mysql || m_stream)
        return m_mysql != nullptr;
    if (mysql_ping(m_mysql) != 0)
        return false;
    return !inUnit() || mysql_thread_id(m_mysql) == m_unitSession;
}

void Connection::endUnit()
{
    if (m_unitDepth == 0 || --m_unitDepth > 0)
        return;
    if (m_mysql)
        setReconnect(true);
}

void RunInTransaction(Connection &db, const std::function<void()> &work)
{
    UnitOfWork unit(db);
    db.exec(QStringLiteral("START TRANSACTION"));
    try {
        work();
        db.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        try {
            db.exec(QStringLiteral("ROLLBACK"));
        } catch (const Error &) {
            // The link itself failed: the server drops the open transaction.
        }
        throw;
    }
}

void Connection::fail()
{
    const unsigned code = mysql_errno(m_mysql);
    // Another session (on a cluster: another node) changed the same rows
    // first and the server rolled this transaction back whole: for the user
    // that is a row changed elsewhere.
    if (code == kServerDeadlock)
        throw RowConflict(code);
    throw Error(errorText(mysql_error(m_mysql)), code);
}

// A link the server closed while we were idle shows as a readable socket.
// Reconnect before sending, so that no statement is lost or sent twice.
void Connection::ensureLink()
{
    if (!m_mysql)
        throw Error(QStringLiteral("Nincs adatbázis kapcsolat."));
    const int fd = int(mysql_get_socket(m_mysql));
    bool suspect = fd < 0;
    if (!suspect) {
        pollfd pfd{fd, POLLIN, 0};
        suspect = poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLIN | POLLHUP | POLLERR));
    }
    if (inUnit()) {
        // Never a new session in the middle of a unit: its transaction or
        // session variables would be gone without a word.
        if (suspect || mysql_thread_id(m_mysql) != m_unitSession)
            throw Error(QString::fromUtf8(kLinkLostInUnit), CR_SERVER_LOST);
        return;
    }
    // Reconnects (and re-runs the init commands) when the link is gone; when
    // the server itself is gone, the next one of the list takes over.
    if (suspect && mysql_ping(m_mysql) != 0)
        moveToNextServer();
}

void Connection::send(const QString &sql)
{
    if (m_stream)
        throw Error(QStringLiteral("A kapcsolaton még egy lekérdezés eredménye olvasás alatt áll."));
    if (m_beforeStatement)
        m_beforeStatement(sql);
    ensureLink();
    const QByteArray q = toLatin2(sql);
    if (mysql_real_query(m_mysql, q.constData(), q.size()) == 0) {
        if (inUnit() && mysql_thread_id(m_mysql) != m_unitSession)
            throw Error(QString::fromUtf8(kLinkLostInUnit), CR_SERVER_LOST);
        return;
    }
    if (inUnit()) {
        const unsigned code = mysql_errno(m_mysql);
        if (code == CR_SERVER_GONE_ERROR || code == CR_SERVER_LOST)
            throw Error(QString::fromUtf8(kLinkLostInUnit), code);
        fail();
    }
    // Only a statement that could not even be written out is sent again: it
    // never reached the server. A link lost while waiting for the answer
    // (CR_SERVER_LOST) may have run it already, so that is reported instead.
    if (mysql_errno(m_mysql) == CR_SERVER_GONE_ERROR && (mysql_ping(m_mysql) == 0 || moveToNextServer())
        && mysql_real_query(m_mysql, q.constData(), q.size()) == 0)
        return;
    fail();
}

void Connection::exec(const QString &sql)
{
    send(sql);
    m_affected = mysql_affected_rows(m_mysql);
    readResults(nullptr);
}

RowSet Connection::query(const QString &sql)
{
    send(sql);
    RowSet rs;
    readResults(&rs);
    return rs;
}

namespace {

QVector<RowSet::Field> describeFields(MYSQL_RES *res)
{
    const unsigned n = mysql_num_fields(res);
    MYSQL_FIELD *f = mysql_fetch_fields(res);
    QVector<RowSet::Field> fields(qsizetype(n), RowSet::Field{});
    for (unsigned i = 0; i < n; ++i) {
        RowSet::Field &d = fields[int(i)];
        d.name = fromLatin2(f[i].name, int(f[i].name_length));
        d.serverType = f[i].type;
        d.length = int(f[i].length);
        d.decimals = int(f[i].decimals);
        switch (f[i].type) {
        case MYSQL_TYPE_TINY: case MYSQL_TYPE_SHORT: case MYSQL_TYPE_LONG:
        case MYSQL_TYPE_LONGLONG: case MYSQL_TYPE_INT24: case MYSQL_TYPE_YEAR:
        case MYSQL_TYPE_BIT:
            d.kind = RowSet::Kind::Integer; break;
        case MYSQL_TYPE_DECIMAL: case MYSQL_TYPE_NEWDECIMAL:
        case MYSQL_TYPE_FLOAT: case MYSQL_TYPE_DOUBLE:
            d.kind = RowSet::Kind::Float; break;
        case MYSQL_TYPE_DATE: case MYSQL_TYPE_NEWDATE:
            d.kind = RowSet::Kind::Date; break;
        case MYSQL_TYPE_DATETIME: case MYSQL_TYPE_TIMESTAMP:
            d.kind = RowSet::Kind::DateTime; break;
        case MYSQL_TYPE_TIME:
            d.kind = RowSet::Kind::Time; break;
        case MYSQL_TYPE_TINY_BLOB: case MYSQL_TYPE_MEDIUM_BLOB:
        case MYSQL_TYPE_LONG_BLOB: case MYSQL_TYPE_BLOB:
            d.kind = f[i].charsetnr == 63 ? RowSet::Kind::Binary : RowSet::Kind::Text; break;
        default:
            d.kind = RowSet::Kind::Text; break;
        }
    }
    return fields;
}

} // namespace

// Walks every result the statement produced (a CALL gives several): the first
// result set goes into `first` when given, the rest is read and dropped, so the
// link is ready for the next statement.
void Connection::readResults(RowSet *first)
{
    for (;;) {
        if (MYSQL_RES *res = mysql_use_result(m_mysql)) {
            if (first) {
                first->setFields(describeFields(res));
                while (MYSQL_ROW row = mysql_fetch_row(res))
                    first->appendRow(row, mysql_fetch_lengths(res));
                first->squeeze();
                first = nullptr;
            } else {
                while (mysql_fetch_row(res)) {
                }
            }
            const bool broken = mysql_errno(m_mysql) != 0;
            mysql_free_result(res);
            if (broken)
                fail();
        } else if (mysql_field_count(m_mysql) != 0) {
            fail();
        }
        const int next = mysql_next_result(m_mysql);
        if (next > 0)
            fail();
        if (next < 0)
            break;
    }
}

void Connection::queryBatches(const QString &sql, int batchRows, const std::function<bool(const RowSet &)> &fn)
{
    RowSet batch;
    openStream(sql, batch);
    try {
        for (;;) {
            const QVector<RowSet::Field> fields = batch.fields();
            batch.setFields(fields); // empties the rows, keeps the fields
            const int n = readStream(batch, batchRows);
            if (n > 0 && !fn(batch))
                break;
            if (n < batchRows)
                break;
        }
    } catch (...) {
        closeStream();
        throw;
    }
    closeStream();
}

void Connection::openStream(const QString &sql, RowSet &into)
{
    send(sql);
    MYSQL_RES *res = mysql_use_result(m_mysql);
    if (!res) {
        if (mysql_field_count(m_mysql) != 0)
            fail();
        readResults(nullptr); // a statement without rows: nothing to stream
        into.setFields({});
        return;
    }
    into.setFields(describeFields(res));
    m_stream = res;
}

int Connection::readStream(RowSet &into, int maxRows)
{
    if (!m_stream)
        return 0;
    int n = 0;
    while (n < maxRows) {
        MYSQL_ROW row = mysql_fetch_row(m_stream);
        if (!row)
            break;
        into.appendRow(row, mysql_fetch_lengths(m_stream));
        ++n;
    }
    if (n < maxRows) {
        const bool broken = mysql_errno(m_mysql) != 0;
        if (broken) {
            const Error e(errorText(mysql_error(m_mysql)), mysql_errno(m_mysql));
            closeStream();
            throw e;
        }
        closeStream();
    }
    return n;
}

void Connection::closeStream()
{
    if (!m_stream)
        return;
    mysql_free_result(m_stream); // reads and drops the rest
    m_stream = nullptr;
    // Further results of the statement (a CALL's status) are read and dropped.
    while (mysql_more_results(m_mysql) && mysql_next_result(m_mysql) == 0)
        if (MYSQL_RES *r = mysql_use_result(m_mysql))
            mysql_free_result(r);
}

void Connection::abandon()
{
    if (m_mysql) {
        // A shut socket makes the client library's reading of the rest fail
        // at once; the server drops the statement when its writes fail.
        const int fd = int(mysql_get_socket(m_mysql));
        if (fd >= 0)
            ::shutdown(fd, SHUT_RDWR);
    }
    close();
}

QStringList Connection::tables()
{
    const RowSet rs = query(QStringLiteral("SHOW TABLES"));
    QStringList out;
    for (int r = 0; r < rs.rowCount(); ++r)
        out << rs.text(r, 0);
    return out;
}

quint64 Connection::lastInsertId() const
{
    return m_mysql ? mysql_insert_id(m_mysql) : 0;
}

unsigned long Connection::sessionId() const
{
    return m_mysql ? mysql_thread_id(m_mysql) : 0;
}

// ---- shared helpers on the main connection --------------------------------

void ExecSql(const QString &sql)
{
    if (sql.trimmed().isEmpty())
        return;
    Connection::main().exec(UnescapeLineBreaks(sql));
}

QString SqlValue(const QString &sql, const QString &def)
{
    const RowSet rs = Connection::main().query(sql);
    if (rs.rowCount() == 0 || rs.columnCount() == 0)
        return def;
    return rs.text(0, 0);
}

int SqlIntValue(const QString &sql, int def)
{
    const RowSet rs = Connection::main().query(sql);
    if (rs.rowCount() == 0 || rs.columnCount() == 0)
        return def;
    bool ok = false;
    const int v = rs.text(0, 0).trimmed().toInt(&ok);
    return ok ? v : 0;
}

void KillQueryOf(const ConnectParams &params, const ServerAddress &server, unsigned long sessionId)
{
    ConnectParams p = params;
    p.host = server.host;
    p.port = server.port;
    Connection link;
    link.open(p);
    link.exec(QStringLiteral("KILL QUERY %1").arg(sessionId));
    link.close();
}

} // namespace qo
