#include "clients/ReminderStore.h"

#include "db/Connection.h"
#include "db/SqlText.h"

#include <QStringList>

namespace qo {

namespace {

QString keyList(const QList<qint64> &clients)
{
    QStringList keys;
    for (qint64 k : clients)
        keys << QString::number(k);
    return keys.isEmpty() ? QStringLiteral("0") : keys.join(QLatin1Char(','));
}

const char kDefaultLetter[] =
    "Kedves {név}!\n\n"
    "Szeretnénk emlékeztetni, hogy {dátum} táján esedékes szemüvege, illetve látása ellenőrzése. "
    "Kérjük, keressen fel bennünket, vagy hívjon telefonon, és egyeztessünk időpontot.\n\n"
    "Üdvözlettel:";

} // namespace

QString ReminderChannelCode(ContactPurpose channel)
{
    return PurposeCode(channel);
}

QString ReminderLetterText(const QString &templ, const QString &name, const QDate &date)
{
    QString t = templ.trimmed().isEmpty() ? QString::fromUtf8(kDefaultLetter) : templ;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QStringLiteral("{név}"), name);
    t.replace(QStringLiteral("{dátum}"), date.isValid() ? date.toString(QStringLiteral("yyyy.MM.dd")) : QString());
    return t;
}

ReminderStore::ReminderStore(Connection &db) : m_db(db) {}

QString ReminderStore::listSql(const ReminderCriteria &c)
{
    const QString d1 = SqlDateLiteral(c.from), d2 = SqlDateLiteral(c.to);
    const int months = qMax(0, c.months);
    // The due clients come from two index reads: the reminder date
    // (ix_ugyfel_figyelmeztet) and, when asked, each client's last order
    // (ix_munkalap_ugyfel_storno_datum, read from the index alone); a client
    // found by both is listed once.
    QStringList due = {
        QStringLiteral("  SELECT ugyfel, dat_figyelmeztet AS emlek, NULL AS utolso FROM ugyfel"),
        QStringLiteral("  WHERE dat_figyelmeztet BETWEEN %1 AND %2").arg(d1, d2)};
    if (c.oldOrders)
        due << QStringLiteral("  UNION ALL")
            << QStringLiteral("  SELECT ugyfel, DATE_ADD(MAX(datum), INTERVAL %1 MONTH), MAX(datum) FROM munkalap")
                   .arg(months)
            << QStringLiteral("  WHERE storno = 'N' GROUP BY ugyfel")
            << QStringLiteral("  HAVING MAX(datum) < DATE_SUB(%1, INTERVAL %2 MONTH)").arg(d2).arg(months);
    QStringList lines = {
        QStringLiteral("SELECT u.ugyfel, u.ugyfel_nev, u.telefon, u.emil, u.cim_irsz, u.cim_varos, u.cim_cim,"),
        QStringLiteral(" d.emlek_datum, d.utolso_munkalap"),
        QStringLiteral("FROM (SELECT ugyfel, MIN(emlek) AS emlek_datum, MAX(utolso) AS utolso_munkalap FROM ("),
    };
    lines << due;
    lines << QStringLiteral(" ) AS x GROUP BY ugyfel) AS d")
          << QStringLiteral(" JOIN ugyfel u ON (u.ugyfel = d.ugyfel)")
          << QStringLiteral("WHERE u.ugyfel > 0 AND u.torolve <> 'I' AND ")
                 + ConsentStore::mayContactSql(c.channel, QStringLiteral("u.ugyfel"))
          // Told already on any channel for a period that overlaps this one.
          << QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM ertesites e WHERE e.ugyfel = u.ugyfel"
                            " AND e.tol <= %2 AND e.ig >= %1)").arg(d1, d2)
          << QStringLiteral("ORDER BY u.ugyfel_nev, u.ugyfel;");
    return lines.join(QLatin1Char('\n'));
}

RowSet ReminderStore::list(const ReminderCriteria &c)
{
    return m_db.query(listSql(c));
}

RowSet ReminderStore::gatewayRows(const QList<qint64> &clients)
{
    return m_db.query(QStringLiteral("SELECT ugyfel_nev, telefon, emil FROM ugyfel WHERE ugyfel IN (%1) "
                                     "ORDER BY ugyfel_nev, ugyfel;").arg(keyList(clients)));
}

RowSet ReminderStore::envelopeRows(const QList<qint64> &clients)
{
    return m_db.query(QStringLiteral("SELECT * FROM vw_boritek WHERE ugyfel IN (%1) ORDER BY ugyfel_nev, ugyfel;")
                          .arg(keyList(clients)));
}

void ReminderStore::markNotified(const QList<qint64> &clients, const ReminderCriteria &c)
{
    if (clients.isEmpty())
        return;
    const QString keys = keyList(clients);
    const QString channel = SqlQuote(ReminderChannelCode(c.channel));
    RunInTransaction(m_db, [&] {
        // One moment for the rows and their log entries, which find them by it.
        const QString at = SqlQuote(m_db.query(QStringLiteral("SELECT NOW();")).text(0, 0));
        const QString who = QStringLiteral("LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150)");
        m_db.exec(QStringLiteral("INSERT INTO ertesites (ugyfel, datum, csatorna, tol, ig, felhasznalo) "
                                 "SELECT ugyfel, %1, %2, %3, %4, %5 FROM ugyfel WHERE ugyfel IN (%6);")
                      .arg(at, channel, SqlDateLiteral(c.from), SqlDateLiteral(c.to), who, keys));
        m_db.exec(QStringLiteral("INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet) "
                                 "SELECT e.datum, e.felhasznalo, 'ertesites', e.ertesites, e.ugyfel, 'ERTESITES', "
                                 "CONCAT(e.csatorna, ' ', DATE_FORMAT(e.tol, '%Y.%m.%d'), ' - ', DATE_FORMAT(e.ig, '%Y.%m.%d')) "
                                 "FROM ertesites e WHERE e.datum = %1 AND e.csatorna = %2 AND e.ugyfel IN (%3);")
                      .arg(at, channel, keys));
    });
}

ReminderSettings ReminderStore::settings()
{
    ReminderSettings s;
    const RowSet rs = m_db.query(QStringLiteral("SELECT emlek_honap, emlek_level FROM beallit LIMIT 1;"));
    if (rs.rowCount() > 0) {
        s.months = int(rs.toInt(0, 0, 24));
        s.letterText = rs.text(0, 1);
    }
    return s;
}

} // namespace qo
