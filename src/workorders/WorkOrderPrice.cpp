#include "workorders/WorkOrderPrice.h"

#include "config/AppState.h"

#include <cmath>

namespace qo {

WorkOrderTotals RecalculateWorkOrder(const WorkOrderPrices &p)
{
    // Step by step in this order: the stored totals of existing orders were
    // computed so, and floating point sums depend on the order.
    double lenses = p.ar_bal + p.ar_jobb;
    lenses = lenses - lenses * (p.lencseszazalek / 100);
    const double frame = p.ar_keret - p.ar_keret * (p.keretszazalek / 100);
    double sum = frame + lenses;
    sum = sum + p.ar_adaptalas;
    sum = sum + p.ar_szinezes;
    sum = sum + p.ar_egyeb1;
    sum = sum + p.ar_egyeb2;
    WorkOrderTotals t;
    t.osszar = sum - std::fabs(p.ar_kedvezmeny);
    t.fizetendo = t.osszar - p.eloleg;
    return t;
}

const QStringList &WorkOrderPriceColumns()
{
    static const QStringList cols = {
        QStringLiteral("ar_jobb"),      QStringLiteral("ar_bal"),       QStringLiteral("lencseszazalek"),
        QStringLiteral("ar_keret"),     QStringLiteral("keretszazalek"), QStringLiteral("ar_adaptalas"),
        QStringLiteral("ar_szinezes"),  QStringLiteral("ar_egyeb1"),    QStringLiteral("ar_egyeb2"),
        QStringLiteral("ar_kedvezmeny"), QStringLiteral("eloleg"),
    };
    return cols;
}

QString MoneyMask()
{
    return appState().FormatFt.isEmpty() ? QStringLiteral("### ### ##0") : appState().FormatFt;
}

} // namespace qo
