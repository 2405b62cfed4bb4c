#pragma once
// A private MariaDB server of a test's own that offers TLS, with a CA and a
// server certificate made for it by openssl, and a second CA that did not
// sign it. Started by scripts/mariadb-private, stopped when the object goes.
#include "db/Connection.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace qo::test {

class TlsServer {
public:
    TlsServer() : m_dir(QDir::tempPath() + QStringLiteral("/qo-tls-XXXXXX"))
    {
        if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty()) {
            skipReason = QStringLiteral("openssl is not installed: no certificates for a TLS server");
            return;
        }
        const QString d = m_dir.path();
        {
            QFile ext(d + QStringLiteral("/server.ext"));
            if (!ext.open(QIODevice::WriteOnly)) {
                error = QStringLiteral("cannot write ") + ext.fileName();
                return;
            }
            ext.write("basicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\n"
                      "extendedKeyUsage=serverAuth\nsubjectAltName=IP:127.0.0.1,DNS:localhost\n");
        }
        const QString subjCa = QStringLiteral("/CN=Quorvin teszt CA");
        if (!openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "2", "-subj", subjCa,
                      "-keyout", d + "/ca.key", "-out", d + "/ca.pem"})
            || !openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "2", "-subj",
                         "/CN=Masik CA", "-keyout", d + "/other.key", "-out", d + "/other-ca.pem"})
            || !openssl({"req", "-newkey", "rsa:2048", "-nodes", "-sha256", "-subj", "/CN=127.0.0.1", "-keyout",
                         d + "/server.key", "-out", d + "/server.csr"})
            || !openssl({"x509", "-req", "-sha256", "-days", "2", "-in", d + "/server.csr", "-CA", d + "/ca.pem",
                         "-CAkey", d + "/ca.key", "-CAcreateserial", "-extfile", d + "/server.ext", "-out",
                         d + "/server.pem"}))
            return;
        QProcess start;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QO_DB_SERVER_ARGS"),
                   QStringLiteral("--ssl-ca=%1/ca.pem --ssl-cert=%1/server.pem --ssl-key=%1/server.key").arg(d));
        env.insert(QStringLiteral("QO_DB_PORT_BASE"), QStringLiteral("34561"));
        start.setProcessEnvironment(env);
        start.setProcessChannelMode(QProcess::MergedChannels);
        start.start(script(), {QStringLiteral("start"), d + QStringLiteral("/db")});
        if (!start.waitForFinished(180000) || start.exitCode() != 0) {
            error = QStringLiteral("the TLS server did not start: ") + QString::fromLocal8Bit(start.readAll());
            return;
        }
        m_started = true;
        QFile port(d + QStringLiteral("/db/port"));
        if (port.open(QIODevice::ReadOnly))
            m_port = QString::fromLatin1(port.readAll()).trimmed().toInt();
    }
    ~TlsServer()
    {
        if (m_started)
            QProcess::execute(script(), {QStringLiteral("stop"), m_dir.path() + QStringLiteral("/db")});
    }
    bool ready() const { return m_started && m_port > 0; }

    // No database chosen; TLS off until asked for.
    ConnectParams params() const
    {
        ConnectParams p;
        p.host = QStringLiteral("127.0.0.1");
        p.port = m_port;
        p.user = QStringLiteral("qo");
        p.password = QStringLiteral("qo");
        return p;
    }
    QString caFile() const { return m_dir.path() + QStringLiteral("/ca.pem"); }
    QString wrongCaFile() const { return m_dir.path() + QStringLiteral("/other-ca.pem"); }

    QString skipReason; // openssl missing: the test skips with this
    QString error;      // anything else that failed: the test fails with this

private:
    static QString script() { return QStringLiteral(QO_SOURCE_DIR "/scripts/mariadb-private"); }
    bool openssl(std::initializer_list<QString> args)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral("openssl"), QStringList(args));
        if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return true;
        error = QStringLiteral("openssl failed: ") + QString::fromLocal8Bit(p.readAll());
        return false;
    }

    QTemporaryDir m_dir;
    bool m_started = false;
    int m_port = 0;
};

} // namespace qo::test
