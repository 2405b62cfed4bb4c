#pragma once
// The client list "Ügyfelek": the clients exactly as the caller's query lists
// them (the main window hands over its current query text), one block each.
#include "reports/BandReport.h"

class QWidget;

namespace qo {

BandReport BuildClientListPrintout(const QString &clientQuery);
void PrintClientList(bool print, const QString &clientQuery, QWidget *parent = nullptr);

} // namespace qo
