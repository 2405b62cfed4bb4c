// Exports and online services against a real shop database, every written
// file read back by a real reader: delimited text by Python's csv module, the
// BIFF2 worksheet by xlrd (and its records walked by a small Python reader),
// the workbook by openpyxl, the HTML page by Python's html.parser. The version
// notes and the news are fetched from Python's http.server on 127.0.0.1.
#include "config/AppState.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "export/Biff2Writer.h"
#include "export/ClipboardExport.h"
#include "export/DelimitedWriter.h"
#include "export/ExportDialog.h"
#include "export/HtmlExport.h"
#include "export/HtmlExportDialog.h"
#include "export/MailHandoff.h"
#include "export/NewsFeed.h"
#include "export/OnlineService.h"
#include "export/VersionNotes.h"
#include "export/XlsxWriter.h"
#include "mainwindow/MainWindow.h"
#include "startup/Splash.h"
#include "support/AdminFormParts.h"
#include "support/Drive.h"
#include "support/LocalService.h"
#include "support/ExportFixture.h"
#include "support/Readers.h"
#include "support/TestDb.h"
#include "db/RowCounter.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/ListQuery.h"
#include "workorders/WorkOrderHistory.h"

#include <QtTest>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QStandardPaths>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

using namespace qo;
using namespace qo::test;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QWidget *topLevelNamed(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

} // namespace

class TestExportCommands : public QObject, public test::ExportFixture {
    Q_OBJECT


private Q_SLOTS:
    void initTestCase() { setUpExports(); }
    void cleanupTestCase() { tearDownExports(); }
    void init() { clearExportTable(); }

    // The main window asks 5 s after it is shown and shows the announced version.
    void mainWindowAnnouncesNewVersion()
    {
        QTemporaryDir site;
        writeFile(site.filePath(QStringLiteral("verziokovetes.php")), "23.0.0.45|Jegyzet");
        writeFile(site.filePath(QStringLiteral("hirfolyam.php")), "0");
        LocalService service(site.path());
        ExecSql(QStringLiteral("UPDATE beallit SET verzioelfogadva = NULL, vanbelep = 'N'"));
        const ConnectParams p = m_db->params();
        WriteStoredConnection(1, QStringLiteral("%1;%2;%3;%4;%5;Teszt").arg(p.database, p.host).arg(p.port).arg(p.user, p.password));
        WriteConfigString(QStringLiteral("Alapertek"), QStringLiteral("SzolgaltatasCim"), service.base());
        SetSplashEnabled(false);
        ModalLog answers;
        QString seen;
        onModal(anyWindow(), [&](QWidget *w) {
            seen = w->objectName();
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
        });
        MainWindow w;
        QVERIFY(!w.isAborted());
        w.show();
        QElapsedTimer t;
        t.start();
        QTRY_VERIFY_WITH_TIMEOUT(answers.done(), 9000);
        QVERIFY2(t.elapsed() > 4500, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(seen, QStringLiteral("frm_Verziokovetes"));
        QTest::qWait(5500); // the news check: "0" shows nothing
        QTRY_VERIFY(service.log().contains(QStringLiteral("GET /hirfolyam.php")));
        QVERIFY(!topLevelNamed(QStringLiteral("frm_Hirfolyam")));
        w.close();
        Connection::main().open(m_db->params()); // closing the window closed the connection
    }

    // Ctrl+E on the client list offers "QuorvinOpt.csv"; Ctrl+H the HTML dialog.
    void mainWindowShortcuts()
    {
        ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, torolve) VALUES ('Kiss <b>Anna</b>', 'N')"));
        const ConnectParams p = m_db->params();
        WriteStoredConnection(1, QStringLiteral("%1;%2;%3;%4;%5;Teszt").arg(p.database, p.host).arg(p.port).arg(p.user, p.password));
        WriteConfigString(QStringLiteral("Alapertek"), QStringLiteral("SzolgaltatasCim"), QStringLiteral("http://127.0.0.1:9/"));
        SetSplashEnabled(false);
        MainWindow w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.setActiveTab(MainWindow::TabClients);
        QTRY_VERIFY(w.grid(MainWindow::TabClients)->gridModel()->rowCount() > 0);
        const QString csv = out(QStringLiteral("clients.csv"));
        ModalLog answers;
        QString offered;
        onModal(anyWindow(), [&](QWidget *d) {
            auto *e = qobject_cast<ExportDialog *>(d);
            QVERIFY(e);
            offered = formParts(e).fileEdit->text();
            formParts(e).fileEdit->setText(csv);
            QMetaObject::invokeMethod(formParts(e).startButton, "click", Qt::QueuedConnection);
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        onModal(anyWindow(), [](QWidget *d) { QMetaObject::invokeMethod(d, "reject", Qt::QueuedConnection); });
        QTest::keyClick(w.searchBox(), Qt::Key_E, Qt::ControlModifier);
        QTRY_VERIFY(answers.done());
        QCOMPARE(offered, QStringLiteral("QuorvinOpt.csv"));
        QVERIFY(fileBytes(csv).contains("Kiss <b>Anna</b>"));

        const QString page = out(QStringLiteral("clients.htm"));
        w.activateWindow();
        QTRY_VERIFY(w.isActiveWindow());
        onModal(anyWindow(), [&](QWidget *d) {
            auto *h = qobject_cast<HtmlExportDialog *>(d);
            QVERIFY(h);
            formParts(h).pathEdit->setText(page);
            QMetaObject::invokeMethod(formParts(h).okButton, "click", Qt::QueuedConnection);
        });
        QTest::keyClick(w.searchBox(), Qt::Key_H, Qt::ControlModifier);
        QTRY_VERIFY(answers.done());
        QTRY_VERIFY(QFile::exists(page));
        const QJsonObject r = python(QString::fromLatin1(kHtmlReader), {page}).toObject();
        QVERIFY(!r.value(QStringLiteral("tags")).toVariant().toStringList().contains(QStringLiteral("b")));
        QVERIFY(r.value(QStringLiteral("text")).toString().contains(QStringLiteral("Kiss <b>Anna</b>")));
        w.close();
        Connection::main().open(m_db->params());
    }
};

QTEST_MAIN(TestExportCommands)
#include "tst_export_commands.moc"
