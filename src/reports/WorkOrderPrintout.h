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

// Reads the order and lays it out; a5 chooses the A5 layout. The report has
// no rows when the order does not exist.
BandReport BuildWorkOrderPrintout(qint64 workOrder, bool a5);
// Prints (print = true) or previews the order in the layout the shop setting
// chooses, on the printer of the settings when installed.
void PrintWorkOrder(qint64 workOrder, bool print, QWidget *parent = nullptr);
void PrintWorkOrderA5(qint64 workOrder, bool print, QWidget *parent = nullptr);

} // namespace qo
