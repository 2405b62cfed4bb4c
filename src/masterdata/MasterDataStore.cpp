#include "masterdata/MasterDataStore.h"

#include "db/Connection.h"

namespace qo {

MasterDataStore::MasterDataStore(Connection &db) : m_db(db) {}

ListSql MasterDataStore::brandList(const QString &table)
{
    const QString name = table + QStringLiteral("_nev");
    return {.lines = {QStringLiteral("SELECT * FROM ") + table, QStringLiteral("WHERE (1 = 1)"),
                      QStringLiteral("ORDER BY ") + name + QLatin1Char(';')},
            .baseCondition = QStringLiteral("(1 = 1)"),
            .keyField = table,
            .sortField = name,
            .searchColumns = name};
}

ListSql MasterDataStore::workOrderTypeList()
{
    return {.lines = {QStringLiteral("SELECT * FROM mlaptipus"), QStringLiteral("WHERE mlaptipus > 0"),
                      QStringLiteral("ORDER BY mlaptipus_nev;")},
            .baseCondition = QStringLiteral("(mlaptipus > 0)"),
            .keyField = QStringLiteral("mlaptipus"),
            .sortField = QStringLiteral("mlaptipus_nev"),
            .searchColumns = QStringLiteral("mlaptipus_nev")};
}

void MasterDataStore::removeRow(const QString &table, qint64 key)
{
    m_db.exec(QStringLiteral("DELETE FROM %1 WHERE %1 = %2;").arg(table).arg(key));
}

} // namespace qo
