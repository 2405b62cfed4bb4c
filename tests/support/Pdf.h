#pragma once
// A printout read back as the user's PDF tools read it: page count and size
// (pdfinfo), the text in its layout (pdftotext -layout) and every word with
// its box (pdftotext -bbox), for tests of printouts and their placement.
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QtTest>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>

namespace qo::test {

inline constexpr double kPtPerMm = 72.0 / 25.4;

struct Word {
    QString text;
    double x0, y0, x1, y1; // points from the top-left corner of the page
    int page;
};

struct Pdf {
    QString file;
    int pages = 0;
    QSizeF pageSize; // points
    QString text;    // pdftotext -layout
    QVector<Word> words;

    QVector<Word> find(const QString &t, int page = 0) const
    {
        QVector<Word> out;
        for (const Word &w : words)
            if (w.text == t && (page == 0 || w.page == page))
                out << w;
        return out;
    }
    int count(const QString &t) const { return int(find(t).size()); }
};

inline QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline Pdf readPdf(const QString &file)
{
    Pdf pdf;
    pdf.file = file;
    const QString info = run(QStringLiteral("pdfinfo"), {file});
    pdf.pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    pdf.pageSize = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    pdf.text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    int page = 0;
    for (const QString &line : html.split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String("<page ")))
            ++page;
        const auto m = word.match(line);
        if (m.hasMatch()) {
            QString t = m.captured(5);
            t.replace(QStringLiteral("&amp;"), QStringLiteral("&")).replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                .replace(QStringLiteral("&gt;"), QStringLiteral(">")).replace(QStringLiteral("&quot;"), QStringLiteral("\""));
            pdf.words << Word{t, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                              m.captured(4).toDouble(), page};
        }
    }
    return pdf;
}

// The whole text without the layout's runs of blanks.
inline QString flat(const Pdf &pdf)
{
    return pdf.text.simplified();
}

// Every word of text printed, whole and in order, inside the box (mm from
// the page's corner).
inline void verifyInside(const Pdf &pdf, const QString &text, const QRectF &boxMm)
{
    // The words printed in the box (found by their middle), in reading order.
    const QRectF box(boxMm.x() * kPtPerMm, boxMm.y() * kPtPerMm, boxMm.width() * kPtPerMm, boxMm.height() * kPtPerMm);
    QVector<Word> in;
    const QRectF near = box.adjusted(-1 * kPtPerMm, -1 * kPtPerMm, 1 * kPtPerMm, 1 * kPtPerMm);
    for (const Word &w : pdf.words)
        if (near.contains(QPointF((w.x0 + w.x1) / 2, (w.y0 + w.y1) / 2)))
            in << w;
    std::stable_sort(in.begin(), in.end(), [](const Word &a, const Word &b) {
        return qAbs(a.y0 - b.y0) > 1 ? a.y0 < b.y0 : a.x0 < b.x0;
    });
    // Every word of the text, whole (a word broken at a line end still
    // reads whole) and in order, glyphs within the box.
    QString joined;
    const double slackX = 0.3 * kPtPerMm, slackY = 0.6 * kPtPerMm;
    for (const Word &w : in) {
        if (!text.contains(w.text))
            continue; // the box's neighbours
        joined += w.text;
        QVERIFY2(w.x0 >= box.left() - slackX && w.x1 <= box.right() + slackX && w.y0 >= box.top() - slackY
                     && w.y1 <= box.bottom() + slackY,
                 qPrintable(QStringLiteral("%1 at %2..%3 x %4..%5 mm, box %6..%7 x %8..%9 mm")
                                .arg(w.text).arg(w.x0 / kPtPerMm).arg(w.x1 / kPtPerMm).arg(w.y0 / kPtPerMm)
                                .arg(w.y1 / kPtPerMm).arg(boxMm.left()).arg(boxMm.right()).arg(boxMm.top())
                                .arg(boxMm.bottom())));
    }
    QString expected = text;
    expected.remove(QLatin1Char(' '));
    QVERIFY2(joined.contains(expected), qPrintable(QStringLiteral("printed: ") + joined + QStringLiteral(" of ") + text));
}

} // namespace qo::test
