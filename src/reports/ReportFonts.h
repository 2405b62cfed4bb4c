#pragma once
// The typefaces of the printouts. The layouts were drawn for Windows fonts;
// each is taken by a packaged font of the same measures (installed by
// scripts/install-deps), so a printout does not depend on the desktop's fonts:
//   Arial            -> Liberation Sans (metric twin)
//   Courier New      -> Liberation Mono (metric twin)
//   Tahoma, Segoe UI -> DejaVu Sans
//   the rounded bold title face -> Comfortaa
#include <QFont>

namespace qo {

enum class ReportFace { Arial, CourierNew, SegoeUi, Tahoma, Rounded };

enum FontStyle { Plain = 0, Bold = 1, Italic = 2, Underline = 4 };

// The family that stands in for a face.
QString ReportFamily(ReportFace face);
QFont ReportFont(ReportFace face, double points, int style = Plain);

} // namespace qo
