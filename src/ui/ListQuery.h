#pragma once
// A list's query held as lines, one clause per line, so that the search
// rewrites the WHERE line and the sort the ORDER BY line; opening it reads the
// rows into a GridModel.
#include <QStringList>

namespace qo {

class GridModel;

class ListQuery {
public:
    ListQuery() = default;
    ListQuery(QStringList lines, GridModel *model) : m_lines(std::move(lines)), m_model(model) {}

    QStringList &lines() { return m_lines; }
    QString sql() const { return m_lines.join(QLatin1Char('\n')); }
    GridModel *model() const { return m_model; }

    void open();   // runs the query on the main connection; on error the list stays closed and the error is thrown
    void close();  // empties the list
    bool isOpen() const { return m_open; }
    void setWhere(const QString &condition);  // "WHERE " + condition
    void setOrderBy(const QString &order);    // "ORDER BY " + order + ";"

    // First row whose field starts with the text, letter case ignored; -1 when
    // none does or the field is not text.
    int locatePrefix(const QString &field, const QString &text) const;
    // First row whose integer field equals the key; -1 when none.
    int locateKey(const QString &field, qint64 key) const;

private:
    QStringList m_lines;
    GridModel *m_model = nullptr;
    bool m_open = false;
};

} // namespace qo
