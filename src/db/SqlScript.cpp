#include "db/SqlScript.h"

#include <QRegularExpression>

namespace qo {

namespace {


// "DELIMITER x" (any letter case) at the start of a line, outside a statement.
// Returns the new delimiter, empty when the line is no such command.
QString delimiterCommand(const QString &line)
{
    const QString t = line.trimmed();
    static const QLatin1String kWord("DELIMITER");
    if (!t.startsWith(kWord, Qt::CaseInsensitive) || t.size() <= kWord.size() || !t.at(kWord.size()).isSpace())
        return {};
    QString d = t.mid(kWord.size()).trimmed();
    const qsizetype sp = d.indexOf(QRegularExpression(QStringLiteral("\\s")));
    if (sp >= 0)
        d.truncate(sp);
    return d;
}

} // namespace

QList<SqlStatement> SplitSqlScript(const QString &script, SqlScriptOptions options, QString *rest)
{
    QList<SqlStatement> out;
    QString delimiter = QStringLiteral(";");
    QString current;  // the statement read so far
    int startLine = 0; // line of its first non-blank character; 0 while it has none
    int line = 1;
    const qsizetype n = script.size();
    qsizetype i = 0;
    bool atLineStart = true;

    auto finish = [&] {
        const QString t = current.trimmed();
        if (!t.isEmpty())
            out.append({t, startLine ? startLine : line});
        current.clear();
        startLine = 0;
    };
    auto take = [&](QChar c) {
        if (!startLine && !c.isSpace())
            startLine = line;
        current += c;
    };

    while (i < n) {
        // A DELIMITER command only counts between statements, as the client reads it.
        // (startLine stays 0 while the statement holds only blanks: no copy of
        // a long statement at each of its lines.)
        if (atLineStart && startLine == 0) {
            qsizetype eol = script.indexOf(QLatin1Char('\n'), i);
            if (eol < 0)
                eol = n;
            const QString d = delimiterCommand(script.mid(i, eol - i));
            if (!d.isEmpty()) {
                delimiter = d;
                current.clear();
                startLine = 0;
                i = eol;
                continue;
            }
        }
        const QChar c = script.at(i);
        atLineStart = false;

        if (c == QLatin1Char('\n')) {
            current += c;
            ++line;
            ++i;
            atLineStart = true;
            continue;
        }

        // Strings and quoted names: up to the same unescaped quote; a doubled
        // quote stands for itself, a backslash escapes the next character.
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            take(c);
            ++i;
            while (i < n) {
                const QChar d = script.at(i);
                if (d == QLatin1Char('\n'))
                    ++line;
                if (d == QLatin1Char('\\') && c != QLatin1Char('`') && i + 1 < n) {
                    current += d;
                    current += script.at(i + 1);
                    if (script.at(i + 1) == QLatin1Char('\n'))
                        ++line;
                    i += 2;
                    continue;
                }
                current += d;
                ++i;
                if (d == c) {
                    if (i < n && script.at(i) == c) { // doubled quote
                        current += c;
                        ++i;
                        continue;
                    }
                    break;
                }
            }
            continue;
        }

        // "-- " (or "--" at the end of a line) and "#": to the end of the line.
        const bool dashComment = c == QLatin1Char('-') && i + 1 < n && script.at(i + 1) == QLatin1Char('-')
            && (i + 2 >= n || script.at(i + 2).isSpace());
        if (dashComment || c == QLatin1Char('#')) {
            qsizetype eol = script.indexOf(QLatin1Char('\n'), i);
            if (eol < 0)
                eol = n;
            if (options.keepComments) {
                const QString comment = script.mid(i, eol - i);
                if (!startLine)
                    startLine = line;
                current += comment;
            }
            i = eol;
            continue;
        }

        // "/* ... */"; "/*! ... */" is code for the server and stays.
        if (c == QLatin1Char('/') && i + 1 < n && script.at(i + 1) == QLatin1Char('*')) {
            const bool versioned = i + 2 < n && script.at(i + 2) == QLatin1Char('!');
            qsizetype end = script.indexOf(QLatin1String("*/"), i + 2);
            end = end < 0 ? n : end + 2;
            const QString comment = script.mid(i, end - i);
            if (options.keepComments || versioned) {
                if (!startLine)
                    startLine = line;
                current += comment;
            } else {
                current += QLatin1Char(' ');
            }
            line += int(comment.count(QLatin1Char('\n')));
            i = end;
            continue;
        }

        if (QStringView(script).mid(i, delimiter.size()).compare(delimiter, Qt::CaseInsensitive) == 0) {
            finish();
            i += delimiter.size();
            continue;
        }

        take(c);
        ++i;
    }
    if (rest) {
        *rest = current.trimmed();
        return out;
    }
    finish();
    return out;
}

} // namespace qo
