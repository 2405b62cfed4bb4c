#pragma once
// The full backup: the dump tool (mariadb-dump or mysqldump) run as a child
// process with the options "-c -C --force --databases", so that the window
// keeps responding. The password never appears on the command line: it is
// handed over in an option file only the owner can read, removed as soon as
// the tool has ended. The tool's exit status and error text are reported.
#include "db/Connection.h"

#include <QObject>
#include <QProcess>
#include <QString>
#include <memory>

class QTemporaryFile;

namespace qo {

class FullBackup : public QObject {
    Q_OBJECT
public:
    explicit FullBackup(QObject *parent = nullptr);
    ~FullBackup() override;

    // The tool the user named, else mariadb-dump or mysqldump found on PATH
    // (empty when there is none).
    static QString resolveTool(const QString &configured);

    // Starts the tool; false (and `error` set) when it could not be started.
    bool start(const QString &tool, const ConnectParams &params, const QString &resultFile, QString *error);
    bool isRunning() const;
    // Blocks until the tool has ended (tests, closing the window).
    bool waitForFinished(int msecs = -1);

    QStringList arguments() const { return m_arguments; }
    QString optionFilePath() const; // empty once removed
    QString resultFile() const { return m_resultFile; }

Q_SIGNALS:
    // ok: the tool ended normally with exit status 0. message: the text to
    // show, "Biztonsági mentés kész: ..." or the reason of the failure.
    void finished(bool ok, const QString &message);

private:
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onError(QProcess::ProcessError error);
    void finish(bool ok, const QString &message);

    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<QTemporaryFile> m_options;
    QStringList m_arguments;
    QString m_resultFile;
    bool m_reported = false;
};

// The option-file form of a value: between double quotes, with backslashes
// and double quotes escaped.
QString OptionFileValue(const QString &value);

} // namespace qo
