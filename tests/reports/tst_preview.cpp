// The preview of a long printout and its page-by-page output: the revenue
// report over thousands of orders shows its first page before layout reaches
// the end, its page count once the last page is asked for; its commands at
// the keyboard save a PDF and print (through the print hook), both read back
// with pdftotext; a PDF stopped part-way leaves no file, or the earlier one
// byte for byte.
#include "config/AppState.h"
#include "db/Connection.h"
#include "reports/ReportOutput.h"
#include "reports/ReportParts.h"
#include "reports/ReportPreview.h"
#include "reports/RowFeed.h"
#include "support/Drive.h"
#include "support/Pdf.h"
#include "support/TestDb.h"
#include "ui/JobProgress.h"
#include "workorders/WorkOrderStore.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QRegularExpression>
#include <QSpinBox>
#include <QtTest>

using namespace qo;
using namespace qo::test;

namespace {

const QDate kFrom(2024, 1, 1), kTo(2024, 12, 31);

// `orders` handed-over orders received and closed within 2024: each gives a
// deposit row and a remainder row. Returns the report's total.
qint64 addOrders(int orders)
{
    ExecSql(QStringLiteral("DELETE FROM tulajdonos"));
    ExecSql(QStringLiteral("INSERT INTO tulajdonos (tulajdonos, telefon, irsz, varos, cim) "
                           "VALUES ('Fénysugár Optika', '06 1 555 0101', '1051', 'Budapest', 'Fő utca 12.')"));
    ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, torolve) VALUES ('Kovács Éva', 'N')"));
    const qint64 client = SqlIntValue(QStringLiteral("SELECT LAST_INSERT_ID()"), -1);
    ExecSql(QStringLiteral("INSERT INTO munkalap (ugyfel, mlaptipus, datum, dat_kesz, statusz, storno, eloleg, fizetendo) "
                           "SELECT %1, 1, '2024-01-01' + INTERVAL (seq MOD 300) DAY, '2024-01-02' + INTERVAL (seq MOD 300) DAY, "
                           "3, 'N', 1000, 2000 + seq MOD 7 FROM seq_1_to_%2")
                .arg(client)
                .arg(orders));
    return SqlIntValue(QStringLiteral("SELECT SUM(eloleg) + SUM(fizetendo) FROM munkalap"), -1);
}

QLabel *pageCount(QWidget *preview)
{
    return preview->findChild<QLabel *>(QStringLiteral("lblOldalszam"));
}

// Share of the page area's pixels that are not white or the background: a
// painted page has text on it.
double inked(QWidget *preview)
{
    auto *area = preview->findChild<QScrollArea *>(QStringLiteral("pageArea"));
    const QImage img = area->widget()->grab().toImage();
    if (qEnvironmentVariableIsSet("QO_KEEP_PNG")) { // to look at
        img.save(QDir::temp().filePath(QStringLiteral("preview-page.png")));
        preview->grab().save(QDir::temp().filePath(QStringLiteral("preview-window.png")));
    }
    int dark = 0;
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2)
            if (qGray(img.pixel(x, y)) < 100)
                ++dark;
    return double(dark) / (img.width() * img.height() / 4.0);
}

void saveAs(QWidget *fileDialog, const QString &path)
{
    auto *fd = qobject_cast<QFileDialog *>(fileDialog);
    QVERIFY(fd);
    QApplication::setActiveWindow(fd);
    auto *name = fd->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->selectAll();
    QTest::keyClicks(name, path);
    QTest::keyClick(name, Qt::Key_Return);
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempConfig> m_config;
    QTemporaryDir m_out;

private Q_SLOTS:
    void init()
    {
        m_config = std::make_unique<test::TempConfig>();
        appState() = AppState();
        SetReportFileHook({});
        SetReportPrintTime(QDateTime(QDate(2024, 5, 6), QTime(14, 30, 0)));
    }
    void cleanup()
    {
        SetReportFileHook({});
        JobProgress::setShowDelay(500);
        m_config.reset();
    }

    // One scenario through the window: first page at once with "…", pages
    // turned at the keyboard, the last page gives the count, PDF and print
    // from the toolbar's keys read back.
    void firstPageAtOnceThenTheCount()
    {
        test::TestDb db(QStringLiteral("prev_first"));
        const qint64 total = addOrders(3000); // 6,000 rows, about a hundred pages
        const QString pdfFile = m_out.filePath(QStringLiteral("elokep"));
        const QString printed = m_out.filePath(QStringLiteral("nyomtatott.pdf"));
        QVector<ReportJob> jobs;
        SetReportFileHook([&](const ReportJob &job) -> QString {
            if (job.preview)
                return {}; // the preview window itself
            jobs << job;
            return printed;
        });
        ModalLog log;
        int pages = 0;
        QString countBefore, countAfter, title;
        bool finishedBefore = true;
        double ink = 0;
        int afterLast = 0, afterPageUp = 0, afterHome = 0, typed = 0;
        double twoHigh = 0, zoomed = 0;
        onModal(notMessageBox(), [](QWidget *w) { QMetaObject::invokeMethod(w, "accept", Qt::QueuedConnection); });
        onModal(named("frm_Elokep"), [&](QWidget *w) {
            auto *pv = qobject_cast<ReportPreview *>(w);
            QVERIFY(pv);
            title = pv->windowTitle();
            QTRY_VERIFY(pv->pagesPainted() >= 1);
            QTRY_VERIFY((ink = inked(pv)) > 0.001); // the page has text on it
            countBefore = pageCount(pv)->text();
            finishedBefore = pv->layoutFinished();
            QTest::keyClick(focused(), Qt::Key_End, Qt::ControlModifier);
            QTRY_VERIFY(pv->layoutFinished());
            countAfter = pageCount(pv)->text();
            pages = pv->pagesKnown();
            afterLast = pv->currentPage();
            QTest::keyClick(focused(), Qt::Key_PageUp);
            afterPageUp = pv->currentPage();
            QTest::keyClick(focused(), Qt::Key_Home, Qt::ControlModifier);
            afterHome = pv->currentPage();
            auto *box = pv->findChild<QSpinBox *>(QStringLiteral("sbOldal"));
            box->selectAll();
            QTest::keyClicks(box, QStringLiteral("5"));
            QTest::keyClick(box, Qt::Key_Return);
            typed = pv->currentPage();
            // Two pages side by side, back to one, a step of zoom.
            QWidget *pages = pv->findChild<QScrollArea *>(QStringLiteral("pageArea"))->widget();
            const int oneWide = pages->width(), oneHigh = pages->height();
            QTest::keyClick(focused(), Qt::Key_2, Qt::ControlModifier);
            twoHigh = double(pages->height()) / oneHigh; // two pages in the same width
            QTest::keyClick(focused(), Qt::Key_1, Qt::ControlModifier);
            QTest::keyClick(focused(), Qt::Key_Plus, Qt::ControlModifier);
            zoomed = double(pages->width()) / oneWide;
            onModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
                    [&](QWidget *fd) { saveAs(fd, pdfFile); });
            QTest::keyClick(focused(), Qt::Key_S, Qt::ControlModifier);
            QTRY_VERIFY(QFile::exists(pdfFile + QStringLiteral(".pdf")));
            QTest::keyClick(focused(), Qt::Key_P, Qt::ControlModifier);
            QTRY_VERIFY(QFile::exists(printed));
            QTest::keyClick(focused(), Qt::Key_Escape);
        });
        PrintRevenueReport(kFrom, kTo);
        QCOMPARE(title, QStringLiteral("Árbevétel"));
        QVERIFY2(!finishedBefore, "layout had reached the end before the first page was shown");
        QCOMPARE(countBefore, QStringLiteral("/ …"));
        QVERIFY(pages > 90);
        QCOMPARE(countAfter, QStringLiteral("/ %1").arg(pages));
        QCOMPARE(afterLast, pages);
        QCOMPARE(afterPageUp, pages - 1);
        QCOMPARE(afterHome, 1);
        QCOMPARE(typed, 5);
        QVERIFY2(twoHigh > 0.4 && twoHigh < 0.6, qPrintable(QString::number(twoHigh)));
        QVERIFY2(qAbs(zoomed - 1.25) < 0.05, qPrintable(QString::number(zoomed)));
        for (const QString &file : {pdfFile + QStringLiteral(".pdf"), printed}) {
            const Pdf pdf = readPdf(file);
            QCOMPARE(pdf.pages, pages);
            const QString text = flat(pdf);
            QVERIFY(text.contains(QStringLiteral("oldal: 1 / %1").arg(pages)));
            QVERIFY(text.contains(QStringLiteral("oldal: %1 / %1").arg(pages)));
            QVERIFY(!text.contains(QStringLiteral("…")));
            QVERIFY2(text.contains(QStringLiteral("Mindösszesen ") + FormatMoney(double(total))), qPrintable(FormatMoney(double(total))));
        }
        QCOMPARE(jobs.size(), 1);
        QVERIFY(!jobs.first().preview);
        QVERIFY2(log.texts.isEmpty(), qPrintable(log.boxes().join(QLatin1Char('\n'))));
    }

    // The rows read as they arrive are the revenue query's rows, in its order.
    void streamedRowsAreTheQueryRows()
    {
        test::TestDb db(QStringLiteral("prev_rows"));
        addOrders(2500);
        // Some that count in one group only, or in none.
        ExecSql(QStringLiteral("UPDATE munkalap SET statusz = 2 WHERE munkalap % 5 = 0"));
        ExecSql(QStringLiteral("UPDATE munkalap SET storno = 'I' WHERE munkalap % 7 = 0"));
        ExecSql(QStringLiteral("UPDATE munkalap SET datum = '2023-12-30' WHERE munkalap % 11 = 0"));
        ExecSql(QStringLiteral("UPDATE munkalap SET dat_kesz = '2025-01-02', fizetendo = NULL WHERE munkalap % 13 = 0"));
        const RowSet expected = Connection::main().query(RevenueQuery(kFrom, kTo));
        const auto feed = WorkOrderStore(Connection::main()).revenueRows(kFrom, kTo);
        QTRY_VERIFY_WITH_TIMEOUT(feed->complete(), 30000);
        QCOMPARE(feed->error(), QString());
        const RowSet &got = *feed->rows();
        QVERIFY(expected.rowCount() > 2500);
        QCOMPARE(got.rowCount(), expected.rowCount());
        QCOMPARE(got.columnCount(), expected.columnCount());
        for (int c = 0; c < got.columnCount(); ++c)
            QCOMPARE(got.field(c).name, expected.field(c).name);
        for (int r = 0; r < got.rowCount(); ++r)
            for (int c = 0; c < got.columnCount(); ++c)
                if (got.text(r, c) != expected.text(r, c) || got.isNull(r, c) != expected.isNull(r, c))
                    QFAIL(qPrintable(QStringLiteral("row %1, %2: %3 against %4").arg(r).arg(got.field(c).name, got.text(r, c), expected.text(r, c))));
    }

    void stoppedPdfLeavesNoFile_data()
    {
        QTest::addColumn<bool>("earlier");
        QTest::addColumn<bool>("button"); // "Megszakítás", else Esc
        QTest::newRow("no earlier file, Esc") << false << false;
        QTest::newRow("earlier file kept, Megszakítás") << true << true;
    }
    void stoppedPdfLeavesNoFile()
    {
        QFETCH(bool, earlier);
        QFETCH(bool, button);
        test::TestDb db(QStringLiteral("prev_stop"));
        addOrders(12000); // about four hundred pages
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("arbevetel.pdf"));
        const QByteArray before = "%PDF-1.4 an earlier report\n";
        if (earlier) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        SetReportFileHook([&](const ReportJob &) { return file; });
        JobProgress::setShowDelay(0);
        ModalLog log;
        qint64 doneAtStop = 0, totalAtStop = 0;
        onModal(notMessageBox(), [](QWidget *w) { QMetaObject::invokeMethod(w, "accept", Qt::QueuedConnection); });
        onModal(named("frm_Folyamat"), [&](QWidget *w) {
            auto *count = w->findChild<QLabel *>(QStringLiteral("lbl_Allas"));
            const QRegularExpression re(QStringLiteral("^([\\d  ]+) / ([\\d  ]+) oldal$"));
            auto number = [](QString s) { return s.remove(QRegularExpression(QStringLiteral("\\D"))).toLongLong(); };
            // Half way through the pages, then stopped. The job runs under
            // this window: watch it from a timer and return at once.
            auto *watch = new QTimer(w);
            watch->setInterval(5);
            QObject::connect(watch, &QTimer::timeout, w, [=, &doneAtStop, &totalAtStop] {
                const auto m = re.match(count->text());
                if (!m.hasMatch())
                    return;
                doneAtStop = number(m.captured(1));
                totalAtStop = number(m.captured(2));
                if (doneAtStop * 2 < totalAtStop)
                    return;
                watch->stop();
                if (button)
                    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btn_Megszakitas")), Qt::LeftButton);
                else
                    QTest::keyClick(w, Qt::Key_Escape);
            });
            watch->start();
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        PrintRevenueReport(kFrom, kTo);
        QVERIFY(totalAtStop > 300);
        QVERIFY(doneAtStop < totalAtStop);
        QCOMPARE(log.texts, QStringList{earlier ? QStringLiteral("A mentés megszakítva; a korábbi fájl változatlan.")
                                                : QStringLiteral("A mentés megszakítva.")});
        QCOMPARE(QFile::exists(file), earlier);
        if (earlier) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), before);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), earlier ? 1 : 0); // no temporary left
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
