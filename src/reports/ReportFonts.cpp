#include "reports/ReportFonts.h"

namespace qo {

QString ReportFamily(ReportFace face)
{
    switch (face) {
    case ReportFace::Arial:
        return QStringLiteral("Liberation Sans");
    case ReportFace::CourierNew:
        return QStringLiteral("Liberation Mono");
    case ReportFace::SegoeUi:
    case ReportFace::Tahoma:
        return QStringLiteral("DejaVu Sans");
    case ReportFace::Rounded:
        return QStringLiteral("Comfortaa");
    }
    return QStringLiteral("Liberation Sans");
}

QFont ReportFont(ReportFace face, double points, int style)
{
    QFont f(ReportFamily(face));
    // Should a stand-in be missing, a font of the same kind rather than any.
    f.setStyleHint(face == ReportFace::CourierNew ? QFont::Monospace : QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(style & Bold);
    f.setItalic(style & Italic);
    f.setUnderline(style & Underline);
    f.setKerning(true);
    return f;
}

} // namespace qo
