// The database layer against the private server: character set, NULLs,
// defaults, statements with line breaks, reconnection and SQL modes.
#include "core/Connection.h"
#include "core/Seged.h"
#include "support/TestDb.h"

#include <QtTest>

using namespace qo;

class TestConnection : public QObject {
    Q_OBJECT

    ConnectParams m_db;

    static void makeDb(const ConnectParams &server, const QString &name)
    {
        Connection c;
        c.open(server);
        c.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
        c.exec(QStringLiteral("CREATE DATABASE %1 CHARACTER SET latin2 COLLATE latin2_hungarian_ci").arg(name));
        c.exec(QStringLiteral("CREATE TABLE %1.t (k INT AUTO_INCREMENT PRIMARY KEY, s VARCHAR(100), "
                              "n DOUBLE, d DATE, x_nev VARCHAR(20)) ENGINE=InnoDB").arg(name));
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_db = test::serverParams();
        makeDb(m_db, QStringLiteral("conn_t"));
        m_db.database = QStringLiteral("conn_t");
        Connection::main().open(m_db);
    }
    void init() { ExecSql(QStringLiteral("DELETE FROM t")); }

    void hungarianLettersRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("small") << QStringLiteral("áéíóöőúüű");
        QTest::newRow("capital") << QStringLiteral("ÁÉÍÓÖŐÚÜŰ");
        QTest::newRow("sentence") << QStringLiteral("Árvíztűrő tükörfúrógép: Őz, Ű, ß, Ä");
    }
    void hungarianLettersRoundTrip()
    {
        QFETCH(QString, text);
        ExecSql(QStringLiteral("INSERT INTO t (s) VALUES ('%1')").arg(text));
        QCOMPARE(SqlValue(QStringLiteral("SELECT s FROM t"), QStringLiteral("-")), text);
        // The server must see the letters, not bytes of another code page.
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT CHAR_LENGTH(s) FROM t"), -1), text.size());
        QCOMPARE(SqlValue(QStringLiteral("SELECT @@character_set_client"), {}), QStringLiteral("latin2"));
        QCOMPARE(SqlValue(QStringLiteral("SELECT @@collation_connection"), {}), QStringLiteral("latin2_hungarian_ci"));
    }

    void valuesAndDefaults()
    {
        QCOMPARE(SqlValue(QStringLiteral("SELECT s FROM t"), QStringLiteral("nincs")), QStringLiteral("nincs"));
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT k FROM t"), -7), -7);
        ExecSql(QStringLiteral("INSERT INTO t (s, n, x_nev) VALUES (NULL, NULL, ' 12 ')"));
        QCOMPARE(SqlValue(QStringLiteral("SELECT s FROM t"), QStringLiteral("nincs")), QString());
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT n FROM t"), -7), 0);
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT x_nev FROM t"), -7), 12);
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT 'abc'"), -7), 0);
    }

    void lookupName()
    {
        Connection::main().exec(QStringLiteral("CREATE TABLE IF NOT EXISTS lencse (lencse INT PRIMARY KEY, lencse_nev VARCHAR(50))"));
        ExecSql(QStringLiteral("REPLACE INTO lencse VALUES (5, 'Vékony lencse')"));
        QCOMPARE(LookupName(5, QStringLiteral("lencse"), QStringLiteral("?")), QStringLiteral("Vékony lencse"));
        QCOMPARE(LookupName(6, QStringLiteral("lencse"), QStringLiteral("?")), QStringLiteral("?"));
    }

    void errorsCarryServerText()
    {
        try {
            ExecSql(QStringLiteral("SELEC 1"));
            QFAIL("no error");
        } catch (const Error &e) {
            QVERIFY(e.message().contains(QStringLiteral("SQL syntax")));
            QCOMPARE(e.code(), 1064u);
        }
        // The connection stays usable after an error.
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT 2"), 0), 2);
    }

    void execLineBreaks()
    {
        ExecSql(QStringLiteral("   "));
        ExecSql(QStringLiteral("INSERT INTO t (s) VALUES ('a\\r\\nb'), ('c\\R\\Nd')"));
        const RowSet rs = Connection::main().query(QStringLiteral("SELECT s FROM t ORDER BY k"));
        QCOMPARE(rs.text(0, 0), QStringLiteral("a\r\nb"));
        QCOMPARE(rs.text(1, 0), QStringLiteral("c\r\nd"));
    }

    void rowSetTypesAndNulls()
    {
        ExecSql(QStringLiteral("INSERT INTO t (s, n, d) VALUES ('x', 1234.5, '2024-02-29'), (NULL, NULL, NULL)"));
        const RowSet rs = Connection::main().query(QStringLiteral("SELECT k, s, n, d FROM t ORDER BY k"));
        QCOMPARE(rs.rowCount(), 2);
        QCOMPARE(rs.field(0).kind, RowSet::Kind::Integer);
        QCOMPARE(rs.field(1).kind, RowSet::Kind::Text);
        QCOMPARE(rs.field(1).length, 100);
        QCOMPARE(rs.field(2).kind, RowSet::Kind::Float);
        QCOMPARE(rs.field(3).kind, RowSet::Kind::Date);
        QCOMPARE(rs.fieldIndex(QStringLiteral("D")), 3);
        QCOMPARE(rs.toDouble(0, 2), 1234.5);
        QCOMPARE(rs.toDate(0, QStringLiteral("d")), QDate(2024, 2, 29));
        QVERIFY(!rs.isNull(0, 1));
        for (int c = 1; c < 4; ++c)
            QVERIFY(rs.isNull(1, c));
        QVERIFY(!rs.value(1, 2).isValid());
        QCOMPARE(rs.text(1, 1), QString());
        QCOMPARE(rs.toInt(1, 2, -3), -3);
        QVERIFY(!rs.toDate(1, 3).isValid());
        // Empty strings are not NULL.
        ExecSql(QStringLiteral("UPDATE t SET s = '' WHERE s IS NULL"));
        const RowSet rs2 = Connection::main().query(QStringLiteral("SELECT s FROM t ORDER BY k"));
        QVERIFY(!rs2.isNull(1, 0));
    }

    void procedureCallsAndMultipleResults()
    {
        Connection &c = Connection::main();
        c.exec(QStringLiteral("DROP PROCEDURE IF EXISTS p2"));
        c.exec(QStringLiteral("CREATE PROCEDURE p2() BEGIN SELECT 1 AS a; SELECT 2 AS b; END"));
        c.exec(QStringLiteral("CALL p2()"));
        const RowSet rs = c.query(QStringLiteral("CALL p2()"));
        QCOMPARE(rs.text(0, 0), QStringLiteral("1"));
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT 3"), 0), 3); // nothing left pending
    }

    // A link killed from another session is re-established with latin2 again.
    void reconnectAfterKill()
    {
        Connection &c = Connection::main();
        const QString id = SqlValue(QStringLiteral("SELECT CONNECTION_ID()"), {});
        Connection killer;
        killer.open(m_db);
        killer.exec(QStringLiteral("KILL CONNECTION %1").arg(id));
        QTest::qWait(100);
        ExecSql(QStringLiteral("INSERT INTO t (s) VALUES ('Őrült')"));
        QVERIFY(SqlValue(QStringLiteral("SELECT CONNECTION_ID()"), {}) != id);
        QCOMPARE(SqlValue(QStringLiteral("SELECT s FROM t"), {}), QStringLiteral("Őrült"));
        QCOMPARE(SqlValue(QStringLiteral("SELECT @@character_set_connection"), {}), QStringLiteral("latin2"));
        // Exactly one row: the statement was not sent twice.
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM t"), -1), 1);
        // A query on a killed link works as well.
        killer.exec(QStringLiteral("KILL CONNECTION %1").arg(SqlValue(QStringLiteral("SELECT CONNECTION_ID()"), {})));
        QTest::qWait(100);
        QCOMPARE(c.query(QStringLiteral("SELECT s FROM t")).text(0, 0), QStringLiteral("Őrült"));
    }

    // Our literals use backslash escapes; a server whose global mode makes
    // backslashes plain characters must not store them doubled.
    void backslashesOnNoBackslashEscapesServer()
    {
        ConnectParams p = test::serverParams(QStringLiteral("QO_TEST_DBDIR_NBE"));
        makeDb(p, QStringLiteral("conn_nbe"));
        p.database = QStringLiteral("conn_nbe");
        Connection c;
        c.open(p);
        Connection raw; // proves the server really runs in that mode
        raw.open(p);
        QVERIFY(raw.query(QStringLiteral("SELECT @@GLOBAL.sql_mode")).text(0, 0).contains(QStringLiteral("NO_BACKSLASH_ESCAPES")));
        const QString text = QStringLiteral("C:\\mappa\r\nO'Brien");
        c.exec(QStringLiteral("INSERT INTO t (s) VALUES (%1)").arg(SqlQuote(text)));
        QCOMPARE(c.query(QStringLiteral("SELECT s FROM t")).text(0, 0), text);
        c.exec(QStringLiteral("DROP DATABASE conn_nbe"));
    }

    void cleanupTestCase()
    {
        ExecSql(QStringLiteral("DROP DATABASE conn_t"));
        Connection::main().close();
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
