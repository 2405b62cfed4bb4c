#pragma once
// The browser of one client's work orders ("Munkalapok"), cancelled and
// handed-over ones included, each status in its colour. Read only.
#include "ui/SearchList.h"

namespace qo {

class WorkOrderHistory : public SearchList {
    Q_OBJECT
public:
    explicit WorkOrderHistory(qint64 client, QWidget *parent = nullptr);

    QAction *aNyomtat = nullptr;  // Ctrl+P
    QAction *aNyomKep = nullptr;  // Ctrl+K
    QAction *aExcelbe = nullptr;  // Ctrl+E
    QAction *aUjEbbol = nullptr;  // Shift+F4, "Új munkalap ebből"
    QAction *aBezar = nullptr;    // Esc

private:
    void printClick(bool print);
};

// Row colours of the work-order lists: status 2 light blue, 3 light green, a
// cancelled order light red with dark red text whatever its status. The
// column the list is sorted by keeps its own colour.
void StyleWorkOrderRow(const RowSet &rows, int row, bool marked, CellStyle &style);

// "Új munkalap ebből": a new order of the same type for the same client with
// the lens, frame and PD values of `order` (see WorkOrderCarryOver), opened in
// the work-order editor; "Mégsem" deletes it again. Returns the new order's
// key after "OK", else -1.
qint64 NewWorkOrderFrom(qint64 order, QWidget *parent = nullptr);

// Shows the work orders of the client in a modal window.
void BrowseClientWorkOrders(qint64 client, QWidget *parent = nullptr);

} // namespace qo
