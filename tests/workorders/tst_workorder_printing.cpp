// Printouts rendered to real PDF files and read back with poppler's pdftotext
// and pdfinfo: texts, page sizes, positions of the envelope and form items,
// both copies of the A4 work order, page counts, the statistics over fixture
// orders; the commands driven through the main window, the work-order editor
// and the browser; the preview window; a real CUPS queue when there is one.
#include "config/AppState.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "reports/BandReport.h"
#include "reports/ClientListPrintout.h"
#include "reports/EnvelopePrintout.h"
#include "reports/ExaminationPrintout.h"
#include "reports/GridPrintout.h"
#include "reports/RegisteredMailPrintout.h"
#include "reports/ReportParts.h"
#include "reports/ReportOutput.h"
#include "reports/RevenueReports.h"
#include "reports/WorkOrderPrintout.h"
#include "support/Drive.h"
#include "support/ReportCapture.h"
#include "support/ShopRows.h"
#include "support/Pdf.h"
#include "support/TestDb.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/ListQuery.h"
#include "workorders/WorkOrderEditor.h"
#include "workorders/WorkOrderHistory.h"

#include <QtTest>
#include <memory>
#include <QAction>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

using namespace qo;
using namespace qo::test;

class TestWorkOrderPrinting : public QObject, public test::ReportCapture {
    Q_OBJECT


private Q_SLOTS:
    void initTestCase()
    {
        installCapture();
    }
    void init()
    {
        resetCapture();
    }
    void cleanupTestCase()
    {
        removeCapture();
    }

    // "Nyomtat" in the editor saves first; cancelling a new order still removes it.
    void editorPrintSavesAndCancelDeletes()
    {
        test::TestDb db(QStringLiteral("rep_editor"));
        addShop();
        const qint64 client = addClient(QStringLiteral("Szabó Béla"));
        ModalLog answers;
        qint64 shownKey = -1;
        onModal(anyWindow(), [&](QWidget *w) {
            auto *ed = static_cast<WorkOrderEditor *>(w);
            shownKey = ed->key();
            QApplication::setActiveWindow(ed);
            QLineEdit *price = ed->field(QStringLiteral("ar_keret"));
            QTest::mouseClick(price, Qt::LeftButton);
            price->selectAll();
            QTest::keyClicks(price, QStringLiteral("30000"));
            QTest::keyClick(price, Qt::Key_Return);
            QTest::mouseClick(ed->findChild<QPushButton *>(QStringLiteral("btnNyomtat")), Qt::LeftButton);
            QTest::mouseClick(ed->findChild<QPushButton *>(QStringLiteral("btnElokep")), Qt::LeftButton);
            QTest::keyClick(ed->findChild<QPushButton *>(QStringLiteral("btnElokep")), Qt::Key_Escape);
        });
        QCOMPARE(EditWorkOrder(-1, client, 1), -1);
        QVERIFY(shownKey > 0);
        QCOMPARE(m_jobs.size(), 2);
        QVERIFY(!m_jobs[0].preview);
        QVERIFY(m_jobs[1].preview);
        // The printout shows the saved price; the cancelled new order is gone.
        const QString printed = flat(readPdf(m_files[0]));
        QVERIFY2(printed.contains(QStringLiteral("30 000")), qPrintable(printed));
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM munkalap"), -1), 0);

        // A closed order prints as stored and is not saved.
        const qint64 closed = addOrder(client, 1, QStringLiteral("statusz = 3, ar_keret = 7000, osszar = 7000"));
        onModal(anyWindow(), [&](QWidget *w) {
            auto *ed = static_cast<WorkOrderEditor *>(w);
            QApplication::setActiveWindow(ed);
            QLineEdit *price = ed->field(QStringLiteral("ar_keret"));
            QTest::mouseClick(price, Qt::LeftButton);
            price->selectAll();
            QTest::keyClicks(price, QStringLiteral("9999"));
            QTest::keyClick(price, Qt::Key_Return);
            QTest::mouseClick(ed->findChild<QPushButton *>(QStringLiteral("btnNyomtat")), Qt::LeftButton);
            QTest::keyClick(ed->findChild<QPushButton *>(QStringLiteral("btnNyomtat")), Qt::Key_Escape);
        });
        QCOMPARE(EditWorkOrder(closed, -1, 1), -1);
        QCOMPARE(m_jobs.size(), 3);
        QVERIFY(flat(lastPdf()).contains(QStringLiteral("7 000")));
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT ar_keret FROM munkalap WHERE munkalap = %1").arg(closed), -1), 7000);
        QVERIFY(answers.unexpected.isEmpty());
    }

    // ---- grid printout ---------------------------------------------------------------------

    void gridPrintoutFromTheBrowser()
    {
        test::TestDb db(QStringLiteral("rep_grid"));
        addShop();
        const qint64 c = addClient(QStringLiteral("Kovács Éva"));
        addOrder(c, 1, QStringLiteral("osszar = 10000"));
        addOrder(c, 2, QStringLiteral("osszar = 25000"));
        addOrder(c, 4, QStringLiteral("osszar = 1500"));
        const qint64 empty = addClient(QStringLiteral("Üres Ügyfél"));
        ModalLog answers;
        for (int choice : {1, 0}) {
            WorkOrderHistory b(c);
            b.resize(900, 400);
            showActive(b);
            onModal(anyWindow(), [choice](QWidget *d) {
                // "Lista" is the second option; Down moves to it, Enter is OK.
                const auto checked = [d] {
                    for (QRadioButton *r : d->findChildren<QRadioButton *>())
                        if (r->isChecked())
                            return r;
                    return static_cast<QRadioButton *>(nullptr);
                };
                QApplication::setActiveWindow(d);
                if (choice == 1)
                    QTest::keyClick(checked(), Qt::Key_Down);
                QTest::keyClick(checked(), Qt::Key_Return);
            });
            QTest::keyClick(b.grid(), Qt::Key_K, Qt::ControlModifier);
            QTRY_VERIFY(answers.done());
        }
        QCOMPARE(m_jobs.size(), 2);
        QCOMPARE(m_jobs[0].title, QStringLiteral("Munkalapok"));
        QVERIFY(m_jobs[0].preview);
        const Pdf list = readPdf(m_files[0]);
        QCOMPARE(list.pageSize.toSize(), QSize(595, 842));
        const QString t = flat(list);
        QVERIFY2(t.contains(QStringLiteral("Összesen sorok száma: 3")), qPrintable(t));
        QVERIFY(t.contains(QStringLiteral("36500"))); // a plain number
        QVERIFY(t.contains(QStringLiteral("Kovács Éva")) && t.contains(QStringLiteral("qrGridPrint")));
        QCOMPARE(m_jobs[1].title, QStringLiteral("Munkalap nyomtatás"));

        // Landscape widens every column by 277/190; an empty list counts 0.
        WorkOrderHistory b(c);
        b.resize(900, 400);
        b.show();
        const Pdf portrait = save(BuildGridPrintout(*b.grid(), true, QStringLiteral("x"), QStringLiteral("osszar"), 8, QStringLiteral("T")),
                                  QStringLiteral("portrait"));
        const Pdf landscape = save(BuildGridPrintout(*b.grid(), false, QStringLiteral("x"), QStringLiteral("osszar"), 8, QStringLiteral("T")),
                                   QStringLiteral("landscape"));
        QCOMPARE(landscape.pageSize.toSize(), QSize(842, 595));
        const double margin = 10 * kPtPerMm;
        const double pStatus = portrait.find(QStringLiteral("Státusz")).first().x0 - margin;
        const double lStatus = landscape.find(QStringLiteral("Státusz")).first().x0 - margin;
        const int gaps = 8; // columns before "Státusz", each followed by 1.3 mm
        const double gapPt = gaps * 1.3 * kPtPerMm;
        QVERIFY2(qAbs((lStatus - gapPt) / (pStatus - gapPt) - 277.0 / 190) < 0.01,
                 qPrintable(QString::number((lStatus - gapPt) / (pStatus - gapPt))));
        WorkOrderHistory none(empty);
        none.show();
        const Pdf zero = save(BuildGridPrintout(*none.grid(), true, QStringLiteral("Üres Ügyfél"), QStringLiteral("osszar"), 8,
                                                QStringLiteral("Munkalapok")), QStringLiteral("zero"));
        QVERIFY(flat(zero).contains(QStringLiteral("sorok száma: 0")));
        QVERIFY(flat(zero).contains(QStringLiteral("Sorszám")));
    }

    // The browser's list shows a cancelled order marked and leaves it out of the sum.
    void gridPrintoutLeavesCancelledOrdersOut()
    {
        test::TestDb db(QStringLiteral("rep_grid_storno"));
        addShop();
        const qint64 c = addClient(QStringLiteral("Kovács Éva"));
        addOrder(c, 1, QStringLiteral("osszar = 10000"));
        const qint64 off = addOrder(c, 2, QStringLiteral("osszar = 25000, storno = 'I'"));
        addOrder(c, 4, QStringLiteral("osszar = 1500"));
        WorkOrderHistory b(c);
        b.resize(900, 400);
        b.show();
        const Pdf pdf = save(BuildGridPrintout(*b.grid(), true, QStringLiteral("Kovács Éva"), QStringLiteral("osszar"), 8,
                                               QStringLiteral("Munkalapok")), QStringLiteral("grid-storno"));
        const QString t = flat(pdf);
        QVERIFY2(t.contains(QStringLiteral("Összesen sorok száma: 3, ebből sztornó: 1 11500")), qPrintable(t));
        QVERIFY(!t.contains(QStringLiteral("36500")));
        QVERIFY(t.contains(QStringLiteral("25 000"))); // the cancelled row is shown
        // The mark stands under that row, and only there.
        QCOMPARE(pdf.count(QStringLiteral("SZTORNÓ")), 1);
        const Word mark = pdf.find(QStringLiteral("SZTORNÓ")).first();
        const Word row = pdf.find(QString::number(off)).first();
        QVERIFY(mark.y0 > row.y1 && mark.y0 - row.y1 < 4 * kPtPerMm);
    }
};

QTEST_MAIN(TestWorkOrderPrinting)
#include "tst_workorder_printing.moc"
