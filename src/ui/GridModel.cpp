#include "ui/GridModel.h"
#include "config/Config.h"
#include "base/NumberFormat.h"

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

void GridModel::setRowSet(RowSet rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    resolve();
    endResetModel();
}

void GridModel::clear() { setRowSet(RowSet()); }

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

QString GridModel::displayText(int row, int column) const
{
    const GridColumn &col = m_columns[column];
    const int c = col.index;
    if (c < 0 || m_rows.isNull(row, c))
        return {};
    const RowSet::Field &f = m_rows.field(c);
    switch (f.kind) {
    case RowSet::Kind::Date: {
        const QDate d = m_rows.toDate(row, c);
        return d.isValid() ? d.toString(QStringLiteral("yyyy.MM.dd")) : QString();
    }
    case RowSet::Kind::DateTime: {
        const QDateTime d = m_rows.toDateTime(row, c);
        return d.isValid() ? d.toString(QStringLiteral("yyyy.MM.dd HH:mm:ss")) : QString();
    }
    case RowSet::Kind::Integer:
    case RowSet::Kind::Float:
        if (!col.mask.isEmpty()) {
            if (!col.mask.contains(QLatin1Char('#')) && col.mask.count(QLatin1Char('0')) == col.mask.size())
                return QStringLiteral("%1").arg(m_rows.toInt(row, c), int(col.mask.size()), 10, QLatin1Char('0'));
            return FormatMask(m_rows.toDouble(row, c), col.mask);
        }
        return m_rows.text(row, c);
    default:
        return m_rows.text(row, c);
    }
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

} // namespace qo
