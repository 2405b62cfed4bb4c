#include "reports/ReminderPrintouts.h"

#include "reports/EnvelopePrintout.h"
#include "reports/ReportParts.h"

namespace qo {

BandReport BuildReminderLetters(std::shared_ptr<const RowSet> rows,
                                std::function<QString(const RowSet &rows, int row)> body)
{
    BandReport r;
    r.title = QStringLiteral("Emlékeztető levél");
    r.fileName = QStringLiteral("emlekezteto_levelek");
    r.margins = QMarginsF(10, 10, 10, 10);
    r.data = rows;

    // One letter per row: a detail band as tall as the page, its items placed
    // from the paper's corner like the envelope's.
    ReportBand &b = r.detail;
    const double ox = -r.margins.left(), oy = -r.margins.top();
    auto at = [&](double left, double top, double w, double h) { return QRectF(left + ox, top + oy, w, h); };
    const ReportFace face = ReportFace::Arial;
    const ShopData shop = ReadShopData();
    b.text(at(20, 15, 170, 7), shop.tulajdonos, ReportFont(face, 14, Bold));
    b.text(at(20, 22, 170, 5), shop.irszvaroscim, ReportFont(face, 10));
    b.text(at(20, 27, 170, 5), shop.telefon, ReportFont(face, 10));
    b.line(20 + ox, 33 + oy, 190 + ox, 33 + oy);
    // The sender's line above the address, small, as window envelopes carry it.
    b.text(at(kLetterAddressArea.left(), kLetterAddressArea.top() - 2.5, kLetterAddressArea.width(), 3.5),
           QStringList{shop.tulajdonos, shop.irszvaroscim}.join(QStringLiteral(", ")), ReportFont(face, 7));
    const double ax = kLetterAddressArea.left(), aw = kLetterAddressArea.width();
    double y = kLetterAddressArea.top() + 2;
    b.column(at(ax, y, aw, 6), QStringLiteral("ugyfel_nev"), ReportFont(face, 11, Bold));
    b.column(at(ax, y += 6.5, aw, 5.5), QStringLiteral("cim_varos"), ReportFont(face, 11));
    b.column(at(ax, y += 6, aw, 5.5), QStringLiteral("cim_cim"), ReportFont(face, 11));
    b.column(at(ax, y += 6, aw, 5.5), QStringLiteral("cim_irsz"), ReportFont(face, 11, Bold));
    b.field(at(120, 100, 70, 5), [](const BandContext &) {
        return ReportPrintTime().date().toString(QStringLiteral("yyyy.MM.dd."));
    }, ReportFont(face, 10), Qt::AlignRight | Qt::AlignVCenter);
    b.field(at(25, 112, 160, 8), [body](const BandContext &c) { return body(*c.rows, c.row); },
            ReportFont(face, 11), Qt::AlignLeft | Qt::AlignTop)
        .growing();
    b.height = r.contentHeight();
    for (ReportItem &it : b.items)
        it.clip = false; // a place measured from the paper may reach into the margin
    return r;
}

BandReport BuildEnvelopes(std::shared_ptr<const RowSet> envelopeRows)
{
    // The envelope's own layout run as the detail of every row: one
    // envelope per page.
    BandReport r = BuildEnvelope(RowSet());
    r.detail = r.pageHeader;
    r.pageHeader = ReportBand();
    r.data = std::move(envelopeRows);
    return r;
}

} // namespace qo
