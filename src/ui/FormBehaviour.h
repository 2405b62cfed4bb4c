#pragma once
// The behaviour every input window of the program shares, installed with one
// call instead of being copied into each window:
//  - the input field that has the keyboard focus is painted FocusColor;
//  - Enter moves to the next control (a new line in multi-line fields; a
//    focused push button is clicked), so a default button never fires from a
//    line edit;
//  - Esc cancels (a dialog is rejected, another window is closed);
//  - the window takes the font size appState().Betumeret;
//  - its position or whole placement is restored from the configuration file
//    under its objectName() when shown and stored when it is hidden or closed;
//  - Tab and Shift+Tab leave a date field (Left and Right move between the
//    date's sections), so digits meant for the next field never change a date;
//  - every text field takes only what the database can store (see
//    InstallStorableText);
//  - Tab leaves a multi-line field (Enter makes the new line).
#include <QFlags>
#include <QPixmap>

class QWidget;
class QLineEdit;
class QApplication;

namespace qo {

// Which of the window-placement helpers a window uses.
enum class Placement {
    None,                    // the window places itself (centred dialogs)
    Position,                // Left/Top restored and stored
    Full,                    // Left/Top/Width/Height restored (clamped) and stored
    PositionRestoreFullSave, // Left/Top restored, all four stored
};

enum class FormOption {
    FocusColour = 0x01,
    EnterMovesFocus = 0x02, // without it Enter reaches the default button
    EscCancels = 0x04,
    FontSize = 0x08,
    All = 0x0f,
};
Q_DECLARE_FLAGS(FormOptions, FormOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(FormOptions)

void InstallFormBehaviour(QWidget *window, Placement kind, FormOptions options = FormOption::All);

// The font size windows use: appState().Betumeret, or 9 when it is not 8..10.
int WindowFontSize();

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

// Enter on this button moves on to the next control instead of pressing it
// (buttons that change what was typed, like a quick choice of a period).
void EnterMovesPast(QWidget *button);

// First typed letter a..z of an empty edit becomes a capital (name, city and
// address fields); accented letters are left as typed.
void InstallCapitalizeFirst(QLineEdit *edit);

// A password field: typed characters show as "*" (the style's own mask
// character is a dot).
void ShowPasswordAsStars(QLineEdit *edit);

// Program-wide, once at start (also by the main window): toolbar and button
// icons come from the desktop's icon theme, falling back to the packaged
// freedesktop theme "Adwaita" and then to the program's own few icons in its
// resources, so the toolbars look the same on every machine.
void InstallIconTheme();

// Program-wide: each wheel notch over a list or grid becomes one Up (wheel
// turned away from the user) or Down key press sent to that view, so lists
// move one row per notch. Other widgets keep their own wheel handling.
void InstallWheelAsArrows(QApplication *app);

// One of the program's own decorative pictures (src/ui/pics/<name>.svg),
// rendered at the given size; a null pixmap when the name is unknown.
QPixmap DecorativePicture(const QString &name, int width, int height);
// An SVG picture rendered centred in a transparent box of the given size,
// keeping its proportions (an empty box when the SVG is not valid).
QPixmap SvgPicture(const QByteArray &svg, int width, int height);

} // namespace qo
