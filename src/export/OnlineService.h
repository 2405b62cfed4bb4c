#pragma once
// The maker's web service: its address and the answers it gives.
//
// The base address comes from the configuration file, key SzolgaltatasCim of
// section Alapertek (a URL ending in "/"), by default the maker's home page.
// Each request waits at most kServiceTimeoutMs; when the service cannot be
// reached the caller simply goes on without it.
#include <QByteArray>
#include <QString>
#include <optional>

namespace qo {

inline constexpr int kServiceProgramId = 53;
inline constexpr int kServiceTimeoutMs = 5000;
// An answer is a version and its notes or one news item: anything longer is
// not the service's, and is dropped unread.
inline constexpr qint64 kServiceAnswerMaxBytes = 8 * 1024;

QString ServiceBaseUrl(); // always ends in "/"
QString VersionAnswerUrl();          // verziokovetes.php?prg=53
QString NewsAnswerUrl(int acknowledged); // hirfolyam.php?prg=53&hir=N
QString NewsArticleUrl(int id);      // hirek.php?hir=N

// Deletes the file, downloads url into it and returns its text: a leading
// byte-order mark dropped, lines joined by CR LF (also after the last), UTF-8
// reduced to the program's letters. False when the download failed, left no
// file, or the answer was longer than kServiceAnswerMaxBytes.
bool FetchServiceAnswer(const QString &url, const QString &path, QString *answer);

// An answer's bytes as FetchServiceAnswer gives them: a leading byte-order
// mark dropped, lines joined by CR LF (also after the last), UTF-8 reduced to
// the program's letters.
QString ServiceAnswerText(QByteArray bytes);

// A news answer "number|title|text": nothing unless field 1 is a news number
// above 0 (a web page in place of the answer ...).
struct NewsAnswer {
    int id = 0;
    QString title, text;
};
std::optional<NewsAnswer> ParseNewsAnswer(const QString &answer);

// A version answer "version|notes": nothing unless field 1 is a version.
struct VersionAnswer {
    QString version, notes;
};
std::optional<VersionAnswer> ParseVersionAnswer(const QString &answer);

// True for a whole number of at most nine digits ("7", "0012"), as field 1 of
// a news answer must be.
bool IsServiceNumber(const QString &field);
// True for a dotted version of whole numbers ("23.0.0.45", "23"), as field 1
// of a version answer must be.
bool IsServiceVersion(const QString &field);

} // namespace qo
