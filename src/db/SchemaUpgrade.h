#pragma once
// Brings a shop database up to the program's schema: the numbered steps
// src/db/steps/NNN-name.sql (built in as resources) that the database has not
// recorded in table sema_frissites are applied in order and recorded.
#include <QList>
#include <QSet>
#include <QString>

namespace qo {

class Connection;

struct UpgradeStep {
    int number = 0;
    QString name;   // "naplo" of "001-naplo.sql"
    QString script; // the file's text, in the stock client's syntax
    QString fileName() const;
};

// The steps this program knows, in order.
QList<UpgradeStep> KnownUpgradeSteps();

// A right the steps need: the privilege and, for a table-level one, the table.
struct NeededRight {
    QString privilege; // as information_schema names it: "CREATE ROUTINE"
    QString table;     // empty: on the database
    bool operator==(const NeededRight &o) const { return privilege == o.privilege && table == o.table; }
};

class SchemaUpgrade {
public:
    explicit SchemaUpgrade(Connection &db, QList<UpgradeStep> steps = KnownUpgradeSteps());

    // The highest step recorded in the database; 0 when none (or no table).
    int highestRecorded();
    // Known steps the database has not recorded, in order.
    QList<UpgradeStep> missingSteps();
    // Rights that the missing steps (and their recording) need and the
    // session's account lacks, as "TRIGGER" or "ALTER (felhasznalo)".
    QStringList missingRights();

    // Applies every missing step. Throws qo::Error with a Hungarian message,
    // applying nothing, when the database belongs to a newer program or the
    // account lacks a right; a step that fails stops the run with its line.
    // Returns the names of the steps applied ("001-naplo").
    QStringList run();

    // The rights a script needs, read from its statements.
    static QList<NeededRight> rightsFor(const QString &script);

private:
    bool tableExists(const QString &table);
    QSet<int> recorded();
    Connection &m_db;
    QList<UpgradeStep> m_steps;
};

// The status-line text after a start that applied `count` steps.
QString UpgradeDoneText(int count);

} // namespace qo
