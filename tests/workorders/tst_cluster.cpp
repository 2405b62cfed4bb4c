// A chain of shops on a three-node MariaDB Galera cluster (scripts/galera-private):
// two workstations on two nodes saving the same work order, both creating
// orders at once, and a node that goes away under a workstation. Skipped with
// the reason when the cluster could not be started on this machine.
#include "config/AppState.h"
#include "db/Connection.h"
#include "db/RowConflict.h"
#include "support/Drive.h"
#include "support/TestDb.h"
#include "workorders/WorkOrderCreate.h"
#include "workorders/WorkOrderEditor.h"

#include <QtTest>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <thread>

using namespace qo;
using namespace qo::test;

namespace {

QString clusterDir() { return qEnvironmentVariable("QO_GALERA_DIR"); }

int nodePort(int n)
{
    QFile f(clusterDir() + QStringLiteral("/node%1/port").arg(n));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).trimmed().toInt() : 0;
}

// The shop database on one node; reads wait until the node has applied
// every write the cluster committed before them.
ConnectParams onNode(const TestDb &db, int n)
{
    ConnectParams p = db.params();
    p.host = QStringLiteral("127.0.0.1:%1").arg(nodePort(n));
    return p;
}

void syncReads(Connection &c) { c.exec(QStringLiteral("SET SESSION wsrep_sync_wait = 1")); }

double number(Connection &c, qint64 key, const QString &column)
{
    return c.query(QStringLiteral("SELECT %1 FROM munkalap WHERE munkalap = %2").arg(column).arg(key)).toDouble(0, 0, -1);
}

qint64 addClient(Connection &c, const QString &name)
{
    c.exec(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, torolve) VALUES ('%1', 'N')").arg(name));
    const qint64 k = qint64(c.lastInsertId());
    c.exec(QStringLiteral("CALL sp_oldal(%1)").arg(k));
    c.exec(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '-1,25' WHERE ugyfel = %1").arg(k));
    return k;
}

void typeInto(QWidget *dlg, const QString &name, const QString &text)
{
    auto *e = dlg->findChild<QLineEdit *>(name);
    QVERIFY2(e, qPrintable(name));
    e->setFocus(Qt::TabFocusReason);
    e->selectAll();
    typeText(e, text);
    QTest::keyClick(e, Qt::Key_Return);
}

void answerBox(QString *text)
{
    onModal(messageBox(), [text](QWidget *w) {
        auto *box = static_cast<QMessageBox *>(w);
        *text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
}

} // namespace

class TestCluster : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QFile why(clusterDir() + QStringLiteral("/unavailable"));
        if (clusterDir().isEmpty() || why.open(QIODevice::ReadOnly))
            QSKIP(qPrintable(QStringLiteral("no Galera cluster on this machine: ")
                             + QString::fromUtf8(why.isOpen() ? why.readAll().trimmed() : "QO_GALERA_DIR not set")));
        for (int n = 1; n <= 3; ++n)
            QVERIFY(nodePort(n) > 0);
        // The shop runs with a Hungarian number format (decimal comma).
        QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
        appState().FormatFt = QStringLiteral("### ### ##0");
    }

    // Workstation A (node 1) saves an order while B (node 2) commits a change
    // to the same order between A's UPDATE and A's COMMIT: the cluster refuses
    // A's commit at certification. A is told as for a row changed elsewhere,
    // sees B's values, and its second OK stores an order whose totals agree.
    void sameOrderOnTwoNodes()
    {
        TestDb db(QStringLiteral("cluster_conflict"));
        Connection &a = Connection::main();
        a.open(onNode(db, 1));
        const qint64 key = CreateWorkOrder(a, addClient(a, QStringLiteral("Szabó Ilona")), 1);
        Connection b;
        b.open(onNode(db, 2));
        syncReads(b);
        QCOMPARE(number(b, key, QStringLiteral("osszar")), 0.0);

        bool interleaved = false;
        a.setBeforeStatement([&](const QString &sql) {
            if (sql == QLatin1String("COMMIT") && !interleaved) {
                interleaved = true;
                b.exec(QStringLiteral("UPDATE munkalap SET ar_jobb = 14490, osszar = 14490, fizetendo = 14490 "
                                      "WHERE munkalap = %1").arg(key));
            }
        });
        QString told, rightShown;
        bool stillOpen = false;
        onModal(named("frm_Munkalap"), [&](QWidget *w) {
            typeInto(w, QStringLiteral("ar_bal"), QStringLiteral("10000"));
            answerBox(&told);
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
            stillOpen = w->isVisible();
            QApplication::setActiveWindow(w);
            rightShown = w->findChild<QLineEdit *>(QStringLiteral("ar_jobb"))->text();
            typeInto(w, QStringLiteral("ar_bal"), QStringLiteral("10000"));
            w->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        QCOMPARE(EditWorkOrder(key, -1, 1), key);
        a.setBeforeStatement(nullptr);
        QVERIFY(interleaved);
        QCOMPARE(told, RowConflict().message());
        QVERIFY(stillOpen);
        QCOMPARE(rightShown, QStringLiteral("14 490"));
        // Every node holds the same, consistent order.
        Connection c;
        c.open(onNode(db, 3));
        syncReads(c);
        for (Connection *node : {&b, &c}) {
            QCOMPARE(number(*node, key, QStringLiteral("ar_jobb")), 14490.0);
            QCOMPARE(number(*node, key, QStringLiteral("ar_bal")), 10000.0);
            QCOMPARE(number(*node, key, QStringLiteral("osszar")), 24490.0);
            QCOMPARE(number(*node, key, QStringLiteral("fizetendo")), 24490.0);
        }
    }

    // A prescription saved on one node, then an order made at once on
    // another: the order copies the saved values (reads on a node wait for
    // what other nodes committed before them).
    void orderCopiesPrescriptionFromOtherNode()
    {
        TestDb db(QStringLiteral("cluster_causal"));
        Connection a, b;
        a.open(onNode(db, 1));
        b.open(onNode(db, 2));
        const qint64 client = addClient(a, QStringLiteral("Kiss Béla"));
        for (int i = 0; i < 40; ++i) {
            const QString sph = QStringLiteral("-%1,25").arg(i % 7 + 1);
            a.exec(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '%1' WHERE ugyfel = %2").arg(sph).arg(client));
            const qint64 key = CreateWorkOrder(b, client, 1);
            QCOMPARE(b.query(QStringLiteral("SELECT jobbsph FROM munkalap WHERE munkalap = %1").arg(key)).text(0, 0), sph);
        }
    }

    // Two workstations on two nodes create 200 orders each at the same time:
    // every key is distinct and every order is complete (its prescription
    // copied, its status and dates set).
    void ordersFromTwoNodesAtOnce()
    {
        TestDb db(QStringLiteral("cluster_orders"));
        const qint64 client = addClient(Connection::main(), QStringLiteral("Kovács Anna"));
        constexpr int kEach = 200;
        QList<qint64> keys[2];
        int refused[2] = {0, 0};
        QString failure[2];
        QElapsedTimer clock;
        clock.start();
        auto work = [&](int i) {
            Connection::threadInit();
            try {
                Connection c;
                c.open(onNode(db, i + 1));
                while (keys[i].size() < kEach) {
                    try {
                        keys[i] << CreateWorkOrder(c, client, 1);
                    } catch (const RowConflict &) {
                        ++refused[i]; // rolled back whole by the cluster: made again
                    }
                }
            } catch (const Error &e) {
                failure[i] = e.message();
            }
            Connection::threadEnd();
        };
        std::thread one(work, 0), two(work, 1);
        one.join();
        two.join();
        const qint64 ms = clock.elapsed();
        QVERIFY2(failure[0].isEmpty(), qPrintable(failure[0]));
        QVERIFY2(failure[1].isEmpty(), qPrintable(failure[1]));
        QSet<qint64> all;
        for (const auto &k : keys)
            for (qint64 key : k)
                all.insert(key);
        QCOMPARE(all.size(), 2 * kEach);
        Connection c;
        c.open(onNode(db, 3));
        syncReads(c);
        const RowSet rs = c.query(QStringLiteral(
            "SELECT COUNT(*), COUNT(DISTINCT munkalap), SUM(ugyfel = %1 AND statusz = 1 AND datum IS NOT NULL "
            "AND jobbsph = '-1,25' AND balsph = '-1,25') FROM munkalap").arg(client));
        QCOMPARE(rs.toInt(0, 0), 2 * kEach);
        QCOMPARE(rs.toInt(0, 1), 2 * kEach);
        QCOMPARE(rs.toInt(0, 2), 2 * kEach);
        qInfo("cluster: %d orders from two nodes at once in %lld ms (%d and %d refused by certification and made again)",
              2 * kEach, ms, refused[0], refused[1]);
    }

    // A workstation whose connection lists node 3 first, then node 1: node 3
    // is killed while it is in use. An order stored before is not lost; the
    // next command runs on node 1 and the status line is told; a unit of work
    // that was open when the node went away stores nothing.
    void nodeKilledUnderAWorkstation()
    {
        TestDb db(QStringLiteral("cluster_failover"));
        Connection &w = Connection::main();
        ConnectParams p = db.params();
        p.host = QStringLiteral("127.0.0.1:%1, 127.0.0.1:%2").arg(nodePort(3)).arg(nodePort(1));
        w.open(p);
        QCOMPARE(w.server().port, nodePort(3));
        QString notice;
        Connection::setServerChangeNotice([&notice](const QString &text) { notice = text; });
        const qint64 client = addClient(w, QStringLiteral("Tóth Éva"));
        const qint64 before = CreateWorkOrder(w, client, 1);

        w.beginUnit();
        w.exec(QStringLiteral("START TRANSACTION"));
        w.exec(QStringLiteral("UPDATE munkalap SET ar_keret = 5000 WHERE munkalap = %1").arg(before));
        QElapsedTimer clock;
        clock.start();
        QProcess kill;
        kill.start(QStringLiteral(QO_SOURCE_DIR "/scripts/galera-private"),
                   {QStringLiteral("kill"), clusterDir(), QStringLiteral("3")});
        QVERIFY(kill.waitForFinished(30000));
        QCOMPARE(kill.exitCode(), 0);
        bool refused = false;
        try {
            w.exec(QStringLiteral("COMMIT"));
        } catch (const Error &) {
            refused = true;
        }
        w.endUnit();
        QVERIFY(refused);
        QVERIFY(notice.isEmpty()); // never inside a unit of work

        // The next command: on node 1, said in the status line.
        const qint64 after = CreateWorkOrder(w, client, 1);
        const qint64 ms = clock.elapsed();
        QCOMPARE(w.server().port, nodePort(1));
        QCOMPARE(notice, ServerChangeText({QStringLiteral("127.0.0.1"), nodePort(3)},
                                          {QStringLiteral("127.0.0.1"), nodePort(1)}));
        syncReads(w);
        QCOMPARE(w.query(QStringLiteral("SELECT COUNT(*) FROM munkalap WHERE munkalap IN (%1, %2)").arg(before).arg(after))
                     .toInt(0, 0), 2);
        QCOMPARE(number(w, before, QStringLiteral("ar_keret")), 0.0);
        QVERIFY(after != before);
        Connection::setServerChangeNotice(nullptr);
        qInfo("cluster: node killed, next command done on another node %lld ms after the kill", ms);
    }
};

QTEST_MAIN(TestCluster)
#include "tst_cluster.moc"
