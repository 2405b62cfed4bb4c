#include "export/HtmlExportDialog.h"
#include "ui_HtmlExportDialog.h"
#include "base/Error.h"
#include "base/Text.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "export/ExportDialog.h"
#include "export/HtmlExport.h"
#include "export/MailHandoff.h"
#include "platform/Desktop.h"
#include "ui/WindowBehaviour.h"
#include "ui/Pictures.h"
#include "ui/Grid.h"
#include "ui/JobProgress.h"
#include "ui/GridModel.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowKeys.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <climits>

namespace qo {

namespace {

const char kPicture[] = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 64 64">
<circle cx="32" cy="32" r="24" fill="#dcecff" stroke="#2d5f9a" stroke-width="2"/>
<ellipse cx="32" cy="32" rx="10" ry="24" fill="none" stroke="#2d5f9a" stroke-width="1.5"/>
<line x1="8" y1="32" x2="56" y2="32" stroke="#2d5f9a" stroke-width="1.5"/>
<path d="M12 20 h40 M12 44 h40" stroke="#2d5f9a" stroke-width="1.2"/>
<rect x="34" y="38" width="24" height="16" rx="2" fill="#fff7e0" stroke="#9c6414" stroke-width="1.5"/>
<path d="M34 38 l12 9 l12 -9" fill="none" stroke="#9c6414" stroke-width="1.5"/>
</svg>)";

} // namespace

QString HtmlExportDialog::fileNameFor(const QString &title)
{
    return MakeFileNameSafe(title + QStringLiteral(".htm"));
}

QString HtmlExportDialog::joinPath(const QString &folder, const QString &name)
{
    QString f = folder;
    while (f.size() > 1 && (f.endsWith(QLatin1Char('/')) || f.endsWith(QLatin1Char('\\'))))
        f.chop(1);
    return f.isEmpty() ? name : f + QLatin1Char('/') + name;
}

HtmlExportDialog::HtmlExportDialog(Grid *grid, const QString &title, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::HtmlExportDialog>()), m_grid(grid), m_title(title)
{
    m_ui->setupUi(this);
    setObjectName(WindowKeys::kHtmlExport);
    m_ui->picture->setPixmap(SvgPicture(QByteArray(kPicture), 56, 56));

    connect(m_ui->browseButton, &QPushButton::clicked, this, &HtmlExportDialog::onBrowse);
    connect(m_ui->okButton, &QPushButton::clicked, this, &HtmlExportDialog::onOk);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->mailButton, &QPushButton::clicked, this, &HtmlExportDialog::onMail);

    QString folder = appState().HtmlUt;
    if (folder.isEmpty())
        folder = DataFolder();
    m_ui->pathEdit->setText(joinPath(folder, fileNameFor(title)));

    InstallFormBehaviour(this, Placement::Position,
                         FormOption::FocusColour | FormOption::EscCancels | FormOption::FontSize);
    m_ui->pathEdit->setFocus();
}

HtmlExportDialog::~HtmlExportDialog() = default;

void HtmlExportDialog::onBrowse()
{
    QFileDialog d(this, QStringLiteral("Mentés másként"));
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setNameFilter(QStringLiteral("HTML dokumentum (*.htm *.html)"));
    d.setDefaultSuffix(QStringLiteral("htm"));
    const QFileInfo fi(m_ui->pathEdit->text());
    d.setDirectory(fi.absolutePath());
    d.selectFile(fi.fileName());
    if (d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty())
        m_ui->pathEdit->setText(d.selectedFiles().constFirst());
}

bool HtmlExportDialog::writePage()
{
    // A long list not yet counted shows a busy bar.
    const GridModel *model = m_grid->gridModel();
    const qint64 rows = model->complete() ? model->rowCount() : model->totalCount();
    m_ui->progress->setMaximum(rows < 0 ? 0 : int(qMin<qint64>(qMax<qint64>(1, rows), INT_MAX)));
    m_ui->progress->setValue(0);
    JobProgress job(QStringLiteral("HTML export"), QStringLiteral("sor"), this);
    job.setTotal(qMax<qint64>(0, rows));
    try {
        WriteGridHtml(m_grid, m_title, m_ui->pathEdit->text().trimmed(), [this, &job](int done) {
            if (m_ui->progress->maximum() > 0)
                m_ui->progress->setValue(qMin(done, m_ui->progress->maximum()));
            job.check(done, QString::fromUtf8(kExportCancelled));
        });
    } catch (const JobCancelled &e) {
        m_ui->progress->setMaximum(1);
        m_ui->progress->setValue(0);
        ShowInfo(e.message(), this);
        return false;
    } catch (const Error &e) {
        m_ui->progress->setMaximum(1);
        m_ui->progress->setValue(0);
        ShowError(e.message(), this);
        return false;
    }
    m_ui->progress->setMaximum(1);
    m_ui->progress->setValue(0);
    if (m_ui->openAfterBox->isChecked())
        OpenDocument(QFileInfo(m_ui->pathEdit->text().trimmed()).absoluteFilePath());
    return true;
}

void HtmlExportDialog::onOk()
{
    if (!writePage())
        return;
    appState().HtmlUt = QFileInfo(m_ui->pathEdit->text().trimmed()).absolutePath();
    accept();
}

void HtmlExportDialog::onMail()
{
    m_ui->openAfterBox->setChecked(false);
    if (!writePage())
        return;
    const MailResult r = SendMailWithAttachment(QStringLiteral("Html küldés"), QStringLiteral("Html küldés"),
                                                m_ui->pathEdit->text().trimmed());
    m_ui->statusLine->setText(r.code == 0 ? QStringLiteral("A levél a levelezőprogramban, csatolva: %1")
                                          .arg(QFileInfo(m_ui->pathEdit->text().trimmed()).fileName())
                                    : r.failure);
}

void ExportGridToHtml(Grid *grid, const QString &title, QWidget *parent)
{
    HtmlExportDialog d(grid, title, parent);
    d.exec();
}

} // namespace qo
