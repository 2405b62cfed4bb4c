#include "workorders/WorkOrderStore.h"

#include "db/Connection.h"

namespace qo {

WorkOrderStore::WorkOrderStore(Connection &db) : m_db(db) {}

ListSql WorkOrderStore::mainList()
{
    return {.lines = {QStringLiteral("SELECT munkalap, mlaptipus, ugyfel, datum, dat_hatid, dat_kesz, statusz, "
                                     "osszar, eloleg, fizetendo, storno, mlaptipus_nev, ugyfel_nev, telefon, "
                                     "statusz_nev FROM vw_munkalap"),
                      QStringLiteral("WHERE ") + statusCondition(WorkOrderStatus::Received),
                      QStringLiteral("ORDER BY munkalap DESC;")},
            .baseCondition = statusCondition(WorkOrderStatus::Received),
            .keyField = QStringLiteral("munkalap"),
            .sortField = QStringLiteral("munkalap"),
            .searchColumns = QStringLiteral("CONVERT(munkalap USING latin2);mlaptipus_nev;"
                                            "CONVERT(DATE_FORMAT(datum,'%Y.%m.%d') USING latin2);"
                                            "CONVERT(DATE_FORMAT(dat_hatid,'%Y.%m.%d') USING latin2);"
                                            "CONVERT(DATE_FORMAT(dat_kesz,'%Y.%m.%d') USING latin2);ugyfel_nev;telefon;statusz_nev")};
}

ListSql WorkOrderStore::historyList(qint64 client)
{
    return {.lines = {QStringLiteral("SELECT"), QStringLiteral(" munkalap.*,"), QStringLiteral(" statusz.statusz_nev,"),
                      QStringLiteral(" mlaptipus.mlaptipus_nev,"), QStringLiteral(" ugyfel.ugyfel_nev"),
                      QStringLiteral("FROM munkalap"), QStringLiteral(" JOIN statusz ON (munkalap.statusz = statusz.statusz)"),
                      QStringLiteral(" JOIN mlaptipus ON (munkalap.mlaptipus = mlaptipus.mlaptipus)"),
                      QStringLiteral(" JOIN ugyfel ON (munkalap.ugyfel = ugyfel.ugyfel)"),
                      QStringLiteral("WHERE munkalap.ugyfel = 0"), QStringLiteral("ORDER BY munkalap.munkalap;")},
            .baseCondition = QStringLiteral("(munkalap.ugyfel = %1)").arg(client),
            .keyField = QStringLiteral("munkalap"),
            .sortField = QStringLiteral("munkalap"),
            .searchColumns = {}};
}

QString WorkOrderStore::statusCondition(WorkOrderStatus status)
{
    return QStringLiteral("(statusz = %1)").arg(int(status));
}

QString WorkOrderStore::anyStatusCondition() { return QStringLiteral("(statusz > 0)"); }

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

} // namespace qo
