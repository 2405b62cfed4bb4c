#pragma once
// First-run setup "Adatbázis beállítás": the data of a new database
// connection, tested and stored as the next ConStrN of the configuration file.
#include "db/Connection.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace qo {

// The check box "Titkosított kapcsolat (TLS)" and below it the CA file field
// with its browse button, added to a connection form; the field and the
// button are usable only while the box is ticked.
void AddTlsFields(QWidget *owner, QVBoxLayout *fields, QCheckBox *&tls, QLineEdit *&caFile, QToolButton *&browse);
// With TLS ticked, a CA file that is given must be readable; otherwise the
// reason has been shown, the field has the focus and the result is false.
bool TlsFieldsValid(QCheckBox *tls, QLineEdit *caFile, QWidget *owner);
// The checks of a connection form before its record is taken, the same for
// the first-run setup and the connection editor: no field holds ";" (the
// stored record has no escaping), the port is a number, a CA file given with
// TLS is readable. Otherwise the reason has been shown, the field has the
// focus and the result is false.
bool ConnectionFormValid(QWidget *owner, const QList<QLineEdit *> &fields, QLineEdit *portField, QCheckBox *tls,
                         QLineEdit *caFile, int &port);

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
    void acceptSetup();
};

// Shows the setup; on acceptance stores the new record under the lowest free
// ConStrN key, sets appState().ConStr to it and returns true. False when cancelled.
bool RunFirstRunSetup(QWidget *parent = nullptr);

} // namespace qo
