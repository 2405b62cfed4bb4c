// Commands of the main window that act on the lists themselves: delete,
// refresh, status step, reminder and last-visit dates, font size, settings,
// rights and the About box.
#include "config/AppState.h"
#include "admin/ConnectionList.h"
#include "admin/SettingsDialog.h"
#include "admin/UserList.h"
#include "db/Connection.h"
#include "ui/DateDialog.h"
#include "ui/Grid.h"
#include "db/SqlText.h"
#include "ui/MessageBoxes.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MessagePanel.h"
#include "mainwindow/AboutDialog.h"

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
    static const char *const sql[3] = {"UPDATE ugyfel SET torolve = 'I' WHERE ugyfel = %1;",
                                       "UPDATE munkalap SET storno = 'I' WHERE munkalap = %1;",
                                       "UPDATE vizsgalat SET torolve = 'I' WHERE vizsgalat = %1;"};
    ExecSql(QString::fromLatin1(sql[tab]).arg(key));
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
    int next = 0;
    if (status == 0 || status == 1) {
        if (!AskConfirm(QStringLiteral("Biztosan elkészült a munkalap?"), QStringLiteral("Megerősítés"), this))
            return;
        next = 2;
    } else if (status == 2) {
        if (!AskConfirm(QStringLiteral("Biztosan lezárja a munkalapot?"), QStringLiteral("Megerősítés"), this))
            return;
        next = 3;
    } else if (status == 3) {
        ShowError(QStringLiteral("Ez a munkalap már le lett zárva."), this);
        return;
    } else {
        return;
    }
    ExecSql(QStringLiteral("CALL sp_setstatusz(%1,%2,%3);").arg(QString::number(key), SqlQuote(appState().felhasznalo_nev), QString::number(next)));
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
            ExecSql(QStringLiteral("UPDATE ugyfel SET dat_figyelmeztet = %1 WHERE ugyfel = %2;").arg(SqlDateLiteral(d)).arg(key));
    } else {
        ExecSql(QStringLiteral("UPDATE ugyfel SET dat_figyelmeztet = NULL WHERE ugyfel = %1;").arg(key));
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
    ExecSql(QStringLiteral("UPDATE ugyfel SET dat_utolso = %1 WHERE ugyfel = %2;").arg(SqlDateLiteral(d)).arg(key));
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

void MainWindow::aNevjegyExecute()
{
    ShowAboutBox(this);
}

} // namespace qo
