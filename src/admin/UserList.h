#pragma once
// "Felhasználók adatai": the users who may log in, with their two rights
// drawn as a green tick or a red cross.
#include "ui/SearchList.h"

namespace qo {

class UserList : public SearchList {
    Q_OBJECT
public:
    explicit UserList(QWidget *parent = nullptr);

    QAction *aUj = nullptr;
    QAction *aSzerkeszt = nullptr;
    QAction *aTorol = nullptr;
    QAction *aBezar = nullptr;

protected:
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *obj, QEvent *e) override;

private:
    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();
    void applyColumnWidths();
};

// Opens the users window (the caller has checked the rendszergazda right).
void ShowUserList(QWidget *parent);

} // namespace qo
