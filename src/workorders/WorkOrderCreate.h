#pragma once
// Creating a work order on the server, and dropping one the user cancelled.
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace qo {

class Connection;

// Runs "CALL sp_ujmunkalap(client, type);" on the connection and returns the
// new order's key, which the procedure leaves in the session variable
// @uj_munkalap. Call and read run in one transaction on one session: when the
// link drops between them nothing is created and qo::Error is thrown (a new
// session would have lost the variable). Only a procedure that does not set
// the variable makes the key be looked up: the one order of this client and
// type that appeared during the call, never another workstation's.
// Throws qo::Error when the server refuses (unknown client or type).
// While a WorkOrderCarryOver lives, the new order also gets the lens, frame
// and PD values of its source order (WorkOrderCarryOverColumns), in the same
// transaction; prices, deposit, dates and status stay the new order's own.
qint64 CreateWorkOrder(Connection &db, qint64 client, int type);

// "Új munkalap ebből": the orders CreateWorkOrder makes while this lives copy
// the values of `source`, so the normal new-order path (the editor, whose
// "Mégsem" deletes the new order) serves a copy as well.
class WorkOrderCarryOver {
public:
    explicit WorkOrderCarryOver(qint64 source);
    ~WorkOrderCarryOver();
    WorkOrderCarryOver(const WorkOrderCarryOver &) = delete;
    WorkOrderCarryOver &operator=(const WorkOrderCarryOver &) = delete;

private:
    qint64 m_previous;
};
// The client and type of an order; false when there is no such order.
bool ReadWorkOrderOrigin(Connection &db, qint64 order, qint64 &client, int &type);

// The columns carried over: lens and frame brands and types, and both eyes'
// values (Sph, Cyl, Ax, PD, prism, other).
QStringList WorkOrderCarryOverColumns();

// Deletes a just-created order the user cancelled. When that fails (the
// server is out of reach) the key is remembered and the deletion is tried
// again by DropPendingWorkOrders; the error is thrown on.
void DropCreatedWorkOrder(Connection &db, qint64 key);
// Retries the deletions that failed; quiet, keeps those that fail again.
void DropPendingWorkOrders(Connection &db);
// The message that names the order left behind.
QString CreatedWorkOrderLeftText(qint64 key, const QString &error);

} // namespace qo
