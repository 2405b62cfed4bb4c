#pragma once
// The SQL of work orders: the lists, the finishing call after an edit, the
// status steps, cancelling and removing an order.
#include "db/Kinds.h"
#include "db/RowSet.h"
#include "db/SqlText.h"

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

} // namespace qo
