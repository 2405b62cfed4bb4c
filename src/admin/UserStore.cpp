#include "admin/UserStore.h"

#include "db/Connection.h"
#include "db/SqlText.h"
#include "db/RowConflict.h"

namespace qo {

namespace {

QString flag(bool on) { return on ? QStringLiteral("'I'") : QStringLiteral("'N'"); }

} // namespace

ListSql UserStore::list()
{
    return {.lines = {QStringLiteral("SELECT felhasznalo, felhasznalo_nev, rendszergazda, torzsszerkeszt FROM felhasznalo"),
                      QStringLiteral("WHERE 1 = 1"), QStringLiteral("ORDER BY felhasznalo;")},
            .baseCondition = QStringLiteral("1 = 1"),
            .keyField = QStringLiteral("felhasznalo"),
            .sortField = QStringLiteral("felhasznalo"),
            .searchColumns = {}};
}

// Codes are compared byte for byte: the collation would take "anna" for "Anna".
bool UserStore::load(const QString &code, UserRow &row)
{
    const RowSet rs = m_db.query(QStringLiteral("SELECT * FROM felhasznalo WHERE BINARY felhasznalo = %1;").arg(SqlQuote(code)));
    if (rs.rowCount() == 0)
        return false;
    row.felhasznalo = rs.text(0, QStringLiteral("felhasznalo"));
    row.felhasznalo_nev = rs.text(0, QStringLiteral("felhasznalo_nev"));
    row.jelszo = rs.text(0, QStringLiteral("jelszo"));
    row.rendszergazda = rs.text(0, QStringLiteral("rendszergazda")) == QLatin1String("I");
    row.torzsszerkeszt = rs.text(0, QStringLiteral("torzsszerkeszt")) == QLatin1String("I");
    return true;
}

void UserStore::insert(const UserRow &row)
{
    m_db.exec(QStringLiteral("INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszo, rendszergazda, torzsszerkeszt) "
                             "VALUES (%1, %2, %3, %4, %5);")
                  .arg(SqlQuote(row.felhasznalo), SqlQuote(row.felhasznalo_nev), SqlQuote(row.jelszo),
                       flag(row.rendszergazda), flag(row.torzsszerkeszt)));
}

void UserStore::update(const UserRow &read, const UserRow &row, bool passwordChanged)
{
    // Only while the row still holds what was read (byte for byte): a user
    // changed or deleted on another workstation meanwhile is not overwritten.
    // Joined, not through arg(): a "%1" typed into a name must stay text.
    const QString sets = QStringLiteral("felhasznalo = ") + SqlQuote(row.felhasznalo)
        + QStringLiteral(", felhasznalo_nev = ") + SqlQuote(row.felhasznalo_nev)
        + (passwordChanged ? QStringLiteral(", jelszo = ") + SqlQuote(row.jelszo) : QString())
        + QStringLiteral(", rendszergazda = ") + flag(row.rendszergazda)
        + QStringLiteral(", torzsszerkeszt = ") + flag(row.torzsszerkeszt);
    const QString asRead = QStringLiteral("BINARY felhasznalo = ") + SqlQuote(read.felhasznalo)
        + QStringLiteral(" AND BINARY COALESCE(felhasznalo_nev, '') = ") + SqlQuote(read.felhasznalo_nev)
        + QStringLiteral(" AND BINARY COALESCE(jelszo, '') = ") + SqlQuote(read.jelszo)
        + QStringLiteral(" AND (COALESCE(rendszergazda, 'N') = 'I') = ") + (read.rendszergazda ? QStringLiteral("TRUE") : QStringLiteral("FALSE"))
        + QStringLiteral(" AND (COALESCE(torzsszerkeszt, 'N') = 'I') = ") + (read.torzsszerkeszt ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    m_db.exec(QStringLiteral("UPDATE felhasznalo SET ") + sets + QStringLiteral(" WHERE ") + asRead);
    if (m_db.affectedRows() == 0)
        throw RowConflict();
}

void UserStore::remove(const QString &code)
{
    m_db.exec(QStringLiteral("DELETE FROM felhasznalo WHERE BINARY felhasznalo = %1;").arg(SqlQuote(code)));
}

int UserStore::administratorCount()
{
    const RowSet rs = m_db.query(QStringLiteral("SELECT COUNT(*) FROM felhasznalo WHERE rendszergazda = 'I';"));
    return rs.rowCount() ? int(rs.toInt(0, 0)) : 0;
}

} // namespace qo
