#include "db/StorableText.h"
#include "db/Connection.h"

namespace qo {

namespace {

char16_t plainOf(char16_t c)
{
    switch (c) {
    case u'\u2010': case u'\u2011': case u'\u2012': case u'\u2013': case u'\u2014': case u'\u2015':
    case u'\u2212':
        return u'-';
    case u'\u201C': case u'\u201D': case u'\u201E': case u'\u201F': case u'\u00AB': case u'\u00BB':
    case u'\u2033':
        return u'"';
    case u'\u2018': case u'\u2019': case u'\u201A': case u'\u201B': case u'\u2032': case u'\u2039':
    case u'\u203A':
        return u'\'';
    case u'\u2007': case u'\u2009': case u'\u202F':
        return u' ';
    case u'õ': return u'ő';
    case u'û': return u'ű';
    case u'Õ': return u'Ő';
    case u'Û': return u'Ű';
    default:
        return c;
    }
}

} // namespace

QString PlainTypography(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        c = QChar(plainOf(c.unicode()));
    return out;
}

QString FirstUnstorableChar(const QString &text)
{
    const QString &plain = text;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QChar c = plain.at(i);
        if (c.unicode() < 0x80)
            continue;
        if (c.isHighSurrogate() && i + 1 < plain.size())
            return plain.mid(i, 2);
        if (c.isSurrogate())
            return QString(c);
        const QByteArray b = toLatin2(QString(c));
        if (fromLatin2(b.constData(), 1) != QString(c))
            return QString(c);
    }
    return {};
}

QString UnstorableCharText(const QString &ch)
{
    return QStringLiteral("A(z) „%1” karakter nem tárolható az adatbázisban.").arg(ch);
}

} // namespace qo
