#pragma once
// The users of table felhasznalo as the users window reads and writes them.
#include <QString>
#include "db/SqlText.h"

#include <QStringList>

namespace qo {

class Connection;

struct UserRow {
    QString felhasznalo;     // login code, the key
    QString felhasznalo_nev; // full name
    QString jelszo;          // the stored password (a hash, or an older database's plain text); never shown
    bool rendszergazda = false;
    bool torzsszerkeszt = false;
};

class UserStore {
public:
    explicit UserStore(Connection &connection) : m_db(connection) {}

    // The users window's query, one clause per line.
    static ListSql list();

    bool load(const QString &code, UserRow &row);
    // A new row gets the database's defaults for the columns not shown here.
    void insert(const UserRow &row);
    // `read` is the row as it was loaded; throws RowConflict (writing nothing)
    // when the stored row no longer matches it. The password is written only
    // when `passwordChanged` (then row.jelszo holds the new hash).
    void update(const UserRow &read, const UserRow &row, bool passwordChanged);
    void remove(const QString &code);
    int administratorCount();

private:
    Connection &m_db;
};

} // namespace qo
