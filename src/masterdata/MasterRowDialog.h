#pragma once
// What the master-data editors share: one row of one table under "OK" and
// "Mégsem". "OK", or Ctrl+Enter from any field (which first takes the focus
// to "OK"), stores the bound fields and writes the row; a database error is
// shown and the editor stays open with what was typed. "Mégsem", Esc and the
// close box discard.
#include "ui/FieldBinder.h"

#include <QDialog>

class QPushButton;

namespace qo {

class MasterRowDialog : public QDialog {
    Q_OBJECT
public:
    // The key column is named after the table.
    MasterRowDialog(const QString &table, QWidget *parent = nullptr);

    qint64 key() const { return m_row.key(); }

    QPushButton *btnOK = nullptr;
    QPushButton *btnMegsem = nullptr;

protected:
    RecordEditor m_row;
    FieldBinder m_binder{&m_row};

private:
    void okClick();
};

} // namespace qo
