#pragma once
// The SQL of work orders: the lists, the finishing call after an edit, the
// status steps, cancelling and removing an order.
#include "db/Kinds.h"
#include "db/RowSet.h"
#include "db/SqlText.h"
#include "reports/WorkOrderPrintout.h"

#include <memory>

class QWidget;

#include <QDate>

namespace qo {

class Connection;
class RowFeed;

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

    // The statistics of a period (see reports/RevenueReports.h): the query
    // texts with the period bound, dates only, both ends included; brand < 0
    // lists every lens brand, else only that one.
    static QString revenueSql(const QDate &from, const QDate &to);
    static QString salesSql(const QDate &from, const QDate &to);
    static QString lensSalesSql(bool contactLenses, qint64 brand, const QDate &from, const QDate &to);
    // The rows of revenueSql() as two queries that need no sort on the server.
    static QStringList revenueStreamSql(const QDate &from, const QDate &to);
    // The revenue rows as they arrive: read on a connection of its own (to the
    // same server and database as this store's) on a thread of its own.
    std::shared_ptr<RowFeed> revenueRows(const QDate &from, const QDate &to);

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

// The statistics' queries under their earlier names.
inline QString RevenueQuery(const QDate &from, const QDate &to) { return WorkOrderStore::revenueSql(from, to); }
inline QString SalesQuery(const QDate &from, const QDate &to) { return WorkOrderStore::salesSql(from, to); }
inline QString LensSalesQuery(bool contactLenses, qint64 brand, const QDate &from, const QDate &to)
{
    return WorkOrderStore::lensSalesSql(contactLenses, brand, from, to);
}

// The statistics read through the store and laid out by reports/: built
// (every row read) for callers that want the finished report, and the menu
// operations, which then ask for the target (preview, print, export). The
// revenue report's preview shows its first page while the rows still arrive.
BandReport BuildRevenueReport(const QDate &from, const QDate &to);
BandReport BuildSalesReport(const QDate &from, const QDate &to);
BandReport BuildLensSalesReport(bool contactLenses, qint64 brand, const QDate &from, const QDate &to);
void PrintRevenueReport(const QDate &from, const QDate &to, QWidget *parent = nullptr);
void PrintSalesReport(const QDate &from, const QDate &to, QWidget *parent = nullptr);
void PrintLensSalesReport(qint64 brand, const QDate &from, const QDate &to, QWidget *parent = nullptr);
void PrintContactLensSalesReport(qint64 brand, const QDate &from, const QDate &to, QWidget *parent = nullptr);

// The printed work order read through the store (see reports/WorkOrderPrintout.h).
BandReport BuildWorkOrderPrintout(qint64 workOrder, bool a5);
void PrintWorkOrder(qint64 workOrder, bool print, QWidget *parent = nullptr);

} // namespace qo
