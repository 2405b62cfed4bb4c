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

// Text after the last delimiter is a statement of its own, unless `rest` is
// given: it then receives that unfinished text (trimmed, empty when none) and
// the caller decides what to do with it.
QList<SqlStatement> SplitSqlScript(const QString &script, SqlScriptOptions options = {}, QString *rest = nullptr);

} // namespace qo
