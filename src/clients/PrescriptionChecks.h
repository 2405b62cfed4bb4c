#pragma once
// Values of a prescription row that are possible but unusual: the editor
// points them out when a field is left and still stores them (an optician
// may mean them).
#include <QString>

namespace qo {

// The short warnings of one side row: per field, empty where the value is
// usual; pair when Cyl and Ax are not given together, with the field that
// misses its value.
struct PrescriptionWarnings {
    QString sph, cyl, ax;
    QString pair;
    bool pairMissesAxis = false; // else the Cyl is missing
};

// side: the row's side as shown ("Jobb", "Bal"). checkPair: whether Cyl and
// Ax given one without the other is warned about (not while the user is only
// moving between the two).
PrescriptionWarnings CheckPrescriptionRow(const QString &side, const QString &sph, const QString &cyl,
                                          const QString &ax, bool checkPair);

} // namespace qo
