#include "reports/RevenueChart.h"
#include "ui_RevenueChart.h"

#include "base/Dates.h"
#include "base/Error.h"
#include "config/AppState.h"
#include "reports/ReportOutput.h"
#include "reports/ReportParts.h"
#include "ui/WindowBehaviour.h"
#include "ui/WindowKeys.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QLocale>
#include <QPainter>
#include <QStackedBarSeries>
#include <QValueAxis>

namespace qo {

namespace {

const ReportFace kFace = ReportFace::SegoeUi;
const double kWidth = 190; // A4 portrait, 10 mm margins

QString monthKey(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy.MM"));
}

// The chart drawn into a picture for the printout, sized for `mm` at 300 dpi.
QImage chartPicture(const QVector<RevenueMonth> &months, const QSizeF &mm)
{
    const double dpmm = 300 / 25.4;
    const QSize px(int(mm.width() * dpmm), int(mm.height() * dpmm));
    QImage img(px, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    img.setDotsPerMeterX(int(dpmm * 1000));
    img.setDotsPerMeterY(int(dpmm * 1000));
    // Laid out at screen size in a scene of its own, then drawn scaled up:
    // the fonts keep their proportion to the bars.
    QGraphicsScene scene;
    QChart *chart = MakeRevenueChart(months);
    scene.addItem(chart); // the scene owns it
    const QSizeF layoutSize = QSizeF(px) / 3;
    chart->resize(layoutSize);
    scene.setSceneRect(QRectF(QPointF(0, 0), layoutSize));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    scene.render(&p, QRectF(QPointF(0, 0), QSizeF(px)), scene.sceneRect());
    return img;
}

} // namespace

QVector<RevenueMonth> RevenueMonths(const RowSet &rows, const QDate &from, const QDate &to)
{
    QVector<RevenueMonth> out;
    if (!from.isValid() || !to.isValid() || from > to)
        return out;
    for (QDate m(from.year(), from.month(), 1); m <= to; m = m.addMonths(1))
        out.push_back({monthKey(m), 0, 0});
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString key = rows.text(r, QStringLiteral("honap"));
        for (RevenueMonth &m : out)
            if (m.month == key) {
                m.deposit = rows.toDouble(r, QStringLiteral("eloleg"));
                m.remainder = rows.toDouble(r, QStringLiteral("utolag"));
            }
    }
    return out;
}

QChart *MakeRevenueChart(const QVector<RevenueMonth> &months)
{
    auto *deposit = new QBarSet(QStringLiteral("Előleg"));
    auto *remainder = new QBarSet(QStringLiteral("Utólag"));
    deposit->setColor(QColor(70, 130, 180));
    remainder->setColor(QColor(240, 160, 60));
    QStringList categories;
    double top = 0;
    // Within one year the month's short name is enough; else year and month.
    const bool oneYear = !months.isEmpty() && months.first().month.left(4) == months.last().month.left(4);
    const QLocale hu(QLocale::Hungarian, QLocale::Hungary);
    for (const RevenueMonth &m : months) {
        *deposit << m.deposit;
        *remainder << m.remainder;
        categories << (oneYear ? hu.standaloneMonthName(m.month.mid(5, 2).toInt(), QLocale::ShortFormat) : m.month);
        top = qMax(top, m.deposit + m.remainder);
    }
    auto *series = new QStackedBarSeries;
    series->append(deposit);
    series->append(remainder);
    auto *chart = new QChart;
    chart->addSeries(series);
    chart->setAnimationOptions(QChart::NoAnimation);
    auto *x = new QBarCategoryAxis;
    x->append(categories);
    x->setLabelsAngle(categories.size() > 12 ? -90 : 0);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto *y = new QValueAxis;
    y->setRange(0, top > 0 ? top * 1.05 : 1);
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->applyNiceNumbers();
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

BandReport BuildRevenueChartReport(const QDate &from, const QDate &to, const RowSet &rows)
{
    const QString title = QStringLiteral("Árbevétel grafikon");
    BandReport r;
    r.title = title;
    r.fileName = title + QLatin1Char(' ') + PeriodText(from, to);
    r.margins = QMarginsF(10, 10, 10, 10);
    r.data = std::make_shared<RowSet>(rows);
    const QFont caption = ReportFont(kFace, 9, Italic), f = ReportFont(kFace, 9);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    ReportBand &h = r.pageHeader;
    h.text(QRectF(0, 0, 120, 8), title, ReportFont(kFace, 16, Bold));
    h.text(QRectF(0, 8.5, 120, 5), PeriodText(from, to), ReportFont(kFace, 10, Bold));
    AddShopBlock(h, ReadShopData(), 110, 0, 80, kFace, 9, 4.4);
    const QSizeF chartMm(kWidth, 105);
    h.picture(QRectF(QPointF(0, 16), chartMm), chartPicture(RevenueMonths(rows, from, to), chartMm), false);
    const double y = 16 + chartMm.height() + 2;
    h.text(QRectF(0, y, 40, 4.5), QStringLiteral("Hónap"), caption);
    h.text(QRectF(60, y, 40, 4.5), QStringLiteral("Előleg"), caption, right);
    h.text(QRectF(105, y, 40, 4.5), QStringLiteral("Utólag"), caption, right);
    h.text(QRectF(150, y, 40, 4.5), QStringLiteral("Összesen"), caption, right);
    h.height = y + 5;
    h.ruleBelow = true;

    ReportBand &d = r.detail;
    d.height = 4.6;
    d.ruleBelow = true;
    d.column(QRectF(0, 0, 40, 4.6), QStringLiteral("honap"), f);
    d.field(QRectF(60, 0, 40, 4.6), MoneyOf(QStringLiteral("eloleg")), f, right);
    d.field(QRectF(105, 0, 40, 4.6), MoneyOf(QStringLiteral("utolag")), f, right);
    d.field(QRectF(150, 0, 40, 4.6), [](const BandContext &c) {
        return FormatMoney(c.number(QStringLiteral("eloleg")) + c.number(QStringLiteral("utolag")));
    }, f, right);

    const QFont bold = ReportFont(kFace, 10, Bold);
    r.summary.height = 7;
    r.summary.ruleBelow = true;
    r.summary.text(QRectF(0, 1, 55, 6), QStringLiteral("Mindösszesen"), bold);
    r.summary.field(QRectF(60, 1, 40, 6), SumOf(QStringLiteral("eloleg")), bold, right);
    r.summary.field(QRectF(105, 1, 40, 6), SumOf(QStringLiteral("utolag")), bold, right);
    r.summary.field(QRectF(150, 1, 40, 6), [](const BandContext &c) {
        return FormatMoney(c.sum(QStringLiteral("eloleg")) + c.sum(QStringLiteral("utolag")));
    }, bold, right);
    AddPageFooter(r.pageFooter, kWidth, kFace, title, QStringLiteral("QrArbevetelGrafikon"), true);
    return r;
}

RevenueChartWindow::RevenueChartWindow(const QDate &from, const QDate &to, const RowSet &rows, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::RevenueChart>()), m_from(from), m_to(to),
      m_rows(std::make_shared<RowSet>(rows))
{
    m_ui->setupUi(this);
    setObjectName(WindowKeys::kRevenueChart);
    const QVector<RevenueMonth> months = RevenueMonths(rows, from, to);
    for (int r = 0; r < rows.rowCount(); ++r) {
        m_deposit += rows.toDouble(r, QStringLiteral("eloleg"));
        m_remainder += rows.toDouble(r, QStringLiteral("utolag"));
    }
    auto *view = new QChartView(MakeRevenueChart(months), m_ui->chartFrame);
    view->setObjectName(QStringLiteral("chartView"));
    view->setRenderHint(QPainter::Antialiasing);
    m_ui->chartLayout->addWidget(view);
    m_ui->lblIdoszak->setText(PeriodText(from, to));
    m_ui->lblEloleg->setText(QStringLiteral("Előleg: %1 Ft").arg(FormatMoney(m_deposit)));
    m_ui->lblUtolag->setText(QStringLiteral("Utólag: %1 Ft").arg(FormatMoney(m_remainder)));
    m_ui->lblOsszesen->setText(QStringLiteral("Összesen: %1 Ft").arg(FormatMoney(m_deposit + m_remainder)));
    connect(m_ui->btnNyomtat, &QPushButton::clicked, this, [this] { print(true); });
    connect(m_ui->btnNyomKep, &QPushButton::clicked, this, [this] { print(false); });
    connect(m_ui->btnPdf, &QPushButton::clicked, this, &RevenueChartWindow::savePdf);
    connect(m_ui->btnBezar, &QPushButton::clicked, this, &QDialog::reject);
    InstallFormBehaviour(this, Placement::Full);
}

RevenueChartWindow::~RevenueChartWindow() = default;

void RevenueChartWindow::print(bool toPrinter)
{
    OutputReport(BuildRevenueChartReport(m_from, m_to, *m_rows), toPrinter, appState().nyomtato, this);
}

// Named after the report and its period, in the documents folder, as every
// printout's "PDF-be mentés".
void RevenueChartWindow::savePdf()
{
    AskAndSaveReportPdf(BuildRevenueChartReport(m_from, m_to, *m_rows), this);
}

void ShowRevenueChart(const QDate &from, const QDate &to, const RowSet &rows, QWidget *parent)
{
    RevenueChartWindow w(from, to, rows, parent);
    w.exec();
}

} // namespace qo
