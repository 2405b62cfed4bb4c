// The data backup script, the script runner and the full backup, against the
// real server: what the program writes is restored by the program's own
// runner and by the stock command-line client, and compared table by table.
#include "admin/BackupWriter.h"
#include "admin/FullBackup.h"
#include "admin/SqlScriptRunner.h"
#include "base/Codec.h"
#include "base/Error.h"
#include "db/Connection.h"
#include "db/SqlText.h"
#include "support/Drive.h"
#include "support/Readers.h"
#include "support/TestDb.h"
#include "base/SaveFile.h"
#include "ui/JobProgress.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace qo;

namespace {

// Values that break a careless writer: quotes, backslashes, line ends,
// accented letters (one that latin2 and Windows-1250 code differently),
// the old statement terminator, a delimiter word, a comment start.
const QStringList kAwkward = {
    QStringLiteral("O'Brien"),
    QStringLiteral("C:\\mappa\\fájl"),
    QStringLiteral("első sor\r\nmásodik sor"),
    QStringLiteral("csak\nLF"),
    QStringLiteral("csak\rCR"),
    QStringLiteral("árvíztűrő tükörfúrógép ŐŰ"),
    QStringLiteral("Šárka ť ž"),
    QStringLiteral("idéző \" jel"),
    QStringLiteral("pontosvessző; vége"),
    QStringLiteral("¤ pénzjel ¤"),
    QStringLiteral("\\r\\n betű szerint"),
    QStringLiteral("delimiter $$"),
    QStringLiteral("-- nem megjegyzés"),
    QStringLiteral("szóköz a végén   "),
    QStringLiteral(""),
};

QString client()
{
    return QStandardPaths::findExecutable(QStringLiteral("mariadb")).isEmpty() ? QStringLiteral("mysql")
                                                                             : QStringLiteral("mariadb");
}

// The stock client reading a script as a user would run it: the connection's
// options and the file, nothing about its character set.
void restoreWithClient(const ConnectParams &p, const QString &file, const QString &database)
{
    QProcess proc;
    proc.setStandardInputFile(file);
    QStringList args{QStringLiteral("--no-defaults"), QStringLiteral("-h") + p.host, QStringLiteral("-P%1").arg(p.port), QStringLiteral("-u") + p.user,
                     QStringLiteral("-p") + p.password};
    if (!database.isEmpty())
        args << database;
    proc.start(client(), args);
    QVERIFY(proc.waitForFinished(300000));
    QVERIFY2(proc.exitCode() == 0, proc.readAllStandardError().constData());
}

QMap<QString, QString> checksums(const ConnectParams &p)
{
    Connection c;
    c.open(p);
    QMap<QString, QString> out;
    const RowSet tables = c.query(QStringLiteral("SHOW FULL TABLES WHERE Table_type = 'BASE TABLE'"));
    for (int r = 0; r < tables.rowCount(); ++r) {
        const QString t = tables.text(r, 0);
        const RowSet rs = c.query(QStringLiteral("CHECKSUM TABLE `%1`").arg(t));
        const RowSet count = c.query(QStringLiteral("SELECT COUNT(*) FROM `%1`").arg(t));
        out.insert(t, rs.text(0, 1) + QLatin1Char('/') + count.text(0, 0));
    }
    return out;
}

ConnectParams paramsOf(const QString &db)
{
    ConnectParams p = test::serverParams();
    p.database = db;
    return p;
}

void createPlainSchema(Connection &c)
{
    c.exec(QStringLiteral("CREATE TABLE p1 (id INT NOT NULL PRIMARY KEY, f FLOAT, d DOUBLE, m DECIMAL(14,2), t TEXT, "
                          "v VARCHAR(60), dt DATETIME, da DATE, tm TIME, b BLOB) DEFAULT CHARSET=latin2"));
    c.exec(QStringLiteral("CREATE TABLE ures (x INT) DEFAULT CHARSET=latin2"));
    c.exec(QStringLiteral("CREATE VIEW pv AS SELECT id, t FROM p1"));
}

void fillPlain(Connection &c)
{
    for (int i = 0; i < kAwkward.size(); ++i) {
        c.exec(QStringLiteral("INSERT INTO p1 VALUES (%1, 1e0/(%1+3e0), (0.1e0+0.2e0)*%1 + 1e0/3e0, %2, %3, %4, "
                              "'2024-03-05 14:07:09', '2024-02-29', '13:45:01', %5)")
                   .arg(QString::number(i), QStringLiteral("%1.%2").arg(i * 1000).arg(i % 100, 2, 10, QLatin1Char('0')),
                        SqlQuote(kAwkward.at(i)), i % 3 == 0 ? QStringLiteral("NULL") : SqlQuote(kAwkward.at(i)),
                        i % 2 ? QStringLiteral("NULL") : QStringLiteral("0x00FF27")));
    }
    c.exec(QStringLiteral("INSERT INTO p1 (id, f, d) VALUES (100, 16777217e0, 2.2250738585072014e-308), "
                          "(101, 3.4e38, 1e308), (102, -0.1e0, pi())"));
}

// The shop with every kind of awkward value: 250 clients (three statements of
// 99, 100 and 51 rows), 100 postal codes (99 and 1), 99 frame brands (one
// statement), empty tables, prescriptions and work orders whose foreign keys
// refer back, fractional money.
void fillShop(Connection &c)
{
    c.exec(QStringLiteral("SET FOREIGN_KEY_CHECKS=0"));
    c.exec(QStringLiteral("TRUNCATE irsz"));
    c.exec(QStringLiteral("SET FOREIGN_KEY_CHECKS=1"));
    for (int i = 1; i <= 250; ++i) {
        const QString name = kAwkward.at(i % kAwkward.size()) + QStringLiteral(" %1").arg(i);
        c.exec(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, telefon, torolve, dat_utolso, megjegyzes, csoport) "
                              "VALUES (%1, %2, 'N', %3, %4, %5)")
                   .arg(SqlQuote(name), i % 3 ? SqlQuote(QStringLiteral("+36 30 %1").arg(i)) : QStringLiteral("NULL"),
                        i % 4 ? QStringLiteral("'2023-12-%1'").arg(1 + i % 28, 2, 10, QLatin1Char('0')) : QStringLiteral("NULL"),
                        SqlQuote(kAwkward.at((i * 7) % kAwkward.size()) + QStringLiteral("\r\n") + kAwkward.at(i % 5)),
                        i % 5 ? QString::number(i % 5) : QStringLiteral("NULL")));
        if (i % 10 == 0) {
            c.exec(QStringLiteral("CALL sp_oldal(%1)").arg(i));
            c.exec(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '-%1,25' WHERE ugyfel = %2").arg(i / 10).arg(i));
        }
    }
    for (int i = 0; i < 100; ++i)
        c.exec(QStringLiteral("INSERT INTO irsz VALUES ('%1', %2)").arg(1000 + i).arg(SqlQuote(kAwkward.at(i % kAwkward.size()) + QString::number(i))));
    for (int i = 0; i < 99; ++i)
        c.exec(QStringLiteral("INSERT INTO keretmarka (keretmarka_nev) VALUES (%1)").arg(SqlQuote(QStringLiteral("Keret %1 '").arg(i))));
    for (int i = 1; i <= 120; ++i)
        c.exec(QStringLiteral("INSERT INTO munkalap (mlaptipus, ugyfel, datum, statusz, keretmarka, ar_keret, ar_jobb, eloleg, "
                              "osszar, fizetendo, megj) VALUES (%1, %2, '2024-01-%3', %4, %5, %6e0/3e0, 0.1e0*%6 + 0.2e0, "
                              "pi()*%6, 12345.678e0 + %6/7e0, NULL, %7)")
                   .arg(1 + i % 4).arg(1 + (i * 13) % 250).arg(1 + i % 28, 2, 10, QLatin1Char('0')).arg(1 + i % 3)
                   .arg(i % 2 ? QString::number(1 + i % 99) : QStringLiteral("NULL")).arg(i)
                   .arg(SqlQuote(kAwkward.at(i % kAwkward.size()))));
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int statementCount(const QByteArray &script, const QByteArray &table)
{
    return int(script.count("INSERT IGNORE INTO " + table + " ("));
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // The table script: quoting, line ends, NULL, the 99/100 split, the
    // decimal point and full precision of floating-point values.
    void tableScriptFormat()
    {
        test::TestDb db(QStringLiteral("adm_bk_format"));
        fillShop(Connection::main());
        BackupWriter w(Connection::main());
        const QByteArray ugyfel = w.tableInsertScript(QStringLiteral("ugyfel"));
        QCOMPARE(statementCount(ugyfel, "ugyfel"), 3);
        const QList<QByteArray> lines = ugyfel.split('\n');
        // head + 99 rows, head + 100 rows, head + 51 rows
        QCOMPARE(lines.size(), 3 + 250);
        QVERIFY(lines.at(0).startsWith("INSERT IGNORE INTO ugyfel (ugyfel,ugyfel_nev,"));
        QVERIFY(lines.at(99).endsWith(");\r"));
        QVERIFY(lines.at(100).startsWith("INSERT IGNORE INTO ugyfel "));
        QVERIFY(lines.at(201).startsWith("INSERT IGNORE INTO ugyfel "));
        QVERIFY(lines.at(200).endsWith(");\r"));
        QVERIFY(lines.last().endsWith(");"));
        QCOMPARE(int(ugyfel.count("\r\n")), int(lines.size()) - 1);
        QVERIFY(ugyfel.contains("'O''Brien 1"));
        QVERIFY(ugyfel.contains("'C:\\\\mappa\\\\f\xE1jl"));
        QVERIFY(ugyfel.contains("'els\xF5 sor\\r\\nm\xE1sodik sor"));
        QVERIFY(ugyfel.contains("'\\\\r\\\\n bet\xFB szerint"));
        QVERIFY(ugyfel.contains("\x8A\xE1rka \x9D \x9E")); // Windows-1250 codes of Š, ť, ž
        QVERIFY(ugyfel.contains(",NULL,"));
        QCOMPARE(statementCount(w.tableInsertScript(QStringLiteral("irsz")), "irsz"), 2);
        QCOMPARE(statementCount(w.tableInsertScript(QStringLiteral("keretmarka")), "keretmarka"), 1);
        QVERIFY(w.tableInsertScript(QStringLiteral("uzenet")).isEmpty());

        Connection::main().exec(QStringLiteral("UPDATE munkalap SET ar_keret = 0.1e0 + 0.2e0 WHERE munkalap = 1"));
        const QByteArray money = w.tableInsertScript(QStringLiteral("munkalap"));
        QVERIFY(money.contains(",0.30000000000000004,"));
        QVERIFY(!money.contains(",0.3,"));
        QVERIFY(!w.baseTables().contains(QStringLiteral("vw_ugyfel")));
    }

    // The whole file: foreign-key checks off around it, every base table
    // truncated (an empty one gets only that line), no view.
    void scriptFrame()
    {
        test::TestDb db(QStringLiteral("adm_bk_frame"));
        fillShop(Connection::main());
        const QString path = m_dir.filePath(QStringLiteral("frame.sql"));
        QList<int> steps;
        BackupWriter(Connection::main()).writeScript(path, [&](int i, int n) { steps << i; QVERIFY(n > 10); });
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray s = f.readAll();
        QVERIFY(s.startsWith("SET NAMES cp1250;\r\nSET FOREIGN_KEY_CHECKS=0;\r\n"));
        QVERIFY(s.endsWith("\r\nSET FOREIGN_KEY_CHECKS=1;\r\n"));
        QVERIFY(s.contains("\r\nTRUNCATE uzenet;\r\nTRUNCATE verzio;\r\n"));
        QVERIFY(s.contains("\r\nTRUNCATE statusz_naplo;\r\nTRUNCATE "));
        QVERIFY(!s.contains("vw_"));
        QVERIFY(!s.contains("\n\n"));
        QCOMPARE(steps.first(), 0);
        QCOMPARE(steps.size(), int(s.count("TRUNCATE ")));
    }

    // Backed up by the program, restored by the program's script runner and
    // by the stock client into the project's schema and into a plain one:
    // every table identical.
    void roundTrip_data()
    {
        QTest::addColumn<bool>("shopSchema");
        QTest::addColumn<bool>("stockClient");
        QTest::newRow("shop schema, script runner") << true << false;
        QTest::newRow("shop schema, stock client") << true << true;
        QTest::newRow("plain schema, script runner") << false << false;
        QTest::newRow("plain schema, stock client") << false << true;
    }
    void roundTrip()
    {
        QFETCH(bool, shopSchema);
        QFETCH(bool, stockClient);
        // The plain databases have no shop tables, only those made here.
        const QString srcName = shopSchema ? QStringLiteral("adm_bk_src") : QStringLiteral("adm_bk_psrc");
        const QString dstName = shopSchema ? QStringLiteral("adm_bk_dst") : QStringLiteral("adm_bk_pdst");
        std::unique_ptr<test::TestDb> shopSource, shopTarget;
        Connection admin;
        admin.open(test::serverParams());
        if (shopSchema) {
            shopSource = std::make_unique<test::TestDb>(srcName, false);
            shopTarget = std::make_unique<test::TestDb>(dstName, false);
        } else {
            for (const QString &n : {srcName, dstName}) {
                admin.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(n));
                admin.exec(QStringLiteral("CREATE DATABASE `%1` CHARACTER SET latin2 COLLATE latin2_hungarian_ci").arg(n));
            }
        }
        Connection src, dst;
        src.open(paramsOf(srcName));
        dst.open(paramsOf(dstName));
        if (shopSchema) {
            fillShop(src);
            // Rows the restore must throw away.
            dst.exec(QStringLiteral("INSERT INTO ugyfel (ugyfel, ugyfel_nev) VALUES (9999, 'marad?')"));
            dst.exec(QStringLiteral("INSERT INTO uzenet (szoveg) VALUES ('régi üzenet')"));
        } else {
            createPlainSchema(src);
            createPlainSchema(dst);
            fillPlain(src);
            dst.exec(QStringLiteral("INSERT INTO ures VALUES (1)"));
        }
        const QString path = m_dir.filePath(QStringLiteral("round.sql"));
        BackupWriter(src).writeScript(path);

        if (stockClient) {
            restoreWithClient(test::serverParams(), path, dstName);
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString text = fromCp1250(f.readAll());
            Connection runnerDb;
            runnerDb.open(paramsOf(dstName));
            const SqlScriptRunner::Result r = SqlScriptRunner(runnerDb).run(text);
            QVERIFY2(r.ok, qPrintable(r.error));
            QVERIFY(r.leftOver.isEmpty());
            QCOMPARE(runnerDb.query(QStringLiteral("SELECT @@SESSION.foreign_key_checks")).text(0, 0), QStringLiteral("1"));
        }
        auto before = checksums(paramsOf(srcName));
        auto after = checksums(paramsOf(dstName));
        QVERIFY(before.size() >= 2);
        if (shopSchema) {
            // The audit log is restored last, so it is the saved one exactly:
            // the lines its triggers wrote during the restore are gone with
            // its TRUNCATE.
            QVERIFY(src.query(QStringLiteral("SELECT COUNT(*) FROM naplo")).toInt(0, 0) > 0);
            QFile script(path);
            QVERIFY(script.open(QIODevice::ReadOnly));
            const QByteArray bytes = script.readAll();
            QVERIFY(bytes.lastIndexOf("TRUNCATE naplo;") > bytes.lastIndexOf("TRUNCATE ugyfel_sz_tavol;"));
            QVERIFY(bytes.lastIndexOf("TRUNCATE recept_elozmeny;") > bytes.lastIndexOf("TRUNCATE ugyfel_sz_tavol;"));
            QVERIFY(src.query(QStringLiteral("SELECT COUNT(*) FROM recept_elozmeny")).toInt(0, 0) > 0);
        }
        QCOMPARE(after, before);
        if (shopSchema) {
            QVERIFY(before.value(QStringLiteral("ugyfel")).endsWith(QLatin1String("/250")));
        } else {
            QVERIFY(before.value(QStringLiteral("p1")).endsWith(QLatin1String("/18")));
            QVERIFY(after.value(QStringLiteral("ures")).endsWith(QLatin1String("/0")));
            for (const QString &n : {srcName, dstName})
                admin.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(n));
        }
    }

    // Every byte comes back, through the stock client given no character set
    // and through the console's runner: letters that latin2 and Windows-1250
    // code differently, latin2 codes that Windows-1250 lacks, binary bytes.
    // Values that a text literal carries keep their usual form.
    void restoresByteForByte_data()
    {
        QTest::addColumn<bool>("stockClient");
        QTest::newRow("stock client") << true;
        QTest::newRow("console's runner") << false;
    }
    void restoresByteForByte()
    {
        QFETCH(bool, stockClient);
        const QString srcName = QStringLiteral("adm_bk_bsrc"), dstName = QStringLiteral("adm_bk_bdst");
        Connection admin;
        admin.open(test::serverParams());
        QByteArray all, high;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        for (int b = 0x80; b < 0xA0; ++b)
            high += char(b);
        for (const QString &n : {srcName, dstName}) {
            admin.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(n));
            admin.exec(QStringLiteral("CREATE DATABASE `%1` CHARACTER SET latin2 COLLATE latin2_hungarian_ci").arg(n));
            admin.exec(QStringLiteral("CREATE TABLE `%1`.bajtok (id INT PRIMARY KEY, t VARCHAR(300), m TEXT, vb VARBINARY(300), "
                                      "bn BINARY(4), bl BLOB, e ENUM('a', 'Š')) DEFAULT CHARSET=latin2").arg(n));
        }
        Connection src;
        src.open(paramsOf(srcName));
        const QString latin2All = QStringLiteral("_latin2 X'%1'").arg(QString::fromLatin1(all.mid(0x20).toHex()));
        src.exec(QStringLiteral("INSERT INTO bajtok VALUES "
                                "(1, 'árvíztűrő ŐŰ Š ť ž Ą ľ', 'O''Brien\\r\\n', 'plain', 'ab', 'szöveg', 'Š'), "
                                "(2, %1, _latin2 X'%2', 0x%3, 0xA9008A9F, 0x%3, 'a'), "
                                "(3, CONCAT('idézet ', _latin2 X'85'), %1, 0xE1, 0x41, 0x00, NULL)")
                     .arg(latin2All, QString::fromLatin1(high.toHex()), QString::fromLatin1(all.toHex())));
        const QString path = m_dir.filePath(QStringLiteral("bajtok.sql"));
        BackupWriter(src).writeScript(path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray script = f.readAll();
        f.close();
        QVERIFY(script.startsWith("SET NAMES cp1250;\r\nSET FOREIGN_KEY_CHECKS=0;\r\n"));
        QVERIFY(script.contains("(1,'\xE1rv\xEDzt\xFBr\xF5 \xD5\xDB \x8A \x9D \x9E \xA5 \xBE','O''Brien\\r\\n','plain',"
                                "'ab\\0\\0',0x737af6766567,'\x8A'),\r\n"));
        QVERIFY(script.contains(",_latin2 X'" + high.toHex() + "',0x" + all.toHex() + ",0xa9008a9f,0x" + all.toHex() + ",'a')"));
        QVERIFY(script.contains("(3,_latin2 X'6964e97a65742085',"));
        QVERIFY(script.contains(",0xe1,'A\\0\\0\\0',0x00,NULL)"));
        QVERIFY(!script.contains('?'));

        if (stockClient) {
            restoreWithClient(test::serverParams(), path, dstName);
        } else {
            Connection runnerDb;
            runnerDb.open(paramsOf(dstName));
            const SqlScriptRunner::Result r = SqlScriptRunner(runnerDb).run(fromCp1250(script));
            QVERIFY2(r.ok, qPrintable(r.error));
            // The session still speaks latin2.
            QCOMPARE(runnerDb.query(QStringLiteral("SELECT @@character_set_client")).text(0, 0), QStringLiteral("latin2"));
        }
        const QString hex = QStringLiteral("SELECT id, HEX(t), HEX(m), HEX(vb), HEX(bn), HEX(bl), HEX(e) FROM `%1`.bajtok ORDER BY id");
        const RowSet before = admin.query(hex.arg(srcName));
        const RowSet after = admin.query(hex.arg(dstName));
        QCOMPARE(after.rowCount(), 3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < before.columnCount(); ++c)
                QCOMPARE(after.text(r, c), before.text(r, c));
        QCOMPARE(before.text(0, 1), QString::fromLatin1(toLatin2(QStringLiteral("árvíztűrő ŐŰ Š ť ž Ą ľ")).toHex().toUpper()));
        for (const QString &n : {srcName, dstName})
            admin.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(n));
    }

    // A backup that breaks off half-way leaves no file that could pass for a backup.
    void failedBackupLeavesNoFile()
    {
        test::TestDb db(QStringLiteral("adm_bk_fail"));
        fillShop(Connection::main());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("broken.sql"));
        Connection other;
        other.open(db.params());
        bool threw = false;
        try {
            BackupWriter(Connection::main()).writeScript(path, [&](int i, int) {
                if (i == 3) { // the schema changes under the backup
                    other.exec(QStringLiteral("SET FOREIGN_KEY_CHECKS=0"));
                    other.exec(QStringLiteral("DROP TABLE munkalap"));
                }
            });
        } catch (const Error &e) {
            threw = true;
            QVERIFY(!e.message().isEmpty());
        }
        QVERIFY(threw);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }

    // The data backup as the list window runs it, stopped half-way with Esc
    // in the progress window: the earlier backup under the chosen name stays
    // byte for byte, nothing is left beside it, the window counted rows of
    // the whole shop, and the backup's link is dropped without reading the
    // rest of the table. Not stopped, the archive is deflated as it is
    // written and holds exactly the script the plain backup writes.
    void cancelledBackupKeepsTheEarlierFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("script") << "bolt-2024-03-05-14-07-09.sql";
        QTest::newRow("archive") << "bolt-2024-03-05-14-07-09.ZIP";
    }
    void cancelledBackupKeepsTheEarlierFile()
    {
        QFETCH(QString, name);
        test::TestDb db(QStringLiteral("adm_bk_stop"));
        fillShop(Connection::main());
        // A table large enough to be stopped in the middle of.
        Connection::main().exec(QStringLiteral("CREATE TABLE nagy (id INT PRIMARY KEY, t VARCHAR(80)) DEFAULT CHARSET=latin2"));
        Connection::main().exec(QStringLiteral("INSERT INTO nagy SELECT seq, CONCAT('sor ', seq, ' O''Brien') FROM seq_1_to_400000"));
        Connection::main().exec(QStringLiteral("ANALYZE TABLE nagy"));
        QTemporaryDir dir;
        const bool zip = name.endsWith(QLatin1String(".ZIP"));
        const QString target = zip ? dir.filePath(QStringLiteral("bolt-2024-03-05-14-07-09.zip")) : dir.filePath(name);
        const QByteArray earlier("-- a tegnapi j\xF3 ment\xE9s\r\n");
        SaveBytes(target, earlier);
        const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

        const int oldDelay = JobProgress::setShowDelay(0);
        auto restore = qScopeGuard([&] { JobProgress::setShowDelay(oldDelay); });
        test::ModalLog answers;
        QString counted, heading;
        // Answered once it is inside the large table (more rows done than
        // the rest of the shop holds).
        auto rowsDone = [](QWidget *w) {
            const QString t = w->findChild<QLabel *>(QStringLiteral("lbl_Allas"))->text();
            // "12 000 / 60 000 sor", or "12 000 sor" once the estimate is passed.
            return t.section(QStringLiteral(" / "), 0, 0).remove(QStringLiteral(" sor")).remove(QLatin1Char(' ')).toLongLong();
        };
        test::onModal([&](QWidget *w) { return w->objectName() == QLatin1String("frm_Folyamat") && rowsDone(w) > 5000; },
                      [&](QWidget *w) {
                          heading = w->findChild<QLabel *>(QStringLiteral("lbl_Szoveg"))->text();
                          counted = w->findChild<QLabel *>(QStringLiteral("lbl_Allas"))->text();
                          QTest::keyClick(w, Qt::Key_Escape);
                      });
        Connection own;
        own.open(db.params());
        QString message;
        try {
            WriteDataBackup(own, dir.filePath(name), nullptr);
        } catch (const JobCancelled &e) {
            message = e.message();
        }
        QVERIFY(answers.done());
        QCOMPARE(message, QStringLiteral("A mentés megszakítva; a korábbi fájl változatlan."));
        QVERIFY2(counted.endsWith(QLatin1String(" sor")) && counted.contains(QLatin1String(" / ")), qPrintable(counted));
        QVERIFY2(heading.startsWith(QStringLiteral("Biztonsági mentés: ")), qPrintable(heading));
        QCOMPARE(bytesOf(target), earlier);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), before);
        QVERIFY(!own.isOpen()); // dropped with the rest of the table unread

        // Not stopped: the same call writes the whole backup.
        JobProgress::setShowDelay(oldDelay);
        own.open(db.params());
        QCOMPARE(WriteDataBackup(own, dir.filePath(name), nullptr), target);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), before);
        QCOMPARE(QFileInfo(target).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
        const QString plain = dir.filePath(QStringLiteral("plain.sql"));
        BackupWriter(own).writeScript(plain);
        if (!zip) {
            QCOMPARE(bytesOf(target), bytesOf(plain));
            return;
        }
        // Real readers: unzip lists one entry under the script's name,
        // deflated at the highest level, and python's zipfile checks the CRC.
        QProcess verbose;
        verbose.start(QStringLiteral("unzip"), {QStringLiteral("-v"), target});
        QVERIFY(verbose.waitForFinished());
        const QByteArray listing = verbose.readAllStandardOutput();
        QVERIFY2(listing.contains("Defl:X") && listing.contains("bolt-2024-03-05-14-07-09.sql") && listing.contains("1 file"),
                 listing.constData());
        QProcess py;
        py.start(test::pythonProgram(), {QStringLiteral("-c"), QStringLiteral(
            "import sys, zipfile\n"
            "z = zipfile.ZipFile(sys.argv[1])\n"
            "assert z.testzip() is None\n"
            "assert [i.filename for i in z.infolist()] == ['bolt-2024-03-05-14-07-09.sql']\n"
            "sys.stdout.buffer.write(z.read('bolt-2024-03-05-14-07-09.sql'))\n"), target});
        QVERIFY(py.waitForFinished(60000));
        QVERIFY2(py.exitCode() == 0, py.readAllStandardError().constData());
        QCOMPARE(py.readAllStandardOutput(), bytesOf(plain));
    }

    // The full backup followed in the progress window: it counts the tables
    // the tool has dumped of the database's base tables; Esc ends the tool,
    // the earlier file under the name stays byte for byte, nothing is left
    // beside it, and no report of the tool follows.
    void fullBackupStopped()
    {
        test::TestDb db(QStringLiteral("adm_bk_fullstop"));
        fillShop(Connection::main());
        const int tables = int(BackupWriter(Connection::main()).baseTables().size());
        const QString tool = FullBackup::resolveTool({});
        QVERIFY(!tool.isEmpty());
        // The real tool, then a long wait before the end, as a slow dump would.
        QTemporaryDir tools, dir;
        const QString slow = tools.filePath(QStringLiteral("lassu"));
        {
            QFile w(slow);
            QVERIFY(w.open(QIODevice::WriteOnly));
            w.write(QStringLiteral("#!/bin/sh\n'%1' \"$@\" || exit $?\nexec sleep 60\n").arg(tool).toUtf8());
        }
        QFile::setPermissions(slow, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QString target = dir.filePath(QStringLiteral("teljes.sql"));
        const QByteArray earlier("-- a tegnapi j\xF3 ment\xE9s\r\n");
        SaveBytes(target, earlier);

        FullBackup fb;
        QSignalSpy reported(&fb, &FullBackup::finished);
        QString error;
        QVERIFY2(fb.start(slow, db.params(), target, &error), qPrintable(error));
        const int oldDelay = JobProgress::setShowDelay(0);
        auto restore = qScopeGuard([&] { JobProgress::setShowDelay(oldDelay); });
        test::ModalLog answers;
        QString counted;
        const QString all = QStringLiteral("%1 / %1 tábla").arg(tables);
        // Answered once every table is dumped and the count of them known.
        test::onModal([&](QWidget *w) {
                          return w->objectName() == QLatin1String("frm_Folyamat")
                              && w->findChild<QLabel *>(QStringLiteral("lbl_Allas"))->text() == all;
                      },
                      [&](QWidget *w) {
                          counted = w->findChild<QLabel *>(QStringLiteral("lbl_Allas"))->text();
                          QTest::keyClick(w, Qt::Key_Escape);
                      });
        bool done = true;
        {
            JobProgress progress(QStringLiteral("Teljes mentés"), QStringLiteral("tábla"), nullptr);
            done = fb.follow(progress, CountTablesInBackground(db.params()));
        }
        QVERIFY(!done);
        QVERIFY(answers.done());
        QCOMPARE(counted, all);
        QVERIFY(!fb.isRunning());
        QCOMPARE(bytesOf(target), earlier);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("teljes.sql")});
        QCoreApplication::processEvents();
        QCOMPARE(reported.count(), 0);
    }

    // The zip holds one entry, the script under its bare name, and a real
    // unzip reads it back unchanged.
    void zipReadByUnzip()
    {
        test::TestDb db(QStringLiteral("adm_bk_zip"));
        fillShop(Connection::main());
        QTemporaryDir dir;
        const QString sql = dir.filePath(QStringLiteral("bolt-2024-03-05-14-07-09.sql"));
        const QString zip = dir.filePath(QStringLiteral("bolt-2024-03-05-14-07-09.zip"));
        BackupWriter(Connection::main()).writeScript(sql);
        QFile f(sql);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray original = f.readAll();
        f.close();
        ZipSingleFile(sql, zip);
        QProcess list;
        list.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), zip});
        QVERIFY(list.waitForFinished());
        QCOMPARE(QString::fromUtf8(list.readAllStandardOutput()).trimmed(), QStringLiteral("bolt-2024-03-05-14-07-09.sql"));
        QProcess verbose;
        verbose.start(QStringLiteral("unzip"), {QStringLiteral("-v"), zip});
        QVERIFY(verbose.waitForFinished());
        QVERIFY(verbose.readAllStandardOutput().contains("Defl:X")); // deflated, highest level
        QProcess extract;
        extract.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip});
        QVERIFY(extract.waitForFinished());
        QCOMPARE(extract.exitCode(), 0);
        QCOMPARE(extract.readAllStandardOutput(), original);
        QCOMPARE(FileSizeText(12345678), QStringLiteral("12 345 678 bájt"));
    }

    // The script runner: how the text becomes statements, and the line each
    // one starts on.
    void splitStatements_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QList<int>>("firstLines");
        QTest::addColumn<QString>("leftOver");
        QTest::newRow("procedure with $$")
            << QStringLiteral("delimiter $$\nCREATE PROCEDURE p()\nBEGIN\n  SELECT 1;\n  SELECT 2;\nEND$$\ndelimiter ;\nCALL p();")
            << QStringList{QStringLiteral("CREATE PROCEDURE p()\nBEGIN\n  SELECT 1;\n  SELECT 2;\nEND"), QStringLiteral("CALL p()")}
            << QList<int>{2, 8} << QString();
        QTest::newRow("DELIMITER in capitals")
            << QStringLiteral("DELIMITER $$\nSELECT 1$$\nSELECT 2;")
            << QStringList{QStringLiteral("SELECT 1")} << QList<int>{2} << QStringLiteral("SELECT 2;");
        QTest::newRow("last statement without ;")
            << QStringLiteral("SELECT 1;\n\n  SELECT 2  ")
            << QStringList{QStringLiteral("SELECT 1")} << QList<int>{1} << QStringLiteral("SELECT 2");
        QTest::newRow("two on one line")
            << QStringLiteral("UPDATE a SET x=1; UPDATE a SET x=2;")
            << QStringList{QStringLiteral("UPDATE a SET x=1"), QStringLiteral("UPDATE a SET x=2")} << QList<int>{1, 1} << QString();
        QTest::newRow("currency sign is no terminator")
            << QStringLiteral("INSERT INTO t VALUES ('a¤b');\nINSERT INTO t VALUES ('¤');")
            << QStringList{QStringLiteral("INSERT INTO t VALUES ('a¤b')"), QStringLiteral("INSERT INTO t VALUES ('¤')")}
            << QList<int>{1, 2} << QString();
        QTest::newRow("two spaces before the delimiter")
            << QStringLiteral("delimiter  $$\nSELECT 1$$\nSELECT 2$$")
            << QStringList{QStringLiteral("SELECT 1"), QStringLiteral("SELECT 2")} << QList<int>{2, 3} << QString();
        QTest::newRow("comment after the delimiter")
            << QStringLiteral("INSERT INTO t VALUES (1); # első\nINSERT INTO t VALUES (2); -- it's mine\nINSERT INTO t VALUES (3);")
            << QStringList{QStringLiteral("INSERT INTO t VALUES (1)"), QStringLiteral("INSERT INTO t VALUES (2)"),
                           QStringLiteral("INSERT INTO t VALUES (3)")}
            << QList<int>{1, 2, 3} << QString();
        QTest::newRow("; at a line end inside a string")
            << QStringLiteral("INSERT INTO t VALUES ('első;\n  második \\'; \"x;\"');\nSELECT 1;")
            << QStringList{QStringLiteral("INSERT INTO t VALUES ('első;\n  második \\'; \"x;\"')"), QStringLiteral("SELECT 1")}
            << QList<int>{1, 3} << QString();
        QTest::newRow("comments hide ; and quotes")
            << QStringLiteral("/* a; 'b */ SELECT 1 /* c; */;\n-- d'e;\n#f;\nSELECT `x;y` FROM t; -- vége")
            << QStringList{QStringLiteral("SELECT 1"), QStringLiteral("SELECT `x;y` FROM t")}
            << QList<int>{1, 4} << QString();
        QTest::newRow("server-side comment is a statement")
            << QStringLiteral("/*!40101 SET @a = 1 */;\nSELECT 1;")
            << QStringList{QStringLiteral("/*!40101 SET @a = 1 */"), QStringLiteral("SELECT 1")} << QList<int>{1, 2} << QString();
        QTest::newRow("unfinished comment at the end")
            << QStringLiteral("SELECT 1;\n/* nincs vége") << QStringList{QStringLiteral("SELECT 1")} << QList<int>{1} << QString();
        QTest::newRow("empty") << QString() << QStringList{} << QList<int>{} << QString();
    }
    void splitStatements()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, statements);
        QFETCH(QList<int>, firstLines);
        QFETCH(QString, leftOver);
        QString rest;
        QStringList got;
        QList<int> lines;
        for (const auto &s : SqlScriptRunner::split(text, &rest)) {
            got << s.sql;
            lines << s.firstLine;
        }
        QCOMPARE(got, statements);
        QCOMPARE(lines, firstLines);
        QCOMPARE(rest, leftOver);
    }

    // What the runner leaves out: a script's own character-set statement.
    void characterSetStatements_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("skipped");
        QTest::newRow("SET NAMES") << "SET NAMES cp1250" << true;
        QTest::newRow("lower case, collation") << "set names latin2 collate latin2_hungarian_ci" << true;
        QTest::newRow("server-side comment") << "/*!40101 SET NAMES utf8mb4 */" << true;
        QTest::newRow("CHARACTER SET") << "SET CHARACTER SET cp1250" << true;
        QTest::newRow("variable") << "SET character_set_client = utf8" << true;
        QTest::newRow("other variable") << "SET FOREIGN_KEY_CHECKS=0" << false;
        QTest::newRow("two settings") << "SET NAMES cp1250, @a = 1" << false;
        QTest::newRow("a value") << "INSERT INTO t VALUES ('SET NAMES x')" << false;
    }
    void characterSetStatements()
    {
        QFETCH(QString, sql);
        QFETCH(bool, skipped);
        QCOMPARE(SqlScriptRunner::setsCharacterSet(sql), skipped);
    }

    // On the server: a procedure defined with $$ runs, a value holding "¤"
    // arrives intact, a failing statement ends the run and puts the
    // foreign-key checks back.
    void runOnServer()
    {
        test::TestDb db(QStringLiteral("adm_bk_run"));
        Connection &c = Connection::main();
        SqlScriptRunner runner(c);
        QList<int> lines; // statements done, as each progress call says
        auto r = runner.run(QStringLiteral("delimiter $$\n"
                                           "CREATE PROCEDURE p_teszt()\nBEGIN\n  DELETE FROM verzio;\n  INSERT INTO verzio VALUES ('a¤b;c');\nEND$$\n"
                                           "delimiter ;\nCALL p_teszt();"),
                            [&](int done, int total) { lines << done; QCOMPARE(total, 2); });
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.statementsRun, 2);
        QCOMPARE(lines, (QList<int>{1, 2})); // after each statement, statements done of the script's
        QCOMPARE(SqlValue(QStringLiteral("SELECT verzio FROM verzio"), {}), QStringLiteral("a¤b;c"));

        r = runner.run(QStringLiteral("SET FOREIGN_KEY_CHECKS=0;\nINSERT INTO verzio VALUES ('x1');\nINSERT INTO nincs VALUES (1);\n"
                                      "INSERT INTO verzio VALUES ('x2');"));
        QVERIFY(!r.ok);
        QCOMPARE(r.statementsRun, 2);
        QVERIFY(r.error.contains(QLatin1String("nincs")));
        QCOMPARE(SqlIntValue(QStringLiteral("SELECT COUNT(*) FROM verzio WHERE verzio IN ('x1', 'x2')"), -1), 1);
        QCOMPARE(SqlValue(QStringLiteral("SELECT @@SESSION.foreign_key_checks"), {}), QStringLiteral("1"));
    }

    // The full backup through the real dump tool: the password on no command
    // line and in no file (the tool reads its options from a pipe), an option
    // file an earlier run left behind removed; the file restores with the
    // stock client into a shop whose procedures work; a failure is reported
    // with the tool's text and leaves no file.
    void fullBackupRestores()
    {
        test::TestDb db(QStringLiteral("adm_bk_full"));
        fillShop(Connection::main());
        const auto before = checksums(db.params());
        const QString tool = FullBackup::resolveTool({});
        QVERIFY(!tool.isEmpty());
        const QString file = m_dir.filePath(QStringLiteral("teljes.sql"));
        // An account of its own whose password is easy to spot and needs
        // escaping in the option file.
        Connection admin;
        admin.open(test::serverParams());
        admin.exec(QStringLiteral("DROP USER IF EXISTS 'qo_dump'@'%'"));
        admin.exec(QStringLiteral("CREATE USER 'qo_dump'@'%' IDENTIFIED BY 'Tit\"ok\\\\jel szo'"));
        admin.exec(QStringLiteral("GRANT ALL ON `%1`.* TO 'qo_dump'@'%'").arg(db.name()));
        // The procedures' text is readable to their definer and to whoever
        // may read mysql.proc; without it the dump fails and says why.
        admin.exec(QStringLiteral("GRANT SELECT ON mysql.proc TO 'qo_dump'@'%'"));
        ConnectParams dumper = db.params();
        dumper.user = QStringLiteral("qo_dump");
        dumper.password = QStringLiteral("Tit\"ok\\jel szo");

        // What the tool meets: its arguments and where its option file leads.
        QTemporaryDir tools;
        const QString seen = tools.filePath(QStringLiteral("seen.txt"));
        const QString wrapper = tools.filePath(QStringLiteral("dump"));
        {
            QFile w(wrapper);
            QVERIFY(w.open(QIODevice::WriteOnly));
            w.write(QStringLiteral("#!/bin/sh\n"
                                   "o=\"${1#--defaults-extra-file=}\"\n"
                                   "{ echo \"$@\"; readlink \"$o\"; ls -l \"$o\"; } > '%1'\n"
                                   "exec '%2' \"$@\"\n").arg(seen, tool).toUtf8());
        }
        QFile::setPermissions(wrapper, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // A temporary folder of this test's own, watched for any file.
        QTemporaryDir privateTemp;
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(privateTemp.path()));
        auto restoreTmp = qScopeGuard([&] { qputenv("TMPDIR", oldTmp); });
        QCOMPARE(QDir::tempPath(), privateTemp.path());
        // An option file left by a run that was ended before it could remove it.
        const QString leftOver = QDir::tempPath() + QStringLiteral("/qo-dump-AbC123.cnf");
        {
            QFile f(leftOver);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[client]\npassword=\"regi\"\n");
        }

        FullBackup fb;
        QSignalSpy spy(&fb, &FullBackup::finished);
        QString error;
        QVERIFY2(fb.start(wrapper, dumper, file, &error), qPrintable(error));
        QVERIFY(!QFile::exists(leftOver));
        QCOMPARE(QDir(QDir::tempPath()).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(!fb.arguments().join(QLatin1Char(' ')).contains(QLatin1String("Tit")));
        QVERIFY(!fb.arguments().join(QLatin1Char(' ')).contains(QLatin1String("--password")));
        QVERIFY(fb.optionFilePath().startsWith(QLatin1String("/dev/fd/")));
        QVERIFY(spy.wait(120000));
        QVERIFY2(spy.at(0).at(0).toBool(), qPrintable(spy.at(0).at(1).toString()));
        QVERIFY(spy.at(0).at(1).toString().startsWith(QStringLiteral("Biztonsági mentés kész: ") + file + QStringLiteral(" (")));
        QFile seenFile(seen);
        QVERIFY(seenFile.open(QIODevice::ReadOnly));
        const QList<QByteArray> seenLines = seenFile.readAll().split('\n');
        QVERIFY(!seenLines.at(0).contains("Tit"));
        QVERIFY(seenLines.at(0).contains("--routines --triggers --events"));
        QVERIFY2(seenLines.at(1).startsWith("pipe:"), seenLines.at(1).constData());
        // No file in the temporary folder, and the option pipe is gone.
        QCOMPARE(QDir(QDir::tempPath()).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(fb.optionFilePath().isEmpty());
        QCOMPARE(QFileInfo(file).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());

        Connection::main().close();
        admin.exec(QStringLiteral("DROP DATABASE `%1`").arg(db.name()));
        restoreWithClient(test::serverParams(), file, {});
        QCOMPARE(checksums(db.params()), before);
        // The restored shop steps a work order's status with its own procedure.
        Connection restored;
        restored.open(db.params());
        const QString order = restored.query(QStringLiteral("SELECT MIN(munkalap) FROM munkalap WHERE statusz = 1")).text(0, 0);
        QVERIFY(!order.isEmpty());
        restored.exec(QStringLiteral("CALL sp_setstatusz(%1, 'admin', 2)").arg(order));
        QCOMPARE(restored.query(QStringLiteral("SELECT statusz FROM munkalap WHERE munkalap = %1").arg(order)).text(0, 0),
                 QStringLiteral("2"));

        ConnectParams wrong = db.params();
        wrong.password = QStringLiteral("rossz \"jelszó\" \\");
        const QString failed = m_dir.filePath(QStringLiteral("hibas.sql"));
        FullBackup bad;
        QSignalSpy badSpy(&bad, &FullBackup::finished);
        QVERIFY(bad.start(tool, wrong, failed, &error));
        QVERIFY(badSpy.wait(60000));
        QVERIFY(!badSpy.at(0).at(0).toBool());
        const QString msg = badSpy.at(0).at(1).toString();
        QVERIFY2(msg.contains(QStringLiteral("kilépési kód")) && msg.contains(QLatin1String("Access denied")), qPrintable(msg));
        QVERIFY(!QFile::exists(failed));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*hibas*")}, QDir::Files | QDir::Hidden), QStringList());

        FullBackup missing;
        QSignalSpy missingSpy(&missing, &FullBackup::finished);
        QVERIFY(missing.start(QStringLiteral("/nincs/ilyen/mysqldump"), db.params(), failed, &error));
        QVERIFY(missingSpy.wait(10000));
        QVERIFY(!missingSpy.at(0).at(0).toBool());
        QVERIFY(missingSpy.at(0).at(1).toString().startsWith(QStringLiteral("A mentőprogram nem indítható")));
        QVERIFY(!QFile::exists(failed));
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
