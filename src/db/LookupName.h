#pragma once
// The name of a row of one of the shop's named lists (a client, a brand, a
// work-order type ...) by its key. Only the lists below are looked up, each
// with its own fixed statement: no SQL is built from a name passed in.
#include <QString>

namespace qo {

// The tables whose rows have a key column and a "<table>_nev" name column
// of the same stem: ugyfel, lencsemarka, keretmarka, mlaptipus, statusz, csoport.
bool IsNamedList(const QString &table);

// The name of the row, def when there is no such row. A table that is not a
// named list throws (a fault of the caller, not of the data).
QString LookupName(qint64 key, const QString &table, const QString &def);

} // namespace qo
