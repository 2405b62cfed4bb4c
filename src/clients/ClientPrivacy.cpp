#include "clients/ClientPrivacy.h"

#include "db/AuditLog.h"
#include "db/Connection.h"
#include "db/Kinds.h"
#include "db/SqlText.h"

namespace qo {

namespace {

const char *const kCodes[4] = {"LEVEL", "SMS", "EMAIL", "MARKETING"};
const char *const kCaptions[4] = {"Emlékeztető levélben", "Emlékeztető SMS-ben", "Emlékeztető e-mailben",
                                  "Ajánlatok, hírlevél (marketing)"};

int indexOf(ContactPurpose p) { return int(p); }

// The acting user as the audit triggers take it.
const char kActingUser[] = "LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), CURRENT_USER()), 150)";

// The examinations a retention of `years` still covers (their date within it).
QString examinationCovered(int years)
{
    if (years <= 0)
        return QStringLiteral("FALSE");
    return QStringLiteral("(datum IS NOT NULL AND datum >= CURDATE() - INTERVAL %1 YEAR)").arg(years);
}

QString prescriptionTables()
{
    QStringList names;
    for (const PrescriptionKind &k : kPrescriptionKinds)
        names << SqlQuote(QString(k.table));
    return names.join(QStringLiteral(", "));
}

} // namespace

QString PurposeCode(ContactPurpose purpose) { return QString::fromLatin1(kCodes[indexOf(purpose)]); }
QString PurposeCaption(ContactPurpose purpose) { return QString::fromUtf8(kCaptions[indexOf(purpose)]); }

ConsentStore::ConsentStore(Connection &db) : m_db(db) {}

ConsentStates ConsentStore::current(qint64 client)
{
    ConsentStates out{};
    // The newest row of each purpose.
    const RowSet rs = m_db.query(QStringLiteral(
        "SELECT h.cel, h.megadva, h.datum, h.felhasznalo FROM hozzajarulas h "
        "WHERE h.ugyfel = %1 AND h.hozzajarulas = (SELECT MAX(n.hozzajarulas) FROM hozzajarulas n "
        "WHERE n.ugyfel = h.ugyfel AND n.cel = h.cel)").arg(client));
    for (int r = 0; r < rs.rowCount(); ++r) {
        for (ContactPurpose p : kContactPurposes) {
            if (rs.text(r, 0) != PurposeCode(p))
                continue;
            ConsentState &s = out[size_t(indexOf(p))];
            s.recorded = true;
            s.given = rs.text(r, 1) == QLatin1String("I");
            s.when = rs.toDateTime(r, 2);
            s.who = rs.text(r, 3);
        }
    }
    return out;
}

void ConsentStore::record(qint64 client, ContactPurpose purpose, bool given)
{
    m_db.exec(QStringLiteral("INSERT INTO hozzajarulas (ugyfel, cel, megadva, datum, felhasznalo) VALUES (%1, %2, %3, NOW(), ")
                  .arg(client)
                  .arg(SqlQuote(PurposeCode(purpose)), SqlQuote(given ? QStringLiteral("I") : QStringLiteral("N")))
              + QLatin1String(kActingUser) + QStringLiteral(")"));
}

bool ConsentStore::mayContact(qint64 client, ContactPurpose purpose)
{
    return m_db.query(QStringLiteral("SELECT COUNT(*) FROM ugyfel WHERE ugyfel = %1 AND ").arg(client)
                      + mayContactSql(purpose))
               .toInt(0, 0)
        > 0;
}

QString ConsentStore::mayContactSql(ContactPurpose purpose, const QString &clientColumn)
{
    // The clients whose newest row of the purpose gives it; a client without
    // a row is not among them. The column stays outside the subquery, where
    // "ugyfel" still names the list's own column.
    return QStringLiteral("(%1 IN (SELECT h.ugyfel FROM hozzajarulas h WHERE h.cel = %2 AND h.megadva = 'I' "
                          "AND h.hozzajarulas = (SELECT MAX(n.hozzajarulas) FROM hozzajarulas n "
                          "WHERE n.ugyfel = h.ugyfel AND n.cel = h.cel)))")
        .arg(clientColumn, SqlQuote(PurposeCode(purpose)));
}

ClientPrivacy::ClientPrivacy(Connection &db) : m_db(db) {}

QString ClientPrivacy::erasedName(qint64 client) { return QStringLiteral("Törölt ügyfél %1").arg(client); }

QString ClientPrivacy::auditCondition(qint64 client)
{
    const QString key = SqlQuote(QString::number(client));
    return QStringLiteral(
               "(ugyfel = %1 OR (tabla = 'ugyfel' AND kulcs = %2) OR (tabla IN (%3) AND kulcs LIKE %4) "
               "OR (tabla = 'vizsgalat' AND kulcs IN (SELECT CAST(vizsgalat AS CHAR) FROM vizsgalat WHERE ugyfel = %1)) "
               "OR (tabla = 'munkalap' AND kulcs IN (SELECT CAST(munkalap AS CHAR) FROM munkalap WHERE ugyfel = %1)))")
        .arg(QString::number(client), key, prescriptionTables(), SqlQuote(QString::number(client) + QStringLiteral("/%")));
}

SubjectData ClientPrivacy::read(qint64 client)
{
    SubjectData d;
    d.client = client;
    // One consistent picture even while other workstations write.
    RunInTransaction(m_db, [&] {
        const RowSet shop = m_db.query(QStringLiteral("SELECT tulajdonos, irszvaroscim FROM vw_tulajdonos LIMIT 1"));
        if (shop.rowCount()) {
            d.shopName = shop.text(0, 0);
            d.shopAddress = shop.text(0, 1);
        }
        d.person = m_db.query(QStringLiteral("SELECT * FROM ugyfel WHERE ugyfel = %1").arg(client));
        QStringList parts;
        for (const PrescriptionKind &k : kPrescriptionKinds) {
            const QString v = k.contactLens ? QStringLiteral("sph, cyl, ax, NULL, NULL, gorb, bc, dia")
                                            : QStringLiteral("sph, cyl, ax, prism, pd, NULL, NULL, NULL");
            parts << QStringLiteral("SELECT %1 AS recept, kulcs, oldal, %2 FROM %3 WHERE ugyfel = %4")
                         .arg(SqlQuote(k.captionText()), v, QString(k.table))
                         .arg(client);
        }
        // Column names from the first part.
        parts[0].replace(QStringLiteral("sph, cyl, ax, prism, pd, NULL, NULL, NULL"),
                         QStringLiteral("sph, cyl, ax, prism, pd, NULL AS gorb, NULL AS bc, NULL AS dia"));
        d.prescriptions = m_db.query(parts.join(QStringLiteral(" UNION ALL ")));
        d.prescriptionHistory = m_db.query(QStringLiteral(
            "SELECT CASE fajta WHEN 'TAVOL' THEN %2 WHEN 'KOZEL' THEN %3 WHEN 'EGYEB' THEN %4 ELSE %5 END AS recept, "
            "kulcs, oldal, sph, cyl, ax, prism, pd, gorb, bc, dia, ervenyes, felhasznalo FROM recept_elozmeny "
            "WHERE ugyfel = %1 ORDER BY FIELD(fajta, 'TAVOL', 'KOZEL', 'EGYEB', 'KONTAKT'), ervenyes, recept_elozmeny")
                                               .arg(client)
                                               .arg(SqlQuote(kPrescriptionKinds[0].captionText()),
                                                    SqlQuote(kPrescriptionKinds[1].captionText()),
                                                    SqlQuote(kPrescriptionKinds[2].captionText()),
                                                    SqlQuote(kPrescriptionKinds[3].captionText())));
        d.examinations = m_db.query(
            QStringLiteral("SELECT * FROM vizsgalat WHERE ugyfel = %1 ORDER BY datum, vizsgalat").arg(client));
        d.workOrders = m_db.query(QStringLiteral(
            "SELECT m.*, t.mlaptipus_nev, s.statusz_nev, k.keretmarka_nev, l.lencsemarka_nev FROM munkalap m "
            "LEFT JOIN mlaptipus t ON t.mlaptipus = m.mlaptipus LEFT JOIN statusz s ON s.statusz = m.statusz "
            "LEFT JOIN keretmarka k ON k.keretmarka = m.keretmarka "
            "LEFT JOIN lencsemarka l ON l.lencsemarka = m.lencsemarka "
            "WHERE m.ugyfel = %1 ORDER BY m.datum, m.munkalap").arg(client));
        d.consents = m_db.query(QStringLiteral(
            "SELECT cel, megadva, datum, felhasznalo FROM hozzajarulas WHERE ugyfel = %1 ORDER BY hozzajarulas").arg(client));
        d.notifications = m_db.query(QStringLiteral(
            "SELECT datum, csatorna, tol, ig, felhasznalo FROM ertesites WHERE ugyfel = %1 ORDER BY ertesites").arg(client));
        d.auditLog = m_db.query(QStringLiteral("SELECT idopont, felhasznalo, tabla, kulcs, muvelet, reszlet FROM naplo "
                                               "WHERE ")
                                + auditCondition(client) + QStringLiteral(" ORDER BY naplo"));
    });
    return d;
}

int ClientPrivacy::retentionYears()
{
    const RowSet rs = m_db.query(QStringLiteral("SELECT megorzes_ev FROM beallit ORDER BY beallit LIMIT 1"));
    return rs.rowCount() ? int(qMax<qint64>(0, rs.toInt(0, 0, 0))) : 0;
}

bool ClientPrivacy::planErasure(qint64 client, ErasurePlan &plan)
{
    const RowSet person = m_db.query(
        QStringLiteral("SELECT ugyfel_nev, dat_utolso >= CURDATE() - INTERVAL %2 YEAR FROM ugyfel WHERE ugyfel = %1")
            .arg(client)
            .arg(retentionYears()));
    if (person.rowCount() == 0)
        return false;
    plan = ErasurePlan{};
    plan.client = client;
    plan.name = person.text(0, 0);
    plan.retentionYears = retentionYears();
    // Prescriptions are kept while the client's last visit is within the period.
    const bool keepPrescriptions = plan.retentionYears > 0 && person.toInt(0, 1, 0) == 1;
    int kinds = 0;
    for (const PrescriptionKind &k : kPrescriptionKinds)
        if (m_db.query(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ugyfel = %2").arg(QString(k.table)).arg(client)).toInt(0, 0) > 0)
            ++kinds;
    (keepPrescriptions ? plan.prescriptionsKept : plan.prescriptionsRemoved) = kinds;
    // The earlier states are health data of the same kind: kept or removed with the prescriptions.
    (keepPrescriptions ? plan.historyKept : plan.historyRemoved) =
        int(m_db.query(QStringLiteral("SELECT COUNT(*) FROM recept_elozmeny WHERE ugyfel = %1").arg(client)).toInt(0, 0));
    const RowSet exams = m_db.query(QStringLiteral("SELECT COALESCE(SUM(%1), 0), COUNT(*) FROM vizsgalat WHERE ugyfel = %2")
                                        .arg(examinationCovered(plan.retentionYears))
                                        .arg(client));
    plan.examinationsKept = int(exams.toInt(0, 0));
    plan.examinationsRemoved = int(exams.toInt(0, 1)) - plan.examinationsKept;
    plan.workOrders = int(m_db.query(QStringLiteral("SELECT COUNT(*) FROM munkalap WHERE ugyfel = %1").arg(client)).toInt(0, 0));
    plan.consents = int(m_db.query(QStringLiteral("SELECT COUNT(*) FROM hozzajarulas WHERE ugyfel = %1").arg(client)).toInt(0, 0));
    plan.logEntries = int(m_db.query(QStringLiteral("SELECT COUNT(*) FROM naplo WHERE ") + auditCondition(client)).toInt(0, 0));
    return true;
}

void ClientPrivacy::erase(const ErasurePlan &plan)
{
    const qint64 c = plan.client;
    RunInTransaction(m_db, [&] {
        if (plan.prescriptionsRemoved > 0)
            for (const PrescriptionKind &k : kPrescriptionKinds)
                m_db.exec(QStringLiteral("DELETE FROM %1 WHERE ugyfel = %2").arg(QString(k.table)).arg(c));
        if (plan.historyRemoved > 0)
            m_db.exec(QStringLiteral("DELETE FROM recept_elozmeny WHERE ugyfel = %1").arg(c));
        m_db.exec(QStringLiteral("DELETE FROM vizsgalat WHERE ugyfel = %1 AND NOT %2")
                      .arg(c)
                      .arg(examinationCovered(plan.retentionYears)));
        m_db.exec(QStringLiteral("DELETE FROM hozzajarulas WHERE ugyfel = %1").arg(c));
        // Whom the shop told of a reminder is contact data of the person as well.
        m_db.exec(QStringLiteral("DELETE FROM ertesites WHERE ugyfel = %1").arg(c));
        // The orders stay for the revenue; their free note may name or reach the person.
        m_db.exec(QStringLiteral("UPDATE munkalap SET megj = NULL WHERE ugyfel = %1").arg(c));
        m_db.exec(QStringLiteral("UPDATE ugyfel SET ugyfel_nev = %1, vnev = NULL, knev = NULL, kapcsolat = NULL, "
                                 "telefon = NULL, emil = NULL, honlap = NULL, cim_irsz = NULL, cim_varos = NULL, "
                                 "cim_cim = NULL, dat_figyelmeztet = NULL, megjegyzes = NULL, keret = NULL, "
                                 "keretszam = NULL, szuldatum = NULL, torolve = 'I' WHERE ugyfel = %2")
                      .arg(SqlQuote(erasedName(c)))
                      .arg(c));
        // The log keeps who changed what and when, but no longer the values:
        // they held the erased data (the updates above logged it once more).
        m_db.exec(QStringLiteral("UPDATE naplo SET reszlet = '(törölt ügyfél adatai)' WHERE reszlet IS NOT NULL AND ")
                  + auditCondition(c));
        const QString detail =
                 QStringLiteral("megőrzés: %1 év; recept törölve: %2, megőrizve: %3; vizsgálat törölve: %4, "
                                "megőrizve: %5; munkalap megőrizve: %6; hozzájárulás törölve: %7; "
                                "korábbi recept törölve: %8, megőrizve: %9")
                     .arg(plan.retentionYears)
                     .arg(plan.prescriptionsRemoved)
                     .arg(plan.prescriptionsKept)
                     .arg(plan.examinationsRemoved)
                     .arg(plan.examinationsKept)
                     .arg(plan.workOrders)
                     .arg(plan.consents)
                     .arg(plan.historyRemoved)
                     .arg(plan.historyKept);
        // An erasure nobody could account for later is not done at all.
        if (!AddAuditEvent(m_db, QString::fromLatin1(Audit::kErasure), QStringLiteral("ugyfel"), QString::number(c), detail))
            throw Error(QStringLiteral("A törlés nem naplózható, ezért nem történt meg."));
    });
}

} // namespace qo
