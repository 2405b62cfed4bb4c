#pragma once
// Pieces every printout shares: the shop's heading block, the money format,
// the logo, the page footer and the standard statistics page header.
#include "reports/BandReport.h"
#include "reports/ReportFonts.h"

namespace qo {

// The shop's own data (vw_tulajdonos): tulajdonos, irszvaroscim, telefon.
struct ShopData {
    QString tulajdonos;
    QString irszvaroscim;
    QString telefon;
};
ShopData ReadShopData();

// The money display mask (setting FormatFt, "### ### ##0" by default) and an
// amount through it.
QString ReportMoneyMask();
QString FormatMoney(double value);

// "Logo.bmp" beside the program when it exists; otherwise the built-in
// picture, or a null image when `builtInFallback` is false.
QImage ReportLogo(bool builtInFallback);

// The maker's web address printed in the footers.
QString ReportWebAddress();

// The page footer (6 point, ruled off above): "Quorvin.Opt" and the date and
// time of printing; the report title at the right when `showTitle`; "oldal: "
// with the page number and the page count ("oldal: 3 / 15"), the web address and the layout name.
void AddPageFooter(ReportBand &footer, double width, ReportFace face, const QString &title,
                   const QString &layoutName, bool showTitle);

// The shop block right-aligned in [x, x + w] from top y: tulajdonos (bold),
// irszvaroscim, telefon, each `lineHeight` mm.
void AddShopBlock(ReportBand &band, const ShopData &shop, double x, double y, double w, ReportFace face,
                  double points, double lineHeight);

// A data-driven value helpers.
ValueFn MoneyOf(const QString &column);
ValueFn SumOf(const QString &column);
// An amount printed as a deduction ("-2 000") whatever its stored sign.
ValueFn DeductionOf(const QString &column);

} // namespace qo
