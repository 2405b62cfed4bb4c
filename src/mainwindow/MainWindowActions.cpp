// The named commands of the main window with their captions, shortcuts,
// menus, toolbars and context menus.
#include "admin/SqlConsole.h"
#include "admin/AuditLogList.h"
#include "clients/PrescriptionHistoryWindow.h"
#include "clients/ReminderList.h"
#include "db/Connection.h"
#include "reports/PeriodDialog.h"
#include "reports/RevenueChart.h"
#include "workorders/WorkOrderStore.h"
#include "ui/Grid.h"
#include "mainwindow/MainListPage.h"
#include "mainwindow/MainWindow.h"
#include "masterdata/WorkOrderTypeList.h"
#include "masterdata/MasterDataList.h"
#include "platform/Desktop.h"
#include "workorders/OverdueOrders.h"
#include "workorders/WorkOrderHistory.h"

#include <QAction>
#include <QMenuBar>
#include <QToolBar>

namespace qo {

QAction *MainWindow::makeAction(const char *name, const QString &caption, const QKeySequence &key,
                               const QString &hint, const QString &icon)
{
    auto *a = new QAction(caption, this);
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    // Qt would strip the "..." of "Excelbe... (CSV)" from buttons and hints.
    a->setIconText(caption);
    a->setToolTip(hint.isEmpty() ? caption : hint);
    if (!icon.isEmpty())
        a->setIcon(QIcon::fromTheme(icon));
    m_actions.insert(a->objectName(), a);
    addAction(a); // shortcuts work wherever the focus is in the window
    return a;
}

void MainWindow::buildActions()
{
    makeAction("aUj", QStringLiteral("Új"), Qt::Key_Insert, {}, QStringLiteral("document-new"));
    makeAction("aSzerkeszt", QStringLiteral("Szerkeszt"), Qt::Key_F2, {}, QStringLiteral("document-edit"));
    makeAction("aTorol", QStringLiteral("Töröl"), QKeySequence(Qt::CTRL | Qt::Key_Delete), {}, QStringLiteral("edit-delete"));
    makeAction("aNyomtat", QStringLiteral("Nyomtat"), QKeySequence(Qt::CTRL | Qt::Key_P), {}, QStringLiteral("document-print"));
    makeAction("aNyomtatKep", QStringLiteral("Nyomtatási kép"), QKeySequence(Qt::CTRL | Qt::Key_K), {}, QStringLiteral("document-print-preview"));
    makeAction("aFrissit", QStringLiteral("Frissít"), Qt::Key_F5, {}, QStringLiteral("view-refresh"));
    makeAction("aExcelbe", QStringLiteral("Excelbe... (CSV)"), QKeySequence(Qt::CTRL | Qt::Key_E), {}, QStringLiteral("x-office-spreadsheet"));
    makeAction("aHtml", QStringLiteral("Html export"), QKeySequence(Qt::CTRL | Qt::Key_H), {}, QStringLiteral("text-html"));
    makeAction("aBoritek", QStringLiteral("Boríték"), QKeySequence(Qt::CTRL | Qt::Key_I), QStringLiteral("Boríték nyomtatás"));
    makeAction("aAjanlott", QStringLiteral("Ajánlott postai szelvény kitöltés"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    makeAction("aMostJart", QStringLiteral("Most járt itt"), Qt::Key_F8, QStringLiteral("Most járt nálam..."), QStringLiteral("appointment-new"));
    makeAction("aFigyelmeztet", QStringLiteral("Figyelmeztetés"), Qt::Key_F7, QStringLiteral("Figyelmeztetés dátuma"), QStringLiteral("appointment-soon"));
    makeAction("aMLapNeki", QStringLiteral("Munkalap neki"), Qt::Key_F4, QStringLiteral("Új munkalap"), QStringLiteral("document-new"));
    makeAction("aMlapjai", QStringLiteral("Előzmények"), Qt::Key_F9, QStringLiteral("Munkalapjai"), QStringLiteral("document-open-recent"));
    makeAction("aStatusz", QStringLiteral("Státusz léptet"), Qt::Key_F3, QStringLiteral("Státusz"), QStringLiteral("go-next"));
    makeAction("aUgyfelAdatlap", QStringLiteral("Ügyfél adatlap"), Qt::Key_F6, QStringLiteral("Ügyfél"), QStringLiteral("user-info"));
    for (int i = 1; i <= 4; ++i)
        makeAction(QStringLiteral("aSzerk%1").arg(i).toLatin1().constData(), QStringLiteral("Szerkeszt"));
    // Subject access: everything held about the client, in one file for the person.
    makeAction("aAdatkikeres", QStringLiteral("Adatkikérés"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A),
               QStringLiteral("Az ügyfél összes adata egy fájlban"), QStringLiteral("document-export"));
    makeAction("aKorabbiReceptek", QStringLiteral("Korábbi receptek"), QKeySequence(Qt::CTRL | Qt::Key_R),
               QStringLiteral("A recept korábbi állapotai"), QStringLiteral("document-open-recent"));
    makeAction("aUjEbbol", QStringLiteral("Új munkalap ebből"), QKeySequence(Qt::SHIFT | Qt::Key_F4),
               QStringLiteral("Új munkalap a kijelölt lencséjével, keretével és PD-jével"), QStringLiteral("edit-copy"));
    makeAction("aArbevetel", QStringLiteral("Árbevétel"));
    makeAction("aEmlekezteto", QStringLiteral("Emlékeztető lista"));
    makeAction("aArbevetelGrafikon", QStringLiteral("Árbevétel grafikon"));
    makeAction("aFogyas", QStringLiteral("Fogyások"));
    makeAction("aLencseFogyas", QStringLiteral("Lencse fogyások"));
    makeAction("aLencseFogyas2", QStringLiteral("Lencse fogyások (egy márka)"));
    makeAction("aKFogyas", QStringLiteral("Kontaktlencse fogyások"));
    makeAction("aKFogyas2", QStringLiteral("Kontaktlencse fogyások (egy márka)"));
    makeAction("aNemVittEl", QStringLiteral("Nem vitték el"), {}, QStringLiteral("Elkészült, de el nem vitt munkalapok"));
    makeAction("aLencsemarka", QStringLiteral("Lencse márkák"));
    makeAction("aKeretMarka", QStringLiteral("Keret márkák"));
    makeAction("aTorzsMLapTipus", QStringLiteral("Munkalap típusok"));
    makeAction("aNovel", QStringLiteral("Betűméret növelése"), Qt::Key_F11, {}, QStringLiteral("zoom-in"));
    makeAction("aCsokkent", QStringLiteral("Betűméret csökkentése"), Qt::Key_F12, {}, QStringLiteral("zoom-out"));
    makeAction("aFelhasznalo", QStringLiteral("Felhasználók"));
    makeAction("aNaplo", QStringLiteral("Napló"));
    makeAction("aAdatbazis", QStringLiteral("Adatbázisok"));
    makeAction("aSQL", QStringLiteral("Szabad lekérdezés"));
    makeAction("aBeallit", QStringLiteral("Beállítások"), QKeySequence(Qt::ALT | Qt::Key_Return));
    makeAction("aSugo", QStringLiteral("Súgó"), Qt::Key_F1, {}, QStringLiteral("help-contents"));
    makeAction("aHonlap", QStringLiteral("Mirelta honlapja"), {}, {}, QStringLiteral("go-home"));
    makeAction("aLevel", QStringLiteral("Levélküldés Mireltának"), {}, {}, QStringLiteral("mail-send"));
    makeAction("aNevjegy", QStringLiteral("Névjegy"), {}, {}, QStringLiteral("help-about"));
    makeAction("aBezar", QStringLiteral("Bezár"), {}, {}, QStringLiteral("window-close"));
    // Alt+Enter from the numeric keypad as well.
    action(QStringLiteral("aBeallit"))->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter)});
}

void MainWindow::buildMenusAndToolbars()
{
    auto a = [this](const char *n) { return action(QString::fromLatin1(n)); };
    auto fill = [&](QWidget *w, std::initializer_list<const char *> names) {
        for (const char *n : names) {
            if (!*n) {
                auto *sep = new QAction(w);
                sep->setSeparator(true);
                w->addAction(sep);
            } else {
                w->addAction(a(n));
            }
        }
    };
    QMenuBar *mb = menuBar();
    fill(mb->addMenu(QStringLiteral("Ügyfelek")),
         {"aUj", "aSzerkeszt", "aTorol", "", "aNyomtatKep", "aNyomtat", "", "aFigyelmeztet", "aMostJart", "", "aKorabbiReceptek", "",
          "aAdatkikeres", "", "aBezar"});
    fill(mb->addMenu(QStringLiteral("Törzsadatok")), {"aLencsemarka", "aKeretMarka", "aTorzsMLapTipus"});
    fill(mb->addMenu(QStringLiteral("Nézet")), {"aNovel", "aCsokkent"});
    fill(mb->addMenu(QStringLiteral("Nyomtatások")),
         {"aArbevetel", "aArbevetelGrafikon", "", "aFogyas", "aLencseFogyas", "aLencseFogyas2", "aKFogyas", "aKFogyas2", "",
          "aNemVittEl", "aEmlekezteto"});
    fill(mb->addMenu(QStringLiteral("Rendszer")), {"aFelhasznalo", "aSQL", "aAdatbazis", "aNaplo", "", "aBeallit"});
    fill(mb->addMenu(QStringLiteral("Súgó")), {"aSugo", "", "aHonlap", "aLevel", "", "aNevjegy"});

    QToolBar *tb = addToolBar(QStringLiteral("Általános"));
    tb->setObjectName(QStringLiteral("ToolBar1"));
    tb->setMovable(false);
    // Icons with hints; a command whose icon the desktop theme lacks shows its caption.
    tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tb->setIconSize(QSize(16, 16));
    fill(tb, {"aFrissit", "", "aNovel", "aCsokkent", "", "aNyomtat", "aNyomtatKep", "", "aExcelbe", "aHtml", "",
              "aSugo", "", "aHonlap", "aLevel", "", "aBezar"});

    fill(m_grids[TabClients], {"aUj", "aSzerkeszt", "aTorol", "", "aMLapNeki", "", "aNyomtat", "aNyomtatKep",
                               "aExcelbe", "", "aBoritek", "aAjanlott", "", "aMostJart", "aFigyelmeztet", "",
                               "aKorabbiReceptek", "aAdatkikeres"});
    fill(m_grids[TabWorkOrders], {"aUj", "aSzerkeszt", "aTorol", "", "aNyomtat", "aNyomtatKep", "", "aStatusz", "",
                                  "aUgyfelAdatlap", "aMlapjai", "", "aUjEbbol"});
    fill(m_grids[TabExams], {"aUj", "aSzerkeszt", "aTorol", "", "aNyomtat", "aNyomtatKep", "", "aUgyfelAdatlap"});
    // Each prescription list edits its own kind: távol aSzerk2, közel aSzerk1, kontakt aSzerk3, speciális aSzerk4.
    const char *rx[4] = {"aSzerk2", "aSzerk1", "aSzerk4", "aSzerk3"};
    for (int i = 0; i < 4; ++i) {
        m_rxGrids[i]->addAction(a(rx[i]));
        m_rxGrids[i]->addAction(a("aKorabbiReceptek"));
    }
}

void MainWindow::routeCommands()
{
    auto on = [this](const char *name, void (MainWindow::*f)()) {
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this, [this, f] { guarded([this, f] { (this->*f)(); }); });
    };
    routeRecordCommands();
    on("aFrissit", &MainWindow::aFrissitExecute);
    on("aMlapjai", &MainWindow::aMlapjaiExecute);
    on("aNovel", &MainWindow::aNovelExecute);
    on("aCsokkent", &MainWindow::aCsokkentExecute);
    on("aBeallit", &MainWindow::aBeallitExecute);
    on("aFelhasznalo", &MainWindow::aFelhasznaloExecute);
    on("aAdatbazis", &MainWindow::aAdatbazisExecute);
    on("aNevjegy", &MainWindow::aNevjegyExecute);
    on("aExcelbe", &MainWindow::aExcelbeExecute);
    on("aHtml", &MainWindow::aHtmlExecute);
    on("aAdatkikeres", &MainWindow::aAdatkikeresExecute);
    connect(action(QStringLiteral("aBoritek")), &QAction::triggered, this, [this] { guarded([this] { aBoritekExecute(false); }); });
    connect(action(QStringLiteral("aAjanlott")), &QAction::triggered, this, [this] { guarded([this] { aBoritekExecute(true); }); });
    for (const char *n : {"aArbevetel", "aFogyas", "aLencseFogyas", "aLencseFogyas2", "aKFogyas", "aKFogyas2"})
        connect(action(QString::fromLatin1(n)), &QAction::triggered, this,
                [this, n] { guarded([this, n] { reportExecute(QString::fromLatin1(n)); }); });
    connect(action(QStringLiteral("aEmlekezteto")), &QAction::triggered, this,
            [this] { guarded([this] { ShowReminderList(this); }); });
    connect(action(QStringLiteral("aArbevetelGrafikon")), &QAction::triggered, this, [this] {
        guarded([this] {
            // A year by default; the period dialog allows any other.
            const auto [from0, to0] = QuickPeriodRange(QuickPeriod::ThisYear, PeriodToday());
            QDate from = from0, to = to0;
            if (AskPeriod(from, to, {}, this))
                ShowRevenueChart(from, to, WorkOrderStore(Connection::main()).monthlyRevenue(from, to), this);
        });
    });
    connect(action(QStringLiteral("aBezar")), &QAction::triggered, this, &QWidget::close);
    connect(action(QStringLiteral("aLencsemarka")), &QAction::triggered, this, [this] {
        guarded([this] { OpenMasterDataList(-1, false, QStringLiteral("lencsemarka"), QStringLiteral("Lencse márka"), nullptr, this); });
    });
    connect(action(QStringLiteral("aKeretMarka")), &QAction::triggered, this, [this] {
        guarded([this] { OpenMasterDataList(-1, false, QStringLiteral("keretmarka"), QStringLiteral("Keret márka"), nullptr, this); });
    });
    connect(action(QStringLiteral("aNemVittEl")), &QAction::triggered, this,
            [this] { guarded([this] { ShowUncollectedOrders(this); }); });
    connect(action(QStringLiteral("aTorzsMLapTipus")), &QAction::triggered, this,
            [this] { guarded([this] { OpenWorkOrderTypes(this); }); });
    // "Korábbi receptek": the kind of the prescription list in focus, else of
    // the current work order, else distance.
    connect(action(QStringLiteral("aKorabbiReceptek")), &QAction::triggered, this, [this] {
        guarded([this] {
            const MainListPage *page = currentPage();
            const qint64 client = page->clientKey();
            int kind = page == m_workOrders ? int(page->currentInt(QStringLiteral("mlaptipus"), 1)) - 1 : 0;
            for (int i = 0; i < 4; ++i)
                if (m_rxGrids[i]->hasFocus())
                    kind = i;
            ShowPrescriptionHistory(this, client, kind);
        });
    });
    connect(action(QStringLiteral("aUjEbbol")), &QAction::triggered, this, [this] {
        guarded([this] {
            if (currentPage() != m_workOrders)
                return; // the work-order list's command only
            const qint64 key = NewWorkOrderFrom(m_workOrders->currentKey(), this);
            if (key > 0)
                showSaved(TabWorkOrders, key);
        });
    });
    on("aSQL", &MainWindow::aSQLExecute);
    connect(action(QStringLiteral("aNaplo")), &QAction::triggered, this, [this] { guarded([this] { OpenAuditLog(this); }); });
    connect(action(QStringLiteral("aSugo")), &QAction::triggered, this, [] { OpenDocument(MakerHelpPage()); });
    connect(action(QStringLiteral("aHonlap")), &QAction::triggered, this, [] { OpenDocument(MakerHomePage()); });
    connect(action(QStringLiteral("aLevel")), &QAction::triggered, this, [] {
        OpenDocument(QStringLiteral("mailto:%1?subject=Quorvin.Opt program").arg(MakerMailAddress()));
    });
    const int rxCommand[4] = {2, 1, 4, 3};
    for (int i = 0; i < 4; ++i)
        connect(m_rxGrids[i], &Grid::rowActivated, this, [this, n = rxCommand[i]] { action(QStringLiteral("aSzerk%1").arg(n))->trigger(); });
}

} // namespace qo
