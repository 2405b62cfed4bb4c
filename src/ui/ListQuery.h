#pragma once
// A list's query held as lines, one clause per line, so that the search
// rewrites the WHERE line and the sort the ORDER BY line.
//
// Opening it reads only the first page into its GridModel; further pages are
// read by keyset (the rows after the last one held, in the list's order made
// total by the key) as the grid scrolls, and the row count comes from the
// background counter. A locate that does not find its row among the rows held
// asks the server for it and moves the window there.
#include "db/Keyset.h"
#include "ui/GridModel.h"

#include <QStringList>

namespace qo {

class ListQuery : public RowSource {
public:
    ListQuery() = default;
    ListQuery(QStringList lines, GridModel *model, QString keyField = {})
        : m_lines(std::move(lines)), m_model(model), m_keyField(std::move(keyField)) {}
    ListQuery(const ListQuery &o) : RowSource(), m_lines(o.m_lines), m_model(o.m_model), m_keyField(o.m_keyField) {}
    ListQuery &operator=(const ListQuery &o);
    ~ListQuery() override;

    QStringList &lines() { return m_lines; }
    QString sql() const { return m_lines.join(QLatin1Char('\n')); }
    GridModel *model() const { return m_model; }
    void setKeyField(const QString &field) { m_keyField = field; }

    void open();   // the first page on the main connection; on error the list stays closed and the error is thrown
    void close();  // empties the list
    bool isOpen() const { return m_open; }
    void setWhere(const QString &condition);  // "WHERE " + condition
    void setOrderBy(const QString &order);    // "ORDER BY " + order + ";"

    // First row whose field starts with the text, letter case ignored; -1 when
    // none does or the field is not text. When the rows held do not have it and
    // the list is sorted by that field, the server is asked for the first row
    // at or after the text and the window moves there.
    int locatePrefix(const QString &field, const QString &text);
    // The row whose integer field equals the key (read from the server into
    // the window when it is not held); -1 when the list has no such row.
    int locateKey(const QString &field, qint64 key);

    // RowSource
    RowSet fetch(const RowSet &held, bool before, int count) override;
    // In the order the window shows, the key breaking ties.
    QString wholeSql() const override { return m_terms.isEmpty() ? sql() : pageSql(QString(), false, -1); }

    // The query of a page: the list's condition and `extra`, in the list's
    // order (reversed when `reversed`), at most limit rows.
    QString pageSql(const QString &extra, bool reversed, int limit) const;

private:
    void prepare();
    bool exactTerms(const QVector<RowSet::Field> &fields) const;
    void requestCounts(bool withBefore);
    QString condition() const;
    QString countSql(const QString &extra) const;
    void moveWindow(RowSet rows);

    QStringList m_lines;
    GridModel *m_model = nullptr;
    QString m_keyField;
    QVector<SortTerm> m_terms; // the ORDER BY line with the key, as of the last open
    QVector<RowSet::Field> m_fields; // the columns of the last open
    bool m_open = false;
};

} // namespace qo
