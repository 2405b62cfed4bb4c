#pragma once
// Keyset paging: a list reads its rows a page at a time by asking for the rows
// that come after (or before) a row it already holds, in the list's own order.
// The order is made total by the key, so no row is skipped or read twice, and
// a page costs the server the rows it returns rather than an offset it skips.
#include "db/RowSet.h"

#include <QString>
#include <QVector>

namespace qo {

struct SortTerm {
    QString expr;   // as written in ORDER BY (may be qualified: "munkalap.munkalap")
    QString column; // the result column holding its value
    bool desc = false;
};

// The terms of an ORDER BY line ("ORDER BY ugyfel_nev, munkalap DESC;").
// A column number ("1") is taken as that column of the select's result.
QVector<SortTerm> ParseOrderBy(const QString &line, const RowSet &result = RowSet());
// The terms with the key appended unless a term already sorts by it.
QVector<SortTerm> WithKey(QVector<SortTerm> terms, const QString &keyField);
// Whether a column's values, as the server sends them, can stand in a
// keyset condition (they are the stored values).
bool KeysetExact(const RowSet::Field &field);
// "a, b DESC" or, reversed, "a DESC, b".
QString OrderByText(const QVector<SortTerm> &terms, bool reversed);
// The condition for the rows after row r of rs in the terms' order (before it
// when `before`); `inclusive` lets row r itself in too. NULLs sort first, as
// the server sorts them in ascending order.
QString KeysetCondition(const QVector<SortTerm> &terms, const RowSet &rs, int r, bool before, bool inclusive);

} // namespace qo
