#include "admin/SqlScriptRunner.h"

#include "base/Error.h"
#include "db/Connection.h"
#include "db/SqlScript.h"

#include <QRegularExpression>

namespace qo {

QList<SqlScriptRunner::Statement> SqlScriptRunner::split(const QString &text, QString *leftOver)
{
    QList<Statement> out;
    QString rest; // an unfinished last statement is not run
    const QList<SqlStatement> statements = SplitSqlScript(text, {}, &rest);
    for (int k = 0; k < statements.size(); ++k) {
        const SqlStatement &s = statements.at(k);
        // Where it ends, for the progress: its own lines, at the latest where
        // the next one begins.
        const int end = k + 1 < statements.size() ? statements.at(k + 1).line
                                                  : int(text.count(QLatin1Char('\n'))) + 1;
        out << Statement{s.text, s.line, qBound(s.line, s.line + int(s.text.count(QLatin1Char('\n'))), end)};
    }
    if (leftOver)
        *leftOver = rest;
    return out;
}

bool SqlScriptRunner::setsCharacterSet(const QString &sql)
{
    static const QRegularExpression re(
        QStringLiteral("^(?:/\\*M?!\\d*\\s*)?SET\\s+(?:"
                       "NAMES\\s|CHARACTER\\s+SET\\s|CHARSET\\s|"
                       "(?:SESSION\\s+|@@(?:SESSION\\.)?)?(?:character_set_client|character_set_connection|"
                       "character_set_results|collation_connection)\\s*=)[^,;]*?(?:\\*/)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return re.match(sql.trimmed()).hasMatch();
}

SqlScriptRunner::Result SqlScriptRunner::run(const QString &text, const Progress &progress)
{
    Result result;
    QString checksBefore;
    try {
        checksBefore = m_db.query(QStringLiteral("SELECT @@SESSION.foreign_key_checks;")).text(0, 0);
    } catch (const Error &) {
        // A server without the variable: nothing to put back later.
    }
    const int lines = int(text.count(QLatin1Char('\n'))) + 1;
    const QList<Statement> statements = split(text, &result.leftOver);
    int reached = 0;
    for (int k = 0; k < statements.size(); ++k) {
        const Statement &s = statements.at(k);
        if (!setsCharacterSet(s.sql)) {
            try {
                m_db.exec(s.sql);
            } catch (const Error &e) {
                result.ok = false;
                result.error = e.message();
                result.failedSql = s.sql;
                result.failedNumber = k + 1;
                result.failedLine = s.firstLine;
                break;
            }
        }
        ++result.statementsRun;
        reached = s.lastLine;
        if (progress)
            progress(reached, lines);
    }
    if (result.ok && progress && reached < lines)
        progress(lines, lines);
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
