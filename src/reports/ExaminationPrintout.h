#pragma once
// The printed eye examination: history, the spectacles the client came with,
// the auto-refractometer and keratometer readings, the results, the diagnosis,
// and the client's four current prescriptions. A5 portrait, or the same
// layout centred on A4 portrait when the shop setting a5munkalap is off.
#include "reports/BandReport.h"

class QWidget;

namespace qo {

// What the printout shows, as ClientStore::examinationPrintout reads it: the
// examination's row of vw_vizsgalat (none when it does not exist) and the
// client's prescriptions near, distance, special and contact lens.
struct ExaminationPrintData {
    qint64 examination = -1;
    RowSet exam;
    RowSet near, distance, special, contact;
};

BandReport BuildExaminationPrintout(const ExaminationPrintData &data, bool a5);
// Tells the user when the examination does not exist.
void PrintExamination(const ExaminationPrintData &data, bool print, QWidget *parent = nullptr);

} // namespace qo
