#include "workorders/WorkOrderCreate.h"

#include "db/Connection.h"
#include "base/Error.h"

namespace qo {

qint64 CreateWorkOrder(Connection &db, qint64 client, int type)
{
    // Cleared first, so that a value left by an earlier call is never taken
    // for this order's key.
    db.exec(QStringLiteral("SET @uj_munkalap = NULL;"));
    db.exec(QStringLiteral("CALL sp_ujmunkalap(%1, %2);").arg(client).arg(type));
    RowSet rs = db.query(QStringLiteral("SELECT @uj_munkalap;"));
    if (rs.rowCount() > 0 && !rs.isNull(0, 0) && rs.toInt(0, 0) > 0)
        return rs.toInt(0, 0);
    rs = db.query(QStringLiteral("SELECT MAX(munkalap) FROM munkalap;"));
    if (rs.rowCount() > 0 && !rs.isNull(0, 0))
        return rs.toInt(0, 0);
    throw Error(QStringLiteral("Az új munkalap nem jött létre."));
}

} // namespace qo
