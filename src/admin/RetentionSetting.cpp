#include "admin/RetentionSetting.h"

#include "db/Connection.h"

namespace qo {

int ReadRetentionYears(Connection &db, long long settingsKey)
{
    const RowSet rs = db.query(QStringLiteral("SELECT megorzes_ev FROM beallit WHERE beallit = %1").arg(settingsKey));
    return rs.rowCount() ? int(rs.toInt(0, 0, 0)) : 0;
}

void WriteRetentionYears(Connection &db, long long settingsKey, int years)
{
    db.exec(QStringLiteral("UPDATE beallit SET megorzes_ev = %1 WHERE beallit = %2").arg(years).arg(settingsKey));
}

} // namespace qo
