#include "startup/ShopStore.h"

#include "db/Connection.h"
#include "db/RecordEditor.h"
#include "db/SqlText.h"

namespace qo {

namespace {

QString flag(bool on) { return on ? QStringLiteral("'I'") : QStringLiteral("'N'"); }

} // namespace

ShopStore::ShopStore(Connection &db) : m_db(db) {}

QStringList ShopStore::versions()
{
    const RowSet rs = m_db.query(QStringLiteral("SELECT verzio FROM verzio;"));
    QStringList out;
    for (int r = 0; r < rs.rowCount(); ++r)
        out << rs.text(r, 0);
    return out;
}

QString ShopStore::owner()
{
    const RowSet rs = m_db.query(QStringLiteral("SELECT tulajdonos FROM tulajdonos LIMIT 1;"));
    return rs.rowCount() ? rs.text(0, 0) : QString();
}

RowSet ShopStore::pendingMessages()
{
    return m_db.query(QStringLiteral("SELECT * FROM uzenet WHERE olvasva = 'N' ORDER BY 1;"));
}

void ShopStore::acknowledgeMessage(qint64 key, bool read)
{
    m_db.exec(read ? QStringLiteral("UPDATE uzenet SET olvasva = 'I', dat_olvasva = NOW() WHERE uzenet = %1;").arg(key)
                   : QStringLiteral("UPDATE uzenet SET dat_olvasva = NOW() WHERE uzenet = %1;").arg(key));
}

RowSet ShopStore::users()
{
    return m_db.query(QStringLiteral("SELECT * FROM felhasznalo;"));
}

void ShopStore::setPassword(const QString &code, const QString &hash)
{
    // BINARY: only the row whose code matched exactly, not its case variants.
    m_db.exec(QStringLiteral("UPDATE felhasznalo SET jelszo = ") + SqlQuote(hash)
              + QStringLiteral(" WHERE BINARY felhasznalo = ") + SqlQuote(code) + QLatin1Char(';'));
}

void ShopStore::replaceLegacyPassword(const QString &code, const QString &plain, const QString &hash)
{
    // Only while the row still holds the plain text that was checked.
    m_db.exec(QStringLiteral("UPDATE felhasznalo SET jelszo = ") + SqlQuote(hash)
              + QStringLiteral(" WHERE BINARY felhasznalo = ") + SqlQuote(code)
              + QStringLiteral(" AND BINARY jelszo = ") + SqlQuote(plain) + QLatin1Char(';'));
}

bool ShopStore::readSettings(ShopSettingsRow &row)
{
    const RowSet rs = m_db.query(QStringLiteral("SELECT * FROM beallit LIMIT 1;"));
    if (rs.rowCount() == 0)
        return false;
    row.key = rs.toInt(0, QStringLiteral("beallit"));
    row.loginRequired = rs.text(0, QStringLiteral("vanbelep")) == QLatin1String("I");
    row.a5WorkOrder = rs.text(0, QStringLiteral("a5munkalap")) == QLatin1String("I");
    row.dueDays = rs.value(0, rs.fieldIndex(QStringLiteral("mlaphatid")));
    row.reminderDays = rs.value(0, rs.fieldIndex(QStringLiteral("figynap")));
    row.workOrderNote = rs.text(0, QStringLiteral("mlapmegj"));
    row.reminderMonths = int(rs.toInt(0, QStringLiteral("emlek_honap"), 24));
    row.uncollectedDays = int(rs.toInt(0, QStringLiteral("nemvitt_nap"), 14));
    row.reminderLetter = rs.text(0, QStringLiteral("emlek_level"));
    return true;
}

void ShopStore::writeSettings(const ShopSettingsRow &row)
{
    m_db.exec(QStringLiteral("UPDATE beallit SET ")
              + (row.loginWritten ? QStringLiteral("vanbelep = ") + flag(row.loginRequired) + QStringLiteral(", ") : QString())
              + QStringLiteral("mlaphatid = ") + RecordEditor::literal(row.dueDays)
              + QStringLiteral(", mlapmegj = ") + SqlQuote(row.workOrderNote)
              + QStringLiteral(", figynap = ") + RecordEditor::literal(row.reminderDays)
              + QStringLiteral(", a5munkalap = ") + flag(row.a5WorkOrder)
              + QStringLiteral(", emlek_honap = ") + QString::number(row.reminderMonths)
              + QStringLiteral(", nemvitt_nap = ") + QString::number(row.uncollectedDays)
              + QStringLiteral(", emlek_level = ")
              + (row.reminderLetter.trimmed().isEmpty() ? QStringLiteral("NULL") : SqlQuote(row.reminderLetter))
              + QStringLiteral(" WHERE beallit = ") + QString::number(row.key) + QLatin1Char(';'));
}

} // namespace qo
