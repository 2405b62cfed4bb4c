#pragma once
// A PDF file written page after page while it is painted: each line of text as
// one string of glyphs, fonts embedded as subsets at the end, each page
// compressed and written when it ends. Qt's own PDF engine positions and
// writes every glyph on its own and deflates that at its default level, which
// made long reports spend most of their time in it (docs/ARCHITECTURE.md,
// "Page pipeline"). This writer serves what printouts draw: text, lines,
// boxes, fills, paths, pictures and clips, in opaque colours.
#include <QPageLayout>
#include <QPaintDevice>
#include <QPointF>
#include <QRawFont>
#include <QVector>
#include <memory>

class QIODevice;
class QPainter;

namespace qo {

class PdfWriter : public QPaintDevice {
public:
    // Writes to `out` (left open); pages of `layout`'s full paper at
    // `dotsPerInch` device pixels.
    PdfWriter(QIODevice *out, const QPageLayout &layout, int dotsPerInch);
    ~PdfWriter() override;
    PdfWriter(const PdfWriter &) = delete;
    PdfWriter &operator=(const PdfWriter &) = delete;

    void setTitle(const QString &title);
    void setCreator(const QString &creator);

    // Ends the page and begins the next; false once a write was refused.
    bool newPage();
    // Writes the fonts, the page tree and the index (QPainter::end does it);
    // false once a write was refused.
    bool finish();
    bool failed() const;
    int pageCount() const;

    // Draws glyphs of `font` at `positions` (baselines, in the painter's
    // coordinates) in the pen's colour, straight into the page: for a
    // painter open on a PdfWriter. False (nothing drawn) for other devices.
    static bool drawGlyphs(QPainter &painter, const QRawFont &font, const QVector<quint32> &glyphs,
                           const QVector<QPointF> &positions);

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    struct Private;
    friend class PdfEngine;
    friend QPaintEngine *NewPdfEngine(Private *d);
    std::unique_ptr<Private> d;
};

} // namespace qo
