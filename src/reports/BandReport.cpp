#include "reports/BandReport.h"
#include "base/Dates.h"
#include "reports/BandPainting.h"
#include "reports/RowFeed.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

#include <cmath>

namespace qo {

namespace {

QDateTime g_printTime;

} // namespace

using namespace band;

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
            return DateText(d);
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
    if (detailRows >= 0 && !feed)
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
    ReportPager pager(*this, device);
    pager.layOutAll();
    pager.setPageCount(pager.laidOutPages());
    for (int page = 0; page < pager.laidOutPages(); ++page) {
        if (page > 0 && !device->newPage())
            return page;
        pager.paintPage(p, page);
    }
    return pager.laidOutPages();
}

// ---- pager -------------------------------------------------------------------------------

struct ReportPager::Private {
    const BandReport &r;
    Device d;
    double headerH = 0, footerH = 0, top = 0, bottom = 0, paperH = 0;
    QVector<QVector<Placed>> pages;
    int forgotten = 0;        // pages before this one hold no placements any more
    double y = 0;
    int next = 0;             // the next row to lay out
    QVector<QString> keys;    // the group keys of row next - 1
    QVector<int> groupStart;  // first row of the open group per level
    QVector<QPair<int, int>> openHeader; // where the open group's header was placed (page, index)
    bool finished = false;
    int pageCount = 0;

    Private(const BandReport &report, QPaintDevice *dev) : r(report), d(dev, dev->logicalDpiX() / 25.4) {}

    BandContext all(int n) const
    {
        BandContext c;
        c.rows = r.data.get();
        c.first = 0;
        c.last = n - 1;
        c.row = n > 0 ? 0 : -1;
        return c;
    }
    QPair<int, int> place(const ReportBand &band, const BandContext &ctx)
    {
        if (band.isEmpty())
            return {-1, -1};
        const double h = bandHeight(band, ctx, d);
        if (y + h > bottom + 0.01 && y > top + 0.01) {
            pages.push_back({});
            y = top;
        }
        pages.back().push_back({&band, ctx, y, h});
        y += h;
        return {int(pages.size()) - 1, int(pages.back().size()) - 1};
    }
    QVector<QString> keysOf(int row) const
    {
        QVector<QString> k;
        BandContext c = all(row + 1);
        c.row = row;
        for (const ReportGroup &g : r.groups)
            k << g.key(c);
        return k;
    }
};

ReportPager::ReportPager(const BandReport &report, QPaintDevice *device) : d(new Private(report, device))
{
    const QRectF paper = report.pageLayout().fullRect(QPageLayout::Millimeter);
    const BandContext all = d->all(report.data ? report.data->rowCount() : 0);
    d->paperH = paper.height();
    d->headerH = bandHeight(report.pageHeader, all, d->d);
    d->footerH = bandHeight(report.pageFooter, all, d->d);
    d->top = report.margins.top() + d->headerH;
    d->bottom = paper.height() - report.margins.bottom() - d->footerH;
    d->y = d->top;
    d->pages.resize(1);
    d->groupStart.fill(0, int(report.groups.size()));
    d->openHeader.fill({-1, -1}, int(report.groups.size()));
}

ReportPager::~ReportPager() = default;

int ReportPager::rowsAvailable() const
{
    return d->r.rowCount();
}

bool ReportPager::rowsComplete() const
{
    return !d->r.feed || d->r.feed->complete();
}

int ReportPager::layOut(int maxRows)
{
    if (d->finished)
        return 0;
    const BandReport &r = d->r;
    const int n = rowsAvailable();
    const bool complete = rowsComplete();
    const int levels = int(r.groups.size());
    int done = 0;
    // A row's group footers need the next row's keys (or the end of the rows).
    while (done < maxRows && (d->next < n - 1 || (complete && d->next < n))) {
        const int row = d->next;
        const QVector<QString> mine = row == 0 || d->keys.isEmpty() ? keysOf(row) : d->keys;
        const bool last = row == n - 1;
        const QVector<QString> following = last ? QVector<QString>() : keysOf(row + 1);
        for (int g = 0; g < levels; ++g) {
            if (row == 0 || d->groupStart[g] == -1) {
                d->groupStart[g] = row;
                BandContext c = d->all(row + 1);
                c.row = row;
                c.first = c.last = row; // widened when the group ends
                d->openHeader[g] = d->place(r.groups[g].header, c);
            }
        }
        BandContext c = d->all(row + 1);
        c.row = row;
        c.first = c.last = row;
        d->place(r.detail, c);
        for (int g = levels - 1; g >= 0; --g) {
            bool ends = last;
            for (int outer = 0; !ends && outer <= g; ++outer)
                ends = mine[outer] != following[outer];
            if (!ends)
                continue;
            const QPair<int, int> at = d->openHeader[g];
            if (at.first >= d->forgotten && at.first >= 0 && at.first < d->pages.size()
                && at.second < d->pages[at.first].size())
                d->pages[at.first][at.second].ctx.last = row;
            BandContext f = d->all(row + 1);
            f.row = row;
            f.first = d->groupStart[g];
            f.last = row;
            d->place(r.groups[g].footer, f);
            d->groupStart[g] = -1;
        }
        d->keys = following;
        ++d->next;
        ++done;
    }
    if (complete && d->next >= n) {
        d->place(r.summary, d->all(n));
        d->finished = true;
    }
    return done;
}

QVector<QString> ReportPager::keysOf(int row) const
{
    return d->keysOf(row);
}

void ReportPager::layOutAll()
{
    while (!d->finished)
        if (layOut(1 << 30) == 0 && !d->finished)
            break; // rows still to come: the caller waits for them
}

bool ReportPager::finished() const
{
    return d->finished;
}

int ReportPager::laidOutPages() const
{
    return int(d->pages.size());
}

int ReportPager::completePages() const
{
    return d->finished ? int(d->pages.size()) : int(d->pages.size()) - 1;
}

int ReportPager::rowsLaidOut() const
{
    return d->next;
}

void ReportPager::setPageCount(int pages)
{
    d->pageCount = pages;
}

int ReportPager::pageCount() const
{
    return d->pageCount;
}

void ReportPager::forgetPagesBefore(int page)
{
    for (int i = d->forgotten; i < page && i < d->pages.size(); ++i)
        d->pages[i] = QVector<Placed>();
    d->forgotten = qMax(d->forgotten, page);
}

void ReportPager::paintPage(QPainter &p, int page) const
{
    if (page < 0 || page >= d->pages.size())
        return;
    const BandReport &r = d->r;
    const Device &dev = d->d;
    p.setBrush(Qt::NoBrush);
    BandContext pc = d->all(rowsAvailable());
    pc.page = page + 1;
    pc.pages = d->pageCount;
    dev.painterFontSet = false;
    dev.painterColour = QColor();
    const int copies = qMax(1, r.copiesAcross);
    const double width = r.contentWidth();
    for (int copy = 0; copy < copies; ++copy) {
        const double x0 = r.margins.left() + copy * (width + r.copyGap);
        paintBand(p, {&r.pageHeader, pc, r.margins.top(), d->headerH}, x0, width, dev);
        for (Placed pl : d->pages[page]) {
            pl.ctx.page = page + 1;
            pl.ctx.pages = d->pageCount;
            paintBand(p, pl, x0, width, dev);
        }
        paintBand(p, {&r.pageFooter, pc, d->paperH - r.margins.bottom() - d->footerH, d->footerH}, x0, width, dev);
    }
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
