#include "reports/ClientListPrintout.h"

#include "config/AppState.h"
#include "db/Connection.h"
#include "reports/ReportOutput.h"
#include "reports/ReportParts.h"

namespace qo {

namespace {

const ReportFace kFace = ReportFace::SegoeUi;
const double kWidth = 190;
const Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;

// Columns: client, address, phone, date.
const double kAddrX = 62, kPhoneX = 132, kDateX = 168;

} // namespace

BandReport BuildClientListPrintout(const QString &clientQuery)
{
    BandReport r;
    r.title = QStringLiteral("Ügyfelek listája");
    r.fileName = QStringLiteral("Ügyfelek");
    r.data = std::make_shared<RowSet>(Connection::main().query(clientQuery));

    ReportBand &h = r.pageHeader;
    h.text(QRectF(0, 0, 110, 8), QStringLiteral("Ügyfelek"), ReportFont(kFace, 16, Bold));
    h.text(QRectF(0, 8.5, 110, 5), QStringLiteral("Névsorban"), ReportFont(kFace, 10, Bold));
    AddShopBlock(h, ReadShopData(), 110, 0, 80, kFace, 8, 4);
    const QFont cap = ReportFont(kFace, 8, Italic);
    h.text(QRectF(0, 15, kAddrX - 2, 4), QStringLiteral("Ügyfél"), cap);
    h.text(QRectF(kAddrX, 15, kPhoneX - kAddrX - 2, 4), QStringLiteral("Cím"), cap);
    h.text(QRectF(kPhoneX, 15, kDateX - kPhoneX - 2, 4), QStringLiteral("Telefon"), cap);
    h.text(QRectF(kDateX, 15, kWidth - kDateX, 4), QStringLiteral("Dátum/figy."), cap);
    h.height = 19.5;
    h.ruleBelow = true;

    ReportBand &d = r.detail;
    const QFont f = ReportFont(kFace, 8);
    const double line = 3.6;
    d.column(QRectF(0, 0.4, kAddrX - 2, line), QStringLiteral("ugyfel_nev"), ReportFont(kFace, 8, Bold));
    d.column(QRectF(kAddrX, 0.4, kPhoneX - kAddrX - 2, line), QStringLiteral("irszvaroscim"), f);
    d.column(QRectF(kPhoneX, 0.4, kDateX - kPhoneX - 2, line), QStringLiteral("telefon"), f);
    d.column(QRectF(kDateX, 0.4, kWidth - kDateX, line), QStringLiteral("dat_utolso"), f);
    d.column(QRectF(5, 0.4 + line, kPhoneX - 7, line), QStringLiteral("emil"), f);
    d.column(QRectF(kDateX, 0.4 + line, kWidth - kDateX, line), QStringLiteral("dat_figyelmeztet"), f);
    d.column(QRectF(5, 0.4 + 2 * line, kWidth - 5, line), QStringLiteral("megjegyzes"), f, kLeft | Qt::AlignTop).growing();
    d.height = 0.4 + 3 * line + 0.4;
    d.ruleBelow = true;

    AddPageFooter(r.pageFooter, kWidth, kFace, r.title, QStringLiteral("QrUgyfel"), true);
    return r;
}

void PrintClientList(bool print, const QString &clientQuery, QWidget *parent)
{
    OutputReport(BuildClientListPrintout(clientQuery), print, appState().nyomtato, parent);
}

} // namespace qo
