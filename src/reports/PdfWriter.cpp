#include "reports/PdfWriter.h"
#include "reports/PdfFont.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QIODevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <atomic>
#include <charconv>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>
#include <cmath>
#include <zlib.h>

namespace qo {

namespace {

// Page streams are text-like and large: the fastest level still shrinks them
// to about a fifth, at a fraction of the default level's time.
constexpr int kPageLevel = Z_BEST_SPEED;
constexpr int kFileLevel = Z_DEFAULT_COMPRESSION; // fonts and pictures, written once

QByteArray deflated(const QByteArray &data, int level)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(data.constData()),
                  uLong(data.size()), level) != Z_OK)
        return {};
    out.resize(qsizetype(size));
    return out;
}

// A number in the page stream: two decimals at most (a hundredth of a device
// pixel), followed by a space.
void num(QByteArray &b, double v)
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
void part(QByteArray &b, int v)
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

void hex4(QByteArray &b, quint32 v)
{
    static const char digits[] = "0123456789ABCDEF";
    b += digits[(v >> 12) & 15];
    b += digits[(v >> 8) & 15];
    b += digits[(v >> 4) & 15];
    b += digits[v & 15];
}

QByteArray textString(const QString &s)
{
    QByteArray out = "<FEFF";
    for (QChar c : s)
        hex4(out, c.unicode());
    return out + '>';
}

} // namespace

// ---- the document ----------------------------------------------------------------------

// Objects are compressed and written on a thread of their own, in the order
// given, while the next page is painted: deflating the pages was a fifth of a
// long report's time. A few pages wait at most, so memory stays bounded.
class ObjectWriter {
public:
    explicit ObjectWriter(QIODevice *out) : m_out(out), m_thread([this] { run(); }) {}
    ~ObjectWriter()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
            m_queue.clear();
        }
        m_wake.notify_all();
        m_thread.join();
    }

    // Object `id`: its dictionary, and a stream deflated at `level` when given.
    void put(int id, QByteArray dict, const QByteArray *stream, int level)
    {
        Job job{id, std::move(dict), stream ? *stream : QByteArray(), stream != nullptr, level};
        std::unique_lock lock(m_mutex);
        m_room.wait(lock, [this] { return m_queue.size() < kWaiting || m_stop; });
        m_queue.push_back(std::move(job));
        lock.unlock();
        m_wake.notify_one();
    }
    void raw(const QByteArray &bytes) { put(-1, bytes, nullptr, 0); }
    // Waits until all is written: offsets and the end are final then.
    void drain()
    {
        std::unique_lock lock(m_mutex);
        m_room.wait(lock, [this] { return (m_queue.empty() && !m_busy) || m_stop; });
    }
    bool failed() const { return m_failed.load(); }
    qint64 end() const { return m_pos; }
    qint64 offset(int id) const { return id < qsizetype(m_offsets.size()) ? m_offsets[size_t(id)] : 0; }

private:
    struct Job {
        int id;
        QByteArray dict;
        QByteArray stream;
        bool hasStream;
        int level;
    };
    static constexpr size_t kWaiting = 8;

    void run()
    {
        for (;;) {
            Job job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return !m_queue.empty() || m_stop; });
                if (m_stop)
                    return;
                job = std::move(m_queue.front());
                m_queue.pop_front();
                m_busy = true;
            }
            m_room.notify_all();
            writeJob(job);
            {
                std::lock_guard lock(m_mutex);
                m_busy = false;
            }
            m_room.notify_all();
        }
    }
    void write(const QByteArray &b)
    {
        if (m_failed.load())
            return;
        if (m_out->write(b) != b.size())
            m_failed = true;
        m_pos += b.size();
    }
    void writeJob(const Job &job)
    {
        if (job.id < 0) {
            write(job.dict);
            return;
        }
        if (size_t(job.id) >= m_offsets.size())
            m_offsets.resize(size_t(job.id) + 1, 0);
        m_offsets[size_t(job.id)] = m_pos;
        const QByteArray head = QByteArray::number(job.id) + " 0 obj\n";
        if (!job.hasStream) {
            write(head + job.dict + "\nendobj\n");
            return;
        }
        const QByteArray packed = deflated(job.stream, job.level);
        QByteArray dict = job.dict;
        dict.chop(2); // ">>"
        dict += "/Length " + QByteArray::number(packed.size()) + " /Filter /FlateDecode >>\nstream\n";
        write(head + dict);
        write(packed);
        write("\nendstream\nendobj\n");
    }

    QIODevice *m_out;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_room;
    std::deque<Job> m_queue;
    bool m_stop = false;
    bool m_busy = false;
    std::atomic<bool> m_failed{false};
    qint64 m_pos = 0;                // the writing thread's, read after drain()
    std::vector<qint64> m_offsets;   // likewise
    std::thread m_thread;            // last: starts once the rest is there
};

struct PdfWriter::Private {
    ObjectWriter out;
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

    Private(QIODevice *o, const QPageLayout &l, int d) : out(o), layout(l), dpi(d), paperPoints(l.fullRectPoints())
    {
        objects = 5; // the catalog, the page tree, the resources and the document's data
    }

    int reserve() { return objects++; }
    void put(int id, const QByteArray &dict, const QByteArray *stream, int level = kFileLevel)
    {
        out.put(id, dict, stream, level);
    }
    bool failed() const { return out.failed(); }

    void beginPage()
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
    void endPage()
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

    // A new clip needs the state saved before it (PDF can only narrow one):
    // going back restores the colours and widths of then, forgotten here.
    void syncClip()
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
    void setFill(const QColor &c)
    {
        const QRgb rgb = c.rgb();
        if (fillSet && rgb == fill)
            return;
        part(content, qRed(rgb));
        part(content, qGreen(rgb));
        part(content, qBlue(rgb));
        content += "rg\n";
        fill = rgb;
        fillSet = true;
    }
    void setStroke(const QPen &p)
    {
        const QRgb rgb = p.color().rgb();
        if (!strokeSet || rgb != stroke) {
            part(content, qRed(rgb));
            part(content, qGreen(rgb));
            part(content, qBlue(rgb));
            content += "RG\n";
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
    void pathOps(const QPainterPath &path)
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
    // The brush's colour, or none when it fills nothing.
    bool fillColour(QColor *c) const
    {
        if (brush.style() == Qt::NoBrush)
            return false;
        *c = brush.color();
        if (const QGradient *g = brush.gradient(); g && !g->stops().isEmpty())
            *c = g->stops().first().second;
        return c->alpha() > 0;
    }
    bool stroking() const { return pen.style() != Qt::NoPen && pen.color().alpha() > 0; }
    // Paints what was just described: filled, stroked or both.
    void paint(bool fill, bool strokeIt, Qt::FillRule rule)
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
    void drawPath(const QPainterPath &logical)
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

    pdf::EmbeddedFont *font(const QRawFont &raw, int *index)
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

    // Glyphs at baseline positions (logical), one string per line: a glyph
    // starts a new string only where it does not follow from the one before.
    void glyphs(const QRawFont &raw, const quint32 *ids, const QPointF *at, qsizetype n, const QColor &colour,
                const QTransform &m)
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

    int image(const QImage &img, const QRectF &source)
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
    void drawImage(const QRectF &r, const QImage &img, const QRectF &sr)
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

    bool finish()
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
};

// ---- the paint engine: what QPainter asks of the device --------------------------------

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

// ---- the device ------------------------------------------------------------------------

PdfWriter::PdfWriter(QIODevice *out, const QPageLayout &layout, int dotsPerInch)
    : d(std::make_unique<Private>(out, layout, dotsPerInch))
{
    d->engine = std::make_unique<PdfEngine>(d.get());
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
