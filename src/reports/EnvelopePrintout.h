#pragma once
// The envelope for one client, with the shop as sender: a 160 x 113 mm page,
// straight to the system's default printer.
#include "reports/BandReport.h"

namespace qo {

BandReport BuildEnvelope(qint64 client);
void PrintEnvelope(qint64 client, QWidget *parent = nullptr);

} // namespace qo
