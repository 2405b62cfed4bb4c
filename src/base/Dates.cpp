#include "base/Dates.h"

namespace qo {

// ---- Dates -----------------------------------------------------------------

int YearOfDate(const QDate &date)
{
    return date.isValid() ? date.year() : 0;
}

int MonthOfDate(const QDate &date)
{
    return date.isValid() ? date.month() : 0;
}

int IsoWeekOfDate(const QDate &date)
{
    return date.isValid() ? date.weekNumber() : 0;
}

QString PeriodText(const QDate &from, const QDate &to)
{
    const QString f = QStringLiteral("yyyy.MM.dd");
    return from.toString(f) + QLatin1String(" - ") + to.toString(f);
}

} // namespace qo
