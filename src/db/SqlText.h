#pragma once
// SQL text building: quoting, date literals, the WHERE / ORDER BY lines of the
// list queries and the search conditions.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace qo {

// ---- SQL text --------------------------------------------------------------

// Backslash, CR and LF escaped for a MySQL string literal; NULL gives "".
QString SqlEscape(const QVariant &value);
QString SqlEscape(const QString &text);
inline QString SqlEscape(const char *text) { return SqlEscape(QString::fromUtf8(text)); }
// Always a string literal: SqlEscape'd, single quotes doubled, between single
// quotes; NULL gives ''.
QString SqlQuote(const QVariant &value);
QString SqlQuote(const QString &text);
inline QString SqlQuote(const char *text) { return SqlQuote(QString::fromUtf8(text)); }
// The four characters \r\n (either letter case) become a real CR LF pair.
QString UnescapeLineBreaks(const QVariant &value);
QString UnescapeLineBreaks(const QString &text);
inline QString UnescapeLineBreaks(const char *text) { return UnescapeLineBreaks(QString::fromUtf8(text)); }
// One-line form of a value for delimited text files.
QString FlattenLineBreaks(const QVariant &value);
QString FlattenLineBreaks(const QString &text);
inline QString FlattenLineBreaks(const char *text) { return FlattenLineBreaks(QString::fromUtf8(text)); }
// '2024-03-05'; an invalid date gives NULL.
QString SqlDateLiteral(const QDate &date);

// The list queries are held one clause per line; these rewrite one line in
// place and return the whole text joined with "\n".
QString ReplaceWhereLine(QStringList &lines, const QString &condition);
QString ReplaceOrderByLine(QStringList &lines, const QString &order);
QString AppendToWhereLine(QStringList &lines, const QString &condition);

// " AND ((c1 LIKE '%t%') OR (c2 LIKE '%t%') ...)" over up to 15 ';'-separated
// columns, or "" for an empty text. The text is found as typed: "%", "_" and
// "\" in it are escaped, not LIKE syntax.
QString BuildLikeFilter(const QString &columns, const QString &text);
// Every word (up to six) must occur in at least one of the columns; "" when
// the text holds no word.
QString BuildWordFilter(const QString &columns, const QString &text);


} // namespace qo

namespace qo {

// A list's query as its store defines it: one clause per line (the WHERE line
// is rewritten by searches, the ORDER BY line by sorting), the condition that
// every search keeps, the key and default sort columns, and the ";"-separated
// expressions a search looks in. Written with the names, every field given
// (an unused one as {}):
//   return {.lines = {...}, .baseCondition = "(ugyfel > 0)", .keyField = "ugyfel",
//           .sortField = "ugyfel_nev", .searchColumns = {}};
struct ListSql {
    QStringList lines;
    QString baseCondition;
    QString keyField;
    QString sortField;
    QString searchColumns;
};

} // namespace qo
