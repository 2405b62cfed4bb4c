#pragma once
// The printouts of the client records with their rows read through
// ClientStore on the main connection; the layouts are in reports/.
#include "reports/BandReport.h"

class QWidget;

namespace qo {

BandReport BuildExaminationPrintout(qint64 examination, bool a5);
void PrintExamination(qint64 examination, bool print, QWidget *parent = nullptr);
BandReport BuildEnvelope(qint64 client);
void PrintEnvelope(qint64 client, QWidget *parent = nullptr);
BandReport BuildRegisteredMailForm(qint64 client);
void PrintRegisteredMailForm(qint64 client, QWidget *parent = nullptr);
// The clients as the list's query (its current text) lists them.
BandReport BuildClientListPrintout(const QString &clientQuery);
void PrintClientList(bool print, const QString &clientQuery, QWidget *parent = nullptr);

} // namespace qo
