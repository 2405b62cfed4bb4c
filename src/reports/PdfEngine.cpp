// What QPainter asks of a PdfWriter: its state, and the drawing of lines,
// boxes, paths, pictures and text, turned into the page stream.
#include "reports/PdfWriterPrivate.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QTextLayout>

namespace qo {

using pdf::num;

class PdfEngine : public QPaintEngine {
public:
    explicit PdfEngine(PdfWriter::Private *d) : QPaintEngine(AllFeatures), d(d) {}

    bool begin(QPaintDevice *) override { return !d->failed() && !d->finished; }
    bool end() override { return d->finish(); }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState &s) override
    {
        const DirtyFlags f = s.state();
        if (f & DirtyTransform)
            d->xf = s.transform();
        if (f & DirtyPen)
            d->pen = s.pen();
        if (f & DirtyBrush)
            d->brush = s.brush();
        if (f & DirtyClipEnabled)
            d->wantClipOn = s.isClipEnabled() && !d->wantClip.isEmpty();
        if (f & DirtyClipPath)
            clipTo(s.clipOperation(), d->xf.map(s.clipPath()));
        if (f & DirtyClipRegion) {
            QPainterPath p;
            p.addRegion(s.clipRegion());
            clipTo(s.clipOperation(), d->xf.map(p));
        }
    }

    void drawPath(const QPainterPath &path) override { d->drawPath(path); }
    void drawLines(const QLineF *lines, int count) override
    {
        if (!d->stroking() || count <= 0)
            return;
        d->syncClip();
        d->setStroke(d->pen);
        for (int i = 0; i < count; ++i) {
            const QLineF l = d->xf.map(lines[i]);
            num(d->content, l.x1());
            num(d->content, l.y1());
            d->content += "m ";
            num(d->content, l.x2());
            num(d->content, l.y2());
            d->content += "l\n";
        }
        d->content += "S\n";
    }
    void drawRects(const QRectF *rects, int count) override
    {
        if (d->xf.type() > QTransform::TxScale) {
            for (int i = 0; i < count; ++i) {
                QPainterPath p;
                p.addRect(rects[i]);
                d->drawPath(p);
            }
            return;
        }
        QColor c;
        const bool fill = d->fillColour(&c);
        const bool strokeIt = d->stroking();
        if ((!fill && !strokeIt) || count <= 0)
            return;
        d->syncClip();
        if (fill)
            d->setFill(c);
        if (strokeIt)
            d->setStroke(d->pen);
        for (int i = 0; i < count; ++i) {
            const QRectF r = d->xf.mapRect(rects[i]);
            num(d->content, r.x());
            num(d->content, r.y());
            num(d->content, r.width());
            num(d->content, r.height());
            d->content += "re\n";
        }
        d->paint(fill, strokeIt, Qt::WindingFill);
    }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        if (count < 2)
            return;
        QPainterPath p;
        p.setFillRule(mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
        p.moveTo(points[0]);
        for (int i = 1; i < count; ++i)
            p.lineTo(points[i]);
        if (mode == PolylineMode) {
            const QBrush keep = d->brush;
            d->brush = Qt::NoBrush;
            d->drawPath(p);
            d->brush = keep;
            return;
        }
        p.closeSubpath();
        d->drawPath(p);
    }
    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr) override
    {
        d->drawImage(r, pm.toImage(), sr);
    }
    void drawImage(const QRectF &r, const QImage &img, const QRectF &sr, Qt::ImageConversionFlags) override
    {
        d->drawImage(r, img, sr);
    }
    // Text QPainter was given as characters: shaped here, then drawn as glyphs.
    void drawTextItem(const QPointF &p, const QTextItem &ti) override
    {
        const QString text = ti.text();
        if (text.isEmpty())
            return;
        QTextLayout layout(text, ti.font(), static_cast<QPaintDevice *>(paintDevice()));
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        if (!line.isValid())
            return;
        const QPointF origin = p - QPointF(0, line.ascent());
        for (const QGlyphRun &run : line.glyphRuns()) {
            const QRawFont raw = run.rawFont();
            const QVector<quint32> ids = run.glyphIndexes();
            QVector<QPointF> at = run.positions();
            for (QPointF &q : at)
                q += origin;
            int index = 0;
            pdf::EmbeddedFont *f = d->font(raw, &index);
            for (QChar c : text) {
                quint32 g = 0;
                int n = 1;
                if (raw.glyphIndexesForChars(&c, 1, &g, &n) && n == 1 && g)
                    f->noteText(g, QString(c));
            }
            d->glyphs(raw, ids.constData(), at.constData(), ids.size(), d->pen.color(), d->xf);
        }
        if (ti.renderFlags() & (QTextItem::Underline | QTextItem::StrikeOut)) {
            const QFontMetricsF fm(ti.font(), static_cast<QPaintDevice *>(paintDevice()));
            QPen rule(d->pen.color(), fm.lineWidth());
            const QPen keep = d->pen;
            d->pen = rule;
            const double w = line.naturalTextWidth();
            if (ti.renderFlags() & QTextItem::Underline) {
                const QLineF l(p.x(), p.y() + fm.underlinePos(), p.x() + w, p.y() + fm.underlinePos());
                drawLines(&l, 1);
            }
            if (ti.renderFlags() & QTextItem::StrikeOut) {
                const QLineF l(p.x(), p.y() - fm.strikeOutPos(), p.x() + w, p.y() - fm.strikeOutPos());
                drawLines(&l, 1);
            }
            d->pen = keep;
        }
    }

private:
    void clipTo(Qt::ClipOperation op, const QPainterPath &path)
    {
        if (op == Qt::NoClip) {
            d->wantClip = QPainterPath();
            d->wantClipOn = false;
            return;
        }
        d->wantClip = (op == Qt::IntersectClip && d->wantClipOn) ? d->wantClip.intersected(path) : path;
        d->wantClipOn = true;
    }

    PdfWriter::Private *d;
};

QPaintEngine *NewPdfEngine(PdfWriter::Private *d) { return new PdfEngine(d); }

} // namespace qo
