#include "reports/ReportOutput.h"
#include "reports/ReportAudit.h"

#include "base/Error.h"
#include "base/SaveFile.h"
#include "config/AppState.h"
#include "reports/PrintTargetDialog.h"
#include "ui/MessageBoxes.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QToolBar>

namespace qo {

namespace {

ReportFileHook g_fileHook;
ReportJob g_lastJob;
ReportExporter g_exporter;

// The PDF goes through the save helper's checked device, so a full disk is
// reported and an earlier file of the same name stays whole. Returns the pages;
// throws qo::Error when the file cannot be written.
int renderToPdf(const BandReport &report, const QString &file)
{
    SaveFile out(file);
    int pages = 0;
    {
        QPdfWriter pdf(&out.device());
        QPageLayout layout = report.pageLayout();
        layout.setMode(QPageLayout::FullPageMode); // items are measured from the paper's corner
        pdf.setPageLayout(layout);
        pdf.setResolution(1200);
        pdf.setTitle(report.title);
        pdf.setCreator(QStringLiteral("Quorvin.Opt"));
        QPainter painter;
        if (!painter.begin(&pdf))
            throw Error(SaveFile::failureText(file, QStringLiteral("A PDF nem készíthető el")));
        pages = report.renderOn(painter, &pdf);
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

void showPreview(const BandReport &report, const QString &printerName, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!printerName.isEmpty())
        printer.setPrinterName(printerName); // the preview's own print button prints there
    report.setUpPrinter(printer);
    QPrintPreviewDialog dlg(&printer, parent);
    dlg.setObjectName(QStringLiteral("frm_Elokep"));
    dlg.setWindowTitle(report.title);
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, [&report](QPrinter *p) {
        g_lastJob.pages = report.render(p);
    });
    auto *save = new QAction(QIcon::fromTheme(QStringLiteral("document-save-as")), QStringLiteral("PDF-be mentés"), &dlg);
    save->setObjectName(QStringLiteral("aPdfMentes"));
    save->setToolTip(QStringLiteral("PDF-be mentés"));
    QObject::connect(save, &QAction::triggered, &dlg, [&dlg, &report] {
        QString file = QFileDialog::getSaveFileName(&dlg, QStringLiteral("PDF-be mentés"), suggestedPdfPath(report),
                                                    QStringLiteral("PDF fájl (*.pdf)"), nullptr,
                                                    QFileDialog::DontUseNativeDialog);
        if (file.isEmpty())
            return;
        if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
            file += QStringLiteral(".pdf");
        try {
            renderToPdf(report, file);
        } catch (const Error &e) {
            ShowError(ErrorText(e.message()), &dlg);
        }
    });
    if (auto *tb = dlg.findChild<QToolBar *>()) {
        tb->addSeparator();
        tb->addAction(save);
        tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
    } else {
        dlg.addAction(save);
    }
    dlg.resize(900, 700);
    dlg.exec();
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

int SaveReportPdf(const BandReport &report, const QString &file)
{
    return renderToPdf(report, file);
}

void OutputReport(const BandReport &report, bool print, const QString &printer, QWidget *parent)
{
    LogReportOutput(report, print);
    g_lastJob = ReportJob{report.title, ResolveReportPrinter(printer), !print, 0};
    if (g_fileHook) {
        const QString file = g_fileHook(g_lastJob);
        if (!file.isEmpty()) {
            try {
                g_lastJob.pages = renderToPdf(report, file);
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
    QPrinter out(QPrinterInfo::printerInfo(g_lastJob.printer), QPrinter::HighResolution);
    report.setUpPrinter(out);
    g_lastJob.pages = report.render(&out);
    if (g_lastJob.pages == 0)
        ShowError(QStringLiteral("A nyomtató nem fogadta a nyomtatást: ") + g_lastJob.printer, parent);
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
        if (g_exporter && report.data)
            g_exporter(*report.data, parent);
        break;
    default:
        break;
    }
}

} // namespace qo
