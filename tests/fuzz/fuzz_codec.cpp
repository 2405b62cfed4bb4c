// The code pages at the boundaries: Windows-1250 (files) and latin2 (the
// connection). Bytes decode one character each and encode back to themselves;
// any text keeps every character a code page holds, and the others become "?".
#include "FuzzCheck.h"
#include "base/Codec.h"
#include "db/Connection.h"

using namespace qo;

namespace {

// The characters Windows-1250 holds.
const QString &codePage()
{
    static const QString all = [] {
        QByteArray b;
        for (int i = 0; i < 256; ++i)
            b += char(i);
        return fromCp1250(b);
    }();
    return all;
}

QString kept(const QString &t)
{
    QString out;
    for (QChar c : t)
        if (c != QLatin1Char('?') && codePage().contains(c))
            out += c;
    return out;
}

int unpairedSurrogates(const QString &t)
{
    int n = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i].isHighSurrogate() && i + 1 < t.size() && t[i + 1].isLowSurrogate())
            ++i;
        else if (t[i].isSurrogate())
            ++n;
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // Windows-1250 (its five unassigned values read as controls).
    const QString cp = fromCp1250(bytes);
    FUZZ_EQUAL(cp.size(), bytes.size());
    FUZZ_EQUAL(toCp1250(cp), bytes);

    // latin2: every byte value is assigned.
    const QString l2 = fromLatin2(bytes.constData(), int(bytes.size()));
    FUZZ_EQUAL(l2.size(), bytes.size());
    FUZZ_EQUAL(toLatin2(l2), bytes);

    // The same bytes taken as UTF-16 text, as a user could type or paste it.
    const QString text(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    const QByteArray out = toCp1250(text);
    // One byte at most per character (the converter leaves out invisible
    // formatting characters such as U+200B); what the code page holds comes
    // back in order, and every other character, a broken surrogate pair
    // included, is "?".
    FUZZ_CHECK(out.size() <= text.size());
    const QString back = fromCp1250(out);
    FUZZ_EQUAL(kept(back), kept(text));
    FUZZ_CHECK(back.count(QLatin1Char('?')) >= text.count(QLatin1Char('?')) + unpairedSurrogates(text));
    if (kept(text).size() + text.count(QLatin1Char('?')) == text.size())
        FUZZ_EQUAL(back, text);
    const QByteArray l2out = toLatin2(text);
    FUZZ_EQUAL(l2out.size(), text.size());
    return 0;
}
