#pragma once
// The print preview ("frm_Elokep", titled with the report's title): pages are
// laid out as they are asked for and only the pages on screen are painted, so
// the first page of a long report shows as soon as its rows are there. The
// page count reads "…" until layout has reached the end. Commands: zoom in
// and out, fit width, fit page, first / previous / page box / next / last,
// one page or two side by side, print, "PDF-be mentés" (aPdfMentes).
#include "reports/BandReport.h"

#include <QDialog>
#include <QImage>
#include <memory>

class QLabel;
class QSpinBox;

namespace qo {

namespace Ui {
class ReportPreview;
}

class PreviewPages;

class ReportPreview : public QDialog {
    Q_OBJECT
public:
    // `printer`: where the print command prints ("" for the default).
    ReportPreview(const BandReport &report, const QString &printer, QWidget *parent = nullptr);
    ~ReportPreview() override;

    int currentPage() const { return m_page + 1; } // 1-based
    bool layoutFinished() const;
    int pagesKnown() const; // the page count once layout has finished, else 0
    // Pages painted on screen since the window opened (for benchmarks).
    int pagesPainted() const;
    void goToPage(int page); // 1-based; lays out as far as needed

private:
    friend class PreviewPages;
    void layOutTowards(int page, bool wait);
    void onRowsArrived();
    void showCount();
    void setZoom(double pxPerMm, bool fitWidth, bool fitPage);
    void refit();
    void print();
    void savePdf();
    bool eventFilter(QObject *watched, QEvent *e) override;

    std::unique_ptr<Ui::ReportPreview> m_ui;
    const BandReport &m_report;
    QString m_printer;
    QImage m_measure; // the 1200 dpi device whose measures the layout uses
    ReportPager m_pager;
    PreviewPages *m_view;
    QSpinBox *m_pageBox;
    QLabel *m_count;
    int m_page = 0;        // the first page shown, 0-based
    int m_wanted = 0;      // the last page that must be laid out to show them
    int m_across = 1;      // pages side by side
    double m_zoom = 3.0;   // screen pixels per millimetre
    bool m_fitWidth = true;
    bool m_fitPage = false;
    bool m_busy = false;
};

} // namespace qo
