#pragma once
// A small band report over QPainter: page header, group headers and footers,
// one detail band per row, a summary and a page footer. Items are placed in
// millimetres inside their band; texts have a font, an alignment, optional
// word wrap, clipping, a ruled box and may grow downwards. One renderer draws
// to any QPrinter, so printing, the preview and PDF files share it.
#include "db/RowSet.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

class QPainter;
class QPagedPaintDevice;
class QPrinter;

namespace qo {

class RowFeed;

// What a band is painted for: the data, the row (the detail's row, the first
// row of a group for its header, the last one for its footer), the rows of
// the current group (all rows for the summary), the page number and the
// number of pages (0 while the pages are being laid out).
struct BandContext {
    const RowSet *rows = nullptr;
    int row = -1;
    int first = 0;
    int last = -1;
    int page = 1;
    int pages = 0;

    QString text(const QString &column) const { return rows && row >= 0 ? rows->text(row, column) : QString(); }
    double number(const QString &column) const { return rows && row >= 0 ? rows->toDouble(row, column) : 0.0; }
    bool isNull(const QString &column) const { return !rows || row < 0 || rows->isNull(row, column); }
    // Sum of a column over first..last.
    double sum(const QString &column) const;
    int count() const { return last - first + 1; }
};

using ValueFn = std::function<QString(const BandContext &)>;

struct ReportItem {
    enum Kind { Text, Line, Box, Picture };
    Kind kind = Text;
    QRectF rect;                  // millimetres inside the band
    QString text;                 // a fixed text, or
    ValueFn value;                // a computed one
    QFont font;
    std::function<QFont(const BandContext &)> fontFor; // a font chosen by the data, when set
    std::function<QColor(const BandContext &)> colorFor; // a colour chosen by the data, when set
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    QColor color = Qt::black;
    bool wrap = false;
    bool clip = true;
    bool frame = false;           // a ruled box around the item
    bool grow = false;            // the item (and its band) grows to hold its wrapped text
    QImage picture;
    bool keepNaturalSize = false; // a picture at its own size (clipped), else fitted and centred

    // Chainable settings.
    ReportItem &framed(bool on = true) { frame = on; return *this; }
    ReportItem &wrapped(bool on = true) { wrap = on; return *this; }
    ReportItem &growing() { wrap = true; grow = true; return *this; }
    ReportItem &coloured(const QColor &c) { color = c; return *this; }
    ReportItem &unclipped() { clip = false; return *this; }
    ReportItem &fontBy(std::function<QFont(const BandContext &)> f) { fontFor = std::move(f); return *this; }
    ReportItem &colourBy(std::function<QColor(const BandContext &)> f) { colorFor = std::move(f); return *this; }
};

// A text always lies inside its box. One that does not fit at its own size
// is set smaller, down to kSmallestPoints, then wrapped onto the lines the
// box has room for, and only then cut after the last whole line that fits
// (marked with an ellipsis); its first line is never lost. A growing text
// keeps its size and wraps, breaking a word longer than the box.
constexpr double kSmallestPoints = 6.0;

struct ReportBand {
    double height = 0;   // millimetres; the least height when items grow
    bool ruleAbove = false;
    bool ruleBelow = false;
    std::function<QColor(const BandContext &)> fill; // a background across the band, when valid
    QVector<ReportItem> items;

    bool isEmpty() const { return height <= 0 && items.isEmpty(); }
    ReportItem &text(const QRectF &mm, const QString &text, const QFont &font,
                     Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
    ReportItem &field(const QRectF &mm, ValueFn value, const QFont &font,
                      Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
    // A column of the data as text (dates as yyyy.MM.dd).
    ReportItem &column(const QRectF &mm, const QString &column, const QFont &font,
                       Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
    ReportItem &line(double x1, double y1, double x2, double y2);
    ReportItem &box(const QRectF &mm);
    ReportItem &picture(const QRectF &mm, const QImage &image, bool naturalSize);
};

struct ReportGroup {
    ValueFn key;          // a new group starts where the key changes
    ReportBand header;
    ReportBand footer;
};

class BandReport {
public:
    BandReport();

    QString title;        // names the print job and the preview window
    QString fileName;     // the name offered when the preview saves a PDF (without .pdf)
    QPageSize pageSize = QPageSize(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins = QMarginsF(10, 10, 10, 10); // left, top, right, bottom in mm
    // The page content printed this many times side by side (the A4 work
    // order carries two copies), each copy `copyGap` mm from the previous one.
    int copiesAcross = 1;
    double copyGap = 0;

    // The rows of the detail band; a report without rows prints its page
    // header, summary and footer on one page.
    std::shared_ptr<const RowSet> data;
    // Rows still arriving: `data` is the feed's row set, which grows on this
    // thread; layout waits for rows only as far as it has reached.
    std::shared_ptr<RowFeed> feed;
    // How many detail rows print: the data's rows, or this count when set
    // (a one-record printout without data rows uses 1).
    int detailRows = -1;
    // For an exporter: the data's columns as they are.
    QStringList exportColumns() const;

    ReportBand pageHeader;
    QVector<ReportGroup> groups; // one level is what the printouts use
    ReportBand detail;
    ReportBand summary;
    ReportBand pageFooter;

    // Width and height of one copy's printable area in millimetres.
    double contentWidth() const;
    double contentHeight() const;
    QPageLayout pageLayout() const;

    // Sets the page layout and the job name on a printer.
    void setUpPrinter(QPrinter &printer) const;
    // Paints every page; returns the number of pages painted (0 when the
    // device could not be opened).
    int render(QPrinter *printer) const;
    // Paints on a painter already open on a paged device.
    int renderOn(QPainter &painter, QPagedPaintDevice *device) const;

    // The detail rows there are now (all of them once a feed is complete).
    int rowCount() const;
};

// Lays a report's pages out as far as its rows allow, and paints any page laid
// out. Placements are kept per page (a band, its row and its place), so a page
// is painted on demand; forgetPagesBefore() keeps memory to a few pages when
// pages are painted once, in order. The page count printed in footers is 0
// ("not known yet") until setPageCount().
class ReportPager {
public:
    // `device` gives the font measures (a 1200 dpi device for every target).
    ReportPager(const BandReport &report, QPaintDevice *device);
    ~ReportPager();
    ReportPager(const ReportPager &) = delete;
    ReportPager &operator=(const ReportPager &) = delete;

    // Lays out up to maxRows further rows of those that have arrived; returns
    // how many. The summary is placed once the rows are complete.
    int layOut(int maxRows);
    // Everything the rows there are allow.
    void layOutAll();
    bool finished() const;
    int laidOutPages() const;  // pages begun
    int completePages() const; // pages that take nothing more
    int rowsLaidOut() const;
    int rowsAvailable() const;
    bool rowsComplete() const;
    void setPageCount(int pages);
    int pageCount() const;
    void forgetPagesBefore(int page);
    // Paints page `page` (0-based) on a painter open on a device of the
    // measuring device's resolution.
    void paintPage(QPainter &painter, int page) const;

private:
    QVector<QString> keysOf(int row) const;
    struct Private;
    std::unique_ptr<Private> d;
};

// Columns of a list laid side by side across `total` mm with `gap` mm
// between them, each asking for `wanted` mm (its widest text): a column that
// asks for no more than an even share gets what it asks, the others share the
// rest in proportion to what they ask; room to spare is shared in proportion.
QVector<double> ShareColumnWidths(const QVector<double> &wanted, double total, double gap);
// The width in mm a text takes in a font on the printed page.
double TextWidthMm(const QString &text, const QFont &font);
// The widest value of `value` over the rows of `rows`, in mm.
double WidestTextMm(const RowSet &rows, const ValueFn &value, const QFont &font);

// The date and time a printout shows as its printing time; tests may fix it.
QDateTime ReportPrintTime();
void SetReportPrintTime(const QDateTime &t);

} // namespace qo
