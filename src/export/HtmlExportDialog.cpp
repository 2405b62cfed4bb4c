#include "export/HtmlExportDialog.h"
#include "base/Error.h"
#include "base/Text.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "export/HtmlExport.h"
#include "export/MailHandoff.h"
#include "platform/Desktop.h"
#include "ui/WindowBehaviour.h"
#include "ui/Pictures.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowKeys.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
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
    : QDialog(parent), m_grid(grid), m_title(title)
{
    setObjectName(WindowKeys::kHtmlExport);
    setWindowTitle(QStringLiteral("HTML export"));

    pathEdit = new QLineEdit;
    pathEdit->setMinimumWidth(360);
    browseButton = new QPushButton(QStringLiteral("..."));
    browseButton->setToolTip(QStringLiteral("Tallózás"));
    browseButton->setFixedWidth(32);
    auto *pathLabel = new QLabel(QStringLiteral("Mentés helye"));
    pathLabel->setBuddy(pathEdit);
    openAfterBox = new QCheckBox(QStringLiteral("Mentés után megnyitás"));
    mailButton = new QPushButton(QStringLiteral("E-Mail"));
    okButton = new QPushButton(QStringLiteral("OK"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Mégsem"));
    auto *picture = new QLabel;
    picture->setPixmap(SvgPicture(QByteArray(kPicture), 56, 56));
    progress = new QProgressBar;
    progress->setTextVisible(false);
    progress->setMaximumHeight(14);
    statusLine = new QLabel;
    statusLine->setWordWrap(true);

    auto *grid2 = new QGridLayout;
    grid2->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    grid2->addWidget(pathLabel, 0, 1, 1, 2);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(pathEdit, 1);
    pathRow->addWidget(browseButton);
    grid2->addLayout(pathRow, 1, 1, 1, 2);
    grid2->addWidget(openAfterBox, 2, 1, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(mailButton);
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(grid2);
    outer->addLayout(buttons);
    outer->addWidget(statusLine);
    outer->addWidget(progress);

    setTabOrder(pathEdit, browseButton);
    setTabOrder(browseButton, openAfterBox);
    setTabOrder(openAfterBox, mailButton);
    setTabOrder(mailButton, okButton);
    setTabOrder(okButton, cancelButton);

    connect(browseButton, &QPushButton::clicked, this, &HtmlExportDialog::onBrowse);
    connect(okButton, &QPushButton::clicked, this, &HtmlExportDialog::onOk);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(mailButton, &QPushButton::clicked, this, &HtmlExportDialog::onMail);

    QString folder = appState().HtmlUt;
    if (folder.isEmpty())
        folder = DataFolder();
    pathEdit->setText(joinPath(folder, fileNameFor(title)));

    InstallFormBehaviour(this, Placement::Position,
                         FormOption::FocusColour | FormOption::EscCancels | FormOption::FontSize);
    pathEdit->setFocus();
}

void HtmlExportDialog::onBrowse()
{
    QFileDialog d(this, QStringLiteral("Mentés másként"));
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setNameFilter(QStringLiteral("HTML dokumentum (*.htm *.html)"));
    d.setDefaultSuffix(QStringLiteral("htm"));
    const QFileInfo fi(pathEdit->text());
    d.setDirectory(fi.absolutePath());
    d.selectFile(fi.fileName());
    if (d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty())
        pathEdit->setText(d.selectedFiles().constFirst());
}

bool HtmlExportDialog::writePage()
{
    // A long list not yet counted shows a busy bar.
    const GridModel *model = m_grid->gridModel();
    const qint64 rows = model->complete() ? model->rowCount() : model->totalCount();
    progress->setMaximum(rows < 0 ? 0 : int(qMin<qint64>(qMax<qint64>(1, rows), INT_MAX)));
    progress->setValue(0);
    try {
        WriteGridHtml(m_grid, m_title, pathEdit->text().trimmed(), [this](int done) {
            if (progress->maximum() > 0)
                progress->setValue(qMin(done, progress->maximum()));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const Error &e) {
        progress->setMaximum(1);
        progress->setValue(0);
        ShowError(e.message(), this);
        return false;
    }
    progress->setMaximum(1);
    progress->setValue(0);
    if (openAfterBox->isChecked())
        OpenDocument(QFileInfo(pathEdit->text().trimmed()).absoluteFilePath());
    return true;
}

void HtmlExportDialog::onOk()
{
    if (!writePage())
        return;
    appState().HtmlUt = QFileInfo(pathEdit->text().trimmed()).absolutePath();
    accept();
}

void HtmlExportDialog::onMail()
{
    openAfterBox->setChecked(false);
    if (!writePage())
        return;
    const MailResult r = SendMailWithAttachment(QStringLiteral("Html küldés"), QStringLiteral("Html küldés"),
                                                pathEdit->text().trimmed());
    statusLine->setText(r.code == 0 ? QStringLiteral("A levél a levelezőprogramban, csatolva: %1")
                                          .arg(QFileInfo(pathEdit->text().trimmed()).fileName())
                                    : r.failure);
}

void ExportGridToHtml(Grid *grid, const QString &title, QWidget *parent)
{
    HtmlExportDialog d(grid, title, parent);
    d.exec();
}

} // namespace qo
