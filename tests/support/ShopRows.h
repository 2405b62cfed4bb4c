#pragma once
// Rows a test puts into the shop database on the main connection: the shop
// itself, clients, brands and work orders, each as the program would find
// them (a client has its prescription rows).
#include "db/Connection.h"

#include <QString>

namespace qo::test {

// A text as an SQL string literal's inside.
inline QString q(const QString &s)
{
    return QString(s).replace(QLatin1Char('\''), QStringLiteral("''"));
}

// A client; `extra` names further columns and `extraValues` their SQL values.
inline qint64 addClient(const QString &name, const QString &extra = {}, const QString &extraValues = {})
{
    ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, torolve%1) VALUES ('%2', 'N'%3)")
                .arg(extra.isEmpty() ? QString() : QStringLiteral(", ") + extra, q(name),
                     extraValues.isEmpty() ? QString() : QStringLiteral(", ") + extraValues));
    const qint64 key = SqlIntValue(QStringLiteral("SELECT LAST_INSERT_ID()"), -1);
    ExecSql(QStringLiteral("CALL sp_oldal(%1)").arg(key));
    return key;
}

// A row of a named master list (lencsemarka, keretmarka, ...).
inline qint64 addBrand(const QString &table, const QString &name)
{
    ExecSql(QStringLiteral("INSERT INTO %1 (%1_nev) VALUES ('%2')").arg(table, q(name)));
    return SqlIntValue(QStringLiteral("SELECT LAST_INSERT_ID()"), -1);
}

// A work order of today, received, with the columns given as "col = value" assignments.
inline qint64 addOrder(qint64 client, int type, const QString &assignments)
{
    ExecSql(QStringLiteral("INSERT INTO munkalap (ugyfel, mlaptipus, datum, statusz, storno) VALUES (%1, %2, CURDATE(), 1, 'N')")
                .arg(client).arg(type));
    const qint64 key = SqlIntValue(QStringLiteral("SELECT LAST_INSERT_ID()"), -1);
    if (!assignments.isEmpty())
        ExecSql(QStringLiteral("UPDATE munkalap SET %1 WHERE munkalap = %2").arg(assignments).arg(key));
    return key;
}

// The shop's own data, as its printouts' letterhead shows it.
inline void addShop()
{
    ExecSql(QStringLiteral("DELETE FROM tulajdonos"));
    ExecSql(QStringLiteral("INSERT INTO tulajdonos (tulajdonos, telefon, irsz, varos, cim) "
                           "VALUES ('Fénysugár Optika', '06 1 555 0101', '1051', 'Budapest', 'Fő utca 12.')"));
}

} // namespace qo::test
