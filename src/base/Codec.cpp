#include "base/Codec.h"
#include "base/Error.h"
#include "base/SaveFile.h"

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

void writeLocalTextFile(const QString &path, const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QByteArray bytes = toCp1250(t);

    SaveBytes(path, bytes);
}

} // namespace qo
