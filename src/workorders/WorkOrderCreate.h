#pragma once
// Creating a work order on the server.
#include <QtGlobal>

namespace qo {

class Connection;

// Runs "CALL sp_ujmunkalap(client, type);" on the connection and returns the
// new order's key. The procedure leaves the key in the session variable
// @uj_munkalap, which no other connection can change; only when it is NULL
// (a procedure that does not set it) is the highest key taken instead.
// Throws qo::Error when the server refuses (unknown client or type).
qint64 CreateWorkOrder(Connection &db, qint64 client, int type);

} // namespace qo
