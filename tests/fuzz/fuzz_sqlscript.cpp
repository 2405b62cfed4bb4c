// The SQL script splitter: any text splits without harm into trimmed,
// non-empty statements on ascending lines; the unfinished rest is the last
// statement when no rest is asked for; and a script made of the statements
// it found, each closed by ";", splits into the same statements again (for
// scripts without DELIMITER commands, executable comments and "--").
#include "FuzzCheck.h"
#include "db/SqlScript.h"

using namespace qo;

namespace {

void checkStatements(const QList<SqlStatement> &list, const QString &script)
{
    const int lines = int(script.count(QLatin1Char('\n'))) + 1;
    int last = 1;
    for (const SqlStatement &s : list) {
        FUZZ_CHECK(!s.text.isEmpty());
        FUZZ_EQUAL(s.text, s.text.trimmed());
        FUZZ_CHECK(s.line >= last && s.line <= lines);
        last = s.line;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString script = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    for (bool keep : {false, true}) {
        SqlScriptOptions options;
        options.keepComments = keep;
        QString rest;
        const QList<SqlStatement> finished = SplitSqlScript(script, options, &rest);
        const QList<SqlStatement> all = SplitSqlScript(script, options);
        checkStatements(finished, script);
        checkStatements(all, script);
        FUZZ_EQUAL(rest, rest.trimmed());
        FUZZ_EQUAL(int(all.size()), int(finished.size()) + (rest.isEmpty() ? 0 : 1));
        for (qsizetype k = 0; k < finished.size(); ++k)
            FUZZ_EQUAL(all[k].text, finished[k].text);
        if (!rest.isEmpty())
            FUZZ_EQUAL(all.last().text, rest);

        // Without comments kept, without DELIMITER commands and without
        // executable comments, the statements found make a script that splits
        // into themselves. An executable comment "/*!" is statement text, and
        // a statement found may hold one unclosed (corpus file
        // executable-comment-split.sql): put back together, it swallows the
        // statements after it.
        // Nor with "--" anywhere: a "--" the first pass left inside a
        // statement (before a control character, say) may start a comment
        // once the statements are put back together (corpus file
        // dashes-before-control.sql), so the count may change.
        if (keep || script.contains(QLatin1String("delimiter"), Qt::CaseInsensitive)
            || script.contains(QLatin1String("/*!")) || script.contains(QLatin1String("--")))
            continue;
        QString again;
        for (const SqlStatement &s : finished)
            again += s.text + QStringLiteral(";\n");
        QString rest2;
        const QList<SqlStatement> second = SplitSqlScript(again, options, &rest2);
        FUZZ_EQUAL(rest2, QString());
        FUZZ_EQUAL(int(second.size()), int(finished.size()));
        for (qsizetype k = 0; k < second.size(); ++k)
            FUZZ_EQUAL(second[k].text, finished[k].text);
    }
    return 0;
}
