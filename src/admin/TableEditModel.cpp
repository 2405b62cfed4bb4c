#include "admin/TableEditModel.h"

#include "base/Error.h"
#include "db/Connection.h"
#include "db/RowConflict.h"
#include "db/SqlText.h"


namespace qo {

namespace {

QString quoteName(const QString &name)
{
    QString n = name;
    n.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + n + QLatin1Char('`');
}

// The client library's type of single-precision floats (mysql.h).
constexpr int kTypeFloat = 4;
constexpr int kTypeBit = 16;

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
    m_fields.clear();
    m_keyColumns.clear();
    m_autoColumn = -1;
    m_rows.clear();
    try {
        if (table.trimmed().isEmpty())
            throw Error(QStringLiteral("Hiányzik a tábla neve."));
        const RowSet rs = m_db.query(QStringLiteral("SELECT * FROM %1;").arg(quoteName(table)));
        m_fields = rs.fields();
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
        m_fields.clear();
        m_rows.clear();
        endResetModel();
        throw;
    }
    endResetModel();
}

void TableEditModel::reload()
{
    const QString table = m_table;
    open(table);
}

void TableEditModel::close()
{
    beginResetModel();
    m_table.clear();
    m_columns.clear();
    m_fields.clear();
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

// The row as it was read, column by column: the text the server sent for
// each value. Texts compare byte for byte (the shop's collation would take
// "kiss" and "Kiss" as equal); a single float by its text, as its six digits
// would not equal the stored value as a number.
QString TableEditModel::whereOf(const Row &r) const
{
    QStringList parts;
    for (int c = 0; c < m_columns.size(); ++c) {
        const QString name = quoteName(m_columns[c]);
        const RowSet::Field &f = m_fields[c];
        const QVariant &v = r.original[c];
        if (!v.isValid())
            parts << name + QStringLiteral(" IS NULL");
        else if (f.serverType == kTypeBit)
            continue; // its raw bits: left to the other columns
        else if (f.serverType == kTypeFloat)
            parts << QStringLiteral("CONCAT(") + name + QStringLiteral(") = ") + literal(v);
        else if (f.kind == RowSet::Kind::Text || f.kind == RowSet::Kind::Binary)
            parts << QStringLiteral("BINARY ") + name + QStringLiteral(" = BINARY ") + literal(v);
        else
            parts << name + QStringLiteral(" = ") + literal(v);
    }
    // A table without a key may hold the same row twice: one of them goes.
    return (parts.isEmpty() ? QStringLiteral("1 = 1") : parts.join(QStringLiteral(" AND ")))
        + (m_keyColumns.isEmpty() ? QStringLiteral(" LIMIT 1") : QString());
}

void TableEditModel::postRow(int row)
{
    if (!isDirty(row))
        return;
    Row &r = m_rows[row];
    if (r.original.isEmpty()) {
        QStringList cols, vals;
        for (int c = 0; c < m_columns.size(); ++c)
            if (r.changed[c]) {
                cols << quoteName(m_columns[c]);
                vals << literal(r.values[c]);
            }
        m_db.exec(cols.isEmpty() ? QStringLiteral("INSERT INTO %1 () VALUES ();").arg(quoteName(m_table))
                                 : QStringLiteral("INSERT INTO ") + quoteName(m_table) + QStringLiteral(" (")
                                       + cols.join(QLatin1Char(',')) + QStringLiteral(") VALUES (")
                                       + vals.join(QLatin1Char(',')) + QStringLiteral(");"));
        if (m_autoColumn >= 0 && !r.values[m_autoColumn].isValid())
            r.values[m_autoColumn] = QString::number(m_db.lastInsertId());
    } else {
        QStringList sets;
        for (int c = 0; c < m_columns.size(); ++c)
            if (r.changed[c])
                sets << quoteName(m_columns[c]) + QStringLiteral(" = ") + literal(r.values[c]);
        // Joined, not through arg(): a "%1" typed into a cell would take a
        // later argument's place.
        m_db.exec(QStringLiteral("UPDATE ") + quoteName(m_table) + QStringLiteral(" SET ")
                  + sets.join(QLatin1Char(',')) + QStringLiteral(" WHERE ") + whereOf(r) + QLatin1Char(';'));
        // Rows found, not only changed: nothing found means it is gone or changed.
        if (m_db.affectedRows() == 0)
            throw RowConflict();
    }
    r.original = r.values;
    r.changed.fill(false);
    Q_EMIT dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}

void TableEditModel::deleteRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    if (!m_rows[row].original.isEmpty()) {
        m_db.exec(QStringLiteral("DELETE FROM ") + quoteName(m_table) + QStringLiteral(" WHERE ")
                  + whereOf(m_rows[row]) + QLatin1Char(';'));
        if (m_db.affectedRows() == 0)
            throw RowConflict();
    }
    beginRemoveRows({}, row, row);
    m_rows.remove(row);
    endRemoveRows();
}

} // namespace qo
