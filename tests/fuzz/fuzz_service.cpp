// The maker's service answers (version check and news): any bytes become a
// text of CR LF lines, and an answer is taken only when its first field is a
// version or a news number; the fields taken hold no separator.
#include "FuzzCheck.h"
#include "export/OnlineService.h"
#include "export/VersionNotes.h"

using namespace qo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString answer = ServiceAnswerText(bytes);

    // Lines joined by CR LF, also after the last; no stray line break.
    if (!answer.isEmpty())
        FUZZ_CHECK(answer.endsWith(QLatin1String("\r\n")));
    QString rest = answer;
    rest.remove(QLatin1String("\r\n"));
    FUZZ_CHECK(!rest.contains(QLatin1Char('\n')));
    FUZZ_CHECK(!answer.startsWith(QChar(0xFEFF)));
    FUZZ_CHECK(answer.size() <= 2 * bytes.size() + 2);

    if (const auto news = ParseNewsAnswer(answer)) {
        FUZZ_CHECK(news->id > 0 && news->id <= 999999999);
        FUZZ_CHECK(IsServiceNumber(QString::number(news->id)));
        FUZZ_CHECK(!news->title.contains(QLatin1Char('|')) && !news->text.contains(QLatin1Char('|')));
        FUZZ_EQUAL(news->title, news->title.trimmed());
    } else {
        // Only a number in field 1 makes news.
        const QString first = answer.section(QLatin1Char('|'), 0, 0).trimmed();
        FUZZ_CHECK(!IsServiceNumber(first) || first.toLongLong() == 0);
    }
    if (const auto version = ParseVersionAnswer(answer)) {
        FUZZ_CHECK(IsServiceVersion(version->version));
        FUZZ_CHECK(!version->notes.contains(QLatin1Char('|')));
        const QStringList parts = version->version.split(QLatin1Char('.'));
        FUZZ_EQUAL(BuildNumber(version->version), parts.size() >= 4 ? parts[3].toInt() : 0);
    } else {
        FUZZ_CHECK(!IsServiceVersion(answer.section(QLatin1Char('|'), 0, 0).trimmed()));
    }
    return 0;
}
