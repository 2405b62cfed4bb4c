#include "core/Seged.h"
#include "core/Codec.h"
#include "core/Error.h"

#include <QLocale>
#include <cmath>

namespace qo {

// ---- Field values ----------------------------------------------------------

namespace {

bool isIntegerType(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isFloatType(const QVariant &v)
{
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

// A number typed or stored as text: "." or a lone "," as the decimal point.
bool parseNumberText(QString s, double *out)
{
    s = s.trimmed();
    if (!s.contains(QLatin1Char('.')) && s.count(QLatin1Char(',')) == 1)
        s.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double d = QLocale::c().toDouble(s, &ok);
    if (ok)
        *out = d;
    return ok;
}

} // namespace

QString VarToTextDef(const QVariant &value, const QString &def)
{
    return value.isNull() ? def : value.toString();
}

qint64 VarToIntDef(const QVariant &value, qint64 def)
{
    if (value.isNull())
        return def;
    if (isIntegerType(value))
        return value.toLongLong();
    if (isFloatType(value)) {
        const double d = value.toDouble();
        if (std::isfinite(d) && std::fabs(d) < 9.2e18)
            return std::llround(d);
    } else {
        const QString s = value.toString().trimmed();
        bool ok = false;
        const qint64 i = s.toLongLong(&ok);
        if (ok)
            return i;
        double d = 0;
        if (parseNumberText(s, &d) && std::isfinite(d) && std::fabs(d) < 9.2e18)
            return std::llround(d);
    }
    throw Error(QStringLiteral("'%1' nem érvényes egész szám.").arg(value.toString()));
}

double VarToFloatDef(const QVariant &value, double def)
{
    if (value.isNull())
        return def;
    if (isIntegerType(value) || isFloatType(value))
        return value.toDouble();
    double d = 0;
    if (parseNumberText(value.toString(), &d))
        return d;
    throw Error(QStringLiteral("'%1' nem érvényes szám.").arg(value.toString()));
}

QString VarToIntText(const QVariant &value)
{
    // Through the integer so that nothing but digits ever reaches SQL text.
    return QString::number(VarToIntDef(value, 0));
}

// ---- Texts -----------------------------------------------------------------

QString ReplaceChar(const QString &text, QChar from, QChar to)
{
    QString r = text;
    r.replace(from, to);
    return r;
}

QString ReplaceChar(const QVariant &value, QChar from, QChar to)
{
    return value.isNull() ? QString() : ReplaceChar(value.toString(), from, to);
}

QString RemoveChars(const QString &chars, const QString &text)
{
    QString r;
    r.reserve(text.size());
    for (const QChar c : text)
        if (!chars.contains(c))
            r += c;
    return r;
}

QString LeftChars(const QString &text, int n)
{
    return n <= 0 ? QString() : text.left(n);
}

QString RightChars(const QString &text, int n)
{
    return n <= 0 ? QString() : text.right(n);
}

QString KeepNumberChars(const QString &text)
{
    const QString t = text.trimmed();
    QString r;
    bool pointSeen = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            r += c;
        else if (c == QLatin1Char('-') && i == 0)
            r += c;
        else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && !pointSeen) {
            r += c;
            pointSeen = true;
        }
    }
    return r;
}

int TextToIntLoose(const QString &text)
{
    bool ok = false;
    const int v = KeepNumberChars(text).trimmed().toInt(&ok);
    return ok ? v : 0;
}

QString MakeFileNameSafe(const QString &text)
{
    static const QString toDash = QStringLiteral(" !\"#%&'*+/:?@\\");
    QString r;
    r.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (toDash.contains(c)) {
            r += QLatin1Char('-');
        } else if (c.unicode() >= 0x80 && c.unicode() != 0x20AC) {
            // Every letter outside ASCII (in the file's code page: bytes 0x81
            // to 0xFF); a surrogate pair is one character.
            r += QLatin1Char('_');
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
        } else {
            r += c;
        }
    }
    return r.toLower();
}

QString Utf8ToLocalText(const QByteArray &utf8)
{
    QByteArray b = utf8;
    // 1. The two-byte form of ű (C5 B1) straight to its Windows-1250 byte.
    b.replace(QByteArray("\xC5\xB1", 2), QByteArray("\xFB", 1));
    // 2. The registered sign and the lead bytes of the letter-like symbols go.
    b.replace(QByteArray("\xC2\xAE", 2), QByteArray());
    b.replace(QByteArray("\xE2\x84", 2), QByteArray());
    // 3. The Latin Extended-A letters (ő, Ő, Ű) are handled like the Latin-1 ones.
    b.replace('\xC5', '\xC3');

    // 4. Second bytes after C3 become the letters; a, e, i followed by the
    // combining acute accent (CC 81) become á, é, í.
    auto letter = [](uchar second) -> int {
        switch (second) {
        case 0xA1: return 0xE1; // á
        case 0xA9: return 0xE9; // é
        case 0xAD: return 0xED; // í
        case 0xB3: return 0xF3; // ó
        case 0xB6: return 0xF6; // ö
        case 0xB5: return 0xF5; // õ -> ő
        case 0x91: return 0xF5; // ő
        case 0xBA: return 0xFA; // ú
        case 0xBC: return 0xFC; // ü
        case 0xBB: return 0xFB; // û -> ű
        case 0xB1: return 0xFB; // ű
        case 0x81: return 0xC1; // Á
        case 0x89: return 0xC9; // É
        case 0x8D: return 0xCD; // Í
        case 0x93: return 0xD3; // Ó
        case 0x96: return 0xD6; // Ö
        case 0x90: return 0xD5; // Ő
        case 0x9A: return 0xDA; // Ú
        case 0x9C: return 0xDC; // Ü
        case 0xB0: return 0xDB; // Ű
        default: return -1;
        }
    };
    // The combining accent is looked for at the very last byte too, so that a
    // decomposed letter at the end of the text is not left without its accent.
    for (qsizetype p = b.size() - 1; p >= 0; --p) {
        if (p + 1 < b.size() && uchar(b[p]) == 0xC3) {
            const int l = letter(uchar(b[p + 1]));
            if (l >= 0)
                b[p + 1] = char(l);
        }
        if (p >= 2 && uchar(b[p]) == 0x81 && uchar(b[p - 1]) == 0xCC) {
            switch (b[p - 2]) {
            case 'a': b[p - 2] = char(0xE1); break;
            case 'e': b[p - 2] = char(0xE9); break;
            case 'i': b[p - 2] = char(0xED); break;
            default: break;
            }
        }
    }
    // 5. Lead bytes and combining accents disappear.
    QByteArray out;
    out.reserve(b.size());
    for (const char c : std::as_const(b)) {
        const uchar u = uchar(c);
        if (u != 0x81 && u != 0xC3 && u != 0xCC)
            out += c;
    }
    return fromCp1250(out);
}

QByteArray LocalToUtf8(const QString &text)
{
    return text.toUtf8();
}

QString FieldPart(const QString &separators, const QString &text, int n)
{
    QString r;
    if (n < 1)
        return r;
    int piece = 1;
    for (const QChar c : text) {
        if (separators.contains(c)) {
            if (++piece > n)
                break;
        } else if (piece == n) {
            r += c;
        }
    }
    return r;
}

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

// "(c1 LIKE '%w%') OR (c2 LIKE '%w%') ..." over the column list.
QString likeOverColumns(const QString &columns, const QString &word)
{
    const QString pattern = SqlQuote(QLatin1Char('%') + word + QLatin1Char('%'));
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

// ---- Dates -----------------------------------------------------------------

int YearOfDate(const QDate &date)
{
    return date.isValid() ? date.year() : 0;
}

int MonthOfDate(const QDate &date)
{
    return date.isValid() ? date.month() : 0;
}

int IsoWeekOfDate(const QDate &date)
{
    return date.isValid() ? date.weekNumber() : 0;
}

QString PeriodText(const QDate &from, const QDate &to)
{
    const QString f = QStringLiteral("yyyy.MM.dd");
    return from.toString(f) + QLatin1String(" - ") + to.toString(f);
}

// ---- Numbers ---------------------------------------------------------------

namespace {

struct MaskToken {
    enum Kind { Zero, Hash, Literal } kind;
    QString text; // Literal only
};

struct ParsedSection {
    QList<MaskToken> whole; // before the decimal point
    QList<MaskToken> frac;  // after it
    bool hasPoint = false;
    bool thousands = false;
    int wholePlaces = 0, minWhole = 0, fracPlaces = 0, minFrac = 0;
};

QStringList splitSections(const QString &mask)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (const QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

ParsedSection parseSection(const QString &sec)
{
    ParsedSection p;
    for (qsizetype i = 0; i < sec.size(); ++i) {
        const QChar c = sec.at(i);
        QList<MaskToken> &toks = p.hasPoint ? p.frac : p.whole;
        if (c == QLatin1Char('0')) {
            toks << MaskToken{MaskToken::Zero, {}};
        } else if (c == QLatin1Char('#')) {
            toks << MaskToken{MaskToken::Hash, {}};
        } else if (c == QLatin1Char('.')) {
            if (!p.hasPoint)
                p.hasPoint = true;
        } else if (c == QLatin1Char(',')) {
            if (!p.hasPoint)
                p.thousands = true;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = sec.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? sec.size() : end;
            toks << MaskToken{MaskToken::Literal, sec.mid(i + 1, stop - i - 1)};
            i = stop;
        } else {
            toks << MaskToken{MaskToken::Literal, QString(c)};
        }
    }
    int idx = 0, firstZero = -1;
    for (const MaskToken &t : p.whole) {
        if (t.kind == MaskToken::Literal)
            continue;
        if (t.kind == MaskToken::Zero && firstZero < 0)
            firstZero = idx;
        ++idx;
    }
    p.wholePlaces = idx;
    p.minWhole = firstZero < 0 ? 0 : idx - firstZero;
    idx = 0;
    for (const MaskToken &t : p.frac) {
        if (t.kind == MaskToken::Literal)
            continue;
        ++idx;
        if (t.kind == MaskToken::Zero)
            p.minFrac = idx;
    }
    p.fracPlaces = idx;
    return p;
}

// The decimal digits of a non-negative value rounded half away from zero to
// `decimals` places, taken from its 15 significant digits (so 1.005 rounds
// to 1.01 as it reads, not as its binary value lies).
void roundedDigits(double v, int decimals, QString *whole, QString *frac)
{
    const QString e = QString::number(v, 'e', 14); // d.dddddddddddddde+XX
    const qsizetype ePos = e.indexOf(QLatin1Char('e'));
    QString digits = e.left(1) + e.mid(2, ePos - 2);
    int point = e.mid(ePos + 1).toInt() + 1; // digits before the decimal point
    if (point < 0) {
        digits.prepend(QString(-point, QLatin1Char('0')));
        point = 0;
    }
    const qsizetype keep = qsizetype(point) + decimals;
    if (digits.size() < keep)
        digits += QString(keep - digits.size(), QLatin1Char('0'));
    if (digits.size() > keep) {
        const bool up = digits.at(keep) >= QLatin1Char('5');
        digits.truncate(keep);
        if (up) {
            qsizetype i = keep - 1;
            for (; i >= 0; --i) {
                if (digits[i] == QLatin1Char('9')) {
                    digits[i] = QLatin1Char('0');
                } else {
                    digits[i] = QChar(digits[i].unicode() + 1);
                    break;
                }
            }
            if (i < 0) {
                digits.prepend(QLatin1Char('1'));
                ++point;
            }
        }
    }
    QString w = digits.left(point);
    qsizetype lead = 0;
    while (lead < w.size() && w.at(lead) == QLatin1Char('0'))
        ++lead;
    *whole = w.mid(lead);
    *frac = digits.mid(point);
}

QString formatSection(double absValue, const ParsedSection &p, bool minus, bool *isZero)
{
    QString whole, frac;
    roundedDigits(absValue, p.fracPlaces, &whole, &frac);
    auto allZero = [](const QString &s) {
        for (const QChar c : s)
            if (c != QLatin1Char('0'))
                return false;
        return true;
    };
    *isZero = allZero(whole) && allZero(frac);
    while (frac.size() > p.minFrac && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);
    if (whole.size() < p.minWhole)
        whole.prepend(QString(p.minWhole - whole.size(), QLatin1Char('0')));

    QString out;
    if (minus && !*isZero)
        out += QLatin1Char('-');
    const int n = int(whole.size());
    bool written = false;
    auto put = [&](int pos) { // pos: digit position counted from the units
        out += whole.at(n - 1 - pos);
        written = true;
        if (p.thousands && pos > 0 && pos % 3 == 0)
            out += QLatin1Char(' ');
    };
    int place = 0;
    int placesLeft = p.wholePlaces;
    for (const MaskToken &t : p.whole) {
        if (t.kind == MaskToken::Literal) {
            // Between digit places a character only separates digits already written.
            if (written || place == 0 || placesLeft == 0)
                out += t.text;
            continue;
        }
        const int pos = p.wholePlaces - 1 - place;
        if (place == 0) {
            for (int q = n - 1; q >= pos; --q) // digits the mask has no place for
                put(q);
        } else if (pos < n) {
            put(pos);
        }
        ++place;
        --placesLeft;
    }
    if (p.wholePlaces == 0)
        for (int q = n - 1; q >= 0; --q)
            put(q);
    if (!frac.isEmpty())
        out += QLatin1Char(',');
    int k = 0;
    for (const MaskToken &t : p.frac) {
        if (t.kind == MaskToken::Literal)
            out += t.text;
        else if (k < frac.size())
            out += frac.at(k++);
        else
            ++k;
    }
    return out;
}

} // namespace

QString FormatMask(double value, const QString &mask)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (mask.isEmpty())
        return QString::number(value, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));

    const QStringList sections = splitSections(mask);
    const bool negative = value < 0;
    const double a = std::fabs(value);
    bool zero = false;
    QString out;
    if (negative && sections.size() >= 2 && !sections.at(1).isEmpty())
        out = formatSection(a, parseSection(sections.at(1)), false, &zero);
    else
        out = formatSection(a, parseSection(sections.at(0)), negative, &zero);
    if (zero && sections.size() >= 3 && !sections.at(2).isEmpty())
        out = formatSection(0, parseSection(sections.at(2)), false, &zero);
    return out;
}

} // namespace qo
