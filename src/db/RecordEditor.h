#pragma once
// Edits one row of one table for a record window: load by key (or start a new
// row), change fields, post the changed columns as one INSERT or UPDATE and
// get the key back (ui/FieldBinder ties input widgets to the columns).
#include "db/RowSet.h"

#include <QHash>
#include <QSet>
#include <QVariant>

namespace qo {

class RecordEditor {
public:
    RecordEditor(QString table, QString keyColumn);

    bool load(qint64 key);   // false when the row does not exist (nothing loaded)
    void startNew();         // every column NULL; the server assigns the key on post
    bool isNew() const { return m_new; }
    qint64 key() const { return m_key; }
    const QString &table() const { return m_table; }

    bool hasColumn(const QString &column) const;
    int length(const QString &column) const; // declared length, 0 when unknown
    RowSet::Kind kind(const QString &column) const;
    QVariant value(const QString &column) const;
    QString text(const QString &column) const; // NULL gives ""
    double number(const QString &column) const; // NULL gives 0
    void setValue(const QString &column, const QVariant &value);
    bool isChanged() const { return !m_changed.isEmpty(); }

    // Writes the changed columns (a new row always); returns the row's key.
    // An existing row is written only while it still holds what was read:
    // otherwise nothing is written and RowConflict is thrown.
    qint64 post();

    // The literal a value takes in SQL text: NULL, a number, a date or a quoted text.
    static QString literal(const QVariant &v);

private:
    int col(const QString &column) const;
    QString unchangedCondition() const; // the row as it was read, column by column
    QString m_table, m_keyColumn;
    QVector<RowSet::Field> m_fields;
    QVector<QVariant> m_values;
    QVector<QVariant> m_loaded;
    QSet<int> m_changed;
    qint64 m_key = -1;
    bool m_new = false;
};

} // namespace qo
