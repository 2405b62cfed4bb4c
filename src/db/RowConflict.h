#pragma once
// What a save meets when its row is no longer as it was read. Units of work
// themselves are RunInTransaction (db/Connection.h).
#include "base/Error.h"

namespace qo {

// Thrown when a row being saved was changed or deleted by another workstation
// since it was read: nothing of the save was written.
class RowConflict : public Error {
public:
    RowConflict();
};

} // namespace qo
