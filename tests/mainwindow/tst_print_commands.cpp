// Printouts rendered to real PDF files and read back with poppler's pdftotext
// and pdfinfo: texts, page sizes, positions of the envelope and form items,
// both copies of the A4 work order, page counts, the statistics over fixture
// orders; the commands driven through the main window, the work-order editor
// and the browser; the preview window; a real CUPS queue when there is one.
#include "config/AppState.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "mainwindow/MainWindow.h"
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
#include "startup/Splash.h"
#include "clients/ReminderList.h"
#include "clients/ReminderStore.h"
#include "reports/ReminderPrintouts.h"
#include "reports/RevenueChart.h"
#include "reports/RevenueReports.h"
#include "workorders/WorkOrderStore.h"
#include "export/ExportDialog.h"
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

#include <QLabel>
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

class TestPrintCommands : public QObject, public test::ReportCapture {
    Q_OBJECT

    QString record(const test::TestDb &db) const
    {
        const ConnectParams p = db.params();
        return QStringLiteral("%1;%2;%3;%4;%5;Teszt").arg(p.database, p.host).arg(p.port).arg(p.user, p.password);
    }
    static void press(QWidget &w, Qt::Key key, Qt::KeyboardModifiers mods = {})
    {
        if (!QApplication::activeModalWidget() && !w.isActiveWindow())
            w.activateWindow();
        QTRY_VERIFY(w.isActiveWindow());
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, key, mods);
    }

private Q_SLOTS:
    void initTestCase()
    {
        installCapture();
        SetSplashEnabled(false);
    }
    void init()
    {
        resetCapture();
    }
    void cleanupTestCase()
    {
        removeCapture();
    }

    void workOrderPrintsFromMainWindowKeys()
    {
        test::TestDb db(QStringLiteral("rep_wo_keys"));
        addShop();
        const qint64 key = addOrder(addClient(QStringLiteral("Nagy Péter")), 2, QStringLiteral("ar_keret = 45000, osszar = 45000"));
        WriteStoredConnection(1, record(db));
        appState().nyomtato = QStringLiteral("Nincs ilyen nyomtató");
        MainWindow w;
        QVERIFY(!w.isAborted());
        showActive(w);
        QCOMPARE(w.activeTab(), int(MainWindow::TabWorkOrders));
        QVERIFY(w.action(QStringLiteral("aNyomtat"))->isEnabled());
        press(w, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(m_jobs.size(), 1);
        QVERIFY(!m_jobs[0].preview);
        QCOMPARE(m_jobs[0].title, QStringLiteral("Munkalap nyomtatás"));
        // A printer that is not installed is ignored: the system's default.
        QCOMPARE(m_jobs[0].printer, ResolveReportPrinter(QString()));
        Pdf pdf = lastPdf();
        QVERIFY(flat(pdf).contains(QStringLiteral("No: %1").arg(key)));
        QVERIFY(flat(pdf).contains(QStringLiteral("45 000")));
        press(w, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(m_jobs.size(), 2);
        QVERIFY(m_jobs[1].preview);

        // The examinations tab prints the current examination.
        ExecSql(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum, jobbsph3) VALUES (%1, CURDATE(), '+2,00')")
                    .arg(SqlIntValue(QStringLiteral("SELECT ugyfel FROM munkalap LIMIT 1"), 0)));
        w.setActiveTab(MainWindow::TabExams);
        press(w, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(m_jobs.size(), 3);
        QCOMPARE(m_jobs[2].title, QStringLiteral("Vizsgalat nyomtatás"));
        QVERIFY(flat(lastPdf()).contains(QStringLiteral("+2,00")));
    }

    // ---- client list -----------------------------------------------------------------------

    void clientListFollowsTheMainWindow()
    {
        test::TestDb db(QStringLiteral("rep_clients"));
        addShop();
        addClient(QStringLiteral("Kovács Éva"), QStringLiteral("megjegyzes"),
                  QStringLiteral("'%1'").arg(QStringLiteral("Hosszú megjegyzés, amely több sorra tördelődik. ").repeated(6)));
        addClient(QStringLiteral("Kovács Ádám"));
        addClient(QStringLiteral("Kovács Béla"));
        addClient(QStringLiteral("Nagy Péter"));
        WriteStoredConnection(1, record(db));
        MainWindow w;
        showActive(w);
        w.setActiveTab(MainWindow::TabClients);
        QTest::keyClicks(w.searchBox(), QStringLiteral("kov"));
        QCOMPARE(w.grid(MainWindow::TabClients)->model()->rowCount(), 3);
        press(w, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(m_jobs.size(), 1);
        QCOMPARE(m_jobs[0].title, QStringLiteral("Ügyfelek listája"));
        const Pdf pdf = lastPdf();
        const QString text = flat(pdf);
        QVERIFY(!text.contains(QStringLiteral("Nagy Péter")));
        const int a = text.indexOf(QStringLiteral("Kovács Ádám")), b = text.indexOf(QStringLiteral("Kovács Béla")),
                  e = text.indexOf(QStringLiteral("Kovács Éva"));
        QVERIFY(a >= 0 && a < b && b < e);
        QVERIFY(text.contains(QStringLiteral("Névsorban")));
        // The long remark makes that block taller; its last words are printed.
        QVERIFY(text.count(QStringLiteral("tördelődik")) == 6);
        const auto nameY = [&](const QString &first) {
            for (const Word &wd : pdf.words)
                if (wd.text == first)
                    return wd.y0;
            return -1.0;
        };
        const double shortBlock = nameY(QStringLiteral("Béla")) - nameY(QStringLiteral("Ádám"));
        const double longBlock = pdf.words.last().y1 > 0 ? nameY(QStringLiteral("Éva")) - nameY(QStringLiteral("Béla")) : 0;
        QVERIFY(shortBlock > 0 && longBlock > 0);
        QCOMPARE(qRound(shortBlock), qRound(longBlock)); // Éva is last: blocks above her are short
        press(w, Qt::Key_K, Qt::ControlModifier);
        QVERIFY(m_jobs.last().preview);
    }

    // The main window's list holds only its first page; the printout lists
    // every client the search finds, in name order, and no other.
    void clientListOfAWindowedList()
    {
        test::TestDb db(QStringLiteral("rep_clients_window"));
        addShop();
        ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, torolve) SELECT CONCAT(IF(seq <= 450, 'Kovács ', 'Nagy '), "
                               "LPAD(seq, 3, '0')), 'N' FROM seq_1_to_500"));
        WriteStoredConnection(1, record(db));
        MainWindow w;
        showActive(w);
        w.setActiveTab(MainWindow::TabClients);
        QTest::keyClicks(w.searchBox(), QStringLiteral("kov"));
        const GridModel *model = w.grid(MainWindow::TabClients)->gridModel();
        QTRY_COMPARE(model->rowCount(), GridModel::kFirstPage);
        QVERIFY(!model->complete());
        press(w, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(m_jobs.size(), 1);
        const Pdf pdf = lastPdf();
        QCOMPARE(pdf.count(QStringLiteral("Kovács")), 450);
        QCOMPARE(pdf.count(QStringLiteral("Nagy")), 0);
        const int first = pdf.text.indexOf(QStringLiteral("Kovács 001")), last = pdf.text.indexOf(QStringLiteral("Kovács 450"));
        QVERIFY(first >= 0 && first < last);
        const double block = 11.6 * kPtPerMm;
        const double body = (297 - 20 - 19.5 - 8.8) * kPtPerMm;
        const int perPage = int(body / block);
        QCOMPARE(pdf.pages, (450 + perPage - 1) / perPage);
        w.close();
    }

    void envelopeCommandsGoToTheDefaultPrinter()
    {
        test::TestDb db(QStringLiteral("rep_env_cmd"));
        addShop();
        addClient(QStringLiteral("Kiss Anna"), QStringLiteral("cim_varos"), QStringLiteral("'Pécs'"));
        WriteStoredConnection(1, record(db));
        appState().nyomtato = QStringLiteral("Valami");
        MainWindow w;
        showActive(w);
        w.setActiveTab(MainWindow::TabClients);
        press(w, Qt::Key_I, Qt::ControlModifier);
        press(w, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_jobs.size(), 2);
        for (const ReportJob &j : m_jobs) {
            QCOMPARE(j.title, QStringLiteral("Boríték nyomtatás"));
            QVERIFY(!j.preview);
            QCOMPARE(j.printer, ResolveReportPrinter(QString()));
        }
        QVERIFY(flat(readPdf(m_files[0])).contains(QStringLiteral("Részére")));
        QVERIFY(!flat(readPdf(m_files[1])).contains(QStringLiteral("Részére")));
        QVERIFY(flat(readPdf(m_files[1])).contains(QStringLiteral("Pécs")));
    }

    // The menu command asks the period, then the target; the export choice
    // hands the report's rows to the export dialog.
    void revenueFromTheMenu()
    {
        test::TestDb db(QStringLiteral("rep_menu"));
        addShop();
        addOrder(addClient(QStringLiteral("Kovács Éva")), 1, QStringLiteral("eloleg = 4321"));
        WriteStoredConnection(1, record(db));
        MainWindow w;
        showActive(w);
        ModalLog answers;
        QString periodTitle;
        bool exportEnabled = true;
        onModal(anyWindow(), [&](QWidget *d) {
            periodTitle = d->windowTitle();
            QApplication::setActiveWindow(d);
            // Ctrl+Enter on the from-date: the month before today as opened.
            QTest::keyClick(d->findChild<QDateEdit *>(), Qt::Key_Return, Qt::ControlModifier);
        });
        onModal(anyWindow(), [&](QWidget *d) {
            exportEnabled = d->findChild<QRadioButton *>(QStringLiteral("rbExcel"))->isEnabled();
            QApplication::setActiveWindow(d);
            // Enter on the preview option, selected on opening: OK is the default button.
            QTest::keyClick(d->findChild<QRadioButton *>(QStringLiteral("rbKep")), Qt::Key_Return);
        });
        w.action(QStringLiteral("aArbevetel"))->trigger();
        QCOMPARE(periodTitle, QStringLiteral("Időszak megadása"));
        QVERIFY(exportEnabled);
        QCOMPARE(m_jobs.size(), 1);
        QVERIFY(m_jobs[0].preview);
        QCOMPARE(m_jobs[0].title, QStringLiteral("Árbevétel"));
        QVERIFY(flat(lastPdf()).contains(QStringLiteral("Mindösszesen 4 321")));

        // "Excelbe": the export dialog opens on the report's rows; nothing prints.
        QString exportWindow;
        onModal(anyWindow(), [](QWidget *d) {
            QApplication::setActiveWindow(d);
            QTest::keyClick(d->findChild<QDateEdit *>(), Qt::Key_Return, Qt::ControlModifier);
        });
        onModal(anyWindow(), [](QWidget *d) {
            QApplication::setActiveWindow(d);
            auto *excel = d->findChild<QRadioButton *>(QStringLiteral("rbExcel"));
            QTest::mouseClick(excel, Qt::LeftButton);
            QTest::keyClick(excel, Qt::Key_Return);
        });
        onModal(anyWindow(), [&](QWidget *d) {
            exportWindow = d->objectName();
            QMetaObject::invokeMethod(d, "reject", Qt::QueuedConnection);
        });
        w.action(QStringLiteral("aArbevetel"))->trigger();
        QTRY_COMPARE(exportWindow, QStringLiteral("frm_Hatarolt"));
        QCOMPARE(m_jobs.size(), 1);

        // Cancelling the brand list of a one-brand report prints nothing.
        onModal(anyWindow(), [](QWidget *d) {
            QApplication::setActiveWindow(d);
            QTest::keyClick(d->findChild<QDateEdit *>(), Qt::Key_Return, Qt::ControlModifier);
        });
        onModal(anyWindow(), rejectWindow());
        w.action(QStringLiteral("aLencseFogyas2"))->trigger();
        QCOMPARE(m_jobs.size(), 1);
        // Cancelling the period prints nothing.
        onModal(anyWindow(), rejectWindow());
        w.action(QStringLiteral("aFogyas"))->trigger();
        QCOMPARE(m_jobs.size(), 1);
        QTRY_VERIFY(answers.done());
        QVERIFY(answers.unexpected.isEmpty());
    }

    // With a CUPS queue and no system default, Ctrl+P with no printer in the
    // settings prints on an installed printer, and the envelope and the form
    // on the printer chosen in the settings.
    void chosenPrinterWithoutASystemDefault()
    {
        const QStringList installed = QPrinterInfo::availablePrinterNames();
        if (installed.isEmpty())
            QSKIP("No CUPS print queue (scripts/cups-test-queue sets one up).");
        if (!QPrinterInfo::defaultPrinterName().isEmpty())
            QSKIP("The system has a default printer (lpstat -d); this case needs none.");
        test::TestDb db(QStringLiteral("rep_printer"));
        addShop();
        addOrder(addClient(QStringLiteral("Kiss Anna"), QStringLiteral("cim_varos"), QStringLiteral("'Pécs'")), 1, QString());
        WriteStoredConnection(1, record(db));
        MainWindow w;
        showActive(w);
        press(w, Qt::Key_P, Qt::ControlModifier); // the work order, nothing in the settings
        appState().nyomtato = installed.last();
        w.setActiveTab(MainWindow::TabClients);
        press(w, Qt::Key_I, Qt::ControlModifier);
        press(w, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_jobs.size(), 3);
        QCOMPARE(m_jobs[0].printer, installed.first());
        QCOMPARE(m_jobs[1].printer, installed.last());
        QCOMPARE(m_jobs[2].printer, installed.last());
    }

    // ---- revenue chart and reminder printouts ----------------------------------------------

    // The chart's months come from one grouped query by the revenue report's
    // rules: its total equals the report's to the forint, month by month in
    // the right place, and its printout says so.
    void revenueChartEqualsRevenueReport()
    {
        test::TestDb db(QStringLiteral("rep_chart"));
        addShop();
        const qint64 c = addClient(QStringLiteral("Kovács Éva"));
        const QStringList orders = {
            "datum = '2024-01-15', dat_kesz = '2024-02-03', statusz = 3, eloleg = 10000.4, fizetendo = 25000.3",
            "datum = '2024-03-01', dat_kesz = '2024-03-31', statusz = 3, eloleg = 5000, fizetendo = 15000",
            "datum = '2024-03-10', dat_kesz = '2024-03-12', statusz = 3, eloleg = 7000, fizetendo = 8000, storno = 'I'",
            "datum = '2024-05-20', dat_kesz = '2024-05-25', statusz = 2, eloleg = 3000.5, fizetendo = 4000",
            "datum = '2023-12-28', dat_kesz = '2024-01-04', statusz = 3, eloleg = 9999, fizetendo = 1234.6",
            "datum = '2024-12-30', dat_kesz = '2025-01-02', statusz = 3, eloleg = 2500, fizetendo = 7777",
            "datum = '2024-07-07', statusz = 1, eloleg = NULL, fizetendo = NULL",
        };
        for (const QString &o : orders)
            addOrder(c, 1, o);
        const QDate from(2024, 1, 1), to(2024, 12, 31);
        const BandReport report = BuildRevenueReport(from, to);
        double reportTotal = 0;
        for (int r = 0; r < report.data->rowCount(); ++r)
            reportTotal += report.data->toDouble(r, QStringLiteral("bevetel"));
        const RowSet rows = WorkOrderStore(Connection::main()).monthlyRevenue(from, to);
        const QVector<RevenueMonth> months = RevenueMonths(rows, from, to);
        QCOMPARE(months.size(), 12);
        double chartTotal = 0;
        for (const RevenueMonth &m : months)
            chartTotal += m.deposit + m.remainder;
        QCOMPARE(qRound64(chartTotal), qRound64(reportTotal));
        QCOMPARE(qRound64(reportTotal), qRound64(10000.4 + 25000.3 + 5000 + 15000 + 3000.5 + 1234.6 + 2500));
        auto month = [&](int m) { return months[m - 1]; };
        QCOMPARE(month(1).deposit, 10000.4);
        QCOMPARE(month(1).remainder, 1234.6);
        QCOMPARE(month(2).remainder, 25000.3);
        QCOMPARE(month(3).deposit, 5000.0); // the cancelled order counts nowhere
        QCOMPARE(month(3).remainder, 15000.0);
        QCOMPARE(month(5).remainder, 0.0); // ready, not handed over
        QCOMPARE(month(12).deposit, 2500.0);

        RevenueChartWindow w(from, to, rows);
        const QString total = FormatMoney(reportTotal);
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lblOsszesen"))->text(), QStringLiteral("Összesen: %1 Ft").arg(total));
        if (qEnvironmentVariableIsSet("QO_KEEP_PDF")) {
            w.show();
            w.grab().save(m_out.filePath(QStringLiteral("chart.png")));
        }
        // "Nyomtatási kép": the printout through the output hook.
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("btnNyomKep")), Qt::LeftButton);
        QCOMPARE(m_jobs.size(), 1);
        QCOMPARE(m_jobs[0].title, QStringLiteral("Árbevétel grafikon"));
        const Pdf pdf = lastPdf();
        QCOMPARE(pdf.pages, 1);
        QVERIFY(flat(pdf).contains(QStringLiteral("Mindösszesen %1 %2 %3")
                                       .arg(FormatMoney(10000.4 + 5000 + 3000.5 + 2500), FormatMoney(25000.3 + 15000 + 1234.6), total)));
        QVERIFY(flat(pdf).contains(QStringLiteral("2024.02 0 25 000 25 000")));
        QVERIFY(flat(pdf).contains(QStringLiteral("2024.01.01 - 2024.12.31")));
    }

    // The letters of the reminder list: one A4 page per client with the
    // address inside a DL envelope's window and the shop's text filled in;
    // the envelopes one per page; the gateway export read back by Python.
    void reminderLettersEnvelopesExport()
    {
        test::TestDb db(QStringLiteral("rep_reminders"));
        addShop();
        ExecSql(QStringLiteral("UPDATE beallit SET emlek_level = 'Tisztelt {név}! Várjuk {dátum} után szeretettel.'"));
        QList<qint64> keys;
        for (const auto &[name, city, street, zip] :
             {std::tuple{"Kovács Éva", "Szeged", "Tisza Lajos körút 5.", "6720"},
              std::tuple{"Nagy Ödön", "Pécs", "Király utca 12.", "7621"}}) {
            const qint64 k = addClient(QString::fromUtf8(name), QStringLiteral("dat_figyelmeztet, telefon, emil, cim_varos, cim_cim, cim_irsz"),
                                       QStringLiteral("'2024-05-20', '0630 111 2233', 'e@example.hu', '%1', '%2', '%3'")
                                           .arg(QString::fromUtf8(city), QString::fromUtf8(street), QString::fromUtf8(zip)));
            for (const char *cel : {"LEVEL", "SMS"})
                ExecSql(QStringLiteral("INSERT INTO hozzajarulas (ugyfel, cel, megadva, datum, felhasznalo) VALUES (%1, '%2', 'I', NOW(), 'x')")
                            .arg(k).arg(QLatin1String(cel)));
            keys << k;
        }
        ReminderCriteria crit;
        crit.from = QDate(2024, 5, 1);
        crit.to = QDate(2024, 5, 31);
        const ReminderSettings settings = ReminderStore(Connection::main()).settings();
        QCOMPARE(settings.months, 24);
        {
            ReminderList list(crit, settings);
            QCOMPARE(list.rowCount(), 2);
            QTest::mouseClick(list.findChild<QPushButton *>(QStringLiteral("btnLevel")), Qt::LeftButton);
            QCOMPARE(m_jobs.size(), 1);
            const Pdf letters = lastPdf();
            QCOMPARE(letters.pages, 2);
            QCOMPARE(letters.pageSize.toSize(), QSize(595, 842));
            // Each address wholly inside the window: 20..110 mm across, 45..90 mm down.
            const QRectF window(20, 45, 90, 45);
            verifyInside(letters, QStringLiteral("Kovács Éva Szeged Tisza Lajos körút 5. 6720"), window);
            verifyInside(letters, QStringLiteral("Nagy Ödön Pécs Király utca 12. 7621"), window);
            // By name: the second page is Nagy Ödön's letter.
            QCOMPARE(letters.find(QStringLiteral("Ödön"), 2).size(), 1);
            QVERIFY(letters.find(QStringLiteral("Ödön"), 1).isEmpty());
            QVERIFY(flat(letters).contains(QStringLiteral("Tisztelt Kovács Éva! Várjuk 2024.05.20 után szeretettel.")));
            QVERIFY(flat(letters).contains(QStringLiteral("Fénysugár Optika")));

            QTest::mouseClick(list.findChild<QPushButton *>(QStringLiteral("btnBoritek")), Qt::LeftButton);
            QCOMPARE(m_jobs.size(), 2);
            QVERIFY(!m_jobs[1].preview); // as the single envelope, straight to the printer
            const Pdf envelopes = lastPdf();
            QCOMPARE(envelopes.pages, 2);
            QCOMPARE(envelopes.pageSize.toSize(), QSize(454, 320));
            verifyInside(envelopes, QStringLiteral("Kovács Éva"), QRectF(70.9, 53.7, 74.4, 5.2));
            verifyInside(envelopes, QStringLiteral("Nagy Ödön"), QRectF(70.9, 53.7, 74.4, 5.2));
            QCOMPARE(envelopes.find(QStringLiteral("Pécs"), 2).size(), 1);
        }

        // By SMS: the export dialog on name, phone and e-mail.
        SetReportExporter([](const RowSet &rows, QWidget *parent) { ShowExportDialog(rows, QString(), parent); });
        crit.channel = ContactPurpose::Sms;
        const QString file = m_out.filePath(QStringLiteral("sms.csv"));
        ReminderList list(crit, settings);
        auto *exportButton = list.findChild<QPushButton *>(QStringLiteral("btnExport"));
        QVERIFY(exportButton->isEnabled());
        QVERIFY(!list.findChild<QPushButton *>(QStringLiteral("btnLevel"))->isEnabled());
        bool done = false;
        test::onModal(test::named("frm_Hatarolt"), [&](QWidget *d) {
            auto *e = qobject_cast<ExportDialog *>(d);
            e->findChild<QLineEdit *>(QStringLiteral("fileEdit"))->setText(file); // the file name field, as typed
            test::onModal(test::messageBox(), [&](QWidget *box) {
                done = qobject_cast<QMessageBox *>(box)->text().endsWith(QStringLiteral(" file kész."));
                qobject_cast<QMessageBox *>(box)->accept();
            });
            QTest::mouseClick(e->findChild<QPushButton *>(QStringLiteral("startButton")), Qt::LeftButton);
            e->reject();
        });
        QTest::mouseClick(exportButton, Qt::LeftButton);
        SetReportExporter({});
        QVERIFY(done);
        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv,sys\nfor r in csv.reader(open(sys.argv[1], encoding='cp1250', newline=''), delimiter=';'):\n"
                                 "    print('|'.join(r))"),
                  file});
        QVERIFY(py.waitForFinished(30000));
        const QStringList lines = QString::fromUtf8(py.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines, (QStringList{QStringLiteral("ugyfel_nev|telefon|emil|"),
                                     QStringLiteral("Kovács Éva|0630 111 2233|e@example.hu"),
                                     QStringLiteral("Nagy Ödön|0630 111 2233|e@example.hu")}));
    }
};

QTEST_MAIN(TestPrintCommands)
#include "tst_print_commands.moc"
