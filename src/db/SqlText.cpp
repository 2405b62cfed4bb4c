#include "db/SqlText.h"
#include "base/Text.h"

namespace qo {

// ---- SQL text --------------------------------------------------------------

// Relies on the connection's session sql_mode: the connection clears
// NO_BACKSLASH_ESCAPES when it opens. Under that mode a server would store
// these backslash escapes literally.
QString SqlEscape(const QString &text)
{
    QString r;
    r.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': r += QLatin1String("\\\\"); break;
        case '\r': r += QLatin1String("\\r"); break;
        case '\n': r += QLatin1String("\\n"); break;
        default: r += c; break;
        }
    }
    return r;
}

QString SqlEscape(const QVariant &value)
{
    return value.isNull() ? QString() : SqlEscape(value.toString());
}

QString SqlQuote(const QString &text)
{
    QString e = SqlEscape(text);
    e.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + e + QLatin1Char('\'');
}

QString SqlQuote(const QVariant &value)
{
    return SqlQuote(value.isNull() ? QString() : value.toString());
}

QString UnescapeLineBreaks(const QString &text)
{
    // A doubled backslash is an escaped backslash and is passed on as a pair,
    // so "\\" followed by "r\n" (a backslash, then "r" and a line break in the
    // value) is not mistaken for a line break.
    QString r;
    r.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < n) {
            const QChar c1 = text.at(i + 1);
            if (c1 == QLatin1Char('\\')) {
                r += QLatin1String("\\\\");
                i += 2;
                continue;
            }
            if (i + 3 < n && (c1 == QLatin1Char('r') || c1 == QLatin1Char('R'))
                && text.at(i + 2) == QLatin1Char('\\')
                && (text.at(i + 3) == QLatin1Char('n') || text.at(i + 3) == QLatin1Char('N'))) {
                r += QLatin1String("\r\n");
                i += 4;
                continue;
            }
        }
        r += c;
        ++i;
    }
    return r;
}

QString UnescapeLineBreaks(const QVariant &value)
{
    return value.isNull() ? QString() : UnescapeLineBreaks(value.toString());
}

QString FlattenLineBreaks(const QString &text)
{
    QString r;
    r.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': r += QLatin1String("\\\\"); break;
        case '\r': r += QLatin1String("\\n"); break;
        case '\n': break;
        default: r += c; break;
        }
    }
    return r;
}

QString FlattenLineBreaks(const QVariant &value)
{
    return value.isNull() ? QString() : FlattenLineBreaks(value.toString());
}

QString SqlDateLiteral(const QDate &date)
{
    // An empty literal would be stored as a zero date or refused by a strict
    // server; a missing date is a NULL.
    if (!date.isValid())
        return QStringLiteral("NULL");
    return QLatin1Char('\'') + date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\'');
}

QString ReplaceWhereLine(QStringList &lines, const QString &condition)
{
    for (QString &line : lines) {
        if (line.startsWith(QLatin1String("WHERE"), Qt::CaseInsensitive)) {
            line = QStringLiteral("WHERE ") + condition;
            break;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

QString ReplaceOrderByLine(QStringList &lines, const QString &order)
{
    for (QString &line : lines) {
        if (line.startsWith(QLatin1String("ORDER"), Qt::CaseInsensitive)) {
            line = QStringLiteral("ORDER BY ") + order + QLatin1Char(';');
            break;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

QString AppendToWhereLine(QStringList &lines, const QString &condition)
{
    for (QString &line : lines) {
        if (line.trimmed().startsWith(QLatin1String("WHERE"), Qt::CaseInsensitive)) {
            const qsizetype semi = line.indexOf(QLatin1Char(';'));
            if (semi >= 0) {
                line.remove(semi, 1);
                line += condition + QLatin1Char(';');
            } else {
                line += condition;
            }
            break;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

namespace {

constexpr int kMaxFilterColumns = 15;
constexpr int kMaxSearchWords = 6;

// The typed text as a LIKE pattern that matches it literally: "%", "_" and
// the escape character itself get a backslash, LIKE's default escape. The
// backslashes are then doubled once more by SqlQuote for the string literal;
// both rely on the session clearing NO_BACKSLASH_ESCAPES, which every
// connection does as it opens.
QString likeLiteral(const QString &word)
{
    QString r;
    r.reserve(word.size() + 4);
    for (const QChar c : word) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            r += QLatin1Char('\\');
        r += c;
    }
    return r;
}

// "(c1 LIKE '%w%') OR (c2 LIKE '%w%') ..." over the column list.
QString likeOverColumns(const QString &columns, const QString &word)
{
    const QString pattern = SqlQuote(QLatin1Char('%') + likeLiteral(word) + QLatin1Char('%'));
    QStringList parts;
    for (int i = 1; i <= kMaxFilterColumns; ++i) {
        const QString col = FieldPart(QStringLiteral(";"), columns, i);
        if (col.isEmpty())
            break;
        parts << QLatin1Char('(') + col + QLatin1String(" LIKE ") + pattern + QLatin1Char(')');
    }
    // Joined here rather than by rewriting ")(" in the finished text, so a
    // ")(" typed into the search box is searched for as it is.
    return parts.join(QLatin1String(" OR "));
}

} // namespace

QString BuildLikeFilter(const QString &columns, const QString &text)
{
    if (text.isEmpty())
        return QString();
    return QStringLiteral(" AND (") + likeOverColumns(columns, text) + QLatin1Char(')');
}

QString BuildWordFilter(const QString &columns, const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char(' '));
    t.replace(QLatin1Char(';'), QLatin1Char(' '));
    if (t.trimmed().isEmpty())
        return QString();
    QStringList words;
    // Empty pieces (between adjacent blanks) still use up a word number.
    for (int i = 1; i <= kMaxSearchWords; ++i) {
        const QString w = FieldPart(QStringLiteral(" "), t, i).trimmed();
        if (!w.isEmpty())
            words << QLatin1Char('(') + likeOverColumns(columns, w) + QLatin1Char(')');
    }
    // Words only beyond the sixth piece: no condition rather than an empty
    // " AND ()" the server would refuse.
    if (words.isEmpty())
        return QString();
    return QStringLiteral(" AND (") + words.join(QLatin1String(" AND ")) + QLatin1Char(')');
}

} // namespace qo
