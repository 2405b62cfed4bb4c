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
#include "clients/ClientPrintouts.h"
#include "reports/RevenueChart.h"
#include "workorders/WorkOrderStore.h"
#include "reports/ReminderPrintouts.h"
#include "clients/ReminderList.h"
#include "export/ExportDialog.h"
#include "workorders/WorkOrderStore.h"
#include "reports/WorkOrderPrintout.h"
#include "support/Drive.h"
#include "support/ReportCapture.h"
#include "support/ShopRows.h"
#include "support/Pdf.h"
#include "support/TestDb.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/ListQuery.h"

#include <QtTest>
#include <memory>
#include <QAction>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
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

namespace {

// Ordinary data that is long for the boxes it is printed in.
const QString kLongName = QStringLiteral("Dr. Szentgyörgyiné Kovács-Hadnagy Erzsébet Mária");
const QString kLongStreet = QStringLiteral("Kárász utca 15. II. emelet 12. ajtó");
const QString kTwoPhones = QStringLiteral("06 30 123 4567, 06 62 555 0101");

} // namespace

class TestReports : public QObject, public test::ReportCapture {
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

    // ---- work order ------------------------------------------------------------------------

    void workOrder_data()
    {
        QTest::addColumn<bool>("a5");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("layout");
        QTest::newRow("A4 spectacles") << false << 1 << "Szemüveg - távol" << "QrMunkalap";
        QTest::newRow("A4 contact lens") << false << 4 << "Kontaktlencse" << "QrMunkalap";
        QTest::newRow("A5 special") << true << 3 << "Szemüveg - Speciális" << "QrMunkalapA5";
        QTest::newRow("A5 contact lens") << true << 4 << "Kontaktlencse" << "QrMunkalapA5";
    }
    void workOrder()
    {
        QFETCH(bool, a5);
        QFETCH(int, type);
        QFETCH(QString, heading);
        QFETCH(QString, layout);
        test::TestDb db(QStringLiteral("rep_workorder"));
        addShop();
        const qint64 client = addClient(QStringLiteral("Kovács Éva"), QStringLiteral("szuldatum, cim_irsz, cim_varos"),
                                        QStringLiteral("'1980.02.03', '6720', 'Szeged'"));
        const QString longBrand = QStringLiteral("Hosszúnevű Lencsegyártó Kft"); // 27 characters
        const qint64 lens = addBrand(QStringLiteral("lencsemarka"), longBrand);
        const qint64 frame = addBrand(QStringLiteral("keretmarka"), QStringLiteral("Rayban"));
        const qint64 key = addOrder(client, type, QStringLiteral(
            "lencsemarka = %1, keretmarka = %2, tipus = 'Progresszív', kerettipus = 'RB-1', jobbsph = '+1,50', "
            "balsph = '-0,25', jobbprism = '8,6', jobbpd = '14,2', ar_jobb = 1234567, ar_bal = 20000, ar_keret = 30000, "
            "lencseszazalek = 12.5, keretszazalek = 0, eloleg = 5000, osszar = 1284567, fizetendo = 1279567, "
            "datum = '2024-05-02', dat_hatid = '2024-05-09', megj = 'Sürgős'").arg(lens).arg(frame));
        const Pdf pdf = save(BuildWorkOrderPrintout(key, a5), QStringLiteral("workorder-") + QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(pdf.pages, 1);
        if (a5)
            QCOMPARE(pdf.pageSize.toSize(), QSize(420, 595));
        else
            QCOMPARE(pdf.pageSize.toSize(), QSize(842, 595)); // landscape
        const int copies = a5 ? 1 : 2;
        const QString text = flat(pdf);
        QCOMPARE(text.count(heading), copies);
        QCOMPARE(text.count(QStringLiteral("Kovács Éva")), copies);
        QCOMPARE(text.count(QStringLiteral("1 234 567")), copies); // money mask
        QCOMPARE(text.count(QStringLiteral("-13%")), copies);     // 12.5 rounds to 13; 0 prints nothing
        QCOMPARE(text.count(QStringLiteral("%")), copies);
        QCOMPARE(text.count(QStringLiteral("1980.02.03")), copies);
        QCOMPARE(text.count(QStringLiteral("Fénysugár Optika")), copies);
        QCOMPARE(pdf.count(layout), copies);
        QCOMPARE(pdf.count(QStringLiteral("Dia")), type == 4 ? copies : 0);
        QCOMPARE(pdf.count(QStringLiteral("Bc")), type == 4 ? copies : 0);
        QCOMPARE(pdf.count(QStringLiteral("Pd")), type == 4 ? 0 : copies);
        QCOMPARE(pdf.count(QStringLiteral("Prism")), type == 4 ? 0 : copies);
        QCOMPARE(text.count(QStringLiteral("UHT,Orrtámasz")), a5 ? 1 : 0);
        QCOMPARE(text.count(QStringLiteral("UHT,orrtámasz")), a5 ? 0 : 2);

        // A name over 25 characters prints at 7 points on A4, at 8 on A5.
        const Word brandWord = pdf.find(QStringLiteral("Lencsegyártó")).first();
        const Word typeWord = pdf.find(QStringLiteral("Progresszív")).first();
        const double ratio = (brandWord.y1 - brandWord.y0) / (typeWord.y1 - typeWord.y0);
        if (a5)
            QVERIFY2(qAbs(ratio - 1) < 0.02, qPrintable(QString::number(ratio)));
        else
            QVERIFY2(qAbs(ratio - 7.0 / 8) < 0.03, qPrintable(QString::number(ratio)));

        // The two A4 copies are the same sheet, one beside the other.
        if (!a5) {
            const double shift = (277.0 - 10) / 2 + 10; // copy width + gap, in mm
            QVector<Word> left, right;
            for (const Word &w : pdf.words)
                (w.x0 < pdf.pageSize.width() / 2 ? left : right) << w;
            QCOMPARE(left.size(), right.size());
            for (const Word &l : left) {
                bool found = false;
                for (const Word &r : right)
                    found = found || (r.text == l.text && qAbs(r.x0 - shift * kPtPerMm - l.x0) < 0.6 && qAbs(r.y0 - l.y0) < 0.6);
                QVERIFY2(found, qPrintable(l.text));
            }
        }
    }

    // An order or examination that is gone prints no blank sheet: the user is told.
    void missingRecordsAreReported()
    {
        test::TestDb db(QStringLiteral("rep_missing"));
        ModalLog answers;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        PrintWorkOrder(4711, true);
        PrintExamination(4712, false);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts, (QStringList{QStringLiteral("A munkalap nem található."),
                                             QStringLiteral("A vizsgálat nem található.")}));
        QVERIFY(m_jobs.isEmpty());
    }

    // ---- examination -----------------------------------------------------------------------

    void examination_data()
    {
        QTest::addColumn<bool>("a5");
        QTest::newRow("A4") << false;
        QTest::newRow("A5") << true;
    }
    void examination()
    {
        QFETCH(bool, a5);
        test::TestDb db(QStringLiteral("rep_exam"));
        addShop();
        const qint64 client = addClient(QStringLiteral("Tóth Éva"));
        ExecSql(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '+1,25' WHERE ugyfel = %1 AND kulcs = 1").arg(client));
        ExecSql(QStringLiteral("UPDATE ugyfel_sz_kozel SET sph = '+2,75' WHERE ugyfel = %1 AND kulcs = 2").arg(client));
        ExecSql(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum, jobbkorrv3, balkorv3, jobbadd3, baladd3, anamnezis, diagnozis) "
                               "VALUES (%1, '2023-01-15', '0,8', '0,6', 'ADD-J', 'ADD-B', 'Fejfájás olvasáskor', 'Presbyopia')")
                    .arg(client));
        const qint64 key = SqlIntValue(QStringLiteral("SELECT LAST_INSERT_ID()"), -1);
        // A prescription changed after the examination prints in its current form.
        ExecSql(QStringLiteral("UPDATE ugyfel_sz_egyeb SET cyl = '-0,75' WHERE ugyfel = %1 AND kulcs = 1").arg(client));
        const Pdf pdf = save(BuildExaminationPrintout(key, a5), QStringLiteral("exam-") + QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(pdf.pages, 1);
        QCOMPARE(pdf.pageSize.toSize(), a5 ? QSize(420, 595) : QSize(595, 842));
        const QString text = flat(pdf);
        for (const char *t : {"Tóth Éva", "+1,25", "+2,75", "-0,75", "0,8", "0,6", "Fejfájás olvasáskor", "Presbyopia",
                              "Jelenlegi szemüveg", "Autorefrakto - keratometria", "Vizsgálati eredmények", "Távoli",
                              "Közeli", "Speciális", "Kontaktlencse", "Fénysugár Optika"})
            QVERIFY2(text.contains(QString::fromUtf8(t)), t);
        QVERIFY(!text.contains(QStringLiteral("ADD-J")));
        QVERIFY(!text.contains(QStringLiteral("ADD-B")));
        QVERIFY(!text.contains(QStringLiteral("2023.01.15"))); // the examination date is not printed
        QCOMPARE(pdf.count(a5 ? QStringLiteral("QrVizsgalatA5") : QStringLiteral("QrVizsgalatA4")), 1);
    }

    void longClientListPages()
    {
        test::TestDb db(QStringLiteral("rep_clients_long"));
        addShop();
        QStringList values;
        for (int i = 0; i < 300; ++i)
            values << QStringLiteral("('Ügyfél %1', 'N', 'ugyfel%1@example.hu', '06 30 %1')").arg(i, 3, 10, QLatin1Char('0'));
        ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, torolve, emil, telefon) VALUES ") + values.join(QLatin1Char(',')));
        BandReport r = BuildClientListPrintout(QStringLiteral("SELECT * FROM vw_ugyfel\nWHERE ugyfel > 0\nORDER BY ugyfel_nev;"));
        const Pdf pdf = save(r, QStringLiteral("clients300"));
        QCOMPARE(pdf.pageSize.toSize(), QSize(595, 842));
        // Every page has the header and its number; the rows follow on without a gap or a repeat.
        const double block = 11.6 * kPtPerMm;
        const double body = (297 - 20 - 19.5 - 8.8) * kPtPerMm;
        const int perPage = int(body / block);
        QCOMPARE(pdf.pages, (300 + perPage - 1) / perPage);
        for (int p = 1; p <= pdf.pages; ++p) {
            QCOMPARE(pdf.find(QStringLiteral("Névsorban"), p).size(), 1);
            QVERIFY(pdf.text.contains(QStringLiteral("oldal: %1 / %2").arg(p).arg(pdf.pages)));
        }
        int last = -1;
        for (int i = 0; i < 300; ++i) {
            const int at = pdf.text.indexOf(QStringLiteral("Ügyfél %1").arg(i, 3, 10, QLatin1Char('0')));
            QVERIFY(at > last);
            last = at;
        }
    }

    // ---- grid printout ---------------------------------------------------------------------

    // A list that holds only its first page is printed whole, with its
    // columns' masks; the count and the sum cover every row.
    void gridPrintoutOfAWindowedList()
    {
        test::TestDb db(QStringLiteral("rep_grid_window"));
        ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, torolve) SELECT CONCAT('Ügyfél ', LPAD(seq, 5, '0')), 'N' "
                               "FROM seq_1_to_20000"));
        GridModel model;
        model.setColumns({{QStringLiteral("ugyfel_nev"), QStringLiteral("Név")},
                          {QStringLiteral("ugyfel"), QStringLiteral("Kód"), QStringLiteral("000000")}});
        ListQuery list({QStringLiteral("SELECT ugyfel, ugyfel_nev FROM ugyfel"), QStringLiteral("WHERE ugyfel > 0"),
                        QStringLiteral("ORDER BY ugyfel_nev;")},
                       &model, QStringLiteral("ugyfel"));
        list.open();
        QCOMPARE(model.rowCount(), GridModel::kFirstPage);
        Grid grid;
        grid.setGridModel(&model);
        grid.resize(600, 300);
        grid.setColumnWidth(0, 300);
        grid.setColumnWidth(1, 200);
        const Pdf pdf = save(BuildGridPrintout(grid, true, QStringLiteral("Mind"), QStringLiteral("ugyfel"), 8,
                                               QStringLiteral("Hosszú lista")),
                             QStringLiteral("gridlong"));
        const QString text = flat(pdf);
        QVERIFY(text.contains(QStringLiteral("sorok száma: 20000")));
        QVERIFY(text.contains(QStringLiteral("200010000"))); // 1 + 2 + ... + 20000
        QCOMPARE(pdf.count(QStringLiteral("Ügyfél")), 20000);
        QVERIFY(text.contains(QStringLiteral("Ügyfél 00001 000001")));
        QVERIFY(text.contains(QStringLiteral("Ügyfél 20000 020000")));
        QCOMPARE(pdf.find(QStringLiteral("020000"), pdf.pages).size(), 1); // the last row on the last page
        // A detail line of 8 points: 4.7 mm; the page body is 277 mm less the heading.
        const int perPage = pdf.count(QStringLiteral("Ügyfél")) / pdf.pages;
        QVERIFY2(perPage >= 45 && perPage <= 60, qPrintable(QString::number(pdf.pages)));
    }

    // ---- envelope and registered-mail form ---------------------------------------------------

    void placedItems_data()
    {
        QTest::addColumn<bool>("envelope");
        QTest::addColumn<QString>("word");
        QTest::addColumn<double>("left"); // mm; < 0 for a centred item
        QTest::addColumn<double>("top");
        QTest::newRow("envelope shop") << true << "Fénysugár" << 11.3 << 11.3;
        QTest::newRow("envelope shop address") << true << "Budapest," << 11.3 << 16.6;
        QTest::newRow("envelope shop postcode") << true << "1051" << 11.3 << 21.9;
        QTest::newRow("envelope name") << true << "Kovács" << -1.0 << 53.7;
        QTest::newRow("envelope contact") << true << "Kapcsolat" << -1.0 << 58.9;
        QTest::newRow("envelope for") << true << "Részére" << -1.0 << 64.2;
        QTest::newRow("envelope town") << true << "Szeged" << -1.0 << 72.2;
        QTest::newRow("envelope street") << true << "Kárász" << -1.0 << 78.8;
        QTest::newRow("envelope postcode") << true << "6720" << -1.0 << 89.4;
        QTest::newRow("form shop") << false << "Fénysugár" << 37.1 << 26.5;
        QTest::newRow("form shop address") << false << "Budapest," << 37.1 << 31.2;
        QTest::newRow("form shop postcode") << false << "1051" << 37.1 << 35.1;
        QTest::newRow("form name") << false << "Kovács" << 42.1 << 53.0;
        QTest::newRow("form postcode") << false << "6720" << 42.4 << 57.6;
        QTest::newRow("form town") << false << "Szeged" << 60.9 << 57.6;
        QTest::newRow("form street") << false << "Kárász" << 42.4 << 62.3;
    }
    void placedItems()
    {
        QFETCH(bool, envelope);
        QFETCH(QString, word);
        QFETCH(double, left);
        QFETCH(double, top);
        test::TestDb db(QStringLiteral("rep_envelope"));
        addShop();
        const qint64 client = addClient(QStringLiteral("Kovács Éva"), QStringLiteral("kapcsolat, cim_irsz, cim_varos, cim_cim"),
                                        QStringLiteral("'Kapcsolat Tódor', '6720', 'Szeged', 'Kárász utca 5.'"));
        const Pdf pdf = save(envelope ? BuildEnvelope(client) : BuildRegisteredMailForm(client), envelope ? QStringLiteral("envelope") : QStringLiteral("form"));
        QCOMPARE(pdf.pages, 1);
        QCOMPARE(qRound(pdf.pageSize.width() / kPtPerMm), 160);
        QCOMPARE(qRound(pdf.pageSize.height() / kPtPerMm), 113);
        const QVector<Word> found = pdf.find(word);
        QCOMPARE(found.size(), 1);
        const Word &w = found.first();
        // The top of the text line: the glyph box top less the font's internal leading is within 1 mm.
        QVERIFY2(qAbs(w.y0 / kPtPerMm - top) <= 1.0, qPrintable(QString::number(w.y0 / kPtPerMm)));
        if (left >= 0) {
            QVERIFY2(qAbs(w.x0 / kPtPerMm - left) <= 1.0, qPrintable(QString::number(w.x0 / kPtPerMm)));
        } else {
            // Centred in the column 70.9 .. 145.3: the whole line's middle.
            double x0 = 1e9, x1 = 0;
            for (const Word &o : pdf.words)
                if (qAbs(o.y0 - w.y0) < 0.5) {
                    x0 = qMin(x0, o.x0);
                    x1 = qMax(x1, o.x1);
                }
            QVERIFY2(qAbs((x0 + x1) / 2 / kPtPerMm - (70.9 + 145.3) / 2) <= 1.0, qPrintable(QString::number((x0 + x1) / 2 / kPtPerMm)));
        }
    }

    // ---- statistics ------------------------------------------------------------------------

    void revenue_data()
    {
        QTest::addColumn<QString>("order");   // assignments of one order
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("deposit"); // "Előleg" group total, "" for no group
        QTest::addColumn<QString>("rest");    // "Utólag" group total
        QTest::addColumn<QString>("total");
        const QDate f(2024, 3, 1), t(2024, 3, 31);
        QTest::newRow("received first day, closed last day")
            << "datum = '2024-03-01', dat_kesz = '2024-03-31', statusz = 3, eloleg = 5000, fizetendo = 15000"
            << f << t << "5 000" << "15 000" << "20 000";
        QTest::newRow("collected after the period")
            << "datum = '2024-03-10', dat_kesz = '2024-04-02', statusz = 3, eloleg = 5000, fizetendo = 15000"
            << f << t << "5 000" << "" << "5 000";
        QTest::newRow("closed in the period, received before")
            << "datum = '2024-02-20', dat_kesz = '2024-03-05', statusz = 3, eloleg = 5000, fizetendo = 1234567"
            << f << t << "" << "1 234 567" << "1 234 567";
        QTest::newRow("ready, not collected")
            << "datum = '2024-02-20', dat_kesz = '2024-03-05', statusz = 2, eloleg = 5000, fizetendo = 15000"
            << f << t << "" << "" << "0";
        QTest::newRow("cancelled")
            << "datum = '2024-03-01', dat_kesz = '2024-03-31', statusz = 3, eloleg = 5000, fizetendo = 15000, storno = 'I'"
            << f << t << "" << "" << "0";
        QTest::newRow("from-date after to-date")
            << "datum = '2024-03-10', dat_kesz = '2024-03-12', statusz = 3, eloleg = 5000, fizetendo = 15000"
            << t << f << "" << "" << "0";
    }
    void revenue()
    {
        QFETCH(QString, order);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, deposit);
        QFETCH(QString, rest);
        QFETCH(QString, total);
        test::TestDb db(QStringLiteral("rep_revenue"));
        addShop();
        const qint64 key = addOrder(addClient(QStringLiteral("Kovács Éva")), 1, order);
        const BandReport r = BuildRevenueReport(from, to);
        QCOMPARE(r.exportColumns(), (QStringList{"sortipus", "munkalap", "statusz", "statusz_nev", "ugyfel_nev", "dat", "bevetel"}));
        const Pdf pdf = save(r, QStringLiteral("revenue"));
        QCOMPARE(pdf.pages, 1); // also an empty period prints its page
        QCOMPARE(pdf.pageSize.toSize(), QSize(595, 842));
        const QStringList lines = pdf.text.split(QLatin1Char('\n'));
        auto lineWith = [&](const QString &t, int from = 0) {
            for (int i = from; i < lines.size(); ++i)
                if (lines[i].simplified().startsWith(t) || lines[i].contains(QStringLiteral("  ") + t))
                    return i;
            return -1;
        };
        QVERIFY(flat(pdf).contains(QStringLiteral("Árbevétel")));
        QVERIFY(flat(pdf).contains(PeriodTextFor(from, to)));
        const int dep = lineWith(QStringLiteral("Előleg"));
        const int rem = lineWith(QStringLiteral("Utólag"));
        QCOMPARE(dep >= 0, !deposit.isEmpty());
        QCOMPARE(rem >= 0, !rest.isEmpty());
        const QString number = QStringLiteral("%1").arg(key, 5, 10, QLatin1Char('0'));
        if (dep >= 0) {
            QVERIFY(lines[dep + 1].contains(number));
            QVERIFY(lines[dep + 2].simplified().endsWith(QStringLiteral("Összesen ") + deposit));
        }
        if (rem >= 0) {
            QVERIFY(dep < rem); // "Előleg" comes first
            QVERIFY(lines[rem + 1].contains(number));
            QVERIFY(lines[rem + 2].simplified().endsWith(QStringLiteral("Összesen ") + rest));
        }
        QVERIFY2(flat(pdf).contains(QStringLiteral("Mindösszesen ") + total), qPrintable(flat(pdf)));
        QVERIFY(flat(pdf).contains(QStringLiteral("QrArbevetel")));
    }

    static QString PeriodTextFor(const QDate &a, const QDate &b)
    {
        return a.toString(QStringLiteral("yyyy.MM.dd")) + QStringLiteral(" - ") + b.toString(QStringLiteral("yyyy.MM.dd"));
    }

    void salesAndLensLists()
    {
        test::TestDb db(QStringLiteral("rep_sales"));
        addShop();
        const qint64 c = addClient(QStringLiteral("Kovács Éva"));
        const qint64 zeiss = addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Zeiss"));
        const qint64 hoya = addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Hoya"));
        const qint64 rb = addBrand(QStringLiteral("keretmarka"), QStringLiteral("Rayban"));
        const QString in = QStringLiteral("datum = '2024-03-05'");
        addOrder(c, 1, in + QStringLiteral(", lencsemarka = %1, tipus = 'Single', jobbsph = '+1,00', balsph = '+1,25', "
                                           "szoveg_szinezes = 'Barna', keretmarka = %2, kerettipus = 'RB1', ar_jobb = 10000, "
                                           "ar_bal = 10000, ar_keret = 20000").arg(zeiss).arg(rb));
        addOrder(c, 2, in + QStringLiteral(", lencsemarka = %1, tipus = 'Single', ar_jobb = 12000, ar_bal = NULL, "
                                           "keretmarka = %2, kerettipus = 'RB1', ar_keret = 25000").arg(zeiss).arg(rb));
        addOrder(c, 4, in + QStringLiteral(", lencsemarka = %1, tipus = 'Havi', jobbsph = '-3,00', jobbprism = '8,6'").arg(hoya));
        addOrder(c, 1, in + QStringLiteral(", lencsemarka = %1, tipus = 'Sztornó', storno = 'I', ar_jobb = 99999").arg(hoya));
        addOrder(c, 1, QStringLiteral("datum = '2024-04-01', lencsemarka = %1, tipus = 'Későbbi'").arg(hoya));
        const QDate from(2024, 3, 1), to(2024, 3, 31);

        const Pdf sales = save(BuildSalesReport(from, to), QStringLiteral("sales"));
        const QString s = flat(sales);
        QVERIFY2(s.contains(QStringLiteral("1. Keretek Rayban RB1 2 45 000 Összesen 45 000")), qPrintable(s));
        // An order without a left price adds nothing to the lens sum; the contact lens counts under its brand.
        QVERIFY2(s.contains(QStringLiteral("2. Lencsék Hoya Havi 1 0 Zeiss Single 2 20 000 Összesen 20 000")), qPrintable(s));
        QVERIFY(s.contains(QStringLiteral("Mindösszesen 65 000")));
        QVERIFY(!s.contains(QStringLiteral("Sztornó")) && !s.contains(QStringLiteral("Későbbi")));

        const Pdf lenses = save(BuildLensSalesReport(false, -1, from, to), QStringLiteral("lenses"));
        const QString l = flat(lenses);
        QVERIFY(l.contains(QStringLiteral("Zeiss")) && l.contains(QStringLiteral("Színezés")) && l.contains(QStringLiteral("Barna")));
        QVERIFY(!l.contains(QStringLiteral("Havi")) && !l.contains(QStringLiteral("Hoya")));
        QCOMPARE(lenses.count(QStringLiteral("JOBB")), 2);
        QCOMPARE(lenses.count(QStringLiteral("BAL")), 2);
        QVERIFY(l.contains(QStringLiteral("QrLencseFogyas")));

        const Pdf contact = save(BuildLensSalesReport(true, -1, from, to), QStringLiteral("contact"));
        const QString k = flat(contact);
        QVERIFY(k.contains(QStringLiteral("Hoya")) && k.contains(QStringLiteral("Havi")) && k.contains(QStringLiteral("-3,00")));
        QVERIFY(k.contains(QStringLiteral(" Bc ")) && !k.contains(QStringLiteral("Prism")) && !k.contains(QStringLiteral("Színezés")));
        QVERIFY(!k.contains(QStringLiteral("Zeiss")));
        QVERIFY(k.contains(QStringLiteral("Kontaktlencse fogyások")) && k.contains(QStringLiteral("QrKLencseFogyas")));

        // One brand only.
        const Pdf one = save(BuildLensSalesReport(false, hoya, from, to), QStringLiteral("onebrand"));
        QVERIFY(!flat(one).contains(QStringLiteral("Zeiss")));
        QCOMPARE(one.count(QStringLiteral("JOBB")), 0);
        QCOMPARE(one.pages, 1);
    }

    // ---- texts in their boxes ------------------------------------------------------------

    // Ordinary data that is long for its box: every word printed, inside the box.
    void longTextsStayInTheirBoxes_data()
    {
        QTest::addColumn<bool>("a5");
        QTest::addColumn<QString>("type");
        QTest::newRow("A4 blue filter") << false << "1.67 KÉKFÉNYSZŰRŐS";
        QTest::newRow("A5 blue filter") << true << "1.67 KÉKFÉNYSZŰRŐS";
        QTest::newRow("A5 polycarbonate") << true << "POLIKARBONÁT";
        QTest::newRow("A5 sunglasses") << true << "NAPSZEMÜVEG";
        QTest::newRow("A4 fifty characters") << false << "1.60 VÉKONYÍTOTT KÉKFÉNYSZŰRŐS FOTOKRÓM MULTIFOKÁL";
        QTest::newRow("A5 fifty characters") << true << "1.60 VÉKONYÍTOTT KÉKFÉNYSZŰRŐS FOTOKRÓM MULTIFOKÁL";
    }
    void longTextsStayInTheirBoxes()
    {
        QFETCH(bool, a5);
        QFETCH(QString, type);
        QCOMPARE(QStringLiteral("1.60 VÉKONYÍTOTT KÉKFÉNYSZŰRŐS FOTOKRÓM MULTIFOKÁL").size(), 50);
        test::TestDb db(QStringLiteral("rep_fit"));
        addShop();
        const qint64 client = addClient(kLongName, QStringLiteral("cim_irsz, cim_varos, cim_cim, telefon, szuldatum"),
                                        QStringLiteral("'6720', 'Szeged', '%1', '%2', '1980.02.03'").arg(kLongStreet, kTwoPhones));
        const qint64 lens = addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Essilor"));
        const qint64 key = addOrder(client, 1, QStringLiteral("lencsemarka = %1, tipus = '%2', ar_jobb = 1000").arg(lens).arg(q(type)));
        const Pdf pdf = save(BuildWorkOrderPrintout(key, a5), QStringLiteral("fit-") + QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(pdf.pages, 1);
        // One copy's width and its place; the boxes as the layout draws them (mm).
        const double left = 10, top = a5 ? 8 : 10;
        const double w = a5 ? 148 - 18 : (297 - 30) / 2.0;
        const double tx = w - 32, gw = tx - 2, c3 = 47, bw = (gw - c3) * 0.55, tpx = c3 + bw;
        const double body = top + 31.5;
        for (int copy = 0; copy < (a5 ? 1 : 2); ++copy) {
            const double x0 = left + copy * (w + 10);
            verifyInside(pdf, type, QRectF(x0 + tpx, body + 33, gw - tpx, 10));
            const QString address = QStringLiteral("6720 Szeged, ") + kLongStreet;
            verifyInside(pdf, kLongName, QRectF(x0 + 14, top + 14.5, w - 68, 4));
            verifyInside(pdf, address, QRectF(x0 + 14, top + 18.5, w - 68, 4));
            verifyInside(pdf, kTwoPhones, QRectF(x0 + 14, top + 22.5, w - 68, 4));
        }

        // The examination's header holds the same client.
        ExecSql(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum) VALUES (%1, CURDATE())").arg(client));
        const qint64 exam = SqlIntValue(QStringLiteral("SELECT LAST_INSERT_ID()"), -1);
        const Pdf sheet = save(BuildExaminationPrintout(exam, a5), QStringLiteral("fit-exam-") + QString::fromLatin1(QTest::currentDataTag()));
        const double ew = (a5 ? 148 : 210) - 17;
        verifyInside(sheet, kLongName, QRectF(9 + 14, 8 + 11, ew - 68, 4));
        verifyInside(sheet, QStringLiteral("6720 Szeged, ") + kLongStreet, QRectF(9 + 14, 8 + 15, ew - 68, 4));
        verifyInside(sheet, kTwoPhones, QRectF(9 + 14, 8 + 19, ew - 68, 4));
    }

    // Fields filled to the length the database allows: what still has no room
    // at 6 points is cut after its last whole line, marked, its start kept.
    void fullLengthFieldsAreCutAtWholeLines_data()
    {
        QTest::addColumn<bool>("a5");
        QTest::newRow("A4") << false;
        QTest::newRow("A5") << true;
    }
    void fullLengthFieldsAreCutAtWholeLines()
    {
        QFETCH(bool, a5);
        const auto filled = [](const QString &start, int length) {
            QString t = start;
            while (t.size() < length)
                t += QStringLiteral(" szó");
            return t.left(length).trimmed();
        };
        const QString phone = filled(QStringLiteral("06 30 123 4567, 06 62 555 0101 (munkahely, csak délelőtt hívható)"), 100);
        const QString street = filled(QStringLiteral("Kossuth Lajos sugárút"), 50);
        const QString town = filled(QStringLiteral("Hódmezővásárhely-Kútvölgy"), 50);
        const QString name = filled(QStringLiteral("Szentgyörgyi-Hadnagy Bertalanffy"), 75);
        const QString type = filled(QStringLiteral("VÉKONYÍTOTT KÉKFÉNYSZŰRŐS FOTOKRÓM"), 50);
        test::TestDb db(QStringLiteral("rep_cut"));
        addShop();
        const qint64 client = addClient(name, QStringLiteral("cim_irsz, cim_varos, cim_cim, telefon"),
                                        QStringLiteral("'1234567890', '%1', '%2', '%3'").arg(town, street, phone));
        const qint64 lens = addBrand(QStringLiteral("lencsemarka"), filled(QStringLiteral("Lencsegyártó"), 50));
        const qint64 key = addOrder(client, 1, QStringLiteral("lencsemarka = %1, tipus = '%2', szoveg_kedvezmeny = '%3'")
                                                   .arg(lens).arg(type, filled(QStringLiteral("Törzsvásárlói"), 50)));
        const Pdf pdf = save(BuildWorkOrderPrintout(key, a5), QStringLiteral("cut-") + QString::fromLatin1(QTest::currentDataTag()));
        // The phone row of the header: the start printed whole in the box, the cut marked.
        const double top = a5 ? 8 : 10, w = a5 ? 130 : (297 - 30) / 2.0;
        const QRectF box(10 + 14, top + 22.5, w - 68, 4);
        QStringList printed;
        for (const Word &wd : pdf.words)
            if (wd.y0 / kPtPerMm > box.top() - 0.5 && wd.y1 / kPtPerMm < box.bottom() + 0.5 && wd.x0 / kPtPerMm >= box.left() - 0.3
                && wd.x1 / kPtPerMm <= box.right() + 0.3)
                printed << wd.text;
        QVERIFY2(printed.size() >= 4, qPrintable(printed.join(QLatin1Char(' '))));
        QVERIFY2(printed.last().endsWith(QChar(0x2026)), qPrintable(printed.join(QLatin1Char(' '))));
        printed.last().chop(1);
        QVERIFY2(phone.startsWith(printed.join(QLatin1Char(' '))), qPrintable(printed.join(QLatin1Char(' '))));
        // The type fits its cell whole on A4; in the narrower A5 cell it keeps its start.
        const double tx = w - 32, gw = tx - 2, tpx = 47 + (gw - 47) * 0.55;
        verifyInside(pdf, a5 ? type.left(type.indexOf(QLatin1Char(' '))) : type, QRectF(10 + tpx, top + 31.5 + 33, gw - tpx, 10));

        // What is cut anywhere on the printouts of this client.
        ExecSql(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum) VALUES (%1, CURDATE())").arg(client));
        const qint64 exam = SqlIntValue(QStringLiteral("SELECT LAST_INSERT_ID()"), -1);
        const QList<QPair<QString, Pdf>> all = {
            {QStringLiteral("work order"), pdf},
            {QStringLiteral("examination"), save(BuildExaminationPrintout(exam, a5), QStringLiteral("cut-exam"))},
            {QStringLiteral("envelope"), save(BuildEnvelope(client), QStringLiteral("cut-envelope"))},
            {QStringLiteral("form"), save(BuildRegisteredMailForm(client), QStringLiteral("cut-form"))},
            {QStringLiteral("client list"), save(BuildClientListPrintout(QStringLiteral("SELECT * FROM vw_ugyfel\nWHERE ugyfel > 0\nORDER BY 1;")),
                                                 QStringLiteral("cut-list"))}};
        for (const auto &[what, p] : all)
            for (const Word &wd : p.words)
                if (wd.text.endsWith(QChar(0x2026)))
                    qInfo("%s: cut after \"%s\"", qPrintable(what), qPrintable(wd.text));
    }

    // Lists give a long text the room the page has; the envelope and the form keep it in its place.
    void longTextsInListsAndOnEnvelopes()
    {
        test::TestDb db(QStringLiteral("rep_fit_lists"));
        addShop();
        const qint64 client = addClient(kLongName, QStringLiteral("cim_irsz, cim_varos, cim_cim, telefon, dat_utolso"),
                                        QStringLiteral("'6720', 'Szeged', '%1', '%2', '2024-05-07'").arg(kLongStreet, kTwoPhones));
        const qint64 lens = addBrand(QStringLiteral("lencsemarka"), QStringLiteral("Essilor"));
        const QString type = QStringLiteral("1.67 KÉKFÉNYSZŰRŐS POLIKARBONÁT NAPSZEMÜVEG");
        for (int kind : {1, 4})
            addOrder(client, kind, QStringLiteral("datum = '2024-03-05', lencsemarka = %1, tipus = '%2', jobbsph = '+1,00', "
                                                  "balsph = '-1,25', szoveg_szinezes = 'Barna 50%'").arg(lens).arg(type));
        for (bool contact : {false, true}) {
            const Pdf pdf = save(BuildLensSalesReport(contact, -1, QDate(2024, 3, 1), QDate(2024, 3, 31)),
                                 contact ? QStringLiteral("fit-contact") : QStringLiteral("fit-lenses"));
            // The type stands whole on its line, left of the next column's value.
            const Word sph = pdf.find(QStringLiteral("+1,00")).first();
            const Word caption = pdf.find(QStringLiteral("Típus")).first();
            verifyInside(pdf, type, QRectF(caption.x0 / kPtPerMm, sph.y0 / kPtPerMm - 0.8,
                                           (sph.x0 - caption.x0) / kPtPerMm - 0.5, (sph.y1 - sph.y0) / kPtPerMm + 1.6));
        }

        const Pdf list = save(BuildClientListPrintout(QStringLiteral("SELECT * FROM vw_ugyfel\nWHERE ugyfel > 0\nORDER BY ugyfel_nev;")),
                              QStringLiteral("fit-clients"));
        // Each value of the first line between its caption and the next column's.
        const auto x0Of = [&](const QString &caption) {
            for (const Word &w : list.words)
                if (w.text.startsWith(caption.left(5))) // "fi" may print as a ligature
                    return w.x0 / kPtPerMm;
            return -1.0;
        };
        const double y = list.find(QStringLiteral("2024.05.07")).first().y0 / kPtPerMm - 0.8;
        verifyInside(list, kLongName, QRectF(10, y, x0Of(QStringLiteral("Cím")) - 10, 4.2));
        verifyInside(list, QStringLiteral("6720 Szeged, ") + kLongStreet,
                     QRectF(x0Of(QStringLiteral("Cím")), y, x0Of(QStringLiteral("Telefon")) - x0Of(QStringLiteral("Cím")), 4.2));
        verifyInside(list, kTwoPhones, QRectF(x0Of(QStringLiteral("Telefon")), y,
                                              x0Of(QStringLiteral("Dátum/figy.")) - x0Of(QStringLiteral("Telefon")), 4.2));

        // A name of 75 characters, the most the field holds.
        const QString longest = QStringLiteral("Dr. Szentgyörgyi-Hadnagy Kovácsné Bertalanffy Erzsébet Mária Magdolna Ilona");
        QCOMPARE(longest.size(), 75);
        ExecSql(QStringLiteral("UPDATE ugyfel SET ugyfel_nev = '%1' WHERE ugyfel = %2").arg(longest).arg(client));
        const Pdf envelope = save(BuildEnvelope(client), QStringLiteral("fit-envelope"));
        verifyInside(envelope, longest, QRectF(70.9, 53.7, 145.3 - 70.9, 58.9 - 53.7));
        verifyInside(envelope, kLongStreet, QRectF(70.9, 78.8, 145.3 - 70.9, 5));
        const Pdf form = save(BuildRegisteredMailForm(client), QStringLiteral("fit-form"));
        verifyInside(form, longest, QRectF(42.1, 53.0, 105, 4.6));
    }

    // ---- amounts, discounts, cancelled orders, page numbers -------------------------------------

    void moneyGroupsEveryThreeDigits_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("printed");
        QTest::newRow("just under a billion") << 999999999.0 << "999 999 999";
        QTest::newRow("a billion") << 1000000000.0 << "1 000 000 000";
        QTest::newRow("over a billion") << 1154685961.0 << "1 154 685 961";
        QTest::newRow("negative billion") << -1154685961.0 << "-1 154 685 961";
        QTest::newRow("ten billion, rounded") << 12345678901.4 << "12 345 678 901";
        QTest::newRow("hundred billion") << 123456789012.0 << "123 456 789 012";
        QTest::newRow("negative trillion") << -1000000000000.0 << "-1 000 000 000 000";
        QTest::newRow("negative small") << -4500.0 << "-4 500";
    }
    void moneyGroupsEveryThreeDigits()
    {
        QFETCH(double, value);
        QFETCH(QString, printed);
        QCOMPARE(FormatMoney(value), printed);
        appState().FormatFt = QStringLiteral("### ##0 Ft");
        QCOMPARE(FormatMoney(value), printed + QStringLiteral(" Ft"));
    }

    void cancelledOrderAndDiscount_data()
    {
        QTest::addColumn<bool>("a5");
        QTest::addColumn<QString>("storno");
        QTest::addColumn<double>("discount");
        QTest::addColumn<QString>("printed");
        QTest::newRow("A4 cancelled, discount typed plain") << false << "I" << 2000.0 << "-2 000";
        QTest::newRow("A5 cancelled, discount typed negative") << true << "I" << -4500.0 << "-4 500";
        QTest::newRow("A4 valid") << false << "N" << -4500.0 << "-4 500";
        QTest::newRow("A5 valid") << true << "N" << 2000.0 << "-2 000";
    }
    void cancelledOrderAndDiscount()
    {
        QFETCH(bool, a5);
        QFETCH(QString, storno);
        QFETCH(double, discount);
        QFETCH(QString, printed);
        test::TestDb db(QStringLiteral("rep_storno"));
        addShop();
        const qint64 key = addOrder(addClient(QStringLiteral("Kovács Éva")), 1, QStringLiteral(
            "storno = '%1', ar_kedvezmeny = %2, szoveg_kedvezmeny = 'Törzsvásárló', ar_keret = 1154700000, "
            "osszar = 1154685961, eloleg = 0, fizetendo = 1154685961").arg(storno).arg(discount));
        const Pdf pdf = save(BuildWorkOrderPrintout(key, a5), QStringLiteral("storno-") + QString::fromLatin1(QTest::currentDataTag()));
        const int copies = a5 ? 1 : 2;
        const QString text = flat(pdf);
        // The mark at both ends of the heading of every copy.
        QCOMPARE(pdf.count(QStringLiteral("SZTORNÓ")), storno == QLatin1String("I") ? 2 * copies : 0);
        if (!a5 && storno == QLatin1String("I"))
            for (const Word &w : pdf.find(QStringLiteral("SZTORNÓ")))
                QCOMPARE(w.y0, pdf.find(QStringLiteral("SZTORNÓ")).first().y0);
        QCOMPARE(text.count(QStringLiteral("Törzsvásárló")), copies);
        QCOMPARE(text.count(printed + QStringLiteral(" Törzsvásárló")), copies);
        QCOMPARE(text.count(QStringLiteral("1 154 685 961")), 2 * copies); // "Fizetendő" and "Utólag"
        QCOMPARE(text.count(QStringLiteral("1 154 700 000")), copies);
        QVERIFY(text.contains(QStringLiteral("oldal: 1 / 1")));
    }

    // ---- printer choice ------------------------------------------------------------------------

    void printerChoice_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("systemDefault");
        QTest::addColumn<QString>("result");
        const QStringList two = {QStringLiteral("Iroda"), QStringLiteral("Pult")};
        QTest::newRow("wanted and installed") << "Pult" << "" << two << "Iroda" << "Pult";
        QTest::newRow("wanted not installed: default") << "Nincs" << "" << two << "Iroda" << "Iroda";
        QTest::newRow("no default: the settings' printer") << "" << "Pult" << two << "" << "Pult";
        QTest::newRow("no default, wanted gone: the settings' printer") << "Nincs" << "Pult" << two << "" << "Pult";
        QTest::newRow("default before the settings' printer") << "" << "Pult" << two << "Iroda" << "Iroda";
        QTest::newRow("no default, nothing chosen: first installed") << "" << "" << two << "" << "Iroda";
        QTest::newRow("no default, chosen one gone: first installed") << "" << "Régi" << two << "" << "Iroda";
        QTest::newRow("no printer at all") << "Pult" << "Pult" << QStringList() << "" << "";
    }
    void printerChoice()
    {
        QFETCH(QString, wanted);
        QFETCH(QString, chosen);
        QFETCH(QStringList, installed);
        QFETCH(QString, systemDefault);
        QFETCH(QString, result);
        QCOMPARE(ChooseReportPrinter(wanted, chosen, installed, systemDefault), result);
    }

    // ---- preview and the real print path ----------------------------------------------------

    void previewSavesPdf()
    {
        test::TestDb db(QStringLiteral("rep_preview"));
        addShop();
        const qint64 key = addOrder(addClient(QStringLiteral("Kovács Éva")), 1, QStringLiteral("ar_keret = 5000"));
        m_hook = false;
        const QString target = m_out.filePath(QStringLiteral("mentett"));
        ModalLog answers;
        QString title;
        onModal(anyWindow(), [&](QWidget *d) {
            title = d->windowTitle();
            QAction *save = nullptr;
            for (QAction *a : d->findChildren<QAction *>())
                if (a->text() == QStringLiteral("PDF-be mentés"))
                    save = a;
            QVERIFY(save);
            QTimer::singleShot(0, save, &QAction::trigger);
        });
        onModal(anyWindow(), [&](QWidget *d) {
            auto *fd = qobject_cast<QFileDialog *>(d);
            QVERIFY(fd);
            QApplication::setActiveWindow(fd);
            auto *name = fd->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->selectAll();
            QTest::keyClicks(name, target);
            auto *box = fd->findChild<QDialogButtonBox *>();
            QVERIFY(box && box->button(QDialogButtonBox::Save));
            QTest::mouseClick(box->button(QDialogButtonBox::Save), Qt::LeftButton);
        });
        onModal(anyWindow(), rejectWindow()); // the preview again: close it
        PrintWorkOrder(key, false);
        QCOMPARE(title, QStringLiteral("Munkalap nyomtatás"));
        const Pdf pdf = readPdf(target + QStringLiteral(".pdf"));
        QCOMPARE(pdf.pages, 1);
        QVERIFY(flat(pdf).contains(QStringLiteral("5 000")));
        QVERIFY(answers.unexpected.isEmpty());
    }

    void printsThroughCups()
    {
        const QString queues = run(QStringLiteral("lpstat"), {QStringLiteral("-e")}).trimmed();
        if (queues.isEmpty())
            QSKIP("No CUPS print queue (lpstat -e lists none): the real print path is not tried. "
                  "scripts/cups-test-queue sets one up.");
        const QString queue = queues.split(QLatin1Char('\n')).first().trimmed();
        test::TestDb db(QStringLiteral("rep_cups"));
        addShop();
        const qint64 key = addOrder(addClient(QStringLiteral("Kovács Éva")), 1, QStringLiteral("ar_keret = 5000"));
        m_hook = false;
        appState().nyomtato = queue;
        const auto completed = [&] {
            return run(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o"), queue})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts).size();
        };
        const int before = completed();
        ModalLog answers;
        PrintWorkOrder(key, true);
        QCOMPARE(LastReportJob().printer, queue);
        QCOMPARE(LastReportJob().pages, 1);
        QVERIFY(answers.texts.isEmpty()); // no error box
        QTRY_VERIFY_WITH_TIMEOUT(completed() > before, 30000);
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
