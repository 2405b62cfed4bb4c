#pragma once
// Date helpers of the reports and lists.
#include <QDate>
#include <QString>

namespace qo {
// ---- Dates -----------------------------------------------------------------

int YearOfDate(const QDate &date);
int MonthOfDate(const QDate &date);
int IsoWeekOfDate(const QDate &date);
// "2024.02.01"; empty for an invalid date. Lists and printouts show a date
// in every row: written out directly, not through a format string.
QString DateText(const QDate &date);
// "2024.02.01 - 2024.02.29"
QString PeriodText(const QDate &from, const QDate &to);

} // namespace qo
