#include "base/SaveFile.h"
#include "base/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qo {

// Unbuffered by Qt, buffered here, so that every failed write(2) is seen with
// its errno (QFile reports the last buffered write only as a text).
class SaveFile::Device : public QIODevice {
public:
    explicit Device(int fd) : m_fd(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    ~Device() override { closeFd(); }

    int error() const { return m_errno; }
    bool isSequential() const override { return true; }

    bool flushAll()
    {
        const char *p = m_buffer.constData();
        qsizetype left = m_buffer.size();
        while (left > 0 && m_errno == 0) {
            const ssize_t n = ::write(m_fd, p, size_t(left));
            if (n < 0) {
                if (errno != EINTR)
                    m_errno = errno;
                continue;
            }
            if (n == 0) { // nothing taken and no reason given: treat as full
                m_errno = ENOSPC;
                break;
            }
            p += n;
            left -= n;
        }
        m_buffer.clear();
        return m_errno == 0;
    }

    // Syncs and closes; false with the errno remembered on failure.
    bool finish()
    {
        if (!flushAll())
            return false;
        if (m_fd >= 0 && ::fsync(m_fd) != 0 && errno != EINVAL)
            m_errno = errno;
        const int fd = m_fd;
        m_fd = -1;
        QIODevice::close();
        if (fd >= 0 && ::close(fd) != 0 && m_errno == 0)
            m_errno = errno;
        return m_errno == 0;
    }

    void closeFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 len) override
    {
        if (m_errno != 0 || m_fd < 0)
            return -1;
        m_buffer.append(data, len);
        if (m_buffer.size() >= kChunk && !flushAll())
            return -1;
        return len;
    }

private:
    static constexpr qsizetype kChunk = 256 * 1024;
    int m_fd;
    int m_errno = 0;
    QByteArray m_buffer;
};

namespace {

Error fileError(const QString &path, const QString &reason)
{
    return Error(SaveFile::failureText(path, reason));
}

// A writer that reported nothing may still have been cut short by the disk.
QString guessedReason(const QString &dir)
{
    QStorageInfo s(dir);
    if (s.isValid() && s.bytesAvailable() < 64 * 1024)
        return SaveFile::reason(ENOSPC);
    return QStringLiteral("A fájl írása nem fejeződött be");
}

} // namespace

QString SaveFile::reason(int errnum)
{
    switch (errnum) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Betelt a lemez");
    case EACCES:
    case EPERM:
        return QStringLiteral("Nincs írási jog");
    case EROFS:
        return QStringLiteral("A lemez csak olvasható");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("A mappa nem létezik");
    case EIO:
        return QStringLiteral("Lemezhiba");
    case ENAMETOOLONG:
        return QStringLiteral("Túl hosszú fájlnév");
    case EFBIG:
        return QStringLiteral("A fájl túl nagy");
    case EISDIR:
        return QStringLiteral("Ez egy mappa neve");
    default:
        return QStringLiteral("Rendszerhiba: ") + QString::fromLocal8Bit(std::strerror(errnum));
    }
}

QString SaveFile::failureText(const QString &path, const QString &reason)
{
    return QStringLiteral("Hiba: a fájl nem írható: ") + QDir::toNativeSeparators(path) + QLatin1Char('\n') + reason;
}

SaveFile::SaveFile(const QString &path, Access access) : m_path(path)
{
    QFileInfo info(path);
    // A link is followed, as an editor would: the file it points at is replaced.
    if (info.isSymLink() && info.exists())
        info = QFileInfo(info.canonicalFilePath());
    if (info.isDir())
        throw fileError(path, reason(EISDIR));
    const QString dir = info.absolutePath();
    if (!QFileInfo(dir).isDir())
        throw fileError(path, reason(ENOENT));
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && ::access(target.constData(), W_OK) != 0)
        throw fileError(path, reason(errno));

    QByteArray tpl = QFile::encodeName(dir + QStringLiteral("/.") + info.fileName()) + ".XXXXXX";
    const int fd = ::mkostemp(tpl.data(), O_CLOEXEC); // created 0600
    if (fd < 0)
        throw fileError(path, reason(errno));
    if (exists)
        m_mode = access == Access::OwnerOnly ? (old.st_mode & 0600) : (old.st_mode & 07777);
    ::fchmod(fd, m_mode);
    m_temp = QFile::decodeName(tpl);
    m_path = info.absoluteFilePath();
    m_device = std::make_unique<Device>(fd);
}

SaveFile::~SaveFile()
{
    if (!m_done) {
        m_device.reset();
        ::unlink(QFile::encodeName(m_temp).constData());
    }
}

QIODevice &SaveFile::device()
{
    return *m_device;
}

void SaveFile::throwIfFailed() const
{
    if (m_device->error() != 0)
        throw fileError(m_path, reason(m_device->error()));
}

void SaveFile::commit(const std::function<bool(const QString &)> &check)
{
    if (m_done)
        return;
    const QString dir = QFileInfo(m_path).absolutePath();
    if (!m_device->finish())
        throw fileError(m_path, reason(m_device->error()));
    if (check) {
        // The writer wrote by name: sync what it left before checking it.
        const int fd = ::open(QFile::encodeName(m_temp).constData(), O_RDONLY | O_CLOEXEC);
        const int err = fd < 0 ? errno : (::fsync(fd) == 0 || errno == EINVAL ? 0 : errno);
        if (fd >= 0)
            ::close(fd);
        if (err != 0)
            throw fileError(m_path, reason(err));
        if (!check(m_temp))
            throw fileError(m_path, guessedReason(dir));
    }
    // A library that wrote by name may have made the file anew with its own mode.
    ::chmod(QFile::encodeName(m_temp).constData(), m_mode);
    if (::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_path).constData()) != 0)
        throw fileError(m_path, reason(errno));
    m_done = true;
    // The new name itself reaches the disk with the folder.
    const int dfd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

QString SaveFile::libraryFailure(int sysErrno, const QString &libraryText) const
{
    switch (sysErrno) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EIO:
    case EACCES:
    case EROFS:
        return reason(sysErrno);
    default:
        break;
    }
    const QString guess = guessedReason(QFileInfo(m_path).absolutePath());
    return guess == reason(ENOSPC) ? guess : libraryText;
}

void SaveBytes(const QString &path, const QByteArray &bytes, SaveFile::Access access)
{
    SaveFile f(path, access);
    f.device().write(bytes);
    f.commit();
}

int SaveWith(const QString &path, const std::function<int(QIODevice &out)> &write, SaveFile::Access access)
{
    SaveFile f(path, access);
    int done = 0;
    try {
        done = write(f.device());
    } catch (const Error &) {
        // A refused write surfaces in the writer as an error of its own; the
        // file's reason is the one worth showing. Either way nothing is put
        // in place.
        f.throwIfFailed();
        throw;
    }
    f.commit();
    return done;
}

} // namespace qo
