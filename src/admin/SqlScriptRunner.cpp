#include "admin/SqlScriptRunner.h"

#include "base/Error.h"
#include "db/Connection.h"

#include <QRegularExpression>

namespace qo {

namespace {

// Reads a script as the server reads a statement: quotes and comments hide
// the delimiter. A "delimiter" line outside them changes it and is dropped.
QList<SqlScriptRunner::Statement> splitScript(const QString &text, QString *leftOver)
{
    enum class In { Code, Single, Double, Name, LineComment, BlockComment };
    QList<SqlScriptRunner::Statement> out;
    QString delimiter = QStringLiteral(";");
    In in = In::Code;
    QString buffer;
    bool hasCode = false; // the buffer holds more than blanks and comments
    int first = 0;
    int line = 1;
    const qsizetype n = text.size();
    const QStringView all(text);

    auto finish = [&]() {
        const QString sql = buffer.trimmed();
        if (hasCode && !sql.isEmpty())
            out << SqlScriptRunner::Statement{sql, first, line};
        buffer.clear();
        hasCode = false;
    };
    // The first character of a statement: blanks and comments before it
    // (a comment left after the previous statement's delimiter) are dropped.
    auto code = [&]() {
        if (!hasCode) {
            hasCode = true;
            first = line;
            buffer.clear();
        }
    };

    qsizetype i = 0;
    while (i < n) {
        if (in == In::Code && (i == 0 || text.at(i - 1) == QLatin1Char('\n'))) {
            qsizetype end = text.indexOf(QLatin1Char('\n'), i);
            if (end < 0)
                end = n;
            const QString l = text.mid(i, end - i).trimmed();
            // Only the lower-case word counts; the new delimiter is the second
            // field when the line is cut at every single space.
            if (l.startsWith(QLatin1String("delimiter"))) {
                const QStringList fields = l.split(QLatin1Char(' '));
                delimiter = fields.size() > 1 ? fields.at(1) : QString();
                i = end;
                continue;
            }
        }
        const QChar c = text.at(i);
        const QChar next = i + 1 < n ? text.at(i + 1) : QChar();
        switch (in) {
        case In::Code:
            if (delimiter.isEmpty() ? c == QLatin1Char('\n')
                                    : all.mid(i).startsWith(QStringView(delimiter))) {
                finish();
                if (delimiter.isEmpty()) {
                    ++line;
                    ++i;
                } else {
                    i += delimiter.size();
                }
                continue;
            }
            if (c == QLatin1Char('\'')) {
                in = In::Single;
            } else if (c == QLatin1Char('"')) {
                in = In::Double;
            } else if (c == QLatin1Char('`')) {
                in = In::Name;
            } else if (c == QLatin1Char('#')) {
                in = In::LineComment;
            } else if (c == QLatin1Char('-') && next == QLatin1Char('-')
                       && (i + 2 >= n || text.at(i + 2).isSpace() || text.at(i + 2).unicode() < 0x20)) {
                in = In::LineComment;
            } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
                in = In::BlockComment;
                // "/*!...*/" and "/*M!...*/" are statements for the server.
                const QChar third = i + 2 < n ? text.at(i + 2) : QChar();
                if (third == QLatin1Char('!') || (third == QLatin1Char('M') && i + 3 < n && text.at(i + 3) == QLatin1Char('!')))
                    code();
                buffer += QLatin1String("/*");
                i += 2;
                continue;
            }
            if (in == In::Single || in == In::Double || in == In::Name || (in == In::Code && !c.isSpace()))
                code();
            break;
        case In::Single:
        case In::Double:
            if (c == QLatin1Char('\\') && i + 1 < n) {
                buffer += c;
                buffer += next;
                if (next == QLatin1Char('\n'))
                    ++line;
                i += 2;
                continue;
            }
            if (c == (in == In::Single ? QLatin1Char('\'') : QLatin1Char('"')))
                in = In::Code; // a doubled quote closes and opens again
            break;
        case In::Name:
            if (c == QLatin1Char('`'))
                in = In::Code;
            break;
        case In::LineComment:
            if (c == QLatin1Char('\n'))
                in = In::Code;
            break;
        case In::BlockComment:
            if (c == QLatin1Char('*') && next == QLatin1Char('/')) {
                buffer += QLatin1String("*/");
                i += 2;
                in = In::Code;
                continue;
            }
            break;
        }
        buffer += c;
        if (c == QLatin1Char('\n'))
            ++line;
        ++i;
    }
    if (delimiter.isEmpty())
        finish(); // every line is a statement, the last one too
    if (leftOver)
        *leftOver = hasCode ? buffer.trimmed() : QString();
    return out;
}

} // namespace

QList<SqlScriptRunner::Statement> SqlScriptRunner::split(const QString &text, QString *leftOver)
{
    return splitScript(text, leftOver);
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
