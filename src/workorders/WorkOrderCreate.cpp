#include "workorders/WorkOrderCreate.h"
#include "workorders/WorkOrderStore.h"

#include "db/Connection.h"
#include "base/Error.h"

#include <QList>
#include <QString>

namespace qo {

namespace {

QList<qint64> &pendingDrops()
{
    static QList<qint64> keys;
    return keys;
}

qint64 &carryOverSource()
{
    static qint64 source = -1;
    return source;
}

// Copies the carried columns of the source order into the new one.
void carryOver(Connection &db, qint64 key)
{
    const qint64 source = carryOverSource();
    if (source <= 0)
        return;
    // Inside the creating transaction: a source deleted meanwhile leaves no half copy.
    if (db.query(QStringLiteral("SELECT 1 FROM munkalap WHERE munkalap = %1").arg(source)).rowCount() == 0)
        throw Error(QStringLiteral("A(z) %1. számú munkalap már nincs meg, ezért nem másolható.").arg(source));
    QStringList sets;
    for (const QString &c : WorkOrderCarryOverColumns())
        sets << QStringLiteral("n.%1 = s.%1").arg(c);
    db.exec(QStringLiteral("UPDATE munkalap n JOIN munkalap s ON s.munkalap = %1 SET %2 WHERE n.munkalap = %3")
                .arg(source)
                .arg(sets.join(QStringLiteral(", ")))
                .arg(key));
}

} // namespace

qint64 CreateWorkOrder(Connection &db, qint64 client, int type)
{
    qint64 key = 0;
    RunInTransaction(db, [&] {
        const RowSet before = db.query(QStringLiteral("SELECT COALESCE(MAX(munkalap), 0) FROM munkalap;"));
        // Cleared first, so that a value left by an earlier call is never
        // taken for this order's key.
        db.exec(QStringLiteral("SET @uj_munkalap = NULL;"));
        db.exec(QStringLiteral("CALL sp_ujmunkalap(%1, %2);").arg(client).arg(type));
        RowSet rs = db.query(QStringLiteral("SELECT @uj_munkalap;"));
        if (rs.rowCount() > 0 && !rs.isNull(0, 0) && rs.toInt(0, 0) > 0) {
            key = rs.toInt(0, 0);
            carryOver(db, key);
            return;
        }
        rs = db.query(QStringLiteral("SELECT munkalap FROM munkalap WHERE munkalap > %1 AND ugyfel = %2 "
                                     "AND mlaptipus = %3 AND statusz = %4 ORDER BY munkalap;")
                          .arg(before.toInt(0, 0))
                          .arg(client)
                          .arg(type)
                          .arg(int(WorkOrderStatus::Received)));
        if (rs.rowCount() != 1)
            throw Error(QStringLiteral("Az új munkalap nem jött létre."));
        key = rs.toInt(0, 0);
        carryOver(db, key);
    });
    return key;
}

WorkOrderCarryOver::WorkOrderCarryOver(qint64 source) : m_previous(carryOverSource())
{
    carryOverSource() = source;
}

WorkOrderCarryOver::~WorkOrderCarryOver() { carryOverSource() = m_previous; }

bool ReadWorkOrderOrigin(Connection &db, qint64 order, qint64 &client, int &type)
{
    const RowSet rs = db.query(QStringLiteral("SELECT ugyfel, mlaptipus FROM munkalap WHERE munkalap = %1").arg(order));
    if (rs.rowCount() == 0)
        return false;
    client = rs.toInt(0, 0, -1);
    type = int(rs.toInt(0, 1, 0));
    return true;
}

QStringList WorkOrderCarryOverColumns()
{
    QStringList columns{QStringLiteral("lencsemarka"), QStringLiteral("tipus"), QStringLiteral("keretmarka"),
                        QStringLiteral("kerettipus")};
    for (const char *side : {"jobb", "bal"})
        for (const char *v : {"sph", "cyl", "ax", "pd", "prism", "egyeb"})
            columns << QLatin1String(side) + QLatin1String(v);
    return columns;
}

void DropCreatedWorkOrder(Connection &db, qint64 key)
{
    try {
        WorkOrderStore(db).remove(key);
    } catch (const Error &) {
        if (!pendingDrops().contains(key))
            pendingDrops().append(key);
        throw;
    }
    pendingDrops().removeAll(key);
}

void DropPendingWorkOrders(Connection &db)
{
    const QList<qint64> keys = pendingDrops();
    for (qint64 key : keys) {
        try {
            DropCreatedWorkOrder(db, key);
        } catch (const Error &) {
        }
    }
}

QString CreatedWorkOrderLeftText(qint64 key, const QString &error)
{
    return QStringLiteral("Az új, üres %1. számú munkalapot nem sikerült törölni:\n%2\n"
                          "A program újra megpróbálja, amikor ismét van kapcsolat; "
                          "ha addig kilép, törölje a(z) %1. számú munkalapot.")
        .arg(key)
        .arg(error);
}

} // namespace qo
