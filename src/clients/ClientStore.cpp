#include "clients/ClientStore.h"

#include "db/Connection.h"
#include "db/RecordEditor.h"
#include "db/RowConflict.h"

namespace qo {

ClientStore::ClientStore(Connection &db) : m_db(db) {}

ListSql ClientStore::clientList()
{
    return {.lines = {QStringLiteral("SELECT * FROM vw_ugyfel"), QStringLiteral("WHERE ugyfel > 0"),
                      QStringLiteral("ORDER BY ugyfel_nev;")},
            .baseCondition = QStringLiteral("(ugyfel > 0)"),
            .keyField = QStringLiteral("ugyfel"),
            .sortField = QStringLiteral("ugyfel_nev"),
            .searchColumns = QStringLiteral("ugyfel_nev;emil;telefon;szuldatum;CONVERT(irszvaroscim USING latin2);"
                                            "CONVERT(DATE_FORMAT(dat_utolso,'%Y.%m.%d') USING latin2);"
                                            "CONVERT(DATE_FORMAT(dat_figyelmeztet,'%Y.%m.%d') USING latin2)")};
}

ListSql ClientStore::pickerList()
{
    ListSql sql = clientList();
    sql.searchColumns = QStringLiteral("ugyfel_nev;kapcsolat;irszvaroscim;telefon");
    return sql;
}

ListSql ClientStore::examinationList()
{
    return {.lines = {QStringLiteral("SELECT * FROM vw_vizsgalat"), QStringLiteral("WHERE vizsgalat > 0"),
                      QStringLiteral("ORDER BY vizsgalat;")},
            .baseCondition = QStringLiteral("(vizsgalat > 0)"),
            .keyField = QStringLiteral("vizsgalat"),
            .sortField = QStringLiteral("vizsgalat"),
            .searchColumns = QStringLiteral("CONVERT(vizsgalat USING latin2);ugyfel_nev;anamnezis;diagnozis")};
}

ListSql ClientStore::prescriptionList(const PrescriptionKind &kind)
{
    return {.lines = {QStringLiteral("SELECT * FROM ") + kind.table, QStringLiteral("WHERE ugyfel = 0"),
                      QStringLiteral("ORDER BY kulcs;")},
            .baseCondition = {},
            .keyField = QStringLiteral("kulcs"),
            .sortField = QStringLiteral("kulcs"),
            .searchColumns = {}};
}

QStringList ClientStore::prescriptionColumns(const PrescriptionKind &kind)
{
    if (kind.contactLens)
        return {QStringLiteral("sph"), QStringLiteral("cyl"), QStringLiteral("ax"), QStringLiteral("bc"),
                QStringLiteral("dia")};
    return {QStringLiteral("sph"), QStringLiteral("cyl"), QStringLiteral("ax"), QStringLiteral("prism"),
            QStringLiteral("pd")};
}

bool ClientStore::clientExists(qint64 client)
{
    return client > 0
        && m_db.query(QStringLiteral("SELECT COUNT(*) FROM ugyfel WHERE ugyfel = %1").arg(client)).toInt(0, 0) > 0;
}

QString ClientStore::cityOfPostcode(const QString &postcode)
{
    const RowSet rs = m_db.query(QStringLiteral("SELECT varos FROM irsz WHERE irsz = ") + SqlQuote(postcode));
    return rs.rowCount() ? rs.text(0, 0) : QString();
}

qint64 ClientStore::insertClient(RecordEditor &row, const std::function<void(qint64 key)> &alsoInUnit)
{
    qint64 key = -1;
    RunInTransaction(m_db, [&] {
        key = row.post();
        m_db.exec(QStringLiteral("CALL sp_oldal(%1);").arg(key));
        if (alsoInUnit)
            alsoInUnit(key);
    });
    return key;
}

void ClientStore::markClientDeleted(qint64 client)
{
    m_db.exec(QStringLiteral("UPDATE ugyfel SET torolve = 'I' WHERE ugyfel = %1;").arg(client));
}

void ClientStore::setReminder(qint64 client, const QDate &date)
{
    m_db.exec(QStringLiteral("UPDATE ugyfel SET dat_figyelmeztet = %1 WHERE ugyfel = %2;")
                  .arg(date.isValid() ? SqlDateLiteral(date) : QStringLiteral("NULL"))
                  .arg(client));
}

void ClientStore::setLastVisit(qint64 client, const QDate &date)
{
    m_db.exec(QStringLiteral("UPDATE ugyfel SET dat_utolso = %1 WHERE ugyfel = %2;").arg(SqlDateLiteral(date)).arg(client));
}

void ClientStore::markExaminationDeleted(qint64 examination)
{
    m_db.exec(QStringLiteral("UPDATE vizsgalat SET torolve = 'I' WHERE vizsgalat = %1;").arg(examination));
}

ExaminationPrintData ClientStore::examinationPrintout(qint64 examination)
{
    ExaminationPrintData data;
    data.examination = examination;
    data.exam = m_db.query(QStringLiteral("SELECT * FROM vw_vizsgalat\nWHERE vizsgalat=%1\nORDER BY 1;").arg(examination));
    const qint64 client = data.exam.rowCount() > 0 ? data.exam.toInt(0, QStringLiteral("ugyfel"), 0) : 0;
    const auto prescription = [&](const char *view) {
        return m_db.query(QStringLiteral("SELECT * FROM %1\nWHERE ugyfel = %2\nORDER BY 1;")
                              .arg(QLatin1String(view))
                              .arg(client));
    };
    // Read in the order near, distance, special, contact lens.
    data.near = prescription("vw_ugyfel_sz_kozel");
    data.distance = prescription("vw_ugyfel_sz_tavol");
    data.special = prescription("vw_ugyfel_sz_egyeb");
    data.contact = prescription("vw_ugyfel_k");
    return data;
}

RowSet ClientStore::envelope(qint64 client)
{
    return m_db.query(QStringLiteral("SELECT * FROM vw_boritek\nWHERE ugyfel = %1\nORDER BY 1;").arg(client));
}

RowSet ClientStore::postalAddress(qint64 client)
{
    return m_db.query(
        QStringLiteral("SELECT ugyfel_nev, cim_irsz, cim_varos, cim_cim FROM ugyfel WHERE ugyfel = %1;").arg(client));
}

RowSet ClientStore::shopPostalAddress()
{
    return m_db.query(QStringLiteral("SELECT tulajdonos, irsz, varos, cim FROM tulajdonos LIMIT 1;"));
}

RowSet ClientStore::listRows(const QString &listSql) { return m_db.query(listSql); }

bool ClientStore::readPrescription(qint64 client, const PrescriptionKind &kind, PrescriptionRows &rows)
{
    const RowSet rs = m_db.query(QStringLiteral("SELECT kulcs, oldal, %1 FROM %2 WHERE ugyfel = %3 AND kulcs IN (1, 2) "
                                                "ORDER BY kulcs")
                                     .arg(prescriptionColumns(kind).join(QStringLiteral(", ")), kind.table)
                                     .arg(client));
    if (rs.rowCount() != 2 || rs.toInt(0, 0) != 1 || rs.toInt(1, 0) != 2)
        return false;
    for (int side = 0; side < 2; ++side) {
        rows.side[side] = rs.text(side, 1);
        for (int i = 0; i < 5; ++i)
            rows.values[side][i] = rs.value(side, i + 2);
    }
    for (int i = 0; i < 5; ++i)
        rows.length[i] = rs.field(i + 2).length;
    return true;
}

void ClientStore::writePrescription(qint64 client, const PrescriptionKind &kind, const PrescriptionRows &read,
                                    const QString (&now)[2][5])
{
    const QStringList cols = prescriptionColumns(kind);
    RunInTransaction(m_db, [&] {
        for (int side = 0; side < 2; ++side) {
            QStringList sets, unchanged;
            for (int i = 0; i < 5; ++i) {
                const QVariant &old = read.values[side][i];
                unchanged << (old.isValid() ? QStringLiteral("BINARY %1 = BINARY ").arg(cols[i]) + SqlQuote(old.toString())
                                            : cols[i] + QStringLiteral(" IS NULL"));
                if ((!old.isValid() && now[side][i].isEmpty()) || (old.isValid() && old.toString() == now[side][i]))
                    continue; // untouched: an empty NULL stays NULL
                sets << cols[i] + QStringLiteral(" = ") + SqlQuote(now[side][i]);
            }
            if (sets.isEmpty())
                continue;
            // Joined, not through arg(): a "%1" typed into a value must stay text.
            m_db.exec(QStringLiteral("UPDATE ") + kind.table + QStringLiteral(" SET ") + sets.join(QStringLiteral(", "))
                      + QStringLiteral(" WHERE ugyfel = ") + QString::number(client) + QStringLiteral(" AND kulcs = ")
                      + QString::number(side + 1) + QStringLiteral(" AND ") + unchanged.join(QStringLiteral(" AND ")));
            if (m_db.affectedRows() == 0)
                throw RowConflict();
        }
    });
}

} // namespace qo
