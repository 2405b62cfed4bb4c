#pragma once
// The work-order types (table mlaptipus) and the text printed on the orders
// of each type. The types come with the database; only their text is edited,
// and only by users with the master-data right.
#include "ui/SearchList.h"

class QPlainTextEdit;

namespace qo {

class WorkOrderTypeList : public SearchList {
    Q_OBJECT
public:
    explicit WorkOrderTypeList(QWidget *parent = nullptr);

    QAction *aSzerkeszt = nullptr;
    QAction *aBezar = nullptr;
    QPlainTextEdit *printedText = nullptr; // the current type's printed text

private:
    void aSzerkesztExecute();
    void showText();
};

// Opens the list of work-order types.
void OpenWorkOrderTypes(QWidget *parent = nullptr);

// The editor of one type's printed text (szoveg); the name is shown, not
// edited. Returns the key when saved, -1 when cancelled. Key -1 or a type
// that no longer exists opens nothing and returns -1.
qint64 EditWorkOrderType(qint64 key, QWidget *parent = nullptr);

} // namespace qo
