#include "reports/ReportOutput.h"
#include "reports/ReportAudit.h"

#include "base/Error.h"
#include "base/SaveFile.h"
#include "config/AppState.h"
#include "reports/PdfWriter.h"
#include "reports/PrintTargetDialog.h"
#include "reports/ReportPreview.h"
#include "reports/RowFeed.h"
#include "ui/JobProgress.h"
#include "ui/MessageBoxes.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QPainter>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QToolBar>

namespace qo {

namespace {

ReportFileHook g_fileHook;
ReportJob g_lastJob;
ReportExporter g_exporter;

// Pages one after another onto an open painter as the rows arrive: first the
// pages are counted (layout only, so that "oldal: 3 / 15" is known on the
// first page), then each is laid out, painted and forgotten. Memory holds the
// rows and one page's placements. Progress counts pages; JobCancelled when
// the user stops.
int renderStreamed(const BandReport &report, QPainter &painter, QPaintDevice *device,
                   const std::function<bool()> &newPage, JobProgress &progress)
{
    auto waitForRows = [&](ReportPager &pager) {
        if (report.feed) {
            report.feed->throwIfFailed();
            if (!pager.rowsComplete())
                report.feed->waitForMore(40);
        }
    };
    int total = 0;
    {
        ReportPager count(report, device);
        while (!count.finished()) {
            if (count.layOut(500) == 0 && !count.finished())
                waitForRows(count);
            count.forgetPagesBefore(count.laidOutPages() - 1);
            progress.check(0);
        }
        total = count.laidOutPages();
    }
    if (report.feed)
        report.feed->throwIfFailed();
    progress.setTotal(total);
    ReportPager pager(report, device);
    pager.setPageCount(total);
    for (int page = 0; page < total; ++page) {
        while (pager.completePages() <= page && !pager.finished())
            if (pager.layOut(200) == 0 && !pager.finished())
                waitForRows(pager);
        if (page > 0 && !newPage())
            throw Error(QStringLiteral("A nyomtatás nem folytatható."));
        pager.paintPage(painter, page);
        pager.forgetPagesBefore(page + 1);
        progress.check(page + 1);
    }
    return total;
}

// The PDF goes through the save helper's checked device, so a full disk is
// reported and an earlier file of the same name stays whole (also when the
// user stops: JobCancelled unwinds through the save helper). Returns the
// pages; throws qo::Error when the file cannot be written.
int renderToPdf(const BandReport &report, const QString &file, QWidget *parent)
{
    JobProgress progress(QStringLiteral("PDF-be mentés"), QStringLiteral("oldal"), parent);
    SaveFile out(file);
    int pages = 0;
    {
        QPageLayout layout = report.pageLayout();
        layout.setMode(QPageLayout::FullPageMode); // items are measured from the paper's corner
        PdfWriter pdf(&out.device(), layout, 1200);
        pdf.setTitle(report.title);
        pdf.setCreator(QStringLiteral("Quorvin.Opt"));
        QPainter painter;
        if (!painter.begin(&pdf))
            throw Error(SaveFile::failureText(file, QStringLiteral("A PDF nem készíthető el")));
        // A refused write ends the job at the next page with the file's reason.
        auto newPage = [&] {
            if (pdf.newPage())
                return true;
            out.throwIfFailed();
            return false;
        };
        pages = renderStreamed(report, painter, &pdf, newPage, progress);
        painter.end();
    }
    out.commit();
    return pages;
}

QString suggestedPdfPath(const BandReport &report)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::homePath();
    const QString name = report.fileName.isEmpty() ? report.title : report.fileName;
    QString safe = name;
    for (QChar &c : safe)
        if (QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('-');
    return dir + QLatin1Char('/') + safe.trimmed() + QStringLiteral(".pdf");
}

// Prints page after page; a stopped job is withdrawn from the printer.
int printStreamed(const BandReport &report, const QString &printerName, QWidget *parent)
{
    QPrinter out(QPrinterInfo::printerInfo(printerName), QPrinter::HighResolution);
    report.setUpPrinter(out);
    out.setFullPage(true);
    JobProgress progress(QStringLiteral("Nyomtatás"), QStringLiteral("oldal"), parent);
    QPainter painter;
    if (!painter.begin(&out))
        return 0;
    try {
        const int pages = renderStreamed(report, painter, &out, [&] { return out.newPage(); }, progress);
        painter.end();
        return pages;
    } catch (...) {
        out.abort();
        painter.end();
        throw;
    }
}

void showPreview(const BandReport &report, const QString &printerName, QWidget *parent)
{
    ReportPreview dlg(report, printerName, parent);
    dlg.exec();
    g_lastJob.pages = dlg.pagesKnown();
}

} // namespace

QString ChooseReportPrinter(const QString &wanted, const QString &chosen, const QStringList &installed,
                            const QString &systemDefault)
{
    if (!wanted.isEmpty() && installed.contains(wanted))
        return wanted;
    if (!systemDefault.isEmpty())
        return systemDefault;
    // A desktop without a default printer: the one chosen in the settings,
    // then any installed one, before telling the user there is none.
    if (!chosen.isEmpty() && installed.contains(chosen))
        return chosen;
    return installed.isEmpty() ? QString() : installed.first();
}

QString ResolveReportPrinter(const QString &wanted)
{
    return ChooseReportPrinter(wanted, appState().nyomtato, QPrinterInfo::availablePrinterNames(),
                               QPrinterInfo::defaultPrinterName());
}

int SaveReportPdf(const BandReport &report, const QString &file, QWidget *parent)
{
    return renderToPdf(report, file, parent);
}

int SaveReportPdfReported(const BandReport &report, const QString &file, QWidget *parent)
{
    const bool existed = QFileInfo::exists(file);
    try {
        return renderToPdf(report, file, parent);
    } catch (const JobCancelled &) {
        ShowInfo(existed ? QStringLiteral("A mentés megszakítva; a korábbi fájl változatlan.")
                         : QStringLiteral("A mentés megszakítva."), parent);
    } catch (const Error &e) {
        ShowError(ErrorText(e.message()), parent);
    }
    return 0;
}

void AskAndSaveReportPdf(const BandReport &report, QWidget *parent)
{
    QString file = QFileDialog::getSaveFileName(parent, QStringLiteral("PDF-be mentés"), suggestedPdfPath(report),
                                                QStringLiteral("PDF fájl (*.pdf)"), nullptr,
                                                QFileDialog::DontUseNativeDialog);
    if (file.isEmpty())
        return;
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        file += QStringLiteral(".pdf");
    SaveReportPdfReported(report, file, parent);
}

bool PrintReportStreamed(const BandReport &report, const QString &printer, QWidget *parent)
{
    const QString name = ResolveReportPrinter(printer);
    if (g_fileHook) {
        g_lastJob = ReportJob{report.title, name, false, 0};
        const QString file = g_fileHook(g_lastJob);
        if (!file.isEmpty()) {
            g_lastJob.pages = SaveReportPdfReported(report, file, parent);
            return g_lastJob.pages > 0;
        }
    }
    if (name.isEmpty()) {
        ShowError(QStringLiteral("Nincs telepített nyomtató."), parent);
        return false;
    }
    try {
        const int pages = printStreamed(report, name, parent);
        if (pages == 0) {
            ShowError(QStringLiteral("A nyomtató nem fogadta a nyomtatást: ") + name, parent);
            return false;
        }
        g_lastJob.pages = pages;
        return true;
    } catch (const JobCancelled &) {
        ShowInfo(QStringLiteral("A nyomtatás megszakítva."), parent);
    } catch (const Error &e) {
        ShowError(ErrorText(e.message()), parent);
    }
    return false;
}

void OutputReport(const BandReport &report, bool print, const QString &printer, QWidget *parent)
{
    // Rows still arriving are counted for the log once the output is done.
    const bool logLater = report.feed && !report.feed->complete();
    if (!logLater)
        LogReportOutput(report, print);
    struct LogAtEnd {
        const BandReport &report;
        bool print, active;
        ~LogAtEnd()
        {
            if (!active)
                return;
            try {
                LogReportOutput(report, print);
            } catch (const Error &) {
                // The printout is out already; a destructor does not throw.
            }
        }
    } logAtEnd{report, print, logLater};
    g_lastJob = ReportJob{report.title, ResolveReportPrinter(printer), !print, 0};
    if (g_fileHook) {
        const QString file = g_fileHook(g_lastJob);
        if (!file.isEmpty()) {
            const bool existed = QFileInfo::exists(file);
            try {
                g_lastJob.pages = renderToPdf(report, file, parent);
            } catch (const JobCancelled &) {
                ShowInfo(existed ? QStringLiteral("A mentés megszakítva; a korábbi fájl változatlan.")
                                 : QStringLiteral("A mentés megszakítva."), parent);
            } catch (const Error &e) {
                ShowError(ErrorText(e.message()), parent);
            }
            return;
        }
    }
    if (!print) {
        showPreview(report, g_lastJob.printer, parent);
        return;
    }
    if (g_lastJob.printer.isEmpty()) {
        ShowError(QStringLiteral("Nincs telepített nyomtató."), parent);
        return;
    }
    try {
        g_lastJob.pages = printStreamed(report, g_lastJob.printer, parent);
        if (g_lastJob.pages == 0)
            ShowError(QStringLiteral("A nyomtató nem fogadta a nyomtatást: ") + g_lastJob.printer, parent);
    } catch (const JobCancelled &) {
        ShowInfo(QStringLiteral("A nyomtatás megszakítva."), parent);
    } catch (const Error &e) {
        ShowError(ErrorText(e.message()), parent);
    }
}

void SetReportFileHook(ReportFileHook hook)
{
    g_fileHook = std::move(hook);
}

ReportJob LastReportJob()
{
    return g_lastJob;
}

void SetReportExporter(ReportExporter exporter)
{
    g_exporter = std::move(exporter);
}

bool HasReportExporter()
{
    return bool(g_exporter);
}

bool ExportReportRows(const RowSet &rows, QWidget *parent)
{
    if (!g_exporter)
        return false;
    g_exporter(rows, parent);
    return true;
}

void RunStatisticsReport(const BandReport &report, QWidget *parent)
{
    QString printer = appState().nyomtato; // this report's choice is not remembered
    const int target = ChoosePrintTarget(printer, QPrinterInfo::availablePrinterNames(), HasReportExporter(), parent);
    switch (target) {
    case PrintPreview:
        OutputReport(report, false, printer, parent);
        break;
    case PrintToPrinter:
        OutputReport(report, true, printer, parent);
        break;
    case PrintExportCsv:
        if (g_exporter && report.data) {
            if (report.feed && !report.feed->complete()) {
                // The export takes every row: wait for the rest.
                try {
                    JobProgress progress(report.title, QStringLiteral("sor"), parent);
                    while (!report.feed->complete()) {
                        report.feed->waitForMore(40);
                        progress.check(report.data->rowCount());
                    }
                    report.feed->throwIfFailed();
                } catch (const JobCancelled &) {
                    return;
                } catch (const Error &e) {
                    ShowError(ErrorText(e.message()), parent);
                    return;
                }
            }
            g_exporter(*report.data, parent);
        }
        break;
    default:
        break;
    }
}

} // namespace qo
