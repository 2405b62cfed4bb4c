#include "reports/WorkOrderPrintout.h"
#include "base/Dates.h"

#include "config/AppState.h"
#include "db/Kinds.h"
#include "reports/ReportOutput.h"
#include "reports/ReportParts.h"
#include "ui/MessageBoxes.h"

#include <cmath>

namespace qo {

namespace {

const ReportFace kFace = ReportFace::Arial;
const Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
const Qt::Alignment kCentre = Qt::AlignCenter;

QFont caption() { return ReportFont(kFace, 8, Italic); }
QFont value() { return ReportFont(kFace, 8, Bold); }

ValueFn textOf(const QString &column)
{
    return [column](const BandContext &c) { return c.text(column); };
}

ValueFn dateOf(const QString &column)
{
    return [column](const BandContext &c) {
        const QDate d = c.rows->toDate(c.row, column);
        return DateText(d);
    };
}

int orderType(const BandContext &c)
{
    return int(c.rows && c.row >= 0 ? c.rows->toInt(c.row, QStringLiteral("mlaptipus"), 0) : 0);
}

void pageHeader(ReportBand &h, double w, const QString &birthDate)
{
    h.field(QRectF(0, 0, w - 50, 9), [](const BandContext &c) {
        return QStringLiteral("Munkalap   No: ") + c.text(QStringLiteral("munkalap"));
    }, ReportFont(ReportFace::Rounded, 16, Bold), kLeft);
    h.picture(QRectF(w - 48, 0, 48, 14.5), ReportLogo(true), false);
    h.text(QRectF(0, 10.5, 40, 4), QStringLiteral("Megrendelő"), ReportFont(kFace, 8, Bold | Italic));
    const QStringList caps = {QStringLiteral("Név"), QStringLiteral("Cím"), QStringLiteral("Telefon"),
                              QStringLiteral("Szül.idő")};
    const QStringList cols = {QStringLiteral("ugyfel_nev"), QStringLiteral("irszvaroscim"), QStringLiteral("telefon")};
    for (int i = 0; i < 4; ++i) {
        const double y = 14.5 + i * 4;
        h.text(QRectF(0, y, 14, 4), caps[i], caption());
        if (i < 3)
            h.field(QRectF(14, y, w - 14 - 54, 4), textOf(cols[i]), value());
        else
            h.text(QRectF(14, y, w - 14 - 54, 4), birthDate, value());
    }
    AddShopBlock(h, ReadShopData(), w - 54, 16, 54, kFace, 8, 4);
    h.height = 31.5;
    h.ruleBelow = true;
}

// A caption cell and a value cell, both ruled.
void captionCell(ReportBand &b, const QRectF &r, const QString &text, Qt::Alignment a = kCentre)
{
    b.text(r, text, caption(), a).framed();
}

ReportItem &valueCell(ReportBand &b, const QRectF &r, ValueFn v, Qt::Alignment a = kCentre)
{
    return b.field(r, std::move(v), value(), a).framed();
}

void body(ReportBand &d, double w, bool a5)
{
    const bool a4 = !a5;
    // Type heading, then the prescription grid.
    valueCell(d, QRectF(0, 2, w, 6), [](const BandContext &c) { return PrintedWorkOrderHeading(orderType(c)); })
        .font = ReportFont(kFace, 9, Bold);
    // A cancelled order is marked at both ends of the heading, so that
    // neither copy can pass for a valid order.
    const ValueFn cancelled = [](const BandContext &c) {
        return c.text(QStringLiteral("storno")) == QLatin1String("I") ? QStringLiteral("SZTORNÓ") : QString();
    };
    d.field(QRectF(1.5, 2, 30, 6), cancelled, ReportFont(kFace, 11, Bold), kLeft).coloured(QColor(200, 0, 0));
    d.field(QRectF(w - 31.5, 2, 30, 6), cancelled, ReportFont(kFace, 11, Bold), kRight).coloured(QColor(200, 0, 0));
    const double lw = 16, cw = (w - lw) / 6;
    captionCell(d, QRectF(0, 9, lw, 5), QString());
    const QStringList cols = {QStringLiteral("sph"), QStringLiteral("cyl"), QStringLiteral("ax"),
                              QStringLiteral("pd"), QStringLiteral("prism"), QStringLiteral("egyeb")};
    const QStringList caps = {QStringLiteral("Sph"), QStringLiteral("Cyl"), QStringLiteral("Ax"),
                              QStringLiteral("Pd"), QStringLiteral("Prism"), QStringLiteral("Egyéb")};
    for (int i = 0; i < 6; ++i) {
        const QRectF r(lw + i * cw, 9, cw, 5);
        if (i == 3 || i == 4) {
            // Contact lenses: "Dia" and "Bc" in place of "Pd" and "Prism".
            const QString normal = caps[i], contact = i == 3 ? QStringLiteral("Dia") : QStringLiteral("Bc");
            d.field(r, [normal, contact](const BandContext &c) { return orderType(c) == kContactLensOrder ? contact : normal; },
                    caption(), kCentre).framed();
        } else {
            captionCell(d, r, caps[i]);
        }
    }
    for (int side = 0; side < 2; ++side) {
        const double y = 14 + side * 5;
        const QString prefix = side == 0 ? QStringLiteral("jobb") : QStringLiteral("bal");
        captionCell(d, QRectF(0, y, lw, 5), side == 0 ? QStringLiteral("Jobb") : QStringLiteral("Bal"), kLeft);
        for (int i = 0; i < 6; ++i)
            valueCell(d, QRectF(lw + i * cw, y, cw, 5), textOf(prefix + cols[i]));
    }

    // "Adatok" and the price grid; the totals in a column at the right.
    valueCell(d, QRectF(0, 26, w, 6), [](const BandContext &) { return QStringLiteral("Adatok"); })
        .font = ReportFont(kFace, 9, Bold);
    const double tw = 32, tx = w - tw, gw = tx - 2;
    const double c1 = 17, c2 = 27, c3 = 47, bw = (gw - c3) * 0.55, tpx = c3 + bw, tpw = gw - tpx;
    // Names over 25 characters at 7 points on A4, so that they fit their cell.
    auto longText = [a4](const QString &column) {
        return [a4, column](const BandContext &c) {
            return ReportFont(kFace, a4 && c.text(column).size() > 25 ? 7 : 8, Bold);
        };
    };
    d.box(QRectF(0, 33, c1, 10));
    d.text(QRectF(0, 33, c1, 5), QStringLiteral("Lencse"), caption(), kCentre);
    d.field(QRectF(0, 38, c1, 5), [](const BandContext &c) { return DiscountText(c.number(QStringLiteral("lencseszazalek"))); },
            value(), kCentre);
    captionCell(d, QRectF(c1, 33, c2 - c1, 5), QStringLiteral("Jobb"));
    captionCell(d, QRectF(c1, 38, c2 - c1, 5), QStringLiteral("Bal"));
    valueCell(d, QRectF(c2, 33, c3 - c2, 5), MoneyOf(QStringLiteral("ar_jobb")));
    valueCell(d, QRectF(c2, 38, c3 - c2, 5), MoneyOf(QStringLiteral("ar_bal")));
    valueCell(d, QRectF(c3, 33, bw, 10), textOf(QStringLiteral("lencsemarka_nev"))).wrapped()
        .fontBy(longText(QStringLiteral("lencsemarka_nev")));
    valueCell(d, QRectF(tpx, 33, tpw, 10), textOf(QStringLiteral("tipus"))).wrapped()
        .fontBy(longText(QStringLiteral("tipus")));

    d.box(QRectF(0, 43, c2, 8));
    d.text(QRectF(0, 43, c2, 4), QStringLiteral("Keret"), caption(), kCentre);
    d.field(QRectF(0, 47, c2, 4), [](const BandContext &c) { return DiscountText(c.number(QStringLiteral("keretszazalek"))); },
            value(), kCentre);
    valueCell(d, QRectF(c2, 43, c3 - c2, 8), MoneyOf(QStringLiteral("ar_keret")));
    valueCell(d, QRectF(c3, 43, bw, 8), textOf(QStringLiteral("keretmarka_nev"))).wrapped()
        .fontBy(longText(QStringLiteral("keretmarka_nev")));
    valueCell(d, QRectF(tpx, 43, tpw, 8), textOf(QStringLiteral("kerettipus"))).wrapped()
        .fontBy(longText(QStringLiteral("kerettipus")));

    const QList<QPair<QString, QString>> rows = {
        {QStringLiteral("Munkadíj"), QStringLiteral("adaptalas")},
        {QStringLiteral("Vizsgálat"), QStringLiteral("szinezes")},
        {a5 ? QStringLiteral("UHT,Orrtámasz") : QStringLiteral("UHT,orrtámasz"), QStringLiteral("egyeb1")},
        {QStringLiteral("Egyéb"), QStringLiteral("egyeb2")},
        {QStringLiteral("Kedvezmény"), QStringLiteral("kedvezmeny")}};
    double y = 51;
    for (const auto &[cap, name] : rows) {
        captionCell(d, QRectF(0, y, c2, 5), cap);
        const QString amount = QStringLiteral("ar_") + name;
        valueCell(d, QRectF(c2, y, c3 - c2, 5), name == QLatin1String("kedvezmeny") ? DeductionOf(amount) : MoneyOf(amount));
        d.field(QRectF(c3, y, gw - c3, 5), textOf(QStringLiteral("szoveg_") + name), ReportFont(kFace, 8), kLeft).framed();
        y += 5;
    }

    const QList<QPair<QString, QString>> totals = {{QStringLiteral("Fizetendő"), QStringLiteral("osszar")},
                                                   {QStringLiteral("Előleg"), QStringLiteral("eloleg")},
                                                   {QStringLiteral("Utólag"), QStringLiteral("fizetendo")}};
    y = 33;
    for (const auto &[cap, col] : totals) {
        d.box(QRectF(tx, y, tw, 12));
        d.text(QRectF(tx + 1, y, tw - 2, 4.5), cap, caption(), kRight);
        d.field(QRectF(tx + 1, y + 4.5, tw - 2, 7), MoneyOf(col), ReportFont(kFace, 10, Bold), kRight);
        y += 14.5;
    }

    // Dates and the remark, the standing text, the signatures.
    d.box(QRectF(0, 79, 50, 12));
    d.text(QRectF(1, 79.5, 17, 5.5), QStringLiteral("Átvétel"), caption());
    d.field(QRectF(18, 79.5, 31, 5.5), dateOf(QStringLiteral("datum")), ReportFont(kFace, 9, Bold));
    d.text(QRectF(1, 85, 17, 5.5), QStringLiteral("Határidő"), caption());
    d.field(QRectF(18, 85, 31, 5.5), dateOf(QStringLiteral("dat_hatid")), ReportFont(kFace, 9, Bold));
    d.field(QRectF(52, 79, w - 52, 12), textOf(QStringLiteral("megj")), ReportFont(ReportFace::SegoeUi, 7.5),
            Qt::AlignLeft | Qt::AlignTop).framed().wrapped();
    d.field(QRectF(0, 93, w, 27), textOf(QStringLiteral("szoveg")), ReportFont(ReportFace::SegoeUi, 7),
            Qt::AlignLeft | Qt::AlignTop).wrapped();
    const QString dots(40, QLatin1Char('.'));
    for (int i = 0; i < 2; ++i) {
        const double x = i == 0 ? 4 : w - 54;
        d.text(QRectF(x, 125, 50, 4), dots, ReportFont(kFace, 8), kCentre);
        d.text(QRectF(x, 129, 50, 4), i == 0 ? QStringLiteral("Megrendelő") : QStringLiteral("Eladó"), caption(), kCentre);
    }
    d.height = 134;
}

} // namespace

QString PrintedWorkOrderHeading(int type)
{
    switch (type) {
    case 1: return QStringLiteral("Szemüveg - távol");
    case 2: return QStringLiteral("Szemüveg - közel");
    case 3: return QStringLiteral("Szemüveg - Speciális");
    case 4: return QStringLiteral("Kontaktlencse");
    default: return QStringLiteral("Közeli");
    }
}

QString DiscountText(double percent)
{
    if (!(percent > 0))
        return {};
    return QStringLiteral("-%1%").arg(qint64(std::llround(percent)));
}

BandReport BuildWorkOrderPrintout(const WorkOrderPrintData &data, bool a5)
{
    BandReport r;
    r.title = QStringLiteral("Munkalap nyomtatás");
    r.fileName = QStringLiteral("Munkalap %1").arg(data.workOrder);
    if (a5) {
        r.pageSize = QPageSize(QPageSize::A5);
        r.orientation = QPageLayout::Portrait;
        r.margins = QMarginsF(10, 8, 8, 10);
    } else {
        r.pageSize = QPageSize(QPageSize::A4);
        r.orientation = QPageLayout::Landscape;
        r.margins = QMarginsF(10, 10, 10, 10);
        r.copiesAcross = 2;
        r.copyGap = 10;
    }
    r.data = std::make_shared<RowSet>(data.order);
    const double w = r.contentWidth();
    pageHeader(r.pageHeader, w, data.birthDate);
    body(r.detail, w, a5);
    AddPageFooter(r.pageFooter, w, kFace, r.title, a5 ? QStringLiteral("QrMunkalapA5") : QStringLiteral("QrMunkalap"), false);
    return r;
}

void PrintWorkOrder(const WorkOrderPrintData &data, bool print, QWidget *parent)
{
    if (appState().a5munkalap) {
        PrintWorkOrderA5(data, print, parent);
        return;
    }
    const BandReport r = BuildWorkOrderPrintout(data, false);
    if (r.data->rowCount() == 0) {
        ShowError(QStringLiteral("A munkalap nem található."), parent);
        return;
    }
    OutputReport(r, print, appState().nyomtato, parent);
}

void PrintWorkOrderA5(const WorkOrderPrintData &data, bool print, QWidget *parent)
{
    const BandReport r = BuildWorkOrderPrintout(data, true);
    if (r.data->rowCount() == 0) {
        ShowError(QStringLiteral("A munkalap nem található."), parent);
        return;
    }
    OutputReport(r, print, appState().nyomtato, parent);
}

} // namespace qo
