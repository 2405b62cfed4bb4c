#include "platform/ZipArchive.h"
#include "base/Error.h"
#include "base/SaveFile.h"

#include <QFile>
#include <zip.h>

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

} // namespace qo
