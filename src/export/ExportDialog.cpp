#include "export/ExportDialog.h"
#include "ui_ExportDialog.h"
#include "base/Error.h"
#include "export/Biff2Writer.h"
#include "export/ExportAudit.h"
#include "export/ClipboardExport.h"
#include "export/XlsxWriter.h"
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
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <climits>

namespace qo {

namespace {

// The dialog's own picture: a small worksheet with an arrow out of it.
const char kPicture[] = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 64 64">
<rect x="6" y="8" width="40" height="48" rx="3" fill="#ffffff" stroke="#2f6f3f" stroke-width="2"/>
<rect x="6" y="8" width="40" height="9" fill="#3f8f52"/>
<g stroke="#7fae88" stroke-width="1.5">
<line x1="6" y1="26" x2="46" y2="26"/><line x1="6" y1="35" x2="46" y2="35"/><line x1="6" y1="44" x2="46" y2="44"/>
<line x1="19" y1="17" x2="19" y2="56"/><line x1="33" y1="17" x2="33" y2="56"/></g>
<path d="M38 38 h12 v-7 l11 11 l-11 11 v-7 h-12 z" fill="#e39b2d" stroke="#9c6414" stroke-width="1.5"/>
</svg>)";

const char *const kFilters =
    "Excel munkalap (*.xls);;Excel munkafüzet (*.xlsx);;Excelbarát XML (*.xml);;CSV állományok (*.csv);;"
    "Text állományok (*.txt);;Minden állomány (*)";

} // namespace

ExportDialog::ExportDialog(const ExportSource &source, const QString &suggestedName, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ExportDialog>()), m_source(source)
{
    m_ui->setupUi(this);
    setObjectName(WindowKeys::kDelimitedExport);

    for (const ExportColumn &c : source.columns()) {
        auto *item = new QListWidgetItem(c.name, m_ui->columnList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    if (m_ui->columnList->count())
        m_ui->columnList->setCurrentRow(0);
    m_ui->picture->setPixmap(SvgPicture(QByteArray(kPicture), 56, 56));
    m_ui->fileEdit->setText(suggestedName.isEmpty()
                                ? QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                      .filePath(QStringLiteral("File001.csv"))
                                : suggestedName);

    connect(m_ui->allButton, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < m_ui->columnList->count(); ++i)
            m_ui->columnList->item(i)->setCheckState(Qt::Checked);
    });
    connect(m_ui->noneButton, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < m_ui->columnList->count(); ++i)
            m_ui->columnList->item(i)->setCheckState(Qt::Unchecked);
    });
    connect(m_ui->browseButton, &QPushButton::clicked, this, &ExportDialog::onBrowse);
    connect(m_ui->startButton, &QPushButton::clicked, this, &ExportDialog::onStart);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &ExportDialog::reject);
    connect(m_ui->stopButton, &QPushButton::clicked, this, [this] { m_stop = true; });
    connect(m_ui->clipboardButton, &QPushButton::clicked, this, &ExportDialog::onClipboard);

    // Enter reaches "Export indítás" (or the focused button); Esc is "Bezár".
    InstallFormBehaviour(this, Placement::Position,
                         FormOption::FocusColour | FormOption::EscCancels | FormOption::FontSize);
    m_ui->columnList->setFocus();
}

ExportDialog::~ExportDialog() = default;

std::array<QRadioButton *, 4> ExportDialog::separatorButtons() const
{
    return {m_ui->separatorSemicolon, m_ui->separatorTab, m_ui->separatorComma, m_ui->separatorPipe};
}

std::array<QRadioButton *, 3> ExportDialog::quoteButtons() const
{
    return {m_ui->quoteDouble, m_ui->quoteSingle, m_ui->quoteNone};
}

DelimitedOptions ExportDialog::delimitedOptions() const
{
    DelimitedOptions o;
    const char seps[4] = {';', '\t', ',', '|'};
    for (int i = 0; i < 4; ++i)
        if (separatorButtons()[i]->isChecked())
            o.separator = seps[i];
    const char quotes[3] = {'"', '\'', 0};
    for (int i = 0; i < 3; ++i)
        if (quoteButtons()[i]->isChecked())
            o.quote = quotes[i];
    o.memoText = m_ui->memoBox->isChecked();
    o.fieldNames = m_ui->fieldNamesBox->isChecked();
    o.noHeader = m_ui->noHeaderBox->isChecked();
    o.chosen = chosenColumns();
    return o;
}

QVector<bool> ExportDialog::chosenColumns() const
{
    QVector<bool> chosen;
    for (int i = 0; i < m_ui->columnList->count(); ++i)
        chosen << (m_ui->columnList->item(i)->checkState() == Qt::Checked);
    return chosen;
}

bool ExportDialog::browse()
{
    QFileDialog d(this, QStringLiteral("Mentés másként"));
    d.setObjectName(QStringLiteral("exportSaveDialog"));
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setNameFilters(QString::fromUtf8(kFilters).split(QStringLiteral(";;")));
    d.setDefaultSuffix(QStringLiteral("csv"));
    const QString current = m_ui->fileEdit->text();
    if (!current.isEmpty()) {
        const QFileInfo fi(current);
        d.setDirectory(fi.absolutePath());
        d.selectFile(fi.fileName());
        for (const QString &f : d.nameFilters())
            if (!fi.suffix().isEmpty()
                && f.contains(QStringLiteral("*.") + fi.suffix().toLower() + QLatin1Char(')')))
                d.selectNameFilter(f);
    }
    // A name typed without an extension takes the one of the chosen filter.
    connect(&d, &QFileDialog::filterSelected, &d, [&d](const QString &filter) {
        const int at = filter.indexOf(QStringLiteral("(*."));
        const QString ext = at < 0 ? QString() : filter.mid(at + 3).section(QLatin1Char(')'), 0, 0);
        d.setDefaultSuffix(ext.isEmpty() || ext.contains(QLatin1Char('*')) ? QStringLiteral("csv") : ext);
    });
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return false;
    m_ui->fileEdit->setText(QDir::toNativeSeparators(d.selectedFiles().constFirst()));
    return true;
}

void ExportDialog::onBrowse()
{
    browse();
}

void ExportDialog::setRunning(bool on)
{
    m_running = on;
    m_stop = false;
    m_ui->stopButton->setEnabled(on);
    for (QWidget *w : {static_cast<QWidget *>(m_ui->startButton), static_cast<QWidget *>(m_ui->clipboardButton),
                       static_cast<QWidget *>(m_ui->closeButton), static_cast<QWidget *>(m_ui->browseButton)})
        w->setEnabled(!on);
    if (on) {
        // A list not yet counted shows a busy bar until its rows are read.
        const qint64 known = m_source.knownRowCount();
        m_ui->progress->setMaximum(known < 0 ? 0 : int(qBound(qint64(1), known, qint64(INT_MAX))));
        m_ui->progress->setValue(0);
        m_lastPump = 0;
        m_ui->stopButton->setFocus();
    } else {
        m_ui->progress->setMaximum(qMax(1, m_ui->progress->maximum()));
        m_ui->progress->setValue(0);
    }
}

// The progress window takes the input while the rows are written (after half
// a second; until then input waits); its "Megszakítás" or Esc stops the
// export, and so does "Megállít" or Esc pressed here before it shows.
bool ExportDialog::step(int done)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastPump >= 40) {
        m_lastPump = now;
        if (m_ui->progress->maximum() > 0)
            m_ui->progress->setValue(qMin(done, m_ui->progress->maximum()));
    }
    if (m_job) {
        if (m_stop)
            m_job->cancel();
        m_job->check(done, m_cancelText);
    }
    return true;
}

void ExportDialog::standOnLastRow()
{
    Grid *g = const_cast<Grid *>(m_source.grid());
    if (!g)
        return;
    GridModel *m = g->gridModel();
    m->jumpToEnd(); // a long list's last page
    if (m->rowCount() > 0)
        g->setCurrentRowIndex(m->rowCount() - 1);
}

// Runs an export under the progress window: false when it was stopped or
// failed, the user then told (`failure` turns the error into its text).
bool ExportDialog::runJob(const QString &title, const char *cancelled, const std::function<void()> &work,
                          const std::function<QString(const QString &)> &failure)
{
    setRunning(true);
    JobProgress job(title, QStringLiteral("sor"), this);
    job.setTotal(qMax<qint64>(0, m_source.knownRowCount()));
    m_job = &job;
    m_cancelText = QString::fromUtf8(cancelled);
    try {
        work();
    } catch (const JobCancelled &e) {
        m_job = nullptr;
        setRunning(false);
        ShowInfo(e.message(), this);
        return false;
    } catch (const Error &e) {
        m_job = nullptr;
        setRunning(false);
        ShowError(failure(e.message()), this);
        return false;
    }
    m_job = nullptr;
    return true;
}

void ExportDialog::writeFile(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    const bool sheet = ext == QLatin1String("xls") || ext == QLatin1String("xlsx");
    // The folder is made on the way, as for the HTML page: the documents
    // folder offered by default may not exist yet. When it cannot be made,
    // writing the file says why.
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto stepper = [this](int done) { return step(done); };
    const bool written = runJob(
        QStringLiteral("Exportálás"), kExportCancelled,
        [&] {
            if (ext == QLatin1String("xls")) {
                WriteBiff2File(m_source, chosenColumns(), path, stepper);
            } else if (ext == QLatin1String("xlsx")) {
                XlsxOptions o;
                o.chosen = chosenColumns();
                o.fieldNames = m_ui->fieldNamesBox->isChecked();
                o.noHeader = m_ui->noHeaderBox->isChecked();
                WriteXlsxFile(m_source, o, path, stepper);
            } else {
                WriteDelimitedFile(m_source, delimitedOptions(), path, stepper);
            }
        },
        [sheet](const QString &message) { return sheet ? message : ErrorText(message); });
    if (!written)
        return;
    if (!sheet)
        standOnLastRow();
    setRunning(false);
    LogListExport(m_source, ext.isEmpty() ? QStringLiteral("szöveg") : ext, path);
    ShowInfo(path + QStringLiteral(" file kész."), this);
    if (m_ui->openAfterBox->isChecked()) {
        OpenDocument(QFileInfo(path).absoluteFilePath());
        accept();
    }
}

void ExportDialog::onStart()
{
    if (m_running)
        return;
    if (m_ui->fileEdit->text().trimmed().isEmpty() && !browse())
        return;
    const QString path = m_ui->fileEdit->text().trimmed();
    if (QFileInfo(path).suffix().compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0) {
        ShowError(QStringLiteral("Ebben a verzióban ez nem támogatott."), this);
        return;
    }
    writeFile(path);
}

void ExportDialog::onClipboard()
{
    if (m_running)
        return;
    QString text;
    if (!runJob(
            QStringLiteral("Vágólapra másolás"), kClipboardCancelled,
            [&] { text = ClipboardText(m_source, delimitedOptions(), [this](int done) { return step(done); }); },
            [](const QString &message) { return ErrorText(message); }))
        return;
    CopyToClipboard(text);
    LogListExport(m_source, QStringLiteral("szöveg"), QString());
    standOnLastRow();
    setRunning(false);
    ShowInfo(QStringLiteral("Adatok vágólapra másolása kész."), this);
}

void ExportDialog::reject()
{
    // Esc or the close box while an export runs stop it as "Megállít" does;
    // the dialog stays open and shows what was written.
    if (m_running) {
        m_stop = true;
        return;
    }
    QDialog::reject();
}

void ShowExportDialog(const ExportSource &source, const QString &suggestedName, QWidget *parent)
{
    ExportDialog d(source, suggestedName, parent);
    d.exec();
}

void ShowExportDialog(const RowSet &rows, const QString &suggestedName, QWidget *parent)
{
    const ExportSource source(rows);
    ShowExportDialog(source, suggestedName, parent);
}

void ShowExportDialog(Grid *grid, const QString &suggestedName, QWidget *parent)
{
    const ExportSource source(grid);
    ShowExportDialog(source, suggestedName, parent);
}

} // namespace qo
