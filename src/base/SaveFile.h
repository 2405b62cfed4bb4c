#pragma once
// The one way the program writes a file. The bytes go to a temporary file
// beside the target; commit() flushes and checks every write, syncs the file to
// the disk and only then renames it over the target. On any failure the target
// keeps its old contents and the error names the file and the reason in
// Hungarian ("Betelt a lemez" for a full disk).
//
// A new file is created readable by its owner only (0600): exports, backups
// and the configuration file carry client data or secrets. An existing file
// keeps its mode, so a replaced file is never made more readable than it was.
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>
#include <memory>

namespace qo {

class SaveFile {
public:
    enum class Access {
        KeepMode,  // a new file 0600, a replaced one keeps its mode
        OwnerOnly, // always 0600 at most: a file that holds secrets
    };
    // Creates the temporary file. Throws qo::Error when the folder cannot
    // take it (missing, read-only, full).
    explicit SaveFile(const QString &path, Access access = Access::KeepMode);
    // Without a commit the temporary file is removed and the target is left
    // as it was.
    ~SaveFile();
    SaveFile(const SaveFile &) = delete;
    SaveFile &operator=(const SaveFile &) = delete;

    QString path() const { return m_path; }

    // Writes go here. A refused write returns -1 and is remembered; commit()
    // then fails with its reason.
    QIODevice &device();

    // For a writer that needs a file name of its own (a zip library, a dump
    // tool): it writes the temporary file itself, and commit() checks what it
    // can (the sync) plus what the caller's check says. Do not use device()
    // as well.
    QString tempPath() const { return m_temp; }

    // Puts the written file in place, or throws qo::Error and keeps the old
    // file. check, when given, reads the finished temporary file and returns
    // false when it is not complete.
    void commit(const std::function<bool(const QString &tempPath)> &check = {});

    // Throws the file's failure when a write was refused.
    void throwIfFailed() const;

    // The Hungarian reason for an errno value ("Betelt a lemez" ...).
    static QString reason(int errnum);
    // The reason when a library that wrote by name failed: the system's when
    // it left one in errno (sysErrno, read right after the failing call), else
    // a full disk when the folder is full, else the library's own text.
    QString libraryFailure(int sysErrno, const QString &libraryText) const;
    // "Hiba: a fájl nem írható: <path>\n<reason>": the whole text every file
    // failure shows.
    static QString failureText(const QString &path, const QString &reason);

private:
    class Device;
    QString m_path;
    QString m_temp;
    std::unique_ptr<Device> m_device;
    unsigned m_mode = 0600;
    bool m_done = false;
};

// Writes bytes to path through a SaveFile.
void SaveBytes(const QString &path, const QByteArray &bytes,
               SaveFile::Access access = SaveFile::Access::KeepMode);

// Runs write on the device of a SaveFile at path and commits when it
// returned; returns what write returned. An exception of write is passed on
// as it is (the file then stays as it was), unless the device itself failed:
// then the file's own failure is thrown.
int SaveWith(const QString &path, const std::function<int(QIODevice &out)> &write,
             SaveFile::Access access = SaveFile::Access::KeepMode);

} // namespace qo
