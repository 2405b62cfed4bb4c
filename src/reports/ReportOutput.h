#pragma once
// Where a printout goes: printed without a dialog on the printer chosen in the
// settings (`nyomtato`) when it is installed, else on the system's default
// printer; or shown in the print preview, whose title is the report's title
// and which can also save the printout as PDF ("PDF-be mentés").
#include "reports/BandReport.h"

#include <functional>

class QPrinter;
class QWidget;

namespace qo {

// The printer a printout goes to: `wanted` when it is installed, else the
// system's default printer, else the printer chosen in the settings
// (`nyomtato`) when it is installed, else the first installed printer; empty
// only when there is no printer at all.
QString ResolveReportPrinter(const QString &wanted);
// The same choice over given lists (`chosen` is the settings' printer).
QString ChooseReportPrinter(const QString &wanted, const QString &chosen, const QStringList &installed,
                            const QString &systemDefault);

// Prints without a dialog (print = true) or opens the preview. `printer` is
// the wanted printer's name (usually appState().nyomtato). Shows an error box
// when nothing could be printed (no printer, the printer refused the job).
void OutputReport(const BandReport &report, bool print, const QString &printer, QWidget *parent = nullptr);
// Renders the printout into a PDF file through the save helper; returns the
// pages. Throws qo::Error when the file cannot be written (an earlier file of
// that name is then kept).
// Pages are written as they are laid out, with the progress window ("oldal")
// after a moment; JobCancelled (a qo::Error) when the user stopped it.
int SaveReportPdf(const BandReport &report, const QString &file, QWidget *parent = nullptr);
// The same, telling the user what happened: an error box, or after a stop
// that the earlier file is unchanged. The pages written, 0 when none.
int SaveReportPdfReported(const BandReport &report, const QString &file, QWidget *parent);
// "PDF-be mentés": asks for the file, then SaveReportPdfReported.
void AskAndSaveReportPdf(const BandReport &report, QWidget *parent);
// Prints on `printer` (resolved as ResolveReportPrinter does) page after page
// with the progress window; a stopped job is withdrawn. Tells the user of a
// failure; true when the printer took the job. With a file hook set the
// pages go to its file, as for OutputReport.
bool PrintReportStreamed(const BandReport &report, const QString &printer, QWidget *parent);

// One printing or preview, as the output module handles it.
struct ReportJob {
    QString title;
    QString printer; // the resolved printer ("" for none)
    bool preview = false;
    int pages = 0;
};
// For tests and tools: when set, every printout is rendered by the same
// renderer into the PDF file the hook names (instead of the printer or the
// preview window); the hook gets the job and returns the file's path. An
// empty path lets the printout take its normal way.
using ReportFileHook = std::function<QString(const ReportJob &job)>;
void SetReportFileHook(ReportFileHook hook);
// The last job handled (its page count filled in after rendering).
ReportJob LastReportJob();

// The export of a report's rows ("Excelbe (CSV)" of the print-target dialog).
// Until an exporter is installed the choice stands disabled.
using ReportExporter = std::function<void(const RowSet &rows, QWidget *parent)>;
void SetReportExporter(ReportExporter exporter);
bool HasReportExporter();
// Hands rows to the installed exporter; false when none is installed.
bool ExportReportRows(const RowSet &rows, QWidget *parent);

// The statistics reports' sequence after their query ran: ask for the target
// with ChoosePrintTarget (on a copy of `nyomtato`), then preview, print on the
// chosen printer (else the default), export the rows, or nothing.
void RunStatisticsReport(const BandReport &report, QWidget *parent = nullptr);

} // namespace qo
