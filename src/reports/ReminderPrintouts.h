#pragma once
// The printouts of the reminder list: one A4 letter per client, the address
// placed for a DL window envelope, and the envelopes of all of them.
#include "reports/BandReport.h"

#include <functional>

namespace qo {

// Where the client's address stands on the letter, in mm from the paper's
// corner: inside the window of a DL envelope (about 20 mm from the left,
// 45 to 50 mm from the top, 90 x 45 mm).
inline const QRectF kLetterAddressArea(22, 48, 85, 36);

// rows: ugyfel_nev, cim_irsz, cim_varos, cim_cim, emlek_datum per client;
// body(row) gives the letter's text for a row.
BandReport BuildReminderLetters(std::shared_ptr<const RowSet> rows,
                                std::function<QString(const RowSet &rows, int row)> body);

// The envelope of Part "Boríték" for each row of vw_boritek, one page each.
BandReport BuildEnvelopes(std::shared_ptr<const RowSet> envelopeRows);

} // namespace qo
