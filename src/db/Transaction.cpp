#include "db/Transaction.h"
#include "db/Connection.h"

namespace qo {

void InTransaction(Connection &db, const std::function<void()> &work)
{
    db.exec(QStringLiteral("START TRANSACTION"));
    try {
        work();
        db.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        try {
            db.exec(QStringLiteral("ROLLBACK"));
        } catch (const Error &) {
            // The link itself failed: the server drops the open transaction.
        }
        throw;
    }
}

RowConflict::RowConflict()
    : Error(QStringLiteral("A sort időközben más módosította vagy törölte; az adatokat újraolvastam."))
{
}

} // namespace qo
