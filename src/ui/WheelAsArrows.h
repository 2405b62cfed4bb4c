#pragma once
// The mouse wheel over lists and grids moves one row per notch.
class QApplication;

namespace qo {

// Program-wide: each wheel notch over a list or grid becomes one Up (wheel
// turned away from the user) or Down key press sent to that view, so lists
// move one row per notch. Other widgets keep their own wheel handling.
void InstallWheelAsArrows(QApplication *app);

} // namespace qo
