// The shop database made by schema/shop.sql, on the real server: every table
// and view column with its kind and length, the seed rows, the procedures,
// the views' rules, the foreign keys and a TRUNCATE + INSERT IGNORE restore.
#include "db/Connection.h"
#include "db/SchemaUpgrade.h"
#include "db/SqlScript.h"
#include "support/TestDb.h"

#include <QtTest>

#include <algorithm>
#include <functional>
#include <optional>
#include <thread>

using namespace qo;

namespace {

const char kDb[] = "schema_tst";

// Expected columns in order, as "name kind": text(N) is a character column of
// at most N characters, memo a long text, float a double, int an integer.
const char kUgyfel[] =
    "ugyfel int, ugyfel_nev text(75), vnev text(30), knev text(30), kapcsolat text(50), "
    "telefon text(100), emil text(75), honlap text(75), cim_irsz text(10), cim_varos text(50), "
    "cim_cim text(50), torolve text(1), dat_utolso date, dat_figyelmeztet date, csoport int, "
    "megjegyzes memo, keret text(20), keretszam text(20), szuldatum text(10)";
const char kSzemuveg[] =
    "ugyfel int, kulcs int, oldal text(5), sph text(10), cyl text(10), ax text(10), prism text(10), pd text(10)";
const char kKontakt[] =
    "ugyfel int, kulcs int, oldal text(5), sph text(10), cyl text(10), gorb text(10), ax text(10), "
    "bc text(10), dia text(10)";
const char kVizsgalat[] =
    "vizsgalat int, ugyfel int, datum date, "
    "jobbsph1 text(10), jobbcyl1 text(10), jobbax1 text(10), jobbfpd1 text(10), jobbadd1 text(10), "
    "jobbprism1 text(10), jobbegyeb1 text(10), "
    "balsph1 text(10), balcyl1 text(10), balax1 text(10), balfpd1 text(10), baladd1 text(10), "
    "balprism1 text(10), balegyeb1 text(10), "
    "jobbsph2 text(10), jobbcyl2 text(10), jobbax2 text(10), jobbbcmin2 text(10), jobbbcmax2 text(10), "
    "jobbbcatl2 text(10), jobbefpd2 text(10), "
    "balsph2 text(10), balcyl2 text(10), balax2 text(10), balbcmin2 text(10), balbcmax2 text(10), "
    "balbcatl2 text(10), balefpd2 text(10), "
    "jobbnyersv3 text(10), jobbsph3 text(10), jobbcyl3 text(10), jobbax3 text(10), jobbfpd3 text(10), "
    "jobbadd3 text(10), jobbprism3 text(10), jobbegyeb3 text(10), "
    "balnyersv3 text(10), balsph3 text(10), balcyl3 text(10), balax3 text(10), balfpd3 text(10), "
    "baladd3 text(10), balprism3 text(10), balegyeb3 text(10), "
    "jobbkorrv3 text(10), balkorv3 text(10), anamnezis memo, diagnozis memo, torolve text(1)";
const char kMunkalap[] =
    "munkalap int, mlaptipus int, ugyfel int, datum date, dat_hatid date, dat_kesz date, statusz int, "
    "keretmarka int, kerettipus text(30), lencsemarka int, tipus text(50), "
    "jobbsph text(10), jobbcyl text(10), jobbax text(10), jobbpd text(10), jobbprism text(10), jobbegyeb text(10), "
    "balsph text(10), balcyl text(10), balax text(10), balpd text(10), balprism text(10), balegyeb text(10), "
    "ar_keret float, ar_jobb float, ar_bal float, ar_adaptalas float, szoveg_adaptalas text(50), "
    "ar_szinezes float, szoveg_szinezes text(50), ar_egyeb1 float, szoveg_egyeb1 text(50), "
    "ar_egyeb2 float, szoveg_egyeb2 text(50), ar_kedvezmeny float, szoveg_kedvezmeny text(50), "
    "keretszazalek float, lencseszazalek float, eloleg float, osszar float, fizetendo float, "
    "megj text(255), storno text(1)";
const char kSzemuvegPivot[] =
    "ugyfel int, jobbsph text(10), jobbcyl text(10), jobbax text(10), jobbprism text(10), jobbpd text(10), "
    "balsph text(10), balcyl text(10), balax text(10), balprism text(10), balpd text(10)";

struct Shape {
    const char *name;
    QString columns;
};

QList<Shape> expectedTables()
{
    return {
        {"ugyfel", kUgyfel},
        {"ugyfel_sz_tavol", kSzemuveg},
        {"ugyfel_sz_kozel", kSzemuveg},
        {"ugyfel_sz_egyeb", kSzemuveg},
        {"ugyfel_k", kKontakt},
        {"vizsgalat", kVizsgalat},
        {"munkalap", kMunkalap},
        {"mlaptipus", "mlaptipus int, mlaptipus_nev text(50), szoveg memo"},
        {"lencsemarka", "lencsemarka int, lencsemarka_nev text(50)"},
        {"keretmarka", "keretmarka int, keretmarka_nev text(50)"},
        {"statusz", "statusz int, statusz_nev text(50)"},
        {"csoport", "csoport int, csoport_nev text(50)"},
        {"irsz", "irsz text(10), varos text(50)"},
        {"felhasznalo", "felhasznalo text(20), felhasznalo_nev text(20), jelszo text(255), rendszergazda text(1), "
                        "torzsszerkeszt text(1), canins text(1), canedit text(1), candel text(1)"},
        {"beallit", "beallit int, vanbelep text(1), mlaphatid int, mlapmegj memo, figynap int, a5munkalap text(1), "
                    "verzioelfogadva text(20), hirelfogadva int, megorzes_ev int, emlek_honap int, nemvitt_nap int, "
                    "emlek_level memo"},
        {"tulajdonos", "tulajdonos text(50), telefon text(25), mobil text(25), fax text(25), irsz text(5), "
                       "varos text(25), cim text(50), adoszam text(11), bankszamlaszam text(24), vallig text(30), "
                       "ugyvez text(30), kozadoszam text(30), tirsz text(5), tvaros text(25), tcim text(50), "
                       "tulajdonos_sor int"},
        {"verzio", "verzio text(20)"},
        {"uzenet", "uzenet int, szoveg memo, link text(255), csakegyszer text(1), olvasva text(1), dat_olvasva datetime"},
        {"statusz_naplo", "statusz_naplo int, munkalap int, statusz int, felhasznalo_nev text(20), idopont datetime"},
        {"naplo", "naplo int, idopont datetime, felhasznalo text(150), tabla text(64), kulcs text(100), ugyfel int, "
                  "muvelet text(20), reszlet memo"},
        {"sema_frissites", "lepes int, nev text(100), idopont datetime"},
        {"hozzajarulas", "hozzajarulas int, ugyfel int, cel text(10), megadva text(1), datum datetime, felhasznalo text(150)"},
        {"recept_elozmeny", "recept_elozmeny int, ugyfel int, fajta text(10), kulcs int, oldal text(5), sph text(10), "
                            "cyl text(10), ax text(10), prism text(10), pd text(10), gorb text(10), bc text(10), "
                            "dia text(10), ervenyes datetime, felhasznalo text(150)"},
        {"ertesites", "ertesites int, ugyfel int, datum datetime, csatorna text(10), tol date, ig date, felhasznalo text(150)"},
    };
}

QList<Shape> expectedViews()
{
    const QString kPivotK = QStringLiteral(
        "ugyfel int, jobbsph text(10), jobbcyl text(10), jobbgorb text(10), jobbax text(10), jobbbc text(10), "
        "jobbdia text(10), balsph text(10), balcyl text(10), balgorb text(10), balax text(10), balbc text(10), "
        "baldia text(10)");
    return {
        {"vw_ugyfel", QString::fromUtf8(kUgyfel) + ", csoport_nev text(50), irszvaroscim text(113)"},
        {"vw_munkalap", QString::fromUtf8(kMunkalap)
                            + ", mlaptipus_nev text(50), ugyfel_nev text(75), telefon text(100), "
                              "irszvaroscim text(113), statusz_nev text(50), keretmarka_nev text(50), "
                              "lencsemarka_nev text(50), szoveg memo"},
        {"vw_vizsgalat", QString::fromUtf8(kVizsgalat)
                             + ", ugyfel_nev text(75), irszvaroscim text(113), telefon text(100), "
                               "szuldatum text(10), anamnezisstr text(50), diagnozisstr text(50)"},
        {"vw_tulajdonos", "tulajdonos text(50), irszvaroscim text(83), telefon text(25), irsz text(5), varos text(25)"},
        {"vw_boritek", "ugyfel int, tulajdonos text(50), tulvaroscim text(77), tulirsz text(5), tultelefon text(25), "
                       "ugyfel_nev text(75), kapcsolat2 text(50), cim_irsz text(10), cim_varos text(50), "
                       "cim_cim text(50)"},
        {"vw_ugyfel_sz_tavol", kSzemuvegPivot},
        {"vw_ugyfel_sz_kozel", kSzemuvegPivot},
        {"vw_ugyfel_sz_egyeb", kSzemuvegPivot},
        {"vw_ugyfel_k", kPivotK},
    };
}

QStringList splitShape(const QString &s)
{
    QStringList out;
    for (const QString &p : s.split(QLatin1Char(',')))
        out << p.simplified();
    return out;
}

Connection &db() { return Connection::main(); }

QString value(const QString &sql)
{
    const RowSet rs = db().query(sql);
    return rs.rowCount() ? rs.text(0, 0) : QStringLiteral("<no row>");
}
bool isNullValue(const QString &sql)
{
    const RowSet rs = db().query(sql);
    return rs.rowCount() && rs.isNull(0, 0);
}
int number(const QString &sql) { return int(db().query(sql).toInt(0, 0, -999999)); }

// The server's message when the call fails, empty when it succeeds.
QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Error &e) {
        return e.message().isEmpty() ? QStringLiteral("(error without text)") : e.message();
    }
    return QString();
}

QString quoted(const QString &s)
{
    QString r = s;
    r.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    r.replace(QLatin1Char('\''), QLatin1String("''"));
    r.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    r.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

int newClient(const QString &name, const QString &extra = {}, const QString &extraValues = {})
{
    db().exec(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev%1) VALUES (%2%3)").arg(extra, quoted(name), extraValues));
    const int id = int(db().lastInsertId());
    db().exec(QStringLiteral("CALL sp_oldal(%1)").arg(id));
    return id;
}

int newOrder(int client, int type)
{
    db().exec(QStringLiteral("CALL sp_ujmunkalap(%1, %2)").arg(client).arg(type));
    return int(number(QStringLiteral("SELECT @uj_munkalap")));
}


// Every row of every base table as text, to compare before and after a restore.
// columns, when it names a table, limits it to those columns (the ones it had
// before an upgrade added more).
QString dumpAll(Connection &c, const QStringList &tables, const QHash<QString, QStringList> &columns = {})
{
    QString out;
    for (const QString &t : tables) {
        const QString cols = columns.contains(t) ? columns.value(t).join(QLatin1Char(',')) : QStringLiteral("*");
        const RowSet rs = c.query(QStringLiteral("SELECT %1 FROM %2").arg(cols, t));
        QStringList rows;
        for (int r = 0; r < rs.rowCount(); ++r) {
            QString line;
            for (int col = 0; col < rs.columnCount(); ++col)
                line += (rs.isNull(r, col) ? QStringLiteral("<NULL>") : rs.text(r, col)) + QLatin1Char('|');
            rows << line;
        }
        rows.sort();
        out += QStringLiteral("## %1 %2\n").arg(t).arg(rs.rowCount()) + rows.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    return out;
}

// One table as the data backup writes it: TRUNCATE, then INSERT IGNORE rows.
QStringList backupStatements(Connection &c, const QString &table)
{
    QStringList out{QStringLiteral("TRUNCATE %1").arg(table)};
    const RowSet rs = c.query(QStringLiteral("SELECT * FROM %1").arg(table));
    if (!rs.rowCount())
        return out;
    QStringList cols;
    for (const RowSet::Field &f : rs.fields())
        cols << f.name.toLower();
    QStringList rows;
    for (int r = 0; r < rs.rowCount(); ++r) {
        QStringList v;
        for (int col = 0; col < rs.columnCount(); ++col) {
            if (rs.isNull(r, col)) {
                v << QStringLiteral("NULL");
                continue;
            }
            switch (rs.field(col).kind) {
            case RowSet::Kind::Integer:
            case RowSet::Kind::Float:
                v << rs.text(r, col).replace(QLatin1Char(','), QLatin1Char('.'));
                break;
            case RowSet::Kind::Date:
                v << QLatin1Char('\'') + rs.toDate(r, col).toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\'');
                break;
            case RowSet::Kind::DateTime:
                v << QLatin1Char('\'') + rs.toDateTime(r, col).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                        + QLatin1Char('\'');
                break;
            default:
                v << quoted(rs.text(r, col));
            }
        }
        rows << QLatin1Char('(') + v.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    out << QStringLiteral("INSERT IGNORE INTO %1 (%2) VALUES %3").arg(table, cols.join(QLatin1Char(',')),
                                                                       rows.join(QLatin1Char(',')));
    return out;
}

QStringList baseTables(Connection &c)
{
    const RowSet rs = c.query(QStringLiteral("SHOW FULL TABLES WHERE Table_type = 'BASE TABLE'"));
    QStringList out;
    for (int r = 0; r < rs.rowCount(); ++r)
        out << rs.text(r, 0);
    out.sort();
    return out;
}


// A database made from a script file by the stock client (dropped first).
ConnectParams makeDatabase(const QString &name, const QString &script)
{
    const ConnectParams server = test::serverParams();
    Connection admin;
    admin.open(server);
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(name));
    admin.exec(QStringLiteral("CREATE DATABASE `%1` CHARACTER SET latin2 COLLATE latin2_hungarian_ci").arg(name));
    test::runScript(name, script, server);
    ConnectParams p = server;
    p.database = name;
    return p;
}

void dropDatabase(const QString &name)
{
    Connection admin;
    admin.open(test::serverParams());
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(name));
}

QString baseScript() { return QStringLiteral(QO_SOURCE_DIR "/tests/data/shop-base.sql"); }

// Everything information_schema says about the database's own objects, one
// line each, with the database's name taken out of view texts.
QStringList schemaLines(Connection &c)
{
    const QString dbName = c.query(QStringLiteral("SELECT DATABASE()")).text(0, 0);
    QStringList out;
    auto add = [&](const char *kind, const char *sql) {
        const RowSet rs = c.query(QString::fromLatin1(sql));
        for (int r = 0; r < rs.rowCount(); ++r) {
            QStringList cells;
            for (int col = 0; col < rs.columnCount(); ++col)
                cells << (rs.isNull(r, col) ? QStringLiteral("<NULL>") : rs.text(r, col).simplified());
            out << QString::fromLatin1(kind) + QLatin1Char(' ')
                    + cells.join(QLatin1Char('|')).replace(QLatin1Char('`') + dbName + QLatin1Char('`'), QStringLiteral("`DB`"));
        }
    };
    add("table", "SELECT TABLE_NAME, TABLE_TYPE, ENGINE, TABLE_COLLATION FROM information_schema.TABLES "
                 "WHERE TABLE_SCHEMA = DATABASE() ORDER BY TABLE_NAME");
    add("column", "SELECT TABLE_NAME, ORDINAL_POSITION, COLUMN_NAME, COLUMN_TYPE, IS_NULLABLE, COLUMN_DEFAULT, "
                  "CHARACTER_MAXIMUM_LENGTH, CHARACTER_SET_NAME, COLLATION_NAME, COLUMN_KEY, EXTRA "
                  "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() ORDER BY TABLE_NAME, ORDINAL_POSITION");
    add("index", "SELECT TABLE_NAME, INDEX_NAME, NON_UNIQUE, SEQ_IN_INDEX, COLUMN_NAME, SUB_PART, INDEX_TYPE "
                 "FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = DATABASE() ORDER BY 1, 2, 4");
    add("foreign key", "SELECT k.TABLE_NAME, k.CONSTRAINT_NAME, k.COLUMN_NAME, k.REFERENCED_TABLE_NAME, "
                       "k.REFERENCED_COLUMN_NAME, r.UPDATE_RULE, r.DELETE_RULE "
                       "FROM information_schema.KEY_COLUMN_USAGE k JOIN information_schema.REFERENTIAL_CONSTRAINTS r "
                       "ON r.CONSTRAINT_SCHEMA = k.CONSTRAINT_SCHEMA AND r.CONSTRAINT_NAME = k.CONSTRAINT_NAME "
                       "WHERE k.TABLE_SCHEMA = DATABASE() ORDER BY 1, 2, k.ORDINAL_POSITION");
    add("trigger", "SELECT TRIGGER_NAME, EVENT_OBJECT_TABLE, ACTION_TIMING, EVENT_MANIPULATION, ACTION_ORIENTATION, "
                   "ACTION_ORDER, ACTION_STATEMENT FROM information_schema.TRIGGERS "
                   "WHERE TRIGGER_SCHEMA = DATABASE() ORDER BY 1");
    add("routine", "SELECT ROUTINE_NAME, ROUTINE_TYPE, DTD_IDENTIFIER, ROUTINE_DEFINITION, IS_DETERMINISTIC, "
                   "SQL_DATA_ACCESS, SECURITY_TYPE FROM information_schema.ROUTINES "
                   "WHERE ROUTINE_SCHEMA = DATABASE() ORDER BY 1");
    add("parameter", "SELECT SPECIFIC_NAME, ORDINAL_POSITION, PARAMETER_MODE, PARAMETER_NAME, DTD_IDENTIFIER "
                     "FROM information_schema.PARAMETERS WHERE SPECIFIC_SCHEMA = DATABASE() ORDER BY 1, 2");
    add("view", "SELECT TABLE_NAME, VIEW_DEFINITION, CHECK_OPTION, IS_UPDATABLE FROM information_schema.VIEWS "
                "WHERE TABLE_SCHEMA = DATABASE() ORDER BY 1");
    return out;
}

// Rows in every table of the old schema, made the way the program makes them.
void fillEveryTable(Connection &c)
{
    c.exec(QStringLiteral("INSERT INTO lencsemarka (lencsemarka_nev) VALUES ('Zeiss-féle ''A''')"));
    c.exec(QStringLiteral("INSERT INTO keretmarka (keretmarka_nev) VALUES ('Acél')"));
    c.exec(QStringLiteral("INSERT INTO csoport (csoport_nev) VALUES ('Törzsvásárló')"));
    c.exec(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, telefon, megjegyzes, dat_figyelmeztet, csoport) "
                          "VALUES ('Árvíztűrő Tükörfúrógép', '+36 1 234 5678', 'Első sor\\nmásodik', '2025-02-28', 1)"));
    const qint64 client = qint64(c.lastInsertId());
    c.exec(QStringLiteral("CALL sp_oldal(%1)").arg(client));
    c.exec(QStringLiteral("UPDATE ugyfel_k SET sph = '-2,00', bc = '8,6' WHERE ugyfel = %1 AND kulcs = 1").arg(client));
    c.exec(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum, jobbsph1, anamnezis) VALUES (%1, '2024-05-06', '+1,25', 'Fáj a feje')")
               .arg(client));
    c.exec(QStringLiteral("CALL sp_ujmunkalap(%1, 1)").arg(client));
    c.exec(QStringLiteral("UPDATE munkalap SET lencsemarka = 1, keretmarka = 1, ar_keret = 12345.5, eloleg = 1000 "
                          "WHERE munkalap = @uj_munkalap"));
    c.exec(QStringLiteral("CALL sp_munkalapkesz(@uj_munkalap)"));
    c.exec(QStringLiteral("CALL sp_setstatusz(@uj_munkalap, 'Kiss Éva', 2)"));
    c.exec(QStringLiteral("INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszo, rendszergazda) "
                          "VALUES ('eva', 'Kiss Éva', 'tízbetűs10', 'N')"));
    c.exec(QStringLiteral("INSERT INTO uzenet (szoveg, link, csakegyszer) VALUES ('Frissítés jön', 'http://example.org', 'I')"));
}

} // namespace

class TestSchema : public QObject {
    Q_OBJECT

    std::optional<test::TestDb> m_db;

    // A new database for a test that changes data.
    void fresh()
    {
        m_db.reset();
        m_db.emplace(QString::fromLatin1(kDb));
    }

    // Columns of a table or view as "name kind" from information_schema.
    static QStringList actualShape(const QString &object)
    {
        const RowSet rs = db().query(QStringLiteral(
            "SELECT COLUMN_NAME, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH FROM information_schema.COLUMNS "
            "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = '%1' ORDER BY ORDINAL_POSITION").arg(object));
        QStringList out;
        for (int r = 0; r < rs.rowCount(); ++r) {
            const QString type = rs.text(r, 1).toLower();
            QString kind = type;
            if (type == QLatin1String("varchar") || type == QLatin1String("char"))
                kind = QStringLiteral("text(%1)").arg(rs.text(r, 2));
            else if (type.endsWith(QLatin1String("text")))
                kind = QStringLiteral("memo");
            else if (type == QLatin1String("double"))
                kind = QStringLiteral("float");
            else if (type == QLatin1String("bigint"))
                kind = QStringLiteral("int");
            out << rs.text(r, 0) + QLatin1Char(' ') + kind;
        }
        return out;
    }

private Q_SLOTS:
    void initTestCase() { fresh(); }
    void cleanupTestCase() { m_db.reset(); }

    void databaseCharset()
    {
        QCOMPARE(value(QStringLiteral("SELECT @@character_set_database")), QStringLiteral("latin2"));
        QCOMPARE(value(QStringLiteral("SELECT @@collation_database")), QStringLiteral("latin2_hungarian_ci"));
        // Every text column of every table and view sorts the Hungarian way.
        QCOMPARE(value(QStringLiteral(
                     "SELECT COUNT(*) FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() "
                     "AND COLLATION_NAME IS NOT NULL AND COLLATION_NAME <> 'latin2_hungarian_ci'")),
                 QStringLiteral("0"));
        QCOMPARE(value(QStringLiteral(
                     "SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() "
                     "AND TABLE_TYPE = 'BASE TABLE' AND ENGINE <> 'InnoDB'")),
                 QStringLiteral("0"));
    }

    void tableColumns_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("columns");
        for (const Shape &s : expectedTables())
            QTest::newRow(s.name) << QString::fromLatin1(s.name) << s.columns;
        for (const Shape &s : expectedViews())
            QTest::newRow(s.name) << QString::fromLatin1(s.name) << s.columns;
    }
    void tableColumns()
    {
        QFETCH(QString, object);
        QFETCH(QString, columns);
        const QStringList expected = splitShape(columns);
        const QStringList actual = actualShape(object);
        for (int i = 0; i < std::min(expected.size(), actual.size()); ++i)
            QCOMPARE(actual.at(i), expected.at(i)); // the first difference, with its position
        QCOMPARE(actual.size(), expected.size());
    }

    void noOtherTablesOrViews()
    {
        QStringList expected;
        for (const Shape &s : expectedTables())
            expected << QString::fromLatin1(s.name);
        expected.sort();
        QCOMPARE(baseTables(db()), expected);
        const RowSet rs = db().query(QStringLiteral("SHOW FULL TABLES WHERE Table_type = 'VIEW'"));
        QStringList views;
        for (int r = 0; r < rs.rowCount(); ++r)
            views << rs.text(r, 0);
        views.sort();
        QStringList expectedViews;
        for (const Shape &s : ::expectedViews())
            expectedViews << QString::fromLatin1(s.name);
        expectedViews.sort();
        QCOMPARE(views, expectedViews);
        const RowSet procs = db().query(QStringLiteral(
            "SELECT ROUTINE_NAME FROM information_schema.ROUTINES WHERE ROUTINE_SCHEMA = DATABASE() "
            "AND ROUTINE_TYPE = 'PROCEDURE' ORDER BY 1"));
        QStringList names;
        for (int r = 0; r < procs.rowCount(); ++r)
            names << procs.text(r, 0);
        QCOMPARE(names, QStringList({"sp_munkalapkesz", "sp_oldal", "sp_setstatusz", "sp_ujmunkalap"}));
    }

    void indexes_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<bool>("unique");
        QTest::newRow("client name") << "ugyfel" << "ugyfel_nev" << false;
        QTest::newRow("client phone") << "ugyfel" << "telefon" << false;
        QTest::newRow("reminder") << "ugyfel" << "dat_figyelmeztet" << false;
        QTest::newRow("order status tab") << "munkalap" << "statusz,munkalap" << false;
        QTest::newRow("order client") << "munkalap" << "ugyfel" << false;
        QTest::newRow("order date") << "munkalap" << "datum" << false;
        QTest::newRow("order done") << "munkalap" << "dat_kesz" << false;
        QTest::newRow("order lens") << "munkalap" << "lencsemarka" << false;
        QTest::newRow("order frame") << "munkalap" << "keretmarka" << false;
        QTest::newRow("exam client") << "vizsgalat" << "ugyfel" << false;
        QTest::newRow("exam date") << "vizsgalat" << "datum" << false;
        QTest::newRow("distance sides") << "ugyfel_sz_tavol" << "ugyfel,kulcs" << true;
        QTest::newRow("near sides") << "ugyfel_sz_kozel" << "ugyfel,kulcs" << true;
        QTest::newRow("special sides") << "ugyfel_sz_egyeb" << "ugyfel,kulcs" << true;
        QTest::newRow("contact sides") << "ugyfel_k" << "ugyfel,kulcs" << true;
        QTest::newRow("log by row") << "naplo" << "tabla,kulcs" << false;
        QTest::newRow("log by time") << "naplo" << "idopont" << false;
        QTest::newRow("log by client") << "naplo" << "ugyfel" << false;
        QTest::newRow("upgrade steps") << "sema_frissites" << "lepes" << true;
        QTest::newRow("consent state") << "hozzajarulas" << "ugyfel,cel,hozzajarulas" << false;
        QTest::newRow("prescription history") << "recept_elozmeny" << "ugyfel,fajta,ervenyes" << false;
        QTest::newRow("reminders told") << "ertesites" << "ugyfel,tol,ig" << false;
    }
    void indexes()
    {
        QFETCH(QString, table);
        QFETCH(QString, columns);
        QFETCH(bool, unique);
        // An index whose leading columns are exactly these, in this order.
        const RowSet rs = db().query(QStringLiteral(
            "SELECT INDEX_NAME, MIN(NON_UNIQUE), GROUP_CONCAT(COLUMN_NAME ORDER BY SEQ_IN_INDEX) "
            "FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = '%1' "
            "GROUP BY INDEX_NAME").arg(table));
        bool found = false;
        for (int r = 0; r < rs.rowCount(); ++r) {
            const QString cols = rs.text(r, 2);
            const bool isUnique = rs.toInt(r, 1) == 0;
            if ((cols == columns || (!unique && cols.startsWith(columns + QLatin1Char(',')))) && (!unique || isUnique))
                found = true;
        }
        QVERIFY2(found, qPrintable(QStringLiteral("no index on %1(%2)").arg(table, columns)));
    }

    void seedRows_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("status 1") << "SELECT statusz_nev FROM statusz WHERE statusz = 1" << "Beérkezett";
        QTest::newRow("status 2") << "SELECT statusz_nev FROM statusz WHERE statusz = 2" << "Kész";
        QTest::newRow("status 3") << "SELECT statusz_nev FROM statusz WHERE statusz = 3" << "Átadva";
        QTest::newRow("status count") << "SELECT COUNT(*) FROM statusz" << "3";
        QTest::newRow("kind 1") << "SELECT mlaptipus_nev FROM mlaptipus WHERE mlaptipus = 1" << "Szemüveg - távol";
        QTest::newRow("kind 2") << "SELECT mlaptipus_nev FROM mlaptipus WHERE mlaptipus = 2" << "Szemüveg - közel";
        QTest::newRow("kind 3") << "SELECT mlaptipus_nev FROM mlaptipus WHERE mlaptipus = 3" << "Szemüveg - speciális";
        QTest::newRow("kind 4") << "SELECT mlaptipus_nev FROM mlaptipus WHERE mlaptipus = 4" << "Kontaktlencse";
        QTest::newRow("kind texts")
            << "SELECT COUNT(*) FROM mlaptipus WHERE mlaptipus BETWEEN 1 AND 4 AND CHAR_LENGTH(szoveg) > 40" << "4";
        QTest::newRow("kind text letters")
            << "SELECT szoveg LIKE '%Panasz esetén kérjük%' FROM mlaptipus WHERE mlaptipus = 1" << "1";
        QTest::newRow("settings")
            << "SELECT CONCAT_WS('|', vanbelep, mlaphatid, figynap, a5munkalap, COUNT(*)) FROM beallit" << "N|7|30|N|1";
        QTest::newRow("news mark") << "SELECT hirelfogadva FROM beallit" << "0";
        QTest::newRow("shop") << "SELECT COUNT(*) FROM tulajdonos" << "1";
        QTest::newRow("version") << "SELECT MAX(verzio) FROM verzio" << "23.0.0.44";
        QTest::newRow("admin")
            << "SELECT CONCAT_WS('|', felhasznalo_nev, jelszo, rendszergazda, torzsszerkeszt, canins, canedit, candel)"
               " FROM felhasznalo WHERE felhasznalo = 'admin'"
            << "Rendszergazda|admin|I|I|I|I|I";
        QTest::newRow("no clients") << "SELECT COUNT(*) FROM ugyfel" << "0";
        QTest::newRow("Budapest I") << "SELECT varos FROM irsz WHERE irsz = '1011'" << "Budapest";
        QTest::newRow("Debrecen") << "SELECT varos FROM irsz WHERE irsz = '4024'" << "Debrecen";
        QTest::newRow("Szeged") << "SELECT varos FROM irsz WHERE irsz = '6720'" << "Szeged";
        QTest::newRow("Győr") << "SELECT varos FROM irsz WHERE irsz = '9021'" << "Győr";
        QTest::newRow("Nyíregyháza") << "SELECT varos FROM irsz WHERE irsz = '4400'" << "Nyíregyháza";
        QTest::newRow("Székesfehérvár") << "SELECT varos FROM irsz WHERE irsz = '8000'" << "Székesfehérvár";
        QTest::newRow("Hódmezővásárhely") << "SELECT varos FROM irsz WHERE irsz = '6800'" << "Hódmezővásárhely";
        QTest::newRow("Gödöllő") << "SELECT varos FROM irsz WHERE irsz = '2100'" << "Gödöllő";
        QTest::newRow("Érd") << "SELECT varos FROM irsz WHERE irsz = '2030'" << "Érd";
        QTest::newRow("towns") << "SELECT COUNT(DISTINCT varos) >= 30 FROM irsz" << "1";
    }
    void seedRows()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(value(sql), expected);
    }

    void hungarianLetters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("small") << QStringLiteral("áéíóöőúüű");
        QTest::newRow("capital") << QStringLiteral("ÁÉÍÓÖŐÚÜŰ");
        QTest::newRow("name") << QStringLiteral("Őrsi Ödön Ügyvéd Űrhajós");
    }
    void hungarianLetters()
    {
        QFETCH(QString, text);
        fresh();
        const int id = newClient(text);
        QCOMPARE(value(QStringLiteral("SELECT ugyfel_nev FROM vw_ugyfel WHERE ugyfel = %1").arg(id)), text);
        QCOMPARE(number(QStringLiteral("SELECT CHAR_LENGTH(ugyfel_nev) FROM ugyfel WHERE ugyfel = %1").arg(id)),
                 int(text.size()));
        // The letters are letters to the server: found case-insensitively, sorted as Hungarian.
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM ugyfel WHERE ugyfel_nev LIKE '%1'").arg(text.toUpper())), 1);
        const int order = newOrder(id, 1);
        db().exec(QStringLiteral("CALL sp_setstatusz(%1, '%2', 2)").arg(order).arg(text.left(20)));
        QCOMPARE(value(QStringLiteral("SELECT felhasznalo_nev FROM statusz_naplo WHERE munkalap = %1").arg(order)),
                 text.left(20));
    }

    void hungarianCollation()
    {
        fresh();
        for (const char *n : {"Ödön", "Oszkár", "Ottó", "Őz", "Ács", "Adorján"})
            newClient(QString::fromUtf8(n));
        const RowSet rs = db().query(QStringLiteral("SELECT ugyfel_nev FROM vw_ugyfel ORDER BY ugyfel_nev"));
        QStringList names;
        for (int r = 0; r < rs.rowCount(); ++r)
            names << rs.text(r, 0);
        // Hungarian order: A and Á together, O before Ö/Ő.
        QCOMPARE(names.indexOf(QStringLiteral("Oszkár")) < names.indexOf(QStringLiteral("Ödön")), true);
        QCOMPARE(names.indexOf(QStringLiteral("Ottó")) < names.indexOf(QStringLiteral("Őz")), true);
    }

    void spOldal_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("distance") << "ugyfel_sz_tavol";
        QTest::newRow("near") << "ugyfel_sz_kozel";
        QTest::newRow("special") << "ugyfel_sz_egyeb";
        QTest::newRow("contact") << "ugyfel_k";
    }
    void spOldal()
    {
        QFETCH(QString, table);
        fresh();
        const int other = newClient(QStringLiteral("Másik"));
        const int id = newClient(QStringLiteral("Kiss Anna")); // sp_oldal ran once
        db().exec(QStringLiteral("UPDATE %1 SET sph = '-1,25' WHERE ugyfel = %2 AND kulcs = 2").arg(table).arg(id));
        db().exec(QStringLiteral("CALL sp_oldal(%1)").arg(id));
        db().exec(QStringLiteral("CALL sp_oldal(%1)").arg(id));
        QCOMPARE(value(QStringLiteral("SELECT GROUP_CONCAT(kulcs, ':', oldal ORDER BY kulcs) FROM %1 WHERE ugyfel = %2")
                           .arg(table).arg(id)),
                 QStringLiteral("1:Jobb,2:Bal"));
        // Calling again kept what was typed in the meantime.
        QCOMPARE(value(QStringLiteral("SELECT sph FROM %1 WHERE ugyfel = %2 AND kulcs = 2").arg(table).arg(id)),
                 QStringLiteral("-1,25"));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ugyfel = %2").arg(table).arg(other)), 2);
        // An unknown client is refused, and nothing is written for it.
        QVERIFY(!errorOf([] { db().exec(QStringLiteral("CALL sp_oldal(99999)")); }).isEmpty());
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ugyfel = 99999").arg(table)), 0);
    }

    void spUjmunkalap_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("expected"); // jobb sph,cyl,ax,prism,pd | bal sph,cyl,ax,prism,pd
        QTest::newRow("distance") << 1 << "+1,00 -0,25 10 T1 31|+1,25 -0,50 170 T2 32";
        QTest::newRow("near") << 2 << "+2,00 -0,75 20 K1 29|+2,25 -1,00 160 K2 30";
        QTest::newRow("special") << 3 << "+3,00 -1,25 30 E1 30,5|+3,25 -1,50 150 E2 31,5";
        // contact lenses: base curve into prism, diameter into pd
        QTest::newRow("contact lens") << 4 << "-4,00 -1,75 40 8,6 14,2|-4,25 -2,00 140 8,7 14,0";
    }
    void spUjmunkalap()
    {
        QFETCH(int, type);
        QFETCH(QString, expected);
        fresh();
        db().exec(QStringLiteral("UPDATE beallit SET mlaphatid = 10"));
        const int other = newClient(QStringLiteral("Zaj Zoltán"));
        const int id = newClient(QStringLiteral("Nagy Éva"));
        auto set = [&](const char *t, int k, const char *values) {
            db().exec(QStringLiteral("UPDATE %1 SET %2 WHERE ugyfel = %3 AND kulcs = %4")
                          .arg(QLatin1String(t), QLatin1String(values)).arg(id).arg(k));
        };
        set("ugyfel_sz_tavol", 1, "sph='+1,00', cyl='-0,25', ax='10', prism='T1', pd='31'");
        set("ugyfel_sz_tavol", 2, "sph='+1,25', cyl='-0,50', ax='170', prism='T2', pd='32'");
        set("ugyfel_sz_kozel", 1, "sph='+2,00', cyl='-0,75', ax='20', prism='K1', pd='29'");
        set("ugyfel_sz_kozel", 2, "sph='+2,25', cyl='-1,00', ax='160', prism='K2', pd='30'");
        set("ugyfel_sz_egyeb", 1, "sph='+3,00', cyl='-1,25', ax='30', prism='E1', pd='30,5'");
        set("ugyfel_sz_egyeb", 2, "sph='+3,25', cyl='-1,50', ax='150', prism='E2', pd='31,5'");
        set("ugyfel_k", 1, "sph='-4,00', cyl='-1,75', gorb='G1', ax='40', bc='8,6', dia='14,2'");
        set("ugyfel_k", 2, "sph='-4,25', cyl='-2,00', gorb='G2', ax='140', bc='8,7', dia='14,0'");
        db().exec(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '-9,00' WHERE ugyfel = %1").arg(other));
        newOrder(other, type); // an older order of somebody else

        db().exec(QStringLiteral("CALL sp_ujmunkalap(%1, %2)").arg(id).arg(type));
        const int key = int(number(QStringLiteral("SELECT @uj_munkalap")));
        QCOMPARE(number(QStringLiteral("SELECT MAX(munkalap) FROM munkalap")), key);
        const QString row = QStringLiteral(" FROM munkalap WHERE munkalap = %1").arg(key);
        QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS(' ', jobbsph, jobbcyl, jobbax, jobbprism, jobbpd)") + row)
                     + QLatin1Char('|')
                     + value(QStringLiteral("SELECT CONCAT_WS(' ', balsph, balcyl, balax, balprism, balpd)") + row),
                 expected);
        QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS('|', ugyfel, mlaptipus, statusz, storno)") + row),
                 QStringLiteral("%1|%2|1|N").arg(id).arg(type));
        QCOMPARE(value(QStringLiteral("SELECT datum = CURDATE() AND dat_hatid = CURDATE() + INTERVAL 10 DAY") + row),
                 QStringLiteral("1"));
        QVERIFY(isNullValue(QStringLiteral("SELECT dat_kesz") + row));
        QVERIFY(isNullValue(QStringLiteral("SELECT keretmarka") + row));
        QVERIFY(isNullValue(QStringLiteral("SELECT lencsemarka") + row));
        QVERIFY(isNullValue(QStringLiteral("SELECT jobbegyeb") + row));
        QCOMPARE(value(QStringLiteral(
                     "SELECT CONCAT_WS('|', ar_keret, ar_jobb, ar_bal, ar_adaptalas, ar_szinezes, ar_egyeb1, ar_egyeb2,"
                     " ar_kedvezmeny, keretszazalek, lencseszazalek, eloleg, osszar, fizetendo)") + row),
                 QStringLiteral("0|0|0|0|0|0|0|0|0|0|0|0|0"));
        // Listed under "Beérkezett".
        QCOMPARE(value(QStringLiteral("SELECT statusz_nev FROM vw_munkalap WHERE statusz = 1 AND munkalap = %1").arg(key)),
                 QStringLiteral("Beérkezett"));
    }

    void spUjmunkalapRefuses_data()
    {
        QTest::addColumn<QString>("call");
        QTest::newRow("unknown client") << "CALL sp_ujmunkalap(99999, 1)";
        QTest::newRow("client 0") << "CALL sp_ujmunkalap(0, 1)";
        QTest::newRow("unknown kind") << "CALL sp_ujmunkalap(%1, 9)";
    }
    void spUjmunkalapRefuses()
    {
        QFETCH(QString, call);
        fresh();
        const int id = newClient(QStringLiteral("Tóth Ákos"));
        const QString sql = call.contains(QLatin1String("%1")) ? call.arg(id) : call;
        QVERIFY(!errorOf([&] { db().exec(sql); }).isEmpty());
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM munkalap")), 0);
    }

    // Two workstations creating orders at the same moment each read back their own key.
    void concurrentNewOrders()
    {
        fresh();
        const int a = newClient(QStringLiteral("Első Ügyfél"));
        const int b = newClient(QStringLiteral("Második Ügyfél"));
        Connection c1, c2;
        c1.open(m_db->params());
        c2.open(m_db->params());
        c1.exec(QStringLiteral("CALL sp_ujmunkalap(%1, 1)").arg(a));
        c2.exec(QStringLiteral("CALL sp_ujmunkalap(%1, 2)").arg(b));
        const qint64 k1 = c1.query(QStringLiteral("SELECT @uj_munkalap")).toInt(0, 0, -1);
        const qint64 k2 = c2.query(QStringLiteral("SELECT @uj_munkalap")).toInt(0, 0, -1);
        QVERIFY(k1 > 0 && k2 > 0 && k1 != k2);
        QCOMPARE(number(QStringLiteral("SELECT ugyfel FROM munkalap WHERE munkalap = %1").arg(k1)), a);
        QCOMPARE(number(QStringLiteral("SELECT ugyfel FROM munkalap WHERE munkalap = %1").arg(k2)), b);

        // The same with both stations really running at once.
        const int rounds = 40;
        std::vector<std::pair<qint64, int>> got[2];
        QString failure[2];
        auto station = [&](int n, int client) {
            try {
                Connection c;
                c.open(m_db->params());
                for (int i = 0; i < rounds; ++i) {
                    c.exec(QStringLiteral("CALL sp_ujmunkalap(%1, 1)").arg(client));
                    got[n].push_back({c.query(QStringLiteral("SELECT @uj_munkalap")).toInt(0, 0, -1), client});
                }
            } catch (const Error &e) {
                failure[n] = e.message();
            }
        };
        std::thread t1(station, 0, a), t2(station, 1, b);
        t1.join();
        t2.join();
        QCOMPARE(failure[0], QString());
        QCOMPARE(failure[1], QString());
        QSet<qint64> keys;
        for (const auto &list : got)
            for (const auto &[key, client] : list) {
                QVERIFY(!keys.contains(key));
                keys.insert(key);
                QCOMPARE(number(QStringLiteral("SELECT ugyfel FROM munkalap WHERE munkalap = %1").arg(key)),
                         client);
            }
        QCOMPARE(keys.size(), 2 * rounds);
    }

    void spSetstatusz_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("keszDaysAgo"); // -1: dat_kesz NULL
        QTest::addColumn<QString>("storno");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("error");      // expected server message, empty for success
        QTest::addColumn<int>("status");         // afterwards
        QTest::addColumn<int>("keszDaysAgoAfter");
        QTest::addColumn<int>("logRows");
        QTest::newRow("received to ready") << 1 << -1 << "N" << 2 << "" << 2 << 0 << 1;
        QTest::newRow("ready again keeps date") << 2 << 4 << "N" << 2 << "" << 2 << 4 << 0;
        QTest::newRow("ready with a date keeps it") << 1 << 3 << "N" << 2 << "" << 2 << 3 << 1;
        QTest::newRow("ready to handed over") << 2 << 5 << "N" << 3 << "" << 3 << 0 << 1;
        QTest::newRow("received to handed over") << 1 << -1 << "N" << 3 << "" << 3 << 0 << 1;
        QTest::newRow("handed over again") << 3 << 6 << "N" << 3 << "" << 3 << 6 << 0;
        QTest::newRow("no way back") << 3 << 6 << "N" << 2 << "Ez a munkalap már le lett zárva." << 3 << 6 << 0;
        QTest::newRow("ready back to received") << 2 << 2 << "N" << 1 << "A munkalap állapota már: Kész" << 2 << 2 << 0;
        QTest::newRow("cancelled") << 1 << -1 << "I" << 2 << "Sztornó munkalap" << 1 << -1 << 0;
        QTest::newRow("unknown status") << 1 << -1 << "N" << 7 << "Nincs ilyen státusz." << 1 << -1 << 0;
    }
    void spSetstatusz()
    {
        QFETCH(int, from);
        QFETCH(int, keszDaysAgo);
        QFETCH(QString, storno);
        QFETCH(int, to);
        QFETCH(QString, error);
        QFETCH(int, status);
        QFETCH(int, keszDaysAgoAfter);
        QFETCH(int, logRows);
        fresh();
        const int id = newClient(QStringLiteral("Fekete Péter"));
        const int key = newOrder(id, 1);
        const int untouched = newOrder(id, 1);
        db().exec(QStringLiteral("UPDATE munkalap SET statusz = %1, storno = '%2', dat_kesz = %3 WHERE munkalap = %4")
                      .arg(from).arg(storno)
                      .arg(keszDaysAgo < 0 ? QStringLiteral("NULL")
                                           : QStringLiteral("CURDATE() - INTERVAL %1 DAY").arg(keszDaysAgo))
                      .arg(key));
        const QString err = errorOf([&] {
            db().exec(QStringLiteral("CALL sp_setstatusz(%1,'Kiss Éva',%2);").arg(key).arg(to));
        });
        QCOMPARE(err, error);
        const QString row = QStringLiteral(" FROM munkalap WHERE munkalap = %1").arg(key);
        QCOMPARE(number(QStringLiteral("SELECT statusz") + row), status);
        if (keszDaysAgoAfter < 0)
            QVERIFY(isNullValue(QStringLiteral("SELECT dat_kesz") + row));
        else
            QCOMPARE(number(QStringLiteral("SELECT DATEDIFF(CURDATE(), dat_kesz)") + row), keszDaysAgoAfter);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM statusz_naplo")), logRows);
        if (logRows) {
            QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS('|', munkalap, statusz, felhasznalo_nev) FROM statusz_naplo")),
                     QStringLiteral("%1|%2|Kiss Éva").arg(key).arg(to));
            QVERIFY(number(QStringLiteral("SELECT ABS(TIMESTAMPDIFF(SECOND, idopont, NOW())) FROM statusz_naplo")) < 60);
        }
        QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS('|', statusz, IFNULL(dat_kesz, '-')) FROM munkalap WHERE munkalap = %1")
                           .arg(untouched)),
                 QStringLiteral("1|-"));
    }

    void spSetstatuszUnknownOrder()
    {
        fresh();
        QCOMPARE(errorOf([] { db().exec(QStringLiteral("CALL sp_setstatusz(4242,'x',2);")); }),
                 QStringLiteral("Nincs ilyen munkalap."));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM statusz_naplo")), 0);
    }

    void spMunkalapkesz_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<QString>("expected"); // ar_keret|ar_jobb|ar_bal|kedvezmeny|eloleg|osszar|fizetendo|storno
        QTest::newRow("editor values kept")
            << "ar_keret=20000, ar_jobb=10000, ar_bal=10000, eloleg=5000, osszar=39000, fizetendo=34000"
            << "20000|10000|10000|0|5000|39000|34000|N";
        QTest::newRow("nulls become 0")
            << "ar_keret=NULL, ar_jobb=NULL, ar_bal=NULL, ar_kedvezmeny=NULL, eloleg=NULL, osszar=0, fizetendo=0"
            << "0|0|0|0|0|0|0|N";
        // 20000*(1-10%) + (10000+12000)*(1-50%) + 1500 - |-500| = 18000 + 11000 + 1000
        QTest::newRow("missing total computed")
            << "ar_keret=20000, keretszazalek=10, ar_jobb=10000, ar_bal=12000, lencseszazalek=50, ar_adaptalas=1500,"
               " ar_kedvezmeny=-500, eloleg=9000, osszar=NULL, fizetendo=NULL"
            << "20000|10000|12000|-500|9000|30000|21000|N";
        QTest::newRow("missing amount due computed")
            << "ar_keret=NULL, ar_jobb=8000, ar_bal=NULL, eloleg=NULL, osszar=8000, fizetendo=NULL"
            << "0|8000|0|0|0|8000|8000|N";
    }
    void spMunkalapkesz()
    {
        QFETCH(QString, set);
        QFETCH(QString, expected);
        fresh();
        const int key = newOrder(newClient(QStringLiteral("Szabó Béla")), 1);
        const int other = newOrder(newClient(QStringLiteral("Másik")), 1);
        db().exec(QStringLiteral("UPDATE munkalap SET %1 WHERE munkalap IN (%2, %3)").arg(set).arg(key).arg(other));
        const QString cols = QStringLiteral(
            "SELECT CONCAT_WS('|', IFNULL(ar_keret,'-'), IFNULL(ar_jobb,'-'), IFNULL(ar_bal,'-'),"
            " IFNULL(ar_kedvezmeny,'-'), IFNULL(eloleg,'-'), IFNULL(osszar,'-'), IFNULL(fizetendo,'-'), storno)"
            " FROM munkalap WHERE munkalap = %1");
        const QString otherBefore = value(cols.arg(other));
        db().exec(QStringLiteral("CALL sp_munkalapkesz(%1);").arg(key));
        QCOMPARE(value(cols.arg(key)), expected);
        QCOMPARE(value(cols.arg(other)), otherBefore); // another order is not touched
        // Running it again changes nothing.
        db().exec(QStringLiteral("CALL sp_munkalapkesz(%1);").arg(key));
        QCOMPARE(value(cols.arg(key)), expected);
    }

    void addressLine_data()
    {
        QTest::addColumn<QString>("irsz");
        QTest::addColumn<QString>("varos");
        QTest::addColumn<QString>("cim");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all") << "1011" << "Budapest" << "Fő utca 1." << "1011 Budapest, Fő utca 1.";
        QTest::newRow("no code") << "" << "Budapest" << "Fő utca 1." << "Budapest, Fő utca 1.";
        QTest::newRow("null code") << "NULL" << "Budapest" << "Fő utca 1." << "Budapest, Fő utca 1.";
        QTest::newRow("no street") << "1011" << "Budapest" << "" << "1011 Budapest";
        QTest::newRow("no town") << "1011" << "" << "Fő utca 1." << "1011, Fő utca 1.";
        QTest::newRow("street only") << "" << "NULL" << "Fő utca 1." << "Fő utca 1.";
        QTest::newRow("blanks") << " " << " " << " " << "";
        QTest::newRow("nothing") << "NULL" << "NULL" << "NULL" << "";
        QTest::newRow("longest")
            << "1234567890" << QString(50, QLatin1Char('V')) << QString(50, QLatin1Char('C'))
            << "1234567890 " + QString(50, QLatin1Char('V')) + ", " + QString(50, QLatin1Char('C'));
    }
    void addressLine()
    {
        QFETCH(QString, irsz);
        QFETCH(QString, varos);
        QFETCH(QString, cim);
        QFETCH(QString, expected);
        fresh();
        auto lit = [](const QString &s) { return s == QLatin1String("NULL") ? s : quoted(s); };
        const int id = newClient(QStringLiteral("Cím Teszt"), QStringLiteral(", cim_irsz, cim_varos, cim_cim"),
                                 QStringLiteral(", %1, %2, %3").arg(lit(irsz), lit(varos), lit(cim)));
        newOrder(id, 1);
        db().exec(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum) VALUES (%1, CURDATE())").arg(id));
        for (const char *view : {"vw_ugyfel", "vw_munkalap", "vw_vizsgalat"})
            QCOMPARE(value(QStringLiteral("SELECT irszvaroscim FROM %1 WHERE ugyfel = %2").arg(QLatin1String(view)).arg(id)),
                     expected);
        // The shop's own address line is made the same way.
        db().exec(QStringLiteral("UPDATE tulajdonos SET irsz = %1, varos = %2, cim = %3")
                      .arg(lit(irsz.left(5)), lit(varos.left(25)), lit(cim)));
        if (irsz.size() <= 5 && varos.size() <= 25)
            QCOMPARE(value(QStringLiteral("SELECT irszvaroscim FROM vw_tulajdonos")), expected);
    }

    void workOrderText_data()
    {
        QTest::addColumn<QString>("kindText");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("expected");
        QTest::newRow("both") << "Átvételi feltételek." << "Nyitva: H-P 9-18" << "Átvételi feltételek.\nNyitva: H-P 9-18";
        QTest::newRow("kind only") << "Átvételi feltételek." << "NULL" << "Átvételi feltételek.";
        QTest::newRow("kind only, empty note") << "Átvételi feltételek." << "" << "Átvételi feltételek.";
        QTest::newRow("note only") << "NULL" << "Nyitva: H-P 9-18" << "Nyitva: H-P 9-18";
        QTest::newRow("note only, empty kind text") << "" << "Nyitva: H-P 9-18" << "Nyitva: H-P 9-18";
        QTest::newRow("neither") << "NULL" << "NULL" << "";
        QTest::newRow("multi-line") << "Első sor\nMásodik sor" << "Megjegyzés" << "Első sor\nMásodik sor\nMegjegyzés";
    }
    void workOrderText()
    {
        QFETCH(QString, kindText);
        QFETCH(QString, note);
        QFETCH(QString, expected);
        fresh();
        auto lit = [](const QString &s) { return s == QLatin1String("NULL") ? s : quoted(s); };
        db().exec(QStringLiteral("UPDATE mlaptipus SET szoveg = %1 WHERE mlaptipus = 2").arg(lit(kindText)));
        db().exec(QStringLiteral("UPDATE beallit SET mlapmegj = %1").arg(lit(note)));
        const int key = newOrder(newClient(QStringLiteral("Szöveg Teszt")), 2);
        QCOMPARE(value(QStringLiteral("SELECT szoveg FROM vw_munkalap WHERE munkalap = %1").arg(key)), expected);
    }

    void firstLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one line") << "Myopia simplex." << "Myopia simplex.";
        QTest::newRow("LF") << "Első sor\nmásodik sor" << "Első sor";
        QTest::newRow("CR LF") << "Első sor\r\nmásodik sor" << "Első sor";
        QTest::newRow("long") << QString(80, QChar(u'ő')) << QString(50, QChar(u'ő'));
        QTest::newRow("empty") << "" << "";
    }
    void firstLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        fresh();
        const int id = newClient(QStringLiteral("Vizsgált Ügyfél"));
        db().exec(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum, anamnezis, diagnozis) VALUES (%1, CURDATE(), %2, %2)")
                      .arg(id).arg(quoted(text)));
        QCOMPARE(value(QStringLiteral("SELECT anamnezisstr FROM vw_vizsgalat")), expected);
        QCOMPARE(value(QStringLiteral("SELECT diagnozisstr FROM vw_vizsgalat")), expected);
        QCOMPARE(value(QStringLiteral("SELECT anamnezis FROM vw_vizsgalat")), text);
    }

    void deletedRows()
    {
        fresh();
        const int keep = newClient(QStringLiteral("Marad Mária"));
        const int gone = newClient(QStringLiteral("Törölt Tamás"), QStringLiteral(", telefon"),
                                   QStringLiteral(", '+36 30 123 4567'"));
        const int order = newOrder(gone, 1);
        const int cancelled = newOrder(keep, 1);
        db().exec(QStringLiteral("UPDATE munkalap SET storno = 'I' WHERE munkalap = %1").arg(cancelled));
        db().exec(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum, diagnozis) VALUES (%1, CURDATE(), 'Marad')").arg(keep));
        db().exec(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum, diagnozis, torolve) VALUES (%1, CURDATE(), 'Törölt', 'I')").arg(keep));
        db().exec(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum, diagnozis) VALUES (%1, CURDATE(), 'Ügyfele törölt')").arg(gone));
        // The main window's delete marks the client.
        db().exec(QStringLiteral("UPDATE ugyfel SET torolve = 'I' WHERE ugyfel = %1").arg(gone));

        QCOMPARE(value(QStringLiteral("SELECT GROUP_CONCAT(ugyfel) FROM vw_ugyfel WHERE ugyfel > 0")), QString::number(keep));
        QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS('|', ugyfel_nev, telefon) FROM vw_munkalap WHERE munkalap = %1").arg(order)),
                 QStringLiteral("Törölt Tamás|+36 30 123 4567"));
        QCOMPARE(value(QStringLiteral("SELECT storno FROM vw_munkalap WHERE munkalap = %1").arg(cancelled)), QStringLiteral("I"));
        QCOMPARE(value(QStringLiteral("SELECT GROUP_CONCAT(diagnozis ORDER BY vizsgalat SEPARATOR '|') FROM vw_vizsgalat")),
                 QStringLiteral("Marad|Ügyfele törölt"));
        // Prescriptions and envelope of a client are read by key, deleted or not.
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM vw_ugyfel_sz_tavol WHERE ugyfel = %1").arg(gone)), 1);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM vw_boritek WHERE ugyfel = %1").arg(gone)), 1);
    }

    void pivotViews_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("set1");
        QTest::addColumn<QString>("set2");
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("expected");
        QTest::newRow("distance") << "ugyfel_sz_tavol" << "sph='-1,00', cyl='-0,50', ax='90', prism='1', pd='32'"
                                  << "sph='-2,00', cyl='-0,75', ax='80', prism='2', pd='33'" << "vw_ugyfel_sz_tavol"
                                  << "-1,00|-0,50|90|1|32|-2,00|-0,75|80|2|33";
        QTest::newRow("near") << "ugyfel_sz_kozel" << "sph='+1,00', pd='30'" << "sph='+1,50', pd='31'"
                              << "vw_ugyfel_sz_kozel" << "+1,00|-|-|-|30|+1,50|-|-|-|31";
        QTest::newRow("special") << "ugyfel_sz_egyeb" << "sph='+0,50'" << "ax='5'" << "vw_ugyfel_sz_egyeb"
                                 << "+0,50|-|-|-|-|-|-|5|-|-";
        QTest::newRow("contact") << "ugyfel_k" << "sph='-3,00', cyl='-0,25', gorb='7', ax='10', bc='8,6', dia='14,2'"
                                 << "sph='-3,50', cyl='-0,50', gorb='8', ax='170', bc='8,7', dia='14,0'" << "vw_ugyfel_k"
                                 << "-3,00|-0,25|7|10|8,6|14,2|-3,50|-0,50|8|170|8,7|14,0";
    }
    void pivotViews()
    {
        QFETCH(QString, table);
        QFETCH(QString, set1);
        QFETCH(QString, set2);
        QFETCH(QString, view);
        QFETCH(QString, expected);
        fresh();
        const int id = newClient(QStringLiteral("Pivot Péter"));
        const int bare = newClient(QStringLiteral("Üres Ödön"));
        db().exec(QStringLiteral("UPDATE %1 SET %2 WHERE ugyfel = %3 AND kulcs = 1").arg(table, set1).arg(id));
        db().exec(QStringLiteral("UPDATE %1 SET %2 WHERE ugyfel = %3 AND kulcs = 2").arg(table, set2).arg(id));
        const RowSet rs = db().query(QStringLiteral("SELECT * FROM %1 WHERE ugyfel = %2").arg(view).arg(id));
        QCOMPARE(rs.rowCount(), 1);
        QStringList got;
        for (int c = 1; c < rs.columnCount(); ++c)
            got << (rs.isNull(0, c) ? QStringLiteral("-") : rs.text(0, c));
        QCOMPARE(got.join(QLatin1Char('|')), expected);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM %1").arg(view)), 2);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ugyfel = %2").arg(view).arg(bare)), 1);
    }

    void envelopeAndShop()
    {
        fresh();
        db().exec(QStringLiteral("UPDATE tulajdonos SET tulajdonos = 'Éles Látás Bt.', irsz = '6720', varos = 'Szeged',"
                                 " cim = 'Kárász utca 3.', telefon = '+36 62 123 456'"));
        const int id = newClient(QStringLiteral("Boríték Borbála"), QStringLiteral(", kapcsolat, cim_irsz, cim_varos, cim_cim"),
                                 QStringLiteral(", 'Anyja: Kiss Ilona', '9021', 'Győr', 'Baross út 1.'"));
        QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS('|', ugyfel, tulajdonos, tulvaroscim, tulirsz, tultelefon, ugyfel_nev,"
                                      " kapcsolat2, cim_irsz, cim_varos, cim_cim) FROM vw_boritek")),
                 QStringLiteral("%1|Éles Látás Bt.|Szeged, Kárász utca 3.|6720|+36 62 123 456|Boríték Borbála|"
                                "Anyja: Kiss Ilona|9021|Győr|Baross út 1.").arg(id));
        QCOMPARE(value(QStringLiteral("SELECT CONCAT_WS('|', tulajdonos, irszvaroscim, telefon, irsz, varos) FROM vw_tulajdonos")),
                 QStringLiteral("Éles Látás Bt.|6720 Szeged, Kárász utca 3.|+36 62 123 456|6720|Szeged"));
        db().exec(QStringLiteral("INSERT INTO csoport (csoport_nev) VALUES ('Törzsvásárló')"));
        db().exec(QStringLiteral("UPDATE ugyfel SET csoport = %1").arg(db().lastInsertId()));
        QCOMPARE(value(QStringLiteral("SELECT csoport_nev FROM vw_ugyfel")), QStringLiteral("Törzsvásárló"));
    }

    void foreignKeys_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("refused");
        QTest::newRow("client with order") << "DELETE FROM ugyfel WHERE ugyfel = %CO" << true;
        QTest::newRow("client with examination") << "DELETE FROM ugyfel WHERE ugyfel = %CE" << true;
        QTest::newRow("used lens brand") << "DELETE FROM lencsemarka WHERE lencsemarka = %LU" << true;
        QTest::newRow("used frame brand") << "DELETE FROM keretmarka WHERE keretmarka = %KU" << true;
        QTest::newRow("used kind") << "DELETE FROM mlaptipus WHERE mlaptipus = 1" << true;
        QTest::newRow("used status") << "DELETE FROM statusz WHERE statusz = 1" << true;
        QTest::newRow("brand 0 on an order") << "UPDATE munkalap SET lencsemarka = 0 WHERE ugyfel = %CO" << true;
        QTest::newRow("order of no client") << "UPDATE munkalap SET ugyfel = 99999 WHERE ugyfel = %CO" << true;
        QTest::newRow("unused lens brand") << "DELETE FROM lencsemarka WHERE lencsemarka = %LF" << false;
        QTest::newRow("unused frame brand") << "DELETE FROM keretmarka WHERE keretmarka = %KF" << false;
        QTest::newRow("client without orders") << "DELETE FROM ugyfel WHERE ugyfel = %CF" << false;
        QTest::newRow("no brand is NULL") << "UPDATE munkalap SET lencsemarka = NULL, keretmarka = NULL" << false;
    }
    void foreignKeys()
    {
        QFETCH(QString, statement);
        QFETCH(bool, refused);
        fresh();
        const int co = newClient(QStringLiteral("Megrendelő"));
        const int ce = newClient(QStringLiteral("Vizsgált"));
        const int cf = newClient(QStringLiteral("Szabad"));
        db().exec(QStringLiteral("INSERT INTO lencsemarka (lencsemarka_nev) VALUES ('Használt lencse')"));
        const int lu = int(db().lastInsertId());
        db().exec(QStringLiteral("INSERT INTO lencsemarka (lencsemarka_nev) VALUES ('Szabad lencse')"));
        const int lf = int(db().lastInsertId());
        db().exec(QStringLiteral("INSERT INTO keretmarka (keretmarka_nev) VALUES ('Használt keret')"));
        const int ku = int(db().lastInsertId());
        db().exec(QStringLiteral("INSERT INTO keretmarka (keretmarka_nev) VALUES ('Szabad keret')"));
        const int kf = int(db().lastInsertId());
        const int order = newOrder(co, 1);
        db().exec(QStringLiteral("UPDATE munkalap SET lencsemarka = %1, keretmarka = %2 WHERE munkalap = %3").arg(lu).arg(ku).arg(order));
        db().exec(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum) VALUES (%1, CURDATE())").arg(ce));
        statement.replace(QLatin1String("%CO"), QString::number(co)).replace(QLatin1String("%CE"), QString::number(ce))
            .replace(QLatin1String("%CF"), QString::number(cf)).replace(QLatin1String("%LU"), QString::number(lu))
            .replace(QLatin1String("%LF"), QString::number(lf)).replace(QLatin1String("%KU"), QString::number(ku))
            .replace(QLatin1String("%KF"), QString::number(kf));

        const QString before = dumpAll(db(), baseTables(db()));
        unsigned code = 0;
        QString message;
        try {
            ExecSql(statement);
        } catch (const Error &e) {
            code = e.code();
            message = e.message();
        }
        if (refused) {
            QVERIFY2(code == 1451 || code == 1452, qPrintable(QStringLiteral("%1: %2").arg(code).arg(message)));
            QCOMPARE(dumpAll(db(), baseTables(db())), before);
        } else {
            QCOMPARE(message, QString());
        }
        if (statement.startsWith(QLatin1String("DELETE FROM ugyfel")) && !refused)
            for (const char *t : {"ugyfel_sz_tavol", "ugyfel_sz_kozel", "ugyfel_sz_egyeb", "ugyfel_k"})
                QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ugyfel = %2").arg(QLatin1String(t)).arg(cf)), 0);
    }

    // A data backup (TRUNCATE + INSERT IGNORE per table) restores into the
    // schema when it runs with the foreign-key checks off, whatever the order
    // of the tables in the script.
    void backupRestore_data()
    {
        QTest::addColumn<bool>("reversed");
        QTest::newRow("tables in name order") << false;
        QTest::newRow("tables in reverse order") << true;
    }
    void backupRestore()
    {
        QFETCH(bool, reversed);
        fresh();
        db().exec(QStringLiteral("INSERT INTO lencsemarka (lencsemarka_nev) VALUES ('Fény ''Plusz'''), ('Üveg\\\\Kristály')"));
        db().exec(QStringLiteral("INSERT INTO keretmarka (keretmarka_nev) VALUES ('Acél')"));
        db().exec(QStringLiteral("INSERT INTO csoport (csoport_nev) VALUES ('Törzsvásárló')"));
        const int a = newClient(QStringLiteral("Árvíztűrő Tükörfúrógép"), QStringLiteral(", megjegyzes, dat_figyelmeztet, csoport"),
                                QStringLiteral(", 'Első sor\\r\\nMásodik \"idézet\" és ''aposztróf''', '2024-02-29', 1"));
        const int b = newClient(QStringLiteral("O'Brien Ödön"));
        db().exec(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '-1,25', cyl = '-0,50', ax = '90' WHERE ugyfel = %1").arg(a));
        const int o1 = newOrder(a, 1);
        const int o2 = newOrder(b, 4);
        newOrder(b, 2);
        db().exec(QStringLiteral("UPDATE munkalap SET lencsemarka = 1, keretmarka = 1, ar_keret = 12345.5, ar_jobb = 0.1,"
                                 " keretszazalek = 33.333333333333336, osszar = 1e15, megj = 'Sürgős; \\\\ vége' WHERE munkalap = %1").arg(o1));
        db().exec(QStringLiteral("CALL sp_setstatusz(%1, 'Kiss Éva', 3)").arg(o1));
        db().exec(QStringLiteral("UPDATE munkalap SET storno = 'I' WHERE munkalap = %1").arg(o2));
        db().exec(QStringLiteral("INSERT INTO vizsgalat (ugyfel, datum, anamnezis, torolve) VALUES (%1, '2023-12-31', 'Fáj\\na feje', 'I')").arg(a));
        db().exec(QStringLiteral("INSERT INTO uzenet (szoveg, olvasva, dat_olvasva) VALUES ('Üzenet', 'I', '2024-03-05 14:07:09')"));

        // The restore's own inserts are logged by the triggers; the logs are compared apart.
        const QStringList allTables = baseTables(db());
        QStringList tables = allTables;
        tables.removeAll(QStringLiteral("naplo"));
        tables.removeAll(QStringLiteral("recept_elozmeny"));
        const QString before = dumpAll(db(), tables);
        const int logRows = number(QStringLiteral("SELECT COUNT(*) FROM naplo"));
        QStringList script;
        QStringList order = allTables;
        if (reversed)
            std::reverse(order.begin(), order.end());
        for (const QString &t : order)
            script << backupStatements(db(), t);

        // Add rows the restore must remove, and change some that it must bring back.
        const int extra = newClient(QStringLiteral("Később felvett"));
        newOrder(extra, 3);
        db().exec(QStringLiteral("UPDATE ugyfel SET ugyfel_nev = 'Átírt' WHERE ugyfel = %1").arg(a));
        db().exec(QStringLiteral("DELETE FROM ugyfel_k WHERE ugyfel = %1").arg(b));

        Connection console;
        console.open(m_db->params());
        // With the checks on, InnoDB refuses to empty a table that others refer to.
        QVERIFY(!errorOf([&] { console.exec(QStringLiteral("TRUNCATE ugyfel")); }).isEmpty());
        console.exec(QStringLiteral("SET FOREIGN_KEY_CHECKS=0"));
        for (const QString &s : script)
            console.exec(s);
        console.exec(QStringLiteral("SET FOREIGN_KEY_CHECKS=1"));

        QCOMPARE(dumpAll(db(), tables), before);
        QVERIFY(number(QStringLiteral("SELECT COUNT(*) FROM naplo")) >= logRows);
        QVERIFY(number(QStringLiteral("SELECT COUNT(*) FROM recept_elozmeny WHERE ugyfel = %1 AND sph = '-1,25'").arg(a)) >= 1);
        // The restored database works on: new keys follow the restored ones,
        // and the foreign keys still guard the data.
        const int next = newOrder(a, 1);
        QVERIFY(next > o2);
        QVERIFY(!errorOf([&] { db().exec(QStringLiteral("DELETE FROM ugyfel WHERE ugyfel = %1").arg(a)); }).isEmpty());
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM vw_munkalap WHERE ugyfel = %1").arg(b)), 2);
    }

    // ---- the script splitter ----------------------------------------------

    void splitScript_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QList<int>>("lines");
        QTest::newRow("comment after a statement")
            << "INSERT INTO t VALUES (1); # első\nINSERT INTO t VALUES (2); -- második\nSELECT 1;"
            << QStringList{"INSERT INTO t VALUES (1)", "INSERT INTO t VALUES (2)", "SELECT 1"} << QList<int>{1, 2, 3};
        QTest::newRow("string over lines ending in ;")
            << "INSERT INTO t VALUES ('első sor;\nmásodik; # nem megjegyzés\n');\nSELECT 2"
            << QStringList{"INSERT INTO t VALUES ('első sor;\nmásodik; # nem megjegyzés\n')", "SELECT 2"}
            << QList<int>{1, 4};
        QTest::newRow("escaped and doubled quotes")
            << "SELECT 'it\\'s;', \"a\"\"b;\", `x;y`, 'O''Brien;'; SELECT 3;"
            << QStringList{"SELECT 'it\\'s;', \"a\"\"b;\", `x;y`, 'O''Brien;'", "SELECT 3"} << QList<int>{1, 1};
        QTest::newRow("delimiter inside comments")
            << "/* a; b; */ SELECT 1 /* c; */ + 1;\n-- x; y;\n# z;\nSELECT 4;"
            << QStringList{"SELECT 1   + 1", "SELECT 4"} << QList<int>{1, 4};
        QTest::newRow("DELIMITER lines")
            << "DELIMITER $$\nCREATE PROCEDURE p()\nBEGIN\n  SELECT 1; -- belső $$ nem\n  SELECT 2;\nEND$$\ndelimiter ;\nCALL p();"
            << QStringList{"CREATE PROCEDURE p()\nBEGIN\n  SELECT 1; \n  SELECT 2;\nEND", "CALL p()"} << QList<int>{2, 8};
        QTest::newRow("double dash without space is an operator")
            << "SELECT 5--1;\n\n\n  SELECT 6" << QStringList{"SELECT 5--1", "SELECT 6"} << QList<int>{1, 4};
        QTest::newRow("empty statements and a last one without delimiter")
            << ";;\n ; \nSELECT 7\n" << QStringList{"SELECT 7"} << QList<int>{3};
        QTest::newRow("versioned comment is kept")
            << "SELECT /*!50001 8 */;" << QStringList{"SELECT /*!50001 8 */"} << QList<int>{1};
    }
    void splitScript()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, statements);
        QFETCH(QList<int>, lines);
        QStringList gotText;
        QList<int> gotLines;
        for (const SqlStatement &s : SplitSqlScript(script)) {
            gotText << s.text;
            gotLines << s.line;
        }
        QCOMPARE(gotText, statements);
        QCOMPARE(gotLines, lines);
    }

    void splitScriptKeepsComments()
    {
        const QList<SqlStatement> s = SplitSqlScript(QStringLiteral("-- fej\nSELECT 1; # vég\n/* x; */ SELECT 2;"),
                                                     SqlScriptOptions{true});
        QCOMPARE(s.size(), 2);
        QCOMPARE(s.at(0).text, QStringLiteral("-- fej\nSELECT 1"));
        QCOMPARE(s.at(0).line, 1);
        QCOMPARE(s.at(1).text, QStringLiteral("# vég\n/* x; */ SELECT 2"));
        QCOMPARE(s.at(1).line, 2);
    }

    // ---- schema upgrades ---------------------------------------------------

    // An old shop with rows in every table is upgraded in place: the result
    // is the schema a new shop gets, every row is kept, and a second run
    // applies nothing.
    void upgradeOldShop()
    {
        fresh();
        const QString name = QStringLiteral("schema_old");
        Connection old;
        old.open(makeDatabase(name, baseScript()));
        fillEveryTable(old);
        const QStringList oldTables = baseTables(old);
        for (const QString &t : oldTables)
            QVERIFY2(old.query(QStringLiteral("SELECT COUNT(*) FROM %1").arg(t)).toInt(0, 0) > 0, qPrintable(t));
        QHash<QString, QStringList> oldColumns;
        for (const QString &t : oldTables) {
            const RowSet shape = old.query(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(t));
            for (const RowSet::Field &f : shape.fields())
                oldColumns[t] << f.name;
        }
        const QString rowsBefore = dumpAll(old, oldTables, oldColumns);

        const QList<UpgradeStep> known = KnownUpgradeSteps();
        QVERIFY(known.size() >= 2);
        QCOMPARE(known.at(0).fileName(), QStringLiteral("001-naplo"));
        QCOMPARE(known.at(1).fileName(), QStringLiteral("002-jelszo-hash"));
        SchemaUpgrade upgrade(old);
        QCOMPARE(upgrade.highestRecorded(), 0);
        QCOMPARE(upgrade.missingSteps().size(), known.size());
        QStringList expectedNames;
        for (const UpgradeStep &s : known)
            expectedNames << s.fileName();
        QCOMPARE(upgrade.run(), expectedNames);

        const QStringList want = schemaLines(db());
        const QStringList got = schemaLines(old);
        for (const QString &line : want)
            QVERIFY2(got.contains(line), qPrintable(QStringLiteral("missing after the upgrade: ") + line));
        for (const QString &line : got)
            QVERIFY2(want.contains(line), qPrintable(QStringLiteral("not in a new shop: ") + line));
        QCOMPARE(got.size(), want.size());

        QCOMPARE(dumpAll(old, oldTables, oldColumns), rowsBefore);
        const QString steps = QStringLiteral("SELECT GROUP_CONCAT(CONCAT(lepes, ' ', nev) ORDER BY lepes) FROM sema_frissites");
        QCOMPARE(old.query(steps).text(0, 0), db().query(steps).text(0, 0));
        QCOMPARE(upgrade.highestRecorded(), known.constLast().number);
        // The prescriptions present at the upgrade are the first history entries;
        // a new client's empty sides are not.
        const RowSet first = old.query(QStringLiteral("SELECT fajta, kulcs, sph, bc FROM recept_elozmeny ORDER BY recept_elozmeny"));
        QCOMPARE(first.rowCount(), 1);
        QCOMPARE(QStringList({first.text(0, 0), first.text(0, 1), first.text(0, 2), first.text(0, 3)}),
                 QStringList({"KONTAKT", "1", "-2,00", "8,6"}));
        // The upgraded database takes a password of the new length and logs a change.
        old.exec(QStringLiteral("UPDATE felhasznalo SET jelszo = REPEAT('x', 200) WHERE felhasznalo = 'eva'"));
        QCOMPARE(old.query(QStringLiteral("SELECT CHAR_LENGTH(jelszo) FROM felhasznalo WHERE felhasznalo = 'eva'")).toInt(0, 0), 200);
        QCOMPARE(old.query(QStringLiteral("SELECT reszlet FROM naplo WHERE tabla = 'felhasznalo' AND kulcs = 'eva'")).text(0, 0),
                 QStringLiteral("jelszo: (megváltozott)"));

        // A second start finds nothing to do.
        const QString rowsAfter = dumpAll(old, baseTables(old));
        QCOMPARE(SchemaUpgrade(old).run(), QStringList());
        QCOMPARE(dumpAll(old, baseTables(old)), rowsAfter);
        old.close();
        dropDatabase(name);
    }

    // A cluster replicates rows by their primary key: every table has one,
    // tulajdonos's is invisible to the readers and writers of old, and no
    // routine picks a key as MAX() + 1 (two servers would pick the same).
    void keysForACluster()
    {
        fresh();
        Connection &c = db();
        QCOMPARE(c.query(QStringLiteral(
                              "SELECT GROUP_CONCAT(t.TABLE_NAME) FROM information_schema.TABLES t "
                              "WHERE t.TABLE_SCHEMA = DATABASE() AND t.TABLE_TYPE = 'BASE TABLE' AND NOT EXISTS ("
                              "SELECT 1 FROM information_schema.TABLE_CONSTRAINTS k WHERE k.TABLE_SCHEMA = t.TABLE_SCHEMA "
                              "AND k.TABLE_NAME = t.TABLE_NAME AND k.CONSTRAINT_TYPE = 'PRIMARY KEY')"))
                     .text(0, 0),
                 QString());
        QCOMPARE(c.query(QStringLiteral("SELECT * FROM tulajdonos")).columnCount(), 15);
        c.exec(QStringLiteral("DELETE FROM tulajdonos"));
        c.exec(QStringLiteral("INSERT INTO tulajdonos VALUES ('Éles Látás Bt.', '1', '2', '3', '6720', 'Szeged', "
                              "'Kárász u. 1.', '12345678-1', '', '', '', '', '', '', '')"));
        c.exec(QStringLiteral("INSERT INTO tulajdonos VALUES ('Második', '', '', '', '', '', '', '', '', '', '', '', '', '', '')"));
        const RowSet keys = c.query(QStringLiteral("SELECT tulajdonos_sor, tulajdonos FROM tulajdonos ORDER BY tulajdonos_sor"));
        QCOMPARE(keys.rowCount(), 2);
        QVERIFY(keys.toInt(0, 0) > 0);
        QVERIFY(keys.toInt(1, 0) > keys.toInt(0, 0));
        QCOMPARE(keys.text(0, 1), QStringLiteral("Éles Látás Bt."));
        const RowSet code = c.query(QStringLiteral(
            "SELECT ROUTINE_DEFINITION FROM information_schema.ROUTINES WHERE ROUTINE_SCHEMA = DATABASE() "
            "UNION ALL SELECT ACTION_STATEMENT FROM information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = DATABASE()"));
        QVERIFY(code.rowCount() >= 4);
        static const QRegularExpression maxPlusOne(QStringLiteral("MAX\\s*\\([^)]*\\)\\s*\\)?\\s*\\+\\s*1"),
                                                   QRegularExpression::CaseInsensitiveOption);
        for (int r = 0; r < code.rowCount(); ++r)
            QVERIFY2(!maxPlusOne.match(code.text(r, 0)).hasMatch(), qPrintable(code.text(r, 0)));
    }

    // The server keeps every state of a prescription row, whoever changes it:
    // a value change is one entry with the acting user, an update that
    // changes nothing and an empty new row are none.
    void prescriptionHistory()
    {
        fresh();
        Connection &c = db();
        c.exec(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev) VALUES ('Kovács Anna')"));
        const qint64 client = qint64(c.lastInsertId());
        c.exec(QStringLiteral("CALL sp_oldal(%1)").arg(client));
        const QString count = QStringLiteral("SELECT COUNT(*) FROM recept_elozmeny WHERE ugyfel = %1").arg(client);
        QCOMPARE(c.query(count).toInt(0, 0), 0);

        c.exec(QStringLiteral("SET @qo_felhasznalo = 'Kiss Éva'"));
        c.exec(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '-1,25', ax = '90' WHERE ugyfel = %1 AND kulcs = 2").arg(client));
        c.exec(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '-1,25' WHERE ugyfel = %1 AND kulcs = 2").arg(client));
        c.exec(QStringLiteral("SET @qo_felhasznalo = NULL"));
        c.exec(QStringLiteral("UPDATE ugyfel_k SET dia = '14,2' WHERE ugyfel = %1 AND kulcs = 1").arg(client));
        c.exec(QStringLiteral("UPDATE ugyfel_sz_tavol SET sph = '+1,25' WHERE ugyfel = %1 AND kulcs = 2").arg(client));

        const RowSet h = c.query(QStringLiteral("SELECT fajta, kulcs, sph, ax, dia, felhasznalo FROM recept_elozmeny "
                                                "WHERE ugyfel = %1 ORDER BY recept_elozmeny").arg(client));
        QCOMPARE(h.rowCount(), 3);
        QCOMPARE(QStringList({h.text(0, 0), h.text(0, 1), h.text(0, 2), h.text(0, 3), h.text(0, 5)}),
                 QStringList({"TAVOL", "2", "-1,25", "90", "Kiss Éva"}));
        QCOMPARE(QStringList({h.text(1, 0), h.text(1, 4)}), QStringList({"KONTAKT", "14,2"}));
        QVERIFY2(h.text(1, 5).contains(QLatin1Char('@')), qPrintable(h.text(1, 5))); // the database account
        QCOMPARE(QStringList({h.text(2, 2), h.text(2, 3)}), QStringList({"+1,25", "90"}));

        // Erasing the client takes the history with it.
        c.exec(QStringLiteral("DELETE FROM ugyfel WHERE ugyfel = %1").arg(client));
        QCOMPARE(c.query(count).toInt(0, 0), 0);
    }

    // A database that a newer program has upgraded is left alone.
    void upgradeRefusesNewerDatabase()
    {
        const QString name = QStringLiteral("schema_newer");
        Connection c;
        c.open(makeDatabase(name, baseScript()));
        c.exec(QStringLiteral("CREATE TABLE sema_frissites (lepes INT NOT NULL PRIMARY KEY, nev VARCHAR(100), idopont DATETIME)"));
        c.exec(QStringLiteral("INSERT INTO sema_frissites VALUES (1, 'naplo', NOW()), (999, 'jovobeli', NOW())"));
        const QString before = dumpAll(c, baseTables(c));
        const QString message = errorOf([&] { SchemaUpgrade(c).run(); });
        QVERIFY2(message.contains(QStringLiteral("újabb változatához tartozik")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("nem ír bele")), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("999")));
        // Step 002 is missing here, yet nothing was applied.
        QCOMPARE(c.query(QStringLiteral("SELECT CHARACTER_MAXIMUM_LENGTH FROM information_schema.COLUMNS WHERE "
                                        "TABLE_SCHEMA = DATABASE() AND TABLE_NAME = 'felhasznalo' AND COLUMN_NAME = 'jelszo'")).toInt(0, 0), 10);
        QCOMPARE(dumpAll(c, baseTables(c)), before);
        c.close();
        dropDatabase(name);
    }

    // An account that may not create triggers is told so before anything
    // changes; once it has the right, the same account upgrades.
    void upgradeNeedsRights()
    {
        const QString name = QStringLiteral("schema_rights");
        const ConnectParams owner = makeDatabase(name, baseScript());
        Connection admin;
        admin.open(test::serverParams());
        const QStringList hosts{QStringLiteral("127.0.0.1"), QStringLiteral("localhost")};
        for (const QString &h : hosts) {
            admin.exec(QStringLiteral("DROP USER IF EXISTS 'qo_kevesjog'@'%1'").arg(h));
            admin.exec(QStringLiteral("CREATE USER 'qo_kevesjog'@'%1' IDENTIFIED BY 'kj'").arg(h));
            admin.exec(QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE, CREATE, ALTER, INDEX, DROP, EXECUTE "
                                      "ON `%1`.* TO 'qo_kevesjog'@'%2'").arg(name, h));
        }
        ConnectParams p = owner;
        p.user = QStringLiteral("qo_kevesjog");
        p.password = QStringLiteral("kj");
        Connection c;
        c.open(p);
        const QString before = dumpAll(c, baseTables(c));
        SchemaUpgrade upgrade(c);
        QCOMPARE(upgrade.missingRights(), QStringList{QStringLiteral("TRIGGER")});
        const QString message = errorOf([&] { upgrade.run(); });
        QVERIFY2(message.contains(QStringLiteral("Hiányzó jogosultság: TRIGGER.")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("qo_kevesjog@")), qPrintable(message));
        QCOMPARE(baseTables(c).contains(QStringLiteral("naplo")), false);
        QCOMPARE(baseTables(c).contains(QStringLiteral("sema_frissites")), false);
        QCOMPARE(dumpAll(c, baseTables(c)), before);

        for (const QString &h : hosts)
            admin.exec(QStringLiteral("GRANT TRIGGER ON `%1`.* TO 'qo_kevesjog'@'%2'").arg(name, h));
        c.close();
        c.open(p);
        QCOMPARE(SchemaUpgrade(c).missingRights(), QStringList());
        QCOMPARE(SchemaUpgrade(c).run().size(), KnownUpgradeSteps().size());
        c.close();
        for (const QString &h : hosts)
            admin.exec(QStringLiteral("DROP USER IF EXISTS 'qo_kevesjog'@'%1'").arg(h));
        dropDatabase(name);
    }

    void rightsOfStatements()
    {
        const QList<NeededRight> r = SchemaUpgrade::rightsFor(QStringLiteral(
            "CREATE TABLE IF NOT EXISTS x (a INT);\n"
            "ALTER TABLE felhasznalo MODIFY jelszo VARCHAR(255);\n"
            "DELIMITER $$\nCREATE DEFINER=`a`@`%` TRIGGER t AFTER INSERT ON ugyfel FOR EACH ROW BEGIN INSERT INTO naplo VALUES (1); END$$\n"
            "CREATE PROCEDURE p() BEGIN UPDATE x SET a = 1; END$$\nDELIMITER ;\n"
            "INSERT INTO beallit (beallit) VALUES (2);"));
        QStringList got;
        for (const NeededRight &n : r)
            got << (n.table.isEmpty() ? n.privilege : n.privilege + QLatin1Char(' ') + n.table);
        QCOMPARE(got, QStringList({"CREATE", "ALTER felhasznalo", "CREATE felhasznalo", "INSERT felhasznalo",
                                   "TRIGGER ugyfel", "CREATE ROUTINE", "INSERT beallit"}));
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
