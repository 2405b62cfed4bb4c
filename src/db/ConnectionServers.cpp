// The servers of a connection: the list in its host field, and the move to
// the next one when the server in use is gone.
#include "db/Connection.h"
#include "config/StoredConnections.h"

#include <QRegularExpression>
#include <mysql.h>

namespace qo {

QString ServerAddress::text() const
{
    return port == 3306 ? host : host + QLatin1Char(':') + QString::number(port);
}

ConnectParams ConnectParams::fromRecord(const QString &record)
{
    return fromFields(ConnectionFields::parse(record, StoredConnectionTls(record)));
}

ConnectParams ConnectParams::fromFields(const ConnectionFields &f)
{
    ConnectParams p;
    p.database = f.database;
    p.host = f.host;
    bool ok = false;
    const int port = f.port.trimmed().toInt(&ok);
    p.port = ok && port > 0 ? port : 3306;
    p.user = f.user;
    p.password = f.password;
    p.tls = f.tls;
    p.tlsCaFile = f.tls ? f.caFile : QString();
    return p;
}

QList<ServerAddress> ConnectParams::servers() const
{
    // "name:port" carries its own port; an address with more than one ":"
    // (IPv6) only in brackets, "[::1]:3307".
    static const QRegularExpression withPort(QStringLiteral("^(\\[[^\\]]*\\]|[^:]*):(\\d{1,5})$"));
    QList<ServerAddress> out;
    for (const QString &part : host.split(QLatin1Char(','))) {
        const QString h = part.trimmed();
        if (h.isEmpty())
            continue;
        const QRegularExpressionMatch m = withPort.match(h);
        const int own = m.hasMatch() ? m.captured(2).toInt() : 0;
        if (m.hasMatch() && own > 0 && own <= 65535) {
            QString name = m.captured(1);
            if (name.startsWith(QLatin1Char('[')))
                name = name.mid(1, name.size() - 2); // the client library takes the bare address
            out.append({name, own});
        } else {
            out.append({h, port});
        }
    }
    if (out.isEmpty())
        out.append({host.trimmed(), port});
    return out;
}

bool IsLocalServer(const QString &host)
{
    static const QRegularExpression loopback(QStringLiteral("^127\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}$"));
    const QString h = host.trimmed().toLower();
    return h.isEmpty() || h == QLatin1String("localhost") || h == QLatin1String("::1")
        || h == QLatin1String("[::1]") || loopback.match(h).hasMatch() || h.startsWith(QLatin1Char('/'));
}

QString ServerChangeText(const ServerAddress &from, const ServerAddress &to)
{
    return QStringLiteral("A(z) %1 adatbázis-kiszolgáló nem érhető el; a program átkapcsolt erre: %2.")
        .arg(from.text(), to.text());
}

namespace {

std::function<void(const QString &)> &serverChangeNotice()
{
    static std::function<void(const QString &)> notice;
    return notice;
}

} // namespace

void Connection::setServerChangeNotice(std::function<void(const QString &)> notice)
{
    serverChangeNotice() = std::move(notice);
}

bool Connection::moveToNextServer()
{
    const QList<ServerAddress> servers = m_params.servers();
    if (servers.size() < 2 || inUnit() || m_stream)
        return false;
    qsizetype at = 0;
    while (at < servers.size() && !(servers.at(at).host == m_server.host && servers.at(at).port == m_server.port))
        ++at;
    for (qsizetype step = 1; step < servers.size(); ++step) {
        const ServerAddress next = servers.at((at + step) % servers.size());
        MYSQL *m = nullptr;
        try {
            m = connectTo(next);
        } catch (const Error &) {
            continue;
        }
        const ServerAddress from = m_server;
        mysql_close(m_mysql);
        m_mysql = m;
        m_server = next;
        applyActingUser(actingUser());
        if (serverChangeNotice() && this == &main())
            serverChangeNotice()(ServerChangeText(from, next));
        return true;
    }
    return false;
}

} // namespace qo
