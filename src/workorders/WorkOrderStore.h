#pragma once
// The SQL of work orders: the lists, the finishing call after an edit, the
// status steps, cancelling and removing an order.
#include "db/Kinds.h"
#include "db/SqlText.h"

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

} // namespace qo
