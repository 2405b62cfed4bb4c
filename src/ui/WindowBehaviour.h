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
//    InstallStorableText in ui/TextGuards.h);
//  - Tab leaves a multi-line field (Enter makes the new line).
#include <QFlags>

class QWidget;

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

// Enter on this button moves on to the next control instead of pressing it
// (buttons that change what was typed, like a quick choice of a period).
void EnterMovesPast(QWidget *button);

} // namespace qo
