#pragma once
// The client list "Ügyfelek": the clients exactly as the caller's query lists
// them (the main window hands over the rows of its current query), one block each.
#include "reports/BandReport.h"

class QWidget;

namespace qo {

// The rows of the client list's query (ClientStore::listRows).
BandReport BuildClientListPrintout(const RowSet &clients);
void PrintClientList(bool print, const RowSet &clients, QWidget *parent = nullptr);

} // namespace qo
