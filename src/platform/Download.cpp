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

bool DownloadToFile(const QString &url, const QString &path, int timeoutMs, qint64 maxBytes)
{
    const QUrl address(url);
    if (!address.isValid() || address.isRelative())
        return false;

    QNetworkAccessManager manager;
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = manager.get(request);
    // An answer over the limit is dropped unread: neither its announced size
    // nor what has arrived may pass it, and the reply buffers no more than that.
    bool tooLong = false;
    if (maxBytes >= 0) {
        reply->setReadBufferSize(maxBytes + 1);
        auto check = [reply, maxBytes, &tooLong] {
            const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
            if (tooLong || !reply->isRunning())
                return;
            if ((announced.isValid() && announced.toLongLong() > maxBytes) || reply->bytesAvailable() > maxBytes) {
                tooLong = true;
                reply->abort();
            }
        };
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, check);
        QObject::connect(reply, &QNetworkReply::readyRead, reply, check);
    }

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

    bool ok = !timedOut && !tooLong && reply->error() == QNetworkReply::NoError;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (ok && status.isValid()) {
        const int code = status.toInt();
        ok = code >= 200 && code < 300;
    }
    QByteArray data;
    if (ok)
        data = reply->readAll();
    if (maxBytes >= 0 && data.size() > maxBytes)
        ok = false;
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
