#include "clients/PrescriptionHistoryWindow.h"
#include "ui_PrescriptionHistoryWindow.h"

#include "clients/ClientStore.h"
#include "clients/ClientsCommon.h"
#include "base/Error.h"
#include "db/Connection.h"
#include "db/LookupName.h"
#include "export/ExportDialog.h"
#include "reports/GridPrintout.h"
#include "reports/ReportFonts.h"
#include "reports/ReportOutput.h"
#include "ui/WindowBehaviour.h"
#include "ui/Grid.h"
#include "ui/WindowKeys.h"
#include "ui/MessageBoxes.h"

#include <QAction>
#include <QComboBox>
#include <QFont>
#include <QPushButton>

#include <memory>

namespace qo {

namespace {

constexpr int kFirstValueColumn = 0; // the ten values come first in the grid
constexpr int kValueColumns = 10;

} // namespace

void PrescriptionHistoryModel::setHistory(PrescriptionHistory history)
{
    m_history = std::move(history);
    setRowSet(m_history.lines);
}

ValueMark PrescriptionHistoryModel::markAt(int row, int column) const
{
    const int v = column - kFirstValueColumn;
    if (v < 0 || v >= kValueColumns)
        return ValueMark::None;
    return m_history.mark(row, v);
}

QVariant PrescriptionHistoryModel::data(const QModelIndex &index, int role) const
{
    if (index.isValid() && (role == Qt::FontRole || role == Qt::ForegroundRole || role == SelectedForegroundRole)) {
        const ValueMark m = markAt(index.row(), index.column());
        if (role == Qt::FontRole && m != ValueMark::None) {
            QFont f;
            f.setBold(true);
            return f;
        }
        if (role == Qt::ForegroundRole && m == ValueMark::Strong)
            return strongColour();
        if (role == SelectedForegroundRole && m == ValueMark::Strong)
            return QColor(255, 190, 190); // still red on the selection's dark blue
    }
    return GridModel::data(index, role);
}

PrescriptionHistoryWindow::PrescriptionHistoryWindow(qint64 client, int kind, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::PrescriptionHistoryWindow>()), m_client(client)
{
    m_ui->setupUi(this);
    setObjectName(WindowKeys::kPrescriptionHistory);
    m_ui->clientHeading->setFont(clients::BigBoldFont(font(), 5));
    for (const PrescriptionKind &k : kPrescriptionKinds)
        m_ui->kindBox->addItem(k.captionText());

    m_model = new PrescriptionHistoryModel(this);
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setTypeToSearch(false);
    m_grid->setGridModel(m_model);
    m_ui->gridLayout->addWidget(m_grid);
    setTabOrder(m_ui->kindBox, m_grid);
    setTabOrder(m_grid, m_ui->printButton);

    connect(m_ui->printButton, &QPushButton::clicked, this, [this] { print(true); });
    connect(m_ui->previewButton, &QPushButton::clicked, this, [this] { print(false); });
    connect(m_ui->exportButton, &QPushButton::clicked, this, [this] { ShowExportDialog(m_grid, QString(), this); });
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::reject);
    // The keys of every list window, wherever the focus is in the window.
    const std::pair<QPushButton *, QKeySequence> keys[] = {{m_ui->printButton, QKeySequence(Qt::CTRL | Qt::Key_P)},
                                                           {m_ui->previewButton, QKeySequence(Qt::CTRL | Qt::Key_K)},
                                                           {m_ui->exportButton, QKeySequence(Qt::CTRL | Qt::Key_E)}};
    for (const auto &[button, key] : keys) {
        auto *a = new QAction(this);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, button, &QPushButton::click);
        addAction(a);
        button->setToolTip(key.toString(QKeySequence::NativeText));
    }
    connect(m_ui->kindBox, &QComboBox::activated, this, [this](int k) { showKind(k); });

    // Room for "Jobb Prism" in each of the ten value columns.
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Jobb Prism")) * 14 + 60);
    InstallFormBehaviour(this, Placement::Full);
    try {
        m_clientName = LookupName(client, QStringLiteral("ugyfel"), QString());
    } catch (const Error &) {
        // the heading stays empty; the history read below reports the fault
    }
    m_ui->clientHeading->setText(m_clientName);
    m_kind = qBound(0, kind, int(kPrescriptionKinds.size()) - 1);
    m_ui->kindBox->setCurrentIndex(m_kind);
}

PrescriptionHistoryWindow::~PrescriptionHistoryWindow() = default;

QWidget *PrescriptionHistoryWindow::kindBox() const { return m_ui->kindBox; }
QWidget *PrescriptionHistoryWindow::printButton() const { return m_ui->printButton; }
QWidget *PrescriptionHistoryWindow::previewButton() const { return m_ui->previewButton; }
QWidget *PrescriptionHistoryWindow::exportButton() const { return m_ui->exportButton; }
QWidget *PrescriptionHistoryWindow::closeButton() const { return m_ui->closeButton; }
QString PrescriptionHistoryWindow::currentText() const { return m_ui->currentLabel->text(); }

bool PrescriptionHistoryWindow::showKind(int kind)
{
    m_kind = qBound(0, kind, int(kPrescriptionKinds.size()) - 1);
    m_ui->kindBox->setCurrentIndex(m_kind);
    const PrescriptionKind &k = kPrescriptionKinds[size_t(m_kind)];
    setWindowTitle(QStringLiteral("Korábbi receptek - ") + k.captionText());
    PrescriptionHistory h;
    try {
        h = PrescriptionHistoryStore(Connection::main()).read(m_client, k);
    } catch (const Error &e) {
        m_model->setHistory({});
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
        return false;
    }
    const QStringList names = PrescriptionHistoryStore::valueCaptions(k);
    QVector<GridColumn> columns;
    static const char *const fields[5] = {"sph", "cyl", "ax", "4", "5"};
    for (int side = 0; side < 2; ++side)
        for (int v = 0; v < 5; ++v)
            columns << GridColumn(QLatin1String(side ? "b_" : "j_") + QLatin1String(fields[v]),
                                  h.sideName[side] + QLatin1Char(' ') + names[v], {}, Qt::AlignCenter);
    columns << GridColumn(QStringLiteral("ervenyes"), QStringLiteral("Érvényes"))
            << GridColumn(QStringLiteral("felhasznalo"), QStringLiteral("Rögzítette"));
    m_model->setColumns(columns);
    m_model->setHistory(std::move(h));
    QVector<double> shares(10, 0.07);
    shares << 0.17 << 0.13;
    m_grid->setColumnShares(shares, 40);
    if (m_model->rowCount() > 0)
        m_grid->setCurrentRowIndex(0);
    showCurrent();
    return true;
}

// The current prescription (the newest line) in words above the grid.
void PrescriptionHistoryWindow::showCurrent()
{
    const PrescriptionHistory &h = m_model->history();
    if (h.lines.rowCount() == 0) {
        m_ui->currentLabel->setText(QStringLiteral("Ehhez a recepthez nincs tárolt állapot."));
        return;
    }
    const QStringList names = PrescriptionHistoryStore::valueCaptions(kPrescriptionKinds[size_t(m_kind)]);
    QStringList sides;
    for (int side = 0; side < 2; ++side) {
        QStringList parts;
        for (int v = 0; v < 5; ++v) {
            const QString t = h.lines.text(0, side * 5 + v);
            if (!t.isEmpty())
                parts << names[v] + QLatin1Char(' ') + t;
        }
        sides << h.sideName[side] + QStringLiteral(": ") + (parts.isEmpty() ? QStringLiteral("-") : parts.join(QStringLiteral(", ")));
    }
    m_ui->currentLabel->setText(QStringLiteral("Jelenlegi (%1 óta): %2")
                                    .arg(m_model->displayText(0, 10), sides.join(QStringLiteral("; "))));
}

void PrescriptionHistoryWindow::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    m_grid->setFocus(Qt::OtherFocusReason);
}

// The grid printout, its marks carried over: bold, red for a strong one.
void PrescriptionHistoryWindow::print(bool print)
{
    const QString title = QStringLiteral("Korábbi receptek");
    const QString subtitle = m_clientName + QStringLiteral(" - ") + kPrescriptionKinds[size_t(m_kind)].captionText();
    BandReport r;
    try {
        r = BuildGridPrintout(*m_grid, false, subtitle, QString(), 8, title);
    } catch (const Error &e) {
        ShowError(e.message(), this);
        return;
    }
    const auto history = std::make_shared<const PrescriptionHistory>(m_model->history());
    int item = 0;
    for (int c = 0; c < m_model->columnCount() && item < r.detail.items.size(); ++c) {
        if (m_grid->isColumnHidden(c))
            continue;
        ReportItem &it = r.detail.items[item++];
        const QFont plain = it.font;
        const int v = c - kFirstValueColumn;
        if (v < 0 || v >= kValueColumns)
            continue;
        it.fontBy([plain, history, v](const BandContext &ctx) {
            QFont f = plain;
            f.setBold(history->mark(ctx.row, v) != ValueMark::None);
            return f;
        });
        it.colourBy([history, v](const BandContext &ctx) {
            return history->mark(ctx.row, v) == ValueMark::Strong ? PrescriptionHistoryModel::strongColour()
                                                                 : QColor(Qt::black);
        });
    }
    OutputReport(r, print, QString(), this);
}

void ShowPrescriptionHistory(QWidget *parent, qint64 client, int kind)
{
    if (client <= 0) {
        ShowWarning(QStringLiteral("Nincs kiválasztott ügyfél."), parent);
        return;
    }
    PrescriptionHistoryWindow w(client, kind, parent);
    if (!w.showKind(kind))
        return;
    w.exec();
}

} // namespace qo
