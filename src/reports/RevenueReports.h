#pragma once
// The statistics of a period over the work orders: the revenue ("Árbevétel"),
// the frame and lens sales summary ("Fogyások") and the lists of spectacle
// and contact lenses sold, laid out over the rows of one query each.
#include "reports/BandReport.h"

#include <QDate>


namespace qo {

// Each lays its printout out over the rows it is given (the queries are the
// work-order store's). The revenue report takes rows that may still be
// arriving: its first page is laid out from its first rows.
BandReport BuildRevenueReport(const QDate &from, const QDate &to, std::shared_ptr<RowFeed> rows);
BandReport BuildSalesReport(const QDate &from, const QDate &to, std::shared_ptr<const RowSet> rows);
BandReport BuildLensSalesReport(bool contactLenses, const QDate &from, const QDate &to,
                                std::shared_ptr<const RowSet> rows);

} // namespace qo
