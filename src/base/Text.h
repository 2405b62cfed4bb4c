#pragma once
// Small stateless text helpers: nullable field values (a NULL is an invalid
// QVariant, as RowSet::value gives it), text cleaning, UTF-8 conversion and
// FieldPart.
#include <QByteArray>
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

// Dotted versions compared part by part as numbers ("23.0.0.100" is above
// "23.0.0.44"; a missing part counts as 0, "23.0" equals "23.0.0.0"): <0, 0, >0.
// A part that is no number compares as text after the numbers.
int CompareVersions(const QString &a, const QString &b);
// The highest of the versions by CompareVersions; "" for none.
QString HighestVersion(const QStringList &versions);

} // namespace qo
