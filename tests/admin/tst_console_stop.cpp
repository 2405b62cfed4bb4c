// The SQL console's long work: a running statement stopped by Esc or
// "Leállítás" while the window lives on and the session stays; a script
// stopped half way says where; "Másol" built as the rows stream in; "Export"
// reads the rest of a result under a progress window; a result or a report's
// rows stopped early reach the server while the main connection is busy.
#include "admin/ResultStream.h"
#include "admin/SqlConsole.h"
#include "config/AppState.h"
#include "db/Connection.h"
#include "db/SqlText.h"
#include "reports/RowFeed.h"
#include "support/AdminFormParts.h"
#include "support/Drive.h"
#include "support/Readers.h"
#include "support/TestDb.h"
#include "ui/GridModel.h"
#include "ui/JobProgress.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace qo;
using namespace qo::test;

namespace {

// Types the text into the emptied editor (Ctrl+Tab back to it first).
void typeSql(SqlConsole &c, const QString &sql)
{
    if (!c.isActiveWindow())
        c.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&c, 15000));
    if (formParts(c).pages->currentIndex() != 0)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(formParts(c).editor, Qt::Key_N, Qt::ControlModifier);
    const QStringList lines = sql.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i)
            QTest::keyClick(formParts(c).editor, Qt::Key_Return);
        typeText(formParts(c).editor, lines.at(i));
    }
}

int runningOnServer(unsigned long session, const QString &like)
{
    return SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1 AND INFO LIKE '%2'")
                           .arg(session)
                           .arg(like),
                       -1);
}

// Acts once ready() holds, asked again every 10 ms without blocking: the job
// under a progress window goes on only while the event loop turns.
void when(const std::function<bool()> &ready, const std::function<void()> &act)
{
    if (ready()) {
        act();
        return;
    }
    QTimer::singleShot(10, [ready, act] { when(ready, act); });
}

// Rows 1-400 come at once, every later one half a second after the one
// before: a result that is long only on the server's side.
const QString kSlowTail = QStringLiteral(
    "SELECT seq, REPEAT('x', 1000) AS t, IF(seq > 400, SLEEP(0.5), 0) AS s FROM seq_1_to_420");

int slowTailRunning()
{
    return SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST "
                                      "WHERE INFO LIKE '%seq_1_to_420%' AND ID <> CONNECTION_ID()"),
                       -1);
}

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class TestConsoleStop : public QObject {
    Q_OBJECT
    std::unique_ptr<TempConfig> m_config;

private Q_SLOTS:
    void init()
    {
        m_config = std::make_unique<TempConfig>();
        appState() = AppState();
        appState().rendszergazda = true;
    }
    void cleanup() { JobProgress::setShowDelay(500); }

    void stopRunningStatement_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Esc") << false;
        QTest::newRow("Leállítás") << true;
    }
    // SELECT SLEEP(30) stopped within a second; the window repaints meanwhile;
    // the next statement runs in the same session, its variable still there.
    void stopRunningStatement()
    {
        QFETCH(bool, byButton);
        TestDb db(QStringLiteral("con_stop"));
        SqlConsole c;
        showActive(c);
        auto *stop = c.findChild<QPushButton *>(QStringLiteral("btn_Leallitas"));
        QVERIFY(stop);
        QCOMPARE(stop->text(), QStringLiteral("Leállítás"));
        QVERIFY(!stop->isEnabled());
        ModalLog answers;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        typeSql(c, QStringLiteral("SET @megmarad = 41;"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts, QStringList{QStringLiteral("SQL futtatás kész.")});
        const unsigned long session = c.connection().sessionId();
        QVERIFY(session != 0);

        typeSql(c, QStringLiteral("select sleep(30)"));
        PaintCounter painted;
        c.installEventFilter(&painted);
        QElapsedTimer sinceStop;
        int paintsAsked = -1;
        bool stopped = false, enabledWhileRunning = false;
        QTimer hands;
        hands.setInterval(10);
        qint64 endedAfter = -1; // from the stop to the statement's end
        connect(&hands, &QTimer::timeout, &c, [&] {
            if (stopped && endedAfter < 0 && !c.running())
                endedAfter = sinceStop.elapsed();
            if (stopped || !c.running() || runningOnServer(session, QStringLiteral("select sleep(30)%")) != 1)
                return;
            enabledWhileRunning = stop->isEnabled() && !formParts(c).aFuttat->isEnabled();
            if (paintsAsked < 0) {
                paintsAsked = painted.paints;
                c.update(); // painted only if the window's events are handled
                return;
            }
            if (painted.paints == paintsAsked)
                return;
            stopped = true;
            sinceStop.start();
            if (byButton)
                QTest::mouseClick(stop, Qt::LeftButton);
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        hands.start();
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QElapsedTimer total;
        total.start();
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QTRY_VERIFY(endedAfter >= 0);
        hands.stop();
        QVERIFY(stopped);
        QVERIFY(enabledWhileRunning);
        QVERIFY2(total.elapsed() < 20000, qPrintable(QString::number(total.elapsed())));
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts.last(), QStringLiteral("A lekérdezés leállítva."));
        QVERIFY2(endedAfter < 1000, qPrintable(QString::number(endedAfter)));
        QCOMPARE(runningOnServer(session, QStringLiteral("select sleep%")), 0);
        QVERIFY(!stop->isEnabled());
        QVERIFY(formParts(c).aFuttat->isEnabled());
        QVERIFY(c.isVisible()); // Esc stopped the statement, not the window

        // The same session: its variable is there.
        typeSql(c, QStringLiteral("SELECT @megmarad + 1 AS x"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QCOMPARE(c.connection().sessionId(), session);
        QCOMPARE(formParts(c).queryGrid->model()->rowCount(), 1);
        QCOMPARE(formParts(c).queryGrid->model()->index(0, 0).data().toString(), QStringLiteral("42"));

        // With nothing running Esc closes the console as before.
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_Escape);
        QTRY_VERIFY(!c.isVisible());
    }

    void stopScript_data()
    {
        QTest::addColumn<bool>("inTransaction");
        QTest::addColumn<bool>("byButton");
        QTest::newRow("autocommit, Esc") << false << false;
        QTest::newRow("transaction, Megszakítás") << true << true;
    }
    // A script stopped inside its long statement: the message names the
    // statement, and what ran before it is stored (or held in the open
    // transaction) as the message says.
    void stopScript()
    {
        QFETCH(bool, inTransaction);
        QFETCH(bool, byButton);
        TestDb db(QStringLiteral("con_stop_script"));
        JobProgress::setShowDelay(0);
        SqlConsole c;
        showActive(c);
        QString script = QStringLiteral("INSERT INTO verzio VALUES ('s1');\nINSERT INTO verzio VALUES ('s2');\n"
                                        "SELECT SLEEP(30);\nINSERT INTO verzio VALUES ('s3');");
        if (inTransaction)
            script.prepend(QStringLiteral("START TRANSACTION;\n"));
        typeSql(c, script);
        const unsigned long session = c.connection().sessionId();
        ModalLog answers;
        QString shown;
        onModal(named("frm_Folyamat"), [&](QWidget *w) {
            auto *count = w->findChild<QLabel *>(QStringLiteral("lbl_Allas"));
            when([&, count] {
                return runningOnServer(session, QStringLiteral("SELECT SLEEP(30)%")) == 1
                    && count->text().contains(QStringLiteral("utasítás"));
            },
                 [&, w, count] {
                     shown = count->text();
                     if (byButton)
                         QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btn_Megszakitas")), Qt::LeftButton);
                     else
                         QTest::keyClick(w, Qt::Key_Escape);
                 });
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QElapsedTimer t;
        t.start();
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QVERIFY2(t.elapsed() < 20000, qPrintable(QString::number(t.elapsed())));
        QTRY_VERIFY(answers.done());
        const int before = inTransaction ? 3 : 2;
        QCOMPARE(shown, QStringLiteral("%1 / %2 utasítás").arg(before).arg(before + 2));
        QCOMPARE(answers.texts.size(), 1);
        const QString message = answers.texts.first();
        QVERIFY2(message.startsWith(QStringLiteral("A parancsfájl futása megszakítva a(z) %1. utasításnál (%1. sor), %2 utasításból.")
                                        .arg(before + 1)
                                        .arg(before + 2)),
                 qPrintable(message));
        const QString stored = QStringLiteral("SELECT COUNT(*) FROM verzio WHERE verzio IN ('s1', 's2', 's3')");
        if (inTransaction) {
            QVERIFY2(message.contains(QStringLiteral("Az előtte álló 3 utasítás lefutott;")), qPrintable(message));
            QVERIFY2(message.contains(QStringLiteral("nyitott tranzakció maradt")), qPrintable(message));
            QCOMPARE(SqlIntValue(stored, -1), 0); // not stored yet
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            typeSql(c, QStringLiteral("COMMIT;"));
            QTest::keyClick(formParts(c).editor, Qt::Key_F5);
            QTRY_VERIFY(answers.done());
            QCOMPARE(answers.texts.last(), QStringLiteral("SQL futtatás kész."));
        } else {
            QVERIFY2(message.contains(QStringLiteral("Az előtte álló 2 utasítás lefutott, az eredménye tárolva")),
                     qPrintable(message));
            QVERIFY(!message.contains(QStringLiteral("tranzakció")));
        }
        QCOMPARE(SqlValue(QStringLiteral("SELECT GROUP_CONCAT(verzio ORDER BY verzio) FROM verzio WHERE verzio LIKE 's_'"), {}),
                 QStringLiteral("s1,s2"));
        QCOMPARE(c.connection().sessionId(), session);
    }

    // A long restore-like script stopped between two statements: exactly
    // the statements the message counts are stored.
    void stopScriptBetweenStatements()
    {
        TestDb db(QStringLiteral("con_stop_many"));
        JobProgress::setShowDelay(0);
        ExecSql(QStringLiteral("CREATE TABLE sok (a INT PRIMARY KEY)"));
        SqlConsole c;
        showActive(c);
        QStringList lines;
        for (int i = 1; i <= 30000; ++i)
            lines << QStringLiteral("INSERT INTO sok VALUES (%1);").arg(i);
        // Pasted, as a long script is: typed it would take too long.
        formParts(c).editor->setText(lines.join(QLatin1Char('\n')));
        ModalLog answers;
        onModal(named("frm_Folyamat"), [&](QWidget *w) {
            auto *count = w->findChild<QLabel *>(QStringLiteral("lbl_Allas"));
            when([count] {
                return count->text().endsWith(QStringLiteral(" / 30 000 utasítás")) && !count->text().startsWith(QLatin1Char('0'));
            },
                 [w] { QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btn_Megszakitas")), Qt::LeftButton); });
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QTRY_VERIFY(answers.done());
        const QString message = answers.texts.first();
        const QRegularExpressionMatch m = QRegularExpression(
            QStringLiteral("^A parancsfájl futása megszakítva a\\(z\\) (\\d+)\\. utasításnál \\((\\d+)\\. sor\\), 30000 utasításból\\.\n\n"
                           "Az előtte álló (\\d+) utasítás lefutott, az eredménye tárolva;"))
                                                  .match(message);
        QVERIFY2(m.hasMatch(), qPrintable(message));
        const int at = m.captured(1).toInt();
        QCOMPARE(m.captured(2).toInt(), at);
        QCOMPARE(m.captured(3).toInt(), at - 1);
        QVERIFY(at > 1 && at < 30000);
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM sok"), -1), at - 1);
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT MAX(a) FROM sok"), -1), at - 1);
    }

    void copyText_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("held whole") << 150;
        QTest::newRow("streamed") << 4500;
    }
    // "Másol" gives the text it always gave: a header line, then one line per
    // row, every value followed by a tab, ";" turned into ",", NULL empty,
    // tabs and Hungarian letters as they are, CR LF after every line.
    void copyText()
    {
        QFETCH(int, rows);
        TestDb db(QStringLiteral("con_copy"));
        ExecSql(QStringLiteral("CREATE TABLE masol (id INT PRIMARY KEY, nev VARCHAR(60), datum DATE, ertek DECIMAL(10,2))"));
        QString expected = QStringLiteral("id\tnev\tdatum\tertek\t\r\n");
        QStringList values;
        for (int i = 1; i <= rows; ++i) {
            const QString name = i % 7 == 0 ? QString() : QStringLiteral("Árvíztűrő\ttükörfúrógép;%1 ő").arg(i);
            const bool nullDate = i % 5 == 0;
            values << QStringLiteral("(%1, %2, %3, %4)")
                          .arg(i)
                          .arg(name.isNull() ? QStringLiteral("NULL") : SqlQuote(name))
                          .arg(nullDate ? QStringLiteral("NULL") : QStringLiteral("'2024-03-%1'").arg(i % 28 + 1, 2, 10, QLatin1Char('0')))
                          .arg(i % 3 == 0 ? QStringLiteral("NULL") : QStringLiteral("%1.50").arg(i));
            expected += QStringLiteral("%1\t%2\t%3\t%4\t\r\n")
                            .arg(i)
                            .arg(QString(name).replace(QLatin1Char(';'), QLatin1Char(',')))
                            .arg(nullDate ? QString() : QStringLiteral("2024.03.%1").arg(i % 28 + 1, 2, 10, QLatin1Char('0')))
                            .arg(i % 3 == 0 ? QString() : QStringLiteral("%1.50").arg(i));
            if (values.size() == 500 || i == rows) {
                ExecSql(QStringLiteral("INSERT INTO masol VALUES ") + values.join(QLatin1Char(',')));
                values.clear();
            }
        }
        SqlConsole c;
        showActive(c);
        typeSql(c, QStringLiteral("SELECT * FROM masol ORDER BY id"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QCOMPARE(c.connection().streamOpen(), rows > GridModel::kFirstPage);
        QApplication::clipboard()->setText(QStringLiteral("régi"));
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_F3);
        QCOMPARE(QApplication::clipboard()->text(), expected);
        QVERIFY(!c.connection().streamOpen());
        // The last row is the current one, the count known.
        auto *model = qobject_cast<GridModel *>(formParts(c).queryGrid->model());
        QCOMPARE(model->displayText(formParts(c).queryGrid->currentRowIndex(), 0), QString::number(rows));
        QCOMPARE(formParts(c).positionLabel->text(), QStringLiteral("%1: %1").arg(rows));
        // Copied again, the same text.
        QApplication::clipboard()->setText(QStringLiteral("régi"));
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_F3);
        QCOMPARE(QApplication::clipboard()->text(), expected);
    }

    // A copy stopped in its progress window leaves the clipboard as it was.
    void copyCancelled()
    {
        TestDb db(QStringLiteral("con_copy_stop"));
        JobProgress::setShowDelay(0);
        SqlConsole c;
        showActive(c);
        typeSql(c, QStringLiteral("SELECT a.seq, REPEAT('x', 40) AS t FROM seq_1_to_1000 a, seq_1_to_5000 b"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QVERIFY(c.connection().streamOpen());
        QApplication::clipboard()->setText(QStringLiteral("régi"));
        ModalLog answers;
        onModal(named("frm_Folyamat"), [&](QWidget *w) {
            auto *count = w->findChild<QLabel *>(QStringLiteral("lbl_Allas"));
            when([count] { return count->text().endsWith(QLatin1String(" sor")) && !count->text().startsWith(QLatin1Char('0')); },
                 [w] { QTest::keyClick(w, Qt::Key_Escape); });
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QElapsedTimer t;
        t.start();
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_F3);
        QTRY_VERIFY(answers.done());
        QVERIFY2(t.elapsed() < 20000, qPrintable(QString::number(t.elapsed())));
        QVERIFY2(answers.texts.first().startsWith(QStringLiteral("A másolás megszakítva; a vágólap változatlan.")),
                 qPrintable(answers.texts.first()));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("régi"));
        QVERIFY(!c.connection().streamOpen());
        // The session goes on.
        typeSql(c, QStringLiteral("SELECT 7 AS x"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QCOMPARE(formParts(c).queryGrid->model()->index(0, 0).data().toString(), QStringLiteral("7"));
    }

    // "Export" of a long streamed result reads its rest on the session under
    // a progress window; the grid then holds it whole (the current row kept)
    // and the export dialog writes every row.
    void exportReadsRest()
    {
        TestDb db(QStringLiteral("con_export"));
        JobProgress::setShowDelay(0);
        QTemporaryDir out;
        const QString csv = out.filePath(QStringLiteral("eredmeny.csv"));
        SqlConsole c;
        showActive(c);
        // The last ten rows slowly, so that the reading is seen at any speed.
        typeSql(c, QStringLiteral("SELECT seq, CONCAT('sor ', seq) AS nev FROM seq_1_to_50000 "
                                  "WHERE seq <= 49990 OR SLEEP(0.05) = 0"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        auto *model = qobject_cast<GridModel *>(formParts(c).queryGrid->model());
        QCOMPARE(model->rowCount(), GridModel::kFirstPage);
        QVERIFY(c.connection().streamOpen());
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_Down);
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_Down);

        ModalLog answers;
        QString progressTitle;
        onModal(named("frm_Folyamat"), [&](QWidget *w) { progressTitle = w->windowTitle(); });
        int heldRows = -1, currentRow = -1;
        bool heldWhole = false, streamOpen = true;
        QString position;
        onModal(anyWindow(), [&](QWidget *d) {
            heldRows = model->rowCount();
            heldWhole = model->complete();
            streamOpen = c.connection().streamOpen();
            currentRow = formParts(c).queryGrid->currentRowIndex();
            position = formParts(c).positionLabel->text();
            typeExportPath(d, csv);
            QTimer::singleShot(0, qApp, [] {
                if (QWidget *f = QApplication::focusWidget())
                    QTest::keyClick(f, Qt::Key_Return);
            });
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        onModal(anyWindow(), [](QWidget *d) { QTest::keyClick(d->focusWidget() ? d->focusWidget() : d, Qt::Key_Escape); });
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_E, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(answers.done(), 30000);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(progressTitle, QStringLiteral("Eredmény beolvasása"));
        QCOMPARE(heldRows, 50000);
        QVERIFY(heldWhole);
        QVERIFY(!streamOpen);
        QCOMPARE(currentRow, 2);
        QCOMPARE(position, QStringLiteral("50000: 3"));
        QCOMPARE(answers.texts, QStringList{csv + QStringLiteral(" file kész.")});
        QVERIFY(answers.unexpected.isEmpty());

        const QJsonArray rows = python(QString::fromLatin1(kCsvReader), {csv, QStringLiteral(";"), QString()}).toArray();
        QCOMPARE(rows.size(), 50001);
        QCOMPARE(rows.at(0).toArray().at(0).toString(), QStringLiteral("seq"));
        bool inOrder = true;
        for (int i = 1; i <= 50000 && inOrder; ++i) {
            const QJsonArray row = rows.at(i).toArray();
            inOrder = row.at(0).toString() == QString::number(i) && row.at(1).toString() == QStringLiteral("sor %1").arg(i);
            if (!inOrder)
                qWarning("row %d: %s", i, QJsonDocument(row).toJson(QJsonDocument::Compact).constData());
        }
        QVERIFY(inOrder);
    }

    void exportStopped_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Esc") << false;
        QTest::newRow("Megszakítás") << true;
    }
    // Stopped in its progress window, the reading before "Export" opens no
    // export dialog, says so, and leaves the session to the next statement.
    void exportStopped()
    {
        QFETCH(bool, byButton);
        TestDb db(QStringLiteral("con_export_stop"));
        JobProgress::setShowDelay(0);
        SqlConsole c;
        showActive(c);
        typeSql(c, QStringLiteral("SET @megmarad = 6;"));
        {
            ModalLog ran;
            onModal(messageBox(), pressButton(QMessageBox::Ok));
            QTest::keyClick(formParts(c).editor, Qt::Key_F5);
            QTRY_VERIFY(ran.done());
        }
        const unsigned long session = c.connection().sessionId();
        typeSql(c, kSlowTail);
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QCOMPARE(formParts(c).queryGrid->model()->rowCount(), GridModel::kFirstPage);
        QVERIFY(c.connection().streamOpen());
        ModalLog answers;
        onModal(named("frm_Folyamat"), [&](QWidget *w) {
            auto *count = w->findChild<QLabel *>(QStringLiteral("lbl_Allas"));
            when([count] { return count->text().endsWith(QLatin1String(" sor")); },
                 [w, byButton] {
                     if (byButton)
                         QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btn_Megszakitas")), Qt::LeftButton);
                     else
                         QTest::keyClick(w, Qt::Key_Escape);
                 });
        });
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QElapsedTimer t;
        t.start();
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_E, Qt::ControlModifier);
        QTRY_VERIFY(answers.done());
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(answers.texts, QStringList{QStringLiteral("A beolvasás megszakítva; az exportálás elmaradt.\n\n"
                                                           "Az eredmény már nem olvasható tovább; futtassa újra a lekérdezést.")});
        QVERIFY(answers.unexpected.isEmpty());
        QCOMPARE(formParts(c).queryGrid->model()->rowCount(), 0);
        QVERIFY(!c.connection().streamOpen());
        QTRY_COMPARE(slowTailRunning(), 0);
        // The same session goes on.
        typeSql(c, QStringLiteral("SELECT @megmarad + 1 AS x"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QCOMPARE(c.connection().sessionId(), session);
        QCOMPARE(formParts(c).queryGrid->model()->index(0, 0).data().toString(), QStringLiteral("7"));
    }

    // A result that fails part-way while "Export" reads it: the SQL error as
    // "Másol" shows it, no export dialog, the grid emptied.
    void exportReadFails()
    {
        TestDb db(QStringLiteral("con_export_fail"));
        SqlConsole c;
        showActive(c);
        typeSql(c, QStringLiteral("SELECT seq, IF(seq > 3000, (SELECT 1 UNION SELECT 2), 0) AS x FROM seq_1_to_5000"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QCOMPARE(formParts(c).queryGrid->model()->rowCount(), GridModel::kFirstPage);
        ModalLog answers;
        onModal(messageBox(), pressButton(QMessageBox::Ok));
        QTest::keyClick(formParts(c).queryGrid, Qt::Key_E, Qt::ControlModifier);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.texts.size(), 1);
        QVERIFY2(answers.texts.first().startsWith(QStringLiteral("SQL hiba:\n")), qPrintable(answers.texts.first()));
        QVERIFY2(answers.texts.first().contains(QStringLiteral("more than 1 row")), qPrintable(answers.texts.first()));
        QVERIFY(answers.unexpected.isEmpty());
        QCOMPARE(formParts(c).queryGrid->model()->rowCount(), 0);
        QVERIFY(!c.connection().streamOpen());
        typeSql(c, QStringLiteral("SELECT 5 AS x"));
        QTest::keyClick(formParts(c).editor, Qt::Key_F5);
        QCOMPARE(formParts(c).queryGrid->model()->index(0, 0).data().toString(), QStringLiteral("5"));
    }

    void stopWhileMainBusy_data()
    {
        QTest::addColumn<bool>("feed");
        QTest::newRow("console result closed") << false;
        QTest::newRow("report rows stopped") << true;
    }
    // A result closed early, and a report's row feed stopped, reach the
    // session's server while the main connection is busy with a result of
    // its own: the slow rest is not waited for, and the window not held.
    void stopWhileMainBusy()
    {
        QFETCH(bool, feed);
        TestDb db(QStringLiteral("con_stop_busy"));
        Connection &main = Connection::main();
        Connection session;
        session.open(main.params());
        session.exec(QStringLiteral("SET @megmarad = 8"));
        GridModel model;
        ResultStream result(session, &model);
        std::unique_ptr<RowFeed> rows;
        if (feed) {
            rows = std::make_unique<RowFeed>(main.params(), QStringList{kSlowTail}, QStringList{}, 100);
            QTRY_VERIFY(rows->rows()->rowCount() >= 100);
        } else {
            result.open(kSlowTail);
            QCOMPARE(model.rowCount(), GridModel::kFirstPage);
            QVERIFY(session.streamOpen());
        }
        QCOMPARE(slowTailRunning(), 1);
        RowSet busy;
        main.openStream(QStringLiteral("SELECT seq FROM seq_1_to_100000"), busy);
        QCOMPARE(main.readStream(busy, 10), 10);
        QElapsedTimer t;
        t.start();
        if (feed)
            rows->stop();
        else
            result.close();
        const qint64 stopTook = t.elapsed();
        main.closeStream();
        QVERIFY2(stopTook < (feed ? 100 : 1000), qPrintable(QString::number(stopTook)));
        QTRY_VERIFY_WITH_TIMEOUT(slowTailRunning() == 0, 1000);
        if (feed) {
            QVERIFY(rows->complete());
            QVERIFY(rows->rows()->rowCount() < 420);
        } else {
            QVERIFY(!session.streamOpen());
            QCOMPARE(session.query(QStringLiteral("SELECT @megmarad + 1")).text(0, 0), QStringLiteral("9"));
        }
    }
};

QTEST_MAIN(TestConsoleStop)
#include "tst_console_stop.moc"
