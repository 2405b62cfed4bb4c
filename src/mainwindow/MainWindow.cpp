// The frame of the main window: search bar, tabs, the three pages, the
// message panel and the status bar.
#include "mainwindow/MainListPage.h"
#include "mainwindow/MainWindow.h"
#include "ui/TextGuards.h"
#include "ui/Pictures.h"
#include "ui/WindowKeys.h"
#include "db/Kinds.h"
#include "export/ExportDialog.h"
#include "reports/ReportOutput.h"
#include "ui/Grid.h"
#include "mainwindow/MessagePanel.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace qo {

namespace {

// A page of the tab row: no margins, its toolbar starting with Új, Szerkeszt, Töröl.
QToolBar *pageToolBar(QWidget *page, QVBoxLayout *v)
{
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto *tb = new QToolBar(page);
    tb->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tb->setIconSize(QSize(16, 16));
    for (const char *name : {"aUj", "aSzerkeszt", "aTorol"})
        tb->addAction(page->window()->findChild<QAction *>(QString::fromLatin1(name)));
    tb->addSeparator();
    return tb;
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(WindowKeys::kMainWindow);
    setWindowTitle(QStringLiteral("Quorvin - Optika"));
    InstallIconTheme(); // before the first icon is asked for

    m_timer2.setInterval(1000);
    connect(&m_timer2, &QTimer::timeout, this, [this] {
        if (m_aborted) {
            m_timer2.stop();
            close();
            QCoreApplication::quit(); // the window may never have been shown
        }
    });
    m_timerVerzio.setSingleShot(true);
    m_timerVerzio.setInterval(5000);
    m_timerHirek.setSingleShot(true);
    m_timerHirek.setInterval(10000);

    buildActions();

    auto *central = new QWidget(this);
    auto *v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    auto *searchBar = new QWidget(central);
    auto *sh = new QHBoxLayout(searchBar);
    sh->setContentsMargins(4, 3, 4, 3);
    m_search = new QLineEdit(searchBar);
    InstallStorableText(m_search); // the main window has no form behaviour of its own
    m_search->setObjectName(QStringLiteral("Edit1"));
    m_search->setClearButtonEnabled(true);
    m_search->setPlaceholderText(QStringLiteral("Keresés..."));
    m_search->setMinimumWidth(260);
    m_search->installEventFilter(this);
    m_heading = new QLabel(searchBar);
    m_heading->setObjectName(QStringLiteral("Label1"));
    QFont bold = m_heading->font();
    bold.setBold(true);
    m_heading->setFont(bold);
    sh->addWidget(m_search, 1);
    sh->addStretch(2);
    sh->addWidget(m_heading);
    v->addWidget(searchBar);

    m_tabControl1 = new QTabBar(central);
    m_tabControl1->setObjectName(QStringLiteral("TabControl1"));
    m_tabControl1->setExpanding(false);
    m_tabControl1->setDrawBase(true);
    m_tabControl1->addTab(QIcon::fromTheme(QStringLiteral("system-users")), QStringLiteral("Ügyfelek"));
    m_tabControl1->addTab(QIcon::fromTheme(QStringLiteral("document-properties")), QStringLiteral("Munkalapok"));
    m_tabControl1->addTab(QIcon::fromTheme(QStringLiteral("edit-find")), QStringLiteral("Vizsgálatok"));
    v->addWidget(m_tabControl1);

    m_pages = new QStackedWidget(central);
    m_pages->addWidget(buildClientsPage());
    m_pages->addWidget(buildWorkOrdersPage());
    m_pages->addWidget(buildExamsPage());
    v->addWidget(m_pages, 1);

    m_panel = new MessagePanel(central);
    m_panel->hide();
    v->addWidget(m_panel);
    setCentralWidget(central);

    for (int i = 0; i < 4; ++i) {
        m_statusPanels[i] = new QLabel(this);
        m_statusPanels[i]->setMinimumWidth(i == 0 ? 120 : 80);
        if (i == 0)
            m_statusPanels[i]->setAlignment(Qt::AlignCenter);
        statusBar()->addWidget(m_statusPanels[i], i == 3 ? 1 : 0);
    }

    buildMenusAndToolbars();
    setupLists();
    routeCommands();
    // The reports' "Excelbe" choice writes their rows through the export dialog.
    SetReportExporter([](const RowSet &rows, QWidget *parent) { ShowExportDialog(rows, QString(), parent); });
    connect(m_tabControl1, &QTabBar::currentChanged, this, &MainWindow::TabControl1Change);
    connect(m_tabControl2, &QTabBar::currentChanged, this, &MainWindow::TabControl2Change);
    connect(m_search, &QLineEdit::textChanged, this, &MainWindow::onSearchTextChanged);

    startUp();
}

MainWindow::~MainWindow() = default;

QWidget *MainWindow::buildClientsPage()
{
    auto *page = new QWidget(this);
    auto *v = new QVBoxLayout(page);
    QToolBar *tb = pageToolBar(page, v);
    tb->addActions({action(QStringLiteral("aMostJart")), action(QStringLiteral("aFigyelmeztet"))});
    tb->addSeparator();
    tb->addAction(action(QStringLiteral("aMLapNeki")));
    tb->addSeparator();
    tb->addAction(action(QStringLiteral("aMlapjai")));
    v->addWidget(tb);

    auto *split = new QSplitter(Qt::Horizontal, page);
    m_grids[TabClients] = new Grid(split);
    m_grids[TabClients]->setObjectName(QStringLiteral("DBGrid1"));
    split->addWidget(m_grids[TabClients]);

    auto *rx = new QWidget(split);
    auto *rv = new QVBoxLayout(rx);
    rv->setContentsMargins(4, 0, 2, 2);
    rv->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        auto *h = new QLabel(kPrescriptionKinds[i].captionText(), rx);
        QFont f = h->font();
        f.setBold(true);
        h->setFont(f);
        rv->addWidget(h);
        m_rxGrids[i] = new Grid(rx);
        m_rxGrids[i]->setObjectName(QStringLiteral("DBGridRx%1").arg(i + 1));
        m_rxGrids[i]->setTypeToSearch(false);
        m_rxGrids[i]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_rxGrids[i]->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        rv->addWidget(m_rxGrids[i], 1);
    }
    split->addWidget(rx);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setSizes({900, 330});
    v->addWidget(split, 1);
    return page;
}

QWidget *MainWindow::buildWorkOrdersPage()
{
    auto *page = new QWidget(this);
    auto *v = new QVBoxLayout(page);
    QToolBar *tb = pageToolBar(page, v);
    tb->addActions({action(QStringLiteral("aNyomtat")), action(QStringLiteral("aNyomtatKep"))});
    tb->addSeparator();
    tb->addAction(action(QStringLiteral("aStatusz")));
    tb->addSeparator();
    tb->addAction(action(QStringLiteral("aUgyfelAdatlap")));
    tb->addSeparator();
    tb->addAction(action(QStringLiteral("aMlapjai")));
    v->addWidget(tb);
    m_grids[TabWorkOrders] = new Grid(page);
    m_grids[TabWorkOrders]->setObjectName(QStringLiteral("DBGrid2"));
    v->addWidget(m_grids[TabWorkOrders], 1);
    m_tabControl2 = new QTabBar(page);
    m_tabControl2->setObjectName(QStringLiteral("TabControl2"));
    m_tabControl2->setShape(QTabBar::RoundedSouth);
    m_tabControl2->setExpanding(false);
    // "Összes", "Lejárt" beside it, then one tab per status; each tab's data
    // is its status number (0 every order, kOverdueTab the overdue ones).
    const std::pair<const char *, int> tabs[] = {{"Összes", 0},
                                                 {"Lejárt", WorkOrdersPage::kOverdueTab},
                                                 {"Beérkezett", int(WorkOrderStatus::Received)},
                                                 {"Kész", int(WorkOrderStatus::Ready)},
                                                 {"Átadva", int(WorkOrderStatus::HandedOver)}};
    for (const auto &[caption, status] : tabs)
        m_tabControl2->setTabData(m_tabControl2->addTab(QString::fromUtf8(caption)), status);
    m_tabControl2->setCurrentIndex(2);
    v->addWidget(m_tabControl2);
    return page;
}

QWidget *MainWindow::buildExamsPage()
{
    auto *page = new QWidget(this);
    auto *v = new QVBoxLayout(page);
    QToolBar *tb = pageToolBar(page, v);
    tb->addActions({action(QStringLiteral("aNyomtat")), action(QStringLiteral("aNyomtatKep"))});
    tb->addSeparator();
    tb->addAction(action(QStringLiteral("aUgyfelAdatlap")));
    v->addWidget(tb);
    m_grids[TabExams] = new Grid(page);
    m_grids[TabExams]->setObjectName(QStringLiteral("DBGrid7"));
    v->addWidget(m_grids[TabExams], 1);
    return page;
}

int MainWindow::activeTab() const { return m_tabControl1->currentIndex(); }

void MainWindow::setActiveTab(int tab)
{
    if (tab == activeTab())
        TabControl1Change(tab);
    else
        m_tabControl1->setCurrentIndex(tab);
}

int MainWindow::statusTab() const { return m_tabControl2->tabData(m_tabControl2->currentIndex()).toInt(); }

void MainWindow::setStatusTab(int status)
{
    for (int i = 0; i < m_tabControl2->count(); ++i)
        if (m_tabControl2->tabData(i).toInt() == status)
            m_tabControl2->setCurrentIndex(i);
}

Grid *MainWindow::grid(int tab) const { return m_grids[tab]; }

QString MainWindow::statusText() const { return m_statusPanels[0]->text(); }

QAction *MainWindow::action(const QString &name) const { return m_actions.value(name); }

bool MainWindow::eventFilter(QObject *o, QEvent *e)
{
    if (o == m_search && e->type() == QEvent::ShortcutOverride) {
        // The window's commands win over the search box's own editing keys
        // (with the X11 key scheme Ctrl+E would only move the caret to the end).
        const QKeySequence typed(static_cast<QKeyEvent *>(e)->keyCombination());
        for (const QAction *a : std::as_const(m_actions))
            if (a->isEnabled() && a->shortcuts().contains(typed)) {
                e->ignore();
                return true;
            }
    }
    // Up, Down, Page Up and Page Down in the search box go to the active list.
    if (o == m_search && e->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent *>(e)->key();
        if (k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_PageUp || k == Qt::Key_PageDown) {
            currentPage()->grid()->setFocus();
            return true;
        }
    }
    return QMainWindow::eventFilter(o, e);
}

void MainWindow::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    for (Grid *g : m_grids)
        g->applyColumnShares();
    for (Grid *g : m_rxGrids)
        g->applyColumnShares();
}

} // namespace qo
