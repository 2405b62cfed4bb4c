#include "admin/SqlScriptRunner.h"

#include "base/Error.h"
#include "db/Connection.h"

namespace qo {

namespace {

// Walks the lines as the script mode reads them and hands over each
// complete statement; returns the text left in the buffer at the end.
template <typename OnLine, typename OnStatement>
QString walk(const QStringList &lines, OnLine onLine, OnStatement onStatement)
{
    QString delimiter = QStringLiteral(";");
    QStringList buffer;
    for (int i = 0; i < lines.size(); ++i) {
        onLine(i);
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        // Only the lower-case word counts; the new delimiter is the second
        // field when the line is cut at every single space.
        if (line.startsWith(QLatin1String("delimiter"))) {
            const QStringList fields = line.split(QLatin1Char(' '));
            delimiter = fields.size() > 1 ? fields.at(1) : QString();
            continue;
        }
        buffer << line;
        if (!line.endsWith(delimiter))
            continue;
        QString sql = buffer.join(QLatin1Char('\n')).trimmed();
        sql.chop(delimiter.size());
        sql = sql.trimmed();
        buffer.clear();
        if (sql.isEmpty())
            continue; // a delimiter standing alone
        if (!onStatement(SqlScriptRunner::Statement{sql, i}))
            return {};
    }
    return buffer.join(QLatin1Char('\n')).trimmed();
}

} // namespace

QList<SqlScriptRunner::Statement> SqlScriptRunner::split(const QStringList &lines, QString *leftOver)
{
    QList<Statement> out;
    const QString rest = walk(lines, [](int) {}, [&out](const Statement &s) {
        out << s;
        return true;
    });
    if (leftOver)
        *leftOver = rest;
    return out;
}

SqlScriptRunner::Result SqlScriptRunner::run(const QStringList &lines, const Progress &progress)
{
    Result result;
    QString checksBefore;
    try {
        checksBefore = m_db.query(QStringLiteral("SELECT @@SESSION.foreign_key_checks;")).text(0, 0);
    } catch (const Error &) {
        // A server without the variable: nothing to put back later.
    }
    const int count = int(lines.size());
    result.leftOver = walk(
        lines,
        [&](int line) {
            if (progress)
                progress(line, count);
        },
        [&](const Statement &s) {
            try {
                m_db.exec(s.sql);
            } catch (const Error &e) {
                result.ok = false;
                result.error = e.message();
                result.failedSql = s.sql;
                return false;
            }
            ++result.statementsRun;
            return true;
        });
    if (!result.ok && (checksBefore == QLatin1String("0") || checksBefore == QLatin1String("1"))) {
        try {
            m_db.exec(QStringLiteral("SET FOREIGN_KEY_CHECKS=%1;").arg(checksBefore));
        } catch (const Error &) {
            // The run's own error is the one to report.
        }
    }
    return result;
}

} // namespace qo
