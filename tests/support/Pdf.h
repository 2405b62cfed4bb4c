#pragma once
// A printout read back as the user's PDF tools read it: page count and size
// (pdfinfo), the text in its layout (pdftotext -layout) and every word with
// its box (pdftotext -bbox), for tests of printouts and their placement.
#include <QProcess>
#include <QRegularExpression>
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

} // namespace qo::test
