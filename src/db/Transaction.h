#pragma once
// Units of work on one connection: all of their statements are stored, or none.
#include "base/Error.h"

#include <functional>

namespace qo {

class Connection;

// Runs the work between START TRANSACTION and COMMIT; on any failure the
// transaction is rolled back and the error is rethrown.
void InTransaction(Connection &db, const std::function<void()> &work);

// Thrown when a row being saved was changed or deleted by another workstation
// since it was read: nothing of the save was written.
class RowConflict : public Error {
public:
    RowConflict();
};

} // namespace qo
