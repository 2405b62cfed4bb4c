#pragma once
// The SQL of the master data: the brand lists (lencsemarka, keretmarka: key
// column named after the table, name column table + "_nev") and the
// work-order types.
#include "db/SqlText.h"

namespace qo {

class Connection;

class MasterDataStore {
public:
    explicit MasterDataStore(Connection &db);

    // table is checked by the caller (a plain table name: it goes into SQL text).
    static ListSql brandList(const QString &table);
    static ListSql workOrderTypeList();

    void removeRow(const QString &table, qint64 key);

private:
    Connection &m_db;
};

} // namespace qo
