#pragma once
// The login "Belépés azonosítás" and the user's own password change.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace qo {

// Looks the code up in table felhasznalo (exact, letter case significant; the
// first matching row counts) and checks the password against the stored hash;
// a stored plain password of an older database is compared exactly and, when
// it matches, replaced by its hash. A NULL or empty stored password never
// matches. On success fills the current-user fields of appState(); on failure
// shows "Érvénytelen felhasználó, vagy jelszó".
bool CheckCredentials(const QString &code, const QString &password, QWidget *owner);

class LoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoginDialog(QWidget *parent = nullptr);

    // CheckCredentials on the two fields of the dialog.
    bool CheckCredentials();

    QLineEdit *edtFelhasznalo = nullptr;
    QLineEdit *edtJelszo = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnUjJelszo = nullptr;
    QPushButton *btnMegsem = nullptr;

protected:
    void showEvent(QShowEvent *ev) override;

private:
    void btnOKClick();
    void btnUjJelszoClick();
};

// True when the dialog was closed by a successful "OK". False after "Mégsem",
// Esc or the close box; the caller then stops the start-up.
bool ShowLoginDialog(QWidget *parent = nullptr);

} // namespace qo
