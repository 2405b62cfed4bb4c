#pragma once
// A new ZIP archive written through the save helper: owner-only, every entry
// deflated at the highest level, put in place only when the library closed it
// whole and it reads back consistent; an earlier file of the name stays
// otherwise.
#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <memory>

namespace qo {

struct ZipEntry {
    QString name;     // the name inside the archive
    QByteArray bytes; // the contents, or, when `file` is set,
    QString file;     // a file to read them from
};

// Throws qo::Error ("Hiba: a fájl nem írható: …" with the reason).
void WriteZip(const QString &zipPath, const QList<ZipEntry> &entries);

// An archive of one entry written while its contents arrive: what is written
// to this device is deflated (highest level) straight into `out`, so neither
// the whole text nor an unpacked copy of it is ever held or stored. The entry
// carries its checksum and sizes after its data (a data descriptor), which
// every reader takes; `out` need not seek. Up to 4 GiB, the plain format's
// limit; beyond it a write fails with a message saying so.
class ZipStreamDevice : public QIODevice {
public:
    ZipStreamDevice(QIODevice &out, const QString &entryName);
    ~ZipStreamDevice() override;
    bool isSequential() const override { return true; }
    // Writes the end of the compressed data and the archive's directory.
    // Throws qo::Error when `out` refuses the bytes.
    void finish();
    // The reason of the last failed write (empty when none).
    QString failure() const { return m_failure; }

protected:
    qint64 writeData(const char *data, qint64 len) override;
    qint64 readData(char *, qint64) override { return -1; }

private:
    bool deflateSome(const char *data, qint64 len, bool last);
    bool put(const QByteArray &bytes);
    struct State;
    std::unique_ptr<State> m_z;
    QIODevice &m_out;
    QByteArray m_name;
    QString m_failure;
    quint32 m_crc = 0;
    quint64 m_in = 0;
    quint64 m_written = 0;   // bytes written to out so far
    quint64 m_dataStart = 0; // where the compressed data begins
    quint16 m_time = 0, m_date = 0;
    bool m_finished = false;
};

} // namespace qo
