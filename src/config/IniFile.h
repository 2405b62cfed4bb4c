#pragma once
// A Windows-style initialisation file handled at byte level (Windows-1250):
// "[section]" lines and "key=value" lines, section and key names matched
// without regard to letter case, CR LF line ends on write.
//
// Line ends: a file holding any CR LF pair is split at CR LF only, so a lone
// CR or LF is part of a value and comes back byte for byte; a file without
// any CR LF (edited by hand with another editor) is split at LF. Since every
// write rewrites the whole file with CR LF, only values that hold the CR LF
// pair itself cannot be stored; writers turn such a pair into a blank.
// Values are taken with blanks and tabs around them removed; nothing else is
// interpreted (no quotes, no comments inside a value).
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace qo {

class IniDocument {
public:
    // The file's lines; a missing or unreadable file gives an empty document
    // (readable() tells the two apart).
    static IniDocument load(const QString &path);
    // The file that load() read: to be changed and written back. A file that
    // exists but cannot be read throws qo::Error("Unable to read " + path),
    // so that it is never replaced by a document holding only the new key.
    static IniDocument loadForUpdate(const QString &path);
    // Replaces the whole file at once through the save helper: on any failure
    // the old file stays as it was and its qo::Error is thrown.
    void save(const QString &path) const;
    bool readable() const { return m_readable; }

    // The value as stored (up to maxLength bytes), or nothing when the key is missing.
    std::optional<QByteArray> value(const QString &section, const QString &key,
                                    int maxLength = 2047) const;
    bool contains(const QString &section, const QString &key) const;
    // Replaces the key's line in place, or adds the key at the end of its
    // section (the section at the end of the file when it is new).
    void set(const QString &section, const QString &key, const QByteArray &value);
    // True when a line was removed.
    bool remove(const QString &section, const QString &key);

    const QList<QByteArray> &lines() const { return m_lines; }

private:
    int findSection(const QByteArray &name) const; // index of the "[...]" line, or -1
    int sectionEnd(int header) const;              // first line after the section
    int findKey(const QByteArray &section, const QByteArray &key) const;

    QList<QByteArray> m_lines;
    bool m_readable = true;
};

} // namespace qo
