#pragma once
// The local settings of section "Alapertek" (and the owner's name of section
// "Tulajdonos"): read once at start into AppState, written back at shutdown.
#include "config/AppState.h"

#include <QRect>

namespace qo {

// Reads every local setting into the state; a font size outside 8..10 becomes 9.
void LoadLocalSettings(AppState &state);
// Writes them back, with the main window's frame position and size.
void SaveLocalSettings(const AppState &state, const QRect &mainWindow);
// Where the main window was closed (its default size when never stored).
QRect StoredMainWindowRect(const QSize &defaultSize);

} // namespace qo
