#include "reports/GridPrintout.h"
#include "base/Error.h"

#include "reports/ReportOutput.h"
#include "reports/ReportParts.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/MessageBoxes.h"

#include <QHeaderView>

namespace qo {

namespace {

const ReportFace kFace = ReportFace::Tahoma;
const double kColumnGap = 1.3;
// A cancelled work order's row, in the colours the list shows it in.
const QColor kCancelledBack(255, 221, 221);
const QColor kCancelledText(128, 0, 0);

Qt::Alignment columnAlignment(const GridModel &m, int column)
{
    const QVariant a = m.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole);
    // The cells' own alignment: the first row's, else numbers right.
    if (m.rowCount() > 0) {
        const QVariant cell = m.data(m.index(0, column), Qt::TextAlignmentRole);
        if (cell.isValid())
            return Qt::Alignment(cell.toInt()) & Qt::AlignHorizontal_Mask;
    }
    if (a.isValid())
        return Qt::Alignment(a.toInt()) & Qt::AlignHorizontal_Mask;
    return Qt::AlignLeft;
}

} // namespace

BandReport BuildGridPrintout(const Grid &grid, bool portrait, const QString &subtitle, const QString &sumField,
                             double points, const QString &title)
{
    BandReport r;
    r.title = title;
    r.orientation = portrait ? QPageLayout::Portrait : QPageLayout::Landscape;
    r.margins = QMarginsF(10, 10, 10, 10);
    const double width = portrait ? 190 : 277;
    const GridModel *m = grid.gridModel();
    // A printout lays out every row: a list held as a window is read whole.
    r.data = std::make_shared<RowSet>(m->wholeList());

    ReportBand &h = r.pageHeader;
    h.text(QRectF(0, 0, width, 8), title, ReportFont(kFace, 16, Bold));
    h.text(QRectF(0, 8.5, width, 4.5), subtitle, ReportFont(kFace, 9, Bold));
    const double line = points * 0.3528 * 1.45; // a text line of the given size in mm
    const double capY = 14.5;
    ReportBand &d = r.detail;
    d.height = line + 0.6;
    d.ruleBelow = true;
    // Rows of cancelled orders (storno 'I') are printed marked and count in no sum.
    const int stornoField = r.data->fieldIndex(QStringLiteral("storno"));
    const auto cancelled = [stornoField](const RowSet &rows, int row) {
        return stornoField >= 0 && row >= 0 && rows.text(row, stornoField) == QLatin1String("I");
    };
    d.fill = [cancelled](const BandContext &c) { return cancelled(*c.rows, c.row) ? kCancelledBack : QColor(); };
    const auto rowColour = [cancelled](const BandContext &c) {
        return cancelled(*c.rows, c.row) ? kCancelledText : QColor(Qt::black);
    };

    const int gridWidth = qMax(1, grid.width());
    double x = 0;
    double sumX = -1, sumW = 0;
    for (int c = 0; c < m->columnCount(); ++c) {
        if (grid.isColumnHidden(c))
            continue;
        const double w = width * grid.columnWidth(c) / double(gridWidth);
        const Qt::Alignment a = columnAlignment(*m, c) | Qt::AlignVCenter;
        h.text(QRectF(x, capY, w, line), m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
               ReportFont(kFace, points, Italic), a);
        GridColumn shown = m->columns()[c];
        shown.index = r.data->fieldIndex(shown.field);
        d.field(QRectF(x, 0.3, w, line), [shown](const BandContext &ctx) { return CellText(*ctx.rows, ctx.row, shown); },
                ReportFont(kFace, points), a)
            .colourBy(rowColour);
        if (!sumField.isEmpty() && m->fieldOf(c).compare(sumField, Qt::CaseInsensitive) == 0) {
            sumX = x;
            sumW = w;
        }
        x += w + kColumnGap;
    }
    h.height = capY + line + 0.5;
    h.ruleBelow = true;
    // The mark: a line of its own under a cancelled row (the band grows by it).
    d.field(QRectF(0, line + 0.3, width, 0), [cancelled](const BandContext &c) {
        return cancelled(*c.rows, c.row) ? QStringLiteral("SZTORNÓ – nem számít az összegbe") : QString();
    }, ReportFont(kFace, qMax(6.0, points - 1.5), Bold), Qt::AlignLeft | Qt::AlignTop).growing().coloured(kCancelledText);

    if (!sumField.isEmpty()) {
        ReportBand &s = r.summary;
        const QFont bold = ReportFont(kFace, points, Bold);
        s.text(QRectF(0, 0.8, 25, line), QStringLiteral("Összesen"), ReportFont(kFace, points));
        s.field(QRectF(25, 0.8, 90, line), [cancelled](const BandContext &c) {
            int off = 0;
            for (int row = c.first; row <= c.last; ++row)
                off += cancelled(*c.rows, row) ? 1 : 0;
            QString t = QStringLiteral("sorok száma: ") + QString::number(c.count());
            if (off > 0)
                t += QStringLiteral(", ebből sztornó: ") + QString::number(off);
            return t;
        }, bold);
        if (sumX >= 0)
            s.field(QRectF(sumX, 0.8, sumW, line), [sumField, cancelled](const BandContext &c) {
                double sum = 0;
                const int f = c.rows ? c.rows->fieldIndex(sumField) : -1;
                for (int row = c.first; f >= 0 && row <= c.last; ++row)
                    if (!cancelled(*c.rows, row))
                        sum += c.rows->toDouble(row, f);
                // A plain number, without the money format.
                return QString::number(sum, 'f', 0);
            }, bold, Qt::AlignRight | Qt::AlignVCenter);
        s.height = line + 1.6;
    }
    AddPageFooter(r.pageFooter, width, ReportFace::CourierNew, title, QStringLiteral("qrGridPrint"), true);
    return r;
}

void PrintGrid(const Grid &grid, bool print, bool portrait, const QString &subtitle, const QString &sumField,
               double points, const QString &title, QWidget *parent)
{
    BandReport r;
    try {
        r = BuildGridPrintout(grid, portrait, subtitle, sumField, points, title);
    } catch (const Error &e) {
        ShowError(e.message(), parent); // the list could not be read
        return;
    }
    OutputReport(r, print, QString(), parent);
}

} // namespace qo
