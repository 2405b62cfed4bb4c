// Commands of the main window that act on the current row: each goes to the
// current page, or to the page whose rows it is for.
#include "clients/SubjectAccess.h"
#include "mainwindow/MainListPage.h"
#include "mainwindow/MainWindow.h"
#include "workorders/WorkOrderHistory.h"

#include <QAction>

namespace qo {

void MainWindow::aMlapjaiExecute()
{
    MainListPage *p = currentPage();
    if (p->offersHistory()) // history is offered for clients and work orders
        BrowseClientWorkOrders(p->clientKey(), this);
}

// "Adatkikérés" for the current client; on the other tabs for the client of
// the current work order or examination.
void MainWindow::aAdatkikeresExecute()
{
    const qint64 client = currentPage()->clientKey();
    if (client > 0)
        ExportSubjectAccess(client, this);
}

void MainWindow::routeRecordCommands()
{
    // The commands of every tab, answered by the current page.
    auto onPage = [this](const char *name, void (MainListPage::*f)()) {
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this,
                [this, f] { guarded([this, f] { (currentPage()->*f)(); }); });
    };
    onPage("aUj", &MainListPage::newRecord);
    onPage("aSzerkeszt", &MainListPage::editRecord);
    onPage("aTorol", &MainListPage::deleteRecord);
    onPage("aUgyfelAdatlap", &MainListPage::showClient);
    connect(action(QStringLiteral("aNyomtat")), &QAction::triggered, this,
            [this] { guarded([this] { currentPage()->print(true); }); });
    connect(action(QStringLiteral("aNyomtatKep")), &QAction::triggered, this,
            [this] { guarded([this] { currentPage()->print(false); }); });

    // The commands of one tab's rows; on the other tabs (their lists closed) they do nothing.
    auto onClients = [this](const char *name, void (ClientsPage::*f)()) {
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this, [this, f] {
            guarded([this, f] {
                if (m_clients->isCurrent())
                    (m_clients->*f)();
            });
        });
    };
    onClients("aFigyelmeztet", &ClientsPage::toggleReminder);
    onClients("aMostJart", &ClientsPage::setLastVisit);
    onClients("aMLapNeki", &ClientsPage::newWorkOrder);
    for (int i = 1; i <= 4; ++i)
        connect(action(QStringLiteral("aSzerk%1").arg(i)), &QAction::triggered, this, [this, i] {
            guarded([this, i] {
                if (m_clients->isCurrent())
                    m_clients->editPrescription(i);
            });
        });
    connect(action(QStringLiteral("aStatusz")), &QAction::triggered, this, [this] {
        guarded([this] {
            if (m_workOrders->isCurrent())
                m_workOrders->stepStatus();
        });
    });
}

} // namespace qo
