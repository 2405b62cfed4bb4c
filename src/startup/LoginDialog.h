#pragma once
// The login "Belépés azonosítás" and the user's own password change.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
#include <QTimer>

namespace qo {

// Looks the code up in table felhasznalo (exact, letter case significant; the
// first matching row counts) and compares the password the same way; a NULL
// password never matches. On success fills the current-user fields of
// appState(); on failure shows "Érvénytelen felhasználó, vagy jelszó".
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

    // Wrong passwords in a row before the dialog starts to wait between tries.
    static constexpr int kFreeAttempts = 5;
    // The wait after the fifth wrong password, doubled after each further
    // one up to a minute. Tests shorten it; the program never changes it.
    static void setLockoutBaseForTests(int milliseconds);
    QLabel *lblVarakozas = nullptr; // the countdown while the dialog waits
    bool isWaiting() const { return m_waitLeftMs > 0; }

protected:
    void showEvent(QShowEvent *ev) override;

private:
    void btnOKClick();
    void btnUjJelszoClick();
    // Around the credential check: the log entry and the wait after it.
    // logsIn: "OK" (a login) rather than the check before a password change.
    bool checkAttempt(bool logsIn);
    void startWait(int milliseconds);
    void waitTick();
    int m_failures = 0;
    int m_waitLeftMs = 0;
    QTimer m_waitTimer;
};

// True when the dialog was closed by a successful "OK". False after "Mégsem",
// Esc or the close box; the caller then stops the start-up.
bool ShowLoginDialog(QWidget *parent = nullptr);

} // namespace qo
