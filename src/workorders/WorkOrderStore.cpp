#include "workorders/WorkOrderStore.h"

#include "db/Connection.h"

namespace qo {

WorkOrderStore::WorkOrderStore(Connection &db) : m_db(db) {}

ListSql WorkOrderStore::mainList()
{
    return {{QStringLiteral("SELECT munkalap, mlaptipus, ugyfel, datum, dat_hatid, dat_kesz, statusz, "
                            "osszar, eloleg, fizetendo, storno, mlaptipus_nev, ugyfel_nev, telefon, "
                            "statusz_nev FROM vw_munkalap"),
             QStringLiteral("WHERE statusz = %1").arg(int(WorkOrderStatus::Received)), QStringLiteral("ORDER BY munkalap DESC;")},
            QStringLiteral("(statusz = %1)").arg(int(WorkOrderStatus::Received)), QStringLiteral("munkalap"), QStringLiteral("munkalap"),
            QStringLiteral("CONVERT(munkalap USING latin2);mlaptipus_nev;"
                           "CONVERT(DATE_FORMAT(datum,'%Y.%m.%d') USING latin2);"
                           "CONVERT(DATE_FORMAT(dat_hatid,'%Y.%m.%d') USING latin2);"
                           "CONVERT(DATE_FORMAT(dat_kesz,'%Y.%m.%d') USING latin2);ugyfel_nev;telefon;statusz_nev")};
}

ListSql WorkOrderStore::historyList(qint64 client)
{
    return {{QStringLiteral("SELECT"), QStringLiteral(" munkalap.*,"), QStringLiteral(" statusz.statusz_nev,"),
             QStringLiteral(" mlaptipus.mlaptipus_nev,"), QStringLiteral(" ugyfel.ugyfel_nev"),
             QStringLiteral("FROM munkalap"), QStringLiteral(" JOIN statusz ON (munkalap.statusz = statusz.statusz)"),
             QStringLiteral(" JOIN mlaptipus ON (munkalap.mlaptipus = mlaptipus.mlaptipus)"),
             QStringLiteral(" JOIN ugyfel ON (munkalap.ugyfel = ugyfel.ugyfel)"),
             QStringLiteral("WHERE munkalap.ugyfel = 0"), QStringLiteral("ORDER BY munkalap.munkalap;")},
            QStringLiteral("(munkalap.ugyfel = %1)").arg(client), QStringLiteral("munkalap"),
            QStringLiteral("munkalap"), QString()};
}

void WorkOrderStore::finish(qint64 order)
{
    m_db.exec(QStringLiteral("CALL sp_munkalapkesz(%1);").arg(order));
}

bool WorkOrderStore::exists(qint64 order)
{
    return m_db.query(QStringLiteral("SELECT COUNT(*) FROM munkalap WHERE munkalap = %1;").arg(order)).toInt(0, 0) > 0;
}

void WorkOrderStore::remove(qint64 order)
{
    m_db.exec(QStringLiteral("DELETE FROM munkalap WHERE munkalap = %1;").arg(order));
}

void WorkOrderStore::cancel(qint64 order)
{
    m_db.exec(QStringLiteral("UPDATE munkalap SET storno = 'I' WHERE munkalap = %1;").arg(order));
}

void WorkOrderStore::stepStatus(qint64 order, const QString &user, WorkOrderStatus next)
{
    m_db.exec(QStringLiteral("CALL sp_setstatusz(%1,%2,%3);")
                  .arg(QString::number(order), SqlQuote(user), QString::number(int(next))));
}

RowSet WorkOrderStore::monthlyRevenue(const QDate &from, const QDate &to)
{
    const QString d1 = SqlDateLiteral(from), d2 = SqlDateLiteral(to);
    // The same two selects as the revenue report (its joins included), summed
    // per month on the server.
    const QString sql = QStringList{
        QStringLiteral("SELECT honap, COALESCE(SUM(eloleg), 0) AS eloleg, COALESCE(SUM(utolag), 0) AS utolag FROM ("),
        QStringLiteral(" SELECT DATE_FORMAT(munkalap.dat_kesz, '%Y.%m') AS honap, 0 AS eloleg, munkalap.fizetendo AS utolag"),
        QStringLiteral(" FROM munkalap JOIN ugyfel ON (munkalap.ugyfel = ugyfel.ugyfel)"),
        QStringLiteral("  JOIN statusz ON (munkalap.statusz = statusz.statusz)"),
        QStringLiteral(" WHERE (munkalap.statusz = %1) AND (munkalap.dat_kesz BETWEEN %2 AND %3) AND (munkalap.storno = 'N')")
            .arg(QString::number(int(WorkOrderStatus::HandedOver)), d1, d2),
        QStringLiteral(" UNION ALL"),
        QStringLiteral(" SELECT DATE_FORMAT(munkalap.datum, '%Y.%m'), munkalap.eloleg, 0"),
        QStringLiteral(" FROM munkalap JOIN ugyfel ON (munkalap.ugyfel = ugyfel.ugyfel)"),
        QStringLiteral("  JOIN statusz ON (munkalap.statusz = statusz.statusz)"),
        QStringLiteral(" WHERE (munkalap.datum BETWEEN %1 AND %2) AND (munkalap.storno = 'N')").arg(d1, d2),
        QStringLiteral(") AS bevetel GROUP BY honap ORDER BY honap;")}
                            .join(QLatin1Char('\n'));
    return m_db.query(sql);
}

} // namespace qo
