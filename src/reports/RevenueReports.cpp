#include "reports/RevenueReports.h"

#include "base/Dates.h"
#include "reports/ReportOutput.h"
#include "reports/ReportParts.h"
#include "reports/RowFeed.h"

namespace qo {

namespace {

const ReportFace kFace = ReportFace::SegoeUi;
const double kWidth = 190; // A4 portrait, 10 mm margins
const Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
const Qt::Alignment kCentre = Qt::AlignCenter;

struct Caption {
    QString text;
    double x, w;
    Qt::Alignment align;
};

// A4 portrait, 10 mm margins: title, period line, the shop at the right, the
// column captions; ruled off below. Footer with the layout name.
BandReport statisticsLayout(const QString &title, const QString &layoutName, const QDate &from, const QDate &to,
                            const QVector<Caption> &captions)
{
    BandReport r;
    r.title = title;
    r.fileName = title + QLatin1Char(' ') + PeriodText(from, to);
    r.margins = QMarginsF(10, 10, 10, 10);
    ReportBand &h = r.pageHeader;
    h.text(QRectF(0, 0, 120, 8), title, ReportFont(kFace, 16, Bold));
    h.text(QRectF(0, 8.5, 120, 5), PeriodText(from, to), ReportFont(kFace, 10, Bold));
    AddShopBlock(h, ReadShopData(), 110, 0, 80, kFace, 9, 4.4);
    for (const Caption &c : captions)
        h.text(QRectF(c.x, 15.5, c.w, 4.5), c.text, ReportFont(kFace, 9, Italic), c.align);
    h.height = 20.5;
    h.ruleBelow = true;
    AddPageFooter(r.pageFooter, kWidth, kFace, title, layoutName, true);
    return r;
}

// A column of a list: its caption, its value and alignment; its place and
// width follow from what it holds (ShareColumnWidths).
struct ListColumn {
    QString caption;
    ValueFn value;
    Qt::Alignment align;
    double least = 0; // mm, e.g. for a sum printed under it
};

QVector<Caption> placeColumns(const QVector<ListColumn> &columns, const RowSet &rows, const QFont &font)
{
    const QFont cap = ReportFont(kFace, 9, Italic);
    const double gap = 2, pad = 1.5;
    QVector<double> wanted;
    for (const ListColumn &c : columns)
        wanted << qMax(c.least, qMax(TextWidthMm(c.caption, cap), WidestTextMm(rows, c.value, font)) + pad);
    const QVector<double> widths = ShareColumnWidths(wanted, kWidth, gap);
    QVector<Caption> out;
    double x = 0;
    for (int i = 0; i < columns.size(); ++i) {
        out.push_back({columns[i].caption, x, widths[i], columns[i].align});
        x += widths[i] + gap;
    }
    return out;
}

ValueFn dateOf(const QString &column)
{
    return [column](const BandContext &c) {
        const QDate d = c.rows->toDate(c.row, column);
        return DateText(d);
    };
}

ValueFn textOf(const QString &column)
{
    return [column](const BandContext &c) { return c.text(column); };
}

void groupOn(BandReport &r, const QString &column, double points)
{
    ReportGroup g;
    g.key = textOf(column);
    g.header.height = 6.5;
    g.header.ruleBelow = true;
    g.header.field(QRectF(0, 0.5, kWidth, 6), textOf(column), ReportFont(kFace, points, Bold));
    r.groups.push_back(g);
}

// "Összesen" and the group's sum, and "Mindösszesen" with the sum of all rows,
// under the amount column [x, x + w].
void addSums(BandReport &r, const QString &column, double x, double w)
{
    ReportBand &gf = r.groups.front().footer;
    gf.height = 5.5;
    gf.ruleBelow = true;
    gf.text(QRectF(x - 60, 0.5, 58, 5), QStringLiteral("Összesen"), ReportFont(kFace, 9, Bold), kRight);
    gf.field(QRectF(x, 0.5, w, 5), SumOf(column), ReportFont(kFace, 9, Bold), kRight);
    r.summary.height = 7;
    r.summary.ruleBelow = true;
    r.summary.text(QRectF(x - 60, 1, 58, 6), QStringLiteral("Mindösszesen"), ReportFont(kFace, 10, Bold), kRight);
    r.summary.field(QRectF(x, 1, w, 6), SumOf(column), ReportFont(kFace, 10, Bold), kRight);
}

} // namespace

// The statistics' detail line: 9 pt, ruled below; returns its font.
static QFont ruledDetail(ReportBand &d)
{
    d.height = 4.6;
    d.ruleBelow = true;
    return ReportFont(kFace, 9);
}

BandReport BuildRevenueReport(const QDate &from, const QDate &to, std::shared_ptr<RowFeed> rows)
{
    const QFont f = ReportFont(kFace, 9);
    const QFont sumFont = ReportFont(kFace, 10, Bold);
    const ValueFn number = [](const BandContext &c) {
        return QStringLiteral("%1").arg(c.rows->toInt(c.row, QStringLiteral("munkalap")), 5, 10, QLatin1Char('0'));
    };
    // The rows may still be arriving when the first page is laid out, so the
    // columns are measured by what they can hold, not by the rows: the order
    // number, the date and an amount up to a thousand million (the sums
    // included) have their room, the client's name the rest of the line.
    const double gap = 2, pad = 1.5;
    const QFont cap = ReportFont(kFace, 9, Italic);
    const double numberW = qMax(TextWidthMm(QStringLiteral("Munkalap"), cap), TextWidthMm(QStringLiteral("0000000"), f)) + pad;
    const double dateW = qMax(TextWidthMm(QStringLiteral("Dátum"), cap), TextWidthMm(QStringLiteral("0000.00.00"), f)) + pad;
    const double moneyW = qMax(TextWidthMm(QStringLiteral("Bevétel"), cap), TextWidthMm(FormatMoney(9999999999.0), sumFont)) + pad;
    const double nameW = kWidth - numberW - dateW - moneyW - 3 * gap;
    QVector<Caption> cols = {{QStringLiteral("Munkalap"), 0, numberW, kLeft},
                             {QStringLiteral("Ügyfél"), numberW + gap, nameW, kLeft},
                             {QStringLiteral("Dátum"), numberW + nameW + 2 * gap, dateW, kLeft},
                             {QStringLiteral("Bevétel"), kWidth - moneyW, moneyW, kRight}};
    BandReport r = statisticsLayout(QStringLiteral("Árbevétel"), QStringLiteral("QrArbevetel"), from, to, cols);
    r.data = rows->rows();
    r.feed = std::move(rows);
    groupOn(r, QStringLiteral("sortipus"), 11);
    ReportBand &d = r.detail;
    ruledDetail(d);
    const QVector<ValueFn> values = {number, textOf(QStringLiteral("ugyfel_nev")), dateOf(QStringLiteral("dat")),
                                     MoneyOf(QStringLiteral("bevetel"))};
    for (int i = 0; i < cols.size(); ++i)
        d.field(QRectF(cols[i].x, 0.2, cols[i].w, 4.4), values[i], f, cols[i].align);
    addSums(r, QStringLiteral("bevetel"), cols[3].x, cols[3].w);
    return r;
}

BandReport BuildSalesReport(const QDate &from, const QDate &to, std::shared_ptr<const RowSet> data)
{
    const QFont f = ReportFont(kFace, 9);
    BandContext all{data.get(), 0};
    all.last = data->rowCount() - 1;
    const QVector<ValueFn> values = {textOf(QStringLiteral("marka")), textOf(QStringLiteral("tipus")),
                                     textOf(QStringLiteral("darab")), MoneyOf(QStringLiteral("ar"))};
    const QVector<Caption> cols = placeColumns(
        {{QStringLiteral("Márka"), values[0], kLeft},
         {QStringLiteral("Típus"), values[1], kLeft},
         {QStringLiteral("Darab"), values[2], kRight},
         {QStringLiteral("Ár"), values[3], kRight,
          TextWidthMm(SumOf(QStringLiteral("ar"))(all), ReportFont(kFace, 10, Bold)) + 1.5}},
        *data, f);
    BandReport r = statisticsLayout(QStringLiteral("Fogyások"), QStringLiteral("QrFogyas"), from, to, cols);
    r.data = data;
    groupOn(r, QStringLiteral("sorrend"), 11);
    ReportBand &d = r.detail;
    ruledDetail(d);
    for (int i = 0; i < cols.size(); ++i)
        d.field(QRectF(cols[i].x, 0.2, cols[i].w, 4.4), values[i], f, cols[i].align);
    addSums(r, QStringLiteral("ar"), cols[3].x, cols[3].w);
    return r;
}

BandReport BuildLensSalesReport(bool contact, const QDate &from, const QDate &to, std::shared_ptr<const RowSet> data)
{
    const QString title = contact ? QStringLiteral("Kontaktlencse fogyások") : QStringLiteral("Lencse fogyások");
    const QFont f = ReportFont(kFace, 9);
    // Oldal, Típus, the five values centred under their captions, then Színezés;
    // each as wide as what it holds asks, the page shared among them.
    const QStringList valueCaps = {QStringLiteral("Sph"), QStringLiteral("Cyl"), QStringLiteral("Ax"),
                                   contact ? QStringLiteral("Bc") : QStringLiteral("Prism"), QStringLiteral("Egyéb")};
    const QStringList values = {QStringLiteral("sph"), QStringLiteral("cyl"), QStringLiteral("ax"),
                                QStringLiteral("prism"), QStringLiteral("egyeb")};
    QVector<ListColumn> columns = {
        {QStringLiteral("Oldal"), [](const BandContext &) { return QStringLiteral("JOBB"); }, kLeft},
        {QStringLiteral("Típus"), textOf(QStringLiteral("tipus")), kLeft}};
    for (int i = 0; i < values.size(); ++i) {
        const QString right = QStringLiteral("jobb") + values[i], left = QStringLiteral("bal") + values[i];
        // The wider of the two sides.
        columns.push_back({valueCaps[i], [right, left](const BandContext &c) {
                               const QString a = c.text(right), b = c.text(left);
                               return a.size() >= b.size() ? a : b;
                           }, kCentre, 12});
    }
    if (!contact)
        columns.push_back({QStringLiteral("Színezés"), textOf(QStringLiteral("szoveg_szinezes")), kLeft});
    const QVector<Caption> caps = placeColumns(columns, *data, f);
    BandReport r = statisticsLayout(title, contact ? QStringLiteral("QrKLencseFogyas") : QStringLiteral("QrLencseFogyas"),
                                    from, to, caps);
    r.data = data;
    groupOn(r, QStringLiteral("marka"), 11);
    ReportBand &d = r.detail;
    d.height = 9.2;
    d.ruleBelow = true;
    for (int side = 0; side < 2; ++side) {
        const double y = 0.2 + side * 4.5;
        const QString prefix = side == 0 ? QStringLiteral("jobb") : QStringLiteral("bal");
        d.text(QRectF(caps[0].x, y, caps[0].w, 4.4), side == 0 ? QStringLiteral("JOBB") : QStringLiteral("BAL"), f);
        if (side == 0)
            d.field(QRectF(caps[1].x, y, caps[1].w, 4.4), textOf(QStringLiteral("tipus")), f);
        for (int i = 0; i < values.size(); ++i)
            d.field(QRectF(caps[2 + i].x, y, caps[2 + i].w, 4.4), textOf(prefix + values[i]), f, kCentre);
        if (side == 0 && !contact)
            d.field(QRectF(caps[7].x, y, caps[7].w, 4.4), textOf(QStringLiteral("szoveg_szinezes")), f);
    }
    return r;
}

} // namespace qo
