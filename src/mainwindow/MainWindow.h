#pragma once
// The main window: start-up and shutdown of the program, the three list
// pages (clients, work orders, examinations) under the shared search box, and
// the routing of every command to the current page.
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
class MainListPage;
class ClientsPage;
class WorkOrdersPage;
class ExamsPage;

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
    MainListPage *currentPage() const;
    MainListPage *page(int tab) const;
    void setActiveTab(int tab);
    // The work-order status tab by its status number (0 "Összes",
    // WorkOrdersPage::kOverdueTab "Lejárt").
    int statusTab() const;
    void setStatusTab(int status);
    QLineEdit *searchBox() const { return m_search; }
    Grid *grid(int tab) const;
    Grid *prescriptionGrid(int n) const { return m_rxGrids[n]; }
    ListQuery &query(int tab);
    QString statusText() const;
    QAction *action(const QString &name) const;
    MessagePanel *messagePanel() const { return m_panel; }
    // The key of the current row of a list, -1 without rows.
    qint64 currentKey(int tab) const;
    // Re-queries the tab's list and stands on the key; when that row is gone
    // (or no key is given), at the place where the current row stood. False
    // when the key is not listed.
    bool refreshList(int tab, qint64 key = -1);
    // After a save: the same, and a search that hides the saved row is cleared.
    void showSaved(int tab, qint64 key);
    // The position of the current page's row in the status bar.
    void updateStatusBar();
    // Runs a command, showing a database error in the error box.
    void guarded(const std::function<void()> &f);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;


private:
    friend class MainListPage;

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
    void routeRecordCommands();

    // lists (MainWindowLists.cpp)
    void setupLists();
    void openList(int tab);
    void onSearchTextChanged();
    void typedIntoList(const QString &ch);
    void TabControl1Change(int tab);
    void TabControl2Change(int index);

    // commands (MainWindowCommands.cpp, MainWindowRecordCommands.cpp)
    void aFrissitExecute();
    void aMlapjaiExecute();
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
    void aBoritekExecute(bool registeredMail);
    void reportExecute(const QString &command);

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

    Grid *m_grids[3] = {};
    Grid *m_rxGrids[4] = {}; // távol, közel, speciális, kontakt
    ClientsPage *m_clients = nullptr;
    WorkOrdersPage *m_workOrders = nullptr;
    ExamsPage *m_exams = nullptr;

    QHash<QString, QAction *> m_actions;
};

} // namespace qo
