#pragma once
// Windows-1250 at the file boundaries. Inside the program every text is a
// QString; files the program writes or reads (configuration, exports, scripts)
// are Windows-1250 bytes with CR LF line ends.
#include <QByteArray>
#include <QString>

namespace qo {

// Characters that Windows-1250 lacks become "?".
QByteArray toCp1250(const QString &text);
QString fromCp1250(const QByteArray &bytes);

// Writes the text as a Windows-1250 file with CR LF line ends (a lone LF
// becomes CR LF; CR LF stays as it is). Replaces the file through SaveFile;
// throws its qo::Error on failure.
void writeLocalTextFile(const QString &path, const QString &text);

} // namespace qo
