#pragma once
// "Árbevétel grafikon" (frm_ArbevetelGrafikon): the revenue of a period by
// month as stacked bars of deposits ("Előleg") and remainders ("Utólag"), with
// the totals; printed and saved as PDF through the band layer.
#include "reports/BandReport.h"

#include <QDate>
#include <QDialog>
#include <memory>

class QChart;

namespace qo {

namespace Ui {
class RevenueChart;
}

// One month of the chart; months without revenue are there with zeros.
struct RevenueMonth {
    QString month; // "yyyy.mm"
    double deposit = 0;
    double remainder = 0;
};
// The months from..to filled from rows of honap, eloleg, utolag.
QVector<RevenueMonth> RevenueMonths(const RowSet &rows, const QDate &from, const QDate &to);

// The chart itself (owned by the caller).
QChart *MakeRevenueChart(const QVector<RevenueMonth> &months);

// The printout: title, period, the shop, the chart, one line per month with
// its amounts and the totals.
BandReport BuildRevenueChartReport(const QDate &from, const QDate &to, const RowSet &rows);

class RevenueChartWindow : public QDialog {
    Q_OBJECT
public:
    RevenueChartWindow(const QDate &from, const QDate &to, const RowSet &rows, QWidget *parent = nullptr);
    ~RevenueChartWindow() override;

    double depositTotal() const { return m_deposit; }
    double remainderTotal() const { return m_remainder; }

public Q_SLOTS:
    void print(bool toPrinter);
    void savePdf();

private:
    std::unique_ptr<Ui::RevenueChart> m_ui;
    QDate m_from, m_to;
    std::shared_ptr<RowSet> m_rows;
    double m_deposit = 0, m_remainder = 0;
};

void ShowRevenueChart(const QDate &from, const QDate &to, const RowSet &rows, QWidget *parent = nullptr);

} // namespace qo
