#pragma once
// The number display mask of money and count columns.
#include <QString>

namespace qo {
// ---- Numbers ---------------------------------------------------------------

// A number through a display mask such as "### ### ##0" or "#,##0.00":
// "0" and "#" are digit places (a "0" always shows a digit), "," anywhere in
// the whole part groups digits by three with a blank, the first "." starts
// the decimals (shown with the Hungarian decimal comma), other characters are
// copied (a character standing between digit places only once a digit has
// been written), text in quotes is copied as it is; up to three sections
// "positive;negative;zero". Rounds half away from zero; a negative value that
// rounds to zero shows no minus sign.
QString FormatMask(double value, const QString &mask);
} // namespace qo
