#pragma once
// The main window's tabs as list pages: each owns its list (ListPage: query,
// model, grid, search, sort) and answers the commands that every tab has, so
// the main window asks the current page instead of switching on the tab.
#include "ui/ListPage.h"

class QLabel;

namespace qo {

class MainWindow;

class MainListPage : public ListPage {
    Q_OBJECT
public:
    MainListPage(MainWindow *window, Grid *grid, const ListSql &sql);

    MainWindow *window() const { return m_window; }
    bool isCurrent() const;

    // The shared search box's text run as this list's search.
    void runSearch(const QString &text) { search(searchCondition(text), text); }
    // A title click: sort by the column, open at the first row.
    void sortByTitle(int column);
    // Opens the list (a tab chosen) at its first row.
    void openList() { openAtFirst(); }
    // Re-queries the list and stands on the key (see ListPage::reopenAt);
    // a list that is not shown stays closed. False when the key is not listed.
    virtual bool refresh(qint64 key);
    // After a save: the same, and a search that hides the saved row is cleared.
    void showSaved(qint64 key);

    // ---- the commands of every tab ----------------------------------------------
    virtual void newRecord() = 0;
    virtual void editRecord() = 0;
    // Confirms, then deletes (or cancels) the current row through the store.
    void deleteRecord();
    virtual void print(bool toPrinter) = 0;
    // "Ügyfél adatlap": the client of the current row in the client editor.
    virtual void showClient();
    // The client of the current row, -1 without one.
    qint64 clientKey() const { return hasCurrentRow() ? currentInt(QStringLiteral("ugyfel"), -1) : -1; }
    // The list's name in an HTML export.
    virtual QString title() const = 0;
    // Whether "Előzmények" (the client's work orders) is offered from here.
    virtual bool offersHistory() const { return true; }

protected:
    virtual void removeRow(qint64 key) = 0;

private:
    MainWindow *m_window;
};

class ClientsPage : public MainListPage {
    Q_OBJECT
public:
    ClientsPage(MainWindow *window, Grid *grid, Grid *const (&prescriptionGrids)[4]);

    bool refresh(qint64 key) override;
    void newRecord() override;
    void editRecord() override;
    void print(bool toPrinter) override;
    void showClient() override;
    QString title() const override { return QStringLiteral("Ügyfelek"); }

    void toggleReminder();   // aFigyelmeztet
    void setLastVisit();     // aMostJart
    void newWorkOrder();     // aMLapNeki
    void editPrescription(int command); // aSzerk1..aSzerk4
    // The four prescription lists show the current client's rows.
    void refreshPrescriptions();

protected:
    void removeRow(qint64 key) override;

private:
    GridModel m_rxModels[4]; // távol, közel, speciális, kontakt
    ListQuery m_rxQueries[4];
    qint64 m_rxClient = -2;  // client of the prescription lists; -1 emptied, -2 to be re-read
};

class WorkOrdersPage : public MainListPage {
    Q_OBJECT
public:
    // The status tab that lists the overdue orders (the others are 0, every
    // order, and the statuses by their numbers).
    static constexpr int kOverdueTab = 4;

    WorkOrdersPage(MainWindow *window, Grid *grid, QLabel *overdueCounter);
    ~WorkOrdersPage() override;

    // A status tab: 0 every order, a status by its number, or kOverdueTab.
    void setStatusTab(int tab);
    bool refresh(qint64 key) override;
    // The number of overdue orders into the status bar.
    void countOverdue();
    void newRecord() override;
    void editRecord() override;
    void print(bool toPrinter) override;
    QString title() const override { return QStringLiteral("Munkalapok"); }

    void stepStatus(); // aStatusz

protected:
    void removeRow(qint64 key) override;

private:
    QLabel *m_overdueCounter;
    int m_sortBeforeOverdue = -1; // the column the list was sorted by before "Lejárt"
};

class ExamsPage : public MainListPage {
    Q_OBJECT
public:
    ExamsPage(MainWindow *window, Grid *grid);

    void newRecord() override;
    void editRecord() override;
    void print(bool toPrinter) override;
    QString title() const override { return QStringLiteral("Vizsgálatok"); }
    bool offersHistory() const override { return false; }

protected:
    void removeRow(qint64 key) override;
};

} // namespace qo
