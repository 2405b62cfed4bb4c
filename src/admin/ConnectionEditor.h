#pragma once
// "Tárhely": one stored connection of the list, edited in place.
#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace qo {

// One row of the stored-connection list.
struct ConnectionRow {
    QString adatbazis;    // database (schema)
    QString kiszolgalo;   // host
    int port = 3306;
    QString felhasznalo;  // user
    QString jelszo;       // password
    QString adatbazisnev; // display name
    QString verzio;       // read by a connection test, never stored
    bool tls = false;     // encrypted link, server certificate checked
    QString caFile;       // the CA file for it; empty: the system's authorities
};

class ConnectionEditor : public QDialog {
    Q_OBJECT
public:
    explicit ConnectionEditor(const ConnectionRow &row, QWidget *parent = nullptr);
    ConnectionRow row() const { return m_row; }

    QLineEdit *edtNev = nullptr;        // adatbazisnev
    QLineEdit *edtKiszolgalo = nullptr;
    QLineEdit *edtFelhasznalo = nullptr;
    QLineEdit *edtJelszo = nullptr;
    QToolButton *btnMutat = nullptr;    // shows / hides the password
    QLineEdit *edtAdatbazis = nullptr;
    QLineEdit *edtPort = nullptr;
    QCheckBox *cbTls = nullptr;         // Titkosított kapcsolat (TLS)
    QLineEdit *edtCaFajl = nullptr;     // CA file
    QToolButton *btnCaTallozas = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnMegsem = nullptr;

private:
    void okClick();
    void togglePassword();

    ConnectionRow m_row;
};

// Edits the row; true when it was closed with OK (the row then holds the changes).
bool EditConnectionRow(ConnectionRow &row, QWidget *parent);

} // namespace qo
