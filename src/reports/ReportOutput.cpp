#include "reports/ReportOutput.h"
#include "reports/ReportAudit.h"

#include "config/AppState.h"
#include "reports/PrintTargetDialog.h"
#include "ui/MessageBoxes.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
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

bool renderToPdf(const BandReport &report, const QString &file, int *pages)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    report.setUpPrinter(printer);
    *pages = report.render(&printer);
    return *pages > 0;
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
        int pages = 0;
        if (!renderToPdf(report, file, &pages))
            ShowError(QStringLiteral("A PDF fájl nem írható: ") + QDir::toNativeSeparators(file), &dlg);
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

QString ResolveReportPrinter(const QString &wanted)
{
    if (!wanted.isEmpty() && QPrinterInfo::availablePrinterNames().contains(wanted))
        return wanted;
    return QPrinterInfo::defaultPrinterName();
}

bool SaveReportPdf(const BandReport &report, const QString &file)
{
    int pages = 0;
    return renderToPdf(report, file, &pages);
}

void OutputReport(const BandReport &report, bool print, const QString &printer, QWidget *parent)
{
    LogReportOutput(report, print);
    g_lastJob = ReportJob{report.title, ResolveReportPrinter(printer), !print, 0};
    if (g_fileHook) {
        const QString file = g_fileHook(g_lastJob);
        if (!file.isEmpty()) {
            if (!renderToPdf(report, file, &g_lastJob.pages))
                ShowError(QStringLiteral("A PDF fájl nem írható: ") + QDir::toNativeSeparators(file), parent);
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
