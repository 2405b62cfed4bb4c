#pragma once
// The local configuration file "QuorvinOpt.ini", where it lies, and the
// helpers on it: typed reads and writes and window placement.
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
// throw the save helper's qo::Error (file and reason) when the file cannot
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
// A rectangle moved (and if need be shrunk) into WorkArea(), by the rules of
// RestoreWindowPlacement.
QRect ClampToWorkArea(const QRect &r);
void SaveWindowPosition(const QString &windowName, int left, int top); // never throws
void SaveWindowPlacement(const QString &windowName, int left, int top, int height, int width);

} // namespace qo
