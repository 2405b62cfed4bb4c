#pragma once
// Inside the PDF writer: the document being written (its objects, fonts,
// pictures and pages) and the page stream with the graphics state it has set.
// For PdfWriter.cpp and PdfEngine.cpp only.
#include "reports/PdfFont.h"
#include "reports/PdfObjectWriter.h"
#include "reports/PdfWriter.h"

#include <QBrush>
#include <QHash>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPageLayout>
#include <QPen>
#include <QRawFont>
#include <QTransform>

#include <charconv>
#include <cmath>
#include <memory>
#include <zlib.h>

namespace qo {

namespace pdf {

// Page streams are text-like and large: the fastest level still shrinks them
// to about a fifth, at a fraction of the default level's time.
constexpr int kPageLevel = Z_BEST_SPEED;
constexpr int kFileLevel = Z_DEFAULT_COMPRESSION; // fonts and pictures, written once

// A number in the page stream: two decimals at most (a hundredth of a device
// pixel), followed by a space.
inline void num(QByteArray &b, double v)
{
    long long t = std::llround(v * 100);
    if (t < 0) {
        b += '-';
        t = -t;
    }
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, t / 100);
    b.append(buf, r.ptr - buf);
    const int frac = int(t % 100);
    if (frac) {
        b += '.';
        b += char('0' + frac / 10);
        if (frac % 10)
            b += char('0' + frac % 10);
    }
    b += ' ';
}

// A colour part, 0..1 with three decimals.
inline void part(QByteArray &b, int v)
{
    const int t = (v * 1000 + 127) / 255;
    if (t >= 1000) {
        b += "1 ";
        return;
    }
    b += "0.";
    b += char('0' + t / 100);
    b += char('0' + t / 10 % 10);
    b += char('0' + t % 10);
    b += ' ';
}

// A colour for the operator `op` (fill "rg", stroke "RG").
inline void colour(QByteArray &b, QRgb rgb, const char *op)
{
    part(b, qRed(rgb));
    part(b, qGreen(rgb));
    part(b, qBlue(rgb));
    b += op;
}

inline void hex4(QByteArray &b, quint32 v)
{
    static const char digits[] = "0123456789ABCDEF";
    b += digits[(v >> 12) & 15];
    b += digits[(v >> 8) & 15];
    b += digits[(v >> 4) & 15];
    b += digits[v & 15];
}

} // namespace pdf

struct PdfWriter::Private {
    pdf::ObjectWriter out;
    bool finished = false;
    QPageLayout layout;
    int dpi;
    QRect paperPoints;
    QString title, creator;

    int objects = 1; // object 0 is the head of the index
    const int catalogId = 1, pagesId = 2, resourcesId = 3, infoId = 4;
    QVector<int> pageIds;
    QByteArray content;

    QHash<QString, int> fontByKey;
    std::vector<std::unique_ptr<pdf::EmbeddedFont>> fonts;
    QVector<int> fontIds;
    QRawFont lastFont;
    int lastFontIndex = -1;
    QHash<QString, int> imageByKey;
    QVector<int> imageIds;

    // What the page stream has set, so that it is set again only on a change.
    QRgb fill = 0, stroke = 0;
    bool fillSet = false, strokeSet = false;
    double lineWidth = -1;
    int cap = -1, join = -1;
    bool dashed = false;
    QPainterPath clip;
    bool clipOn = false;

    // The painter's state as the engine was told.
    QPen pen;
    QBrush brush;
    QTransform xf;
    QPainterPath wantClip;
    bool wantClipOn = false;

    std::unique_ptr<QPaintEngine> engine;

    Private(QIODevice *o, const QPageLayout &l, int d);

    int reserve() { return objects++; }
    void put(int id, const QByteArray &dict, const QByteArray *stream, int level = pdf::kFileLevel);
    bool failed() const { return out.failed(); }

    void beginPage();
    void endPage();

    // A new clip needs the state saved before it (PDF can only narrow one):
    // going back restores the colours and widths of then, forgotten here.
    void syncClip();
    void setFill(const QColor &c);
    void setStroke(const QPen &p);
    void pathOps(const QPainterPath &path);
    // The brush's colour, or none when it fills nothing.
    bool fillColour(QColor *c) const;
    bool stroking() const { return pen.style() != Qt::NoPen && pen.color().alpha() > 0; }
    // Paints what was just described: filled, stroked or both.
    void paint(bool fill, bool strokeIt, Qt::FillRule rule);
    void drawPath(const QPainterPath &logical);

    pdf::EmbeddedFont *font(const QRawFont &raw, int *index);

    // Glyphs at baseline positions (logical), one string per line: a glyph
    // starts a new string only where it does not follow from the one before.
    void glyphs(const QRawFont &raw, const quint32 *ids, const QPointF *at, qsizetype n, const QColor &colour,
                const QTransform &m);

    int image(const QImage &img, const QRectF &source);
    void drawImage(const QRectF &r, const QImage &img, const QRectF &sr);

    bool finish();
};

} // namespace qo
