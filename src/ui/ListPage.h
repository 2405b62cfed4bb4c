#pragma once
// ListPage: one list as the program shows it: a grid over its own GridModel,
// the ListQuery that fills the model, the store's base condition, the sort
// column and the search. Every list window (SearchList) holds one; the main
// window holds one per tab.
//
// Errors of the server are thrown (base/Error.h); the window decides how to
// show them.
#include "db/SqlText.h"
#include "ui/GridModel.h"
#include "ui/ListQuery.h"

#include <QObject>
#include <functional>
#include <utility>

namespace qo {

class Grid;

class ListPage : public QObject {
    Q_OBJECT
public:
    enum class SearchKind { Like, Words }; // BuildLikeFilter or BuildWordFilter

    // The page's model is shown in the grid; the grid stays the caller's.
    explicit ListPage(Grid *grid, QObject *parent = nullptr);
    ~ListPage() override;

    // ---- description ---------------------------------------------------------
    // The store's query: the WHERE line becomes the base condition, the key and
    // sort columns are taken over.
    void setQuery(const ListSql &sql);
    void setColumns(const QVector<GridColumn> &columns, const QVector<double> &shares = {}, int margin = 40);
    void setSearchColumns(const QString &columns, SearchKind kind = SearchKind::Like);
    // The condition every search keeps (a status tab changes it).
    void setBaseCondition(const QString &condition) { m_base = condition; }
    QString baseCondition() const { return m_base; }
    // What a sort by a field puts after ORDER BY; by default the field alone.
    void setOrderOf(std::function<QString(const QString &field)> order) { m_orderOf = std::move(order); }

    // ---- state -----------------------------------------------------------------
    Grid *grid() const { return m_grid; }
    GridModel *model() const { return m_model; }
    ListQuery &query() { return m_query; }
    const ListQuery &query() const { return m_query; }
    QString keyField() const { return m_keyField; }
    QString sortField() const { return m_sortField; }
    QString searchColumns() const { return m_searchColumns; }

    bool hasCurrentRow() const;
    qint64 currentKey() const;                              // -1 without a current row
    QString currentText(const QString &field) const;         // "" without a current row
    qint64 currentInt(const QString &field, qint64 def) const; // def without a current row

    // ---- what the user does ----------------------------------------------------
    // The base condition and the search of the text (without "WHERE").
    QString searchCondition(const QString &text) const;
    // Runs the list with the condition and stands on the first row whose sort
    // column begins with the text; a text that begins none (or no text) leaves
    // it on the first row.
    void search(const QString &condition, const QString &text);
    // Takes the column's field as the sort field, orders the query by it and
    // marks the column; false (and nothing changed) when the column has no field.
    // The caller re-runs the list.
    bool sortBy(int column);
    // Opens the list and stands on its first row (no row when it is empty).
    void openAtFirst();
    // The row with the key, -1 when it is not listed.
    int locate(qint64 key);
    // The keys of the rows after and before the current one (-1 for none): the
    // rows that take its place when it leaves the list.
    std::pair<qint64, qint64> neighbourKeys() const;
    // Re-runs the list and stands on the row with the key; when that row is
    // gone (or no key is given), on the row that took its place, else the
    // first. False when the key is not listed.
    bool reopenAt(qint64 key);

private:
    Grid *m_grid = nullptr;
    GridModel *m_model = nullptr;
    ListQuery m_query;
    QString m_base, m_keyField, m_sortField, m_searchColumns;
    SearchKind m_searchKind = SearchKind::Like;
    std::function<QString(const QString &)> m_orderOf;
};

} // namespace qo
