#include "reports/BandReport.h"
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

struct Placed {
    const ReportBand *band;
    BandContext ctx;
    double y;      // mm from the top of the paper
    double height; // mm
};

// The glyphs of one font at the device's resolution, looked up once per
// character: a line of plain text is then measured and drawn as a glyph run
// without shaping it again (shaping each cell cost most of a long report's
// drawing time). Text that needs shaping (a character outside the Latin
// letters, one the font lacks) takes the ordinary way.
struct GlyphTable {
    QRawFont raw;
    QHash<char16_t, QPair<quint32, double>> glyphs; // glyph index and advance in device pixels
    bool usable = false;
};

// Millimetres to device pixels and the measures that depend on the device.
struct Device {
    QPaintDevice *dev;
    double dpmm;
    // Measures per font, and what the painter holds, so that a long report
    // does not ask again for every cell.
    mutable QHash<QString, std::shared_ptr<QFontMetricsF>> metrics; // stable while the hash grows
    mutable QFont painterFont;
    mutable bool painterFontSet = false;
    mutable QColor painterColour;
    mutable QHash<QString, std::shared_ptr<GlyphTable>> tables;
    // The last font asked for: most cells ask for the one before them.
    mutable QFont lastFont;
    mutable const QFontMetricsF *lastMetrics = nullptr;
    mutable GlyphTable *lastTable = nullptr;
    // Lines waiting to be drawn as one glyph run.
    mutable GlyphTable *batchTable = nullptr;
    mutable QVector<quint32> batchGlyphs;
    mutable QVector<QPointF> batchPositions;

    void select(const QFont &f) const
    {
        if (lastMetrics && f == lastFont)
            return;
        const QString k = f.key();
        auto it = metrics.find(k);
        if (it == metrics.end())
            it = metrics.insert(k, std::make_shared<QFontMetricsF>(f, dev));
        auto t = tables.find(k);
        if (t == tables.end()) {
            auto table = std::make_shared<GlyphTable>();
            table->raw = QRawFont::fromFont(QFont(f, dev));
            table->usable = table->raw.isValid();
            t = tables.insert(k, table);
        }
        lastFont = f;
        lastMetrics = it->get();
        lastTable = t->get();
    }
    const QFontMetricsF &fm(const QFont &f) const
    {
        select(f);
        return *lastMetrics;
    }
    // Glyphs and advances of a plain text in font f; false when it needs shaping.
    bool glyphsOf(const QFont &f, const QString &text, QVector<quint32> *glyphs, QVector<double> *advances) const
    {
        select(f);
        GlyphTable &t = *lastTable;
        if (!t.usable)
            return false;
        for (QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x20 || u > 0x17f)
                return false; // beyond the Latin letters: shaped as usual
            auto g = t.glyphs.constFind(u);
            if (g == t.glyphs.cend()) {
                const QList<quint32> idx = t.raw.glyphIndexesForString(QString(c));
                if (idx.size() != 1 || idx.first() == 0)
                    return false;
                const QList<QPointF> adv = t.raw.advancesForGlyphIndexes(idx, QRawFont::UseDesignMetrics);
                g = t.glyphs.insert(u, {idx.first(), adv.value(0).x()});
            }
            if (glyphs)
                glyphs->push_back(g->first);
            if (advances)
                advances->push_back(g->second);
        }
        return true;
    }
    double width(const QFont &f, const QString &text) const
    {
        QVector<double> adv;
        adv.reserve(text.size());
        if (!glyphsOf(f, text, nullptr, &adv))
            return fm(f).horizontalAdvance(text);
        double w = 0;
        for (double a : adv)
            w += a;
        return w;
    }
    // Draws one line of text with its baseline's start at `at`. Plain lines
    // of one font are gathered and drawn as one glyph run (flush()): each run
    // costs the PDF a saved state, a font and a text matrix.
    void draw(QPainter &p, const QFont &f, const QPointF &at, const QString &text) const
    {
        const qsizetype before = batchGlyphs.size();
        QVector<double> adv;
        adv.reserve(text.size());
        select(f);
        if (batchTable && batchTable != lastTable)
            flush(p);
        if (!glyphsOf(f, text, &batchGlyphs, &adv)) {
            batchGlyphs.resize(before);
            flush(p);
            p.drawText(at, text);
            return;
        }
        batchTable = lastTable;
        double x = at.x();
        for (double a : adv) {
            batchPositions.push_back(QPointF(x, at.y()));
            x += a;
        }
    }
    // Draws the gathered lines; before anything else is drawn or the pen changes.
    void flush(QPainter &p) const
    {
        if (batchTable && !batchGlyphs.isEmpty()) {
            QGlyphRun run;
            run.setRawFont(batchTable->raw);
            run.setGlyphIndexes(batchGlyphs);
            run.setPositions(batchPositions);
            p.drawGlyphRun(QPointF(0, 0), run);
        }
        batchGlyphs.clear();
        batchPositions.clear();
        batchTable = nullptr;
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

QRectF textRect(const ReportItem &it, const QRectF &r)
{
    return it.frame ? r.adjusted(kTextPad, 0, -kTextPad, 0) : r;
}

// The lines of a text wrapped to `width` device pixels: at word boundaries,
// or anywhere in a word longer than the width when `anywhere`. Explicit line
// breaks are kept; trailing blanks are dropped.
QStringList wrapLines(const QString &text, const QFont &f, double width, QPaintDevice *dev, bool anywhere)
{
    QStringList out;
    QTextOption opt;
    opt.setWrapMode(anywhere ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WordWrap);
    QString all = text;
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &para : all.split(QLatin1Char('\n'))) {
        if (para.isEmpty()) {
            out << QString();
            continue;
        }
        QTextLayout layout(para, f, dev);
        layout.setTextOption(opt);
        layout.beginLayout();
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(width);
            QString line = para.mid(l.textStart(), l.textLength());
            while (!line.isEmpty() && line.back().isSpace())
                line.chop(1);
            out << line;
        }
        layout.endLayout();
    }
    return out;
}

// How a text is set in its box: the font, and its lines (one line needs no layout).
struct Fitted {
    QFont font;
    QStringList lines;
};

QFont sized(QFont f, double points)
{
    f.setPointSizeF(points);
    return f;
}

// Chooses the size and the lines that put the text inside a box of w x h
// device pixels (see kSmallestPoints).
Fitted fitText(const ReportItem &it, const QString &text, const QFont &f, double w, double h, const Device &d)
{
    const double tolerance = d.px(0.05);
    const bool multi = it.wrap || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (it.grow)
        return {f, wrapLines(text, f, w, d.dev, true)};
    if (!multi && d.width(f, text) <= w + tolerance)
        return {f, {text}};
    const double own = f.pointSizeF() > 0 ? f.pointSizeF() : 8;
    QVector<double> sizes;
    for (double s = own; s > kSmallestPoints + 0.01; s -= 0.5)
        sizes << s;
    sizes << qMin(own, kSmallestPoints);
    // Smaller on one line first, as the text was meant to stand.
    if (!multi)
        for (double s : sizes) {
            const QFont g = sized(f, s);
            if (d.width(g, text) <= w + tolerance)
                return {g, {text}};
        }
    // Then wrapped at word boundaries onto the lines the box has.
    for (double s : sizes) {
        const QFont g = sized(f, s);
        const QFontMetricsF &fm = d.fm(g);
        if (fm.lineSpacing() * 2 > h + tolerance && !multi)
            continue; // room for one line only
        const QStringList lines = wrapLines(text, g, w, d.dev, false);
        bool fits = fm.lineSpacing() * (lines.size() - 1) + fm.height() <= h + tolerance;
        for (qsizetype i = 0; fits && i < lines.size(); ++i)
            fits = d.width(g, lines[i]) <= w + tolerance;
        if (fits)
            return {g, lines};
    }
    // Then words broken where they must be, and what still has no room cut
    // after the last whole line, the cut marked.
    const QFont g = sized(f, sizes.last());
    const QFontMetricsF &fm = d.fm(g);
    QStringList lines = wrapLines(text, g, w, d.dev, true);
    const int room = qMax(1, int(std::floor((h + tolerance - fm.height()) / fm.lineSpacing())) + 1);
    if (lines.size() > room) {
        lines = lines.mid(0, room);
        QString &last = lines.last();
        const QString ellipsis(QChar(0x2026));
        while (!last.isEmpty() && d.width(g, last + ellipsis) > w + tolerance)
            last.chop(1);
        while (!last.isEmpty() && last.back().isSpace())
            last.chop(1);
        last += ellipsis;
    }
    return {g, lines};
}

// Height in mm the item needs: its own height, or its wrapped text's when it grows.
double itemHeight(const ReportItem &it, const BandContext &ctx, const Device &d)
{
    if (!it.grow || it.kind != ReportItem::Text)
        return it.rect.height();
    const QString text = itemText(it, ctx);
    if (text.isEmpty())
        return it.rect.height();
    const QFont f = itemFont(it, ctx);
    const QFontMetricsF &fm = d.fm(f);
    const QRectF w = textRect(it, QRectF(0, 0, it.rect.width(), 1));
    const qsizetype n = wrapLines(text, f, d.px(w.width()), d.dev, true).size();
    return qMax(it.rect.height(), (fm.lineSpacing() * (n - 1) + fm.height()) / d.dpmm + 0.3);
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
    const QColor colour = it.colorFor ? it.colorFor(ctx) : it.color;
    if (it.kind != ReportItem::Text || it.frame)
        d.flush(p);
    if (d.painterColour != colour) {
        d.flush(p); // the lines so far in their own colour
        QPen pen(colour);
        pen.setWidthF(d.px(0.2));
        p.setPen(pen);
        d.painterColour = colour;
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
        d.painterFontSet = false;
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
    const QRectF tr = d.px(textRect(it, mm));
    const Fitted fit = fitText(it, text, itemFont(it, ctx), tr.width(), tr.height(), d);
    if (!d.painterFontSet || !(d.painterFont == fit.font)) {
        p.setFont(fit.font);
        d.painterFont = fit.font;
        d.painterFontSet = true;
    }
    // Lines placed by hand: cheaper than the layout of drawText(rect), and
    // each line is known to fit its box's width.
    const QFontMetricsF &fm = d.fm(fit.font);
    const double block = fm.lineSpacing() * (fit.lines.size() - 1) + fm.height();
    double top = tr.top() + (tr.height() - block) / 2;
    if (it.align & Qt::AlignTop)
        top = tr.top();
    else if (it.align & Qt::AlignBottom)
        top = tr.bottom() - block;
    // A clip only where a line could still reach out of the box (one line
    // taller than the box): a clip costs a saved graphics state in the PDF.
    const bool clip = it.clip && block > r.height() + d.px(0.05);
    if (clip) {
        d.flush(p);
        p.save();
        p.setClipRect(r);
    }
    for (qsizetype i = 0; i < fit.lines.size(); ++i) {
        const QString &line = fit.lines[i];
        if (line.isEmpty())
            continue;
        const double lw = d.width(fit.font, line);
        double x = tr.left();
        if (it.align & Qt::AlignRight)
            x = tr.right() - lw;
        else if (it.align & Qt::AlignHCenter)
            x = tr.left() + (tr.width() - lw) / 2;
        d.draw(p, fit.font, QPointF(x, top + i * fm.lineSpacing() + fm.ascent()), line);
    }
    if (clip) {
        d.flush(p);
        p.restore();
        d.painterFontSet = false; // restore() gave the painter its earlier state back
        d.painterColour = QColor();
    }
}

void paintBand(QPainter &p, const Placed &pl, double x0, double width, const Device &d)
{
    if (pl.band->fill) {
        d.flush(p);
        const QColor c = pl.band->fill(pl.ctx);
        if (c.isValid())
            p.fillRect(d.px(QRectF(x0, pl.y + 0.15, width, pl.height - 0.3)), c); // the rules stay visible
    }
    for (const ReportItem &it : pl.band->items) {
        const double h = it.grow ? itemHeight(it, pl.ctx, d) : it.rect.height();
        paintItem(p, it, pl.ctx, x0, pl.y, h, d);
    }
    d.flush(p);
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

    Private(const BandReport &report, QPaintDevice *dev) : r(report), d{dev, dev->logicalDpiX() / 25.4, {}, {}, {}} {}

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
