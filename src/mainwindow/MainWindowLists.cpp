// The three list pages of the main window under the one search box: the
// search at every keystroke, the tabs, and the re-query after a command.
#include "mainwindow/MainListPage.h"
#include "mainwindow/MainWindow.h"
#include "ui/Grid.h"

#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabBar>

namespace qo {

void MainWindow::setupLists()
{
    m_clients = new ClientsPage(this, m_grids[TabClients], m_rxGrids);
    m_workOrders = new WorkOrdersPage(this, m_grids[TabWorkOrders], m_statusPanels[1]);
    m_exams = new ExamsPage(this, m_grids[TabExams]);
}

MainListPage *MainWindow::page(int tab) const
{
    if (tab == TabClients)
        return m_clients;
    return tab == TabWorkOrders ? static_cast<MainListPage *>(m_workOrders) : m_exams;
}

MainListPage *MainWindow::currentPage() const { return page(activeTab()); }

ListQuery &MainWindow::query(int tab) { return page(tab)->query(); }

qint64 MainWindow::currentKey(int tab) const { return page(tab)->currentKey(); }

// Standing on a row reports the row change, which updates the status bar (and
// the prescription lists), also when the list is empty.
void MainWindow::openList(int tab)
{
    page(tab)->openList();
    if (tab == TabWorkOrders)
        m_workOrders->countOverdue();
}

bool MainWindow::refreshList(int tab, qint64 key) { return page(tab)->refresh(key); }

void MainWindow::showSaved(int tab, qint64 key) { page(tab)->showSaved(key); }

// Every change of the search text re-queries the active list on the server.
void MainWindow::onSearchTextChanged()
{
    guarded([this] { currentPage()->runSearch(m_search->text()); });
}

void MainWindow::typedIntoList(const QString &ch)
{
    m_search->setFocus();
    m_search->setText(ch);
    m_search->setCursorPosition(ch.size());
}

void MainWindow::updateStatusBar()
{
    // Every tab shows its own list's position; a count left from another tab would mislead.
    m_statusPanels[0]->setText(RecordPositionText(currentPage()->grid()));
}

void MainWindow::TabControl1Change(int tab)
{
    for (int t : {TabClients, TabWorkOrders, TabExams})
        page(t)->query().close(); // the client list's row change empties the prescription lists
    m_pages->setCurrentIndex(tab);
    m_statusPanels[1]->clear(); // the overdue count belongs to the work orders
    if (m_aborted)
        return;
    guarded([this, tab] { openList(tab); });
}

void MainWindow::TabControl2Change(int index)
{
    m_workOrders->setStatusTab(m_tabControl2->tabData(index).toInt());
    if (m_aborted || activeTab() != TabWorkOrders)
        return;
    guarded([this] {
        if (!m_search->text().isEmpty()) {
            m_search->clear(); // runs the search with an empty text
            return;
        }
        m_workOrders->query().close();
        m_workOrders->query().setWhere(m_workOrders->baseCondition());
        openList(TabWorkOrders);
    });
}

} // namespace qo
