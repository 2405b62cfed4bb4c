#include "db/RowConflict.h"

namespace qo {

RowConflict::RowConflict()
    : Error(QStringLiteral("A sort időközben más módosította vagy törölte; az adatokat újraolvastam."))
{
}

} // namespace qo
