#pragma once
// The shop's and a client's name and address printed onto the pre-printed
// registered-mail form (160 x 113 mm), straight to the default printer.
#include "reports/BandReport.h"

namespace qo {

// The shop's row (ShopStore::postalAddress: tulajdonos, irsz, varos, cim) and
// the client's (ClientStore::postalAddress: ugyfel_nev, cim_irsz, cim_varos, cim_cim).
BandReport BuildRegisteredMailForm(const RowSet &shop, const RowSet &client);
void PrintRegisteredMailForm(const RowSet &shop, const RowSet &client, QWidget *parent = nullptr);

} // namespace qo
