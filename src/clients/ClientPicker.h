#pragma once
// The client picker "Ügyfél választás" (frm_TorzsUgyfel): a searchable client
// list in which clients can also be added, edited and erased ("Ügyfél törlése
// (GDPR)": anonymised, health data removed, work orders kept).
#include "ui/SearchList.h"

namespace qo {

class ClientPicker : public SearchList {
    Q_OBJECT
public:
    explicit ClientPicker(QWidget *parent = nullptr);

    QAction *aFrissit, *aUj, *aSzerkeszt, *aTorol, *aElfogad, *aBezar;

private:
    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();
};

} // namespace qo
