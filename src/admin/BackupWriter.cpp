#include "admin/BackupWriter.h"

#include "base/Codec.h"
#include "base/Error.h"
#include "base/SaveFile.h"
#include "platform/ZipArchive.h"
#include "db/Connection.h"
#include "ui/JobProgress.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <string>

namespace qo {

namespace {

// Field types of the client library that need care (mysql.h values).
constexpr int kTypeFloat = 4;
constexpr int kTypeBit = 16;

// Written out in pieces of this size: small enough that deflating one at the
// highest level stays well below a tenth of a second.
constexpr qsizetype kFlushBytes = 256 * 1024;
// Rows read from the server at a time: the memory a table costs.
constexpr int kBatchRows = 1000;

// Plain names stay as they are; anything else is quoted with backticks.
QString sqlName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_$]+$"));
    if (plain.match(name).hasMatch())
        return name;
    QString n = name;
    n.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + n + QLatin1Char('`');
}

// A text value as a string literal: backslash, CR, LF (and NUL) escaped with a
// backslash, single quotes doubled, between single quotes. False (and out as
// it was) when the text holds a byte Windows-1250 has no letter for (the
// latin2 codes 0x80-0x9F): the script would carry a "?" in its place.
bool appendQuoted(std::string &out, const char *data, int len)
{
    const auto &map = latin2ToCp1250Bytes(); // cells arrive as latin2, the script is Windows-1250
    const size_t start = out.size();
    out += '\'';
    // Runs of plain ASCII go over in one piece; only the bytes that need an
    // escape or a different code are handled one by one.
    const char *run = data;
    const char *const end = data + len;
    for (const char *p = data; p < end; ++p) {
        const uchar c = uchar(*p);
        if (c >= 0x80 || c == '\\' || c == '\r' || c == '\n' || c == '\'' || c == 0) {
            out.append(run, p - run);
            run = p + 1;
            switch (c) {
            case '\\': out += "\\\\"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\'': out += "''"; break;
            case 0: out += "\\0"; break;
            default:
                if (map[c] == '?') {
                    out.resize(start);
                    return false;
                }
                out += map[c];
                break;
            }
        }
    }
    out.append(run, end - run);
    out += '\'';
    return true;
}

void appendBytes(std::string &out, const QByteArray &bytes)
{
    out.append(bytes.constData(), size_t(bytes.size()));
}

void appendHex(std::string &out, const char *data, int len)
{
    out += "0x";
    appendBytes(out, QByteArray::fromRawData(data, len).toHex());
}

bool hasHighBytes(const char *data, int len)
{
    for (int i = 0; i < len; ++i)
        if (uchar(data[i]) >= 0x80)
            return true;
    return false;
}

// binaryString: a BINARY or VARBINARY column, whose bytes are no letters.
void appendCell(std::string &out, const RowSet &rs, int r, int c, bool binaryString)
{
    if (rs.isNull(r, c)) {
        out += "NULL";
        return;
    }
    int len = 0;
    const char *data = rs.rawData(r, c, &len);
    const RowSet::Field &f = rs.field(c);
    if (f.kind == RowSet::Kind::Binary || f.serverType == kTypeBit) {
        if (len == 0)
            out += "''";
        else
            appendHex(out, data, len);
        return;
    }
    // Bytes that a text literal would not carry through both readers (the
    // stock client in Windows-1250, the console in latin2) go as hex, the
    // text ones marked as latin2 so that a text column takes them as letters.
    if (binaryString && hasHighBytes(data, len)) {
        appendHex(out, data, len);
        return;
    }
    switch (f.kind) {
    case RowSet::Kind::Text:
    case RowSet::Kind::Time:
        if (!appendQuoted(out, data, len)) {
            out += "_latin2 X'";
            appendBytes(out, QByteArray::fromRawData(data, len).toHex());
            out += '\'';
        }
        break;
    case RowSet::Kind::Date:
    case RowSet::Kind::DateTime:
        // The server's own text: 'yyyy-mm-dd' and 'yyyy-mm-dd hh:mm:ss'
        // (a zero date stays a zero date).
        out += '\'';
        out.append(data, len);
        out += '\'';
        break;
    default: {
        // Numbers in the server's text, which always has a decimal point.
        // Doubles come with every digit they need to read back the same;
        // single floats are fetched as doubles for that reason (see query).
        const size_t at = out.size();
        out.append(data, size_t(len));
        for (size_t i = at; i < out.size(); ++i)
            if (out[i] == ',')
                out[i] = '.';
        break;
    }
    }
}

} // namespace

QStringList BackupWriter::baseTables()
{
    const RowSet rs = m_db.query(QStringLiteral("SHOW FULL TABLES;"));
    QStringList out;
    for (int r = 0; r < rs.rowCount(); ++r)
        if (rs.columnCount() < 2 || rs.text(r, 1).compare(QLatin1String("BASE TABLE"), Qt::CaseInsensitive) == 0)
            out << rs.text(r, 0);
    // The tables that triggers write last (the audit log, the prescription
    // history): restoring the other tables fires those triggers, and the
    // logs' own TRUNCATE and rows must come after them so that the restored
    // logs are the saved ones.
    for (const char *logTable : {"recept_elozmeny", "naplo"}) {
        const auto log = std::find_if(out.begin(), out.end(), [&](const QString &t) {
            return t.compare(QLatin1String(logTable), Qt::CaseInsensitive) == 0;
        });
        if (log != out.end())
            std::rotate(log, log + 1, out.end());
    }
    return out;
}

void BackupWriter::appendTable(const QString &table, std::string &out, QIODevice *device)
{
    const QString name = sqlName(table);
    // The column list first: single-precision floats are read as doubles,
    // whose text gives back the very same float, while the float's own text
    // has only six digits.
    const RowSet shape = m_db.query(QStringLiteral("SELECT * FROM %1 LIMIT 0;").arg(name));
    // String columns without a collation hold bytes, not letters.
    QSet<QString> binaryColumns;
    const RowSet described = m_db.query(QStringLiteral("SHOW FULL COLUMNS FROM %1;").arg(name));
    const int fieldCol = described.fieldIndex(QStringLiteral("Field"));
    const int collationCol = described.fieldIndex(QStringLiteral("Collation"));
    if (fieldCol >= 0 && collationCol >= 0)
        for (int r = 0; r < described.rowCount(); ++r)
            if (described.isNull(r, collationCol))
                binaryColumns.insert(described.text(r, fieldCol).toLower());
    QStringList select, columns;
    QVector<bool> binaryString;
    for (const RowSet::Field &f : shape.fields()) {
        const QString col = sqlName(f.name);
        select << (f.serverType == kTypeFloat ? QStringLiteral("(%1 + 0e0) AS %1").arg(col) : col);
        columns << sqlName(f.name.toLower());
        binaryString << (f.kind == RowSet::Kind::Text && binaryColumns.contains(f.name.toLower()));
    }
    if (select.isEmpty())
        return;

    const QByteArray head = toCp1250(QStringLiteral("INSERT IGNORE INTO %1 (%2) VALUES").arg(name, columns.join(QLatin1Char(','))));
    // The rows are formatted as they arrive, a batch at a time: the table is
    // never held whole, neither as rows nor as text.
    RowSet batch;
    m_db.openStream(QStringLiteral("SELECT %1 FROM %2;").arg(select.join(QLatin1Char(',')), name), batch);
    const QVector<RowSet::Field> fields = batch.fields();
    const int cols = int(fields.size());
    qint64 number = 0;
    try {
        for (;;) {
            batch.setFields(fields); // empties the rows
            const int n = m_db.readStream(batch, kBatchRows);
            for (int r = 0; r < n; ++r) {
                ++number;
                if (number == 1) {
                    appendBytes(out, head);
                    out += "\r\n";
                } else if (number % 100 == 0) {
                    // Rows 1..99 make the first statement, every further one 100 rows.
                    out += ";\r\n";
                    appendBytes(out, head);
                    out += "\r\n";
                } else {
                    out += ",\r\n";
                }
                out += '(';
                for (int c = 0; c < cols; ++c) {
                    if (c)
                        out += ',';
                    appendCell(out, batch, r, c, binaryString.at(c));
                }
                out += ')';
                if (device && out.size() >= size_t(kFlushBytes))
                    flushTo(*device, out);
            }
            m_rowsDone += n;
            if (m_rowStep)
                m_rowStep(m_rowsDone);
            if (n < kBatchRows)
                break;
        }
    } catch (...) {
        // Stopped or failed part-way: the unread rest of the table is not
        // fetched (that could take seconds); the link goes instead.
        if (m_db.streamOpen())
            m_db.abandon();
        throw;
    }
    if (number > 0)
        out += ";\r\n";
}

void BackupWriter::flushTo(QIODevice &device, std::string &out)
{
    if (device.write(out.data(), qint64(out.size())) != qint64(out.size()))
        throw Error(device.errorString().isEmpty() ? QStringLiteral("A mentés írása megszakadt") // SaveWith names the file's reason
                                                   : device.errorString());
    out.clear();
}

qint64 BackupWriter::estimatedRows()
{
    // The server's estimate (exact for the small tables, close for the large
    // ones): counting every table would read it twice.
    const RowSet rs = m_db.query(QStringLiteral(
        "SELECT COALESCE(SUM(table_rows), 0) FROM information_schema.tables "
        "WHERE table_schema = DATABASE() AND table_type = 'BASE TABLE'"));
    return rs.rowCount() ? rs.toInt(0, 0, 0) : 0;
}

QByteArray BackupWriter::tableInsertScript(const QString &table)
{
    std::string out;
    appendTable(table, out, nullptr);
    if (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0)
        out.resize(out.size() - 2);
    return QByteArray(out.data(), qsizetype(out.size()));
}

int BackupWriter::writeScript(QIODevice &file, const BackupProgress &progress)
{
    const QStringList tables = baseTables();
    // A plain byte string: appending to it costs a fraction of QByteArray's.
    std::string out;
    out.reserve(size_t(kFlushBytes) + 65536);
    m_rowsDone = 0;
    // The file says its own code page, so that the stock client given
    // nothing but the file reads its letters right.
    out += "SET NAMES cp1250;\r\n";
    out += "SET FOREIGN_KEY_CHECKS=0;\r\n";
    for (int i = 0; i < tables.size(); ++i) {
        if (progress)
            progress(i, int(tables.size()));
        appendBytes(out, toCp1250(QStringLiteral("TRUNCATE %1;").arg(sqlName(tables.at(i)))));
        out += "\r\n";
        appendTable(tables.at(i), out, &file);
    }
    out += "SET FOREIGN_KEY_CHECKS=1;\r\n";
    flushTo(file, out);
    return int(tables.size());
}

void BackupWriter::writeScript(const QString &path, const BackupProgress &progress)
{
    SaveWith(path, [&](QIODevice &file) { return writeScript(file, progress); }, SaveFile::Access::OwnerOnly);
}

// The backup runs on a thread of its own with the backup's connection: the
// server's rows, the formatting, the disk's writes (which the system may hold
// back for a moment when much is waiting) and the final sync never hold the
// window. The window's thread only shows what the worker has counted and
// passes the user's stop to it.
QString WriteDataBackup(Connection &db, const QString &chosen, QWidget *parent, const BackupProgress &onTable)
{
    const QFileInfo fi(chosen);
    const bool zip = fi.suffix().compare(QLatin1String("zip"), Qt::CaseInsensitive) == 0;
    const QString target = zip ? fi.path() + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral(".zip") : chosen;
    const QString entry = fi.completeBaseName() + QStringLiteral(".sql");
    const QString cancelled = QString::fromUtf8(kBackupCancelled);

    struct Shared {
        std::atomic<qint64> rows{0};
        std::atomic<qint64> estimate{0};
        std::atomic<int> table{-1};
        std::atomic<int> tables{0};
        std::atomic<bool> stop{false};
        bool done = false;
        std::exception_ptr failure;
        std::mutex mutex;
        std::condition_variable ended;
    } shared;

    std::thread worker([&] {
        Connection::threadInit();
        try {
            BackupWriter writer(db);
            shared.estimate = writer.estimatedRows();
            writer.setRowStep([&](qint64 rows) {
                shared.rows = rows;
                if (shared.stop)
                    throw JobCancelled(cancelled);
            });
            const BackupProgress tables = [&](int index, int count) {
                shared.tables = count;
                shared.table = index;
                if (shared.stop)
                    throw JobCancelled(cancelled);
            };
            SaveWith(
                target,
                [&](QIODevice &out) {
                    if (!zip)
                        return writer.writeScript(out, tables);
                    ZipStreamDevice packed(out, entry);
                    const int n = writer.writeScript(packed, tables);
                    packed.finish();
                    return n;
                },
                SaveFile::Access::OwnerOnly);
        } catch (...) {
            shared.failure = std::current_exception();
        }
        Connection::threadEnd();
        const std::lock_guard<std::mutex> lock(shared.mutex);
        shared.done = true;
        shared.ended.notify_all();
    });

    JobProgress progress(QStringLiteral("Biztonsági mentés"), QStringLiteral("sor"), parent);
    int shownTable = -1;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(shared.mutex);
            if (shared.ended.wait_for(lock, std::chrono::milliseconds(10), [&] { return shared.done; }))
                break;
        }
        const int table = shared.table;
        if (table != shownTable && table >= 0) {
            shownTable = table;
            const int count = shared.tables;
            if (onTable)
                onTable(table, count);
            progress.setText(QStringLiteral("Biztonsági mentés: %1. tábla a %2 közül").arg(table + 1).arg(count));
        }
        const qint64 rows = shared.rows;
        // The estimate may fall short of what is read.
        progress.setTotal(qMax<qint64>(shared.estimate, rows));
        if (!progress.advance(rows))
            shared.stop = true; // the worker stops at its next batch
    }
    worker.join();
    if (shared.failure)
        std::rethrow_exception(shared.failure);
    return target;
}

void ZipSingleFile(const QString &file, const QString &zipPath, const QString &entryName)
{
    WriteZip(zipPath, {ZipEntry{entryName.isEmpty() ? QFileInfo(file).fileName() : entryName, {}, file}});
}

QString FileSizeText(qint64 bytes)
{
    QString digits = QString::number(bytes);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(' '));
    return digits + QStringLiteral(" bájt");
}

} // namespace qo
