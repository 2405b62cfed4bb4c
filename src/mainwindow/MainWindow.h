#pragma once
// The main window: start-up and shutdown of the program, the three lists
// (clients, work orders, examinations) with the shared search box, and the
// routing of every command by the active tab.
#include "db/Kinds.h"
#include "ui/GridModel.h"
#include "ui/ListQuery.h"

#include <QMainWindow>
#include <QTimer>

class QLabel;
class QLineEdit;
class QStackedWidget;
class QTabBar;
class QToolBar;

namespace qo {

class Grid;
class MessagePanel;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    enum Tab { TabClients = 0, TabWorkOrders = 1, TabExams = 2 };

    // Runs the whole start-up sequence; check isAborted() afterwards.
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    bool isAborted() const { return m_aborted; }
    void LoadShopSettings();
    void ShowPendingMessage();

    // For the tests and the benchmarks.
    int activeTab() const;
    void setActiveTab(int tab);
    int statusTab() const;
    void setStatusTab(int index);
    QLineEdit *searchBox() const { return m_search; }
    Grid *grid(int tab) const;
    Grid *prescriptionGrid(int n) const { return m_rxGrids[n]; }
    ListQuery &query(int tab);
    QString statusText() const;
    QAction *action(const QString &name) const;
    MessagePanel *messagePanel() const { return m_panel; }
    // The key of the current row of a list, -1 without rows.
    qint64 currentKey(int tab) const;
    // Re-query a list and stand on the row with the key; when that row is gone
    // (or no key is given), at the place where the current row stood.
    // Re-queries the tab's list and stands on the key; false when it is not listed.
    bool refreshList(int tab, qint64 key = -1);
    // After a save: the same, and a search that hides the saved row is cleared.
    void showSaved(int tab, qint64 key);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    // start-up and shutdown (MainWindowStartup.cpp)
    void startUp();
    void LoadLocalSettings();
    void SaveLocalSettings();
    void AbortStartup();
    void applyFontSize();

    // frame (Main.cpp, MainActions.cpp)
    void buildActions();
    void buildMenusAndToolbars();
    QWidget *buildClientsPage();
    QWidget *buildWorkOrdersPage();
    QWidget *buildExamsPage();
    QAction *makeAction(const char *name, const QString &caption, const QKeySequence &key = {},
                        const QString &hint = {}, const QString &icon = {});
    void routeCommands();

    // lists (MainLists.cpp)
    void setupLists();
    void openList(int tab);
    void onSearchTextChanged();
    void searchActive();
    void titleClicked(int tab, int column);
    void typedIntoList(const QString &ch);
    void RefreshPrescriptions();
    void updateStatusBar();
    void TabControl1Change(int tab);
    void TabControl2Change(int index);
    QString rowText(int tab, const QString &field) const;
    qint64 rowInt(int tab, const QString &field, qint64 def) const;

    // commands (MainCommands.cpp)
    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();
    void aFrissitExecute();
    void aStatuszExecute();
    void aFigyelmeztetExecute();
    void aMostJartExecute();
    void aMLapNekiExecute();
    void aUgyfelAdatlapExecute();
    void aMlapjaiExecute();
    void aSzerkRxExecute(int n);
    void aNovelExecute();
    void aCsokkentExecute();
    void aBeallitExecute();
    void aFelhasznaloExecute();
    void aAdatbazisExecute();
    void aSQLExecute();
    void aNevjegyExecute();
    void aExcelbeExecute();
    void aHtmlExecute();
    void aAdatkikeresExecute();
    // printouts (MainWindowCommands.cpp)
    void aNyomtatExecute(bool print);
    void aBoritekExecute(bool registeredMail);
    void reportExecute(const QString &command);
    // Runs a command, showing a database error in the error box.
    void guarded(const std::function<void()> &f);

    bool m_aborted = false;
    bool m_shownOnce = false;
    QTimer m_timer2;       // closes the window after an aborted start
    QTimer m_timerVerzio;  // version notes, once after start
    QTimer m_timerHirek;   // news feed, once after start

    QLineEdit *m_search = nullptr;
    QLabel *m_heading = nullptr;
    QTabBar *m_tabControl1 = nullptr;
    QTabBar *m_tabControl2 = nullptr;
    QStackedWidget *m_pages = nullptr;
    MessagePanel *m_panel = nullptr;
    QLabel *m_statusPanels[4] = {};

    GridModel m_modelU, m_modelMLap, m_modelVizsgalat;
    GridModel m_rxModels[4]; // távol, közel, speciális, kontakt
    Grid *m_grids[3] = {};
    Grid *m_rxGrids[4] = {};
    ListQuery m_qryU, m_qryMLap, m_qryVizsgalat;
    ListQuery m_rxQueries[4];

    QString m_sortU = QStringLiteral("ugyfel_nev");
    QString m_sortMLap = QStringLiteral("munkalap");
    QString m_sortVizsgalat = QStringLiteral("vizsgalat");
    QString m_baseU = QStringLiteral("(ugyfel > 0)");
    QString m_statusCond = QStringLiteral("(statusz = %1)").arg(int(WorkOrderStatus::Received));
    QString m_baseVizsgalat = QStringLiteral("(vizsgalat > 0)");
    qint64 m_rxClient = -2; // client of the prescription lists; -1 emptied, -2 to be re-read

    QHash<QString, QAction *> m_actions;
};

} // namespace qo
