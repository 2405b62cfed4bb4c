#pragma once
// The printed work order: A4 landscape with two identical copies side by side
// (one for the client, one for the shop), or one A5 portrait copy when the
// shop setting a5munkalap is on.
#include "reports/BandReport.h"

class QWidget;

namespace qo {

// The heading printed for a work-order type ("Közeli" for an unknown type).
QString PrintedWorkOrderHeading(int type);
// A discount percentage as printed: "-10%", 12.5 gives "-13%"; nothing for 0.
QString DiscountText(double percent);

// What the printout shows, as WorkOrderStore::printout reads it: the order's
// row of vw_munkalap (none when the order does not exist) and the client's
// date of birth.
struct WorkOrderPrintData {
    qint64 workOrder = -1;
    RowSet order;
    QString birthDate;
};

// Lays the order out; a5 chooses the A5 layout. The report has no rows when
// the order does not exist.
BandReport BuildWorkOrderPrintout(const WorkOrderPrintData &data, bool a5);
// Prints (print = true) or previews the order in the layout the shop setting
// chooses, on the printer of the settings when installed.
void PrintWorkOrder(const WorkOrderPrintData &data, bool print, QWidget *parent = nullptr);
void PrintWorkOrderA5(const WorkOrderPrintData &data, bool print, QWidget *parent = nullptr);

} // namespace qo
