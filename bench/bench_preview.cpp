// Times the revenue report ("Árbevétel") of the busiest year of a shop
// database: from the command to the first preview page painted
// (report-first-page), and from the command to the last page written into a
// PDF file (report-pdf), each against the bare command-line client running the
// report's query to its last row. Beside each: the peak memory of the measured
// part (VmHWM, reset before it) and the longest pause of the user-interface
// thread (the largest gap of a 10 ms timer on it).
//
//   qo_bench_preview HOST PORT DATABASE [RUNS]
#include "BenchCommon.h"
#include "reports/PrintTargetDialog.h"
#include "reports/ReportOutput.h"
#include "reports/ReportPreview.h"
#include "workorders/WorkOrderStore.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

using namespace qo;

namespace {

// Answers the print-target dialog with its default (preview) as soon as it shows.
void answerTarget()
{
    auto *poll = new QTimer;
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || w->objectName() == QLatin1String("frm_Elokep"))
            return;
        QMetaObject::invokeMethod(w, "accept", Qt::QueuedConnection);
        poll->deleteLater();
    });
    poll->start();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ConnectParams p;
    int runs = 3;
    if (!bench::ReadServerArgs(argc, argv, "qo_bench_preview", 3, p, runs))
        return 2;
    QTemporaryDir dir;
    bench::UsePrivateConfig(dir);
    Connection::main().open(p);
    const int year = SqlIntValue(QStringLiteral("SELECT YEAR(datum) FROM munkalap WHERE storno = 'N' GROUP BY 1 "
                                                "ORDER BY COUNT(*) DESC LIMIT 1;"), 2025);
    const QDate from(year, 1, 1), to(year, 12, 31);
    const QString sql = RevenueQuery(from, to);

    QVector<double> first, client, pdfMs;
    double firstPause = 0, pdfPause = 0, firstPeak = 0, pdfPeak = 0;
    int rowsAtFirst = 0, pages = 0, rows = 0;
    for (int i = 0; i < runs; ++i) {
        client << bench::ClientMs(p, sql);

        // The command to the first preview page painted.
        SetReportFileHook({});
        bench::ResetPeak();
        QElapsedTimer t;
        double ms = 0;
        auto *poll = new QTimer;
        poll->setInterval(1);
        QObject::connect(poll, &QTimer::timeout, poll, [&, poll] {
            auto *pv = qobject_cast<ReportPreview *>(QApplication::activeModalWidget());
            if (!pv || !pv->isVisible() || pv->pagesPainted() < 1)
                return;
            ms = bench::MsSince(t);
            rowsAtFirst = 0;
            poll->deleteLater();
            pv->reject();
        });
        {
            bench::PauseMeter pause;
            poll->start();
            answerTarget();
            t.start();
            PrintRevenueReport(from, to, nullptr);
            if (qEnvironmentVariableIsSet("QO_BENCH_TRACE"))
                std::printf("closed after first page: %.0f ms to return\n", bench::MsSince(t) - ms);
            firstPause = qMax(firstPause, pause.longest());
        }
        first << ms;
        firstPeak = qMax(firstPeak, bench::PeakMB());

        // The command to the last page in the PDF file.
        const QString pdf = dir.filePath(QStringLiteral("arbevetel.pdf"));
        SetReportFileHook([&](const ReportJob &) { return pdf; });
        bench::ResetPeak();
        {
            bench::PauseMeter pause;
            answerTarget();
            t.start();
            PrintRevenueReport(from, to, nullptr);
            pdfMs << bench::MsSince(t);
            pdfPause = qMax(pdfPause, pause.longest());
        }
        pdfPeak = qMax(pdfPeak, bench::PeakMB());
        pages = LastReportJob().pages;
        if (qEnvironmentVariableIsSet("QO_BENCH_PDF_DIR"))
            QFile::copy(pdf, qEnvironmentVariable("QO_BENCH_PDF_DIR") + QStringLiteral("/arbevetel.pdf"));
        QFile::remove(pdf);
    }
    // The drawing alone: every row read first, then the pages into the PDF.
    SetReportFileHook({});
    double drawMs = 0;
    {
        const BandReport whole = BuildRevenueReport(from, to);
        QVector<double> draw;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            SaveReportPdf(whole, dir.filePath(QStringLiteral("egesz.pdf")));
            draw << bench::MsSince(t);
        }
        drawMs = bench::Median(draw);
        std::printf("PDF size %.1f MB\n", QFileInfo(dir.filePath(QStringLiteral("egesz.pdf"))).size() / 1e6);
    }
    rows = SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM (") + QString(sql).remove(QLatin1Char(';')) + QStringLiteral(") AS r"), 0);
    std::printf("Árbevétel %d: %d rows, %d pages\n", year, rows, pages);
    std::printf("RATIO report-first-page %.0f %.0f\n", bench::Median(first), bench::Median(client));
    std::printf("PEAK report-first-page %.0f MB\nPAUSE report-first-page %.0f ms\n", firstPeak, firstPause);
    std::printf("drawing alone: %.0f ms = %.0f pages/s\n", drawMs, pages / (drawMs / 1000.0));
    std::printf("RATIO report-pdf %.0f %.0f\n", bench::Median(pdfMs), bench::Median(client));
    std::printf("PEAK report-pdf %.0f MB\nPAUSE report-pdf %.0f ms\n", pdfPeak, pdfPause);
    Q_UNUSED(rowsAtFirst);
    return 0;
}
