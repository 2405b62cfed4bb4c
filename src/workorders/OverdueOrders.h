#pragma once
// Late work at a glance: an overdue order's due date in red in every
// work-order list, and the list of ready orders nobody has collected.
#include "ui/SearchList.h"

#include <QDate>

namespace qo {

// Overdue: the due date has passed and the order is still only received (a
// cancelled one is not waited for). The same rule as WorkOrderStore::overdueCondition.
bool IsOverdueOrder(const RowSet &rows, int row, const QDate &today = QDate::currentDate());
// A list's cell style hook: the "dat_hatid" cell of an overdue order gets red
// text; the row's own colours stay.
void MarkOverdueDueDate(const RowSet &rows, int row, const QString &field, CellStyle &style);

// "Nem vitték el": orders ready for more than the shop's number of days and
// not collected, with the client's phone, to be printed or exported and called.
class UncollectedOrders : public SearchList {
    Q_OBJECT
public:
    explicit UncollectedOrders(QWidget *parent = nullptr);

    QAction *aNyomtat = nullptr;  // Ctrl+P
    QAction *aNyomKep = nullptr;  // Ctrl+K
    QAction *aExcelbe = nullptr;  // Ctrl+E

private:
    int m_days = 14;
};

void ShowUncollectedOrders(QWidget *parent = nullptr);

} // namespace qo
