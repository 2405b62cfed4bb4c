#pragma once
// The stored connection records of section "Adatbazis" of the configuration
// file, kept scrambled.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace qo {

// Keeps passwords from being readable at a glance; not encryption. Three
// filler bytes, then each byte plus one followed by a filler byte ("!".."W").
QByteArray ScrambleText(const QByteArray &text);
QByteArray UnscrambleText(const QByteArray &text);

// An encrypted link asked for by a stored connection, kept beside its record
// as key "ConTls"N (present: TLS with the server's certificate checked; its
// value is the CA file, empty for the system's trusted authorities), so that
// the six-field record stays as every reader of it knows it.
struct ConnectionTls {
    bool on = false;
    QString caFile;
    bool operator==(const ConnectionTls &o) const { return on == o.on && (!on || caFile == o.caFile); }
};

// One stored connection: the number N of its key "ConStr"N and the record
// "database;host;port;user;password;display name".
struct StoredConnection {
    int key = 0;
    QString record;
    ConnectionTls tls;
};

// A stored connection as the program works with it: the six fields of its
// record "database;host;port;user;password;display name" and the TLS setting
// kept beside it. The one reader and writer of the record format, used by the
// first-run setup, the list of stored connections and its editor, and the
// start. A trailing ";" (some writers add it) is harmless. Fields cannot hold
// ";": there is no escaping, so input windows refuse it (see
// FieldsHoldSeparator). host may list the nodes of a cluster, "h1, h2:3307".
struct ConnectionFields {
    QString database, host, port, user, password, displayName;
    bool tls = false; // encrypted link, server certificate checked
    QString caFile;   // the CA file for it; empty: the system's authorities
    static ConnectionFields parse(const QString &record, const ConnectionTls &tls = {});
    // The fields joined by ";", each followed by one when `trailing`.
    QString record(bool trailing = false) const;
    ConnectionTls tlsSetting() const { return {tls, tls ? caFile : QString()}; }
    // The port's digits only; 0 when none remain.
    int portNumber() const;
};
// True when a text would split a record in the wrong place.
inline bool FieldsHoldSeparator(const QStringList &fields)
{
    for (const QString &f : fields)
        if (f.contains(QLatin1Char(';')))
            return true;
    return false;
}

// The keys from..to that exist and hold a non-empty record, in key order.
QList<StoredConnection> ReadStoredConnections(int from, int to);
// The TLS setting stored beside the first key (0..100) that holds exactly
// this record; off when there is none.
ConnectionTls StoredConnectionTls(const QString &record);
// Stores the record (and its TLS setting) under the lowest free key 1..100
// (0 when all are taken) and returns that number.
int StoreNewConnection(const QString &record, const ConnectionTls &tls = {});
void WriteStoredConnection(int n, const QString &record, const ConnectionTls &tls = {});
void DeleteStoredConnection(int n);
// Removes the keys ConStr1..ConStr100 (and their TLS keys) and writes the
// records as ConStr1, ConStr2, ... in list order, each with the TLS setting
// of the same place in `tls` (off when missing), in one write of the file.
void ReplaceStoredConnections(const QStringList &records, const QList<ConnectionTls> &tls = {});

} // namespace qo
