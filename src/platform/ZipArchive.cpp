#include "platform/ZipArchive.h"
#include "base/Error.h"
#include "base/SaveFile.h"

#include <QDateTime>
#include <QFile>
#include <zip.h>
#include <zlib.h>

namespace qo {

void WriteZip(const QString &zipPath, const QList<ZipEntry> &entries)
{
    // The library writes the save helper's temporary file by name.
    SaveFile target(zipPath, SaveFile::Access::OwnerOnly);
    int code = 0;
    zip_t *z = zip_open(QFile::encodeName(target.tempPath()).constData(), ZIP_TRUNCATE, &code);
    if (!z) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        const QString msg = QString::fromLocal8Bit(zip_error_strerror(&e));
        zip_error_fini(&e);
        throw Error(SaveFile::failureText(zipPath, msg));
    }
    auto fail = [z, &zipPath, &target]() {
        zip_error_t *e = zip_get_error(z);
        const int sys = zip_error_system_type(e) == ZIP_ET_SYS ? zip_error_code_system(e) : 0;
        const QString msg = target.libraryFailure(sys, QString::fromLocal8Bit(zip_strerror(z)));
        zip_discard(z);
        throw Error(SaveFile::failureText(zipPath, msg));
    };
    // The buffers must live until zip_close, which reads them.
    for (const ZipEntry &entry : entries) {
        zip_source_t *src = entry.file.isEmpty()
            ? zip_source_buffer(z, entry.bytes.constData(), zip_uint64_t(entry.bytes.size()), 0)
            : zip_source_file(z, QFile::encodeName(entry.file).constData(), 0, -1);
        if (!src)
            fail();
        const zip_int64_t index = zip_file_add(z, entry.name.toUtf8().constData(), src,
                                               ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            fail();
        }
        if (zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_DEFLATE, 9) < 0)
            fail();
    }
    if (zip_close(z) < 0)
        fail();
    target.commit([](const QString &written) {
        int err = 0;
        zip_t *check = zip_open(QFile::encodeName(written).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
        if (!check)
            return false;
        zip_discard(check);
        return true;
    });
}


// ---- an archive of one entry, written as it arrives ----------------------

namespace {

constexpr quint16 kFlags = 0x0002   // deflated at the highest level
                         | 0x0008   // sizes and checksum follow the data
                         | 0x0800;  // the name is UTF-8
constexpr quint64 kLimit = 0xFFFFFFFFull;
constexpr int kOutChunk = 256 * 1024;

void le16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

void le32(QByteArray &b, quint32 v)
{
    le16(b, quint16(v & 0xFFFF));
    le16(b, quint16(v >> 16));
}

} // namespace

struct ZipStreamDevice::State {
    z_stream z{};
    bool open = false;
    QByteArray out = QByteArray(kOutChunk, Qt::Uninitialized);
};

ZipStreamDevice::ZipStreamDevice(QIODevice &out, const QString &entryName)
    : m_z(std::make_unique<State>()), m_out(out), m_name(entryName.toUtf8())
{
    if (deflateInit2(&m_z->z, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw Error(QStringLiteral("A tömörítés nem indítható."));
    m_z->open = true;
    m_crc = quint32(crc32(0L, Z_NULL, 0));
    // The entry's time in the archive's (local, two-second) form.
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    m_date = quint16(((qMax(1980, d.year()) - 1980) << 9) | (d.month() << 5) | d.day());
    m_time = quint16((t.hour() << 11) | (t.minute() << 5) | (t.second() / 2));

    QByteArray head;
    le32(head, 0x04034b50);
    le16(head, 20);
    le16(head, kFlags);
    le16(head, 8);
    le16(head, m_time);
    le16(head, m_date);
    le32(head, 0); // checksum and sizes: in the descriptor after the data
    le32(head, 0);
    le32(head, 0);
    le16(head, quint16(m_name.size()));
    le16(head, 0);
    head += m_name;
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (!put(head))
        throw Error(m_failure);
    m_dataStart = m_written;
}

ZipStreamDevice::~ZipStreamDevice()
{
    if (m_z->open)
        deflateEnd(&m_z->z);
}

bool ZipStreamDevice::put(const QByteArray &bytes)
{
    if (m_out.write(bytes) != bytes.size()) {
        m_failure = m_out.errorString();
        setErrorString(m_failure);
        return false;
    }
    m_written += quint64(bytes.size());
    return true;
}

bool ZipStreamDevice::deflateSome(const char *data, qint64 len, bool last)
{
    z_stream &z = m_z->z;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
    z.avail_in = uInt(len);
    for (;;) {
        z.next_out = reinterpret_cast<Bytef *>(m_z->out.data());
        z.avail_out = uInt(m_z->out.size());
        const int rc = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
        if (rc == Z_STREAM_ERROR) {
            m_failure = QStringLiteral("A tömörítés hibába futott.");
            return false;
        }
        const int produced = m_z->out.size() - int(z.avail_out);
        if (produced > 0 && !put(QByteArray::fromRawData(m_z->out.constData(), produced)))
            return false;
        if (m_written - m_dataStart > kLimit) {
            m_failure = QStringLiteral("A tömörített fájl elérte a 4 GB-os határt; mentse tömörítés nélkül (.sql).");
            return false;
        }
        if (last ? rc == Z_STREAM_END : (z.avail_in == 0 && z.avail_out != 0))
            return true;
    }
}

qint64 ZipStreamDevice::writeData(const char *data, qint64 len)
{
    if (m_finished || !m_failure.isEmpty())
        return -1;
    if (m_in + quint64(len) > kLimit) {
        m_failure = QStringLiteral("A mentés elérte a tömörített fájl 4 GB-os határát; mentse tömörítés nélkül (.sql).");
        setErrorString(m_failure);
        return -1;
    }
    // zlib takes at most 4 GiB at once; the writers hand far less.
    m_crc = quint32(crc32(m_crc, reinterpret_cast<const Bytef *>(data), uInt(len)));
    m_in += quint64(len);
    if (!deflateSome(data, len, false)) {
        setErrorString(m_failure);
        return -1;
    }
    return len;
}

void ZipStreamDevice::finish()
{
    if (m_finished)
        return;
    if (!m_failure.isEmpty() || !deflateSome(nullptr, 0, true))
        throw Error(m_failure);
    m_finished = true;
    const quint64 packed = m_written - m_dataStart;
    QByteArray tail;
    le32(tail, 0x08074b50); // data descriptor
    le32(tail, m_crc);
    le32(tail, quint32(packed));
    le32(tail, quint32(m_in));
    const quint64 directory = m_written + quint64(tail.size());
    QByteArray dir;
    le32(dir, 0x02014b50);
    le16(dir, 0x031E); // made on Unix, so the mode below counts
    le16(dir, 20);
    le16(dir, kFlags);
    le16(dir, 8);
    le16(dir, m_time);
    le16(dir, m_date);
    le32(dir, m_crc);
    le32(dir, quint32(packed));
    le32(dir, quint32(m_in));
    le16(dir, quint16(m_name.size()));
    le16(dir, 0); // extra
    le16(dir, 0); // comment
    le16(dir, 0); // disk
    le16(dir, 0); // internal attributes
    le32(dir, quint32(0100600) << 16); // a regular file, its owner's only
    le32(dir, 0);                      // the entry's header is the archive's first bytes
    dir += m_name;
    tail += dir;
    le32(tail, 0x06054b50);
    le16(tail, 0);
    le16(tail, 0);
    le16(tail, 1);
    le16(tail, 1);
    le32(tail, quint32(dir.size()));
    le32(tail, quint32(directory));
    le16(tail, 0);
    if (directory > kLimit)
        throw Error(QStringLiteral("A tömörített fájl elérte a 4 GB-os határt; mentse tömörítés nélkül (.sql)."));
    if (!put(tail))
        throw Error(m_failure);
    deflateEnd(&m_z->z);
    m_z->open = false;
}

} // namespace qo
