// Commands of the main window that act on the lists themselves: delete,
// refresh, status step, reminder and last-visit dates, font size, settings,
// rights and the About box.
#include "clients/ClientStore.h"
#include "workorders/WorkOrderStore.h"
#include "config/AppState.h"
#include "admin/ConnectionList.h"
#include "admin/SettingsDialog.h"
#include "admin/SqlConsole.h"
#include "admin/UserList.h"
#include "db/Connection.h"
#include "ui/DateDialog.h"
#include "ui/Grid.h"
#include "db/SqlText.h"
#include "ui/MessageBoxes.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MessagePanel.h"
#include "mainwindow/AboutDialog.h"
#include "export/ExportDialog.h"
#include "export/HtmlExportDialog.h"
#include "masterdata/MasterDataList.h"
#include "reports/ClientListPrintout.h"
#include "reports/EnvelopePrintout.h"
#include "reports/ExaminationPrintout.h"
#include "reports/PeriodDialog.h"
#include "reports/RegisteredMailPrintout.h"
#include "reports/RevenueReports.h"
#include "reports/WorkOrderPrintout.h"

#include <QAction>

namespace qo {

void MainWindow::guarded(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Error &e) {
        ShowError(e.message(), this);
    }
}

void MainWindow::ShowPendingMessage()
{
    m_panel->showPending();
}

void MainWindow::aTorolExecute()
{
    const int tab = activeTab();
    const qint64 key = currentKey(tab);
    if (key < 0)
        return; // nothing listed, nothing to delete
    if (!AskConfirm(QStringLiteral("Valóban töröljem a sort?"), QStringLiteral("Megerősítés"), this))
        return;
    Connection &db = Connection::main();
    if (tab == TabClients)
        ClientStore(db).markClientDeleted(key);
    else if (tab == TabWorkOrders)
        WorkOrderStore(db).cancel(key);
    else
        ClientStore(db).markExaminationDeleted(key);
    // A cancelled order stays listed; a deleted client or examination leaves
    // and the row that takes its place becomes current.
    refreshList(tab, key);
}

void MainWindow::aFrissitExecute()
{
    const int tab = activeTab();
    refreshList(tab, currentKey(tab));
}

void MainWindow::aStatuszExecute()
{
    if (activeTab() != TabWorkOrders)
        return; // the work-order list is closed on the other tabs
    const qint64 key = currentKey(TabWorkOrders);
    if (key < 0)
        return;
    if (rowText(TabWorkOrders, QStringLiteral("storno")) == QLatin1String("I")) {
        ShowError(QStringLiteral("Sztornó munkalap"), this);
        return;
    }
    const qint64 status = rowInt(TabWorkOrders, QStringLiteral("statusz"), 0);
    if (status == int(WorkOrderStatus::HandedOver)) {
        ShowError(QStringLiteral("Ez a munkalap már le lett zárva."), this);
        return;
    }
    const std::optional<WorkOrderStatus> next = NextWorkOrderStatus(status);
    if (!next)
        return;
    const QString question = *next == WorkOrderStatus::Ready ? QStringLiteral("Biztosan elkészült a munkalap?")
                                                             : QStringLiteral("Biztosan lezárja a munkalapot?");
    if (!AskConfirm(question, QStringLiteral("Megerősítés"), this))
        return;
    try {
        WorkOrderStore(Connection::main()).stepStatus(key, appState().felhasznalo_nev, *next);
    } catch (const Error &) {
        // Refused: another workstation may have stepped or cancelled it. The
        // list shows the order as it really is before the error is shown.
        refreshList(TabWorkOrders, key);
        throw;
    }
    refreshList(TabWorkOrders, key); // an order that left the status tab gives its place to the next one
}

void MainWindow::aFigyelmeztetExecute()
{
    if (activeTab() != TabClients)
        return;
    const qint64 key = currentKey(TabClients);
    if (key < 0)
        return;
    const int row = m_grids[TabClients]->currentRowIndex();
    if (m_modelU.rows().isNull(row, QStringLiteral("dat_figyelmeztet"))) {
        QDate d = QDate::currentDate().addDays(appState().figynap);
        if (AskDate(d, {}, this))
            ClientStore(Connection::main()).setReminder(key, d);
    } else {
        ClientStore(Connection::main()).setReminder(key, QDate());
    }
    refreshList(TabClients, key);
}

void MainWindow::aMostJartExecute()
{
    if (activeTab() != TabClients)
        return;
    const qint64 key = currentKey(TabClients);
    if (key < 0)
        return;
    QDate d = QDate::currentDate();
    if (!AskDate(d, {}, this))
        return;
    ClientStore(Connection::main()).setLastVisit(key, d);
    refreshList(TabClients, key);
}

void MainWindow::aNovelExecute()
{
    if (appState().Betumeret < 10) {
        ++appState().Betumeret;
        applyFontSize();
    }
}

void MainWindow::aCsokkentExecute()
{
    if (appState().Betumeret > 8) {
        --appState().Betumeret;
        applyFontSize();
    }
}

void MainWindow::aBeallitExecute()
{
    ShowSettingsDialog(this);
    LoadShopSettings();
}

void MainWindow::aFelhasznaloExecute()
{
    if (!appState().rendszergazda) {
        ShowError(QStringLiteral("Nincs jogosultság a művelethez."), this);
        return;
    }
    ShowUserList(this);
}

void MainWindow::aAdatbazisExecute()
{
    if (!appState().rendszergazda) {
        ShowError(QStringLiteral("Nincs jogosultság a művelethez."), this);
        return;
    }
    ShowDatabaseList(this);
}

// The console reads and changes every table, passwords and client data
// alike: administrators only.
void MainWindow::aSQLExecute()
{
    if (!appState().rendszergazda) {
        ShowError(QStringLiteral("Nincs jogosultság a művelethez."), this);
        return;
    }
    ShowSqlConsole(this);
}

void MainWindow::aNevjegyExecute()
{
    ShowAboutBox(this);
}

// Only the list of the active tab is open, so the exports (reachable by their
// shortcuts from every tab) write that list; on the clients tab the client list.
void MainWindow::aExcelbeExecute()
{
    ShowExportDialog(m_grids[activeTab()], QStringLiteral("QuorvinOpt.csv"), this);
}

void MainWindow::aHtmlExecute()
{
    static const char *const titles[3] = {"Ügyfelek", "Munkalapok", "Vizsgálatok"};
    ExportGridToHtml(m_grids[activeTab()], QString::fromUtf8(titles[activeTab()]), this);
}

// Print (true) or preview (false) for the active list: the client list as the
// window lists it now, the current work order, the current examination.
void MainWindow::aNyomtatExecute(bool print)
{
    const int tab = activeTab();
    if (tab == TabClients) {
        if (m_qryU.isOpen())
            PrintClientList(print, m_qryU.sql(), this);
        return;
    }
    const qint64 key = currentKey(tab);
    if (key < 0)
        return; // nothing listed, nothing to print
    if (tab == TabWorkOrders)
        PrintWorkOrder(key, print, this);
    else
        PrintExamination(key, print, this);
}

// The envelope or the registered-mail form for the current client; on the
// other tabs for the client of the current work order or examination.
void MainWindow::aBoritekExecute(bool registeredMail)
{
    const int tab = activeTab();
    if (currentKey(tab) < 0)
        return;
    const qint64 client = rowInt(tab, QStringLiteral("ugyfel"), -1);
    if (client <= 0)
        return;
    if (registeredMail)
        PrintRegisteredMailForm(client, this);
    else
        PrintEnvelope(client, this);
}

// The statistics of the "Nyomtatások" menu: the period first (one month back
// to today), for the one-brand lists then the lens brand.
void MainWindow::reportExecute(const QString &command)
{
    QDate to = QDate::currentDate();
    QDate from = to.addMonths(-1);
    if (!AskPeriod(from, to, {}, this))
        return;
    qint64 brand = -1;
    if (command.endsWith(QLatin1Char('2'))) {
        brand = OpenMasterDataList(-1, true, QStringLiteral("lencsemarka"), QStringLiteral("Lencse márka"), nullptr, this);
        if (brand < 0)
            return;
    }
    if (command == QLatin1String("aArbevetel"))
        PrintRevenueReport(from, to, this);
    else if (command == QLatin1String("aFogyas"))
        PrintSalesReport(from, to, this);
    else if (command.startsWith(QLatin1String("aLencseFogyas")))
        PrintLensSalesReport(brand, from, to, this);
    else
        PrintContactLensSalesReport(brand, from, to, this);
}

} // namespace qo
