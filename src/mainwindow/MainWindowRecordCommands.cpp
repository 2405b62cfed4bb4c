// Commands of the main window that open a record editor for the current row
// and then re-query the list, standing on the saved row.
#include "clients/Clients.h"
#include "clients/SubjectAccess.h"
#include "db/Kinds.h"
#include "ui/Grid.h"
#include "ui/MessageBoxes.h"
#include "mainwindow/MainWindow.h"
#include "ui/OptionDialog.h"
#include "masterdata/WorkOrderTypeList.h"
#include "masterdata/MasterDataList.h"
#include "workorders/WorkOrderEditor.h"
#include "workorders/WorkOrderHistory.h"

namespace qo {

void MainWindow::aUjExecute()
{
    switch (activeTab()) {
    case TabClients: {
        const qint64 key = EditClient(-1, this);
        if (key != -1)
            showSaved(TabClients, key);
        break;
    }
    case TabWorkOrders: {
        const int type = ChooseOption(0, WorkOrderTypeChoices(), QStringLiteral("Munkalap típusa"), this);
        if (type == -1)
            return;
        const qint64 key = EditWorkOrder(-1, -1, type + 1, this);
        if (key > 0) // 0: the client picker was cancelled and nothing was created
            showSaved(TabWorkOrders, key);
        break;
    }
    default: {
        const qint64 client = PickClient(-1, nullptr, this);
        if (client == -1)
            return;
        const qint64 key = EditExamination(-1, client, this);
        if (key != -1)
            showSaved(TabExams, key);
        break;
    }
    }
}

void MainWindow::aSzerkesztExecute()
{
    switch (activeTab()) {
    case TabClients: {
        // Without a row this is -1: the editor of a new client.
        const qint64 key = EditClient(currentKey(TabClients), this);
        if (key != -1)
            showSaved(TabClients, key);
        break;
    }
    case TabWorkOrders: {
        const qint64 order = currentKey(TabWorkOrders);
        if (order < 0)
            return; // no order to edit (order 0 of type 0 would be nonsense)
        if (rowText(TabWorkOrders, QStringLiteral("storno")) == QLatin1String("I")) {
            ShowError(QStringLiteral("Sztornó munkalap"), this);
            return;
        }
        const qint64 key = EditWorkOrder(order, -1, int(rowInt(TabWorkOrders, QStringLiteral("mlaptipus"), 0)), this);
        if (key != -1)
            showSaved(TabWorkOrders, order);
        break;
    }
    default: {
        const qint64 exam = currentKey(TabExams);
        if (exam < 0)
            return; // a new examination starts from Insert, which asks for the client
        const qint64 key = EditExamination(exam, -1, this);
        if (key != -1)
            showSaved(TabExams, key);
        break;
    }
    }
}

void MainWindow::aMLapNekiExecute()
{
    if (activeTab() != TabClients)
        return;
    const int type = ChooseOption(0, WorkOrderTypeChoices(),
                                  QStringLiteral("Munkalap típusa"), this);
    if (type == -1)
        return;
    const qint64 client = currentKey(TabClients);
    EditWorkOrder(-1, client, type + 1, this);
    showSaved(TabClients, client);
}

void MainWindow::aUgyfelAdatlapExecute()
{
    const int tab = activeTab();
    const qint64 client = rowInt(tab, QStringLiteral("ugyfel"), -1);
    if (client < 0 && tab != TabClients)
        return; // no order or examination, so no client of it; on the clients tab -1 is a new client
    const qint64 key = EditClient(client, this);
    if (key == -1)
        return;
    showSaved(tab, tab == TabClients ? key : currentKey(tab));
}

void MainWindow::aMlapjaiExecute()
{
    const int tab = activeTab();
    if (tab == TabExams)
        return; // history is offered for clients and work orders
    BrowseClientWorkOrders(rowInt(tab, QStringLiteral("ugyfel"), -1), this);
}

void MainWindow::aSzerkRxExecute(int n)
{
    // aSzerk1..aSzerk4 edit near, distance, contact-lens and special prescriptions.
    static const int kindOfCommand[5] = {-1, 1, 0, 3, 2};
    const PrescriptionKind &kind = kPrescriptionKinds[kindOfCommand[n]];
    if (activeTab() != TabClients)
        return;
    const qint64 client = rowInt(TabClients, QStringLiteral("ugyfel"), 0);
    if (EditPrescription(client, kind.table, kind.captionText(), this)) {
        m_rxClient = -2; // re-read the four lists
        RefreshPrescriptions();
    }
}

// "Adatkikérés" for the current client; on the other tabs for the client of
// the current work order or examination.
void MainWindow::aAdatkikeresExecute()
{
    const int tab = activeTab();
    if (currentKey(tab) < 0)
        return;
    const qint64 client = tab == TabClients ? currentKey(tab) : rowInt(tab, QStringLiteral("ugyfel"), -1);
    if (client > 0)
        ExportSubjectAccess(client, this);
}

} // namespace qo
