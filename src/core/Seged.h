#pragma once
// Small stateless helpers shared by every window: nullable field values, text
// cleaning, SQL-text building (quoting, the WHERE / ORDER BY lines of list
// queries, search conditions), dates, the number display mask and FieldPart.
// A NULL field value is an invalid QVariant (as RowSet::value gives it).
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace qo {

// ---- Field values ----------------------------------------------------------

QString VarToTextDef(const QVariant &value, const QString &def);
// Throws qo::Error when the value is not a whole number (used on integer columns only).
qint64 VarToIntDef(const QVariant &value, qint64 def);
// Throws qo::Error when the value is not a number (used on numeric columns only).
double VarToFloatDef(const QVariant &value, double def);
// "0" for NULL, else the integer in decimal: how keys are pasted into SQL text.
QString VarToIntText(const QVariant &value);

template <typename T>
T ChooseValue(bool flag, const T &a, const T &b)
{
    return flag ? a : b;
}

// ---- Texts -----------------------------------------------------------------

QString ReplaceChar(const QVariant &value, QChar from, QChar to);
QString ReplaceChar(const QString &text, QChar from, QChar to);
inline QString ReplaceChar(const char *text, QChar from, QChar to) { return ReplaceChar(QString::fromUtf8(text), from, to); }
// The text without any of the characters in `chars`.
QString RemoveChars(const QString &chars, const QString &text);
QString LeftChars(const QString &text, int n);
QString RightChars(const QString &text, int n);
// Digits, a leading "-" and the first "." or "," of the trimmed text.
QString KeepNumberChars(const QString &text);
// Integer value of KeepNumberChars(text); 0 when that is empty or not a whole number.
int TextToIntLoose(const QString &text);
// Lower-case text usable as a file name: blanks and punctuation that file
// systems or shells object to become "-", non-ASCII letters "_".
QString MakeFileNameSafe(const QString &text);
// Text downloaded as UTF-8 bytes, reduced to the Hungarian letters of Windows-1250.
QString Utf8ToLocalText(const QByteArray &utf8);
QByteArray LocalToUtf8(const QString &text);

// The n-th piece (from 1) of the text split at any of the separator
// characters; empty when there is no such piece.
QString FieldPart(const QString &separators, const QString &text, int n);

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
// columns, or "" for an empty text.
QString BuildLikeFilter(const QString &columns, const QString &text);
// Every word (up to six) must occur in at least one of the columns; "" when
// the text holds no word.
QString BuildWordFilter(const QString &columns, const QString &text);

// ---- Dates -----------------------------------------------------------------

int YearOfDate(const QDate &date);
int MonthOfDate(const QDate &date);
int IsoWeekOfDate(const QDate &date);
// "2024.02.01 - 2024.02.29"
QString PeriodText(const QDate &from, const QDate &to);

// ---- Numbers ---------------------------------------------------------------

// A number through a display mask such as "### ### ##0" or "#,##0.00":
// "0" and "#" are digit places (a "0" always shows a digit), "," anywhere in
// the whole part groups digits by three with a blank, the first "." starts
// the decimals (shown with the Hungarian decimal comma), other characters are
// copied (a character standing between digit places only once a digit has
// been written), text in quotes is copied as it is; up to three sections
// "positive;negative;zero". Rounds half away from zero; a negative value that
// rounds to zero shows no minus sign.
QString FormatMask(double value, const QString &mask);

} // namespace qo
