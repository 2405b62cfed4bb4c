#include "export/ServiceStore.h"
#include "db/Connection.h"
#include "db/SqlText.h"

namespace qo {

QString ServiceStore::acknowledgedVersion(const QString &ownVersion)
{
    const RowSet rs = m_c.query(QStringLiteral("SELECT verzioelfogadva FROM beallit;"));
    return rs.rowCount() ? rs.text(0, 0) : ownVersion;
}

void ServiceStore::acknowledgeVersion(const QString &version)
{
    m_c.exec(QStringLiteral("UPDATE beallit SET verzioelfogadva = %1;").arg(SqlQuote(version)));
}

int ServiceStore::acknowledgedNews()
{
    const RowSet rs = m_c.query(QStringLiteral("SELECT hirelfogadva FROM beallit;"));
    return rs.rowCount() ? int(rs.toInt(0, 0, 0)) : 0;
}

void ServiceStore::acknowledgeNews(int id)
{
    m_c.exec(QStringLiteral("UPDATE beallit SET hirelfogadva = %1 WHERE hirelfogadva < %1;").arg(id));
}

} // namespace qo
