#pragma once
// The SQL of work orders: the lists, the finishing call after an edit, the
// status steps, cancelling and removing an order.
#include "db/Kinds.h"
#include "db/RowSet.h"
#include "db/SqlText.h"
#include "reports/WorkOrderPrintout.h"

class QWidget;

#include <QDate>

namespace qo {

class Connection;

class WorkOrderStore {
public:
    explicit WorkOrderStore(Connection &db);

    // The main window's list: only the columns it shows and its commands read
    // (the view's long printed text would otherwise travel once per order).
    static ListSql mainList();
    // One client's orders, every status, for the history window.
    static ListSql historyList(qint64 client);
    // The conditions of the main list's status tabs: one status, or every order.
    static QString statusCondition(WorkOrderStatus status);
    static QString anyStatusCondition();
    // Overdue: the due date has passed and the order is still only received
    // (a cancelled order is not waited for).
    static QString overdueCondition();
    // The orders ready for more than `days` days and not collected, with the
    // client's phone, the oldest first.
    static ListSql uncollectedList(int days);

    // The rows of the printed work order.
    WorkOrderPrintData printout(qint64 order);

    // Counts the overdue orders (one number; for the background counter).
    static QString overdueCountSql();
    // After how many days a ready order counts as not collected (the shop's
    // setting; 14 where the database does not have it yet).
    int uncollectedDays();

    // The revenue of a period by month, by the revenue report's rules
    // (deposits by reception date, remainders of handed-over orders by their
    // hand-over date, cancelled orders never), grouped on the server:
    // honap ("yyyy.mm"), eloleg, utolag; months without revenue are absent.
    RowSet monthlyRevenue(const QDate &from, const QDate &to);

    // Lets the server complete an edited order (empty amounts, totals).
    void finish(qint64 order);
    bool exists(qint64 order);
    void remove(qint64 order); // an order created by a cancelled editor
    void cancel(qint64 order); // storno: the order stays listed
    // The next status through sp_setstatusz, logged with the user's name.
    void stepStatus(qint64 order, const QString &user, WorkOrderStatus next);

private:
    Connection &m_db;
};

// The printed work order read through the store (see reports/WorkOrderPrintout.h).
BandReport BuildWorkOrderPrintout(qint64 workOrder, bool a5);
void PrintWorkOrder(qint64 workOrder, bool print, QWidget *parent = nullptr);

} // namespace qo
