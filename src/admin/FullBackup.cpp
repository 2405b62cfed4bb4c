#include "admin/FullBackup.h"
#include "admin/BackupWriter.h"

#include "base/Error.h"
#include "base/SaveFile.h"
#include "ui/JobProgress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <atomic>
#include <cerrno>
#include <thread>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace qo {

namespace {

// The dump's closing comment: a dump without it broke off part-way.
bool dumpComplete(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = f.size();
    if (size > 512)
        f.seek(size - 512);
    const QByteArray tail = f.readAll().trimmed();
    return tail.mid(tail.lastIndexOf('\n') + 1).startsWith("-- Dump completed");
}

// The tool reports a failed write by the system's error number.
bool diskFull(const QString &output)
{
    return output.contains(QLatin1String("errno 28")) || output.contains(QLatin1String("Errcode: 28"))
        || output.contains(QLatin1String("No space left on device"));
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

FullBackup::FullBackup(QObject *parent) : QObject(parent) {}

FullBackup::~FullBackup()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(5000);
    }
    closeOptionPipe();
    // m_save goes with its temporary file: a dump cut short is no backup.
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

QString LastLines(const QString &text, int count, bool *cut)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (cut)
        *cut = lines.size() > count;
    return lines.mid(qMax(qsizetype(0), lines.size() - count)).join(QLatin1Char('\n'));
}

void FullBackup::removeLeftOverOptionFiles()
{
    const QFileInfoList found = QDir(QDir::tempPath())
                                    .entryInfoList({QStringLiteral("qo-dump-*.cnf")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &fi : found)
        if (fi.ownerId() == uint(::getuid()))
            QFile::remove(fi.absoluteFilePath());
}

QString FullBackup::temporaryFile() const { return m_save ? m_save->tempPath() : QString(); }

qint64 FullBackup::processId() const { return m_process ? m_process->processId() : 0; }

bool FullBackup::isRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

bool FullBackup::waitForFinished(int msecs)
{
    return !m_process || m_process->waitForFinished(msecs) || m_process->state() == QProcess::NotRunning;
}

int FullBackup::tablesStarted()
{
    static const QByteArray mark("\n-- Dumping data for table ");
    if (!m_save)
        return m_tablesStarted;
    QFile f(m_save->tempPath());
    if (!f.open(QIODevice::ReadOnly) || f.size() <= m_scanned)
        return m_tablesStarted;
    f.seek(m_scanned);
    // A few megabytes at a time keep the window responsive on a long dump.
    QByteArray text = m_scanTail + f.read(4 << 20);
    m_scanned += text.size() - m_scanTail.size();
    for (qsizetype at = text.indexOf(mark); at >= 0; at = text.indexOf(mark, at + mark.size()))
        ++m_tablesStarted;
    m_scanTail = text.right(mark.size() - 1);
    return m_tablesStarted;
}

bool FullBackup::follow(JobProgress &progress, const std::function<int()> &tables)
{
    while (isRunning()) {
        // Ends as soon as the tool does; `finished` is emitted from here.
        m_process->waitForFinished(10);
        const int total = tables ? tables() : 0;
        progress.setTotal(total);
        if (!progress.advance(qMin(tablesStarted(), total > 0 ? total : INT_MAX))) {
            cancel();
            return false;
        }
    }
    return true;
}

std::function<int()> CountTablesInBackground(const ConnectParams &params)
{
    auto count = std::make_shared<std::atomic<int>>(0);
    // Detached: a server that takes its 30 s to refuse keeps only this thread.
    std::thread([params, count] {
        Connection::threadInit();
        try {
            Connection c;
            c.open(params);
            count->store(int(BackupWriter(c).baseTables().size()));
        } catch (const Error &) {
            // The count stays unknown; the tool reports what went wrong.
        }
        Connection::threadEnd();
    }).detach();
    return [count] { return count->load(); };
}

void FullBackup::cancel()
{
    if (m_process) {
        m_process->disconnect(this);
        if (m_process->state() != QProcess::NotRunning) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
    }
    m_reported = true; // the caller says what was done
    closeOptionPipe();
    m_save.reset(); // the temporary file goes; the chosen file stays as it was
}

void FullBackup::closeOptionPipe()
{
    if (m_optionFd >= 0)
        ::close(m_optionFd);
    m_optionFd = -1;
    m_optionPath.clear();
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
    removeLeftOverOptionFiles();
    m_hadOldFile = QFileInfo::exists(resultFile);
    try {
        // Client data: readable by its owner only, also when it replaces a file.
        m_save = std::make_unique<SaveFile>(resultFile, SaveFile::Access::OwnerOnly);
    } catch (const Error &e) {
        *error = ErrorText(e.message());
        return false;
    }

    // The password reaches the tool through a pipe: it never lies in a file,
    // and the pipe goes with the tool. The option file must be its first option.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        *error = ErrorText(QString::fromLocal8Bit(strerror(errno)));
        m_save.reset();
        return false;
    }
    const QByteArray options = "[client]\npassword=" + toLatin2(OptionFileValue(params.password)) + "\n";
    const bool written = writeAll(fds[1], options);
    ::close(fds[1]);
    if (!written) {
        ::close(fds[0]);
        *error = ErrorText(QString::fromLocal8Bit(strerror(errno)));
        m_save.reset();
        return false;
    }
    closeOptionPipe();
    m_optionFd = fds[0];
    m_optionPath = QStringLiteral("/dev/fd/%1").arg(m_optionFd);

    m_resultFile = resultFile;
    // The procedures, triggers and events belong to the shop: without them a
    // restored shop cannot step a work order's status.
    m_arguments = {QStringLiteral("--defaults-extra-file=") + m_optionPath,
                   QStringLiteral("-c"), QStringLiteral("-C"), QStringLiteral("--force"),
                   QStringLiteral("--routines"), QStringLiteral("--triggers"), QStringLiteral("--events"),
                   QStringLiteral("--databases"), params.database,
                   // The dump tool takes one server: of a cluster's list, the first.
                   QStringLiteral("--port=%1").arg(params.servers().constFirst().port),
                   QStringLiteral("--host=") + params.servers().constFirst().host,
                   QStringLiteral("--user=") + params.user,
                   QStringLiteral("--result-file=") + m_save->tempPath()};
    // An encrypted link stays encrypted, with the server's certificate checked.
    if (params.tls) {
        m_arguments << QStringLiteral("--ssl") << QStringLiteral("--ssl-verify-server-cert");
        if (!params.tlsCaFile.isEmpty())
            m_arguments << QStringLiteral("--ssl-ca=") + params.tlsCaFile;
    }
    m_reported = false;
    m_scanned = 0;
    m_scanTail.clear();
    m_tablesStarted = 0;
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->setStandardOutputFile(QProcess::nullDevice());
    const int fd = m_optionFd;
    m_process->setChildProcessModifier([fd] {
        // Only the tool's copy of the read end stays open across exec.
        ::fcntl(fd, F_SETFD, 0);
    });
    connect(m_process.get(), &QProcess::finished, this, &FullBackup::onFinished);
    connect(m_process.get(), &QProcess::errorOccurred, this, &FullBackup::onError);
    connect(m_process.get(), &QProcess::started, this, [this] {
        // The tool holds its own copy now.
        if (m_optionFd >= 0)
            ::close(m_optionFd);
        m_optionFd = -1;
    });
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
    const QString output = QString::fromLocal8Bit(m_process->readAllStandardError()).trimmed();
    bool cut = false;
    const QString tail = LastLines(output, kShownLines, &cut);
    const QString details = cut ? output : QString();
    auto withOutput = [&](QString msg, const QString &heading) {
        if (!output.isEmpty())
            msg += QStringLiteral("\n\n") + (cut ? heading + QStringLiteral(" (vége):\n") : heading + QStringLiteral(":\n")) + tail;
        return msg;
    };

    const bool ended = status == QProcess::NormalExit && exitCode == 0;
    if (ended && dumpComplete(m_save->tempPath())) {
        try {
            m_save->commit();
        } catch (const Error &e) {
            m_save.reset();
            finish(false, withOutput(ErrorText(e.message()) + keptNote(), QStringLiteral("A mentőprogram üzenete")),
                   details);
            return;
        }
        m_save.reset();
        const QFileInfo fi(m_resultFile);
        finish(true,
               withOutput(QStringLiteral("Biztonsági mentés kész: %1 (%2)").arg(m_resultFile, FileSizeText(fi.size())),
                          QStringLiteral("A mentőprogram üzenete")),
               details);
        return;
    }
    // A dump that broke off must not pass for a backup, nor take the place
    // of an earlier one: the temporary file goes, the chosen file stays as it was.
    m_save.reset();
    QString msg;
    if (diskFull(output))
        msg = ErrorText(QStringLiteral("a fájl nem írható: %1\nBetelt a lemez").arg(m_resultFile));
    else if (status != QProcess::NormalExit)
        msg = QStringLiteral("A teljes mentés megszakadt (a mentőprogram összeomlott vagy leállították).");
    else if (exitCode != 0)
        msg = QStringLiteral("A teljes mentés nem sikerült (kilépési kód: %1).").arg(exitCode);
    else
        msg = QStringLiteral("A teljes mentés hiányos: a mentőprogram nem fejezte be a fájlt.");
    finish(false, withOutput(msg + keptNote(), QStringLiteral("A mentőprogram üzenete")), details);
}

QString FullBackup::keptNote() const
{
    return m_hadOldFile ? QStringLiteral("\nA korábbi fájl változatlanul megmaradt: ") + m_resultFile : QString();
}

void FullBackup::finish(bool ok, const QString &message, const QString &details)
{
    closeOptionPipe();
    m_save.reset();
    if (m_reported)
        return;
    m_reported = true;
    Q_EMIT finished(ok, message, details);
}

} // namespace qo
