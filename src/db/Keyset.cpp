#include "db/Keyset.h"
#include "db/SqlText.h"

#include <QStringList>
#include <mysql.h>

namespace qo {

namespace {

// Splits at commas outside parentheses and quotes.
QStringList splitTerms(const QString &s)
{
    QStringList out;
    int depth = 0;
    QChar quote;
    qsizetype start = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            quote = c;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (c == QLatin1Char(',') && depth == 0) {
            out << s.mid(start, i - start).trimmed();
            start = i + 1;
        }
    }
    out << s.mid(start).trimmed();
    out.removeAll(QString());
    return out;
}

QString literal(const RowSet &rs, int r, int c)
{
    const RowSet::Field &f = rs.field(c);
    if (f.serverType == MYSQL_TYPE_DOUBLE) {
        // The server sends a DOUBLE's shortest exact text; written back with
        // all its digits as a double literal it is the stored value itself.
        const QString digits = QString::number(rs.toDouble(r, c), 'g', 17);
        return digits.contains(QLatin1Char('e')) ? digits : digits + QStringLiteral("e0");
    }
    if (f.kind == RowSet::Kind::Integer || f.kind == RowSet::Kind::Float) {
        int len;
        const char *p = rs.rawData(r, c, &len);
        return QString::fromLatin1(p, len);
    }
    return SqlQuote(rs.text(r, c));
}

} // namespace

QVector<SortTerm> ParseOrderBy(const QString &line, const RowSet &result)
{
    QString s = line.trimmed();
    if (s.startsWith(QLatin1String("ORDER BY"), Qt::CaseInsensitive))
        s = s.mid(8);
    while (s.endsWith(QLatin1Char(';')))
        s.chop(1);
    QVector<SortTerm> terms;
    for (QString t : splitTerms(s)) {
        SortTerm term;
        if (t.endsWith(QLatin1String(" DESC"), Qt::CaseInsensitive)) {
            term.desc = true;
            t.chop(5);
        } else if (t.endsWith(QLatin1String(" ASC"), Qt::CaseInsensitive)) {
            t.chop(4);
        }
        t = t.trimmed();
        bool number = false;
        const int n = t.toInt(&number);
        if (number && n >= 1 && n <= result.columnCount())
            t = result.field(n - 1).name;
        term.expr = t;
        term.column = t.mid(t.lastIndexOf(QLatin1Char('.')) + 1);
        terms << term;
    }
    return terms;
}

QVector<SortTerm> WithKey(QVector<SortTerm> terms, const QString &keyField)
{
    if (keyField.isEmpty())
        return terms;
    for (const SortTerm &t : terms)
        if (t.column.compare(keyField, Qt::CaseInsensitive) == 0)
            return terms;
    terms << SortTerm{keyField, keyField, false};
    return terms;
}

bool KeysetExact(const RowSet::Field &field)
{
    // A FLOAT is sent with six digits: its text may not be its value.
    return field.serverType != MYSQL_TYPE_FLOAT;
}

QString OrderByText(const QVector<SortTerm> &terms, bool reversed)
{
    QStringList parts;
    for (const SortTerm &t : terms)
        parts << (t.desc != reversed ? t.expr + QStringLiteral(" DESC") : t.expr);
    return parts.join(QStringLiteral(", "));
}

QString KeysetCondition(const QVector<SortTerm> &terms, const RowSet &rs, int r, bool before, bool inclusive)
{
    // Row after (v1..vn): for some i, every earlier term equal and term i after.
    // Going backwards is going forwards in the reversed order, where an
    // ascending term sorts descending with its NULLs last, as the server does.
    QStringList alternatives;
    QString equalSoFar;
    for (const SortTerm &t : terms) {
        const int c = rs.fieldIndex(t.column);
        if (c < 0)
            break;
        const bool desc = t.desc != before;
        const bool null = rs.isNull(r, c);
        const QString v = null ? QString() : literal(rs, r, c);
        QString after;
        if (!desc)
            after = null ? t.expr + QStringLiteral(" IS NOT NULL") : t.expr + QStringLiteral(" > ") + v;
        else if (!null)
            after = QLatin1Char('(') + t.expr + QStringLiteral(" < ") + v + QStringLiteral(" OR ") + t.expr
                + QStringLiteral(" IS NULL)");
        if (!after.isEmpty())
            alternatives << (equalSoFar.isEmpty() ? after : equalSoFar + QStringLiteral(" AND ") + after);
        const QString equal = null ? t.expr + QStringLiteral(" IS NULL") : t.expr + QStringLiteral(" = ") + v;
        equalSoFar = equalSoFar.isEmpty() ? equal : equalSoFar + QStringLiteral(" AND ") + equal;
    }
    if (inclusive && !equalSoFar.isEmpty())
        alternatives << equalSoFar;
    if (alternatives.isEmpty())
        return QStringLiteral("0");
    return QStringLiteral("((") + alternatives.join(QStringLiteral(") OR (")) + QStringLiteral("))");
}

} // namespace qo
