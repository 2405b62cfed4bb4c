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
#include "support/Drive.h"
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

namespace {


QString q(const QString &s)
{
    return QString(s).replace(QLatin1Char('\''), QStringLiteral("''"));
}

qint64 addClient(const QString &name, const QString &extra = {}, const QString &extraValues = {})
{
    ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, torolve%1) VALUES ('%2', 'N'%3)")
                .arg(extra.isEmpty() ? QString() : QStringLiteral(", ") + extra, q(name),
                     extraValues.isEmpty() ? QString() : QStringLiteral(", ") + extraValues));
    const qint64 key = SqlIntValue(QStringLiteral("SELECT LAST_INSERT_ID()"), -1);
    ExecSql(QStringLiteral("CALL sp_oldal(%1)").arg(key));
    return key;
}

// A work order with the columns given as "col = value" assignments.
qint64 addOrder(qint64 client, int type, const QString &assignments)
{
    ExecSql(QStringLiteral("INSERT INTO munkalap (ugyfel, mlaptipus, datum, statusz, storno) VALUES (%1, %2, CURDATE(), 1, 'N')")
                .arg(client).arg(type));
    const qint64 key = SqlIntValue(QStringLiteral("SELECT LAST_INSERT_ID()"), -1);
    if (!assignments.isEmpty())
        ExecSql(QStringLiteral("UPDATE munkalap SET %1 WHERE munkalap = %2").arg(assignments).arg(key));
    return key;
}

void addShop()
{
    ExecSql(QStringLiteral("DELETE FROM tulajdonos"));
    ExecSql(QStringLiteral("INSERT INTO tulajdonos (tulajdonos, telefon, irsz, varos, cim) "
                           "VALUES ('Fénysugár Optika', '06 1 555 0101', '1051', 'Budapest', 'Fő utca 12.')"));
}

} // namespace

class TestPrintCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempConfig> m_config; // a fresh configuration file per case
    QTemporaryDir m_out;
    QStringList m_files;     // PDFs the output hook wrote, in order
    QVector<ReportJob> m_jobs;
    bool m_hook = true;

    QString record(const test::TestDb &db) const
    {
        const ConnectParams p = db.params();
        return QStringLiteral("%1;%2;%3;%4;%5;Teszt").arg(p.database, p.host).arg(p.port).arg(p.user, p.password);
    }
    Pdf lastPdf() const { return readPdf(m_files.last()); }
    static void showActive(QWidget &w)
    {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
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
        // QO_KEEP_PDF=1 keeps the rendered files to look at.
        if (qEnvironmentVariableIsSet("QO_KEEP_PDF")) {
            m_out.setAutoRemove(false);
            qInfo("PDF files in %s", qPrintable(m_out.path()));
        }
        SetReportFileHook([this](const ReportJob &job) -> QString {
            if (!m_hook)
                return {};
            m_jobs << job;
            m_files << m_out.filePath(QStringLiteral("job%1.pdf").arg(m_files.size() + 1));
            return m_files.last();
        });
        SetReportPrintTime(QDateTime(QDate(2024, 5, 6), QTime(14, 30, 0)));
        SetSplashEnabled(false);
    }
    void init()
    {
        m_config = std::make_unique<test::TempConfig>();
        setWorkAreaForTests(QRect(0, 0, 1280, 800));
        appState() = AppState();
        m_hook = true;
        m_files.clear();
        m_jobs.clear();
    }
    void cleanupTestCase()
    {
        SetReportFileHook({});
        m_config.reset();
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
};

QTEST_MAIN(TestPrintCommands)
#include "tst_print_commands.moc"
