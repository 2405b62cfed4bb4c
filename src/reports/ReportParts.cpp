#include "reports/ReportParts.h"

#include "base/NumberFormat.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "platform/Desktop.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QUrl>
#include <cmath>

// The pictures of the reports library (a static library registers them itself).
static void initReportResources()
{
    Q_INIT_RESOURCE(reports);
}

namespace qo {

ShopData ReadShopData()
{
    const RowSet rs = Connection::main().query(QStringLiteral("SELECT * FROM vw_tulajdonos;"));
    ShopData s;
    if (rs.rowCount() > 0) {
        s.tulajdonos = rs.text(0, QStringLiteral("tulajdonos"));
        s.irszvaroscim = rs.text(0, QStringLiteral("irszvaroscim"));
        s.telefon = rs.text(0, QStringLiteral("telefon"));
    }
    return s;
}

QString ReportMoneyMask()
{
    return appState().FormatFt.isEmpty() ? QStringLiteral("### ### ##0") : appState().FormatFt;
}

QString FormatMoney(double value)
{
    return FormatMask(value, ReportMoneyMask());
}

QImage ReportLogo(bool builtInFallback)
{
    const QString file = ProgramFolder() + QStringLiteral("/Logo.bmp");
    if (QFile::exists(file)) {
        QImage img(file);
        if (!img.isNull())
            return img;
    }
    if (!builtInFallback)
        return {};
    initReportResources();
    QSvgRenderer svg(QStringLiteral(":/reports/pics/logo.svg"));
    QImage img(QSize(900, 288), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p);
    return img;
}

QString ReportWebAddress()
{
    return QUrl(MakerHomePage()).host();
}

void AddPageFooter(ReportBand &footer, double width, ReportFace face, const QString &title,
                   const QString &layoutName, bool showTitle)
{
    const QFont f = ReportFont(face, 6);
    const double row = 2.6;
    double y = 0.6;
    footer.ruleAbove = true;
    footer.text(QRectF(0, y, width / 2, row), QStringLiteral("Quorvin.Opt"), f);
    footer.field(QRectF(width / 2, y, width / 2, row), [](const BandContext &) {
        return ReportPrintTime().toString(QStringLiteral("yyyy.MM.dd HH:mm:ss"));
    }, f, Qt::AlignRight | Qt::AlignVCenter);
    y += row;
    if (showTitle) {
        footer.text(QRectF(width / 2, y, width / 2, row), title, f, Qt::AlignRight | Qt::AlignVCenter);
        y += row;
    }
    footer.field(QRectF(0, y, width / 3, row), [](const BandContext &c) {
        QString t = QStringLiteral("oldal: ") + QString::number(c.page);
        if (c.pages > 0)
            t += QStringLiteral(" / ") + QString::number(c.pages);
        else if (c.pages < 0) // the preview before layout has reached the end
            t += QStringLiteral(" / …");
        return t;
    }, f);
    footer.text(QRectF(width / 3, y, width / 3, row), ReportWebAddress(), f, Qt::AlignCenter);
    footer.text(QRectF(2 * width / 3, y, width / 3, row), layoutName, f, Qt::AlignRight | Qt::AlignVCenter);
    footer.height = y + row + 0.2;
}

void AddShopBlock(ReportBand &band, const ShopData &shop, double x, double y, double w, ReportFace face,
                  double points, double lineHeight)
{
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    band.text(QRectF(x, y, w, lineHeight), shop.tulajdonos, ReportFont(face, points, Bold), right);
    band.text(QRectF(x, y + lineHeight, w, lineHeight), shop.irszvaroscim, ReportFont(face, points), right);
    band.text(QRectF(x, y + 2 * lineHeight, w, lineHeight), shop.telefon, ReportFont(face, points), right);
}

ValueFn MoneyOf(const QString &column)
{
    return [column](const BandContext &c) { return c.isNull(column) ? QString() : FormatMoney(c.number(column)); };
}

ValueFn DeductionOf(const QString &column)
{
    // Typed with or without a minus sign, a discount is always subtracted.
    return [column](const BandContext &c) {
        return c.isNull(column) ? QString() : FormatMoney(-std::fabs(c.number(column)));
    };
}

ValueFn SumOf(const QString &column)
{
    return [column](const BandContext &c) { return FormatMoney(c.sum(column)); };
}

} // namespace qo
