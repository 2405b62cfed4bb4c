#include "reports/EnvelopePrintout.h"

#include "reports/ReportOutput.h"
#include "reports/ReportParts.h"

namespace qo {

BandReport BuildEnvelope(const RowSet &client)
{
    BandReport r;
    r.title = QStringLiteral("Boríték nyomtatás");
    r.pageSize = QPageSize(QSizeF(160, 113), QPageSize::Millimeter, QStringLiteral("Boríték"), QPageSize::ExactMatch);
    r.orientation = QPageLayout::Portrait; // the size itself is wider than high
    r.margins = QMarginsF(10, 10, 10, 10);
    r.data = std::make_shared<RowSet>(client);

    // Everything on one band placed from the corner of the paper: the band
    // starts at the top margin, the items are moved back by the margins.
    ReportBand &b = r.pageHeader;
    const double ox = -r.margins.left(), oy = -r.margins.top();
    auto at = [&](double left, double top, double w, double h) { return QRectF(left + ox, top + oy, w, h); };
    const QFont arial9 = ReportFont(ReportFace::Arial, 9);
    b.column(at(11.3, 11.3, 80, 4.5), QStringLiteral("tulajdonos"), ReportFont(ReportFace::Arial, 9, Bold | Underline))
        .coloured(QColor(0, 0, 128));
    b.column(at(11.3, 16.6, 80, 4.5), QStringLiteral("tulvaroscim"), ReportFont(ReportFace::CourierNew, 9));
    b.column(at(11.3, 21.9, 80, 4.5), QStringLiteral("tulirsz"), ReportFont(ReportFace::CourierNew, 9, Bold));
    const QImage logo = ReportLogo(false); // without Logo.bmp the place stays empty
    if (!logo.isNull())
        b.picture(at(11.3, 27.9, 57.2, 18.2), logo, true);
    const double cx = 70.9, cw = 145.3 - 70.9;
    const Qt::Alignment c = Qt::AlignHCenter | Qt::AlignTop;
    // The name may take two smaller lines, down to the contact person's line.
    b.column(at(cx, 53.7, cw, 5.2), QStringLiteral("ugyfel_nev"), ReportFont(ReportFace::Arial, 11, Bold), c);
    b.column(at(cx, 58.9, cw, 5), QStringLiteral("kapcsolat2"), ReportFont(ReportFace::Arial, 10), c);
    b.text(at(cx, 64.2, cw, 5), QStringLiteral("Részére"), arial9, c);
    b.column(at(cx, 72.2, cw, 5), QStringLiteral("cim_varos"), ReportFont(ReportFace::Arial, 10, Underline), c);
    b.column(at(cx, 78.8, cw, 5), QStringLiteral("cim_cim"), ReportFont(ReportFace::Arial, 10), c);
    b.column(at(cx, 89.4, cw, 8), QStringLiteral("cim_irsz"), ReportFont(ReportFace::Rounded, 16, Bold), c);
    b.height = 113 - r.margins.top() - r.margins.bottom();
    for (ReportItem &it : b.items)
        it.clip = false; // a place measured from the paper may reach into the margin
    return r;
}

void PrintEnvelope(const RowSet &client, QWidget *parent)
{
    OutputReport(BuildEnvelope(client), true, QString(), parent);
}

} // namespace qo
