// The work-orders tab: the list of one status tab (or every order), its row
// colours, and the commands of an order row.
#include "config/AppState.h"
#include "db/Connection.h"
#include "db/RowCounter.h"
#include "mainwindow/MainListPage.h"
#include "mainwindow/MainWindow.h"
#include "masterdata/WorkOrderTypeList.h"
#include "reports/WorkOrderPrintout.h"
#include "ui/Grid.h"
#include "ui/MessageBoxes.h"
#include "ui/OptionDialog.h"
#include "workorders/WorkOrderEditor.h"
#include "workorders/OverdueOrders.h"
#include "workorders/WorkOrderHistory.h"
#include "workorders/WorkOrderStore.h"

#include <QLabel>

namespace qo {

WorkOrdersPage::WorkOrdersPage(MainWindow *window, Grid *grid, QLabel *overdueCounter)
    : MainListPage(window, grid, WorkOrderStore::mainList()), m_overdueCounter(overdueCounter)
{
    setColumns({{QStringLiteral("munkalap"), QStringLiteral("Sorszám")},
                {QStringLiteral("ugyfel_nev"), QStringLiteral("Ügyfél")},
                {QStringLiteral("telefon"), QStringLiteral("Telefon")},
                {QStringLiteral("mlaptipus_nev"), QStringLiteral("Típus")},
                {QStringLiteral("datum"), QStringLiteral("Dátum")},
                {QStringLiteral("dat_hatid"), QStringLiteral("Határidő")},
                {QStringLiteral("dat_kesz"), QStringLiteral("Elkészült")},
                {QStringLiteral("osszar"), QStringLiteral("Össz ár")},
                {QStringLiteral("eloleg"), QStringLiteral("Előleg")},
                {QStringLiteral("fizetendo"), QStringLiteral("Fizetendő")},
                {QStringLiteral("statusz_nev"), QStringLiteral("Státusz")}},
               {0.05, 0.19, 0.10, 0.15, 0.08, 0.08, 0.08, 0.06, 0.06, 0.06, 0.09}, 36);
    model()->setStyler([this](const RowSet &rs, int row, int column, bool marked, CellStyle &s) {
        StyleWorkOrderRow(rs, row, marked, s);
        MarkOverdueDueDate(rs, row, model()->fieldOf(column), s);
    });
    // The newest order first among equals.
    setOrderOf([](const QString &field) {
        return field == QLatin1String("munkalap") ? QStringLiteral("munkalap DESC") : field + QStringLiteral(",munkalap DESC");
    });
    connect(grid, &Grid::currentRowChanged, window, &MainWindow::updateStatusBar);
}

WorkOrdersPage::~WorkOrdersPage() { RowCounter::instance().cancel(this); }

void WorkOrdersPage::setStatusTab(int tab)
{
    const bool wasOverdue = baseCondition() == WorkOrderStore::overdueCondition();
    if (tab == kOverdueTab) {
        setBaseCondition(WorkOrderStore::overdueCondition());
        // The longest waiting first; the sort the list had comes back after.
        if (!wasOverdue)
            m_sortBeforeOverdue = model()->columnOf(sortField());
        sortBy(model()->columnOf(QStringLiteral("dat_hatid")));
        return;
    }
    setBaseCondition(tab == 0 ? WorkOrderStore::anyStatusCondition()
                              : WorkOrderStore::statusCondition(WorkOrderStatus(tab)));
    if (wasOverdue && m_sortBeforeOverdue >= 0)
        sortBy(m_sortBeforeOverdue);
}

bool WorkOrdersPage::refresh(qint64 key)
{
    if (!isCurrent())
        return false;
    const bool found = MainListPage::refresh(key);
    countOverdue();
    return found;
}

// Counted in the background like a list's size: the main connection stays
// free for the list itself.
void WorkOrdersPage::countOverdue()
{
    RowCounter::instance().request(this, Connection::main().params(), {WorkOrderStore::overdueCountSql()},
                                   m_overdueCounter, [this](const QVector<qint64> &n) {
                                       if (isCurrent() && n.value(0, -1) >= 0)
                                           m_overdueCounter->setText(QStringLiteral("Lejárt: %1").arg(n.value(0)));
                                   });
}

void WorkOrdersPage::newRecord()
{
    const int type = ChooseOption(0, WorkOrderTypeChoices(), QStringLiteral("Munkalap típusa"), window());
    if (type == -1)
        return;
    const qint64 key = EditWorkOrder(-1, -1, type + 1, window());
    if (key > 0) // 0: the client picker was cancelled and nothing was created
        showSaved(key);
}

void WorkOrdersPage::editRecord()
{
    const qint64 order = currentKey();
    if (order < 0)
        return; // no order to edit (order 0 of type 0 would be nonsense)
    if (currentText(QStringLiteral("storno")) == QLatin1String("I")) {
        ShowError(QStringLiteral("Sztornó munkalap"), window());
        return;
    }
    const qint64 key = EditWorkOrder(order, -1, int(currentInt(QStringLiteral("mlaptipus"), 0)), window());
    if (key != -1)
        showSaved(order);
}

void WorkOrdersPage::removeRow(qint64 key) { WorkOrderStore(Connection::main()).cancel(key); }

void WorkOrdersPage::print(bool toPrinter)
{
    const qint64 key = currentKey();
    if (key >= 0) // nothing listed, nothing to print
        PrintWorkOrder(key, toPrinter, window());
}

void WorkOrdersPage::stepStatus()
{
    const qint64 key = currentKey();
    if (key < 0)
        return;
    if (currentText(QStringLiteral("storno")) == QLatin1String("I")) {
        ShowError(QStringLiteral("Sztornó munkalap"), window());
        return;
    }
    const qint64 status = currentInt(QStringLiteral("statusz"), 0);
    if (status == int(WorkOrderStatus::HandedOver)) {
        ShowError(QStringLiteral("Ez a munkalap már le lett zárva."), window());
        return;
    }
    const std::optional<WorkOrderStatus> next = NextWorkOrderStatus(status);
    if (!next)
        return;
    const QString question = *next == WorkOrderStatus::Ready ? QStringLiteral("Biztosan elkészült a munkalap?")
                                                             : QStringLiteral("Biztosan lezárja a munkalapot?");
    if (!AskConfirm(question, QStringLiteral("Megerősítés"), window()))
        return;
    try {
        WorkOrderStore(Connection::main()).stepStatus(key, appState().felhasznalo_nev, *next);
    } catch (const Error &) {
        // Refused: another workstation may have stepped or cancelled it. The
        // list shows the order as it really is before the error is shown.
        refresh(key);
        throw;
    }
    refresh(key); // an order that left the status tab gives its place to the next one
}

} // namespace qo
