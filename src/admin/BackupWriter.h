#pragma once
// The data backup script: for every base table of a database a TRUNCATE and
// its rows as INSERT IGNORE statements of at most 100 rows, in Windows-1250
// with CR LF line ends. It opens with SET NAMES cp1250, so that the stock
// client reads it right with no option (mariadb DBNAME < file.sql), and
// runs between SET FOREIGN_KEY_CHECKS=0 and =1 so that it restores into a
// schema whose foreign keys refuse TRUNCATE and rows that arrive before their
// parents. A value that a Windows-1250 text literal would not carry byte for
// byte (a latin2 text holding a code 0x80-0x9F, binary bytes) is written in
// hex. Works on a connection of its own and needs no window: the list window,
// the tests and the benchmark all call it. The SQL console's script mode
// restores it too (its session stays latin2; see SqlScriptRunner).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

class QIODevice;
class QWidget;

namespace qo {

class Connection;

// Called before each table is written: its 0-based index and the table count.
using BackupProgress = std::function<void(int index, int count)>;
// Called after each batch of rows read with the rows written so far (of every
// table); it may throw to stop the backup (JobCancelled).
using BackupRowStep = std::function<void(qint64 rowsDone)>;

class BackupWriter {
public:
    explicit BackupWriter(Connection &connection) : m_db(connection) {}

    // The base tables of the connection's database (views are left out).
    QStringList baseTables();
    // The rows of every base table as the server estimates them (a total for
    // the progress window).
    qint64 estimatedRows();
    void setRowStep(BackupRowStep step) { m_rowStep = std::move(step); }
    // The INSERT IGNORE statements of one table, lines joined with CR LF,
    // Windows-1250; empty for an empty table.
    QByteArray tableInsertScript(const QString &table);
    // Writes the whole script. The file appears only when it is complete: on
    // any failure (database, disk) nothing is left under `path` and
    // qo::Error is thrown with the reason.
    void writeScript(const QString &path, const BackupProgress &progress = {});
    // Writes the whole script to an open device; returns the number of
    // tables. A refused write throws qo::Error; the caller names the reason.
    int writeScript(QIODevice &device, const BackupProgress &progress = {});

private:
    // Appends the table's statements (each line followed by CR LF) to out,
    // flushing to the device whenever the buffer grows large. The rows are
    // read as a stream on the writer's connection and formatted as they come.
    void appendTable(const QString &table, std::string &out, QIODevice *device);
    static void flushTo(QIODevice &device, std::string &out);

    Connection &m_db;
    BackupRowStep m_rowStep;
    qint64 m_rowsDone = 0;
};

// The data backup as the database list runs it, on its own connection `db`
// (never the main one), read and written on a worker thread: `chosen` ending in ".zip" (any case) becomes an
// archive holding the script as <name>.sql, deflated while it is written;
// any other name the script itself. A progress window shows the rows written
// of the estimated total and the table being written; Esc or "Megszakítás"
// throws JobCancelled. On a stop or any failure the file under the chosen
// name is the earlier one, byte for byte, and nothing is left beside it.
// onTable, when given, is told of each table too (the window's own bar).
// Returns the file written.
QString WriteDataBackup(Connection &db, const QString &chosen, QWidget *parent, const BackupProgress &onTable = {});

// What a stopped backup says.
inline const char *const kBackupCancelled = "A mentés megszakítva; a korábbi fájl változatlan.";

// Packs `file` into a new archive `zipPath` (an old one is replaced) as its
// only entry, under `entryName` (the file's bare name when empty), deflated
// at the highest level.
// Throws qo::Error with the archive library's text; no archive is left then.
void ZipSingleFile(const QString &file, const QString &zipPath, const QString &entryName = {});

// "12 345 678 bájt": a file size for the messages.
QString FileSizeText(qint64 bytes);

} // namespace qo
