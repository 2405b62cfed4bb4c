#include "workorders/WorkOrderStore.h"

#include "db/Connection.h"
#include "reports/ReportOutput.h"
#include "reports/RevenueReports.h"
#include "reports/RowFeed.h"

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

QString WorkOrderStore::overdueCondition()
{
    return QStringLiteral("(statusz = %1 AND dat_hatid < CURDATE() AND IFNULL(storno, 'N') <> 'I')")
        .arg(int(WorkOrderStatus::Received));
}

ListSql WorkOrderStore::uncollectedList(int days)
{
    const QString condition = QStringLiteral("(statusz = %1 AND dat_kesz < CURDATE() - INTERVAL %2 DAY "
                                             "AND IFNULL(storno, 'N') <> 'I')")
                                  .arg(int(WorkOrderStatus::Ready))
                                  .arg(qMax(0, days));
    return {.lines = {QStringLiteral("SELECT munkalap, ugyfel, ugyfel_nev, telefon, mlaptipus_nev, datum, dat_kesz, "
                                     "osszar, eloleg, fizetendo, statusz, storno FROM vw_munkalap"),
                      QStringLiteral("WHERE ") + condition, QStringLiteral("ORDER BY dat_kesz, munkalap;")},
            .baseCondition = condition,
            .keyField = QStringLiteral("munkalap"),
            .sortField = QStringLiteral("dat_kesz"),
            .searchColumns = QStringLiteral("CONVERT(munkalap USING latin2);ugyfel_nev;telefon;mlaptipus_nev")};
}

WorkOrderPrintData WorkOrderStore::printout(qint64 order)
{
    WorkOrderPrintData data;
    data.workOrder = order;
    data.order = m_db.query(QStringLiteral("SELECT * FROM vw_munkalap\nWHERE munkalap=%1\nORDER BY 1;").arg(order));
    if (data.order.rowCount() > 0) {
        const RowSet client = m_db.query(QStringLiteral("SELECT szuldatum FROM ugyfel WHERE ugyfel = %1;")
                                             .arg(data.order.toInt(0, QStringLiteral("ugyfel"), 0)));
        data.birthDate = client.rowCount() ? client.text(0, 0) : QString();
    }
    return data;
}

BandReport BuildWorkOrderPrintout(qint64 workOrder, bool a5)
{
    return BuildWorkOrderPrintout(WorkOrderStore(Connection::main()).printout(workOrder), a5);
}

void PrintWorkOrder(qint64 workOrder, bool print, QWidget *parent)
{
    PrintWorkOrder(WorkOrderStore(Connection::main()).printout(workOrder), print, parent);
}

QString WorkOrderStore::overdueCountSql()
{
    return QStringLiteral("SELECT COUNT(*) FROM munkalap WHERE ") + overdueCondition();
}

int WorkOrderStore::uncollectedDays()
{
    constexpr int kDefault = 14;
    if (m_db.query(QStringLiteral("SELECT COUNT(*) FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() "
                                  "AND TABLE_NAME = 'beallit' AND COLUMN_NAME = 'nemvitt_nap'"))
            .toInt(0, 0)
        == 0)
        return kDefault;
    const RowSet rs = m_db.query(QStringLiteral("SELECT nemvitt_nap FROM beallit ORDER BY beallit LIMIT 1"));
    return rs.rowCount() && !rs.isNull(0, 0) ? int(rs.toInt(0, 0, kDefault)) : kDefault;
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

namespace {

QString bindPeriod(QString sql, const QDate &from, const QDate &to)
{
    // Dates only: both ends of BETWEEN are whole days.
    sql.replace(QStringLiteral(":d1"), SqlDateLiteral(from));
    sql.replace(QStringLiteral(":d2"), SqlDateLiteral(to));
    sql.replace(QStringLiteral(":d3"), SqlDateLiteral(from));
    sql.replace(QStringLiteral(":d4"), SqlDateLiteral(to));
    return sql;
}

} // namespace

QString WorkOrderStore::revenueSql(const QDate &from, const QDate &to)
{
    const QStringList lines = {
        QStringLiteral("SELECT 'Utólag' AS sortipus, munkalap.munkalap, munkalap.statusz, statusz.statusz_nev,"),
        QStringLiteral(" ugyfel.ugyfel_nev, munkalap.dat_kesz AS dat, munkalap.fizetendo AS bevetel"),
        QStringLiteral("FROM munkalap"),
        QStringLiteral(" JOIN ugyfel ON (munkalap.ugyfel = ugyfel.ugyfel)"),
        QStringLiteral(" JOIN statusz ON (munkalap.statusz = statusz.statusz)"),
        QStringLiteral("WHERE (munkalap.statusz = %1) AND (munkalap.dat_kesz BETWEEN :d1 AND :d2) AND (munkalap.storno = 'N')")
            .arg(int(WorkOrderStatus::HandedOver)),
        QStringLiteral("UNION ALL"),
        QStringLiteral("SELECT 'Előleg' AS sortipus, munkalap.munkalap, munkalap.statusz, statusz.statusz_nev,"),
        QStringLiteral(" ugyfel.ugyfel_nev, munkalap.datum AS dat, munkalap.eloleg AS bevetel"),
        QStringLiteral("FROM munkalap"),
        QStringLiteral(" JOIN ugyfel ON (munkalap.ugyfel = ugyfel.ugyfel)"),
        QStringLiteral(" JOIN statusz ON (munkalap.statusz = statusz.statusz)"),
        QStringLiteral("WHERE (munkalap.datum BETWEEN :d3 AND :d4) AND (munkalap.storno = 'N')"),
        QStringLiteral("ORDER BY 1,2;")};
    return bindPeriod(lines.join(QLatin1Char('\n')), from, to);
}

QString WorkOrderStore::salesSql(const QDate &from, const QDate &to)
{
    const QStringList lines = {
        QStringLiteral("SELECT '1. Keretek' AS sorrend, keretmarka.keretmarka_nev AS marka, munkalap.kerettipus AS tipus,"),
        QStringLiteral(" COUNT(munkalap.keretmarka) AS darab, SUM(munkalap.ar_keret) AS ar"),
        QStringLiteral("FROM munkalap"),
        QStringLiteral(" JOIN keretmarka ON (munkalap.keretmarka = keretmarka.keretmarka)"),
        QStringLiteral("WHERE (munkalap.datum BETWEEN :d1 AND :d2) AND (munkalap.storno = 'N')"),
        QStringLiteral("GROUP BY keretmarka.keretmarka_nev,munkalap.kerettipus"),
        QStringLiteral("UNION ALL"),
        QStringLiteral("SELECT '2. Lencsék' AS sorrend, lencsemarka.lencsemarka_nev AS marka, munkalap.tipus AS tipus,"),
        QStringLiteral(" COUNT(munkalap.lencsemarka) AS darab, SUM(munkalap.ar_jobb + munkalap.ar_bal) AS ar"),
        QStringLiteral("FROM munkalap"),
        QStringLiteral(" JOIN lencsemarka ON (munkalap.lencsemarka = lencsemarka.lencsemarka)"),
        QStringLiteral("WHERE (munkalap.datum BETWEEN :d3 AND :d4) AND (munkalap.storno = 'N')"),
        QStringLiteral("GROUP BY lencsemarka.lencsemarka_nev,munkalap.tipus"),
        QStringLiteral("ORDER BY 1,2,3;")};
    return bindPeriod(lines.join(QLatin1Char('\n')), from, to);
}

QString WorkOrderStore::lensSalesSql(bool contactLenses, qint64 brand, const QDate &from, const QDate &to)
{
    QStringList lines = {
        QStringLiteral("SELECT lencsemarka.lencsemarka_nev AS marka, munkalap.tipus,"),
        QStringLiteral(" munkalap.jobbsph, munkalap.jobbcyl, munkalap.jobbax, munkalap.jobbprism, munkalap.jobbegyeb,"),
        QStringLiteral(" munkalap.balsph, munkalap.balcyl, munkalap.balax, munkalap.balprism, munkalap.balegyeb,"),
        QStringLiteral(" munkalap.szoveg_szinezes, munkalap.lencsemarka"),
        QStringLiteral("FROM munkalap"),
        QStringLiteral(" JOIN lencsemarka ON (munkalap.lencsemarka = lencsemarka.lencsemarka)"),
        contactLenses
            ? QStringLiteral("WHERE (munkalap.mlaptipus = %1) AND (munkalap.datum BETWEEN :d1 AND :d2) AND (munkalap.storno = 'N')")
                  .arg(kContactLensOrder)
            : QStringLiteral("WHERE (munkalap.mlaptipus <= %1) AND (munkalap.datum BETWEEN :d1 AND :d2) AND (munkalap.storno='N')")
                  .arg(kContactLensOrder - 1), // the spectacle types
        QStringLiteral("ORDER BY 1,2;")};
    if (brand >= 0)
        AppendToWhereLine(lines, QStringLiteral(" AND (munkalap.lencsemarka = %1)").arg(brand));
    return bindPeriod(lines.join(QLatin1Char('\n')), from, to);
}

QStringList WorkOrderStore::revenueStreamSql(const QDate &from, const QDate &to)
{
    // The two halves of revenueSql() one after the other, each in order of the
    // order number ("Előleg" sorts before "Utólag"): the same rows in the same
    // order, but read along the primary key as the server finds them, so the
    // first rows come at once instead of after a sort of the whole year.
    auto half = [&](const QString &type, const QString &date, const QString &amount, const QString &condition) {
        return QStringList{
            QStringLiteral("SELECT STRAIGHT_JOIN '%1' AS sortipus, munkalap.munkalap, munkalap.statusz, statusz.statusz_nev,").arg(type),
            QStringLiteral(" ugyfel.ugyfel_nev, munkalap.%1 AS dat, munkalap.%2 AS bevetel").arg(date, amount),
            QStringLiteral("FROM munkalap FORCE INDEX (PRIMARY)"),
            QStringLiteral(" JOIN ugyfel ON (munkalap.ugyfel = ugyfel.ugyfel)"),
            QStringLiteral(" JOIN statusz ON (munkalap.statusz = statusz.statusz)"),
            QStringLiteral("WHERE ") + condition,
            QStringLiteral("ORDER BY munkalap.munkalap;")}
            .join(QLatin1Char('\n'));
    };
    return {bindPeriod(half(QStringLiteral("Előleg"), QStringLiteral("datum"), QStringLiteral("eloleg"),
                            QStringLiteral("(munkalap.datum BETWEEN :d3 AND :d4) AND (munkalap.storno = 'N')")),
                       from, to),
            bindPeriod(half(QStringLiteral("Utólag"), QStringLiteral("dat_kesz"), QStringLiteral("fizetendo"),
                            QStringLiteral("(munkalap.statusz = %1) AND (munkalap.dat_kesz BETWEEN :d1 AND :d2) AND (munkalap.storno = 'N')")
                                .arg(int(WorkOrderStatus::HandedOver))),
                       from, to)};
}

std::shared_ptr<RowFeed> WorkOrderStore::revenueRows(const QDate &from, const QDate &to)
{
    // Without join buffering the server keeps the primary key's order through
    // the joins (MariaDB; another server passes over the setting).
    return std::make_shared<RowFeed>(m_db.params(), revenueStreamSql(from, to),
                                     QStringList{QStringLiteral("SET SESSION join_cache_level = 0")});
}

BandReport BuildRevenueReport(const QDate &from, const QDate &to)
{
    auto rows = std::make_shared<RowSet>(Connection::main().query(WorkOrderStore::revenueSql(from, to)));
    return BuildRevenueReport(from, to, std::make_shared<RowFeed>(rows));
}

BandReport BuildSalesReport(const QDate &from, const QDate &to)
{
    return BuildSalesReport(from, to, std::make_shared<RowSet>(Connection::main().query(WorkOrderStore::salesSql(from, to))));
}

BandReport BuildLensSalesReport(bool contactLenses, qint64 brand, const QDate &from, const QDate &to)
{
    const QString sql = WorkOrderStore::lensSalesSql(contactLenses, brand, from, to);
    return BuildLensSalesReport(contactLenses, from, to, std::make_shared<RowSet>(Connection::main().query(sql)));
}

void PrintRevenueReport(const QDate &from, const QDate &to, QWidget *parent)
{
    RunStatisticsReport(BuildRevenueReport(from, to, WorkOrderStore(Connection::main()).revenueRows(from, to)), parent);
}

void PrintSalesReport(const QDate &from, const QDate &to, QWidget *parent)
{
    RunStatisticsReport(BuildSalesReport(from, to), parent);
}

void PrintLensSalesReport(qint64 brand, const QDate &from, const QDate &to, QWidget *parent)
{
    RunStatisticsReport(BuildLensSalesReport(false, brand, from, to), parent);
}

void PrintContactLensSalesReport(qint64 brand, const QDate &from, const QDate &to, QWidget *parent)
{
    RunStatisticsReport(BuildLensSalesReport(true, brand, from, to), parent);
}

} // namespace qo
