#include "export/MailHandoff.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace qo {

static QString &mailCommand()
{
    static QString c = QStringLiteral("xdg-email");
    return c;
}

QString MailCommand() { return mailCommand(); }
void setMailCommandForTests(const QString &command) { mailCommand() = command; }

MailResult SendMailWithAttachment(const QString &subject, const QString &body, const QString &attachment,
                                  const QString &recipient, const QString &recipientName)
{
    MailResult r;
    const QString program = QFileInfo(mailCommand()).isAbsolute()
        ? mailCommand()
        : QStandardPaths::findExecutable(mailCommand());
    if (program.isEmpty() || !QFileInfo(program).isExecutable()) {
        r.code = -1;
        r.failure = QStringLiteral("Nem található levelezőprogram (%1), a levél nem készült el.").arg(mailCommand());
        return r;
    }
    QStringList args{QStringLiteral("--utf8"), QStringLiteral("--subject"), subject, QStringLiteral("--body"), body};
    if (!attachment.isEmpty())
        args << QStringLiteral("--attach") << QFileInfo(attachment).absoluteFilePath();
    if (!recipient.isEmpty())
        args << (recipientName.isEmpty() ? recipient : QStringLiteral("%1 <%2>").arg(recipientName, recipient));

    // The handler may stay running as long as the mail program does: wait a
    // moment for a refusal, then leave it running on its own.
    auto *p = new QProcess(QCoreApplication::instance());
    QObject::connect(p, &QProcess::finished, p, &QObject::deleteLater);
    p->start(program, args);
    if (!p->waitForStarted(3000)) {
        r.code = -1;
        r.failure = QStringLiteral("A levelezőprogram nem indítható (%1).").arg(mailCommand());
        p->deleteLater();
        return r;
    }
    if (p->waitForFinished(3000)) {
        r.code = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : 1;
        if (r.code != 0)
            r.failure = QStringLiteral("A levelezőprogram nem vette át a levelet (%1, hibakód %2).")
                            .arg(mailCommand())
                            .arg(r.code);
    }
    return r;
}

} // namespace qo
