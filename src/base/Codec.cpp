#include "base/Codec.h"
#include "base/Error.h"

#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace qo {

namespace {

// The converters are stateless for a single-byte code page, so one instance
// per thread serves every call.
QStringEncoder &encoder()
{
    thread_local QStringEncoder e("windows-1250");
    return e;
}

QStringDecoder &decoder()
{
    thread_local QStringDecoder d("windows-1250");
    return d;
}

} // namespace

QByteArray toCp1250(const QString &text)
{
    QStringEncoder &e = encoder();
    if (!e.isValid()) // no ICU: keep what Latin-1 can hold
        return text.toLatin1();
    QByteArray out = e.encode(text);
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

    QSaveFile f(path);
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw Error(QStringLiteral("Unable to write to ") + path);
}

} // namespace qo
