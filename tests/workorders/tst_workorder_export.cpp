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
#include "support/AdminFormParts.h"
#include "support/Drive.h"
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

class TestWorkOrderExport : public QObject, public test::ExportFixture {
    Q_OBJECT


private Q_SLOTS:
    void initTestCase() { setUpExports(); }
    void cleanupTestCase() { tearDownExports(); }
    void init() { clearExportTable(); }

    // "Excelbe..." (Ctrl+E) of a client's work orders: no name offered beyond
    // the default, the grid's captions head the columns.
    void workOrderBrowserExport()
    {
        ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, torolve) VALUES ('Bognár Kata', 'N')"));
        const qint64 client = SqlIntValue(QStringLiteral("SELECT MAX(ugyfel) FROM ugyfel"), 0);
        ExecSql(QStringLiteral("INSERT INTO munkalap (mlaptipus, ugyfel, datum, statusz, osszar, storno) "
                               "VALUES (1, %1, '2024-03-05', 1, 25000, 'N')").arg(client));
        const QString csv = out(QStringLiteral("browser.csv"));
        QString offered;
        ModalLog answers;
        onModal(anyWindow(), [](QWidget *w) {
            auto *b = qobject_cast<WorkOrderHistory *>(w);
            QVERIFY(b);
            QTimer::singleShot(0, b, [b] { QTest::keyClick(b->grid(), Qt::Key_E, Qt::ControlModifier); });
        });
        onModal(anyWindow(), [&](QWidget *d) {
            auto *e = qobject_cast<ExportDialog *>(d);
            QVERIFY(e);
            offered = formParts(e).fileEdit->text();
            formParts(e).fileEdit->setText(csv);
            QMetaObject::invokeMethod(formParts(e).startButton, "click", Qt::QueuedConnection);
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        onModal(anyWindow(), rejectWindow());
        onModal(anyWindow(), rejectWindow());
        BrowseClientWorkOrders(client);
        QTRY_VERIFY(answers.done());
        QVERIFY(answers.unexpected.isEmpty());
        QVERIFY(offered.endsWith(QStringLiteral("/File001.csv")));
        const QJsonArray rows = python(QString::fromLatin1(kCsvReader), {csv, QStringLiteral(";"), QString()}).toArray();
        QCOMPARE(rows.size(), 2);
        const QStringList head = rows[0].toVariant().toStringList();
        QCOMPARE(head.first(), QStringLiteral("Sorszám"));
        QVERIFY(head.contains(QStringLiteral("Összesen")));
        QVERIFY(head.contains(QStringLiteral("ugyfel_nev")));
        QCOMPARE(rows[1].toArray()[head.indexOf(QStringLiteral("Összesen"))].toString(), QStringLiteral("25000"));
        QCOMPARE(rows[1].toArray()[head.indexOf(QStringLiteral("Beérkezett"))].toString(), QStringLiteral("2024.03.05"));
    }
};

QTEST_MAIN(TestWorkOrderExport)
#include "tst_workorder_export.moc"
