#pragma once
// Inside the band layer: the device a report is measured and drawn on (its
// millimetres, fonts and glyph tables), a band placed on a page, and the
// measuring and painting of bands. For BandReport.cpp and BandPainting.cpp
// only; the rest of the program sees BandReport.h.
#include "reports/BandReport.h"
#include "reports/PdfWriter.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>
#include <cmath>
#include <memory>

namespace qo::band {

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
    // Per character up to U+017F: glyph index (0 = not looked up yet, kNone =
    // the font lacks it) and advance in device pixels.
    static constexpr quint32 kNone = 0xffffffffu;
    static constexpr char16_t kLast = 0x17f;
    quint32 glyph[kLast + 1] = {};
    double advance[kLast + 1] = {};
    bool usable = false;
};

// Millimetres to device pixels and the measures that depend on the device.
struct Device {
    Device(QPaintDevice *device, double dotsPerMm) : dev(device), dpmm(dotsPerMm) {}

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
    mutable QVector<double> scratch; // advances of the line being drawn
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
            if (u < 0x20 || u > GlyphTable::kLast)
                return false; // beyond the Latin letters: shaped as usual
            if (t.glyph[u] == 0)
                lookUp(t, u);
            if (t.glyph[u] == GlyphTable::kNone)
                return false;
            if (glyphs)
                glyphs->push_back(t.glyph[u]);
            if (advances)
                advances->push_back(t.advance[u]);
        }
        return true;
    }
    static void lookUp(GlyphTable &t, char16_t u)
    {
        const QList<quint32> idx = t.raw.glyphIndexesForString(QString(QChar(u)));
        if (idx.size() != 1 || idx.first() == 0) {
            t.glyph[u] = GlyphTable::kNone;
            return;
        }
        t.glyph[u] = idx.first();
        t.advance[u] = t.raw.advancesForGlyphIndexes(idx, QRawFont::UseDesignMetrics).value(0).x();
    }
    double width(const QFont &f, const QString &text) const
    {
        select(f);
        GlyphTable &t = *lastTable;
        double w = 0;
        for (QChar c : text) {
            const char16_t u = c.unicode();
            if (!t.usable || u < 0x20 || u > GlyphTable::kLast)
                return fm(f).horizontalAdvance(text);
            if (t.glyph[u] == 0)
                lookUp(t, u);
            if (t.glyph[u] == GlyphTable::kNone)
                return fm(f).horizontalAdvance(text);
            w += t.advance[u];
        }
        return w;
    }
    // Draws one line of text with its baseline's start at `at`. Plain lines
    // of one font are gathered and drawn as one glyph run (flush()): each run
    // costs the PDF a saved state, a font and a text matrix.
    void draw(QPainter &p, const QFont &f, const QPointF &at, const QString &text) const
    {
        const qsizetype before = batchGlyphs.size();
        QVector<double> &adv = scratch;
        adv.resize(0);
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
        if (batchTable && !batchGlyphs.isEmpty()
            && !PdfWriter::drawGlyphs(p, batchTable->raw, batchGlyphs, batchPositions)) {
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

double bandHeight(const ReportBand &b, const BandContext &ctx, const Device &d);
void paintBand(QPainter &p, const Placed &pl, double x0, double width, const Device &d);

} // namespace qo::band
