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

QString DateText(const QDate &date)
{
    if (!date.isValid())
        return {};
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    if (y < 0 || y > 9999)
        return date.toString(QStringLiteral("yyyy.MM.dd"));
    const char16_t text[10] = {char16_t(u'0' + y / 1000), char16_t(u'0' + y / 100 % 10), char16_t(u'0' + y / 10 % 10),
                               char16_t(u'0' + y % 10),    u'.',
                               char16_t(u'0' + m / 10),    char16_t(u'0' + m % 10),
                               u'.',                       char16_t(u'0' + d / 10),
                               char16_t(u'0' + d % 10)};
    return QString(reinterpret_cast<const QChar *>(text), 10);
}

QString PeriodText(const QDate &from, const QDate &to)
{
    return DateText(from) + QLatin1String(" - ") + DateText(to);
}

} // namespace qo
