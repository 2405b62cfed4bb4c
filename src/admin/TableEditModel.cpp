#include "admin/TableEditModel.h"

#include "base/Error.h"
#include "db/Connection.h"
#include "db/SqlText.h"


namespace qo {

namespace {

QString quoteName(const QString &name)
{
    QString n = name;
    n.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + n + QLatin1Char('`');
}

QString literal(const QVariant &v)
{
    return v.isValid() ? SqlQuote(v.toString()) : QStringLiteral("NULL");
}

} // namespace

TableEditModel::TableEditModel(Connection &connection, QObject *parent)
    : QAbstractTableModel(parent), m_db(connection)
{
}

void TableEditModel::open(const QString &table)
{
    beginResetModel();
    m_table.clear();
    m_columns.clear();
    m_keyColumns.clear();
    m_autoColumn = -1;
    m_rows.clear();
    try {
        if (table.trimmed().isEmpty())
            throw Error(QStringLiteral("Hiányzik a tábla neve."));
        const RowSet rs = m_db.query(QStringLiteral("SELECT * FROM %1;").arg(quoteName(table)));
        for (const RowSet::Field &f : rs.fields())
            m_columns << f.name;
        const RowSet cols = m_db.query(QStringLiteral("SHOW COLUMNS FROM %1;").arg(quoteName(table)));
        for (int r = 0; r < cols.rowCount(); ++r) {
            const int c = int(m_columns.indexOf(cols.text(r, QStringLiteral("Field"))));
            if (c < 0)
                continue;
            if (cols.text(r, QStringLiteral("Key")) == QLatin1String("PRI"))
                m_keyColumns << c;
            if (cols.text(r, QStringLiteral("Extra")).contains(QLatin1String("auto_increment")))
                m_autoColumn = c;
        }
        m_rows.reserve(rs.rowCount());
        for (int r = 0; r < rs.rowCount(); ++r) {
            Row row;
            for (int c = 0; c < rs.columnCount(); ++c)
                row.values << (rs.isNull(r, c) ? QVariant() : QVariant(rs.text(r, c)));
            row.original = row.values;
            row.changed.fill(false, rs.columnCount());
            m_rows << row;
        }
        m_table = table;
    } catch (...) {
        m_columns.clear();
        m_rows.clear();
        endResetModel();
        throw;
    }
    endResetModel();
}

void TableEditModel::close()
{
    beginResetModel();
    m_table.clear();
    m_columns.clear();
    m_rows.clear();
    endResetModel();
}

int TableEditModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }
int TableEditModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QString TableEditModel::text(int row, int column) const
{
    return m_rows.value(row).values.value(column).toString();
}

QVariant TableEditModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return text(index.row(), index.column());
    return {};
}

bool TableEditModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    Row &r = m_rows[index.row()];
    const QVariant v = value.toString().isEmpty() && !r.values[index.column()].isValid() ? QVariant() : QVariant(value.toString());
    if (v == r.values[index.column()] && v.isValid() == r.values[index.column()].isValid())
        return true;
    r.values[index.column()] = v;
    r.changed[index.column()] = true;
    Q_EMIT dataChanged(index, index);
    return true;
}

Qt::ItemFlags TableEditModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant TableEditModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole)
        return m_columns.value(section);
    return QAbstractTableModel::headerData(section, o, role);
}

bool TableEditModel::isDirty(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return false;
    const Row &r = m_rows[row];
    return r.original.isEmpty() || r.changed.contains(true);
}

int TableEditModel::insertEmptyRow(int row)
{
    if (row < 0 || row > m_rows.size())
        row = int(m_rows.size());
    beginInsertRows({}, row, row);
    Row r;
    r.values.resize(m_columns.size());
    r.changed.fill(false, m_columns.size());
    m_rows.insert(row, r);
    endInsertRows();
    return row;
}

QString TableEditModel::whereOf(const Row &r) const
{
    QStringList parts;
    const bool byKey = !m_keyColumns.isEmpty();
    for (int c = 0; c < m_columns.size(); ++c) {
        if (byKey && !m_keyColumns.contains(c))
            continue;
        const QVariant &v = r.original[c];
        parts << (v.isValid() ? quoteName(m_columns[c]) + QStringLiteral(" = ") + literal(v)
                              : quoteName(m_columns[c]) + QStringLiteral(" IS NULL"));
    }
    return parts.join(QStringLiteral(" AND ")) + (byKey ? QString() : QStringLiteral(" LIMIT 1"));
}

bool TableEditModel::postRow(int row, QString *error)
{
    if (!isDirty(row))
        return true;
    Row &r = m_rows[row];
    try {
        if (r.original.isEmpty()) {
            QStringList cols, vals;
            for (int c = 0; c < m_columns.size(); ++c)
                if (r.changed[c]) {
                    cols << quoteName(m_columns[c]);
                    vals << literal(r.values[c]);
                }
            m_db.exec(cols.isEmpty() ? QStringLiteral("INSERT INTO %1 () VALUES ();").arg(quoteName(m_table))
                                     : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3);")
                                           .arg(quoteName(m_table), cols.join(QLatin1Char(',')), vals.join(QLatin1Char(','))));
            if (m_autoColumn >= 0 && !r.values[m_autoColumn].isValid())
                r.values[m_autoColumn] = QString::number(m_db.lastInsertId());
        } else {
            QStringList sets;
            for (int c = 0; c < m_columns.size(); ++c)
                if (r.changed[c])
                    sets << quoteName(m_columns[c]) + QStringLiteral(" = ") + literal(r.values[c]);
            m_db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3;").arg(quoteName(m_table), sets.join(QLatin1Char(',')), whereOf(r)));
        }
    } catch (const Error &e) {
        if (error)
            *error = e.message();
        return false;
    }
    r.original = r.values;
    r.changed.fill(false);
    Q_EMIT dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
    return true;
}

bool TableEditModel::deleteRow(int row, QString *error)
{
    if (row < 0 || row >= m_rows.size())
        return false;
    if (!m_rows[row].original.isEmpty()) {
        try {
            m_db.exec(QStringLiteral("DELETE FROM %1 WHERE %2;").arg(quoteName(m_table), whereOf(m_rows[row])));
        } catch (const Error &e) {
            if (error)
                *error = e.message();
            return false;
        }
    }
    beginRemoveRows({}, row, row);
    m_rows.remove(row);
    endRemoveRows();
    return true;
}

} // namespace qo
