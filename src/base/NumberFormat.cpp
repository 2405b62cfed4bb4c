#include "base/NumberFormat.h"

#include <QHash>
#include <QLocale>
#include <cmath>

namespace qo {

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
    QString groupSep; // a literal that groups the mask's digit places by three
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
    // "### ### ##0": the same literal after every third place from the units
    // is a group separator, and digits beyond the mask's places get it too.
    {
        int place = 0;
        bool regular = true, any = false;
        QString sep;
        for (qsizetype i = 0; i < p.whole.size() && regular; ++i) {
            const MaskToken &t = p.whole.at(i);
            if (t.kind != MaskToken::Literal) {
                ++place;
                continue;
            }
            if (place == 0 || place == p.wholePlaces)
                continue; // a prefix or a suffix
            const int posBefore = p.wholePlaces - place; // the place written just before
            if (posBefore % 3 != 0 || (any && t.text != sep) || t.text.isEmpty())
                regular = false;
            sep = t.text;
            any = true;
        }
        if (regular && any)
            p.groupSep = sep;
    }
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
    // A digit the mask has no place for, grouped as the mask groups its places.
    auto putBeyond = [&](int pos, int firstPlace) {
        put(pos);
        if (!p.thousands && !p.groupSep.isEmpty() && pos > firstPlace && pos % 3 == 0)
            out += p.groupSep;
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
                putBeyond(q, pos);
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

namespace {

struct MaskSection {
    ParsedSection parsed;
    bool empty;
};
using MaskSections = QList<MaskSection>;

// A list or a printout formats every cell of a column with the same mask:
// each mask is parsed once (per thread, as exports format on a worker).
const MaskSections &parsedMask(const QString &mask)
{
    thread_local QHash<QString, MaskSections> cache;
    if (auto it = cache.constFind(mask); it != cache.cend())
        return *it;
    if (cache.size() > 256)
        cache.clear();
    MaskSections parsed;
    for (const QString &section : splitSections(mask))
        parsed.push_back({parseSection(section), section.isEmpty()});
    return *cache.insert(mask, parsed);
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

    const MaskSections &sections = parsedMask(mask);
    const bool negative = value < 0;
    const double a = std::fabs(value);
    bool zero = false;
    QString out;
    if (negative && sections.size() >= 2 && !sections.at(1).empty)
        out = formatSection(a, sections.at(1).parsed, false, &zero);
    else
        out = formatSection(a, sections.at(0).parsed, negative, &zero);
    if (zero && sections.size() >= 3 && !sections.at(2).empty)
        out = formatSection(0, sections.at(2).parsed, false, &zero);
    return out;
}

} // namespace qo
