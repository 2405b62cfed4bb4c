#pragma once
// A new ZIP archive written through the save helper: owner-only, every entry
// deflated at the highest level, put in place only when the library closed it
// whole and it reads back consistent; an earlier file of the name stays
// otherwise.
#include <QByteArray>
#include <QList>
#include <QString>

namespace qo {

struct ZipEntry {
    QString name;     // the name inside the archive
    QByteArray bytes; // the contents, or, when `file` is set,
    QString file;     // a file to read them from
};

// Throws qo::Error ("Hiba: a fájl nem írható: …" with the reason).
void WriteZip(const QString &zipPath, const QList<ZipEntry> &entries);

} // namespace qo
