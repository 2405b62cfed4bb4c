#pragma once
// "Tárhely": one stored connection of the list, edited in place.
#include "config/StoredConnections.h"
#include "startup/ConnectionForm.h"

#include <QDialog>
#include <QString>
#include <memory>

class QPushButton;
class QToolButton;

namespace qo {

class ConnectionEditor : public QDialog {
    Q_OBJECT
public:
    explicit ConnectionEditor(const ConnectionFields &row, QWidget *parent = nullptr);
    ConnectionFields row() const { return m_row; }

    // The fields are the connection form's (edtNev, edtKiszolgalo, ...).
    QToolButton *btnMutat = nullptr;    // shows / hides the password
    QPushButton *btnOK = nullptr;
    QPushButton *btnMegsem = nullptr;

private:
    void okClick();
    void togglePassword();

    std::unique_ptr<ConnectionForm> m_form;

    ConnectionFields m_row;
};

// Edits the row; true when it was closed with OK (the row then holds the changes).
bool EditConnectionRow(ConnectionFields &row, QWidget *parent);

} // namespace qo
