#pragma once
// Runs SQL text as a script, one statement at a time: lines are gathered
// until one ends with the current delimiter (";" at the start, changed by a
// line beginning "delimiter", in lower case, followed by one space and the new
// delimiter), and each statement is sent whole, so semicolons inside a
// procedure body or a text value do not split it. Needs no window: the SQL
// console drives it with a progress callback.
#include <QString>
#include <QStringList>
#include <functional>

namespace qo {

class Connection;

class SqlScriptRunner {
public:
    struct Statement {
        QString sql;   // trimmed, without its delimiter
        int lastLine;  // 0-based line that completed it
    };
    struct Result {
        bool ok = true;
        int statementsRun = 0;
        QString error;        // the server's message when a statement failed
        QString failedSql;
        QString leftOver;     // text after the last delimiter, not run
    };
    // Called once per line with the 0-based line index and the line count.
    using Progress = std::function<void(int line, int lines)>;

    explicit SqlScriptRunner(Connection &connection) : m_db(connection) {}

    // The statements of a text in running order, and what is left after the
    // last complete one.
    static QList<Statement> split(const QStringList &lines, QString *leftOver = nullptr);

    // Runs the statements in order and stops at the first one the server
    // refuses (those run before stay done: there is no transaction). A failed
    // run puts the session's foreign-key checks back as they were before it,
    // so that a backup script broken off half-way does not leave them off.
    Result run(const QStringList &lines, const Progress &progress = {});

private:
    Connection &m_db;
};

} // namespace qo
