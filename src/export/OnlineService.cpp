#include "export/OnlineService.h"
#include "base/Text.h"
#include "config/Config.h"
#include "platform/Desktop.h"
#include "platform/Download.h"

#include <QFile>
#include <QRegularExpression>

namespace qo {

QString ServiceBaseUrl()
{
    QString base = ReadConfigString(QStringLiteral("Alapertek"), QStringLiteral("SzolgaltatasCim"), MakerHomePage()).trimmed();
    if (base.isEmpty())
        base = MakerHomePage();
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base;
}

QString VersionAnswerUrl()
{
    return ServiceBaseUrl() + QStringLiteral("verziokovetes.php?prg=%1").arg(kServiceProgramId);
}

QString NewsAnswerUrl(int acknowledged)
{
    return ServiceBaseUrl() + QStringLiteral("hirfolyam.php?prg=%1&hir=%2").arg(kServiceProgramId).arg(acknowledged);
}

QString NewsArticleUrl(int id)
{
    return ServiceBaseUrl() + QStringLiteral("hirek.php?hir=%1").arg(id);
}

bool FetchServiceAnswer(const QString &url, const QString &path, QString *answer)
{
    if (QFile::exists(path))
        QFile::remove(path);
    if (!DownloadToFile(url, path, kServiceTimeoutMs, kServiceAnswerMaxBytes))
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = f.read(kServiceAnswerMaxBytes + 1);
    if (bytes.size() > kServiceAnswerMaxBytes)
        return false;
    *answer = ServiceAnswerText(bytes);
    return true;
}

QString ServiceAnswerText(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    // Lines joined by CR LF, also after the last one.
    bytes.replace("\r\n", "\n");
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    QByteArray joined;
    for (const QByteArray &l : lines)
        joined += l + "\r\n";
    return Utf8ToLocalText(joined);
}

std::optional<NewsAnswer> ParseNewsAnswer(const QString &answer)
{
    const QString id = FieldPart(QStringLiteral("|"), answer, 1).trimmed();
    if (!IsServiceNumber(id) || TextToIntLoose(id) <= 0)
        return std::nullopt;
    return NewsAnswer{TextToIntLoose(id), FieldPart(QStringLiteral("|"), answer, 2).trimmed(),
                      FieldPart(QStringLiteral("|"), answer, 3).trimmed()};
}

std::optional<VersionAnswer> ParseVersionAnswer(const QString &answer)
{
    const QString version = FieldPart(QStringLiteral("|"), answer, 1).trimmed();
    if (!IsServiceVersion(version))
        return std::nullopt;
    return VersionAnswer{version, FieldPart(QStringLiteral("|"), answer, 2).trimmed()};
}

bool IsServiceNumber(const QString &field)
{
    static const QRegularExpression number(QStringLiteral("^[0-9]{1,9}$"));
    return number.match(field).hasMatch();
}

bool IsServiceVersion(const QString &field)
{
    static const QRegularExpression version(QStringLiteral("^[0-9]{1,9}(\\.[0-9]{1,9})*$"));
    return version.match(field).hasMatch();
}

} // namespace qo
