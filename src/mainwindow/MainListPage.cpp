// What the three lists of the main window share: search, sort, refresh after
// a command, and the commands that each answers in its own way.
#include "mainwindow/MainListPage.h"

#include "clients/Clients.h"
#include "mainwindow/MainWindow.h"
#include "ui/Grid.h"
#include "ui/MessageBoxes.h"
#include "ui/SearchList.h"

#include <QLineEdit>
#include <QStatusBar>

namespace qo {

MainListPage::MainListPage(MainWindow *window, Grid *grid, const ListSql &sql)
    : ListPage(grid, window), m_window(window)
{
    setQuery(sql);
    connect(grid, &Grid::typedToSearch, window, &MainWindow::typedIntoList);
    connect(grid, &Grid::titleClicked, this, [this](int column) {
        m_window->guarded([&] { sortByTitle(column); });
    });
    connect(grid, &Grid::rowActivated, this, [this] { m_window->action(QStringLiteral("aSzerkeszt"))->trigger(); });
}

bool MainListPage::isCurrent() const { return m_window->currentPage() == this; }

void MainListPage::sortByTitle(int column)
{
    if (!sortBy(column))
        return;
    openAtFirst();
    model()->setMarkedColumn(column);
    m_window->searchBox()->setFocus();
}

bool MainListPage::refresh(qint64 key)
{
    if (!isCurrent())
        return false; // a list that is not shown is opened when its tab is chosen
    return reopenAt(key);
}

void MainListPage::showSaved(qint64 key)
{
    QLineEdit *search = m_window->searchBox();
    if (refresh(key) || !isCurrent() || search->text().isEmpty())
        return;
    // The search excludes the saved row: clear it (which re-queries) so that
    // the next command acts on this row, not on the one that happened to be current.
    search->clear();
    if (refresh(key))
        m_window->statusBar()->showMessage(SavedRowSearchClearedText(), 10000);
}

void MainListPage::deleteRecord()
{
    const qint64 key = currentKey();
    if (key < 0)
        return; // nothing listed, nothing to delete
    if (!AskConfirm(QStringLiteral("Valóban töröljem a sort?"), QStringLiteral("Megerősítés"), m_window))
        return;
    removeRow(key);
    // A cancelled order stays listed; a deleted client or examination leaves
    // and the row that takes its place becomes current.
    refresh(key);
}

void MainListPage::showClient()
{
    const qint64 client = clientKey();
    if (client < 0)
        return; // no order or examination, so no client of it
    if (EditClient(client, m_window) == -1)
        return;
    showSaved(currentKey());
}

} // namespace qo
