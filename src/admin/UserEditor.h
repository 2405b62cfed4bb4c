#pragma once
// "Felhasználó adatainak szerkesztése": one user's code, full name, password
// (typed twice) and the two rights that can be set from the program.
#include "admin/UserStore.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace qo {

class UserEditor : public QDialog {
    Q_OBJECT
public:
    // New user (rights "N"), or the stored row `row` whose key is `row.felhasznalo`.
    UserEditor(bool isNew, const UserRow &row, QWidget *parent = nullptr);

    QString savedCode() const { return m_saved; }

    QLineEdit *edtKod = nullptr;       // felhasznalo
    QLineEdit *edtNev = nullptr;       // felhasznalo_nev
    QLineEdit *edtJelszo = nullptr;    // jelszo
    QLineEdit *edtJelszo2 = nullptr;   // the confirmation, not stored
    QCheckBox *cbRendszergazda = nullptr;
    QCheckBox *cbTorzsszerkeszt = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnMegsem = nullptr;

private:
    void okClick();
    void showRow(const UserRow &row);

    bool m_new;
    UserRow m_read; // as loaded: a save checks that nobody changed it since
    QString m_saved;
};

// The question asked before the last administrator is deleted (`deleting`)
// or loses the right.
QString LastAdministratorWarning(bool deleting);

// Opens the editor; the stored code, or an empty text when cancelled.
QString EditUser(bool isNew, const QString &code, QWidget *parent);

} // namespace qo
