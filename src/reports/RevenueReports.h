#pragma once
// The statistics of a period over the work orders: the revenue ("Árbevétel"),
// the frame and lens sales summary ("Fogyások") and the lists of spectacle
// and contact lenses sold, each run as one query on the server. Cancelled
// orders never count; both ends of the period are included.
#include "reports/BandReport.h"

#include <QDate>

class QWidget;

namespace qo {

// The query texts with the period bound (dates only). brand < 0 lists every
// lens brand, else only that one.
QString RevenueQuery(const QDate &from, const QDate &to);
QString SalesQuery(const QDate &from, const QDate &to);
QString LensSalesQuery(bool contactLenses, qint64 brand, const QDate &from, const QDate &to);

// Each runs its query and lays the printout out, ready for output.
BandReport BuildRevenueReport(const QDate &from, const QDate &to);
BandReport BuildSalesReport(const QDate &from, const QDate &to);
BandReport BuildLensSalesReport(bool contactLenses, qint64 brand, const QDate &from, const QDate &to);

// The menu operations: build, then ask for the target (preview, print, export).
void PrintRevenueReport(const QDate &from, const QDate &to, QWidget *parent = nullptr);
void PrintSalesReport(const QDate &from, const QDate &to, QWidget *parent = nullptr);
void PrintLensSalesReport(qint64 brand, const QDate &from, const QDate &to, QWidget *parent = nullptr);
void PrintContactLensSalesReport(qint64 brand, const QDate &from, const QDate &to, QWidget *parent = nullptr);

} // namespace qo
