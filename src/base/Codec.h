#pragma once
// The two code pages at the program's boundaries. Inside the program every
// text is a QString; the database connection speaks latin2 (ISO-8859-2), and
// files the program writes or reads (configuration, exports, scripts) are
// Windows-1250 bytes with CR LF line ends. Every conversion keeps no state
// between calls.
#include <QByteArray>
#include <QString>

#include <array>

namespace qo {

// Characters that Windows-1250 lacks become "?", so does half a surrogate pair.
QByteArray toCp1250(const QString &text);
QString fromCp1250(const QByteArray &bytes);

// Text <-> latin2 bytes of the connection. Characters latin2 lacks become "?",
// except õ û Õ Û, stored as ő ű Ő Ű so that Windows-1250 texts stay readable.
QByteArray toLatin2(const QString &s);
QString fromLatin2(const char *data, int len);

// One Windows-1250 byte for each latin2 byte ("?" where Windows-1250 lacks the
// letter), for writers that copy the connection's bytes straight into a file.
const std::array<char, 256> &latin2ToCp1250Bytes();

// The lower-case latin2 byte of each latin2 byte, so that stored bytes can be
// compared regardless of case without decoding them.
const std::array<uchar, 256> &latin2Lower();

// Writes the text as a Windows-1250 file with CR LF line ends (a lone LF
// becomes CR LF; CR LF stays as it is). Replaces the file through SaveFile;
// throws its qo::Error on failure.
void writeLocalTextFile(const QString &path, const QString &text);

} // namespace qo
