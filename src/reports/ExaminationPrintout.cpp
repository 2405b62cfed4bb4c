#include "reports/ExaminationPrintout.h"

#include "config/AppState.h"
#include "reports/ReportOutput.h"
#include "reports/ReportParts.h"
#include "ui/MessageBoxes.h"

namespace qo {

namespace {

const ReportFace kFace = ReportFace::Arial;
const Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
const Qt::Alignment kCentre = Qt::AlignCenter;
const double kBodyWidth = 130; // the A5 layout's width; centred on A4
const double kRow = 4.2;

QFont caption() { return ReportFont(kFace, 8, Italic); }
QFont value() { return ReportFont(kFace, 8, Bold); }

// One block: a bold centred heading (when given), captions, a "Jobb" and a
// "Bal" row whose cells read the right-eye and left-eye columns of `rows`.
double addBlock(ReportBand &b, double x, double y, const QString &heading, const QStringList &captions,
                const QStringList &right, const QStringList &left, std::shared_ptr<const RowSet> rows)
{
    if (!heading.isEmpty()) {
        b.text(QRectF(x, y, kBodyWidth, 4.8), heading, ReportFont(kFace, 9, Bold), kCentre).framed();
        y += 4.8;
    }
    const double lw = 14, cw = (kBodyWidth - lw) / captions.size();
    b.text(QRectF(x, y, lw, kRow), QString(), caption()).framed();
    for (int i = 0; i < captions.size(); ++i)
        b.text(QRectF(x + lw + i * cw, y, cw, kRow), captions[i], caption(), kCentre).framed();
    for (int side = 0; side < 2; ++side) {
        const double ry = y + kRow * (side + 1);
        b.text(QRectF(x, ry, lw, kRow), side == 0 ? QStringLiteral("Jobb") : QStringLiteral("Bal"), caption(), kLeft)
            .framed();
        const QStringList &cols = side == 0 ? right : left;
        for (int i = 0; i < cols.size(); ++i) {
            const QString col = cols[i];
            b.field(QRectF(x + lw + i * cw, ry, cw, kRow), [rows, col](const BandContext &) {
                return rows && rows->rowCount() > 0 ? rows->text(0, col) : QString();
            }, value(), kCentre).framed();
        }
    }
    return y + 3 * kRow + 1.5;
}

QStringList sided(const QString &side, const QStringList &names)
{
    QStringList out;
    for (const QString &n : names)
        out << side + n;
    return out;
}

double addMemo(ReportBand &b, double x, double y, const QString &cap, const QString &column)
{
    b.box(QRectF(x, y, kBodyWidth, 11));
    b.text(QRectF(x + 0.8, y + 0.3, 22, 4), cap, caption(), Qt::AlignLeft | Qt::AlignTop);
    b.field(QRectF(x + 22, y + 0.3, kBodyWidth - 23, 10.4), [column](const BandContext &c) { return c.text(column); },
            ReportFont(ReportFace::SegoeUi, 7.5), Qt::AlignLeft | Qt::AlignTop).wrapped();
    return y + 12.5;
}

} // namespace

BandReport BuildExaminationPrintout(const ExaminationPrintData &data, bool a5)
{
    BandReport r;
    r.title = QStringLiteral("Vizsgalat nyomtatás");
    r.fileName = QStringLiteral("Vizsgálat %1").arg(data.examination);
    r.pageSize = QPageSize(a5 ? QPageSize::A5 : QPageSize::A4);
    r.margins = QMarginsF(9, 8, 8, 9);
    r.data = std::make_shared<RowSet>(data.exam);
    const auto kozel = std::make_shared<RowSet>(data.near);
    const auto tavol = std::make_shared<RowSet>(data.distance);
    const auto egyeb = std::make_shared<RowSet>(data.special);
    const auto kontakt = std::make_shared<RowSet>(data.contact);

    const double w = r.contentWidth();
    const double x = (w - kBodyWidth) / 2; // 0 on A5, centred on A4

    ReportBand &h = r.pageHeader;
    h.field(QRectF(0, 0, w - 50, 9), [](const BandContext &c) {
        return QStringLiteral("Vizsgálat   No: ") + c.text(QStringLiteral("vizsgalat"));
    }, ReportFont(ReportFace::Rounded, 16, Bold), kLeft);
    h.picture(QRectF(w - 48, 0, 48, 14.5), ReportLogo(true), false);
    const QStringList caps = {QStringLiteral("Név"), QStringLiteral("Cím"), QStringLiteral("Telefon"),
                              QStringLiteral("Szül.idő")};
    const QStringList cols = {QStringLiteral("ugyfel_nev"), QStringLiteral("irszvaroscim"), QStringLiteral("telefon"),
                              QStringLiteral("szuldatum")};
    for (int i = 0; i < 4; ++i) {
        const double y = 11 + i * 4;
        h.text(QRectF(0, y, 14, 4), caps[i], caption());
        h.column(QRectF(14, y, w - 14 - 54, 4), cols[i], value());
    }
    AddShopBlock(h, ReadShopData(), w - 54, 16, 54, kFace, 8, 4);
    h.height = 28.5;
    h.ruleBelow = true;

    ReportBand &d = r.detail;
    const auto exam = r.data;
    double y = 1.5;
    y = addMemo(d, x, y, QStringLiteral("Anamnézis"), QStringLiteral("anamnezis"));
    y = addBlock(d, x, y, QStringLiteral("Jelenlegi szemüveg"),
                 {QStringLiteral("Sph"), QStringLiteral("Cyl"), QStringLiteral("Ax"), QStringLiteral("Pd"),
                  QStringLiteral("Add"), QStringLiteral("Prism"), QStringLiteral("Egyéb")},
                 sided(QStringLiteral("jobb"), {"sph1", "cyl1", "ax1", "fpd1", "add1", "prism1", "egyeb1"}),
                 sided(QStringLiteral("bal"), {"sph1", "cyl1", "ax1", "fpd1", "add1", "prism1", "egyeb1"}), exam);
    y = addBlock(d, x, y, QStringLiteral("Autorefrakto - keratometria"),
                 {QStringLiteral("Sph"), QStringLiteral("Cyl"), QStringLiteral("Ax"), QStringLiteral("Bc.min"),
                  QStringLiteral("Bc.max"), QStringLiteral("Bc.átlag"), QStringLiteral("Fpd")},
                 sided(QStringLiteral("jobb"), {"sph2", "cyl2", "ax2", "bcmin2", "bcmax2", "bcatl2", "efpd2"}),
                 sided(QStringLiteral("bal"), {"sph2", "cyl2", "ax2", "bcmin2", "bcmax2", "bcatl2", "efpd2"}), exam);
    // The left corrected visus is balkorv3 (one r); add3 is not printed.
    y = addBlock(d, x, y, QStringLiteral("Vizsgálati eredmények"),
                 {QStringLiteral("Nyers.v"), QStringLiteral("Sph"), QStringLiteral("Cyl"), QStringLiteral("Ax"),
                  QStringLiteral("Korr.v"), QStringLiteral("Pd"), QStringLiteral("Prism"), QStringLiteral("Egyéb")},
                 sided(QStringLiteral("jobb"), {"nyersv3", "sph3", "cyl3", "ax3", "korrv3", "fpd3", "prism3", "egyeb3"}),
                 sided(QStringLiteral("bal"), {"nyersv3", "sph3", "cyl3", "ax3", "korv3", "fpd3", "prism3", "egyeb3"}),
                 exam);
    y = addMemo(d, x, y, QStringLiteral("Diagnózis"), QStringLiteral("diagnozis"));
    const QStringList glassCaps = {QStringLiteral("Sph"), QStringLiteral("Cyl"), QStringLiteral("Ax"),
                                   QStringLiteral("Pd"), QStringLiteral("Prism")};
    const QStringList glassCols = {QStringLiteral("sph"), QStringLiteral("cyl"), QStringLiteral("ax"),
                                   QStringLiteral("pd"), QStringLiteral("prism")};
    const QList<QPair<QString, std::shared_ptr<RowSet>>> glasses = {
        {QStringLiteral("Távoli"), tavol}, {QStringLiteral("Közeli"), kozel}, {QStringLiteral("Speciális"), egyeb}};
    for (const auto &[heading, rows] : glasses)
        y = addBlock(d, x, y, heading, glassCaps, sided(QStringLiteral("jobb"), glassCols),
                     sided(QStringLiteral("bal"), glassCols), rows);
    const QStringList lensCols = {QStringLiteral("sph"), QStringLiteral("cyl"), QStringLiteral("ax"),
                                  QStringLiteral("gorb"), QStringLiteral("bc"), QStringLiteral("dia")};
    y = addBlock(d, x, y, QStringLiteral("Kontaktlencse"),
                 {QStringLiteral("Sph"), QStringLiteral("Cyl"), QStringLiteral("Ax"), QStringLiteral("Görb"),
                  QStringLiteral("Bc"), QStringLiteral("Dia")},
                 sided(QStringLiteral("jobb"), lensCols), sided(QStringLiteral("bal"), lensCols), kontakt);
    d.height = y;
    AddPageFooter(r.pageFooter, w, kFace, r.title, a5 ? QStringLiteral("QrVizsgalatA5") : QStringLiteral("QrVizsgalatA4"),
                  false);
    return r;
}

void PrintExamination(const ExaminationPrintData &data, bool print, QWidget *parent)
{
    const BandReport r = BuildExaminationPrintout(data, appState().a5munkalap);
    if (r.data->rowCount() == 0) {
        ShowError(QStringLiteral("A vizsgálat nem található."), parent);
        return;
    }
    OutputReport(r, print, appState().nyomtato, parent);
}

} // namespace qo
