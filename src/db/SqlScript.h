#pragma once
// Splits an SQL script the way the stock command-line client reads it:
// statements end at the current delimiter outside strings, quoted names and
// comments; a "DELIMITER x" line changes the delimiter.
#include <QList>
#include <QString>

namespace qo {

struct SqlStatement {
    QString text; // without its delimiter, trimmed
    int line = 0; // 1-based line of the statement's first character
};

struct SqlScriptOptions {
    // The stock client drops comments before it sends a statement (its
    // default); keep them for a script whose statements are shown to a user.
    bool keepComments = false;
};

QList<SqlStatement> SplitSqlScript(const QString &script, SqlScriptOptions options = {});

} // namespace qo
