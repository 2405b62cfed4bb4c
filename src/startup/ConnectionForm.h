#pragma once
// The fields of one stored connection as a part of a window: the first-run
// setup and the connection editor both show it. The window gives the order,
// captions and object names of the six fields (they differ between the two
// windows); the form adds the TLS box and the CA file below them, reads and
// writes the fields as one ConnectionFields and checks them before they are
// taken.
#include "config/StoredConnections.h"

#include <QList>
#include <initializer_list>

class QCheckBox;
class QLineEdit;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace qo {

class ConnectionForm {
public:
    enum Field { Host, User, Password, Database, DisplayName, Port };
    struct Row {
        Field field;
        const char *objectName;
        const char *caption;
        QWidget *beside = nullptr; // a button on the field's line
    };

    // Builds the fields into `into`; maxLength 0 leaves the fields unlimited
    // (the host always has room for the nodes of a cluster).
    ConnectionForm(QWidget *owner, QVBoxLayout *into, std::initializer_list<Row> rows, int maxLength = 0);

    QLineEdit *edit(Field f) const { return m_edits[f]; }
    QCheckBox *tls() const { return m_tls; }
    QLineEdit *caFile() const { return m_caFile; }
    QToolButton *caBrowse() const { return m_browse; }
    // The fields in the window's order, then the TLS box, the CA file and its button.
    QList<QWidget *> tabOrder() const;

    void setFields(const ConnectionFields &f);
    // As typed; the CA file only with TLS ticked.
    ConnectionFields fields() const;

    // Before the fields are taken: no field holds ";" (the stored record has
    // no escaping), the port is a number (empty: 3306), a CA file given with
    // TLS is readable. Otherwise the reason has been shown, the field has the
    // focus and the result is false.
    bool valid(int &port) const;
    // The port and the CA file only, for a connection test.
    bool validForTest(int &port) const;

private:
    bool caFileValid() const;
    bool portValid(int &port) const;

    QWidget *m_owner;
    QLineEdit *m_edits[6] = {};
    QList<QLineEdit *> m_order;
    QCheckBox *m_tls = nullptr;
    QLineEdit *m_caFile = nullptr;
    QToolButton *m_browse = nullptr;
};

} // namespace qo
