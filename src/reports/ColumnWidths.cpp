#include "reports/BandReport.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrinter>

// How list printouts share the page width among their columns, and text
// widths measured at the printed page's resolution.
namespace qo {

QVector<double> ShareColumnWidths(const QVector<double> &wanted, double total, double gap)
{
    const int n = int(wanted.size());
    QVector<double> out(n, 0);
    if (n == 0)
        return out;
    double room = qMax(0.0, total - gap * (n - 1));
    double asked = 0;
    for (double w : wanted)
        asked += qMax(0.0, w);
    if (asked <= room) {
        for (int i = 0; i < n; ++i)
            out[i] = asked > 0 ? qMax(0.0, wanted[i]) * room / asked : room / n;
        return out;
    }
    // Too little room: the modest columns keep their width, the wide ones share the rest.
    QVector<bool> fixed(n, false);
    for (bool changed = true; changed;) {
        changed = false;
        int open = 0;
        for (int i = 0; i < n; ++i)
            open += fixed[i] ? 0 : 1;
        if (open == 0)
            break;
        const double share = room / open;
        for (int i = 0; i < n; ++i)
            if (!fixed[i] && wanted[i] <= share) {
                fixed[i] = true;
                out[i] = qMax(0.0, wanted[i]);
                room -= out[i];
                changed = true;
            }
    }
    double rest = 0;
    for (int i = 0; i < n; ++i)
        if (!fixed[i])
            rest += wanted[i];
    for (int i = 0; i < n; ++i)
        if (!fixed[i])
            out[i] = rest > 0 ? wanted[i] * room / rest : 0;
    return out;
}

namespace {
// A device of the printed page's resolution to measure texts on.
QPaintDevice *measuringDevice()
{
    static QImage image = [] {
        QImage i(1, 1, QImage::Format_Mono);
        i.setDotsPerMeterX(qRound(1200 / 0.0254));
        i.setDotsPerMeterY(qRound(1200 / 0.0254));
        return i;
    }();
    return &image;
}
} // namespace

double TextWidthMm(const QString &text, const QFont &font)
{
    QPaintDevice *dev = measuringDevice();
    return QFontMetricsF(font, dev).horizontalAdvance(text) * 25.4 / dev->logicalDpiX();
}

double WidestTextMm(const RowSet &rows, const ValueFn &value, const QFont &font)
{
    QPaintDevice *dev = measuringDevice();
    const QFontMetricsF fm(font, dev);
    double widest = 0;
    BandContext c;
    c.rows = &rows;
    for (int r = 0; r < rows.rowCount(); ++r) {
        c.row = c.first = c.last = r;
        widest = qMax(widest, fm.horizontalAdvance(value(c)));
    }
    return widest * 25.4 / dev->logicalDpiX();
}

} // namespace qo
