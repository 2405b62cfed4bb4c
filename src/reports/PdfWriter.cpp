#include "reports/PdfWriter.h"
#include "reports/PdfWriterPrivate.h"

#include <QDateTime>
#include <QPainter>

namespace qo {

using namespace pdf;

QPaintEngine *NewPdfEngine(PdfWriter::Private *d); // PdfEngine.cpp

namespace {

QByteArray textString(const QString &s)
{
    QByteArray out = "<FEFF";
    for (QChar c : s)
        hex4(out, c.unicode());
    return out + '>';
}

} // namespace

// ---- the document ----------------------------------------------------------------------

PdfWriter::Private::Private(QIODevice *o, const QPageLayout &l, int d)
    : out(o), layout(l), dpi(d), paperPoints(l.fullRectPoints())
{
    objects = 5; // the catalog, the page tree, the resources and the document's data
}

void PdfWriter::Private::put(int id, const QByteArray &dict, const QByteArray *stream, int level)
{
    out.put(id, dict, stream, level);
}

void PdfWriter::Private::beginPage()
{
    content = QByteArray(); // the last page's is on its way to the file
    content.reserve(64 * 1024);
    // Device pixels from the paper's top left corner, as the painter sees them.
    const double s = 72.0 / dpi;
    num(content, s);
    content += "0 0 ";
    num(content, -s);
    content += "0 ";
    num(content, paperPoints.height());
    content += "cm\n";
    fillSet = strokeSet = dashed = clipOn = false;
    lineWidth = -1;
    cap = join = -1;
    clip = QPainterPath();
}

void PdfWriter::Private::endPage()
{
    if (clipOn)
        content += "Q\n";
    const int contentId = reserve();
    put(contentId, "<< >>", &content, kPageLevel);
    const int pageId = reserve();
    put(pageId,
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + QByteArray::number(paperPoints.width()) + ' '
            + QByteArray::number(paperPoints.height()) + "] /Resources 3 0 R /Contents "
            + QByteArray::number(contentId) + " 0 R >>",
        nullptr);
    pageIds.push_back(pageId);
    content.clear();
}

void PdfWriter::Private::syncClip()
{
    if (wantClipOn == clipOn && (!clipOn || wantClip == clip))
        return;
    if (clipOn) {
        content += "Q\n";
        fillSet = strokeSet = dashed = false;
        lineWidth = -1;
        cap = join = -1;
    }
    clipOn = wantClipOn;
    clip = wantClip;
    if (clipOn) {
        content += "q\n";
        if (clip.isEmpty())
            content += "0 0 0 0 re\n"; // a clip to nothing
        pathOps(clip);
        content += clip.fillRule() == Qt::OddEvenFill ? "W* n\n" : "W n\n";
    }
}

void PdfWriter::Private::setFill(const QColor &c)
{
    const QRgb rgb = c.rgb();
    if (fillSet && rgb == fill)
        return;
    colour(content, rgb, "rg\n");
    fill = rgb;
    fillSet = true;
}

void PdfWriter::Private::setStroke(const QPen &p)
{
    const QRgb rgb = p.color().rgb();
    if (!strokeSet || rgb != stroke) {
        colour(content, rgb, "RG\n");
        stroke = rgb;
        strokeSet = true;
    }
    double w = p.widthF();
    if (!p.isCosmetic())
        w *= std::sqrt(std::abs(xf.determinant()));
    if (w != lineWidth) {
        num(content, w);
        content += "w\n";
        lineWidth = w;
    }
    const int c = p.capStyle() == Qt::RoundCap ? 1 : p.capStyle() == Qt::SquareCap ? 2 : 0;
    if (c != cap) {
        content += QByteArray::number(c) + " J\n";
        cap = c;
    }
    const int j = p.joinStyle() == Qt::RoundJoin ? 1 : p.joinStyle() == Qt::BevelJoin ? 2 : 0;
    if (j != join) {
        content += QByteArray::number(j) + " j\n";
        join = j;
    }
    const bool dash = p.style() != Qt::SolidLine && p.style() != Qt::NoPen;
    if (dash) {
        content += '[';
        for (qreal seg : p.dashPattern())
            num(content, seg * qMax(w, 1.0));
        content += "] 0 d\n";
        dashed = true;
    } else if (dashed) {
        content += "[] 0 d\n";
        dashed = false;
    }
}

void PdfWriter::Private::pathOps(const QPainterPath &path)
{
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        num(content, e.x);
        num(content, e.y);
        if (e.type == QPainterPath::MoveToElement)
            content += "m\n";
        else if (e.type == QPainterPath::LineToElement)
            content += "l\n";
        else if (e.type == QPainterPath::CurveToElement && i + 2 < path.elementCount()) {
            for (int k = 1; k <= 2; ++k) {
                num(content, path.elementAt(i + k).x);
                num(content, path.elementAt(i + k).y);
            }
            content += "c\n";
            i += 2;
        }
    }
}

bool PdfWriter::Private::fillColour(QColor *c) const
{
    if (brush.style() == Qt::NoBrush)
        return false;
    *c = brush.color();
    if (const QGradient *g = brush.gradient(); g && !g->stops().isEmpty())
        *c = g->stops().first().second;
    return c->alpha() > 0;
}

void PdfWriter::Private::paint(bool fill, bool strokeIt, Qt::FillRule rule)
{
    if (fill && strokeIt)
        content += rule == Qt::OddEvenFill ? "B*\n" : "B\n";
    else if (fill)
        content += rule == Qt::OddEvenFill ? "f*\n" : "f\n";
    else if (strokeIt)
        content += "S\n";
    else
        content += "n\n";
}

void PdfWriter::Private::drawPath(const QPainterPath &logical)
{
    QColor c;
    const bool fill = fillColour(&c);
    const bool strokeIt = stroking();
    if (!fill && !strokeIt)
        return;
    syncClip();
    if (fill)
        setFill(c);
    if (strokeIt)
        setStroke(pen);
    pathOps(xf.map(logical));
    paint(fill, strokeIt, logical.fillRule());
}

pdf::EmbeddedFont *PdfWriter::Private::font(const QRawFont &raw, int *index)
{
    // Most runs are in the font of the run before.
    if (lastFontIndex >= 0 && raw == lastFont) {
        *index = lastFontIndex;
        return fonts[size_t(lastFontIndex)].get();
    }
    const QString key = raw.familyName() + QLatin1Char('|') + raw.styleName() + QLatin1Char('|')
        + QString::number(raw.weight()) + QLatin1Char('|') + QString::number(int(raw.style()));
    auto it = fontByKey.constFind(key);
    if (it == fontByKey.cend()) {
        fonts.push_back(std::make_unique<pdf::EmbeddedFont>(raw));
        fontIds.push_back(reserve());
        it = fontByKey.insert(key, int(fonts.size() - 1));
    }
    *index = *it;
    lastFont = raw;
    lastFontIndex = *it;
    return fonts[size_t(*it)].get();
}

void PdfWriter::Private::glyphs(const QRawFont &raw, const quint32 *ids, const QPointF *at, qsizetype n,
                                const QColor &colour, const QTransform &m)
{
    if (n == 0 || colour.alpha() == 0)
        return;
    int index = 0;
    pdf::EmbeddedFont *f = font(raw, &index);
    syncClip();
    setFill(colour);
    if (!f->embeddable()) {
        // A face whose file cannot be embedded: its outlines as paths.
        QPainterPath outlines;
        for (qsizetype i = 0; i < n; ++i)
            outlines.addPath(raw.pathForGlyph(ids[i]).translated(at[i]));
        pathOps(m.map(outlines));
        content += "f\n";
        return;
    }
    const double size = raw.pixelSize() * std::sqrt(std::abs(m.determinant()));
    content += "BT /F" + QByteArray::number(index + 1) + ' ';
    num(content, size);
    content += "Tf\n";
    bool open = false;
    double lineY = 0, nextX = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF p = m.map(at[i]);
        if (!open || std::abs(p.y() - lineY) > 0.01 || std::abs(p.x() - nextX) > 0.5) {
            if (open)
                content += "> Tj\n";
            content += "1 0 0 -1 ";
            num(content, p.x());
            num(content, p.y());
            content += "Tm <";
            open = true;
            lineY = p.y();
            nextX = p.x();
        }
        hex4(content, ids[i]);
        f->use(ids[i]);
        nextX += f->width(ids[i]) * size / 1000.0;
    }
    content += "> Tj\nET\n";
}

int PdfWriter::Private::image(const QImage &img, const QRectF &source)
{
    const QRect sr = source.toAlignedRect().intersected(img.rect());
    const QString key = QString::number(img.cacheKey()) + QLatin1Char('/') + QString::number(sr.x()) + QLatin1Char(',')
        + QString::number(sr.y()) + QLatin1Char(',') + QString::number(sr.width()) + QLatin1Char(',')
        + QString::number(sr.height());
    if (auto it = imageByKey.constFind(key); it != imageByKey.cend())
        return *it;
    const QImage part = (sr == img.rect() ? img : img.copy(sr));
    const bool alpha = part.hasAlphaChannel();
    const QImage rgb = part.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    QByteArray colours, mask;
    colours.reserve(rgb.width() * rgb.height() * 3);
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar *line = rgb.constScanLine(y);
        if (!alpha) {
            colours.append(reinterpret_cast<const char *>(line), rgb.width() * 3);
            continue;
        }
        for (int x = 0; x < rgb.width(); ++x) {
            colours.append(reinterpret_cast<const char *>(line + x * 4), 3);
            mask += char(line[x * 4 + 3]);
        }
    }
    const QByteArray size = " /Width " + QByteArray::number(rgb.width()) + " /Height "
        + QByteArray::number(rgb.height()) + " /BitsPerComponent 8";
    QByteArray smask;
    if (alpha) {
        const int maskId = reserve();
        put(maskId, "<< /Type /XObject /Subtype /Image" + size + " /ColorSpace /DeviceGray >>", &mask);
        smask = " /SMask " + QByteArray::number(maskId) + " 0 R";
    }
    const int id = reserve();
    put(id, "<< /Type /XObject /Subtype /Image" + size + " /ColorSpace /DeviceRGB" + smask + " >>", &colours);
    imageIds.push_back(id);
    const int index = int(imageIds.size());
    imageByKey.insert(key, index);
    return index;
}

void PdfWriter::Private::drawImage(const QRectF &r, const QImage &img, const QRectF &sr)
{
    if (img.isNull())
        return;
    syncClip();
    const int index = image(img, sr);
    const QRectF t = xf.mapRect(r);
    content += "q ";
    num(content, t.width());
    content += "0 0 ";
    num(content, -t.height());
    num(content, t.x());
    num(content, t.y() + t.height());
    content += "cm /Im" + QByteArray::number(index) + " Do Q\n";
}

bool PdfWriter::Private::finish()
{
    if (finished)
        return !failed();
    finished = true;
    endPage();
    for (size_t i = 0; i < fonts.size(); ++i)
        fonts[i]->write(
            fontIds[qsizetype(i)], int(i), [this] { return reserve(); },
            [this](int id, const QByteArray &dict, const QByteArray *stream) { put(id, dict, stream); });
    QByteArray resources = "<< /ProcSet [/PDF /Text /ImageC] /Font <<";
    for (qsizetype i = 0; i < fontIds.size(); ++i)
        resources += " /F" + QByteArray::number(i + 1) + ' ' + QByteArray::number(fontIds[i]) + " 0 R";
    resources += " >> /XObject <<";
    for (qsizetype i = 0; i < imageIds.size(); ++i)
        resources += " /Im" + QByteArray::number(i + 1) + ' ' + QByteArray::number(imageIds[i]) + " 0 R";
    put(resourcesId, resources + " >> >>", nullptr);
    QByteArray kids;
    for (int id : std::as_const(pageIds))
        kids += QByteArray::number(id) + " 0 R ";
    put(pagesId, "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pageIds.size()) + " >>",
        nullptr);
    put(catalogId, "<< /Type /Catalog /Pages 2 0 R >>", nullptr);
    put(infoId,
        "<< /Title " + textString(title) + " /Creator " + textString(creator) + " /Producer "
            + textString(creator) + " /CreationDate (D:"
            + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + ") >>",
        nullptr);
    out.drain();
    const qint64 xref = out.end();
    QByteArray index = "xref\n0 " + QByteArray::number(objects) + "\n0000000000 65535 f \n";
    for (int i = 1; i < objects; ++i)
        index += QByteArray::number(out.offset(i)).rightJustified(10, '0') + " 00000 n \n";
    index += "trailer\n<< /Size " + QByteArray::number(objects) + " /Root 1 0 R /Info 4 0 R >>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    out.raw(index);
    out.drain();
    return !failed();
}

// ---- the device ------------------------------------------------------------------------

PdfWriter::PdfWriter(QIODevice *out, const QPageLayout &layout, int dotsPerInch)
    : d(std::make_unique<Private>(out, layout, dotsPerInch))
{
    d->engine.reset(NewPdfEngine(d.get()));
    d->out.raw("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    d->beginPage();
}

PdfWriter::~PdfWriter() = default;

void PdfWriter::setTitle(const QString &title) { d->title = title; }
void PdfWriter::setCreator(const QString &creator) { d->creator = creator; }
bool PdfWriter::failed() const { return d->failed(); }
int PdfWriter::pageCount() const { return int(d->pageIds.size()) + (d->finished ? 0 : 1); }

bool PdfWriter::newPage()
{
    if (d->failed() || d->finished)
        return false;
    d->endPage();
    d->beginPage();
    return !d->failed();
}

bool PdfWriter::finish() { return d->finish(); }

QPaintEngine *PdfWriter::paintEngine() const { return d->engine.get(); }

bool PdfWriter::drawGlyphs(QPainter &painter, const QRawFont &font, const QVector<quint32> &glyphs,
                           const QVector<QPointF> &positions)
{
    auto *w = dynamic_cast<PdfWriter *>(painter.device());
    if (!w)
        return false;
    Private &d = *w->d;
    // The painter tells the engine its state only before its own drawing:
    // the clip is taken from it here.
    const QTransform m = painter.combinedTransform();
    d.wantClipOn = painter.hasClipping();
    d.wantClip = d.wantClipOn ? m.map(painter.clipPath()) : QPainterPath();
    d.glyphs(font, glyphs.constData(), positions.constData(), qMin(glyphs.size(), positions.size()),
             painter.pen().color(), m);
    return true;
}

int PdfWriter::metric(PaintDeviceMetric m) const
{
    const QRect px = d->layout.fullRectPixels(d->dpi);
    const QRectF mm = d->layout.fullRect(QPageLayout::Millimeter);
    switch (m) {
    case PdmWidth:
        return px.width();
    case PdmHeight:
        return px.height();
    case PdmWidthMM:
        return qRound(mm.width());
    case PdmHeightMM:
        return qRound(mm.height());
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return d->dpi;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}

} // namespace qo
