#include "base/Text.h"
#include "base/Codec.h"
#include "base/Error.h"

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

int CompareVersions(const QString &a, const QString &b)
{
    const QStringList pa = a.trimmed().split(QLatin1Char('.'));
    const QStringList pb = b.trimmed().split(QLatin1Char('.'));
    for (qsizetype i = 0; i < qMax(pa.size(), pb.size()); ++i) {
        const QString x = i < pa.size() ? pa.at(i).trimmed() : QStringLiteral("0");
        const QString y = i < pb.size() ? pb.at(i).trimmed() : QStringLiteral("0");
        bool okx = false, oky = false;
        const qulonglong nx = x.toULongLong(&okx), ny = y.toULongLong(&oky);
        if (okx && oky) {
            if (nx != ny)
                return nx < ny ? -1 : 1;
        } else if (okx != oky) {
            return okx ? -1 : 1;
        } else if (const int c = x.compare(y); c != 0) {
            return c < 0 ? -1 : 1;
        }
    }
    return 0;
}

QString HighestVersion(const QStringList &versions)
{
    QString best;
    for (const QString &v : versions)
        if (!v.trimmed().isEmpty() && (best.isEmpty() || CompareVersions(v, best) > 0))
            best = v.trimmed();
    return best;
}

} // namespace qo
