#pragma once
// The editor of a work-order type's printed text.
#include "masterdata/MasterRowDialog.h"

class QLineEdit;
class QPlainTextEdit;

namespace qo {

class WorkOrderTypeEditor : public MasterRowDialog {
    Q_OBJECT
public:
    explicit WorkOrderTypeEditor(QWidget *parent = nullptr);

    bool load(qint64 key); // false when the type does not exist

    QLineEdit *typeName = nullptr;         // mlaptipus_nev, read only
    QPlainTextEdit *printedText = nullptr; // szoveg

protected:
    void showEvent(QShowEvent *e) override;
};

} // namespace qo
