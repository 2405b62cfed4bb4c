#include "db/RowConflict.h"

namespace qo {

namespace {

QString conflictText()
{
    return QStringLiteral("A sort időközben más módosította vagy törölte; az adatokat újraolvastam.");
}

} // namespace

RowConflict::RowConflict() : Error(conflictText()) {}

RowConflict::RowConflict(unsigned serverCode) : Error(conflictText(), serverCode) {}

} // namespace qo
