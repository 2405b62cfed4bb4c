// The clients tab: the client list with its reminder colours, the four
// prescription lists of the current client, and the commands of a client row.
#include "clients/ClientStore.h"
#include "clients/Clients.h"
#include "config/AppState.h"
#include "db/Connection.h"
#include "mainwindow/MainListPage.h"
#include "mainwindow/MainWindow.h"
#include "masterdata/WorkOrderTypeList.h"
#include "clients/ClientPrintouts.h"
#include "ui/DateDialog.h"
#include "ui/Grid.h"
#include "ui/OptionDialog.h"
#include "workorders/WorkOrderEditor.h"

#include <QHeaderView>

namespace qo {

namespace {

const QColor kLightRed(255, 221, 221);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);

} // namespace

ClientsPage::ClientsPage(MainWindow *window, Grid *grid, Grid *const (&prescriptionGrids)[4])
    : MainListPage(window, grid, ClientStore::clientList())
{
    setColumns({{QStringLiteral("ugyfel_nev"), QStringLiteral("Ügyfél")},
                {QStringLiteral("emil"), QStringLiteral("E-mail")},
                {QStringLiteral("telefon"), QStringLiteral("Telefon")},
                {QStringLiteral("dat_utolso"), QStringLiteral("Utoljára")},
                {QStringLiteral("dat_figyelmeztet"), QStringLiteral("Figyelmeztetés")},
                {QStringLiteral("szuldatum"), QStringLiteral("Született")},
                {QStringLiteral("irszvaroscim"), QStringLiteral("Cím")}},
               {0.20, 0.15, 0.10, 0.10, 0.10, 0.10, 0.25}, 36);
    // A due reminder: blue text on light red, yellow text in the selected row.
    model()->setStyler([](const RowSet &rs, int row, int, bool marked, CellStyle &s) {
        const QDate d = rs.toDate(row, QStringLiteral("dat_figyelmeztet"));
        if (!d.isValid() || d > QDate::currentDate())
            return;
        s.selectedForeground = kYellow;
        s.foreground = kBlue;
        if (!marked)
            s.background = kLightRed;
    });

    for (int i = 0; i < 4; ++i) {
        const bool contact = kPrescriptionKinds[i].contactLens;
        m_rxQueries[i] = ListQuery(ClientStore::prescriptionList(kPrescriptionKinds[i]).lines, &m_rxModels[i]);
        const Qt::Alignment c = Qt::AlignHCenter;
        m_rxModels[i].setColumns({{QStringLiteral("oldal"), QStringLiteral("Oldal")},
                                  {QStringLiteral("sph"), QStringLiteral("Sph"), {}, c},
                                  {QStringLiteral("cyl"), QStringLiteral("Cyl"), {}, c},
                                  {QStringLiteral("ax"), QStringLiteral("Ax"), {}, c},
                                  {contact ? QStringLiteral("bc") : QStringLiteral("prism"),
                                   contact ? QStringLiteral("Bc") : QStringLiteral("Prism"), {}, c},
                                  {contact ? QStringLiteral("dia") : QStringLiteral("pd"),
                                   contact ? QStringLiteral("Dia") : QStringLiteral("Pd"), {}, c}});
        prescriptionGrids[i]->setGridModel(&m_rxModels[i]);
        prescriptionGrids[i]->setColumnShares({0.20, 0.16, 0.16, 0.16, 0.16, 0.16}, 40);
        prescriptionGrids[i]->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    }
    connect(grid, &Grid::currentRowChanged, this, [this] {
        this->window()->guarded([this] { refreshPrescriptions(); });
    });
}

bool ClientsPage::refresh(qint64 key)
{
    if (!isCurrent())
        return false;
    m_rxClient = -2; // a refresh re-reads the prescriptions as well
    return MainListPage::refresh(key);
}

void ClientsPage::refreshPrescriptions()
{
    window()->updateStatusBar();
    // A closed client list (another tab shown, a failed search) has no client: -1 empties the lists.
    const qint64 key = query().isOpen() ? currentInt(QStringLiteral("ugyfel"), -1) : -1;
    if (key == m_rxClient)
        return; // the same client as before: its rows are already listed
    m_rxClient = key;
    for (ListQuery &q : m_rxQueries) {
        if (key < 0) {
            q.close();
        } else {
            q.setWhere(QStringLiteral("ugyfel = %1").arg(key));
            q.open();
        }
    }
}

void ClientsPage::newRecord()
{
    const qint64 key = EditClient(-1, window());
    if (key != -1)
        showSaved(key);
}

void ClientsPage::editRecord()
{
    // Without a row this is -1: the editor of a new client.
    const qint64 key = EditClient(currentKey(), window());
    if (key != -1)
        showSaved(key);
}

void ClientsPage::showClient()
{
    // Without a row -1: a new client.
    const qint64 key = EditClient(clientKey(), window());
    if (key != -1)
        showSaved(key);
}

void ClientsPage::removeRow(qint64 key) { ClientStore(Connection::main()).markClientDeleted(key); }

// The client list as the window lists it now.
void ClientsPage::print(bool toPrinter)
{
    if (query().isOpen())
        PrintClientList(toPrinter, query().sql(), window());
}

void ClientsPage::toggleReminder()
{
    const qint64 key = currentKey();
    if (key < 0)
        return;
    if (model()->rows().isNull(grid()->currentRowIndex(), QStringLiteral("dat_figyelmeztet"))) {
        QDate d = QDate::currentDate().addDays(appState().figynap);
        if (AskDate(d, {}, window()))
            ClientStore(Connection::main()).setReminder(key, d);
    } else {
        ClientStore(Connection::main()).setReminder(key, QDate());
    }
    refresh(key);
}

void ClientsPage::setLastVisit()
{
    const qint64 key = currentKey();
    if (key < 0)
        return;
    QDate d = QDate::currentDate();
    if (!AskDate(d, {}, window()))
        return;
    ClientStore(Connection::main()).setLastVisit(key, d);
    refresh(key);
}

void ClientsPage::newWorkOrder()
{
    const int type = ChooseOption(0, WorkOrderTypeChoices(), QStringLiteral("Munkalap típusa"), window());
    if (type == -1)
        return;
    const qint64 client = currentKey();
    EditWorkOrder(-1, client, type + 1, window());
    showSaved(client);
}

void ClientsPage::editPrescription(int command)
{
    // aSzerk1..aSzerk4 edit near, distance, contact-lens and special prescriptions.
    static const int kindOfCommand[5] = {-1, 1, 0, 3, 2};
    const PrescriptionKind &kind = kPrescriptionKinds[kindOfCommand[command]];
    const qint64 client = hasCurrentRow() ? currentInt(QStringLiteral("ugyfel"), 0) : 0;
    if (EditPrescription(client, kind.table, kind.captionText(), window())) {
        m_rxClient = -2; // re-read the four lists
        refreshPrescriptions();
    }
}

} // namespace qo
