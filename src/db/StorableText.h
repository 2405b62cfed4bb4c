#pragma once
// What the shop database's character set (latin2) can hold. Text typed or
// pasted into the program is checked here before it can reach the server,
// where a character latin2 lacks would silently become "?".
#include <QString>

namespace qo {

// The usual typographic characters mapped to their plain equivalents
// (– — − → -, „ ” “ → ", ’ ‘ ‚ → ', õ û → ő ű, ...). Same length as the text.
QString PlainTypography(const QString &text);
// The first character (a whole code point, e.g. an emoji) that latin2 cannot
// hold (map with PlainTypography first where typing is concerned); empty
// when every character fits.
QString FirstUnstorableChar(const QString &text);
// "A(z) „€” karakter nem tárolható az adatbázisban."
QString UnstorableCharText(const QString &ch);

} // namespace qo
