#pragma once
// The desktop's "open" of a web address, a mailto: address or a file, and the
// addresses of the maker's web service.
#include <QString>

namespace qo {

// Hands the target to the desktop's default handler without waiting.
bool OpenDocument(const QString &target);

inline QString MakerHomePage() { return QStringLiteral("https://www.mirelta.hu/"); }
inline QString MakerMailAddress() { return QStringLiteral("info@mirelta.hu"); }
inline QString MakerHelpPage()
{
    return QStringLiteral("https://www.mirelta.hu/prgdocs/index.php?prg=7&fejezet=8&alfejezet=1");
}

} // namespace qo
