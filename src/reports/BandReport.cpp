#include "reports/BandReport.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPrinter>

namespace qo {

namespace {

QDateTime g_printTime;

struct Placed {
    const ReportBand *band;
    BandContext ctx;
    double y;      // mm from the top of the paper
    double height; // mm
};

// Millimetres to device pixels and the measures that depend on the device.
struct Device {
    QPaintDevice *dev;
    double dpmm;
    // Measures per font, and what the painter holds, so that a long report
    // does not ask again for every cell.
    mutable QHash<QString, QFontMetricsF> metrics;
    mutable QString painterFont;
    mutable QColor painterColour;
    const QFontMetricsF &fm(const QFont &f) const
    {
        const QString k = f.key();
        auto it = metrics.find(k);
        if (it == metrics.end())
            it = metrics.insert(k, QFontMetricsF(f, dev));
        return *it;
    }
    double px(double mm) const { return mm * dpmm; }
    QRectF px(const QRectF &mm) const { return QRectF(mm.x() * dpmm, mm.y() * dpmm, mm.width() * dpmm, mm.height() * dpmm); }
};

const double kTextPad = 0.6; // mm between a ruled box and its text

QString itemText(const ReportItem &it, const BandContext &ctx)
{
    return it.value ? it.value(ctx) : it.text;
}

QFont itemFont(const ReportItem &it, const BandContext &ctx)
{
    return it.fontFor ? it.fontFor(ctx) : it.font;
}

int textFlags(const ReportItem &it)
{
    return int(it.align) | (it.wrap ? Qt::TextWordWrap : 0);
}

QRectF textRect(const ReportItem &it, const QRectF &r)
{
    return it.frame ? r.adjusted(kTextPad, 0, -kTextPad, 0) : r;
}

// Height in mm the item needs: its own height, or its wrapped text's when it grows.
double itemHeight(const ReportItem &it, const BandContext &ctx, const Device &d)
{
    if (!it.grow || it.kind != ReportItem::Text)
        return it.rect.height();
    const QString text = itemText(it, ctx);
    if (text.isEmpty())
        return it.rect.height();
    const QFontMetricsF &fm = d.fm(itemFont(it, ctx));
    const QRectF w = textRect(it, QRectF(0, 0, it.rect.width(), 1));
    const QRectF br = fm.boundingRect(QRectF(0, 0, d.px(w.width()), 1e7), textFlags(it) & ~Qt::AlignVertical_Mask, text);
    return qMax(it.rect.height(), br.height() / d.dpmm + 0.3);
}

double bandHeight(const ReportBand &b, const BandContext &ctx, const Device &d)
{
    double h = b.height;
    for (const ReportItem &it : b.items)
        if (it.grow)
            h = qMax(h, it.rect.top() + itemHeight(it, ctx, d));
    return h;
}

void paintItem(QPainter &p, const ReportItem &it, const BandContext &ctx, double x0, double y0, double h,
               const Device &d)
{
    QRectF mm = it.rect.translated(x0, y0);
    if (it.grow)
        mm.setHeight(h);
    const QRectF r = d.px(mm);
    if (d.painterColour != it.color) {
        QPen pen(it.color);
        pen.setWidthF(d.px(0.2));
        p.setPen(pen);
        d.painterColour = it.color;
    }
    switch (it.kind) {
    case ReportItem::Line:
        p.drawLine(r.topLeft(), r.bottomRight());
        return;
    case ReportItem::Box:
        p.drawRect(r);
        return;
    case ReportItem::Picture: {
        if (it.picture.isNull())
            return;
        p.save();
        p.setClipRect(r);
        if (it.keepNaturalSize) {
            const int dpm = it.picture.dotsPerMeterX() > 0 ? it.picture.dotsPerMeterX() : 3780; // 96 dpi
            const double wmm = it.picture.width() * 1000.0 / dpm;
            const double hmm = it.picture.height() * 1000.0 / (it.picture.dotsPerMeterY() > 0 ? it.picture.dotsPerMeterY() : dpm);
            p.drawImage(QRectF(r.topLeft(), QSizeF(d.px(wmm), d.px(hmm))), it.picture);
        } else {
            const QSizeF target = QSizeF(it.picture.size()).scaled(r.size(), Qt::KeepAspectRatio);
            const QRectF at(r.center().x() - target.width() / 2, r.center().y() - target.height() / 2,
                            target.width(), target.height());
            p.drawImage(at, it.picture);
        }
        p.restore();
        d.painterFont.clear();
        d.painterColour = QColor();
        return;
    }
    case ReportItem::Text:
        break;
    }
    if (it.frame)
        p.drawRect(r);
    const QString text = itemText(it, ctx);
    if (text.isEmpty())
        return;
    const QFont f = itemFont(it, ctx);
    const QString key = f.key();
    if (d.painterFont != key) {
        p.setFont(f);
        d.painterFont = key;
    }
    const QRectF tr = d.px(textRect(it, mm));
    // Clipped only when the text would run out of its box: a clip costs a
    // saved graphics state in the PDF for every cell.
    bool clip = it.clip;
    const bool oneLine = !it.wrap && !text.contains(QLatin1Char('\n'));
    QPointF baseline;
    if (oneLine) {
        // One line placed by hand: much cheaper than the layout of drawText(rect).
        const QFontMetricsF &fm = d.fm(f);
        const double w = fm.horizontalAdvance(text);
        clip = clip && (w > tr.width() || fm.height() > r.height());
        double x = tr.left();
        if (it.align & Qt::AlignRight)
            x = tr.right() - w;
        else if (it.align & Qt::AlignHCenter)
            x = tr.left() + (tr.width() - w) / 2;
        double y = tr.top() + (tr.height() - fm.height()) / 2 + fm.ascent();
        if (it.align & Qt::AlignTop)
            y = tr.top() + fm.ascent();
        else if (it.align & Qt::AlignBottom)
            y = tr.bottom() - fm.descent();
        baseline = QPointF(x, y);
    }
    if (clip) {
        p.save();
        p.setClipRect(r);
    }
    if (oneLine)
        p.drawText(baseline, text);
    else
        p.drawText(tr, textFlags(it), text);
    if (clip) {
        p.restore();
        d.painterFont.clear(); // restore() gave the painter its earlier state back
        d.painterColour = QColor();
    }
}

void paintBand(QPainter &p, const Placed &pl, double x0, double width, const Device &d)
{
    for (const ReportItem &it : pl.band->items) {
        const double h = it.grow ? itemHeight(it, pl.ctx, d) : it.rect.height();
        paintItem(p, it, pl.ctx, x0, pl.y, h, d);
    }
    QPen pen(Qt::black);
    pen.setWidthF(d.px(0.2));
    p.setPen(pen);
    d.painterColour = Qt::black;
    if (pl.band->ruleAbove)
        p.drawLine(QPointF(d.px(x0), d.px(pl.y)), QPointF(d.px(x0 + width), d.px(pl.y)));
    if (pl.band->ruleBelow)
        p.drawLine(QPointF(d.px(x0), d.px(pl.y + pl.height)), QPointF(d.px(x0 + width), d.px(pl.y + pl.height)));
}

} // namespace

double BandContext::sum(const QString &column) const
{
    if (!rows)
        return 0;
    const int c = rows->fieldIndex(column);
    if (c < 0)
        return 0;
    double s = 0;
    for (int r = first; r <= last; ++r)
        s += rows->toDouble(r, c);
    return s;
}

// ---- bands -------------------------------------------------------------------------------

ReportItem &ReportBand::text(const QRectF &mm, const QString &t, const QFont &font, Qt::Alignment align)
{
    ReportItem it;
    it.rect = mm;
    it.text = t;
    it.font = font;
    it.align = align;
    items.push_back(it);
    return items.back();
}

ReportItem &ReportBand::field(const QRectF &mm, ValueFn value, const QFont &font, Qt::Alignment align)
{
    ReportItem &it = text(mm, QString(), font, align);
    it.value = std::move(value);
    return it;
}

ReportItem &ReportBand::column(const QRectF &mm, const QString &name, const QFont &font, Qt::Alignment align)
{
    return field(mm, [name](const BandContext &c) -> QString {
        if (!c.rows || c.row < 0)
            return {};
        const int i = c.rows->fieldIndex(name);
        if (i < 0)
            return {};
        if (c.rows->field(i).kind == RowSet::Kind::Date) {
            const QDate d = c.rows->toDate(c.row, i);
            return d.isValid() ? d.toString(QStringLiteral("yyyy.MM.dd")) : QString();
        }
        return c.rows->text(c.row, i);
    }, font, align);
}

ReportItem &ReportBand::line(double x1, double y1, double x2, double y2)
{
    ReportItem it;
    it.kind = ReportItem::Line;
    it.rect = QRectF(QPointF(x1, y1), QPointF(x2, y2));
    items.push_back(it);
    return items.back();
}

ReportItem &ReportBand::box(const QRectF &mm)
{
    ReportItem it;
    it.kind = ReportItem::Box;
    it.rect = mm;
    items.push_back(it);
    return items.back();
}

ReportItem &ReportBand::picture(const QRectF &mm, const QImage &image, bool naturalSize)
{
    ReportItem it;
    it.kind = ReportItem::Picture;
    it.rect = mm;
    it.picture = image;
    it.keepNaturalSize = naturalSize;
    items.push_back(it);
    return items.back();
}

// ---- report ------------------------------------------------------------------------------

BandReport::BandReport() = default;

QStringList BandReport::exportColumns() const
{
    QStringList names;
    if (data)
        for (const RowSet::Field &f : data->fields())
            names << f.name;
    return names;
}

int BandReport::rowCount() const
{
    if (detailRows >= 0)
        return detailRows;
    return data ? data->rowCount() : 0;
}

QPageLayout BandReport::pageLayout() const
{
    return QPageLayout(pageSize, orientation, margins, QPageLayout::Millimeter);
}

double BandReport::contentWidth() const
{
    const QRectF paper = pageLayout().fullRect(QPageLayout::Millimeter);
    const int n = qMax(1, copiesAcross);
    return (paper.width() - margins.left() - margins.right() - copyGap * (n - 1)) / n;
}

double BandReport::contentHeight() const
{
    const QRectF paper = pageLayout().fullRect(QPageLayout::Millimeter);
    return paper.height() - margins.top() - margins.bottom();
}

void BandReport::setUpPrinter(QPrinter &printer) const
{
    printer.setFullPage(true); // items are measured from the corner of the paper
    printer.setPageLayout(pageLayout());
    printer.setDocName(title);
    printer.setCreator(QStringLiteral("Quorvin.Opt"));
}

int BandReport::render(QPrinter *printer) const
{
    printer->setFullPage(true);
    QPainter p;
    if (!p.begin(printer))
        return 0;
    const int pages = renderOn(p, printer);
    p.end();
    return pages;
}

int BandReport::renderOn(QPainter &p, QPagedPaintDevice *device) const
{
    const Device d{device, device->logicalDpiX() / 25.4, {}, {}, {}};
    p.setBrush(Qt::NoBrush);
    const QRectF paper = device->pageLayout().fullRect(QPageLayout::Millimeter);
    const int n = rowCount();
    BandContext all;
    all.rows = data.get();
    all.first = 0;
    all.last = n - 1;
    all.row = n > 0 ? 0 : -1;

    // Group boundaries: for each level, the group each row belongs to as [first, last].
    const int levels = int(groups.size());
    QVector<QVector<QPair<int, int>>> ranges(levels);
    for (int g = 0; g < levels; ++g) {
        ranges[g].resize(n);
        int start = 0;
        for (int r = 1; r <= n; ++r) {
            BandContext a = all, b = all;
            a.row = r - 1;
            b.row = r;
            bool change = r == n;
            for (int outer = 0; !change && outer <= g; ++outer)
                change = groups[outer].key(a) != groups[outer].key(b);
            if (change) {
                for (int i = start; i < r; ++i)
                    ranges[g][i] = {start, r - 1};
                start = r;
            }
        }
    }

    const double headerH = bandHeight(pageHeader, all, d);
    const double footerH = bandHeight(pageFooter, all, d);
    const double top = margins.top() + headerH;
    const double bottom = paper.height() - margins.bottom() - footerH;

    QVector<QVector<Placed>> pages(1);
    double y = top;
    auto place = [&](const ReportBand &band, const BandContext &ctx) {
        if (band.isEmpty())
            return;
        const double h = bandHeight(band, ctx, d);
        if (y + h > bottom + 0.01 && y > top + 0.01) {
            pages.push_back({});
            y = top;
        }
        pages.back().push_back({&band, ctx, y, h});
        y += h;
    };

    for (int r = 0; r < n; ++r) {
        for (int g = 0; g < levels; ++g)
            if (ranges[g][r].first == r) {
                BandContext c = all;
                c.row = r;
                c.first = ranges[g][r].first;
                c.last = ranges[g][r].second;
                place(groups[g].header, c);
            }
        BandContext c = all;
        c.row = r;
        c.first = c.last = r;
        place(detail, c);
        for (int g = levels - 1; g >= 0; --g)
            if (ranges[g][r].second == r) {
                BandContext f = all;
                f.row = r;
                f.first = ranges[g][r].first;
                f.last = r;
                place(groups[g].footer, f);
            }
    }
    place(summary, all);

    const int copies = qMax(1, copiesAcross);
    const double width = contentWidth();
    for (int page = 0; page < pages.size(); ++page) {
        if (page > 0 && !device->newPage())
            return page;
        BandContext pc = all;
        pc.page = page + 1;
        d.painterFont.clear();
        d.painterColour = QColor();
        for (int copy = 0; copy < copies; ++copy) {
            const double x0 = margins.left() + copy * (width + copyGap);
            paintBand(p, {&pageHeader, pc, margins.top(), headerH}, x0, width, d);
            for (Placed pl : pages[page]) {
                pl.ctx.page = page + 1;
                paintBand(p, pl, x0, width, d);
            }
            paintBand(p, {&pageFooter, pc, paper.height() - margins.bottom() - footerH, footerH}, x0, width, d);
        }
    }
    return int(pages.size());
}

QDateTime ReportPrintTime()
{
    return g_printTime.isValid() ? g_printTime : QDateTime::currentDateTime();
}

void SetReportPrintTime(const QDateTime &t)
{
    g_printTime = t;
}

} // namespace qo
