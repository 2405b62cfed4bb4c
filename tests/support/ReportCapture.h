#pragma once
// For a test class whose cases print: every printout the program starts goes
// to a PDF file of a temporary folder instead of the preview or a printer,
// and the job (title, printer, preview or not) is kept beside it. Each case
// gets a fresh configuration file, the test work area and default settings;
// the print time is fixed so that printed dates compare.
#include "support/Drive.h"
#include "support/Pdf.h"

#include "config/AppState.h"
#include "config/Config.h"
#include "reports/BandReport.h"
#include "reports/ReportOutput.h"

#include <QTemporaryDir>
#include <QVector>
#include <memory>

namespace qo::test {

class ReportCapture {
protected:
    std::unique_ptr<TempConfig> m_config;
    QTemporaryDir m_out;
    QStringList m_files; // PDFs the output hook wrote, in order
    QVector<ReportJob> m_jobs;
    bool m_hook = true;  // false: printouts go where the program sends them

    // From initTestCase. QO_KEEP_PDF=1 keeps the rendered files to look at.
    void installCapture()
    {
        if (qEnvironmentVariableIsSet("QO_KEEP_PDF")) {
            m_out.setAutoRemove(false);
            qInfo("PDF files in %s", qPrintable(m_out.path()));
        }
        SetReportFileHook([this](const ReportJob &job) -> QString {
            if (!m_hook)
                return {};
            m_jobs << job;
            m_files << m_out.filePath(QStringLiteral("job%1.pdf").arg(m_files.size() + 1));
            return m_files.last();
        });
        SetReportPrintTime(QDateTime(QDate(2024, 5, 6), QTime(14, 30, 0)));
    }
    // From init.
    void resetCapture()
    {
        m_config = std::make_unique<TempConfig>();
        setWorkAreaForTests(QRect(0, 0, 1280, 800));
        appState() = AppState();
        m_hook = true;
        m_files.clear();
        m_jobs.clear();
    }
    // From cleanupTestCase.
    void removeCapture()
    {
        SetReportFileHook({});
        m_config.reset();
    }

    QString pdfPath(const QString &name) const { return m_out.filePath(name + QStringLiteral(".pdf")); }
    // The report saved as the PDF `name`, read back.
    Pdf save(const BandReport &r, const QString &name)
    {
        const QString f = pdfPath(name);
        if (!SaveReportPdf(r, f))
            qWarning("no PDF written");
        return readPdf(f);
    }
    Pdf lastPdf() const { return readPdf(m_files.last()); }
};

} // namespace qo::test
