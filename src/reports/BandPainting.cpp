// Measuring and painting the items of a band: texts fitted to their boxes,
// wrapped or set smaller, lines, boxes and pictures.
#include "reports/BandPainting.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace qo::band {

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

} // namespace qo::band
