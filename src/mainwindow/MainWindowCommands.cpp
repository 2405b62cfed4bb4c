// Commands of the main window that are not a list's own: refresh, font size,
// settings, rights, exports, envelopes, the statistics and the About box.
#include "config/AppState.h"
#include "admin/ConnectionList.h"
#include "admin/SettingsDialog.h"
#include "admin/SqlConsole.h"
#include "admin/UserList.h"
#include "ui/Grid.h"
#include "ui/MessageBoxes.h"
#include "mainwindow/MainListPage.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MessagePanel.h"
#include "mainwindow/AboutDialog.h"
#include "export/ExportDialog.h"
#include "export/HtmlExportDialog.h"
#include "masterdata/MasterDataList.h"
#include "clients/ClientPrintouts.h"
#include "reports/PeriodDialog.h"
#include "workorders/WorkOrderStore.h"

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

void MainWindow::aFrissitExecute()
{
    MainListPage *p = currentPage();
    p->refresh(p->currentKey());
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
    ShowExportDialog(currentPage()->grid(), QStringLiteral("QuorvinOpt.csv"), this);
}

void MainWindow::aHtmlExecute()
{
    ExportGridToHtml(currentPage()->grid(), currentPage()->title(), this);
}

// The envelope or the registered-mail form for the current client; on the
// other tabs for the client of the current work order or examination.
void MainWindow::aBoritekExecute(bool registeredMail)
{
    const qint64 client = currentPage()->clientKey();
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
