#include "ui/GridModel.h"
#include "base/Dates.h"
#include "config/Config.h"
#include "base/Error.h"
#include "base/NumberFormat.h"
#include "db/Connection.h"

#include <QElapsedTimer>

namespace qo {

GridModel::GridModel(QObject *parent) : QAbstractTableModel(parent) {}

void GridModel::setColumns(QVector<GridColumn> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    m_autoColumns = m_columns.isEmpty();
    resolve();
    endResetModel();
}

void GridModel::setMask(const QString &field, const QString &mask)
{
    for (GridColumn &c : m_columns)
        if (c.field.compare(field, Qt::CaseInsensitive) == 0)
            c.mask = mask;
    if (rowCount() && columnCount())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void GridModel::resolve()
{
    if (m_autoColumns) {
        m_columns.clear();
        for (const RowSet::Field &f : m_rows.fields())
            m_columns.push_back(GridColumn(f.name, f.name));
    }
    for (GridColumn &c : m_columns)
        c.index = m_rows.fieldIndex(c.field);
}

void GridModel::resetWindow(RowSet rows, bool atStart, bool atEnd, qint64 offset)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_atStart = atStart;
    m_atEnd = atEnd;
    m_offset = atStart ? 0 : offset;
    m_total = complete() ? m_rows.rowCount() : (atEnd && m_offset >= 0 ? m_offset + m_rows.rowCount() : -1);
    m_prepended = 0;
    m_fetchFailed = false;
    ++m_windowId;
    m_pageAfter = m_pageBefore = kFirstPage;
    resolve();
    endResetModel();
}

void GridModel::setRowSet(RowSet rows)
{
    m_source = nullptr;
    resetWindow(std::move(rows), true, true, 0);
}

void GridModel::setWindow(RowSet rows, RowSource *source, bool atStart, bool atEnd, qint64 offset)
{
    m_source = source;
    resetWindow(std::move(rows), atStart, atEnd, offset);
}

void GridModel::clear() { setRowSet(RowSet()); }

void GridModel::setCounts(quint64 window, qint64 total, qint64 before)
{
    if (total >= 0 && !complete())
        m_total = total;
    if (before >= 0 && window == m_windowId)
        m_offset = before - m_prepended;
    if (m_atStart)
        m_offset = 0;
    else if (m_atEnd && m_total >= 0)
        m_offset = m_total - m_rows.rowCount();
    Q_EMIT countsChanged();
}

RowSet GridModel::fetchPage(bool before, int count, bool *failed)
{
    *failed = false;
    try {
        QElapsedTimer t;
        t.start();
        RowSet page = m_source->fetch(m_rows, before, count);
        // A page the server has to sort the whole list for (an order no index
        // serves) costs about as much as a large one: read large ones then.
        int &next = before ? m_pageBefore : m_pageAfter;
        next = t.elapsed() > kSlowPageMs ? kLargestPage : qMin(next * 2, kLargestPage);
        return page;
    } catch (const Error &e) {
        // The window stays as it is and reads no more until the list is
        // opened again, so the error is shown once; it still knows that it is
        // not the whole list (an export reads that afresh).
        *failed = true;
        m_fetchFailed = true;
        Q_EMIT fetchFailed(e.message());
        return RowSet();
    }
}

bool GridModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_atEnd && m_source && !m_fetchFailed;
}

// Pages grow as the user reads on, so that scrolling through a long list
// costs a handful of queries rather than one per screen.
void GridModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    bool failed;
    const int want = m_pageAfter;
    RowSet page = fetchPage(false, want, &failed);
    if (failed)
        return;
    const int n = page.rowCount();
    if (n < want) {
        m_atEnd = true;
        if (m_offset >= 0)
            m_total = m_offset + m_rows.rowCount() + n;
    }
    if (n > 0) {
        beginInsertRows({}, m_rows.rowCount(), m_rows.rowCount() + n - 1);
        m_rows.appendRows(page, 0, n);
        m_rows.squeeze();
        endInsertRows();
    }
    if (m_atEnd)
        Q_EMIT countsChanged();
}

int GridModel::fetchBefore()
{
    if (m_atStart || !m_source || m_fetchFailed)
        return 0;
    bool failed;
    const int want = m_pageBefore;
    RowSet page = fetchPage(true, want, &failed);
    if (failed)
        return 0;
    const int n = page.rowCount();
    if (n < want)
        m_atStart = true;
    if (n > 0) {
        beginInsertRows({}, 0, n - 1);
        page.appendRows(m_rows, 0, m_rows.rowCount());
        m_rows = std::move(page);
        m_rows.squeeze();
        m_prepended += n;
        endInsertRows();
        if (m_offset >= 0)
            m_offset -= n;
    }
    if (m_atStart) {
        m_offset = 0;
        Q_EMIT countsChanged();
    }
    return n;
}

void GridModel::jump(bool toEnd)
{
    if (!m_source || (toEnd ? m_atEnd : m_atStart))
        return;
    if (!m_source->canJump()) {
        // Read on to the end (a forward-only source starts at the list's start);
        // a failed read ends it where it stands.
        while (toEnd && canFetchMore({}))
            fetchMore({});
        return;
    }
    RowSet page;
    try {
        page = m_source->fetch(RowSet(), toEnd, kFirstPage);
    } catch (const Error &e) {
        Q_EMIT fetchFailed(e.message());
        return;
    }
    const qint64 total = m_total;
    const bool whole = page.rowCount() < kFirstPage;
    const qint64 rows = page.rowCount();
    resetWindow(std::move(page), !toEnd || whole, toEnd || whole, 0);
    if (!complete() && total >= 0) {
        m_total = total;
        m_offset = toEnd ? total - rows : 0;
    }
    Q_EMIT countsChanged();
}

void GridModel::setMarkedColumn(int column)
{
    m_marked = column;
    if (rowCount() && columnCount())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
}

int GridModel::columnOf(const QString &field) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString GridModel::fieldOf(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns[column].field : QString();
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.rowCount();
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString CellText(const RowSet &rows, int row, const GridColumn &col)
{
    const int c = col.index;
    if (c < 0 || rows.isNull(row, c))
        return {};
    const RowSet::Field &f = rows.field(c);
    switch (f.kind) {
    case RowSet::Kind::Date: {
        const QDate d = rows.toDate(row, c);
        return DateText(d);
    }
    case RowSet::Kind::DateTime: {
        const QDateTime d = rows.toDateTime(row, c);
        return d.isValid() ? d.toString(QStringLiteral("yyyy.MM.dd HH:mm:ss")) : QString();
    }
    case RowSet::Kind::Integer:
    case RowSet::Kind::Float:
        if (!col.mask.isEmpty()) {
            if (!col.mask.contains(QLatin1Char('#')) && col.mask.count(QLatin1Char('0')) == col.mask.size())
                return QStringLiteral("%1").arg(rows.toInt(row, c), int(col.mask.size()), 10, QLatin1Char('0'));
            return FormatMask(rows.toDouble(row, c), col.mask);
        }
        return rows.text(row, c);
    default:
        return rows.text(row, c);
    }
}

QString GridModel::displayText(int row, int column) const
{
    return CellText(m_rows, row, m_columns[column]);
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row(), column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return displayText(row, column);
    case Qt::TextAlignmentRole: {
        const GridColumn &col = m_columns[column];
        if (col.align)
            return QVariant::fromValue(col.align | Qt::AlignVCenter);
        const bool number = col.index >= 0
            && (m_rows.field(col.index).kind == RowSet::Kind::Integer
                || m_rows.field(col.index).kind == RowSet::Kind::Float);
        return QVariant::fromValue((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
    case SelectedForegroundRole: {
        const bool marked = column == m_marked;
        CellStyle s;
        if (marked)
            s.background = MarkColor();
        if (m_styler)
            m_styler(m_rows, row, column, marked, s);
        const QColor &c = role == Qt::BackgroundRole ? s.background
            : role == Qt::ForegroundRole               ? s.foreground
                                                       : s.selectedForeground;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns[section].caption;
    return QAbstractTableModel::headerData(section, o, role);
}

RowSet GridModel::wholeList() const
{
    return complete() ? m_rows : Connection::main().query(wholeSql());
}

} // namespace qo
