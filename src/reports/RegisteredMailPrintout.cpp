#include "reports/RegisteredMailPrintout.h"

#include "reports/ReportOutput.h"
#include "reports/ReportParts.h"

namespace qo {

BandReport BuildRegisteredMailForm(const RowSet &shop, const RowSet &client)
{
    BandReport r;
    r.title = QStringLiteral("Boríték nyomtatás");
    r.pageSize = QPageSize(QSizeF(160, 113), QPageSize::Millimeter, QStringLiteral("Szelvény"), QPageSize::ExactMatch);
    r.margins = QMarginsF(12, 10, 10, 10);
    r.data = std::make_shared<RowSet>(client);
    QString owner, zip, address;
    if (shop.rowCount() > 0) {
        owner = shop.text(0, QStringLiteral("tulajdonos"));
        zip = shop.text(0, QStringLiteral("irsz"));
        QStringList parts;
        for (const QString &p : {shop.text(0, QStringLiteral("varos")).trimmed(), shop.text(0, QStringLiteral("cim")).trimmed()})
            if (!p.isEmpty())
                parts << p;
        address = parts.join(QStringLiteral(", "));
    }

    ReportBand &b = r.pageHeader;
    const double ox = -r.margins.left(), oy = -r.margins.top();
    auto at = [&](double left, double top, double w) { return QRectF(left + ox, top + oy, w, 4.5); };
    const QFont f = ReportFont(ReportFace::Arial, 9);
    const Qt::Alignment a = Qt::AlignLeft | Qt::AlignTop;
    b.text(at(37.1, 26.5, 110), owner, f, a);
    b.text(at(37.1, 31.2, 110), address, f, a);
    b.text(at(37.1, 35.1, 40), zip, f, a);
    b.column(at(42.1, 53.0, 105), QStringLiteral("ugyfel_nev"), f, a);
    b.column(at(42.4, 57.6, 18), QStringLiteral("cim_irsz"), f, a);
    b.column(at(60.9, 57.6, 87), QStringLiteral("cim_varos"), f, a);
    b.column(at(42.4, 62.3, 105), QStringLiteral("cim_cim"), f, a);
    b.height = 113 - r.margins.top() - r.margins.bottom();
    for (ReportItem &it : b.items)
        it.clip = false;
    return r;
}

void PrintRegisteredMailForm(const RowSet &shop, const RowSet &client, QWidget *parent)
{
    OutputReport(BuildRegisteredMailForm(shop, client), true, QString(), parent);
}

} // namespace qo
