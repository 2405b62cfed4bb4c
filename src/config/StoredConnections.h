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

// One stored connection: the number N of its key "ConStr"N and the record
// "database;host;port;user;password;display name".
struct StoredConnection {
    int key = 0;
    QString record;
};

// The keys from..to that exist and hold a non-empty record, in key order.
QList<StoredConnection> ReadStoredConnections(int from, int to);
// Stores the record under the lowest free key 1..100 (0 when all are taken)
// and returns that number.
int StoreNewConnection(const QString &record);
void WriteStoredConnection(int n, const QString &record);
void DeleteStoredConnection(int n);
// Removes the keys ConStr1..ConStr100 and writes the records as ConStr1,
// ConStr2, ... in list order, in one write of the file.
void ReplaceStoredConnections(const QStringList &records);

} // namespace qo
