#include "ui/ListPage.h"

#include "ui/Grid.h"

namespace qo {

ListPage::ListPage(Grid *grid, QObject *parent)
    : QObject(parent), m_grid(grid), m_model(new GridModel(this)), m_query({}, m_model)
{
    m_grid->setGridModel(m_model);
}

ListPage::~ListPage() = default;

void ListPage::setQuery(const ListSql &sql)
{
    m_query.lines() = sql.lines;
    m_query.setKeyField(sql.keyField);
    m_base = sql.baseCondition;
    m_keyField = sql.keyField;
    m_sortField = sql.sortField;
    m_searchColumns = sql.searchColumns;
    m_query.setWhere(m_base);
    m_model->setMarkedColumn(m_model->columnOf(m_sortField));
}

void ListPage::setColumns(const QVector<GridColumn> &columns, const QVector<double> &shares, int margin)
{
    m_model->setColumns(columns);
    m_model->setMarkedColumn(m_model->columnOf(m_sortField));
    if (!shares.isEmpty())
        m_grid->setColumnShares(shares, margin);
}

void ListPage::setSearchColumns(const QString &columns, SearchKind kind)
{
    m_searchColumns = columns;
    m_searchKind = kind;
}

bool ListPage::hasCurrentRow() const { return m_grid->currentRowIndex() >= 0; }

qint64 ListPage::currentKey() const { return m_keyField.isEmpty() ? -1 : currentInt(m_keyField, -1); }

QString ListPage::currentText(const QString &field) const
{
    const int r = m_grid->currentRowIndex();
    return r < 0 ? QString() : m_model->rows().text(r, field);
}

qint64 ListPage::currentInt(const QString &field, qint64 def) const
{
    const int r = m_grid->currentRowIndex();
    return r < 0 ? def : m_model->rows().toInt(r, field, def);
}

QString ListPage::searchCondition(const QString &text) const
{
    if (m_searchColumns.isEmpty())
        return m_base;
    return m_base
        + (m_searchKind == SearchKind::Words ? BuildWordFilter(m_searchColumns, text)
                                             : BuildLikeFilter(m_searchColumns, text));
}

void ListPage::search(const QString &condition, const QString &text)
{
    m_query.setWhere(condition);
    m_query.open(); // replaces the rows; emptying the list first would only report a row change more
    const int row = text.isEmpty() || m_sortField.isEmpty() ? -1 : m_query.locatePrefix(m_sortField, text);
    m_grid->setCurrentRowIndex(row >= 0 ? row : 0);
}

bool ListPage::sortBy(int column)
{
    const QString field = m_model->fieldOf(column);
    if (field.isEmpty())
        return false;
    m_sortField = field;
    m_query.setOrderBy(m_orderOf ? m_orderOf(field) : field);
    m_model->setMarkedColumn(column);
    return true;
}

void ListPage::openAtFirst()
{
    m_query.open();
    m_grid->setCurrentRowIndex(0);
}

int ListPage::locate(qint64 key)
{
    return key >= 0 && !m_keyField.isEmpty() ? m_query.locateKey(m_keyField, key) : -1;
}

std::pair<qint64, qint64> ListPage::neighbourKeys() const
{
    const int row = m_grid->currentRowIndex();
    const RowSet &held = m_model->rows();
    if (row < 0 || m_keyField.isEmpty())
        return {-1, -1};
    const qint64 next = row + 1 < held.rowCount() ? held.toInt(row + 1, m_keyField, -1) : -1;
    const qint64 previous = row > 0 && row <= held.rowCount() ? held.toInt(row - 1, m_keyField, -1) : -1;
    return {next, previous};
}

bool ListPage::reopenAt(qint64 key)
{
    // When the row is gone (deleted, or it left a status tab) its place goes
    // to the row after it, or the one before it at the end of the list.
    const auto [next, previous] = neighbourKeys();
    m_query.open();
    int row = locate(key);
    const bool found = row >= 0;
    for (const qint64 neighbour : {next, previous})
        if (row < 0 && neighbour >= 0)
            row = locate(neighbour);
    if (row < 0 && m_model->rowCount() > 0)
        row = 0;
    m_grid->setCurrentRowIndex(row);
    return found;
}

} // namespace qo
