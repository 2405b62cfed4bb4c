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
    // The server refused the write because another session changed the same
    // rows first: a deadlock, or on a cluster a transaction that another node
    // committed first (certification failure). The server rolled it back whole.
    explicit RowConflict(unsigned serverCode);
};

// The server's number for that refusal (ER_LOCK_DEADLOCK).
constexpr unsigned kServerDeadlock = 1213;

} // namespace qo
