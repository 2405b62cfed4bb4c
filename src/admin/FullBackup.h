#pragma once
// The full backup: the dump tool (mariadb-dump or mysqldump) run as a child
// process with the options "-c -C --force --databases" and the stored
// procedures, triggers and events, so that the window keeps responding. The
// password never appears on a command line nor in a file: the tool reads its
// option file from a pipe it inherits. The tool writes a temporary file
// beside the chosen one, which replaces the chosen file only when the tool
// ended well and the dump is complete; an earlier backup under that name
// stays otherwise. The tool's exit status and messages are reported.
#include "db/Connection.h"

#include <QObject>
#include <QProcess>
#include <QString>
#include <functional>
#include <memory>

namespace qo {

class JobProgress;
class SaveFile;

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
    // Follows the running tool with the progress window (tables dumped of
    // the total that `tables` gives, 0 while not known), never blocking the
    // window for more than a few hundredths of a second. False when the user
    // stopped it: the tool is then ended, its temporary file removed, the
    // chosen file left as it was, and `finished` is not emitted.
    bool follow(JobProgress &progress, const std::function<int()> &tables);
    // Ends the tool without a report; the chosen file stays as it was.
    void cancel();
    // The tables whose rows the tool has begun to write (it marks each in
    // its file), read from what it wrote since the last call.
    int tablesStarted();

    QStringList arguments() const { return m_arguments; }
    // The option file as the tool names it ("/dev/fd/N"); empty when none.
    QString optionFilePath() const { return m_optionPath; }
    // The file the tool writes while it runs (tests).
    QString temporaryFile() const;
    qint64 processId() const;
    QString resultFile() const { return m_resultFile; }

    // Option files that an earlier version left in the temporary folder when
    // it was ended before it could remove them; they hold a password.
    static void removeLeftOverOptionFiles();

    // Lines of the tool's output shown in the message; the rest is in the details.
    static constexpr int kShownLines = 5;

Q_SIGNALS:
    // ok: the tool ended normally with exit status 0 and a complete dump,
    // now under the chosen name. message: the text to show, "Biztonsági
    // mentés kész: ..." or the reason of the failure with the last lines of
    // the tool's output; details: the whole output when it is longer.
    void finished(bool ok, const QString &message, const QString &details);

private:
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onError(QProcess::ProcessError error);
    void finish(bool ok, const QString &message, const QString &details = {});
    void closeOptionPipe();
    QString keptNote() const; // says that an earlier file under the name is untouched

    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<SaveFile> m_save;
    int m_optionFd = -1; // read end of the option pipe, handed to the tool
    QString m_optionPath;
    QStringList m_arguments;
    QString m_resultFile;
    bool m_hadOldFile = false;
    qint64 m_scanned = 0;   // bytes of the tool's file read by tablesStarted
    QByteArray m_scanTail;  // the end of the last read, for a mark cut in two
    int m_tablesStarted = 0;
    bool m_reported = false;
};

// The base tables of a database counted on a thread and connection of their
// own (a server that does not answer must not hold the window): 0 until the
// count is known, also when it cannot be had.
std::function<int()> CountTablesInBackground(const ConnectParams &params);

// The option-file form of a value: between double quotes, with backslashes
// and double quotes escaped.
QString OptionFileValue(const QString &value);

// The last `count` lines of a text, and whether lines were left out.
QString LastLines(const QString &text, int count, bool *cut = nullptr);

} // namespace qo
