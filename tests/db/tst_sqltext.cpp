// The SQL-text and storable-text helpers.
#include "base/Error.h"
#include "db/SqlText.h"
#include "db/StorableText.h"

#include <QTest>

using namespace qo;

namespace {
const QVariant Null; // a NULL field value
} // namespace

class TestSqlText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sqlQuote_data();
    void sqlQuote();
    void unescapeLineBreaks_data();
    void unescapeLineBreaks();
    void flattenLineBreaks_data();
    void flattenLineBreaks();
    void sqlDateLiteral();

    void storableText_data();
    void storableText();
    void likeFilter_data();
    void likeFilter();
    void wordFilter_data();
    void wordFilter();
    void rewriteLines();
};

void TestSqlText::sqlQuote_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("escaped");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("NULL") << Null << "" << "''";
    QTest::newRow("empty") << QVariant(QString()) << "" << "''";
    QTest::newRow("O'Brien") << QVariant(QString("O'Brien")) << "O'Brien" << "'O''Brien'";
    QTest::newRow("backslash and CR LF") << QVariant(QString("a\\b\r\nc")) << "a\\\\b\\r\\nc"
                                         << "'a\\\\b\\r\\nc'";
    QTest::newRow("lone LF, lone CR") << QVariant(QString("x\ny\rz")) << "x\\ny\\rz" << "'x\\ny\\rz'";
    QTest::newRow("wildcards stay") << QVariant(QString("50%_")) << "50%_" << "'50%_'";
    QTest::newRow("number") << QVariant(12) << "12" << "'12'";
    QTest::newRow("quote after backslash") << QVariant(QString("\\'")) << "\\\\'" << "'\\\\'''";
}

void TestSqlText::sqlQuote()
{
    QFETCH(QVariant, value);
    QFETCH(QString, escaped);
    QFETCH(QString, quoted);
    QCOMPARE(SqlEscape(value), escaped);
    QCOMPARE(SqlQuote(value), quoted);
    if (!value.isNull() && value.typeId() == QMetaType::QString) {
        QCOMPARE(SqlEscape(value.toString()), escaped);
        QCOMPARE(SqlQuote(value.toString()), quoted);
    }
}

void TestSqlText::unescapeLineBreaks_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("NULL") << Null << "";
    QTest::newRow("lower") << QVariant(QString("a\\r\\nb")) << "a\r\nb";
    QTest::newRow("upper") << QVariant(QString("a\\R\\Nb")) << "a\r\nb";
    QTest::newRow("mixed") << QVariant(QString("\\r\\N\\R\\n")) << "\r\n\r\n";
    QTest::newRow("doubled backslashes") << QVariant(QString("a\\\\r\\\\nb")) << "a\\\\r\\\\nb";
    QTest::newRow("only \\n") << QVariant(QString("a\\nb")) << "a\\nb";
    QTest::newRow("too short") << QVariant(QString("x\\r\\")) << "x\\r\\";
    // The escaped form of a backslash, "r" and a line break in a value: the
    // doubled backslash stays, the real line break escape stays.
    QTest::newRow("escaped backslash before r") << QVariant(SqlEscape(QString("\\r\n"))) << "\\\\r\\n";
    // A backslash at the end of a line of the value, then the line break.
    QTest::newRow("backslash then line break") << QVariant(SqlEscape(QString("a\\\r\nb")))
                                               << "a\\\\\r\nb";
}

void TestSqlText::unescapeLineBreaks()
{
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QCOMPARE(UnescapeLineBreaks(value), expected);
}

void TestSqlText::flattenLineBreaks_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("NULL") << Null << "";
    QTest::newRow("CR LF") << QVariant(QString("a\r\nb")) << "a\\nb";
    QTest::newRow("lone LF") << QVariant(QString("a\nb")) << "ab";
    QTest::newRow("lone CR") << QVariant(QString("a\rb")) << "a\\nb";
    QTest::newRow("backslash") << QVariant(QString("c:\\x")) << "c:\\\\x";
    QTest::newRow("plain") << QVariant(QString("Kovács")) << "Kovács";
}

void TestSqlText::flattenLineBreaks()
{
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QCOMPARE(FlattenLineBreaks(value), expected);
}

void TestSqlText::sqlDateLiteral()
{
    QCOMPARE(SqlDateLiteral(QDate(2024, 3, 5)), QString("'2024-03-05'"));
    QCOMPARE(SqlDateLiteral(QDate(1999, 12, 31)), QString("'1999-12-31'"));
    QCOMPARE(SqlDateLiteral(QDate()), QString("NULL"));
}

void TestSqlText::storableText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("unstorable");
    QTest::newRow("dash") << "1990–2000" << "1990-2000" << "";
    QTest::newRow("quotes") << "„Látó” Kft." << "\"Látó\" Kft." << "";
    QTest::newRow("apostrophe") << "O’Brien" << "O'Brien" << "";
    QTest::newRow("Hungarian letters") << "Árvíztűrő tükörfúrógép ŐŰ" << "Árvíztűrő tükörfúrógép ŐŰ" << "";
    QTest::newRow("tilde letters") << "Fõ út" << "Fő út" << "";
    QTest::newRow("euro") << "100 €" << "100 €" << "€";
    QTest::newRow("Cyrillic") << "Иван" << "Иван" << "И";
    QTest::newRow("emoji") << "jó 😀 nap" << "jó 😀 nap" << "😀";
}

void TestSqlText::storableText()
{
    QFETCH(QString, typed);
    QFETCH(QString, plain);
    QFETCH(QString, unstorable);
    QCOMPARE(PlainTypography(typed), plain);
    QCOMPARE(FirstUnstorableChar(PlainTypography(typed)), unstorable);
    if (!unstorable.isEmpty())
        QCOMPARE(UnstorableCharText(unstorable), "A(z) „" + unstorable + "” karakter nem tárolható az adatbázisban.");
}

void TestSqlText::likeFilter_data()
{
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty text") << "a;b" << "" << "";
    QTest::newRow("blanks are searched") << "col" << "  " << " AND ((col LIKE '%  %'))";
    QTest::newRow("one column") << "col" << "x" << " AND ((col LIKE '%x%'))";
    QTest::newRow("two columns") << "ugyfel_nev;telefon" << "kov"
                                 << " AND ((ugyfel_nev LIKE '%kov%') OR (telefon LIKE '%kov%'))";
    QTest::newRow("expression columns")
        << "CONVERT(munkalap USING latin2);CONVERT(DATE_FORMAT(datum,'%Y.%m.%d') USING latin2)" << "12"
        << " AND ((CONVERT(munkalap USING latin2) LIKE '%12%') OR "
           "(CONVERT(DATE_FORMAT(datum,'%Y.%m.%d') USING latin2) LIKE '%12%'))";
    QTest::newRow("stops at empty column") << "a;;b" << "x" << " AND ((a LIKE '%x%'))";
    QTest::newRow("quote in text") << "n" << "O'B" << " AND ((n LIKE '%O''B%'))";
    // ")(" typed into the search box is searched for as typed.
    QTest::newRow(")( in text") << "a;b" << "x)(y"
                                << " AND ((a LIKE '%x)(y%') OR (b LIKE '%x)(y%'))";
    // LIKE's own characters are searched for as typed.
    QTest::newRow("percent") << "n" << "100%" << " AND ((n LIKE '%100\\\\%%'))";
    QTest::newRow("underscore") << "n" << "_" << " AND ((n LIKE '%\\\\_%'))";
    QTest::newRow("backslash") << "n" << "a\\b" << " AND ((n LIKE '%a\\\\\\\\b%'))";
    QString sixteen;
    QString expected = " AND (";
    for (int i = 1; i <= 16; ++i) {
        sixteen += QString("c%1;").arg(i);
        if (i <= 15)
            expected += QString(i > 1 ? " OR " : "") + QString("(c%1 LIKE '%q%')").arg(i);
    }
    QTest::newRow("at most 15 columns") << sixteen << "q" << expected + ")";
}

void TestSqlText::likeFilter()
{
    QFETCH(QString, columns);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(BuildLikeFilter(columns, text), expected);
}

void TestSqlText::wordFilter_data()
{
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << "n" << "" << "";
    QTest::newRow("blanks, commas, semicolons") << "n" << " ,; , " << "";
    QTest::newRow("ab, cd") << "lencsemarka_nev" << "ab, cd"
                            << " AND (((lencsemarka_nev LIKE '%ab%')) AND ((lencsemarka_nev LIKE '%cd%')))";
    QTest::newRow("two blanks") << "n" << "a  b" << " AND (((n LIKE '%a%')) AND ((n LIKE '%b%')))";
    QTest::newRow("two columns") << "n;t" << "x"
                                 << " AND (((n LIKE '%x%') OR (t LIKE '%x%')))";
    QTest::newRow("seventh word ignored")
        << "n" << "a b c d e f g"
        << " AND (((n LIKE '%a%')) AND ((n LIKE '%b%')) AND ((n LIKE '%c%')) AND ((n LIKE '%d%'))"
           " AND ((n LIKE '%e%')) AND ((n LIKE '%f%')))";
    // Empty pieces use up word numbers: "a" is the second piece, "g" the eighth.
    QTest::newRow("empty pieces count") << "n" << " a     g" << " AND (((n LIKE '%a%')))";
    // Six blanks, then the word: no word within the six pieces, so no condition
    // (not an empty " AND ()" the server would refuse).
    QTest::newRow("word only after six pieces") << "n" << "      x" << "";
}

void TestSqlText::wordFilter()
{
    QFETCH(QString, columns);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(BuildWordFilter(columns, text), expected);
}

void TestSqlText::rewriteLines()
{
    const QStringList base{"SELECT * FROM vw_ugyfel", "WHERE ugyfel > 0", "ORDER BY ugyfel_nev;"};

    QStringList l = base;
    QCOMPARE(ReplaceWhereLine(l, "(ugyfel > 0) AND (x = 1)"),
             QString("SELECT * FROM vw_ugyfel\nWHERE (ugyfel > 0) AND (x = 1)\nORDER BY ugyfel_nev;"));
    QCOMPARE(l.at(1), QString("WHERE (ugyfel > 0) AND (x = 1)"));

    l = base;
    QCOMPARE(ReplaceOrderByLine(l, "telefon"),
             QString("SELECT * FROM vw_ugyfel\nWHERE ugyfel > 0\nORDER BY telefon;"));

    // Lower case counts; only the first matching line changes.
    l = QStringList{"select 1", "where a", "where b"};
    ReplaceWhereLine(l, "c");
    QCOMPARE(l, QStringList({"select 1", "WHERE c", "where b"}));

    // Leading blanks: ReplaceWhereLine passes the line by, AppendToWhereLine takes it.
    l = QStringList{"SELECT 1", "  WHERE x", "ORDER BY y;"};
    QCOMPARE(ReplaceWhereLine(l, "z"), QString("SELECT 1\n  WHERE x\nORDER BY y;"));
    QCOMPARE(AppendToWhereLine(l, " AND (b = 2)"), QString("SELECT 1\n  WHERE x AND (b = 2)\nORDER BY y;"));

    l = QStringList{"SELECT 1", "WHERE (a = 1);"};
    AppendToWhereLine(l, " AND (b = 2)");
    QCOMPARE(l.at(1), QString("WHERE (a = 1) AND (b = 2);"));

    // Without the line the text stays as it was.
    l = QStringList{"SELECT * FROM t", "WHERE a"};
    QCOMPARE(ReplaceOrderByLine(l, "b"), QString("SELECT * FROM t\nWHERE a"));
    l = QStringList{"SELECT * FROM t;"};
    QCOMPARE(AppendToWhereLine(l, " AND 1"), QString("SELECT * FROM t;"));
    QCOMPARE(ReplaceWhereLine(l, "1"), QString("SELECT * FROM t;"));
}

QTEST_MAIN(TestSqlText)
#include "tst_sqltext.moc"
