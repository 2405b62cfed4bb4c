#pragma once
// One table opened for browsing and editing in place (the SQL console's
// table mode): every row of the table, cells edited as text, a changed or new
// row written when the user leaves it, a row deleted at once. As in the record
// windows, a row is changed or deleted only while it still holds every value
// as it was read; otherwise nothing is written and RowConflict is thrown.
#include "db/RowSet.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace qo {

class Connection;

class TableEditModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TableEditModel(Connection &connection, QObject *parent = nullptr);

    // Reads the whole table; throws qo::Error (an unknown or empty name).
    void open(const QString &table);
    // Reads the open table again (after a conflict).
    void reload();
    void close();
    bool isOpen() const { return !m_table.isEmpty(); }
    QString table() const { return m_table; }
    QStringList columnNames() const { return m_columns; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // The text of a cell ("" for NULL).
    QString text(int row, int column) const;
    bool isDirty(int row) const;
    // A new, empty row before `row` (at the end when row is out of range).
    int insertEmptyRow(int row);
    // Writes a changed or new row. Throws qo::Error with the server's text
    // when refused, RowConflict when the row is no longer as read.
    void postRow(int row);
    // Deletes the row from the table; a new row that was never written just
    // goes. Throws as postRow.
    void deleteRow(int row);

private:
    struct Row {
        QVector<QVariant> values;   // invalid = NULL
        QVector<QVariant> original; // as read; empty for a new row
        QVector<bool> changed;
    };
    QString whereOf(const Row &r) const;

    Connection &m_db;
    QString m_table;
    QStringList m_columns;
    QVector<RowSet::Field> m_fields;
    QVector<int> m_keyColumns;
    int m_autoColumn = -1;
    QVector<Row> m_rows;
};

} // namespace qo
