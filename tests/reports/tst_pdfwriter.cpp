// The program's own PDF writer, read back by the PDF tools a user has
// (pdfinfo, pdftotext, pdffonts, pdfimages, pdftoppm): text where it was
// drawn and readable as text, also beyond the Latin letters; fonts embedded
// as subsets; fills, clips and pictures with transparency as painted; a
// refused write reported, not a broken file called done.
#include "reports/PdfWriter.h"
#include "support/Pdf.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTemporaryDir>
#include <QtTest>

using namespace qo;
using namespace qo::test;

namespace {

constexpr int kDpi = 1200;
double px(double mm) { return mm * kDpi / 25.4; }

QPageLayout a4()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
}

// A page rendered by poppler at 72 dpi: one pixel a point.
QImage renderPage(const QString &pdf, int page)
{
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("p"));
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"),
                                                   QString::number(page), QStringLiteral("-l"), QString::number(page),
                                                   QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, stem});
    return QImage(stem + QStringLiteral(".png"));
}
QColor at(const QImage &img, double xMm, double yMm) { return img.pixelColor(int(xMm * kPtPerMm), int(yMm * kPtPerMm)); }
bool near(const QColor &c, int r, int g, int b) { return qAbs(c.red() - r) < 40 && qAbs(c.green() - g) < 40 && qAbs(c.blue() - b) < 40; }

// Takes the first `room` bytes, then refuses, as a full disk does.
class ShortDevice : public QBuffer {
public:
    explicit ShortDevice(qint64 room) : m_room(room) {}

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (size() + len > m_room)
            return -1;
        return QBuffer::writeData(data, len);
    }

private:
    qint64 m_room;
};

} // namespace

class TestPdfWriter : public QObject {
    Q_OBJECT
private slots:
    void drawingReadsBack()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("rajz.pdf"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QFont sans(QStringLiteral("DejaVu Sans"));
        sans.setPointSizeF(12);
        {
            PdfWriter pdf(&out, a4(), kDpi);
            pdf.setTitle(QStringLiteral("Próba őű"));
            QPainter p;
            QVERIFY(p.begin(&pdf));
            p.setFont(sans);
            // Characters through QPainter (shaped by the writer), Latin and beyond.
            p.drawText(QPointF(px(20), px(30)), QStringLiteral("Árvíztűrő tükörfúrógép"));
            p.drawText(QPointF(px(20), px(45)), QStringLiteral("Ωμέγα → 5 €"));
            // Glyphs straight from a font's table, as the band layer draws its lines.
            const QRawFont raw = QRawFont::fromFont(QFont(sans, &pdf));
            const QString word = QStringLiteral("Glyphek");
            const QVector<quint32> glyphs = raw.glyphIndexesForString(word);
            const QList<QPointF> adv = raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
            QVector<QPointF> pos;
            double x = px(120);
            for (const QPointF &a : adv) {
                pos << QPointF(x, px(30));
                x += a.x();
            }
            p.setPen(QColor(0, 0, 160));
            QVERIFY(PdfWriter::drawGlyphs(p, raw, glyphs, pos));
            // A blue box, a clipped black bar, a picture half transparent.
            p.fillRect(QRectF(px(20), px(60), px(30), px(20)), QColor(0, 0, 255));
            p.save();
            p.setClipRect(QRectF(px(60), px(60), px(10), px(20)));
            p.fillRect(QRectF(px(55), px(65), px(30), px(10)), Qt::black);
            p.restore();
            p.fillRect(QRectF(px(90), px(65), px(5), px(10)), Qt::black); // after the clip: drawn whole
            p.save();
            p.setClipRect(QRectF(px(100), px(60), px(5), px(5)));
            p.setClipRect(QRectF(px(110), px(60), px(5), px(5)), Qt::IntersectClip); // no room left
            p.fillRect(QRectF(px(100), px(60), px(15), px(20)), Qt::red);
            p.restore();
            QImage picture(20, 20, QImage::Format_ARGB32);
            picture.fill(Qt::transparent);
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 10; ++x)
                    picture.setPixelColor(x, y, Qt::red);
            p.drawImage(QRectF(px(120), px(60), px(20), px(20)), picture);
            QPen dashed(Qt::darkGreen, px(0.5), Qt::DashLine);
            p.setPen(dashed);
            p.drawLine(QPointF(px(20), px(100)), QPointF(px(180), px(100)));
            QVERIFY(pdf.newPage());
            p.setPen(Qt::black);
            p.drawText(QPointF(px(20), px(30)), QStringLiteral("második oldal"));
            QVERIFY(p.end());
            QVERIFY(!pdf.failed());
        }
        out.close();

        const Pdf read = readPdf(file);
        QCOMPARE(read.pages, 2);
        QCOMPARE(read.pageSize, QSizeF(595, 842));
        for (const QString &w : {QStringLiteral("Árvíztűrő"), QStringLiteral("tükörfúrógép"), QStringLiteral("Ωμέγα"),
                                 QStringLiteral("→"), QStringLiteral("€"), QStringLiteral("Glyphek")})
            QVERIFY2(read.count(w) == 1, qPrintable(w + QStringLiteral(" in ") + read.text));
        QCOMPARE(read.find(QStringLiteral("második"), 2).size(), 1);
        // Where it was drawn: the first letter's left edge at the drawn x, the
        // words of a line on one baseline, the next word after the blank.
        const Word first = read.find(QStringLiteral("Árvíztűrő")).first();
        const Word second = read.find(QStringLiteral("tükörfúrógép")).first();
        QVERIFY2(qAbs(first.x0 - 20 * kPtPerMm) < 1.0, qPrintable(QString::number(first.x0 / kPtPerMm)));
        QVERIFY(qAbs(first.y1 - second.y1) < 0.1);
        QVERIFY(second.x0 > first.x1 && second.x0 - first.x1 < 6);
        QVERIFY(qAbs(read.find(QStringLiteral("Glyphek")).first().x0 - 120 * kPtPerMm) < 1.0);
        QVERIFY(read.find(QStringLiteral("Ωμέγα")).first().y0 > first.y1);

        // Fonts embedded as subsets with their text; the title as given.
        const QString fonts = run(QStringLiteral("pdffonts"), {file});
        const QStringList rows = fonts.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
        QVERIFY2(!rows.isEmpty(), qPrintable(fonts));
        for (const QString &row : rows)
            QVERIFY2(row.contains(QRegularExpression(QStringLiteral("\\+\\S+\\s+CID TrueType\\s+Identity-H\\s+yes yes yes"))),
                     qPrintable(fonts));
        QVERIFY2(QFileInfo(file).size() < 60000, qPrintable(QString::number(QFileInfo(file).size())));
        QVERIFY(run(QStringLiteral("pdfinfo"), {file}).contains(QStringLiteral("Próba őű")));

        // As painted.
        const QImage page = renderPage(file, 1);
        QCOMPARE(page.size(), QSize(595, 842));
        QVERIFY(near(at(page, 35, 70), 0, 0, 255));     // the blue box
        QVERIFY(near(at(page, 65, 70), 0, 0, 0));       // the bar inside its clip
        QVERIFY(near(at(page, 57, 70), 255, 255, 255)); // left of the clip
        QVERIFY(near(at(page, 78, 70), 255, 255, 255)); // right of it
        QVERIFY(near(at(page, 92, 70), 0, 0, 0));       // drawn after restore
        QVERIFY(near(at(page, 112, 62), 255, 255, 255)); // clipped to nothing
        QVERIFY(near(at(page, 125, 70), 255, 0, 0));    // the picture's opaque half
        QVERIFY(near(at(page, 135, 70), 255, 255, 255)); // and its transparent half
        QCOMPARE(QProcess::execute(QStringLiteral("gs"), {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
                                                         QStringLiteral("-sDEVICE=nullpage"), file}),
                 0);
        const QString images = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), file});
        QVERIFY2(images.contains(QLatin1String(" smask ")), qPrintable(images));
        int ink = 0, gaps = 0;
        for (int x = int(20 * kPtPerMm) + 2; x < int(180 * kPtPerMm) - 2; ++x) {
            const bool on = near(page.pixelColor(x, int(100 * kPtPerMm)), 0, 100, 0)
                || near(page.pixelColor(x, int(100 * kPtPerMm) + 1), 0, 100, 0);
            (on ? ink : gaps)++;
        }
        QVERIFY2(ink > 100 && gaps > 50, qPrintable(QStringLiteral("%1 / %2").arg(ink).arg(gaps))); // dashes, not a rule
    }

    // Many pages of text: every page's text in its place, and the file small
    // (the glyphs used, not the whole fonts; the pages compressed).
    void longDocument()
    {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QFont mono(QStringLiteral("Liberation Mono"));
        mono.setPointSizeF(9);
        {
            PdfWriter pdf(&out, a4(), kDpi);
            QPainter p(&pdf);
            p.setFont(mono);
            for (int page = 1; page <= 200; ++page) {
                if (page > 1)
                    QVERIFY(pdf.newPage());
                for (int line = 0; line < 60; ++line)
                    p.drawText(QPointF(px(15), px(20 + line * 4)), QStringLiteral("%1. oldal %2. sor: 1 234 567 Ft")
                                                                      .arg(page).arg(line + 1));
            }
            QCOMPARE(pdf.pageCount(), 200);
            QVERIFY(p.end());
        }
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("hosszu.pdf"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(out.data());
        f.close();
        const Pdf read = readPdf(file);
        QCOMPARE(read.pages, 200);
        QVERIFY(read.text.contains(QStringLiteral("200. oldal 60. sor: 1 234 567 Ft")));
        QCOMPARE(read.find(QStringLiteral("137."), 137).size(), 60);
        QVERIFY2(out.size() < 400000, qPrintable(QString::number(out.size())));
    }

    // A device that stops taking bytes: the writer says so at the next page
    // and at the end, and never claims a finished file.
    void refusedWrite()
    {
        ShortDevice out(20000);
        out.open(QIODevice::WriteOnly);
        PdfWriter pdf(&out, a4(), kDpi);
        QPainter p(&pdf);
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        bool refused = false;
        for (int page = 0; page < 100 && !refused; ++page) {
            for (int line = 0; line < 50; ++line)
                p.drawText(QPointF(px(15), px(20 + line * 5)), QStringLiteral("sor %1 / %2").arg(line).arg(page));
            refused = !pdf.newPage();
        }
        QVERIFY(refused || !p.end());
        p.end();
        QVERIFY(pdf.failed());
        QVERIFY(!pdf.finish());
        QVERIFY(out.size() <= 20000);
    }
};

QTEST_MAIN(TestPdfWriter)
#include "tst_pdfwriter.moc"
