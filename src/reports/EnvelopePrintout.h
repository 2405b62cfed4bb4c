#pragma once
// The envelope for one client, with the shop as sender: a 160 x 113 mm page,
// straight to the system's default printer.
#include "reports/BandReport.h"

namespace qo {

// The client's row of vw_boritek (ClientStore::envelope).
BandReport BuildEnvelope(const RowSet &client);
void PrintEnvelope(const RowSet &client, QWidget *parent = nullptr);

} // namespace qo
