#pragma once
// Guards on what a text field takes: only text the shop database can store,
// a length limit for multi-line fields, a capital first letter, passwords
// shown as stars.
class QLineEdit;
class QWidget;

namespace qo {

// Text typed, pasted or dropped into the field is kept to what the shop
// database (latin2) can store: typographic characters become their plain
// equivalents (– → -, „ ” → ", ’ → '), any other character latin2 lacks is
// refused with "A(z) „€” karakter nem tárolható az adatbázisban.". For line
// edits and multi-line fields; installing twice does nothing.
void InstallStorableText(QWidget *field);

// A multi-line field (QPlainTextEdit, QTextEdit) takes at most maxChars
// characters, as a line edit's maxLength: typing stops there, and a paste
// beyond it is cut with "A mező legfeljebb %1 karaktert fogad el.".
void LimitTextLength(QWidget *multiLine, int maxChars);

// First typed letter a..z of an empty edit becomes a capital (name, city and
// address fields); accented letters are left as typed.
void InstallCapitalizeFirst(QLineEdit *edit);

// A password field: typed characters show as "*" (the style's own mask
// character is a dot).
void ShowPasswordAsStars(QLineEdit *edit);

} // namespace qo
