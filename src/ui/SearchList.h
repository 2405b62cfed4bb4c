#pragma once
// SearchList: the modal searchable list every list window derives from (client
// picker, master-data lists, work-order types, users, stored connections ...).
// It owns the toolbar, the search box, the grid with its query, the sort by a
// title click painted MarkColor, typing into the grid handed to the search box,
// and the row counter ("count: current") in the status line.
//
// A subclass only describes itself, in its constructor:
//
//   setObjectName(WindowKeys::kClientPicker);            // placement is kept under it
//   setWindowTitle(QStringLiteral("Ügyfél választás"));
//   setHeading(QStringLiteral("Ügyfelek  "));
//   const ListSql sql = ClientStore::pickerList();        // the store holds the SQL
//   setQuery(sql);
//   setColumns({{"ugyfel_nev", "Ügyfél"}, {"telefon", "Telefon"}}, {0.6, 0.4}, 40);
//   setSearchColumns(sql.searchColumns, SearchKind::Like); // or SearchKind::Words
//   QAction *uj = addCommand(Command::New, "Új sor");          // aUj, Insert
//   connect(uj, &QAction::triggered, this, &MyList::aUjExecute);
//   ... addCommand(Command::Accept, "Elfogad"); addCommand(Command::Close, "Bezár");
//   setToolbar({uj, szerk, torol, nullptr /* separator */, elfogad, bezar});
//   setContextMenu({frissit, nullptr, uj, szerk, torol, nullptr, elfogad, bezar});
//   reopen(initialKey);
//
// The caller then runs exec() and reads currentKey() / currentText(field).
// Refresh (F5), Accept (Enter, double click) and Close (Esc) are wired here;
// New, Edit and Delete are the subclass's (deleteCurrentRow() helps with the
// usual confirm-and-delete). Lists whose rows do not come from the database
// override openRows() and fill model() themselves.
#include "ui/WindowBehaviour.h"
#include "ui/GridModel.h"
#include "db/SqlText.h"
#include "ui/ListPage.h"
#include "ui/ListQuery.h"

#include <QDialog>
#include <QMap>
#include <QKeySequence>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QStatusBar;
class QToolBar;

namespace qo {

class Grid;

// Said in a list's status line when a search was cleared to show a saved row.
QString SavedRowSearchClearedText();

class SearchList : public QDialog {
    Q_OBJECT
public:
    enum class Command { New, Edit, Delete, Refresh, Accept, Close };
    using SearchKind = ListPage::SearchKind; // BuildLikeFilter or BuildWordFilter

    explicit SearchList(QWidget *parent = nullptr, Placement placement = Placement::Full);
    ~SearchList() override;

    // ---- description (subclass constructor) --------------------------------
    // The query one clause per line; the WHERE line is rewritten to
    // baseCondition + search condition, the ORDER BY line to the sort field.
    void setQuery(const ListSql &sql);
    // Columns and, optionally, their shares of the grid's width minus margin.
    void setColumns(const QVector<GridColumn> &columns, const QVector<double> &shares = {}, int margin = 40);
    void setSearchColumns(const QString &columns, SearchKind kind = SearchKind::Like);
    void setHeading(const QString &text); // bold, right of the search box

    // A standard command: object name, shortcut and icon are fixed
    // (aUj Insert, aSzerkeszt F2, aTorol Ctrl+Del, aFrissit F5, aElfogad Enter,
    // aBezar Esc); Refresh, Accept and Close are connected here.
    QAction *addCommand(Command c, const QString &caption, const QString &hint = {});
    // Any other command of the window.
    QAction *addCommand(const QString &name, const QString &caption, const QKeySequence &shortcut = {},
                        const QString &iconName = {}, const QString &hint = {});
    QAction *command(Command c) const { return m_commands.value(c); }
    // nullptr in the lists stands for a separator.
    void setToolbar(const QList<QAction *> &actions);
    void setContextMenu(const QList<QAction *> &actions);

    // ---- state ---------------------------------------------------------------
    Grid *grid() const { return m_grid; }
    GridModel *model() const { return m_page->model(); }
    ListQuery &query() { return m_page->query(); }
    ListPage *page() const { return m_page; }
    QLineEdit *searchBox() const { return m_search; }
    QToolBar *toolBar() const { return m_toolbar; }
    QStatusBar *statusBar() const { return m_status; }
    QLabel *heading() const { return m_heading; }
    QString sortField() const { return m_page->sortField(); }
    QString keyField() const { return m_page->keyField(); }

    bool hasCurrentRow() const;
    // Stands on no row (a choice nobody made cannot be accepted by Enter).
    void clearCurrentRow();
    qint64 currentKey() const;                       // -1 without a current row
    QString currentText(const QString &field) const; // "" without a current row

public Q_SLOTS:
    // Re-runs the query and stands on the row with the key (first row when the
    // key is not listed). False when the query failed (the error was shown and
    // the list is empty until the next successful open).
    bool reopen(qint64 positionKey = -1);
    // The same for a list keyed by text (users by their code): stands on the
    // row whose field holds exactly the value.
    bool reopenOn(const QString &field, const QString &value);
    void refresh();               // reopen on the current row
    // After a save: re-runs the query and stands on the saved row. A search
    // that excludes the row is cleared (and the status line says so), so the
    // next command never acts on another row.
    void showSaved(qint64 key);
    void sortByColumn(int column); // what a title click does

protected:
    // The WHERE condition (without "WHERE") for a search text.
    virtual QString searchCondition(const QString &text) const;
    // Fills model(); by default runs the query on the main connection.
    virtual void openRows();
    // Double click: Accept when the window has it, else Edit.
    virtual void activateRow();
    // Confirms "Valóban töröljem a sort?", removes the current row through the
    // store, re-queries and stands on the row that took the deleted one's
    // place. A delete the database refuses shows its reason and leaves the
    // list as it was.
    bool deleteCurrentRow(const std::function<void(qint64)> &remove);
    // Said before the server's text when the database refuses a delete because
    // other rows still refer to the row.
    virtual QString deleteRefusedText() const;
    // Shows a database error the way list windows do.
    void showError(const QString &message);

    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *obj, QEvent *e) override;

private:
    void searchTextChanged(const QString &text);
    void typedToSearch(const QString &lowerChar);
    void focusSearchBox(); // the grid when the search box is hidden
    void updateCounter();
    void fillMenu(QWidget *target, const QList<QAction *> &actions);
    bool openAndStand(const std::function<int()> &rowToStandOn);

    Grid *m_grid = nullptr;
    ListPage *m_page = nullptr;
    QLineEdit *m_search = nullptr;
    QLabel *m_heading = nullptr;
    QToolBar *m_toolbar = nullptr;
    QStatusBar *m_status = nullptr;
    QLabel *m_counter = nullptr;
    QMap<Command, QAction *> m_commands;
    bool m_shownOnce = false;
};

} // namespace qo
