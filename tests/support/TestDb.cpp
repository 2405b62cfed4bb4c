#include "support/TestDb.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace qo::test {

ConnectParams serverParams(const QString &dbDirEnv)
{
    QString dir = qEnvironmentVariable(dbDirEnv.toLatin1().constData());
    if (dir.isEmpty())
        dir = QStringLiteral(QO_TEST_DBDIR);
    QFile f(dir + QStringLiteral("/port"));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("test server is not running (no port file in %s)", qPrintable(dir));
    ConnectParams p;
    p.host = QStringLiteral("127.0.0.1");
    p.port = QString::fromLatin1(f.readAll()).trimmed().toInt();
    p.user = QStringLiteral("qo");
    p.password = QStringLiteral("qo");
    return p;
}

void runScript(const QString &database, const QString &path, const ConnectParams &server)
{
    QProcess p;
    p.setStandardInputFile(path);
    const QString client = QStandardPaths::findExecutable(QStringLiteral("mariadb")).isEmpty()
        ? QStringLiteral("mysql") : QStringLiteral("mariadb");
    p.start(client, {QStringLiteral("--no-defaults"), QStringLiteral("-h127.0.0.1"),
                     QStringLiteral("-P%1").arg(server.port), QStringLiteral("-u") + server.user,
                     QStringLiteral("-p") + server.password, database});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        qFatal("loading %s into %s failed: %s", qPrintable(path), qPrintable(database),
               p.readAllStandardError().constData());
}

TestDb::TestDb(const QString &name, bool openMain) : m_name(name), m_server(serverParams())
{
    Connection admin;
    admin.open(m_server);
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(name));
    admin.exec(QStringLiteral("CREATE DATABASE `%1` CHARACTER SET latin2 COLLATE latin2_hungarian_ci").arg(name));
    admin.close();
    runScript(name, QStringLiteral(QO_SOURCE_DIR "/schema/shop.sql"), m_server);
    if (openMain)
        Connection::main().open(params());
}

TestDb::~TestDb()
{
    Connection::main().close();
    if (!qEnvironmentVariableIsSet("QO_KEEP_TEST_DB")) {
        try {
            Connection admin;
            admin.open(m_server);
            admin.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(m_name));
        } catch (const Error &) {
        }
    }
}

ConnectParams TestDb::params() const
{
    ConnectParams p = m_server;
    p.database = m_name;
    return p;
}

} // namespace qo::test
