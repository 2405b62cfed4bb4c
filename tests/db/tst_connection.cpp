// The database layer against the private server: character set, NULLs,
// defaults, statements with line breaks, reconnection and SQL modes.
#include "db/Connection.h"
#include "db/LookupName.h"
#include "base/Error.h"
#include "db/RecordEditor.h"
#include "db/RowConflict.h"
#include "db/SqlText.h"
#include "support/TestDb.h"
#include "support/TlsServer.h"
#include "config/Config.h"
#include "config/StoredConnections.h"

#include <QtTest>
#include <atomic>
#include <memory>
#include <thread>

using namespace qo;

class TestConnection : public QObject {
    Q_OBJECT

    ConnectParams m_db;
    std::unique_ptr<test::TlsServer> m_tls; // started by the first TLS case

    test::TlsServer *tlsServer()
    {
        if (!m_tls)
            m_tls = std::make_unique<test::TlsServer>();
        return m_tls.get();
    }

    static QString cipher(Connection &c)
    {
        return c.query(QStringLiteral("SHOW SESSION STATUS LIKE 'Ssl_cipher'")).text(0, 1);
    }

    static void makeDb(const ConnectParams &server, const QString &name)
    {
        Connection c;
        c.open(server);
        c.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
        c.exec(QStringLiteral("CREATE DATABASE %1 CHARACTER SET latin2 COLLATE latin2_hungarian_ci").arg(name));
        c.exec(QStringLiteral("CREATE TABLE %1.t (k INT AUTO_INCREMENT PRIMARY KEY, s VARCHAR(100), "
                              "n DOUBLE, d DATE, x_nev VARCHAR(20)) ENGINE=InnoDB").arg(name));
    }

    // Kills `id` from a session of its own once that connection has been
    // inside a statement for a moment, i.e. after the statement reached the server.
    static void killWhileBusy(const ConnectParams &params, const QString &id, std::atomic<bool> *killed)
    {
        Connection killer;
        killer.open(params);
        for (int i = 0; i < 100 && !*killed; ++i) {
            const RowSet rs = killer.query(
                QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1 "
                               "AND COMMAND = 'Query' AND TIME_MS > 200").arg(id));
            if (rs.toInt(0, 0) == 1) {
                killer.exec(QStringLiteral("KILL CONNECTION %1").arg(id));
                *killed = true;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
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

    // The server field of a stored connection may list the nodes of a
    // cluster; a single host reads as before.
    void serverList_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("servers"); // host:port, ...
        QTest::newRow("one host") << "db.bolt.hu" << "db.bolt.hu:3310";
        QTest::newRow("empty: the local server") << "" << ":3310";
        QTest::newRow("three nodes, own ports") << "10.0.1.5, 10.0.2.5:3307,10.0.3.5"
                                                << "10.0.1.5:3310,10.0.2.5:3307,10.0.3.5:3310";
        QTest::newRow("IPv6 in brackets") << "[::1]:3307, ::1" << "::1:3307,::1:3310";
        QTest::newRow("stray commas") << ",a,, b ," << "a:3310,b:3310";
        QTest::newRow("not a port") << "a:x" << "a:x:3310";
    }
    void serverList()
    {
        QFETCH(QString, host);
        QFETCH(QString, servers);
        ConnectParams p;
        p.host = host;
        p.port = 3310;
        QStringList got;
        for (const ServerAddress &s : p.servers())
            got << s.host + QLatin1Char(':') + QString::number(s.port);
        QCOMPARE(got.join(QLatin1Char(',')), servers);
    }

    // A node that does not answer is passed over at opening; a server that
    // answers and refuses the account is not (the next would refuse as well).
    void firstServerThatAnswers()
    {
        ConnectParams p = m_db;
        p.host = QStringLiteral("127.0.0.1:1, 127.0.0.1:%1").arg(m_db.port);
        Connection c;
        c.open(p);
        QCOMPARE(c.server().port, m_db.port);
        QCOMPARE(c.query(QStringLiteral("SELECT @@port")).toInt(0, 0), m_db.port);
        p.host = QStringLiteral("127.0.0.1:%1, 127.0.0.1:1").arg(m_db.port);
        p.password = QStringLiteral("rossz");
        try {
            c.open(p);
            QFAIL("a refused account must not be tried on the next server");
        } catch (const Error &e) {
            QCOMPARE(e.code(), 1045u);
        }
    }

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

    // Only the named lists are looked up; a table name from elsewhere never
    // reaches the server as SQL text.
    void lookupName()
    {
        Connection::main().exec(QStringLiteral("CREATE TABLE IF NOT EXISTS lencsemarka "
                                               "(lencsemarka INT PRIMARY KEY, lencsemarka_nev VARCHAR(50))"));
        ExecSql(QStringLiteral("REPLACE INTO lencsemarka (lencsemarka, lencsemarka_nev) VALUES (5, 'Vékony lencse')"));
        QCOMPARE(LookupName(5, QStringLiteral("lencsemarka"), QStringLiteral("?")), QStringLiteral("Vékony lencse"));
        QCOMPARE(LookupName(987654, QStringLiteral("lencsemarka"), QStringLiteral("?")), QStringLiteral("?"));
        QVERIFY(IsNamedList(QStringLiteral("ugyfel")));
        Connection::main().exec(QStringLiteral("CREATE TABLE IF NOT EXISTS lencse (lencse INT PRIMARY KEY, lencse_nev VARCHAR(50))"));
        ExecSql(QStringLiteral("REPLACE INTO lencse VALUES (5, 'Vékony lencse')"));
        for (const char *table : {"lencse", "felhasznalo", "ugyfel WHERE 1=1 OR ugyfel"}) {
            QVERIFY(!IsNamedList(QString::fromLatin1(table)));
            QVERIFY_THROWS_EXCEPTION(Error, LookupName(5, QString::fromLatin1(table), QStringLiteral("?")));
        }
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
        // A cell without the digits of a date is no date (found by fuzzing:
        // "2.48505507" gave 1848-05-07); other separators still read.
        const RowSet texts = Connection::main().query(
            QStringLiteral("SELECT '2.48505507', '2024-02-1:', '2024.02.29', '0000-00-00'"));
        QVERIFY(!texts.toDate(0, 0).isValid());
        QVERIFY(!texts.toDate(0, 1).isValid());
        QCOMPARE(texts.toDate(0, 2), QDate(2024, 2, 29));
        QVERIFY(!texts.toDate(0, 3).isValid());
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

    // Compression only where the link is slow: never to this machine.
    void compressionOnlyForServersElsewhere_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("local");
        QTest::newRow("loopback") << "127.0.0.1" << true;
        QTest::newRow("other loopback") << "127.0.1.1" << true;
        QTest::newRow("localhost") << "LocalHost" << true;
        QTest::newRow("socket") << "" << true;
        QTest::newRow("socket path") << "/run/mysqld/mysqld.sock" << true;
        QTest::newRow("ipv6 loopback") << "::1" << true;
        QTest::newRow("lan") << "192.168.1.20" << false;
        QTest::newRow("name") << "bolt.example.hu" << false;
        QTest::newRow("starts like loopback") << "127.0.0.1.example.hu" << false;
    }
    void compressionOnlyForServersElsewhere()
    {
        QFETCH(QString, host);
        QFETCH(bool, local);
        QCOMPARE(IsLocalServer(host), local);
        // The test server is on this machine: its session is not compressed.
        QCOMPARE(Connection::main().query(QStringLiteral("SHOW SESSION STATUS LIKE 'Compression'")).text(0, 1),
                 QStringLiteral("OFF"));
    }

    // A link lost after the statement reached the server is reported, never
    // answered by sending the statement again: it may have run already.
    void lostWhileRunningIsNotResent_data()
    {
        QTest::addColumn<bool>("asQuery");
        QTest::newRow("exec") << false;
        QTest::newRow("query") << true;
    }
    void lostWhileRunningIsNotResent()
    {
        QFETCH(bool, asQuery);
        Connection &c = Connection::main();
        c.exec(QStringLiteral("DROP PROCEDURE IF EXISTS once_then_wait"));
        c.exec(QStringLiteral("CREATE PROCEDURE once_then_wait() BEGIN "
                              "INSERT INTO t (s) VALUES ('egyszer'); DO SLEEP(5); END"));
        const QString id = SqlValue(QStringLiteral("SELECT CONNECTION_ID()"), {});
        std::atomic<bool> killed{false};
        std::thread killer(killWhileBusy, m_db, id, &killed);
        QString failure;
        try {
            if (asQuery)
                c.query(QStringLiteral("CALL once_then_wait()"));
            else
                c.exec(QStringLiteral("CALL once_then_wait()"));
        } catch (const Error &e) {
            failure = e.message();
        }
        killer.join();
        QVERIFY(killed);
        QVERIFY2(!failure.isEmpty(), "the lost link was not reported");
        // The next statement gets a new link, and the row was written once.
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM t"), -1), 1);
        QVERIFY(SqlValue(QStringLiteral("SELECT CONNECTION_ID()"), {}) != id);
    }

    // Server messages come in latin2, also those of the log-in itself.
    void errorTextsKeepHungarianLetters_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unknown database at log-in") << "open database" << QStringLiteral("Unknown database 'próbaő'");
        QTest::newRow("unknown user at log-in") << "open user" << QStringLiteral("Access denied for user 'ármin'");
        QTest::newRow("unknown database later") << "exec" << QStringLiteral("Unknown database 'próbaő'");
        QTest::newRow("procedure's own message") << "signal" << QStringLiteral("Hibás érték: ű");
    }
    void errorTextsKeepHungarianLetters()
    {
        QFETCH(QString, where);
        QFETCH(QString, expected);
        ConnectParams p = m_db;
        QString message;
        try {
            if (where == QLatin1String("open database")) {
                p.database = QStringLiteral("próbaő");
                Connection().open(p);
            } else if (where == QLatin1String("open user")) {
                p.user = QStringLiteral("ármin");
                Connection().open(p);
            } else if (where == QLatin1String("exec")) {
                ExecSql(QStringLiteral("USE `próbaő`"));
            } else {
                ExecSql(QStringLiteral("SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Hibás érték: ű'"));
            }
        } catch (const Error &e) {
            message = e.message();
        }
        QVERIFY2(message.startsWith(expected), qPrintable(message));
    }

    // ---- Row editor ---------------------------------------------------------

    // post() with a failure reported by the test instead of ending the run.
    static qint64 post(RecordEditor &ed)
    {
        try {
            return ed.post();
        } catch (const Error &e) {
            qWarning("post: %s", qPrintable(e.message()));
            return -2;
        }
    }

    void recordEditorPostsOnlyChangedColumns()
    {
        Connection::main().exec(QStringLiteral(
            "CREATE OR REPLACE TABLE re (re INT AUTO_INCREMENT PRIMARY KEY, a VARCHAR(50), b VARCHAR(50), "
            "flag CHAR(1) NOT NULL DEFAULT 'N', n DOUBLE, d DATE)"));
        ExecSql(QStringLiteral("INSERT INTO re (a, b, n, d) VALUES ('a0', 'b0', 0.1, '2024-02-29')"));
        RecordEditor ed(QStringLiteral("re"), QStringLiteral("re"));
        QVERIFY(ed.load(1));
        QVERIFY(!ed.load(2) && ed.key() == 1);

        ed.setValue(QStringLiteral("a"), QStringLiteral("új"));
        ed.setValue(QStringLiteral("n"), QStringLiteral("0.1")); // as loaded: not a change
        ed.setValue(QStringLiteral("d"), QVariant());            // cleared: NULL
        ed.setValue(QStringLiteral("b"), QStringLiteral("x"));
        ed.setValue(QStringLiteral("b"), QStringLiteral("b0"));  // and back: not a change
        QCOMPARE(post(ed), 1);
        const RowSet rs = Connection::main().query(QStringLiteral("SELECT a, b, n, d FROM re"));
        QCOMPARE(rs.text(0, 0), QStringLiteral("új"));
        QCOMPARE(rs.text(0, 1), QStringLiteral("b0"));
        QCOMPARE(rs.toDouble(0, 2), 0.1);
        QVERIFY(rs.isNull(0, 3));
        QVERIFY(!ed.isChanged());

        // A second save from the same editor finds the row as it left it.
        ed.setValue(QStringLiteral("flag"), QStringLiteral("I"));
        QCOMPARE(post(ed), 1);
    }

    // Two workstations edit one row: the second save must neither overwrite
    // nor merge into what the first stored, and must not report success.
    void recordEditorRefusesRowChangedElsewhere_data()
    {
        QTest::addColumn<QString>("otherChange");
        QTest::newRow("other column") << QStringLiteral("UPDATE re SET b = 'másik', n = 9 WHERE re = 1");
        QTest::newRow("letter case only") << QStringLiteral("UPDATE re SET a = 'A0' WHERE re = 1");
        QTest::newRow("number") << QStringLiteral("UPDATE re SET n = 1.25 WHERE re = 1");
        QTest::newRow("date cleared") << QStringLiteral("UPDATE re SET d = NULL WHERE re = 1");
        QTest::newRow("deleted") << QStringLiteral("DELETE FROM re WHERE re = 1");
    }
    void recordEditorRefusesRowChangedElsewhere()
    {
        QFETCH(QString, otherChange);
        Connection::main().exec(QStringLiteral(
            "CREATE OR REPLACE TABLE re (re INT AUTO_INCREMENT PRIMARY KEY, a VARCHAR(50), b VARCHAR(50), "
            "n DOUBLE, d DATE)"));
        ExecSql(QStringLiteral("INSERT INTO re (a, b, n, d) VALUES ('a0', 'b0', 0.1, '2024-02-29')"));
        RecordEditor ed(QStringLiteral("re"), QStringLiteral("re"));
        QVERIFY(ed.load(1));

        Connection other;
        other.open(m_db);
        other.exec(otherChange);
        const QString before = other.query(QStringLiteral("SELECT COALESCE(GROUP_CONCAT(CONCAT_WS('|', re, a, b, n, d)), '-') FROM re")).text(0, 0);

        ed.setValue(QStringLiteral("a"), QStringLiteral("új"));
        QVERIFY_THROWS_EXCEPTION(RowConflict, ed.post());
        QCOMPARE(other.query(QStringLiteral("SELECT COALESCE(GROUP_CONCAT(CONCAT_WS('|', re, a, b, n, d)), '-') FROM re")).text(0, 0), before);

        // Read again, the same edit goes through (unless the row is gone).
        if (ed.load(1)) {
            ed.setValue(QStringLiteral("a"), QStringLiteral("új"));
            QCOMPARE(post(ed), 1);
            QCOMPARE(other.query(QStringLiteral("SELECT a FROM re")).text(0, 0), QStringLiteral("új"));
        }
    }

    void recordEditorTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("placeholder %1") << QStringLiteral("%1");
        QTest::newRow("placeholders %2 %4") << QStringLiteral("50%2 és %4");
        QTest::newRow("quote") << QStringLiteral("O'Brien");
        QTest::newRow("backslash and line break") << QStringLiteral("C:\\\\r\\n\\\\mappa\r\nmásodik");
        QTest::newRow("wildcards") << QStringLiteral("_%");
    }
    void recordEditorTexts()
    {
        QFETCH(QString, text);
        Connection::main().exec(QStringLiteral(
            "CREATE OR REPLACE TABLE re (re INT AUTO_INCREMENT PRIMARY KEY, a VARCHAR(50), b VARCHAR(50), "
            "flag CHAR(1) NOT NULL DEFAULT 'N', n DOUBLE, d DATE)"));
        ExecSql(QStringLiteral("INSERT INTO re (a) VALUES ('első'), ('második')"));
        RecordEditor ed(QStringLiteral("re"), QStringLiteral("re"));
        QVERIFY(ed.load(2));
        ed.setValue(QStringLiteral("a"), text);
        QCOMPARE(post(ed), 2);
        ed.startNew();
        ed.setValue(QStringLiteral("b"), text);
        QCOMPARE(post(ed), 3);
        const RowSet rs = Connection::main().query(QStringLiteral("SELECT a, b FROM re ORDER BY re"));
        QCOMPARE(rs.rowCount(), 3);
        QCOMPARE(rs.text(0, 0), QStringLiteral("első"));
        QCOMPARE(rs.text(1, 0), text);
        QCOMPARE(rs.text(2, 1), text);
    }

    // A new row names only the columns that were given a value; the rest
    // get the server's defaults, and a NOT NULL column with a default is not
    // forced to NULL.
    void recordEditorNewRowDefaults()
    {
        Connection::main().exec(QStringLiteral(
            "CREATE OR REPLACE TABLE re (re INT AUTO_INCREMENT PRIMARY KEY, a VARCHAR(50), b VARCHAR(50), "
            "flag CHAR(1) NOT NULL DEFAULT 'N', n DOUBLE, d DATE)"));
        RecordEditor ed(QStringLiteral("re"), QStringLiteral("re"));
        ed.startNew();
        QVERIFY(ed.isNew());
        ed.setValue(QStringLiteral("flag"), QVariant()); // left as it started
        ed.setValue(QStringLiteral("a"), QStringLiteral("x"));
        ed.setValue(QStringLiteral("d"), QDate(2024, 3, 5));
        QCOMPARE(post(ed), 1);
        QVERIFY(!ed.isNew());
        const RowSet rs = Connection::main().query(QStringLiteral("SELECT a, b, flag, n, d FROM re"));
        QCOMPARE(rs.text(0, 0), QStringLiteral("x"));
        QVERIFY(rs.isNull(0, 1));
        QCOMPARE(rs.text(0, 2), QStringLiteral("N"));
        QVERIFY(rs.isNull(0, 3));
        QCOMPARE(rs.toDate(0, 4), QDate(2024, 3, 5));
        // The key is known after posting, and the row reloads as stored.
        QVERIFY(ed.load(ed.key()));
        QCOMPARE(ed.value(QStringLiteral("d")).toDate(), QDate(2024, 3, 5));
        QCOMPARE(ed.text(QStringLiteral("b")), QString());
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

    // Search text is matched as typed: "%", "_" and "\\" are no LIKE syntax,
    // also on a server whose global mode makes backslashes plain characters.
    void searchTextIsLiteral_data()
    {
        QTest::addColumn<QString>("dbDirEnv");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        const QStringList servers{QStringLiteral("QO_TEST_DBDIR"), QStringLiteral("QO_TEST_DBDIR_NBE")};
        for (const QString &srv : servers) {
            const QByteArray tag = srv.endsWith(QLatin1String("NBE")) ? " (no backslash escapes)" : "";
            QTest::newRow("underscore" + tag) << srv << "_" << QStringList{"Kiss_Anna"};
            QTest::newRow("percent" + tag) << srv << "100%" << QStringList{"100%"};
            QTest::newRow("backslash" + tag) << srv << "\\m" << QStringList{"C:\\mappa"};
            QTest::newRow("plain" + tag) << srv << "100" << QStringList{"100%", "1000"};
            QTest::newRow("words" + tag) << srv << "_ a" << QStringList{"Kiss_Anna"};
        }
    }
    void searchTextIsLiteral()
    {
        QFETCH(QString, dbDirEnv);
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        ConnectParams p = test::serverParams(dbDirEnv);
        makeDb(p, QStringLiteral("conn_like"));
        p.database = QStringLiteral("conn_like");
        Connection c;
        c.open(p);
        for (const char *v : {"Kiss_Anna", "KissXAnna", "100%", "1000", "C:\\mappa", "Cmappa"})
            c.exec(QStringLiteral("INSERT INTO t (s) VALUES (%1)").arg(SqlQuote(QString::fromUtf8(v))));
        const QString filter = typed.contains(QLatin1Char(' ')) ? BuildWordFilter(QStringLiteral("s"), typed)
                                                                 : BuildLikeFilter(QStringLiteral("s"), typed);
        const RowSet rs = c.query(QStringLiteral("SELECT s FROM t WHERE 1=1") + filter + QStringLiteral(" ORDER BY s"));
        QStringList got;
        for (int r = 0; r < rs.rowCount(); ++r)
            got << rs.text(r, 0);
        c.exec(QStringLiteral("DROP DATABASE conn_like"));
        QCOMPARE(got, found);
    }

    // Every session is strict: a text too long for its column is refused,
    // never cut, whatever mode the server itself runs with.
    void overlongTextIsRefused_data()
    {
        QTest::addColumn<QString>("dbDirEnv");
        QTest::newRow("server") << QStringLiteral("QO_TEST_DBDIR");
        // Started with a mode of its own, without strictness: its sessions would cut the text.
        QTest::newRow("lenient server") << QStringLiteral("QO_TEST_DBDIR_NBE");
    }
    void overlongTextIsRefused()
    {
        QFETCH(QString, dbDirEnv);
        ConnectParams p = test::serverParams(dbDirEnv);
        makeDb(p, QStringLiteral("conn_strict"));
        p.database = QStringLiteral("conn_strict");
        Connection c;
        c.open(p);
        QVERIFY(c.query(QStringLiteral("SELECT @@SESSION.sql_mode")).text(0, 0).contains(QStringLiteral("STRICT_TRANS_TABLES")));
        QVERIFY(!c.query(QStringLiteral("SELECT @@SESSION.sql_mode")).text(0, 0).contains(QStringLiteral("NO_BACKSLASH_ESCAPES")));
        QString failure;
        try {
            c.exec(QStringLiteral("INSERT INTO t (x_nev) VALUES ('%1')").arg(QString(21, QLatin1Char('x'))));
        } catch (const Error &e) {
            failure = e.message();
        }
        const int rows = c.query(QStringLiteral("SELECT COUNT(*) FROM t")).toInt(0, 0);
        c.exec(QStringLiteral("DROP DATABASE conn_strict"));
        QVERIFY2(failure.contains(QStringLiteral("too long")), qPrintable(failure));
        QCOMPARE(rows, 0);
    }

    // A link lost inside a transaction is never re-made silently: the rest
    // of the unit would run on a new session outside any transaction.
    void noSilentReconnectInTransaction()
    {
        Connection &c = Connection::main();
        const QString id = SqlValue(QStringLiteral("SELECT CONNECTION_ID()"), {});
        Connection other;
        other.open(m_db);
        QString failure;
        try {
            RunInTransaction(c, [&] {
                c.exec(QStringLiteral("INSERT INTO t (s) VALUES ('jobb')"));
                other.exec(QStringLiteral("KILL CONNECTION %1").arg(id));
                QTest::qWait(100);
                c.exec(QStringLiteral("INSERT INTO t (s) VALUES ('bal')"));
            });
        } catch (const Error &e) {
            failure = e.message();
        }
        QVERIFY2(!failure.isEmpty(), "a unit cut in two was reported as done");
        // Neither half stayed; the next statement outside a unit reconnects.
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM t"), -1), 0);
        QVERIFY(SqlValue(QStringLiteral("SELECT CONNECTION_ID()"), {}) != id);
        // And a unit on the fresh link is whole again.
        RunInTransaction(c, [&] {
            c.exec(QStringLiteral("INSERT INTO t (s) VALUES ('jobb')"));
            c.exec(QStringLiteral("INSERT INTO t (s) VALUES ('bal')"));
        });
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM t"), -1), 2);
    }

    // A link dropped while the program was idle before the unit is re-made
    // before the unit starts.
    void unitStartsOnFreshLink()
    {
        Connection &c = Connection::main();
        const QString id = SqlValue(QStringLiteral("SELECT CONNECTION_ID()"), {});
        Connection other;
        other.open(m_db);
        other.exec(QStringLiteral("KILL CONNECTION %1").arg(id));
        QTest::qWait(100);
        RunInTransaction(c, [&] { c.exec(QStringLiteral("INSERT INTO t (s) VALUES ('x')")); });
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM t"), -1), 1);
    }

    // A link that asks for TLS with the server's certificate checked: made
    // encrypted with the CA that signed the server's certificate, refused in
    // Hungarian with any other (or without a readable CA file).
    void tlsLink_data()
    {
        QTest::addColumn<bool>("tls");
        QTest::addColumn<QString>("ca"); // "right", "wrong", "none", "missing"
        QTest::addColumn<QString>("error");
        const QString certificate = QStringLiteral("A kiszolgáló tanúsítványa nem ellenőrizhető");
        QTest::newRow("plain link") << false << "none" << "";
        QTest::newRow("right CA") << true << "right" << "";
        QTest::newRow("other CA") << true << "wrong" << certificate;
        QTest::newRow("system authorities") << true << "none" << certificate;
        QTest::newRow("CA file missing") << true << "missing"
                                         << "A titkosított kapcsolat tanúsítványfájlja (CA) nem olvasható: ";
    }
    void tlsLink()
    {
        QFETCH(bool, tls);
        QFETCH(QString, ca);
        QFETCH(QString, error);
        test::TlsServer *server = tlsServer();
        if (!server->skipReason.isEmpty())
            QSKIP(qPrintable(server->skipReason));
        QVERIFY2(server->ready(), qPrintable(server->error));
        ConnectParams p = server->params();
        p.tls = tls;
        p.tlsCaFile = ca == QLatin1String("right")   ? server->caFile()
                    : ca == QLatin1String("wrong")   ? server->wrongCaFile()
                    : ca == QLatin1String("missing") ? server->caFile() + QStringLiteral(".nincs")
                                                     : QString();
        Connection c;
        QString failure;
        try {
            c.open(p);
        } catch (const Error &e) {
            failure = e.message();
        }
        if (!error.isEmpty()) {
            QVERIFY2(failure.startsWith(error), qPrintable(failure));
            QVERIFY(!c.isOpen());
            return;
        }
        QVERIFY2(failure.isNull(), qPrintable(failure));
        QCOMPARE(cipher(c).isEmpty(), !tls);
        if (!tls)
            return;
        // The automatic reconnect after a dropped link is encrypted as well.
        Connection killer;
        killer.open(server->params());
        killer.exec(QStringLiteral("KILL CONNECTION %1").arg(c.sessionId()));
        QTest::qWait(100);
        QVERIFY(!cipher(c).isEmpty());
    }

    // A stored connection's TLS setting reaches the link made from its record.
    void tlsFromStoredRecord()
    {
        test::TlsServer *server = tlsServer();
        if (!server->skipReason.isEmpty())
            QSKIP(qPrintable(server->skipReason));
        QVERIFY2(server->ready(), qPrintable(server->error));
        QTemporaryDir dir;
        {
            QFile ini(dir.filePath(QStringLiteral("QuorvinOpt.ini"))); // the test's own configuration file
            QVERIFY(ini.open(QIODevice::WriteOnly));
        }
        initFolders(dir.path());
        QCOMPARE(ConfigFile(), dir.filePath(QStringLiteral("QuorvinOpt.ini")));
        const ConnectParams s = server->params();
        const QString record = QStringLiteral(";%1;%2;%3;%4;Távoli").arg(s.host).arg(s.port).arg(s.user, s.password);
        WriteStoredConnection(3, record, {true, server->caFile()});
        ConnectParams p = ConnectParams::fromRecord(record);
        QVERIFY(p.tls);
        QCOMPARE(p.tlsCaFile, server->caFile());
        Connection c;
        c.open(p);
        QVERIFY(!cipher(c).isEmpty());
        WriteStoredConnection(3, record, {true, server->wrongCaFile()});
        QVERIFY_THROWS_EXCEPTION(Error, Connection().open(ConnectParams::fromRecord(record)));
        WriteStoredConnection(3, record);
        QVERIFY(!ConnectParams::fromRecord(record).tls);
    }

    void cleanupTestCase()
    {
        m_tls.reset();
        ExecSql(QStringLiteral("DROP DATABASE conn_t"));
        Connection::main().close();
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
