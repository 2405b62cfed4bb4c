#pragma once
// The one price calculation of a work order: the total and the amount still
// due from the price items, the two discount percentages, the discount and
// the deposit. Every later list, printout and statistic reads the stored
// results, so this is the only place they are computed.
#include <QString>
#include <QStringList>

namespace qo {

// The price fields of an order; a NULL column is passed as 0.
struct WorkOrderPrices {
    double ar_jobb = 0;        // right lens
    double ar_bal = 0;         // left lens
    double lencseszazalek = 0; // discount % on both lenses
    double ar_keret = 0;       // frame
    double keretszazalek = 0;  // discount % on the frame
    double ar_adaptalas = 0;   // "Munkadíj"
    double ar_szinezes = 0;    // "Vizsgálat"
    double ar_egyeb1 = 0;      // "UHT, orrtámasz"
    double ar_egyeb2 = 0;      // "Egyéb"
    double ar_kedvezmeny = 0;  // discount amount, typed with or without a minus sign
    double eloleg = 0;         // deposit
};

struct WorkOrderTotals {
    double osszar = 0;    // total
    double fizetendo = 0; // amount still due
};

// Percentages are discounts without a range check (a negative one raises the
// price, one over 100 makes the item negative); the discount counts by its
// absolute value; nothing is rounded. The amount due may be negative when
// the deposit exceeds the total.
WorkOrderTotals RecalculateWorkOrder(const WorkOrderPrices &p);

// The price columns in the order above (the money ones and the percentages).
const QStringList &WorkOrderPriceColumns();

// The display mask of amounts: the setting FormatFt, "### ### ##0" when unset.
QString MoneyMask();

} // namespace qo
