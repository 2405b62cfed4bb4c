#include "reports/ReportPreview.h"
#include "ui_ReportPreview.h"

#include "base/Error.h"
#include "reports/ReportOutput.h"
#include "reports/RowFeed.h"
#include "ui/JobProgress.h"
#include "ui/MessageBoxes.h"

#include <QAction>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>

// The pictures of the reports library (a static library registers them itself).
static void initPreviewResources()
{
    Q_INIT_RESOURCE(reports);
}

namespace qo {

namespace {

const int kDpi = 1200;           // layout measures as on the printer and in the PDF
const double kGapPx = 12;        // between pages and around them
const int kLayOutAtOnce = 2000; // rows
const double kMinZoom = 0.5, kMaxZoom = 20; // screen pixels per millimetre

// The desktop's icon, else Qt's own preview pictures, else ours.
QIcon previewIcon(const char *name)
{
    static const QHash<QByteArray, QByteArray> qtNames = {
        {"zoom-fit-width", "fit-width"}, {"zoom-fit-best", "fit-page"}, {"zoom-in", "zoom-in"},
        {"zoom-out", "zoom-out"}, {"go-first", "go-first"}, {"go-previous", "go-previous"},
        {"go-next", "go-next"}, {"go-last", "go-last"}, {"view-pages-single", "view-page-one"},
        {"view-pages-facing", "view-page-sided"}, {"document-print", "print"}};
    const QString theme = QString::fromLatin1(name);
    if (QIcon::hasThemeIcon(theme))
        return QIcon::fromTheme(theme);
    QIcon icon;
    const QByteArray qt = qtNames.value(name);
    const QString prefix = QStringLiteral(":/qt-project.org/dialogs/qprintpreviewdialog/images/") + QString::fromLatin1(qt);
    if (!qt.isEmpty() && QFile::exists(prefix + QStringLiteral("-24.png"))) {
        icon.addFile(prefix + QStringLiteral("-24.png"), QSize(24, 24));
        icon.addFile(prefix + QStringLiteral("-32.png"), QSize(32, 32));
        return icon;
    }
    if (theme == QLatin1String("document-print"))
        return QIcon(QStringLiteral(":/reports/pics/print.svg"));
    if (theme == QLatin1String("document-save-as"))
        return QIcon(QStringLiteral(":/reports/pics/export.svg"));
    return icon;
}

QImage measuringDevice()
{
    QImage img(1, 1, QImage::Format_RGB32);
    const int dpm = qRound(kDpi / 0.0254);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    return img;
}

} // namespace

// The pages on screen, painted from the layout on demand; a few recent page
// pictures are kept so that scrolling does not paint them again.
class PreviewPages : public QWidget {
public:
    explicit PreviewPages(ReportPreview *owner) : QWidget(nullptr), m_owner(owner) {}

    QSizeF paperMm() const { return m_owner->m_report.pageLayout().fullRect(QPageLayout::Millimeter).size(); }
    void relayoutSize()
    {
        const QSizeF mm = paperMm();
        const int across = m_owner->m_across;
        resize(int(across * mm.width() * zoom() + (across + 1) * kGapPx), int(mm.height() * zoom() + 2 * kGapPx));
        m_cache.clear();
        update();
    }
    double zoom() const { return m_owner->m_zoom; }
    void dropCache() { m_cache.clear(); update(); }
    int painted = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QSizeF mm = paperMm();
        const QSizeF px(mm.width() * zoom(), mm.height() * zoom());
        for (int i = 0; i < m_owner->m_across; ++i) {
            const int page = m_owner->m_page + i;
            const QRectF at(kGapPx + i * (px.width() + kGapPx), kGapPx, px.width(), px.height());
            if (page >= m_owner->m_pager.laidOutPages() && m_owner->m_pager.finished())
                continue; // past the last page (two pages side by side at the end)
            p.fillRect(at.translated(3, 3), QColor(0, 0, 0, 60));
            p.fillRect(at, Qt::white);
            if (page < m_owner->m_pager.completePages())
                p.drawImage(at.topLeft(), picture(page, px.toSize()));
        }
    }

private:
    QImage picture(int page, const QSize &size)
    {
        auto it = m_cache.find(page);
        if (it != m_cache.end() && it->size() == size * devicePixelRatioF())
            return *it;
        const qreal ratio = devicePixelRatioF();
        QImage img(size * ratio, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::white);
        // The page is painted at the printer's resolution and scaled down:
        // fonts and measures are the printout's own.
        const int dpm = qRound(kDpi / 0.0254);
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            const double scale = img.width() / (paperMm().width() * kDpi / 25.4);
            p.scale(scale, scale);
            m_owner->m_pager.paintPage(p, page);
        }
        img.setDevicePixelRatio(ratio);
        if (m_cache.size() >= 6)
            m_cache.clear();
        m_cache.insert(page, img);
        ++painted;
        return img;
    }

    ReportPreview *m_owner;
    QHash<int, QImage> m_cache;
};

ReportPreview::ReportPreview(const BandReport &report, const QString &printer, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ReportPreview>()), m_report(report), m_printer(printer),
      m_measure(measuringDevice()), m_pager(report, &m_measure)
{
    initPreviewResources();
    m_ui->setupUi(this);
    setWindowTitle(report.title);
    m_pager.setPageCount(-1); // "N / …" in the footers until the count is known
    m_view = new PreviewPages(this);
    m_ui->pageArea->setWidget(m_view);

    QToolBar *tb = m_ui->toolBar;
    auto add = [&](const char *name, const QString &text, const char *icon, const QKeySequence &key,
                   std::function<void()> fn) {
        auto *a = new QAction(previewIcon(icon), text, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(key.isEmpty() ? text : text + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')'));
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, std::move(fn));
        tb->addAction(a);
        return a;
    };
    add("aIllesztSzelesseg", QStringLiteral("Igazítás szélességhez"), "zoom-fit-width", QKeySequence(Qt::CTRL | Qt::Key_W),
        [this] { setZoom(m_zoom, true, false); });
    add("aIllesztOldal", QStringLiteral("Teljes oldal"), "zoom-fit-best", QKeySequence(Qt::CTRL | Qt::Key_0),
        [this] { setZoom(m_zoom, false, true); });
    add("aNagyit", QStringLiteral("Nagyítás"), "zoom-in", QKeySequence(QKeySequence::ZoomIn),
        [this] { setZoom(m_zoom * 1.25, false, false); });
    add("aKicsinyit", QStringLiteral("Kicsinyítés"), "zoom-out", QKeySequence(QKeySequence::ZoomOut),
        [this] { setZoom(m_zoom / 1.25, false, false); });
    tb->addSeparator();
    add("aElsoOldal", QStringLiteral("Első oldal"), "go-first", QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { goToPage(1); });
    add("aElozoOldal", QStringLiteral("Előző oldal"), "go-previous", QKeySequence(Qt::Key_PageUp),
        [this] { goToPage(currentPage() - m_across); });
    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(QStringLiteral("sbOldal"));
    m_pageBox->setRange(1, 1);
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_pageBox->setMinimumWidth(60);
    m_pageBox->setAlignment(Qt::AlignRight);
    tb->addWidget(m_pageBox);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblOldalszam"));
    m_count->setMinimumWidth(60);
    tb->addWidget(m_count);
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int v) {
        if (v != currentPage())
            goToPage(v);
    });
    add("aKovetkezoOldal", QStringLiteral("Következő oldal"), "go-next", QKeySequence(Qt::Key_PageDown),
        [this] { goToPage(currentPage() + m_across); });
    add("aUtolsoOldal", QStringLiteral("Utolsó oldal"), "go-last", QKeySequence(Qt::CTRL | Qt::Key_End), [this] {
        layOutTowards(1 << 30, true);
        if (m_pager.finished())
            goToPage(m_pager.laidOutPages());
    });
    tb->addSeparator();
    add("aEgyOldal", QStringLiteral("Egy oldal"), "view-pages-single", QKeySequence(Qt::CTRL | Qt::Key_1), [this] {
        m_across = 1;
        refit();
    });
    add("aKetOldal", QStringLiteral("Két oldal egymás mellett"), "view-pages-facing", QKeySequence(Qt::CTRL | Qt::Key_2), [this] {
        m_across = 2;
        goToPage(currentPage());
        refit();
    });
    tb->addSeparator();
    add("aNyomtat", QStringLiteral("Nyomtatás"), "document-print", QKeySequence(QKeySequence::Print), [this] { print(); });
    add("aPdfMentes", QStringLiteral("PDF-be mentés"), "document-save-as", QKeySequence(Qt::CTRL | Qt::Key_S),
        [this] { savePdf(); });

    if (m_report.feed)
        connect(m_report.feed.get(), &RowFeed::arrived, this, &ReportPreview::onRowsArrived);
    showCount();
    layOutTowards(m_across - 1, false);
    // A short printout whose rows are all there is laid out at once (a few
    // milliseconds), so its page count shows from the start.
    if (m_pager.rowsComplete() && m_pager.rowsAvailable() <= kLayOutAtOnce)
        layOutTowards(1 << 30, false);
    refit();
    m_ui->pageArea->setFocus(); // the page keys turn pages, not the page box's value
    m_ui->pageArea->viewport()->installEventFilter(this);
}

bool ReportPreview::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_ui->pageArea->viewport() && e->type() == QEvent::Resize && (m_fitWidth || m_fitPage))
        QMetaObject::invokeMethod(this, [this] { refit(); }, Qt::QueuedConnection); // not inside the layout's pass
    return QDialog::eventFilter(watched, e);
}

ReportPreview::~ReportPreview() = default;

bool ReportPreview::layoutFinished() const
{
    return m_pager.finished();
}

int ReportPreview::pagesKnown() const
{
    return m_pager.finished() ? m_pager.laidOutPages() : 0;
}

int ReportPreview::pagesPainted() const
{
    return m_view->painted;
}

// Lays out until page `page` (0-based) is complete. Without `wait` only the
// rows there are now are used (more arrive later); with it the rows are
// waited for, with the progress window and its "Megszakítás" after a moment.
void ReportPreview::layOutTowards(int page, bool wait)
{
    if (m_busy)
        return;
    m_busy = true;
    try {
        JobProgress progress(windowTitle(), QStringLiteral("oldal"), this);
        while (m_pager.completePages() <= page && !m_pager.finished()) {
            if (m_pager.layOut(400) == 0 && !m_pager.finished()) {
                if (m_report.feed)
                    m_report.feed->throwIfFailed();
                if (!wait)
                    break; // the next rows call again
                m_report.feed->waitForMore(40);
            }
            if (wait && !progress.advance(m_pager.completePages()))
                break; // stopped: the pages laid out so far stay
        }
    } catch (const Error &e) {
        m_busy = false;
        ShowError(ErrorText(e.message()), this);
        return;
    }
    m_busy = false;
    showCount();
    m_view->update();
}

void ReportPreview::onRowsArrived()
{
    if (m_pager.completePages() <= m_wanted + m_across - 1 && !m_pager.finished()) {
        layOutTowards(m_wanted + m_across - 1, false);
    } else if (m_report.feed && m_report.feed->complete() && !m_pager.finished()) {
        showCount();
    }
}

void ReportPreview::showCount()
{
    const bool known = m_pager.finished();
    if (known && m_pager.pageCount() != m_pager.laidOutPages()) {
        m_pager.setPageCount(m_pager.laidOutPages());
        m_view->dropCache(); // the footers now give the count
    }
    m_count->setText(QStringLiteral("/ ") + (known ? QString::number(m_pager.laidOutPages()) : QStringLiteral("…")));
    const QSignalBlocker block(m_pageBox);
    // Until the count is known any number may be typed: layout goes there
    // (or to the last page, when there are fewer).
    m_pageBox->setRange(1, known ? qMax(1, m_pager.laidOutPages()) : 999999);
    m_pageBox->setValue(currentPage());
}

void ReportPreview::goToPage(int page)
{
    page = qMax(1, page);
    layOutTowards(page - 1 + m_across - 1, true);
    const int last = m_pager.finished() ? m_pager.laidOutPages() : m_pager.completePages();
    page = qMin(page, qMax(1, last));
    m_page = page - 1;
    m_wanted = m_page;
    showCount();
    m_view->update();
}

void ReportPreview::setZoom(double pxPerMm, bool fitWidth, bool fitPage)
{
    m_fitWidth = fitWidth;
    m_fitPage = fitPage;
    m_zoom = qBound(kMinZoom, pxPerMm, kMaxZoom);
    refit();
}

void ReportPreview::refit()
{
    const QSizeF mm = m_view->paperMm();
    const QSize room = m_ui->pageArea->viewport()->size();
    const double byWidth = (room.width() - (m_across + 1) * kGapPx) / (m_across * mm.width());
    const double byHeight = (room.height() - 2 * kGapPx) / mm.height();
    if (m_fitWidth)
        m_zoom = qBound(kMinZoom, byWidth, kMaxZoom);
    else if (m_fitPage)
        m_zoom = qBound(kMinZoom, qMin(byWidth, byHeight), kMaxZoom);
    m_view->relayoutSize();
}

void ReportPreview::print()
{
    PrintReportStreamed(m_report, m_printer, this);
}

void ReportPreview::savePdf()
{
    AskAndSaveReportPdf(m_report, this);
}

} // namespace qo
