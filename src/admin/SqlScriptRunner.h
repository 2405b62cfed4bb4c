#pragma once
// Runs SQL text as a script, one statement at a time, split as the stock
// client splits it (db/SqlScript): a statement ends where the current
// delimiter stands outside strings, quoted names and comments (";" at the
// start, changed by a "DELIMITER x" line between statements), so a ";"
// inside a text value, a procedure body run under another delimiter, or a
// comment after a statement neither splits nor glues statements. Text after
// the last delimiter is not run. Needs no window: the SQL console drives it
// with a progress callback.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace qo {

class Connection;

class SqlScriptRunner {
public:
    struct Statement {
        QString sql;   // trimmed, without its delimiter and comments
        int firstLine; // 1-based line of its first character outside comments
        int lastLine;  // 1-based line it ends on at the latest
    };
    struct Result {
        bool ok = true;
        int statementsRun = 0;
        QString error;        // the server's message when a statement failed
        QString failedSql;
        int failedNumber = 0; // 1-based number of the failed statement in the script
        int failedLine = 0;   // its first line
        QString leftOver;     // text after the last delimiter, not run
        int statementsTotal = 0;
        // Stopped by the user (JobCancelled from the progress or the
        // statement): statementsRun ran, the next one (stoppedNumber) was
        // broken off or not started, nothing after it ran.
        bool stopped = false;
        int stoppedNumber = 0;
        int stoppedLine = 0;
        // After a failed or stopped run: the session still holds an open
        // transaction, whose statements are neither stored nor undone yet.
        bool transactionOpen = false;
    };
    // Called after each statement with the statements done and their total.
    // It may throw JobCancelled to stop the run between two statements.
    using Progress = std::function<void(int done, int total)>;
    // Runs one statement; the SQL console runs it on its worker, where a stop
    // breaks it off with JobCancelled. The connection's exec() by default.
    using Exec = std::function<void(const QString &sql)>;

    explicit SqlScriptRunner(Connection &connection) : m_db(connection) {}

    // The statements of a text in running order, and the text after the last
    // complete one (empty when only blanks or comments follow it).
    static QList<Statement> split(const QString &text, QString *leftOver = nullptr);

    // A statement that would switch the session's character set (SET NAMES,
    // SET CHARACTER SET, or one of the character_set_* variables). The text
    // the runner sends is already decoded and travels in the connection's own
    // latin2, so such a statement, which a script file carries for the stock
    // client, is not passed on.
    static bool setsCharacterSet(const QString &sql);

    // Runs the statements in order and stops at the first one the server
    // refuses (those run before stay done: there is no transaction). A failed
    // run puts the session's foreign-key checks back as they were before it,
    // so that a backup script broken off half-way does not leave them off.
    // A stop (JobCancelled) ends the run the same way, and is reported in the
    // result, not thrown.
    Result run(const QString &text, const Progress &progress = {}, const Exec &exec = {});

private:
    Connection &m_db;
};

} // namespace qo
