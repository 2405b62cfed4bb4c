#include "clients/PrescriptionChecks.h"

#include <QLocale>

#include <cmath>

namespace qo {

namespace {

bool readNumber(const QString &text, double *value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    *value = locale.toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(*value);
}

// Lenses come in quarter dioptre steps.
bool offQuarterStep(const QString &text)
{
    double v = 0;
    if (!readNumber(text, &v))
        return false; // words and the like are the OK check's business
    return std::fabs(v * 4 - std::round(v * 4)) > 1e-6;
}

bool unusualAxis(const QString &text)
{
    if (text.trimmed().isEmpty())
        return false;
    double v = 0;
    return !readNumber(text, &v) || v < 0 || v > 180;
}

bool hasCylinder(const QString &text)
{
    if (text.trimmed().isEmpty())
        return false;
    double v = 0;
    return !readNumber(text, &v) || v != 0;
}

} // namespace

PrescriptionWarnings CheckPrescriptionRow(const QString &side, const QString &sph, const QString &cyl,
                                          const QString &ax, bool checkPair)
{
    PrescriptionWarnings w;
    const QString step = QStringLiteral("%1 %2: %3 nem 0,25 többszöröse.");
    if (offQuarterStep(sph))
        w.sph = step.arg(side, QStringLiteral("Sph"), sph.trimmed());
    if (offQuarterStep(cyl))
        w.cyl = step.arg(side, QStringLiteral("Cyl"), cyl.trimmed());
    if (unusualAxis(ax))
        w.ax = QStringLiteral("%1 Ax: %2 nem 0 és 180 közötti.").arg(side, ax.trimmed());
    if (checkPair) {
        const bool axisGiven = !ax.trimmed().isEmpty();
        if (hasCylinder(cyl) && !axisGiven) {
            w.pair = QStringLiteral("%1: Cyl tengely (Ax) nélkül.").arg(side);
            w.pairMissesAxis = true;
        } else if (axisGiven && !hasCylinder(cyl)) {
            w.pair = QStringLiteral("%1: Ax Cyl nélkül.").arg(side);
        }
    }
    return w;
}

} // namespace qo
