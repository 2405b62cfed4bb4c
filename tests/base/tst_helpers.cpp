// The shared text, date and number helpers, FieldPart and the code page.
#include "base/Codec.h"
#include "base/Error.h"
#include "base/Text.h"
#include "base/Dates.h"
#include "base/NumberFormat.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace qo;

namespace {
const QVariant Null; // a NULL field value
QByteArray utf8(const char *s) { return QByteArray(s); }
} // namespace

class TestHelpers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fieldValues();
    void fieldValueConversionErrors();

    void versions_data();
    void versions();

    void keepNumberChars_data();
    void keepNumberChars();
    void textToIntLoose_data();
    void textToIntLoose();
    void smallTextRoutines();
    void makeFileNameSafe_data();
    void makeFileNameSafe();
    void utf8ToLocal_data();
    void utf8ToLocal();

    void dates();
    void isoWeek_data();
    void isoWeek();

    void fieldPart_data();
    void fieldPart();
    void connectionRecordFields();

    void formatMask_data();
    void formatMask();

    void codecRoundTrip();
    void latin2CodePage();
    void localTextFile();
};

void TestHelpers::fieldValues()
{
    QCOMPARE(VarToTextDef(Null, "x"), QString("x"));
    QCOMPARE(VarToTextDef(QVariant(QString()), "x"), QString());
    QCOMPARE(VarToTextDef(QVariant(42), "x"), QString("42"));
    QCOMPARE(VarToIntDef(Null, -1), -1);
    QCOMPARE(VarToIntDef(QVariant(7), -1), 7);
    QCOMPARE(VarToIntDef(QVariant(QString(" 12 ")), -1), 12);
    QCOMPARE(VarToFloatDef(Null, 2.5), 2.5);
    QCOMPARE(VarToFloatDef(QVariant(QString("1250.75")), 0), 1250.75);
    QCOMPARE(VarToIntText(Null), QString("0"));
    QCOMPARE(VarToIntText(QVariant(qint64(123456789012LL))), QString("123456789012"));
    QCOMPARE(ChooseValue(true, QString("I"), QString("N")), QString("I"));
    QCOMPARE(ChooseValue(false, 1, 2), 2);
}

void TestHelpers::fieldValueConversionErrors()
{
    // A key pasted into SQL text is always a number, never the column's text.
    QVERIFY_THROWS_EXCEPTION(Error, VarToIntText(QVariant(QString("1; DROP TABLE ugyfel"))));
    QVERIFY_THROWS_EXCEPTION(Error, VarToIntDef(QVariant(QString("abc")), 0));
    QVERIFY_THROWS_EXCEPTION(Error, VarToFloatDef(QVariant(QString("12 Ft")), 0));
    // The general error box shows these texts to the user: in Hungarian.
    auto messageOf = [](const std::function<void()> &f) {
        try {
            f();
        } catch (const Error &e) {
            return e.message();
        }
        return QString();
    };
    QCOMPARE(messageOf([] { VarToIntDef(QVariant(QString("abc")), 0); }),
             QStringLiteral("'abc' nem érvényes egész szám."));
    QCOMPARE(messageOf([] { VarToFloatDef(QVariant(QString("12 Ft")), 0); }),
             QStringLiteral("'12 Ft' nem érvényes szám."));
}

void TestHelpers::versions_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("more digits") << "23.0.0.100" << "23.0.0.44" << 1;
    QTest::newRow("single digit") << "23.0.0.5" << "23.0.0.44" << -1;
    QTest::newRow("equal") << "23.0.0.44" << "23.0.0.44" << 0;
    QTest::newRow("missing parts") << "23.0" << "23.0.0.0" << 0;
    QTest::newRow("major") << "9.9.9.9" << "10.0.0.0" << -1;
    QTest::newRow("leading zero") << "23.0.0.044" << "23.0.0.44" << 0;
    QTest::newRow("text part after numbers") << "23.0.0.x" << "23.0.0.99" << 1;
}

void TestHelpers::versions()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    QCOMPARE(CompareVersions(a, b), expected);
    QCOMPARE(CompareVersions(b, a), -expected);
    QCOMPARE(HighestVersion({"23.0.0.5", "23.0.0.44", "23.0.0.100", ""}), QString("23.0.0.100"));
    QCOMPARE(HighestVersion({}), QString());
}

void TestHelpers::keepNumberChars_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("mixed points") << " -12,5.3 " << "-12,53";
    QTest::newRow("minus not first") << "a-5" << "5";
    QTest::newRow("currency") << "1 200 Ft" << "1200";
    QTest::newRow("double minus") << "--5" << "-5";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("version") << "23.0.0.44" << "23.0044";
    QTest::newRow("other digits dropped") << "١٢3" << "3";
}

void TestHelpers::keepNumberChars()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(KeepNumberChars(text), expected);
}

void TestHelpers::textToIntLoose_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("version") << "23.0.0.44" << 0;
    QTest::newRow("fourth piece") << FieldPart(".", "23.0.0.44", 4) << 44;
    QTest::newRow("port") << " 3306 " << 3306;
    QTest::newRow("decimal") << "12,5" << 0;
    QTest::newRow("negative") << "-7 db" << -7;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("minus only") << "-" << 0;
    QTest::newRow("too large") << "99999999999" << 0;
}

void TestHelpers::textToIntLoose()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(TextToIntLoose(text), expected);
}

void TestHelpers::smallTextRoutines()
{
    QCOMPARE(ReplaceChar(Null, ';', ','), QString());
    QCOMPARE(ReplaceChar(QVariant(QString("a;b;c")), ';', ','), QString("a,b,c"));
    QCOMPARE(ReplaceChar(QString("x.y"), '.', ','), QString("x,y"));
    QCOMPARE(RemoveChars(" -", "06 1-234 567"), QString("061234567"));
    QCOMPARE(LeftChars("Kovács", 3), QString("Kov"));
    QCOMPARE(LeftChars("ab", 5), QString("ab"));
    QCOMPARE(LeftChars("ab", -1), QString());
    QCOMPARE(RightChars("Kovács", 3), QString("ács"));
    QCOMPARE(RightChars("ab", 5), QString("ab"));
    QCOMPARE(LocalToUtf8("Őr"), QByteArray("\xC5\x90r"));
}

void TestHelpers::makeFileNameSafe_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("punctuation") << "A B!\"#%&'*+/:?@\\Z" << "a-b-------------z";
    QTest::newRow("kept") << "$,.;<>|€X" << "$,.;<>|€x";
    QTest::newRow("accented") << "Ügyfél lista" << "_gyf_l-lista";
    QTest::newRow("other letters") << "Šš ő" << "__-_";
    QTest::newRow("outside the code page") << "a中b" << "a_b";
}

void TestHelpers::makeFileNameSafe()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(MakeFileNameSafe(text), expected);
}

void TestHelpers::utf8ToLocal_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Őr ű é") << QString("Őr ű é").toUtf8() << "Őr ű é";
    QTest::newRow("all Hungarian letters") << QString("áéíóöőúüű ÁÉÍÓÖŐÚÜŰ").toUtf8()
                                           << "áéíóöőúüű ÁÉÍÓÖŐÚÜŰ";
    QTest::newRow("ASCII unchanged") << utf8("Verzio 23.0.0.44|x\r\n") << "Verzio 23.0.0.44|x\r\n";
    QTest::newRow("o tilde, u circumflex") << utf8("\xC3\xB5 \xC3\xBB") << "ő ű";
    QTest::newRow("combining acute") << utf8("ta\xCC\x81r e\xCC\x81s i\xCC\x81r") << "tár és ír";
    QTest::newRow("combining acute at the end") << utf8("kave\xCC\x81") << "kavé";
    QTest::newRow("registered sign dropped") << utf8("X\xC2\xAE Y") << "X Y";
    QTest::newRow("trade mark lead dropped") << utf8("Z\xE2\x84\xA2") << "Z˘";
    QTest::newRow("empty") << QByteArray() << "";
}

void TestHelpers::utf8ToLocal()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(Utf8ToLocalText(bytes), expected);
}

void TestHelpers::dates()
{
    QCOMPARE(PeriodText(QDate(2024, 2, 1), QDate(2024, 2, 29)), QString("2024.02.01 - 2024.02.29"));
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    QCOMPARE(PeriodText(QDate(2023, 12, 1), QDate(2024, 1, 9)), QString("2023.12.01 - 2024.01.09"));
    QLocale::setDefault(QLocale::c());
    QCOMPARE(YearOfDate(QDate(2024, 3, 5)), 2024);
    QCOMPARE(MonthOfDate(QDate(2024, 3, 5)), 3);
    QCOMPARE(MonthOfDate(QDate(2024, 12, 31)), 12);
}

void TestHelpers::isoWeek_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("week");
    QTest::newRow("2021-01-01 Friday") << QDate(2021, 1, 1) << 53;
    QTest::newRow("2021-01-04 Monday") << QDate(2021, 1, 4) << 1;
    QTest::newRow("2020-12-31 Thursday") << QDate(2020, 12, 31) << 53;
    QTest::newRow("2019-12-30 Monday") << QDate(2019, 12, 30) << 1;
    QTest::newRow("2024-02-29") << QDate(2024, 2, 29) << 9;
    QTest::newRow("2023-01-01 Sunday") << QDate(2023, 1, 1) << 52;
}

void TestHelpers::isoWeek()
{
    QFETCH(QDate, date);
    QFETCH(int, week);
    QCOMPARE(IsoWeekOfDate(date), week);
}

void TestHelpers::fieldPart_data()
{
    QTest::addColumn<QString>("seps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a;;b 1") << ";" << "a;;b" << 1 << "a";
    QTest::newRow("a;;b 2") << ";" << "a;;b" << 2 << "";
    QTest::newRow("a;;b 3") << ";" << "a;;b" << 3 << "b";
    QTest::newRow("a;;b 4") << ";" << "a;;b" << 4 << "";
    QTest::newRow("a;;b 0") << ";" << "a;;b" << 0 << "";
    QTest::newRow("negative") << ";" << "a;b" << -1 << "";
    QTest::newRow("leading separator") << ";" << ";x" << 1 << "";
    QTest::newRow("empty text") << ";" << "" << 1 << "";
    QTest::newRow("version") << "." << "23.0.0.44" << 4 << "44";
    QTest::newRow("two separators") << ".|" << "a.b|c" << 3 << "c";
    QTest::newRow("blank") << " " << "ab  cd" << 3 << "cd";
}

void TestHelpers::fieldPart()
{
    QFETCH(QString, seps);
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, expected);
    QCOMPARE(FieldPart(seps, text, n), expected);
}

void TestHelpers::connectionRecordFields()
{
    const QString plain = "optika;db.local;3307;kasszas;titok;Bolt 1";
    const QString trailing = plain + ";";
    for (int i = 1; i <= 6; ++i)
        QCOMPARE(FieldPart(";", trailing, i), FieldPart(";", plain, i));
    QCOMPARE(FieldPart(";", plain, 6), QString("Bolt 1"));
    QCOMPARE(FieldPart(";", trailing, 7), QString());
    QCOMPARE(FieldPart(";", "optika;h;3306;u;p", 6), QString()); // five fields: no display name
}

void TestHelpers::formatMask_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("expected");
    const QString ft = "### ### ##0";
    QTest::newRow("0") << 0.0 << ft << "0";
    QTest::newRow("999") << 999.0 << ft << "999";
    QTest::newRow("1000") << 1000.0 << ft << "1 000";
    QTest::newRow("1234567") << 1234567.0 << ft << "1 234 567";
    QTest::newRow("-35000") << -35000.0 << ft << "-35 000";
    QTest::newRow("40000.4") << 40000.4 << ft << "40 000";
    QTest::newRow("0.5") << 0.5 << ft << "1";
    QTest::newRow("-0.5") << -0.5 << ft << "-1";
    QTest::newRow("2.5 away from zero") << 2.5 << ft << "3";
    QTest::newRow("-0.4 has no minus") << -0.4 << ft << "0";
    QTest::newRow("999.5 carries") << 999.5 << ft << "1 000";
    QTest::newRow("beyond the mask") << 1234567890.0 << ft << "1 234 567 890";
    QTest::newRow("suffix") << 12500.0 << "### ##0 Ft" << "12 500 Ft";
    QTest::newRow("thousands comma") << 1234.5 << "#,##0.00" << "1 234,50";
    QTest::newRow("thousands comma, millions") << -1234567.0 << "#,##0" << "-1 234 567";
    QTest::newRow("small with decimals") << 0.125 << "#,##0.00" << "0,13";
    QTest::newRow("1.005 as it reads") << 1.005 << "0.00" << "1,01";
    QTest::newRow("optional decimals") << 2.5 << "0.##" << "2,5";
    QTest::newRow("optional decimals, whole") << 2.0 << "0.##" << "2";
    QTest::newRow("leading zeros") << 5.0 << "000" << "005";
    QTest::newRow("hash only, zero") << 0.0 << "#" << "";
    QTest::newRow("negative section") << -5.0 << "0;(0)" << "(5)";
    QTest::newRow("zero section") << 0.2 << "0;-0;\"nincs\"" << "nincs";
}

void TestHelpers::formatMask()
{
    QFETCH(double, value);
    QFETCH(QString, mask);
    QFETCH(QString, expected);
    QCOMPARE(FormatMask(value, mask), expected);
}

void TestHelpers::codecRoundTrip()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all += char(i);
    QCOMPARE(toCp1250(fromCp1250(all)), all);
    QCOMPARE(toCp1250("Őrült ű €"), QByteArray("\xD5r\xFClt \xFB \x80"));
    QCOMPARE(fromCp1250("\xD5\xDB\xF5\xFB"), QString("ŐŰőű"));
    QCOMPARE(toCp1250("a中b"), QByteArray("a?b"));
    // Found by fuzzing: two cut surrogate pairs lost a character, and a SUB
    // in the text turned every missing letter into SUB instead of "?".
    QCOMPARE(toCp1250(QString::fromUtf16(u"a\xD83D\xD83D")), QByteArray("a??"));
    QCOMPARE(toCp1250(QString::fromUtf16(u"\xDE00x\xD83D")), QByteArray("?x?"));
    QCOMPARE(toCp1250(QString::fromUtf16(u"\x001A中\x001Aő")), QByteArray("\x1a?\x1a\xf5"));
}

// Both code pages from the one codec, checked against Python's own tables:
// every latin2 byte decodes and encodes back, the latin2 -> Windows-1250 byte
// map of the writers gives what Python's converters give, and case folding
// lowers the Hungarian capitals. Half a surrogate pair becomes "?" and leaves
// nothing behind for the next conversion.
void TestHelpers::latin2CodePage()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all += char(i);
    const QString text = fromLatin2(all.constData(), int(all.size()));
    QCOMPARE(toLatin2(text), all);

    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys; b = bytes(range(256)); "
                                 "sys.stdout.buffer.write(b.decode('iso8859_2').encode('utf-8') + b'|' + "
                                 "b''.join(bytes([x]).decode('iso8859_2').encode('cp1250', 'replace') for x in b))")});
    QVERIFY(python.waitForFinished(30000));
    const QByteArray out = python.readAllStandardOutput();
    const qsizetype bar = out.lastIndexOf('|', out.size() - 257);
    QCOMPARE(out.size() - bar - 1, 256);
    QCOMPARE(text, QString::fromUtf8(out.left(bar)));
    const QByteArray cp1250 = out.mid(bar + 1);
    const auto &map = latin2ToCp1250Bytes();
    // 0x80-0x9F are control characters in latin2, kept as the platform maps them.
    for (int i = 0; i < 256; ++i)
        if (i < 0x80 || i >= 0xA0)
            QVERIFY2(map[i] == cp1250[i], qPrintable(QStringLiteral("latin2 byte %1").arg(i, 2, 16)));

    const auto &lower = latin2Lower();
    const QByteArray upper = toLatin2(QStringLiteral("ÁÉÍÓÖŐÚÜŰ AZ 1ß"));
    QByteArray folded;
    for (const char c : upper)
        folded += char(lower[uchar(c)]);
    QCOMPARE(fromLatin2(folded.constData(), int(folded.size())), QStringLiteral("áéíóöőúüű az 1ß"));

    const QString cut = QStringLiteral("a") + QChar(0xD83D);
    QCOMPARE(toLatin2(cut), QByteArray("a?"));
    QCOMPARE(toCp1250(cut), QByteArray("a?"));
    QCOMPARE(toCp1250(QStringLiteral("é")), QByteArray("\xE9")); // nothing carried over from the cut pair
    QCOMPARE(toLatin2(QStringLiteral("õû")), QByteArray("\xF5\xFB")); // kept readable as ő ű
}

void TestHelpers::localTextFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("x.txt");
    writeLocalTextFile(path, "első\nmásodik\r\nŐ\n");
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("els\xF5\r\nm\xE1sodik\r\n\xD5\r\n"));
    f.close();

    const QString bad = dir.filePath("missing/x.txt");
    try {
        writeLocalTextFile(bad, "x");
        QFAIL("no error for a missing folder");
    } catch (const Error &e) {
        QCOMPARE(e.message(), "Hiba: a fájl nem írható: " + bad + "\nA mappa nem létezik");
    }
}

QTEST_MAIN(TestHelpers)
#include "tst_helpers.moc"
