#pragma once
// First-run setup "Adatbázis beállítás": the data of a new database
// connection, tested and stored as the next ConStrN of the configuration file.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace qo {

class ConnectionSetup : public QDialog {
    Q_OBJECT
public:
    explicit ConnectionSetup(QWidget *parent = nullptr);

    // database;host;port;user;password;display name, exactly as typed.
    QString record() const;

    QLineEdit *edtSzerver = nullptr;   // host
    QLineEdit *edtFelhasznalo = nullptr;
    QLineEdit *edtJelszo = nullptr;
    QLineEdit *edtAdatbazis = nullptr; // database (schema) name
    QLineEdit *edtNev = nullptr;       // display name
    QLineEdit *edtPort = nullptr;
    QPushButton *btnTeszt = nullptr;
    QPushButton *btnRendben = nullptr;
    QPushButton *btnMegsem = nullptr;

protected:
    bool eventFilter(QObject *obj, QEvent *ev) override;

private:
    void btnTesztClick();
    void acceptSetup();
};

// Shows the setup; on acceptance stores the new record under the lowest free
// ConStrN key, sets appState().ConStr to it and returns true. False when cancelled.
bool RunFirstRunSetup(QWidget *parent = nullptr);

} // namespace qo
