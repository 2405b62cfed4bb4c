#include "platform/Download.h"
#include "base/Error.h"
#include "base/SaveFile.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace qo {

bool DownloadToFile(const QString &url, const QString &path, int timeoutMs)
{
    const QUrl address(url);
    if (!address.isValid() || address.isRelative())
        return false;

    QNetworkAccessManager manager;
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = manager.get(request);

    // Wait here as the caller expects a blocking call; typing into windows
    // meanwhile would re-enter code that is in the middle of something.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    timer.stop();

    bool ok = !timedOut && reply->error() == QNetworkReply::NoError;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (ok && status.isValid()) {
        const int code = status.toInt();
        ok = code >= 200 && code < 300;
    }
    QByteArray data;
    if (ok)
        data = reply->readAll();
    delete reply;
    if (!ok)
        return false;

    try {
        SaveBytes(path, data);
    } catch (const Error &) {
        return false;
    }
    return true;
}

} // namespace qo
