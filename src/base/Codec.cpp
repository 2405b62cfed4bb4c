#include "base/Codec.h"
#include "base/Error.h"
#include "base/SaveFile.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

namespace qo {

namespace {

// One converter per thread, told to keep no state between calls: otherwise a
// text ending in half a surrogate pair (an emoji cut by a length limit) is
// carried over and spoils the start of the next, unrelated conversion.
QStringEncoder &encoder()
{
    thread_local QStringEncoder e("windows-1250", QStringConverter::Flag::Stateless);
    return e;
}

QStringDecoder &decoder()
{
    thread_local QStringDecoder d("windows-1250", QStringConverter::Flag::Stateless);
    return d;
}

} // namespace

QByteArray toCp1250(const QString &text)
{
    QStringEncoder &e = encoder();
    if (!e.isValid()) // no ICU: keep what Latin-1 can hold
        return text.toLatin1();
    // A surrogate without its partner (an emoji cut by a length limit, a
    // broken paste) is a character like any other that the code page lacks,
    // so "?": the converter would drop it, and the text would lose a character.
    QString repaired;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (repaired.isNull())
            repaired = text;
        repaired[i] = QLatin1Char('?');
    }
    const QString &t = repaired.isNull() ? text : repaired;
    // ICU writes the SUB control (0x1A) for a character it cannot map; show
    // it as "?" the way the Windows conversion does. A SUB of the text itself
    // stays: the parts between such SUBs are converted one by one.
    QByteArray out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype sub = t.indexOf(QChar(0x1a), from);
        QByteArray part = e.encode(QStringView(t).mid(from, (sub < 0 ? t.size() : sub) - from));
        part.replace('\x1a', '?');
        out += part;
        if (sub < 0)
            return out;
        out += '\x1a';
        from = sub + 1;
    }
}

QString fromCp1250(const QByteArray &bytes)
{
    QStringDecoder &d = decoder();
    if (!d.isValid())
        return QString::fromLatin1(bytes);
    return d.decode(bytes);
}

// ---- latin2 -------------------------------------------------------------

namespace {

struct Latin2Table {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;
    Latin2Table()
    {
        // The upper half of ISO-8859-2 is taken from the platform's converter
        // once; every cell is then decoded through this table.
        QByteArray all(256, 0);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        QStringDecoder dec("ISO-8859-2");
        const QString s = dec.isValid() ? dec.decode(all) : QString::fromLatin1(all);
        for (int i = 0; i < 256; ++i) {
            toUnicode[i] = (s.size() == 256) ? s.at(i).unicode() : char16_t(i);
            if (i >= 0x80)
                fromUnicode.insert(toUnicode[i], char(i));
        }
        // Letters that Windows-1250 texts may hold but latin2 lacks: keep them readable.
        fromUnicode.insert(u'õ', char(0xF5)); // stored as ő
        fromUnicode.insert(u'û', char(0xFB)); // stored as ű
        fromUnicode.insert(u'Õ', char(0xD5));
        fromUnicode.insert(u'Û', char(0xDB));
    }
};

const Latin2Table &latin2()
{
    static const Latin2Table t;
    return t;
}

} // namespace

QString fromLatin2(const char *data, int len)
{
    const auto &t = latin2().toUnicode;
    QString s(len, Qt::Uninitialized);
    QChar *out = s.data();
    for (int i = 0; i < len; ++i)
        out[i] = QChar(t[uchar(data[i])]);
    return s;
}

QByteArray toLatin2(const QString &s)
{
    const auto &t = latin2().fromUnicode;
    QByteArray b(s.size(), Qt::Uninitialized);
    char *out = b.data();
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s.at(i).unicode();
        out[i] = u < 0x80 ? char(u) : t.value(u, '?');
    }
    return b;
}

const std::array<char, 256> &latin2ToCp1250Bytes()
{
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const char b = char(i);
            const QByteArray c = toCp1250(fromLatin2(&b, 1));
            t[i] = c.size() == 1 ? c[0] : '?';
        }
        return t;
    }();
    return table;
}

const std::array<uchar, 256> &latin2Lower()
{
    static const std::array<uchar, 256> table = [] {
        std::array<uchar, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const char b = char(i);
            const QByteArray low = toLatin2(fromLatin2(&b, 1).toLower());
            t[i] = low.size() == 1 ? uchar(low[0]) : uchar(i);
        }
        return t;
    }();
    return table;
}

void writeLocalTextFile(const QString &path, const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QByteArray bytes = toCp1250(t);

    SaveBytes(path, bytes);
}

} // namespace qo
