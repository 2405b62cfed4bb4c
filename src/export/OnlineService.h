#pragma once
// The maker's web service: its address and the answers it gives.
//
// The base address comes from the configuration file, key SzolgaltatasCim of
// section Alapertek (a URL ending in "/"), by default the maker's home page.
// Each request waits at most kServiceTimeoutMs; when the service cannot be
// reached the caller simply goes on without it.
#include <QString>

namespace qo {

inline constexpr int kServiceProgramId = 53;
inline constexpr int kServiceTimeoutMs = 5000;

QString ServiceBaseUrl(); // always ends in "/"
QString VersionAnswerUrl();          // verziokovetes.php?prg=53
QString NewsAnswerUrl(int acknowledged); // hirfolyam.php?prg=53&hir=N
QString NewsArticleUrl(int id);      // hirek.php?hir=N

// Deletes the file, downloads url into it and returns its text: lines joined
// by CR LF (also after the last), UTF-8 reduced to the program's letters.
// False when the download failed or left no file.
bool FetchServiceAnswer(const QString &url, const QString &path, QString *answer);

} // namespace qo
