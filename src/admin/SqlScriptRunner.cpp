#include "admin/SqlScriptRunner.h"

#include "base/Error.h"
#include "db/Connection.h"
#include "db/SqlScript.h"
#include "ui/JobProgress.h"

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

SqlScriptRunner::Result SqlScriptRunner::run(const QString &text, const Progress &progress, const Exec &exec)
{
    Result result;
    QString checksBefore;
    try {
        checksBefore = m_db.query(QStringLiteral("SELECT @@SESSION.foreign_key_checks;")).text(0, 0);
    } catch (const Error &) {
        // A server without the variable: nothing to put back later.
    }
    const QList<Statement> statements = split(text, &result.leftOver);
    result.statementsTotal = int(statements.size());
    for (int k = 0; k < statements.size(); ++k) {
        const Statement &s = statements.at(k);
        try {
            if (!setsCharacterSet(s.sql)) {
                if (exec)
                    exec(s.sql);
                else
                    m_db.exec(s.sql);
            }
        } catch (const JobCancelled &) {
            result.stopped = true;
            result.stoppedNumber = k + 1;
            result.stoppedLine = s.firstLine;
            break;
        } catch (const Error &e) {
            result.ok = false;
            result.error = e.message();
            result.failedSql = s.sql;
            result.failedNumber = k + 1;
            result.failedLine = s.firstLine;
            break;
        }
        ++result.statementsRun;
        if (progress) {
            try {
                progress(result.statementsRun, result.statementsTotal);
            } catch (const JobCancelled &) {
                // A stop after the last statement comes too late to stop anything.
                if (k + 1 < statements.size()) {
                    result.stopped = true;
                    result.stoppedNumber = k + 2;
                    result.stoppedLine = statements.at(k + 1).firstLine;
                    break;
                }
            }
        }
    }
    if (!result.ok || result.stopped) {
        // A stop's KILL QUERY may still arrive and break off one of these
        // (1317): each is tried twice.
        auto twice = [&](const std::function<void()> &step) {
            for (int attempt = 0; attempt < 2; ++attempt) {
                try {
                    step();
                    return;
                } catch (const Error &e) {
                    if (e.code() != 1317)
                        return; // the run's own error is the one to report
                }
            }
        };
        if (checksBefore == QLatin1String("0") || checksBefore == QLatin1String("1"))
            twice([&] { m_db.exec(QStringLiteral("SET FOREIGN_KEY_CHECKS=%1;").arg(checksBefore)); });
        twice([&] {
            result.transactionOpen = m_db.query(QStringLiteral("SELECT @@in_transaction;")).text(0, 0) == QLatin1String("1");
        });
    }
    return result;
}

} // namespace qo
