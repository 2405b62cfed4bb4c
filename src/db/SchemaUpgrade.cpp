#include "db/SchemaUpgrade.h"
#include "db/Connection.h"
#include "db/SqlScript.h"
#include "db/SqlText.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace qo {

namespace {

const char kStepFolder[] = ":/db/steps";

const char kCreateRecordTable[] =
    "CREATE TABLE IF NOT EXISTS sema_frissites (\n"
    "  lepes    INT NOT NULL,\n"
    "  nev      VARCHAR(100),\n"
    "  idopont  DATETIME,\n"
    "  PRIMARY KEY (lepes)\n"
    ") ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci";

// Holds the server's named lock of the database while steps run, so that two
// workstations starting at once do not apply a step twice.
class UpgradeLock {
public:
    explicit UpgradeLock(Connection &db) : m_db(db)
    {
        const RowSet rs = m_db.query(QStringLiteral(
            "SELECT GET_LOCK(LEFT(CONCAT('qo_sema_frissites.', DATABASE()), 64), 60)"));
        if (rs.rowCount() == 0 || rs.toInt(0, 0, 0) != 1)
            throw Error(QStringLiteral("Az adatbázis frissítése nem kezdődhetett el: egy másik munkaállomás "
                                       "éppen frissíti. Indítsa újra a programot egy perc múlva."));
    }
    ~UpgradeLock()
    {
        try {
            m_db.exec(QStringLiteral("DO RELEASE_LOCK(LEFT(CONCAT('qo_sema_frissites.', DATABASE()), 64))"));
        } catch (const Error &) {
            // a lost link releases the lock by itself
        }
    }

private:
    Connection &m_db;
};

QString firstWords(const QString &statement, int count)
{
    // DEFINER=... and OR REPLACE do not change which right a statement needs
    // beyond what the following words say.
    QString s = statement.simplified().toUpper();
    s.replace(QRegularExpression(QStringLiteral("\\bDEFINER\\s*=\\s*\\S+\\s*")), QString());
    return s.section(QLatin1Char(' '), 0, count - 1);
}

QString tableAfter(const QString &statement, const QString &keyword)
{
    static const QRegularExpression name(QStringLiteral("^[`]?([A-Za-z0-9_$]+)[`]?"));
    const QString s = statement.simplified();
    const qsizetype at = s.indexOf(keyword, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    QString rest = s.mid(at + keyword.size()).trimmed();
    if (rest.startsWith(QLatin1String("IF NOT EXISTS "), Qt::CaseInsensitive))
        rest = rest.mid(14);
    else if (rest.startsWith(QLatin1String("IF EXISTS "), Qt::CaseInsensitive))
        rest = rest.mid(10);
    const QRegularExpressionMatch m = name.match(rest);
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

} // namespace

QString UpgradeStep::fileName() const
{
    return QStringLiteral("%1-%2").arg(number, 3, 10, QLatin1Char('0')).arg(name);
}

QList<UpgradeStep> KnownUpgradeSteps()
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{3})-(.+)\\.sql$"));
    QList<UpgradeStep> out;
    const QDir dir(QString::fromLatin1(kStepFolder));
    for (const QString &file : dir.entryList(QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch m = pattern.match(file);
        if (!m.hasMatch())
            continue;
        QFile f(dir.filePath(file));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        out.append({m.captured(1).toInt(), m.captured(2), QString::fromUtf8(f.readAll())});
    }
    std::sort(out.begin(), out.end(), [](const UpgradeStep &a, const UpgradeStep &b) { return a.number < b.number; });
    return out;
}

QList<NeededRight> SchemaUpgrade::rightsFor(const QString &script)
{
    QList<NeededRight> out;
    auto need = [&out](const char *priv, const QString &table = {}) {
        const NeededRight r{QString::fromLatin1(priv), table};
        if (!out.contains(r))
            out.append(r);
    };
    for (const SqlStatement &st : SplitSqlScript(script)) {
        const QString w = firstWords(st.text, 4);
        auto is = [&w](const char *prefix) { return w.startsWith(QLatin1String(prefix)); };
        if (is("CREATE TABLE")) {
            need("CREATE");
        } else if (is("ALTER TABLE")) {
            // The server copies the table, so it asks for all three.
            const QString t = tableAfter(st.text, QStringLiteral("TABLE"));
            need("ALTER", t);
            need("CREATE", t);
            need("INSERT", t);
        } else if (is("CREATE INDEX") || is("CREATE UNIQUE INDEX") || is("DROP INDEX")) {
            need("INDEX", tableAfter(st.text, QStringLiteral(" ON ")));
        } else if (is("CREATE TRIGGER") || is("DROP TRIGGER")) {
            need("TRIGGER", tableAfter(st.text, QStringLiteral(" ON ")));
        } else if (is("CREATE PROCEDURE") || is("CREATE FUNCTION") || is("CREATE OR REPLACE PROCEDURE")
                   || is("CREATE OR REPLACE FUNCTION")) {
            need("CREATE ROUTINE");
            if (is("CREATE OR REPLACE"))
                need("ALTER ROUTINE");
        } else if (is("DROP PROCEDURE") || is("DROP FUNCTION") || is("ALTER PROCEDURE") || is("ALTER FUNCTION")) {
            need("ALTER ROUTINE");
        } else if (is("CREATE VIEW") || is("CREATE OR REPLACE VIEW")) {
            need("CREATE VIEW");
            if (is("CREATE OR REPLACE"))
                need("DROP");
        } else if (is("DROP TABLE") || is("DROP VIEW")) {
            need("DROP");
        } else if (is("INSERT")) {
            need("INSERT", tableAfter(st.text, QStringLiteral("INTO")));
        } else if (is("UPDATE")) {
            need("UPDATE", tableAfter(st.text, QStringLiteral("UPDATE")));
        } else if (is("DELETE")) {
            need("DELETE", tableAfter(st.text, QStringLiteral("FROM")));
        }
    }
    return out;
}

SchemaUpgrade::SchemaUpgrade(Connection &db, QList<UpgradeStep> steps) : m_db(db), m_steps(std::move(steps)) {}

bool SchemaUpgrade::tableExists(const QString &table)
{
    const RowSet rs = m_db.query(QStringLiteral(
        "SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = %1")
                                     .arg(SqlQuote(table)));
    return rs.rowCount() && rs.toInt(0, 0, 0) > 0;
}

QSet<int> SchemaUpgrade::recorded()
{
    QSet<int> out;
    if (!tableExists(QStringLiteral("sema_frissites")))
        return out;
    const RowSet rs = m_db.query(QStringLiteral("SELECT lepes FROM sema_frissites"));
    for (int r = 0; r < rs.rowCount(); ++r)
        out.insert(int(rs.toInt(r, 0, 0)));
    return out;
}

int SchemaUpgrade::highestRecorded()
{
    const QSet<int> done = recorded();
    return done.isEmpty() ? 0 : *std::max_element(done.begin(), done.end());
}

QList<UpgradeStep> SchemaUpgrade::missingSteps()
{
    const QSet<int> done = recorded();
    QList<UpgradeStep> out;
    for (const UpgradeStep &s : m_steps)
        if (!done.contains(s.number))
            out.append(s);
    return out;
}

QStringList SchemaUpgrade::missingRights()
{
    const QList<UpgradeStep> missing = missingSteps();
    if (missing.isEmpty())
        return {};
    QList<NeededRight> needed;
    auto add = [&needed](const NeededRight &r) {
        if (!needed.contains(r))
            needed.append(r);
    };
    for (const UpgradeStep &s : missing)
        for (const NeededRight &r : rightsFor(s.script))
            add(r);
    if (!tableExists(QStringLiteral("sema_frissites")))
        add({QStringLiteral("CREATE"), {}});
    add({QStringLiteral("INSERT"), QStringLiteral("sema_frissites")});

    // What the account holds on this database: globally, on the database
    // (also through a wildcard grant) and on single tables.
    const QString grantee = QStringLiteral(
        "CONCAT('''', SUBSTRING_INDEX(CURRENT_USER(), '@', 1), '''@''', "
        "SUBSTRING_INDEX(CURRENT_USER(), '@', -1), '''')");
    const RowSet held = m_db.query(QStringLiteral(
        "SELECT PRIVILEGE_TYPE, '' FROM information_schema.USER_PRIVILEGES WHERE GRANTEE = %1 "
        "UNION SELECT PRIVILEGE_TYPE, '' FROM information_schema.SCHEMA_PRIVILEGES "
        "  WHERE GRANTEE = %1 AND DATABASE() LIKE TABLE_SCHEMA "
        "UNION SELECT PRIVILEGE_TYPE, LOWER(TABLE_NAME) FROM information_schema.TABLE_PRIVILEGES "
        "  WHERE GRANTEE = %1 AND TABLE_SCHEMA = DATABASE()").arg(grantee));
    QSet<QString> onDatabase;
    QSet<QString> onTable; // "PRIV table"
    for (int r = 0; r < held.rowCount(); ++r) {
        const QString priv = held.text(r, 0).toUpper();
        const QString table = held.text(r, 1);
        if (table.isEmpty())
            onDatabase.insert(priv);
        else
            onTable.insert(priv + QLatin1Char(' ') + table);
    }
    QStringList out;
    for (const NeededRight &n : needed) {
        if (onDatabase.contains(n.privilege))
            continue;
        if (!n.table.isEmpty() && onTable.contains(n.privilege + QLatin1Char(' ') + n.table))
            continue;
        const QString text = n.table.isEmpty() ? n.privilege : QStringLiteral("%1 (%2)").arg(n.privilege, n.table);
        if (!out.contains(text))
            out << text;
    }
    // A right missing on the whole database is named once, not per table.
    out.removeIf([&out](const QString &t) { return t.contains(QLatin1Char(' ')) && t.contains(QLatin1Char('('))
                                                  && out.contains(t.section(QStringLiteral(" ("), 0, 0)); });
    return out;
}

QStringList SchemaUpgrade::run()
{
    const int known = m_steps.isEmpty() ? 0 : m_steps.constLast().number;
    auto refuseNewer = [&](int highest) {
        if (highest > known)
            throw Error(QStringLiteral("Az adatbázis a program egy újabb változatához tartozik (szerkezete a(z) %1. "
                                       "frissítési lépésnél tart, ez a program csak a(z) %2. lépésig ismeri). "
                                       "Ez a program nem ír bele; indítsa a program újabb változatát.")
                            .arg(highest).arg(known));
    };
    refuseNewer(highestRecorded());
    if (missingSteps().isEmpty())
        return {};

    const QStringList lacking = missingRights();
    if (!lacking.isEmpty()) {
        const RowSet who = m_db.query(QStringLiteral("SELECT CURRENT_USER()"));
        throw Error(QStringLiteral("Az adatbázist frissíteni kell, de a(z) %1 adatbázis-felhasználónak ehhez nincs "
                                   "joga. Hiányzó jogosultság: %2. A frissítés nem kezdődött el, az adatbázis nem "
                                   "változott. Indítsa el a programot egyszer egy ilyen joggal rendelkező "
                                   "felhasználóval.")
                        .arg(who.rowCount() ? who.text(0, 0) : QString(), lacking.join(QStringLiteral(", "))));
    }

    UpgradeLock lock(m_db);
    // Another workstation may have finished some steps while we waited.
    refuseNewer(highestRecorded());
    m_db.exec(QString::fromLatin1(kCreateRecordTable));
    QStringList applied;
    for (const UpgradeStep &step : missingSteps()) {
        for (const SqlStatement &st : SplitSqlScript(step.script)) {
            try {
                m_db.exec(st.text);
            } catch (const Error &e) {
                throw Error(QStringLiteral("Az adatbázis frissítése a(z) %1 lépés %2. sorában megakadt: %3")
                                .arg(step.fileName()).arg(st.line).arg(e.message()),
                            e.code());
            }
        }
        m_db.exec(QStringLiteral("INSERT INTO sema_frissites (lepes, nev, idopont) VALUES (%1, %2, NOW())")
                      .arg(step.number)
                      .arg(SqlQuote(step.name)));
        applied << step.fileName();
    }
    return applied;
}

QString UpgradeDoneText(int count)
{
    return QStringLiteral("Adatbázis frissítve: %1 lépés.").arg(count);
}

} // namespace qo
