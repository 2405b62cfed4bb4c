#pragma once
// First-run setup "Adatbázis beállítás": the data of a new database
// connection, tested and stored as the next ConStrN of the configuration file.
#include "db/Connection.h"
#include "startup/ConnectionForm.h"

#include <memory>

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace qo {

class ConnectionSetup : public QDialog {
    Q_OBJECT
public:
    explicit ConnectionSetup(QWidget *parent = nullptr);

    // The fields as typed, with the TLS setting.
    ConnectionFields fields() const;
    // database;host;port;user;password;display name, exactly as typed.
    QString record() const;
    ConnectParams params() const; // as typed, the port not checked (3306 when not a number)

    QLineEdit *edtSzerver = nullptr;   // host
    QLineEdit *edtFelhasznalo = nullptr;
    QLineEdit *edtJelszo = nullptr;
    QLineEdit *edtAdatbazis = nullptr; // database (schema) name
    QLineEdit *edtNev = nullptr;       // display name
    QLineEdit *edtPort = nullptr;
    QCheckBox *cbTls = nullptr;        // Titkosított kapcsolat (TLS)
    QLineEdit *edtCaFajl = nullptr;    // CA file, stored beside the record
    QToolButton *btnCaTallozas = nullptr;
    QPushButton *btnTeszt = nullptr;
    QPushButton *btnRendben = nullptr;
    QPushButton *btnMegsem = nullptr;

protected:
    bool eventFilter(QObject *obj, QEvent *ev) override;

private:
    void btnTesztClick();
    std::unique_ptr<ConnectionForm> m_form;
    void acceptSetup();
};

// Shows the setup; on acceptance stores the new record under the lowest free
// ConStrN key, sets appState().ConStr to it and returns true. False when cancelled.
bool RunFirstRunSetup(QWidget *parent = nullptr);

} // namespace qo
