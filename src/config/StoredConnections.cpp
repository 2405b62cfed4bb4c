#include "config/StoredConnections.h"
#include "base/Codec.h"
#include "config/Config.h"
#include "config/IniFile.h"

#include <QRandomGenerator>

namespace qo {

namespace {

const QString kConnectionSection = QStringLiteral("Adatbazis");
constexpr int kMaxStoredConnections = 100;

QString connectionKey(int n)
{
    return QStringLiteral("ConStr") + QString::number(n);
}

QString tlsKey(int n)
{
    return QStringLiteral("ConTls") + QString::number(n);
}

ConnectionTls readTls(const IniDocument &doc, int n)
{
    const auto v = doc.value(kConnectionSection, tlsKey(n));
    if (!v)
        return {};
    return {true, fromCp1250(*v)};
}

void setTls(IniDocument &doc, int n, const ConnectionTls &tls)
{
    while (doc.remove(kConnectionSection, tlsKey(n))) {
    }
    if (tls.on)
        doc.set(kConnectionSection, tlsKey(n), toCp1250(tls.caFile));
}

} // namespace

// A scrambled byte is CR, LF or NUL for the input bytes 12, 9 and 255. The
// configuration file keeps such values byte for byte: NUL is an ordinary
// byte to it, and a CR or LF inside a value is never part of a CR LF pair
// (every data byte stands between two filler bytes "!".."W"), which is the
// only line end of the files the program writes (see IniFile.h).
QByteArray ScrambleText(const QByteArray &text)
{
    QRandomGenerator *rng = QRandomGenerator::global();
    auto filler = [rng]() { return char(rng->bounded(33, 88)); };
    QByteArray out;
    out.reserve(3 + 2 * text.size());
    for (int i = 0; i < 3; ++i)
        out += filler();
    for (const char c : text) {
        out += char((uchar(c) + 1) & 0xFF);
        out += filler();
    }
    return out;
}

QByteArray UnscrambleText(const QByteArray &text)
{
    QByteArray out;
    if (text.size() <= 3)
        return out;
    out.reserve((text.size() - 3 + 1) / 2);
    for (qsizetype i = 3; i < text.size(); i += 2)
        out += char((uchar(text[i]) + 255) & 0xFF);
    return out;
}

ConnectionFields ConnectionFields::parse(const QString &record, const ConnectionTls &tls)
{
    const QStringList f = record.split(QLatin1Char(';'));
    auto part = [&f](int n) { return n < f.size() ? f.at(n) : QString(); };
    return {part(0), part(1), part(2), part(3), part(4), part(5), tls.on, tls.caFile};
}

int ConnectionFields::portNumber() const
{
    QString only;
    for (const QChar c : port)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            only += c;
    bool ok = false;
    const int n = only.left(9).toInt(&ok);
    return ok ? n : 0;
}

QString ConnectionFields::record(bool trailing) const
{
    const QString r = QStringList{database, host, port, user, password, displayName}.join(QLatin1Char(';'));
    return trailing ? r + QLatin1Char(';') : r;
}

QList<StoredConnection> ReadStoredConnections(int from, int to)
{
    QList<StoredConnection> list;
    const IniDocument doc = IniDocument::load(ConfigFile());
    for (int n = from; n <= to; ++n) {
        const auto v = doc.value(kConnectionSection, connectionKey(n));
        if (!v)
            continue;
        const QString record = fromCp1250(UnscrambleText(*v));
        if (!record.isEmpty())
            list.append({n, record, readTls(doc, n)});
    }
    return list;
}

ConnectionTls StoredConnectionTls(const QString &record)
{
    if (record.isEmpty())
        return {};
    for (const StoredConnection &c : ReadStoredConnections(0, kMaxStoredConnections))
        if (c.record == record)
            return c.tls;
    return {};
}

int StoreNewConnection(const QString &record, const ConnectionTls &tls)
{
    const QString path = ConfigFile();
    IniDocument doc = IniDocument::loadForUpdate(path);
    int n = 1;
    while (n <= kMaxStoredConnections && doc.contains(kConnectionSection, connectionKey(n)))
        ++n;
    if (n > kMaxStoredConnections)
        n = 0;
    doc.set(kConnectionSection, connectionKey(n), ScrambleText(toCp1250(record)));
    setTls(doc, n, tls); // a TLS key left behind by a deleted record must not stick to the new one
    doc.save(path);
    return n;
}

void WriteStoredConnection(int n, const QString &record, const ConnectionTls &tls)
{
    const QString path = ConfigFile();
    IniDocument doc = IniDocument::loadForUpdate(path);
    doc.set(kConnectionSection, connectionKey(n), ScrambleText(toCp1250(record)));
    setTls(doc, n, tls);
    doc.save(path);
}

void DeleteStoredConnection(int n)
{
    const QString path = ConfigFile();
    IniDocument doc = IniDocument::loadForUpdate(path);
    const bool record = doc.remove(kConnectionSection, connectionKey(n));
    const bool tls = doc.remove(kConnectionSection, tlsKey(n));
    if (record || tls)
        doc.save(path);
}

void ReplaceStoredConnections(const QStringList &records, const QList<ConnectionTls> &tls)
{
    const QString path = ConfigFile();
    IniDocument doc = IniDocument::loadForUpdate(path);
    for (int n = 1; n <= kMaxStoredConnections; ++n) {
        while (doc.remove(kConnectionSection, connectionKey(n))) {
        }
        setTls(doc, n, {});
    }
    for (int i = 0; i < records.size(); ++i) {
        doc.set(kConnectionSection, connectionKey(i + 1), ScrambleText(toCp1250(records.at(i))));
        setTls(doc, i + 1, tls.value(i));
    }
    doc.save(path);
}

} // namespace qo
