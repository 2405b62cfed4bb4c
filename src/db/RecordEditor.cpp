#include "db/RecordEditor.h"
#include "db/Connection.h"
#include "db/SqlText.h"
#include "db/RowConflict.h"


namespace qo {

RecordEditor::RecordEditor(QString table, QString keyColumn)
    : m_table(std::move(table)), m_keyColumn(std::move(keyColumn))
{
}

bool RecordEditor::load(qint64 key)
{
    const RowSet rs = Connection::main().query(
        QStringLiteral("SELECT * FROM %1 WHERE %2 = %3").arg(m_table, m_keyColumn).arg(key));
    if (rs.rowCount() == 0)
        return false;
    m_fields = rs.fields();
    m_values.resize(rs.columnCount());
    for (int c = 0; c < rs.columnCount(); ++c)
        m_values[c] = rs.value(0, c);
    m_loaded = m_values;
    m_changed.clear();
    m_key = key;
    m_new = false;
    return true;
}

void RecordEditor::startNew()
{
    const RowSet rs = Connection::main().query(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(m_table));
    m_fields = rs.fields();
    m_values = QVector<QVariant>(rs.columnCount());
    m_loaded = m_values;
    m_changed.clear();
    m_key = -1;
    m_new = true;
}

int RecordEditor::col(const QString &column) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool RecordEditor::hasColumn(const QString &column) const { return col(column) >= 0; }

int RecordEditor::length(const QString &column) const
{
    const int c = col(column);
    return c < 0 ? 0 : m_fields[c].length;
}

RowSet::Kind RecordEditor::kind(const QString &column) const
{
    const int c = col(column);
    return c < 0 ? RowSet::Kind::Text : m_fields[c].kind;
}

QVariant RecordEditor::value(const QString &column) const
{
    const int c = col(column);
    return c < 0 ? QVariant() : m_values[c];
}

QString RecordEditor::text(const QString &column) const
{
    const QVariant v = value(column);
    if (!v.isValid())
        return {};
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("yyyy.MM.dd"));
    return v.toString();
}

double RecordEditor::number(const QString &column) const
{
    return value(column).toDouble();
}

void RecordEditor::setValue(const QString &column, const QVariant &value)
{
    const int c = col(column);
    if (c < 0)
        throw Error(QStringLiteral("Ismeretlen mező: %1.%2").arg(m_table, column));
    m_values[c] = value;
    const QVariant &old = m_loaded[c];
    const bool same = old.isValid() == value.isValid() && (!old.isValid() || old == value
                      || old.toString() == value.toString());
    // A new row starts as all NULL: a column left NULL is not named in the
    // INSERT, so the server's default (torolve 'N', storno 'N', ...) applies.
    if (same)
        m_changed.remove(c);
    else
        m_changed.insert(c);
}

QString RecordEditor::literal(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("NULL");
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::LongLong: case QMetaType::UInt: case QMetaType::ULongLong:
        return QString::number(v.toLongLong());
    case QMetaType::Double: case QMetaType::Float:
        return QString::number(v.toDouble(), 'g', 17);
    case QMetaType::QDate:
        return v.toDate().isValid() ? SqlDateLiteral(v.toDate()) : QStringLiteral("NULL");
    case QMetaType::QDateTime:
        return v.toDateTime().isValid()
            ? QLatin1Char('\'') + v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char('\'')
            : QStringLiteral("NULL");
    default:
        return SqlQuote(v.toString());
    }
}

QString RecordEditor::unchangedCondition() const
{
    QStringList parts{m_keyColumn + QStringLiteral(" = ") + QString::number(m_key)};
    for (int c = 0; c < m_fields.size(); ++c) {
        const QVariant &v = m_loaded[c];
        const RowSet::Kind kind = m_fields[c].kind;
        const QString &name = m_fields[c].name;
        if (!v.isValid())
            parts << name + QStringLiteral(" IS NULL");
        else if (kind == RowSet::Kind::Text)
            // BINARY: the shop's collation would take "kiss" and "Kiss" as equal.
            parts << QStringLiteral("BINARY ") + name + QStringLiteral(" = BINARY ") + literal(v);
        else if (kind == RowSet::Kind::Integer || kind == RowSet::Kind::Float
                 || (kind == RowSet::Kind::Date && v.toDate().isValid())
                 || (kind == RowSet::Kind::DateTime && v.toDateTime().isValid()))
            parts << name + QStringLiteral(" = ") + literal(v);
        // Other kinds (binary, time, zero dates) are left to the key alone.
    }
    return parts.join(QStringLiteral(" AND "));
}

qint64 RecordEditor::post()
{
    if (!m_new && m_changed.isEmpty())
        return m_key;
    QList<int> cols = m_changed.values();
    std::sort(cols.begin(), cols.end());
    Connection &db = Connection::main();
    if (m_new) {
        QStringList names, values;
        for (int c : cols) {
            names << m_fields[c].name;
            values << literal(m_values[c]);
        }
        db.exec(names.isEmpty() ? QStringLiteral("INSERT INTO %1 () VALUES ()").arg(m_table)
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(m_table, names.join(QStringLiteral(", ")), values.join(QStringLiteral(", "))));
        const int k = col(m_keyColumn);
        m_key = (k >= 0 && cols.contains(k)) ? m_values[k].toLongLong() : qint64(db.lastInsertId());
        m_new = false;
    } else {
        QStringList sets;
        for (int c : cols)
            sets << m_fields[c].name + QStringLiteral(" = ") + literal(m_values[c]);
        // Joined, not through a further arg(): a "%1" typed into a field
        // would take the key's place.
        db.exec(QStringLiteral("UPDATE ") + m_table + QStringLiteral(" SET ") + sets.join(QStringLiteral(", "))
                + QStringLiteral(" WHERE ") + unchangedCondition());
        if (db.affectedRows() == 0)
            throw RowConflict();
    }
    const int k = col(m_keyColumn);
    if (k >= 0)
        m_values[k] = m_key;
    m_loaded = m_values;
    m_changed.clear();
    return m_key;
}

} // namespace qo
