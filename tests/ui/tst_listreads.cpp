// How a windowed list reads a long result: every row once and in the list's
// order as the grid scrolls to the bottom, large pages in pieces that the
// server still reads by the index of the list's order, and the counts of a
// window that a search moved into the middle of the list.
#include "base/Error.h"
#include "db/Connection.h"
#include "db/RowCounter.h"
#include "db/SqlText.h"
#include "ui/GridModel.h"
#include "ui/ListQuery.h"
#include "support/TestDb.h"

#include <QCoreApplication>
#include <QtTest>

#include <memory>

using namespace qo;

namespace {

// 100,000 rows whose names are in another order than their keys, two in three
// of them matching the list's condition. Like the program's lists, the
// condition leaves out key 0 (which offers the server a range of the primary
// key to scan instead of the name index), and its search part no index serves.
const int kRows = 100000;
const char kCondition[] = "(id > 0) AND (megj LIKE '%1%' OR megj LIKE '%2%')";

void createRows()
{
    Connection &db = Connection::main();
    db.exec(QStringLiteral("CREATE TABLE qo_sorok (id INT NOT NULL PRIMARY KEY, nev VARCHAR(40), megj VARCHAR(40),"
                           " KEY ix_sorok_nev (nev)) ENGINE=InnoDB"));
    db.exec(QStringLiteral("INSERT INTO qo_sorok SELECT seq, CONCAT('Nev ', LPAD((seq * 7919) MOD %1, 6, '0')),"
                           " CONCAT('m', seq MOD 3) FROM seq_1_to_%1")
                .arg(kRows));
    db.exec(QStringLiteral("ANALYZE TABLE qo_sorok"));
}

QStringList listLines(const QString &order)
{
    return {QStringLiteral("SELECT id, nev, megj FROM qo_sorok"), QStringLiteral("WHERE ") + QLatin1String(kCondition),
            QStringLiteral("ORDER BY ") + order + QLatin1Char(';')};
}

QVector<qint64> keys(const RowSet &rs)
{
    QVector<qint64> out;
    out.reserve(rs.rowCount());
    const int c = rs.fieldIndex(QStringLiteral("id"));
    for (int r = 0; r < rs.rowCount(); ++r)
        out << rs.toInt(r, c);
    return out;
}

bool sortsAll(const QString &sql)
{
    const RowSet plan = Connection::main().query(QStringLiteral("EXPLAIN ") + sql);
    const int extra = plan.fieldIndex(QStringLiteral("Extra"));
    for (int r = 0; r < plan.rowCount(); ++r)
        if (plan.text(r, extra).contains(QLatin1String("filesort")))
            return true;
    return false;
}

// The row queries (plan checks left out) the main connection sends while it lives.
class Sent {
public:
    Sent() { Connection::main().setBeforeStatement([this](const QString &sql) { record(sql); }); }
    ~Sent() { Connection::main().setBeforeStatement({}); }
    const QStringList &selects() const { return m_selects; }

private:
    void record(const QString &sql)
    {
        if (sql.startsWith(QLatin1String("SELECT")))
            m_selects << sql;
    }
    QStringList m_selects;
};

int withLimit(const QStringList &statements, int limit)
{
    int n = 0;
    for (const QString &s : statements)
        n += s.endsWith(QStringLiteral("LIMIT %1").arg(limit)) ? 1 : 0;
    return n;
}

} // namespace

class TestListReads : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TestDb> m_db;

private Q_SLOTS:
    // A result that can only be read forwards (a streamed one) and breaks
    // off: a jump to its end stops at the break and says why, instead of
    // asking for the next page for ever.
    void jumpStopsAtABrokenStream()
    {
        struct Broken : RowSource {
            int reads = 0;
            RowSet fetch(const RowSet &, bool before, int count) override
            {
                if (before)
                    return {};
                if (++reads == 3)
                    throw Error(QStringLiteral("Lost connection to server during query"));
                RowSet page;
                page.setFields({RowSet::Field{QStringLiteral("n")}});
                for (int i = 0; i < count; ++i) {
                    const QByteArray cell = QByteArray::number(i);
                    const char *cells[] = {cell.constData()};
                    const unsigned long lengths[] = {static_cast<unsigned long>(cell.size())};
                    page.appendRow(cells, lengths);
                }
                return page;
            }
            QString wholeSql() const override { return {}; }
            bool canJump() const override { return false; }
        } source;
        GridModel model;
        QStringList failures;
        connect(&model, &GridModel::fetchFailed, this, [&](const QString &m) { failures << m; });
        RowSet first = source.fetch({}, false, 200);
        model.setWindow(std::move(first), &source, true, false, 0);
        model.jumpToEnd();
        QCOMPARE(source.reads, 3);
        QCOMPARE(failures, QStringList{QStringLiteral("Lost connection to server during query")});
        QVERIFY(model.rowCount() >= 200);
        QVERIFY(!model.canFetchMore({}));
    }

    void initTestCase()
    {
        m_db = std::make_unique<test::TestDb>(QStringLiteral("list_reads"));
        createRows();
    }
    void cleanupTestCase()
    {
        RowCounter::instance().waitIdle();
        m_db.reset();
    }

    void scrollingReadsEveryRowInOrder_data()
    {
        QTest::addColumn<QString>("order");
        QTest::addColumn<bool>("upwards"); // from the end (Ctrl+End), reading the pages before the window
        QTest::addColumn<bool>("inPieces");
        // By the name index: pages too large for it are read in pieces.
        QTest::newRow("name, indexed") << QStringLiteral("nev") << false << true;
        QTest::newRow("name, indexed, upwards") << QStringLiteral("nev") << true << true;
        // No index gives this order: every page is sorted anyway, so the
        // pages are left whole (fewer sorts).
        QTest::newRow("remark, no index") << QStringLiteral("megj DESC") << false << false;
        QTest::newRow("remark, no index, upwards") << QStringLiteral("megj DESC") << true << false;
    }
    void scrollingReadsEveryRowInOrder()
    {
        QFETCH(QString, order);
        QFETCH(bool, upwards);
        QFETCH(bool, inPieces);
        GridModel model;
        ListQuery q(listLines(order), &model, QStringLiteral("id"));
        QStringList selects;
        {
            Sent sent;
            q.open();
            QCOMPARE(model.rowCount(), GridModel::kFirstPage);
            if (upwards) {
                model.jumpToEnd();
                QVERIFY(!model.atStart());
                while (model.fetchBefore() > 0) {
                }
            } else {
                while (model.canFetchMore({}))
                    model.fetchMore({});
            }
            selects = sent.selects();
        }

        QVERIFY(model.complete());
        const RowSet whole = Connection::main().query(QStringLiteral("SELECT id FROM qo_sorok WHERE %1 ORDER BY %2, id")
                                                          .arg(QLatin1String(kCondition), order));
        QCOMPARE(keys(model.rows()), keys(whole));
        QCOMPARE(withLimit(selects, 4096) > 0, inPieces);
        if (inPieces)
            for (const QString &sql : selects)
                QVERIFY2(!sortsAll(sql), qPrintable(QStringLiteral("read by a sort: ") + sql.simplified()));
        RowCounter::instance().waitIdle();
    }

    // An account that may read a view but not see its plan (no SHOW VIEW
    // right) still reads the whole list, in whole pages.
    void accountWithoutPlanReadsWholeList()
    {
        Connection::main().exec(QStringLiteral("CREATE OR REPLACE VIEW qo_sorok_v AS SELECT * FROM qo_sorok"));
        Connection::main().exec(QStringLiteral("CREATE OR REPLACE USER 'qo_olvaso'@'127.0.0.1' IDENTIFIED BY 'olvas'"));
        Connection::main().exec(QStringLiteral("GRANT SELECT ON `%1`.qo_sorok_v TO 'qo_olvaso'@'127.0.0.1'").arg(m_db->name()));
        ConnectParams reader = m_db->params();
        reader.user = QStringLiteral("qo_olvaso");
        reader.password = QStringLiteral("olvas");
        Connection::main().close();
        Connection::main().open(reader);
        QStringList lines = listLines(QStringLiteral("nev"));
        lines[0] = QStringLiteral("SELECT id, nev, megj FROM qo_sorok_v");
        GridModel model;
        QString failure;
        connect(&model, &GridModel::fetchFailed, this, [&](const QString &m) { failure = m; });
        ListQuery q(lines, &model, QStringLiteral("id"));
        QStringList selects;
        {
            Sent sent;
            q.open();
            while (model.canFetchMore({}))
                model.fetchMore({});
            selects = sent.selects();
        }
        RowCounter::instance().waitIdle();
        Connection::main().close();
        Connection::main().open(m_db->params());
        Connection::main().exec(QStringLiteral("DROP USER 'qo_olvaso'@'127.0.0.1'"));

        QCOMPARE(failure, QString());
        QVERIFY(model.complete());
        QCOMPARE(qint64(model.rowCount()),
                 Connection::main()
                     .query(QStringLiteral("SELECT COUNT(*) FROM qo_sorok WHERE %1").arg(QLatin1String(kCondition)))
                     .toInt(0, 0));
        QCOMPARE(withLimit(selects, 4096), 0);
    }

    void rowsBeforeMovedWindowAreCounted_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("one search") << QStringList{QStringLiteral("Nev 05")};
        QTest::newRow("two searches") << QStringList{QStringLiteral("Nev 05"), QStringLiteral("Nev 0999")};
        QTest::newRow("back towards the start") << QStringList{QStringLiteral("Nev 08"), QStringLiteral("Nev 001")};
    }
    void rowsBeforeMovedWindowAreCounted()
    {
        QFETCH(QStringList, texts);
        GridModel model;
        ListQuery q(listLines(QStringLiteral("nev")), &model, QStringLiteral("id"));
        q.open();
        for (const QString &text : texts)
            QCOMPARE(q.locatePrefix(QStringLiteral("nev"), text), 0); // the window moved to it
        RowCounter::instance().waitIdle();
        QCoreApplication::processEvents();

        const QString first = model.rows().text(0, QStringLiteral("nev"));
        QVERIFY(first.startsWith(texts.last()));
        const auto count = [](const QString &extra) {
            return Connection::main()
                .query(QStringLiteral("SELECT COUNT(*) FROM qo_sorok WHERE %1%2").arg(QLatin1String(kCondition), extra))
                .toInt(0, 0);
        };
        QCOMPARE(model.totalCount(), count(QString()));
        QCOMPARE(model.offset(), count(QStringLiteral(" AND nev < ") + SqlQuote(first)));
    }
};

QTEST_MAIN(TestListReads)
#include "tst_listreads.moc"
