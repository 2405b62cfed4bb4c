#pragma once
// A grid's rows printed as a simple table: the grid's columns in their order,
// with their captions, alignment and widths in the same proportions; an
// optional line with the row count and the sum of one column.
#include "reports/BandReport.h"

class QWidget;

namespace qo {

class Grid;

BandReport BuildGridPrintout(const Grid &grid, bool portrait, const QString &subtitle, const QString &sumField,
                             double points, const QString &title);
void PrintGrid(const Grid &grid, bool print, bool portrait, const QString &subtitle, const QString &sumField,
               double points, const QString &title, QWidget *parent = nullptr);

} // namespace qo
