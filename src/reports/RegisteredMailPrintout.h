#pragma once
// The shop's and a client's name and address printed onto the pre-printed
// registered-mail form (160 x 113 mm), straight to the default printer.
#include "reports/BandReport.h"

namespace qo {

BandReport BuildRegisteredMailForm(qint64 client);
void PrintRegisteredMailForm(qint64 client, QWidget *parent = nullptr);

} // namespace qo
