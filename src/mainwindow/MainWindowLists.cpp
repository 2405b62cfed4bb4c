// The three lists of the main window: queries, search at every keystroke,
// sorting by a title click, row colours and the prescription lists.
#include "clients/ClientStore.h"
#include "config/AppState.h"
#include "db/Kinds.h"
#include "workorders/WorkOrderStore.h"
#include "db/Connection.h"
#include "ui/Grid.h"
#include "ui/SearchList.h"
#include "db/SqlText.h"
#include "ui/MessageBoxes.h"
#include "mainwindow/MainWindow.h"
#include "workorders/WorkOrderHistory.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>

namespace qo {

namespace {

const QColor kLightRed(255, 221, 221);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);

const QString kClientSearch = ClientStore::clientList().searchColumns;
const QString kWorkOrderSearch = WorkOrderStore::mainList().searchColumns;
const QString kExamSearch = ClientStore::examinationList().searchColumns;

} // namespace

void MainWindow::setupLists()
{
    m_qryU = ListQuery(ClientStore::clientList().lines, &m_modelU, ClientStore::clientList().keyField);
    m_modelU.setColumns({{QStringLiteral("ugyfel_nev"), QStringLiteral("Ügyfél")},
                         {QStringLiteral("emil"), QStringLiteral("E-mail")},
                         {QStringLiteral("telefon"), QStringLiteral("Telefon")},
                         {QStringLiteral("dat_utolso"), QStringLiteral("Utoljára")},
                         {QStringLiteral("dat_figyelmeztet"), QStringLiteral("Figyelmeztetés")},
                         {QStringLiteral("szuldatum"), QStringLiteral("Született")},
                         {QStringLiteral("irszvaroscim"), QStringLiteral("Cím")}});
    // A due reminder: blue text on light red, yellow text in the selected row.
    m_modelU.setStyler([](const RowSet &rs, int row, int, bool marked, CellStyle &s) {
        const QDate d = rs.toDate(row, QStringLiteral("dat_figyelmeztet"));
        if (!d.isValid() || d > QDate::currentDate())
            return;
        s.selectedForeground = kYellow;
        s.foreground = kBlue;
        if (!marked)
            s.background = kLightRed;
    });
    m_grids[TabClients]->setGridModel(&m_modelU);
    m_grids[TabClients]->setColumnShares({0.20, 0.15, 0.10, 0.10, 0.10, 0.10, 0.25}, 36);

    m_qryMLap = ListQuery(WorkOrderStore::mainList().lines, &m_modelMLap, WorkOrderStore::mainList().keyField);
    m_modelMLap.setColumns({{QStringLiteral("munkalap"), QStringLiteral("Sorszám")},
                            {QStringLiteral("ugyfel_nev"), QStringLiteral("Ügyfél")},
                            {QStringLiteral("telefon"), QStringLiteral("Telefon")},
                            {QStringLiteral("mlaptipus_nev"), QStringLiteral("Típus")},
                            {QStringLiteral("datum"), QStringLiteral("Dátum")},
                            {QStringLiteral("dat_hatid"), QStringLiteral("Határidő")},
                            {QStringLiteral("dat_kesz"), QStringLiteral("Elkészült")},
                            {QStringLiteral("osszar"), QStringLiteral("Össz ár")},
                            {QStringLiteral("eloleg"), QStringLiteral("Előleg")},
                            {QStringLiteral("fizetendo"), QStringLiteral("Fizetendő")},
                            {QStringLiteral("statusz_nev"), QStringLiteral("Státusz")}});
    m_modelMLap.setStyler([](const RowSet &rs, int row, int, bool marked, CellStyle &s) {
        StyleWorkOrderRow(rs, row, marked, s);
    });
    m_grids[TabWorkOrders]->setGridModel(&m_modelMLap);
    m_grids[TabWorkOrders]->setColumnShares({0.05, 0.19, 0.10, 0.15, 0.08, 0.08, 0.08, 0.06, 0.06, 0.06, 0.09}, 36);

    m_qryVizsgalat = ListQuery(ClientStore::examinationList().lines, &m_modelVizsgalat, ClientStore::examinationList().keyField);
    m_modelVizsgalat.setColumns({{QStringLiteral("vizsgalat"), QStringLiteral("Sorszám"), QStringLiteral("00000")},
                                 {QStringLiteral("datum"), QStringLiteral("Dátum")},
                                 {QStringLiteral("ugyfel_nev"), QStringLiteral("Ügyfél")},
                                 {QStringLiteral("anamnezisstr"), QStringLiteral("Anamnézis")},
                                 {QStringLiteral("diagnozisstr"), QStringLiteral("Diagnózis")}});
    m_grids[TabExams]->setGridModel(&m_modelVizsgalat);
    m_grids[TabExams]->setColumnShares({0.15, 0.15, 0.20, 0.25, 0.25}, 40);

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
        m_rxGrids[i]->setGridModel(&m_rxModels[i]);
        m_rxGrids[i]->setColumnShares({0.20, 0.16, 0.16, 0.16, 0.16, 0.16}, 40);
        m_rxGrids[i]->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    }

    for (int tab = 0; tab < 3; ++tab) {
        Grid *g = m_grids[tab];
        connect(g, &Grid::typedToSearch, this, &MainWindow::typedIntoList);
        connect(g, &Grid::titleClicked, this, [this, tab](int col) { guarded([&] { titleClicked(tab, col); }); });
        connect(g, &Grid::rowActivated, this, [this] { action(QStringLiteral("aSzerkeszt"))->trigger(); });
    }
    connect(m_grids[TabClients], &Grid::currentRowChanged, this, [this] {
        guarded([this] { RefreshPrescriptions(); });
    });
    connect(m_grids[TabWorkOrders], &Grid::currentRowChanged, this, &MainWindow::updateStatusBar);
    connect(m_grids[TabExams], &Grid::currentRowChanged, this, &MainWindow::updateStatusBar);
    for (int tab = 0; tab < 3; ++tab)
        m_grids[tab]->gridModel()->setMarkedColumn(0);
}

ListQuery &MainWindow::query(int tab)
{
    return tab == TabClients ? m_qryU : tab == TabWorkOrders ? m_qryMLap : m_qryVizsgalat;
}

// Standing on a row reports the row change, which updates the status bar (and
// the prescription lists), also when the list is empty.
void MainWindow::openList(int tab)
{
    query(tab).open();
    m_grids[tab]->setCurrentRowIndex(0);
}

bool MainWindow::refreshList(int tab, qint64 key)
{
    if (activeTab() != tab)
        return false; // a list that is not shown is opened when its tab is chosen
    ListQuery &q = query(tab);
    const QString keyField = tab == TabClients ? QStringLiteral("ugyfel")
        : tab == TabWorkOrders                 ? QStringLiteral("munkalap")
                                               : QStringLiteral("vizsgalat");
    // When the row is gone (deleted, or it left the status tab) its place goes
    // to the row after it, or the one before it at the end of the list.
    const int oldRow = m_grids[tab]->currentRowIndex();
    const RowSet &held = q.model()->rows();
    const qint64 next = oldRow >= 0 && oldRow + 1 < held.rowCount() ? held.toInt(oldRow + 1, keyField, -1) : -1;
    const qint64 previous = oldRow > 0 && oldRow <= held.rowCount() ? held.toInt(oldRow - 1, keyField, -1) : -1;
    if (tab == TabClients)
        m_rxClient = -2; // a refresh re-reads the prescriptions as well
    q.open();
    int row = key >= 0 ? q.locateKey(keyField, key) : -1;
    const bool found = row >= 0;
    for (const qint64 neighbour : {next, previous})
        if (row < 0 && neighbour >= 0)
            row = q.locateKey(keyField, neighbour);
    if (row < 0 && q.model()->rowCount() > 0)
        row = 0;
    m_grids[tab]->setCurrentRowIndex(row);
    return found;
}

void MainWindow::showSaved(int tab, qint64 key)
{
    if (refreshList(tab, key) || activeTab() != tab || m_search->text().isEmpty())
        return;
    // The search excludes the saved row: clear it (which re-queries) so that
    // the next command acts on this row, not on the one that happened to be current.
    m_search->clear();
    if (refreshList(tab, key))
        statusBar()->showMessage(SavedRowSearchClearedText(), 10000);
}

// Every change of the search text re-queries the active list on the server.
void MainWindow::onSearchTextChanged()
{
    guarded([this] { searchActive(); });
}

void MainWindow::searchActive()
{
    const int tab = activeTab();
    const QString text = m_search->text();
    ListQuery &q = query(tab);
    QString sortField;
    switch (tab) {
    case TabClients:
        q.setWhere(m_baseU + BuildLikeFilter(kClientSearch, text));
        sortField = m_sortU;
        break;
    case TabWorkOrders:
        q.setWhere(m_statusCond + BuildLikeFilter(kWorkOrderSearch, text));
        sortField = m_sortMLap;
        break;
    default:
        q.setWhere(m_baseVizsgalat + BuildLikeFilter(kExamSearch, text));
        sortField = m_sortVizsgalat;
        break;
    }
    q.open(); // replaces the rows; emptying the list first would only report a row change more
    const int row = text.isEmpty() ? 0 : q.locatePrefix(sortField, text);
    m_grids[tab]->setCurrentRowIndex(row >= 0 ? row : 0);
}

void MainWindow::typedIntoList(const QString &ch)
{
    m_search->setFocus();
    m_search->setText(ch);
    m_search->setCursorPosition(ch.size());
}

void MainWindow::titleClicked(int tab, int column)
{
    GridModel *model = m_grids[tab]->gridModel();
    const QString field = model->fieldOf(column);
    if (field.isEmpty())
        return;
    ListQuery &q = query(tab);
    if (tab == TabClients) {
        m_sortU = field;
        q.setOrderBy(field);
    } else if (tab == TabWorkOrders) {
        m_sortMLap = field;
        q.setOrderBy(field == QLatin1String("munkalap") ? QStringLiteral("munkalap DESC")
                                                         : field + QStringLiteral(",munkalap DESC"));
    } else {
        m_sortVizsgalat = field;
        q.setOrderBy(field);
    }
    q.open();
    m_grids[tab]->setCurrentRowIndex(0);
    model->setMarkedColumn(column);
    m_search->setFocus();
}

void MainWindow::RefreshPrescriptions()
{
    updateStatusBar();
    // A closed client list (another tab shown, a failed search) has no client: -1 empties the lists.
    const qint64 key = m_qryU.isOpen() ? rowInt(TabClients, QStringLiteral("ugyfel"), -1) : -1;
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

void MainWindow::updateStatusBar()
{
    // Every tab shows its own list's position; a count left from another tab would mislead.
    m_statusPanels[0]->setText(RecordPositionText(m_grids[activeTab()]));
}

void MainWindow::TabControl1Change(int tab)
{
    m_qryU.close(); // its row change empties the prescription lists
    m_qryMLap.close();
    m_qryVizsgalat.close();
    m_pages->setCurrentIndex(tab);
    if (m_aborted)
        return;
    guarded([this, tab] { openList(tab); });
}

void MainWindow::TabControl2Change(int index)
{
    // Tab 0 shows every order; the other tabs are numbered as their statuses.
    m_statusCond = index == 0 ? QStringLiteral("(statusz > 0)") : QStringLiteral("(statusz = %1)").arg(index);
    if (m_aborted || activeTab() != TabWorkOrders)
        return;
    guarded([this] {
        if (!m_search->text().isEmpty()) {
            m_search->clear(); // runs the search with an empty text
            return;
        }
        m_qryMLap.close();
        m_qryMLap.setWhere(m_statusCond);
        openList(TabWorkOrders);
    });
}

QString MainWindow::rowText(int tab, const QString &field) const
{
    const int row = m_grids[tab]->currentRowIndex();
    const GridModel *m = m_grids[tab]->gridModel();
    return row < 0 ? QString() : m->rows().text(row, field);
}

qint64 MainWindow::rowInt(int tab, const QString &field, qint64 def) const
{
    const int row = m_grids[tab]->currentRowIndex();
    const RowSet &rs = m_grids[tab]->gridModel()->rows();
    return row < 0 ? def : rs.toInt(row, field, def);
}

qint64 MainWindow::currentKey(int tab) const
{
    const QString field = tab == TabClients ? QStringLiteral("ugyfel")
        : tab == TabWorkOrders              ? QStringLiteral("munkalap")
                                            : QStringLiteral("vizsgalat");
    return rowInt(tab, field, -1);
}

} // namespace qo
