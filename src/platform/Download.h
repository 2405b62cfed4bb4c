#pragma once
#include <QString>

namespace qo {

// Fetches the resource at url into the file at path, replacing it. True only
// when the whole resource arrived (HTTP status 2xx) within timeoutMs and, when
// maxBytes is not negative, was no longer than maxBytes: reading stops as soon
// as more arrives. On any failure the file is left as it was. Nothing is shown
// to the user.
bool DownloadToFile(const QString &url, const QString &path, int timeoutMs = 15000, qint64 maxBytes = -1);

} // namespace qo
