#pragma once
#include "support/Readers.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

namespace qo::test {

// A local web service: python3 -m http.server over a folder of answer files.
class LocalService {
public:
    explicit LocalService(const QString &folder)
    {
        m_proc.setProcessChannelMode(QProcess::SeparateChannels);
        m_proc.start(pythonProgram(), {QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"),
                                                 QStringLiteral("0"), QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                                                 QStringLiteral("--directory"), folder});
        QElapsedTimer t;
        t.start();
        while (m_port == 0 && t.elapsed() < 10000) {
            m_proc.waitForReadyRead(200);
            m_out += m_proc.readAllStandardOutput();
            const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("port (\\d+)")).match(QString::fromUtf8(m_out));
            if (m.hasMatch())
                m_port = m.captured(1).toInt();
        }
    }
    ~LocalService()
    {
        m_proc.terminate();
        if (!m_proc.waitForFinished(3000))
            m_proc.kill();
        m_proc.waitForFinished(3000);
    }
    int port() const { return m_port; }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_port); }
    // The request lines the server has logged so far.
    QString log()
    {
        m_err += m_proc.readAllStandardError();
        return QString::fromUtf8(m_err);
    }

private:
    QProcess m_proc;
    QByteArray m_out, m_err;
    int m_port = 0;
};

} // namespace qo::test
