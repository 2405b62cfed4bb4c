#pragma once
// The local configuration file "QuorvinOpt.ini", where it lies, and the
// helpers on it: typed reads and writes, window placement, and the stored
// (scrambled) connection records of section "Adatbazis".
// Every call opens the file, reads or writes it, and lets it go: nothing is
// cached, so several windows (and program instances) see each other's writes.
#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

namespace qo {

// Works out the folders once at start. programFolder defaults to the
// executable's folder. DataFolder is the program folder when QuorvinOpt.ini
// lies there, else <generic application data>/QuorvinOpt, created when
// missing. Also reads the desktop work area.
void initFolders(const QString &programFolder = {});

QString ProgramFolder(); // no trailing "/"
QString DataFolder();    // no trailing "/"
QString ConfigFile();    // DataFolder() + "/QuorvinOpt.ini"
QRect WorkArea();
void setWorkAreaForTests(const QRect &area);

QColor MarkColor();  // the column a list is sorted by
QColor FocusColor(); // the input field holding the keyboard focus

// Reads never fail: a missing file, section or key gives the default. Writes
// throw qo::Error("Unable to write to " + ConfigFile()) when the file cannot
// be written. Values are one line: line breaks in a written text become blanks.
QString ReadConfigString(const QString &section, const QString &key, const QString &def = {});
void WriteConfigString(const QString &section, const QString &key, const QString &value);
// Decimal, or hexadecimal after "0x"/"0X"; anything else gives the default.
int ReadConfigInt(const QString &section, const QString &key, int def);
void WriteConfigInt(const QString &section, const QString &key, int value);
// Written as 1 / 0, read as an integer (non-zero is true).
bool ReadConfigBool(const QString &section, const QString &key, bool def);
void WriteConfigBool(const QString &section, const QString &key, bool value);
bool ConfigKeyExists(const QString &section, const QString &key);
void DeleteConfigKey(const QString &section, const QString &key);
// The stored bytes as they are (scrambled records).
QByteArray ReadConfigBytes(const QString &section, const QString &key);
void WriteConfigBytes(const QString &section, const QString &key, const QByteArray &value);

// Window placement under the section named after the window's object name.
QPoint RestoreWindowPosition(const QString &windowName); // Left, Top; 10, 10 by default
// Left, Top (10, 10) and Width, Height (the given size) clamped to WorkArea().
QRect RestoreWindowPlacement(const QString &windowName, int width, int height);
void SaveWindowPosition(const QString &windowName, int left, int top); // never throws
void SaveWindowPlacement(const QString &windowName, int left, int top, int height, int width);

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
