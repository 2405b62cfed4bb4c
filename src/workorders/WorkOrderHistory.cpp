#include "workorders/WorkOrderStore.h"
#include "workorders/WorkOrderHistory.h"
#include "workorders/OverdueOrders.h"
#include "workorders/WorkOrderCreate.h"
#include "workorders/WorkOrderEditor.h"
#include "ui/WindowKeys.h"

#include "db/Connection.h"
#include "db/LookupName.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/MessageBoxes.h"
#include "ui/OptionDialog.h"
#include "reports/GridPrintout.h"
#include "reports/WorkOrderPrintout.h"
#include "workorders/WorkOrderPrice.h"
#include "export/ExportDialog.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

namespace qo {

void StyleWorkOrderRow(const RowSet &rows, int row, bool marked, CellStyle &style)
{
    if (marked)
        return;
    const int status = int(rows.toInt(row, QStringLiteral("statusz"), 0));
    if (status == int(WorkOrderStatus::Ready))
        style.background = QColor(196, 224, 255);
    else if (status == int(WorkOrderStatus::HandedOver))
        style.background = QColor(193, 255, 224);
    if (rows.text(row, QStringLiteral("storno")) == QLatin1String("I")) {
        style.background = QColor(255, 221, 221);
        style.foreground = QColor(128, 0, 0);
    }
}

WorkOrderHistory::WorkOrderHistory(qint64 client, QWidget *parent) : SearchList(parent, Placement::Full)
{
    setObjectName(WindowKeys::kWorkOrderHistory);
    setWindowTitle(QStringLiteral("Munkalapok"));

    setQuery(WorkOrderStore::historyList(client));
    const QString ft = MoneyMask();
    setColumns({{QStringLiteral("munkalap"), QStringLiteral("Sorszám")},
                {QStringLiteral("mlaptipus_nev"), QStringLiteral("Típus")},
                {QStringLiteral("datum"), QStringLiteral("Beérkezett")},
                {QStringLiteral("dat_hatid"), QStringLiteral("Határidő")},
                {QStringLiteral("dat_kesz"), QStringLiteral("Elkészült")},
                {QStringLiteral("eloleg"), QStringLiteral("Előleg"), ft},
                {QStringLiteral("osszar"), QStringLiteral("Összesen"), ft},
                {QStringLiteral("fizetendo"), QStringLiteral("Utólag"), ft},
                {QStringLiteral("statusz_nev"), QStringLiteral("Státusz")}},
               {0.1, 0.2, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1}, 44);
    model()->setStyler([this](const RowSet &rows, int row, int column, bool marked, CellStyle &s) {
        StyleWorkOrderRow(rows, row, marked, s);
        MarkOverdueDueDate(rows, row, model()->fieldOf(column), s);
    });

    // No search here: the panel only names the client.
    searchBox()->hide();
    grid()->setTypeToSearch(false);
    QFont hf = heading()->font();
    hf.setBold(true);
    hf.setPointSize(WindowFontSize() + 4);
    heading()->setFont(hf);
    heading()->setMinimumHeight(QFontMetrics(hf).height() + 8);
    heading()->setText(LookupName(client, QStringLiteral("ugyfel"), QString()) + QStringLiteral("  "));

    aNyomtat = addCommand(QStringLiteral("aNyomtat"), QStringLiteral("Nyomtat"), QKeySequence(Qt::CTRL | Qt::Key_P),
                          QStringLiteral("document-print"));
    aNyomKep = addCommand(QStringLiteral("aNyomKep"), QStringLiteral("Nyom.kép"), QKeySequence(Qt::CTRL | Qt::Key_K),
                          QStringLiteral("document-print-preview"));
    aExcelbe = addCommand(QStringLiteral("aExcelbe"), QStringLiteral("Excelbe..."), QKeySequence(Qt::CTRL | Qt::Key_E),
                          QStringLiteral("x-office-spreadsheet"));
    aUjEbbol = addCommand(QStringLiteral("aUjEbbol"), QStringLiteral("Új munkalap ebből"),
                          QKeySequence(Qt::SHIFT | Qt::Key_F4), QStringLiteral("edit-copy"),
                          QStringLiteral("Új munkalap a kijelölt lencséjével, keretével és PD-jével"));
    connect(aUjEbbol, &QAction::triggered, this, [this] {
        const qint64 key = NewWorkOrderFrom(currentKey(), this);
        if (key > 0)
            showSaved(key);
    });
    aBezar = addCommand(Command::Close, QStringLiteral("Bezár"), QStringLiteral("Bezár"));
    connect(aExcelbe, &QAction::triggered, this, [this] { ShowExportDialog(grid(), QString(), this); });
    connect(aNyomtat, &QAction::triggered, this, [this] { printClick(true); });
    connect(aNyomKep, &QAction::triggered, this, [this] { printClick(false); });
    setToolbar({aNyomtat, aNyomKep, nullptr, aExcelbe, nullptr, aUjEbbol, nullptr, aBezar});
    setContextMenu({aNyomtat, aNyomKep, nullptr, aExcelbe, nullptr, aUjEbbol, nullptr, aBezar});

    aExcelbe->setIconText(aExcelbe->text()); // a tool button would drop the dots
    // Every column but "Típus" gets a tenth of the width: wide enough that a
    // date and an amount are read whole.
    const int cell = fontMetrics().horizontalAdvance(QStringLiteral("0000.00.00")) + 14;
    setMinimumWidth(cell * 10 + 44 + 24);
    resize(qMax(960, minimumWidth()), 440);
    reopen(-1);
}

qint64 NewWorkOrderFrom(qint64 order, QWidget *parent)
{
    if (order <= 0)
        return -1; // no order chosen
    qint64 client = -1;
    int type = 0;
    try {
        if (!ReadWorkOrderOrigin(Connection::main(), order, client, type)) {
            ShowError(WorkOrderMissingText(), parent);
            return -1;
        }
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), parent);
        return -1;
    }
    if (client <= 0) {
        ShowWarning(QStringLiteral("A munkalaphoz nem tartozik ügyfél."), parent);
        return -1;
    }
    const WorkOrderCarryOver carry(order);
    return EditWorkOrder(-1, client, type, parent);
}

void BrowseClientWorkOrders(qint64 client, QWidget *parent)
{
    WorkOrderHistory w(client, parent);
    w.exec();
}

// Print (true) or preview: the selected work order, or the list as it stands.
void WorkOrderHistory::printClick(bool print)
{
    const int choice = ChooseOption(0, QStringLiteral("Munkalap,Lista"), QStringLiteral("Nyomtatás típusa"), this);
    if (choice == 0) {
        const int row = grid()->currentRowIndex();
        if (row < 0)
            return;
        try {
            PrintWorkOrder(model()->rows().toInt(row, QStringLiteral("munkalap"), 0), print, this);
        } catch (const Error &e) {
            ShowError(e.message(), this);
        }
    } else if (choice == 1) {
        PrintGrid(*grid(), print, true, heading()->text().trimmed(), QStringLiteral("osszar"), 8,
                  QStringLiteral("Munkalapok"), this);
    }
}

} // namespace qo
