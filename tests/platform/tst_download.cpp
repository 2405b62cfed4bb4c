// Downloading a file over HTTP into place.
#include "platform/Download.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

using namespace qo;

namespace {

// A tiny HTTP server: /ok answers a body, /missing 404, /silent never answers.
class TinyHttp : public QTcpServer {
public:
    QByteArray body = QByteArray("Verzió 23.0.0.45\r\nÚj funkció\r\n");
    TinyHttp()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray req = s->readAll();
                    const QByteArray path = req.split(' ').value(1);
                    if (path == "/silent")
                        return;
                    QByteArray status = "200 OK", data = body;
                    if (path != "/ok") {
                        status = "404 Not Found";
                        data = "nincs";
                    }
                    s->write("HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: "
                             + QByteArray::number(data.size()) + "\r\nConnection: close\r\n\r\n" + data);
                    s->disconnectFromHost();
                });
            }
        });
        listen(QHostAddress::LocalHost);
    }
    QString url(const char *path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(QLatin1String(path)); }
};

} // namespace

class TestDownload : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // ---- Download ---------------------------------------------------------

    void download_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<bool>("ok");
        QTest::newRow("fetched") << "/ok" << 15000 << true;
        QTest::newRow("not found") << "/missing" << 15000 << false;
        QTest::newRow("no answer in time") << "/silent" << 400 << false;
        QTest::newRow("closed port") << "closed" << 15000 << false;
        QTest::newRow("not an address") << "junk" << 15000 << false;
    }
    void download()
    {
        QFETCH(QString, path);
        QFETCH(int, timeout);
        QFETCH(bool, ok);
        TinyHttp server;
        QVERIFY(server.isListening());
        QString url = server.url(path.toLatin1().constData());
        if (path == QLatin1String("closed")) {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            url = QStringLiteral("http://127.0.0.1:%1/ok").arg(probe.serverPort());
            probe.close(); // nobody listens there any more
        } else if (path == QLatin1String("junk")) {
            url = QStringLiteral("::nem cím::");
        }
        const QString file = m_dir.filePath(QStringLiteral("Verkov.txt"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("régi tartalom");
        }
        QElapsedTimer t;
        t.start();
        QCOMPARE(DownloadToFile(url, file, timeout), ok);
        QVERIFY(t.elapsed() < timeout + 3000);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), ok ? server.body : QByteArray("régi tartalom"));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("Verkov.txt*")}, QDir::Files | QDir::Hidden).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
