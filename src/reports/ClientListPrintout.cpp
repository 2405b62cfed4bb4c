#include "reports/ClientListPrintout.h"

#include "config/AppState.h"
#include "reports/ReportOutput.h"
#include "reports/ReportParts.h"

namespace qo {

namespace {

const ReportFace kFace = ReportFace::SegoeUi;
const double kWidth = 190;
const double kGap = 2;
const Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;

ValueFn textOf(const QString &column)
{
    return [column](const BandContext &c) { return c.text(column); };
}

} // namespace

BandReport BuildClientListPrintout(const RowSet &clients)
{
    BandReport r;
    r.title = QStringLiteral("Ügyfelek listája");
    r.fileName = QStringLiteral("Ügyfelek");
    r.data = std::make_shared<RowSet>(clients);

    // Columns: client, address, phone, date; each as wide as what it holds
    // asks, the page shared among them.
    const QFont cap = ReportFont(kFace, 8, Italic);
    const QFont f = ReportFont(kFace, 8);
    const QFont bold = ReportFont(kFace, 8, Bold);
    const double pad = 1.5;
    const QVector<double> widths = ShareColumnWidths(
        {qMax(TextWidthMm(QStringLiteral("Ügyfél"), cap), WidestTextMm(*r.data, textOf(QStringLiteral("ugyfel_nev")), bold)) + pad,
         qMax(TextWidthMm(QStringLiteral("Cím"), cap), WidestTextMm(*r.data, textOf(QStringLiteral("irszvaroscim")), f)) + pad,
         qMax(TextWidthMm(QStringLiteral("Telefon"), cap), WidestTextMm(*r.data, textOf(QStringLiteral("telefon")), f)) + pad,
         qMax(TextWidthMm(QStringLiteral("Dátum/figy."), cap), TextWidthMm(QStringLiteral("0000.00.00"), f)) + pad},
        kWidth, kGap);
    const double nameW = widths[0], addrX = nameW + kGap, addrW = widths[1], phoneX = addrX + addrW + kGap,
                 phoneW = widths[2], dateX = phoneX + phoneW + kGap, dateW = kWidth - dateX;

    ReportBand &h = r.pageHeader;
    h.text(QRectF(0, 0, 110, 8), QStringLiteral("Ügyfelek"), ReportFont(kFace, 16, Bold));
    h.text(QRectF(0, 8.5, 110, 5), QStringLiteral("Névsorban"), ReportFont(kFace, 10, Bold));
    AddShopBlock(h, ReadShopData(), 110, 0, 80, kFace, 8, 4);
    h.text(QRectF(0, 15, nameW, 4), QStringLiteral("Ügyfél"), cap);
    h.text(QRectF(addrX, 15, addrW, 4), QStringLiteral("Cím"), cap);
    h.text(QRectF(phoneX, 15, phoneW, 4), QStringLiteral("Telefon"), cap);
    h.text(QRectF(dateX, 15, dateW, 4), QStringLiteral("Dátum/figy."), cap);
    h.height = 19.5;
    h.ruleBelow = true;

    ReportBand &d = r.detail;
    const double line = 3.6;
    d.column(QRectF(0, 0.4, nameW, line), QStringLiteral("ugyfel_nev"), bold);
    d.column(QRectF(addrX, 0.4, addrW, line), QStringLiteral("irszvaroscim"), f);
    d.column(QRectF(phoneX, 0.4, phoneW, line), QStringLiteral("telefon"), f);
    d.column(QRectF(dateX, 0.4, dateW, line), QStringLiteral("dat_utolso"), f);
    d.column(QRectF(5, 0.4 + line, dateX - 7, line), QStringLiteral("emil"), f);
    d.column(QRectF(dateX, 0.4 + line, dateW, line), QStringLiteral("dat_figyelmeztet"), f);
    d.column(QRectF(5, 0.4 + 2 * line, kWidth - 5, line), QStringLiteral("megjegyzes"), f, kLeft | Qt::AlignTop).growing();
    d.height = 0.4 + 3 * line + 0.4;
    d.ruleBelow = true;

    AddPageFooter(r.pageFooter, kWidth, kFace, r.title, QStringLiteral("QrUgyfel"), true);
    return r;
}

void PrintClientList(bool print, const RowSet &clients, QWidget *parent)
{
    OutputReport(BuildClientListPrintout(clients), print, appState().nyomtato, parent);
}

} // namespace qo
