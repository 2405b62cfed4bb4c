#include "admin/FullBackup.h"
#include "admin/BackupWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace qo {

FullBackup::FullBackup(QObject *parent) : QObject(parent) {}

FullBackup::~FullBackup()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

QString FullBackup::resolveTool(const QString &configured)
{
    if (!configured.trimmed().isEmpty())
        return configured.trimmed();
    for (const char *name : {"mariadb-dump", "mysqldump"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QString OptionFileValue(const QString &value)
{
    QString v = value;
    v.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    v.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + v + QLatin1Char('"');
}

QString FullBackup::optionFilePath() const
{
    return m_options ? m_options->fileName() : QString();
}

bool FullBackup::isRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

bool FullBackup::waitForFinished(int msecs)
{
    return !m_process || m_process->waitForFinished(msecs) || m_process->state() == QProcess::NotRunning;
}

bool FullBackup::start(const QString &tool, const ConnectParams &params, const QString &resultFile, QString *error)
{
    if (isRunning()) {
        *error = QStringLiteral("A teljes mentés már fut.");
        return false;
    }
    if (tool.isEmpty()) {
        *error = QStringLiteral("Nem található a mentőprogram (mariadb-dump vagy mysqldump). "
                                "Adja meg a helyét a mezőben.");
        return false;
    }
    // The password goes into an option file that only the owner can read
    // (QTemporaryFile creates it with mode 0600); it must be the first option.
    m_options = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/qo-dump-XXXXXX.cnf"));
    if (!m_options->open()) {
        *error = QStringLiteral("Hiba: ") + m_options->errorString();
        m_options.reset();
        return false;
    }
    m_options->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_options->write("[client]\n");
    m_options->write("password=" + toLatin2(OptionFileValue(params.password)) + "\n");
    m_options->flush();

    m_resultFile = resultFile;
    m_arguments = {QStringLiteral("--defaults-extra-file=") + m_options->fileName(),
                   QStringLiteral("-c"), QStringLiteral("-C"), QStringLiteral("--force"),
                   QStringLiteral("--databases"), params.database,
                   QStringLiteral("--port=%1").arg(params.port),
                   QStringLiteral("--host=") + params.host,
                   QStringLiteral("--user=") + params.user,
                   QStringLiteral("--result-file=") + resultFile};
    m_reported = false;
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->setStandardOutputFile(QProcess::nullDevice());
    connect(m_process.get(), &QProcess::finished, this, &FullBackup::onFinished);
    connect(m_process.get(), &QProcess::errorOccurred, this, &FullBackup::onError);
    m_process->start(tool, m_arguments);
    return true;
}

void FullBackup::onError(QProcess::ProcessError error)
{
    if (error == QProcess::FailedToStart)
        finish(false, QStringLiteral("A mentőprogram nem indítható: %1\n%2")
                          .arg(m_process->program(), m_process->errorString()));
}

void FullBackup::onFinished(int exitCode, QProcess::ExitStatus status)
{
    const QString errors = QString::fromLocal8Bit(m_process->readAllStandardError()).trimmed();
    if (status == QProcess::NormalExit && exitCode == 0) {
        const QFileInfo fi(m_resultFile);
        QString msg = QStringLiteral("Biztonsági mentés kész: %1 (%2)").arg(m_resultFile, FileSizeText(fi.size()));
        if (!errors.isEmpty())
            msg += QStringLiteral("\n\nA mentőprogram üzenete:\n") + errors;
        finish(true, msg);
        return;
    }
    // A dump that broke off must not pass for a backup.
    const bool removed = QFile::exists(m_resultFile) && QFile::remove(m_resultFile);
    QString msg = status == QProcess::NormalExit
        ? QStringLiteral("A teljes mentés nem sikerült (kilépési kód: %1).").arg(exitCode)
        : QStringLiteral("A teljes mentés megszakadt (a mentőprogram összeomlott).");
    if (removed)
        msg += QStringLiteral("\nA hiányos mentés fájlja törölve.");
    if (!errors.isEmpty())
        msg += QStringLiteral("\n\n") + errors;
    finish(false, msg);
}

void FullBackup::finish(bool ok, const QString &message)
{
    m_options.reset(); // removes the option file
    if (m_reported)
        return;
    m_reported = true;
    Q_EMIT finished(ok, message);
}

} // namespace qo
