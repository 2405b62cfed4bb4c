#pragma once
// The printed eye examination: history, the spectacles the client came with,
// the auto-refractometer and keratometer readings, the results, the diagnosis,
// and the client's four current prescriptions. A5 portrait, or the same
// layout centred on A4 portrait when the shop setting a5munkalap is off.
#include "reports/BandReport.h"

class QWidget;

namespace qo {

BandReport BuildExaminationPrintout(qint64 examination, bool a5);
void PrintExamination(qint64 examination, bool print, QWidget *parent = nullptr);

} // namespace qo
