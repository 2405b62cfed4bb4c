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
    // A high surrogate at the very end has no partner: a character like any
    // other that the code page lacks, so "?" (the converter would drop it).
    const bool cutPair = !text.isEmpty() && text.back().isHighSurrogate();
    QByteArray out = e.encode(cutPair ? QStringView(text).chopped(1) : QStringView(text));
    if (cutPair)
        out += '?';
    // ICU writes the SUB control (0x1A) for a character it cannot map; show
    // it as "?" the way the Windows conversion does, unless SUB was really there.
    if (out.contains('\x1a') && !text.contains(QChar(0x1a)))
        out.replace('\x1a', '?');
    return out;
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
