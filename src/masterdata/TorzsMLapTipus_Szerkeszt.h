#pragma once
// The editor of a work-order type's printed text.
#include "core/RecordEditor.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qo {

class Tfrm_TorzsMLapTipus_Szerkeszt : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_TorzsMLapTipus_Szerkeszt(QWidget *parent = nullptr);

    bool load(qint64 key); // false when the type does not exist
    qint64 key() const { return m_row.key(); }

    QLineEdit *DBEdit1 = nullptr;      // mlaptipus_nev, read only
    QPlainTextEdit *DBMemo1 = nullptr; // szoveg
    QPushButton *btnOK = nullptr;
    QPushButton *btnMegsem = nullptr;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void okClick();
    RecordEditor m_row;
    FieldBinder m_binder;
};

} // namespace qo
