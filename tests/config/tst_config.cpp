// The local configuration file: where it lies, typed values, window
// placement, scrambling and the stored connection records.
#include "base/Codec.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "base/Error.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qo;

class TestConfig : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_prog; // a program folder holding the configuration file

    QByteArray fileBytes() const
    {
        QFile f(ConfigFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void setFileBytes(const QByteArray &b) const
    {
        QFile f(ConfigFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(b);
    }

private Q_SLOTS:
    void init();

    void dataFolderChoice();
    void missingDataFolderIsCreated();

    void readInt_data();
    void readInt();
    void readBool_data();
    void readBool();
    void namesIgnoreCase();
    void writesKeepTheRest();
    void lfOnlyFileIsRead();
    void longValuesAreCut();
    void textIsWindows1250();
    void deleteKey();
    void unwritableFile();
    void fullDiskKeepsTheFile();
    void unreadableFileIsNeverOverwritten();

    void connectionFieldsRoundTrip_data();
    void connectionFieldsRoundTrip();
    void placement_data();
    void placement();
    void positionDefaultsAndSave();

    void scrambleAllBytes();
    void scrambleShape();
    void scrambleExample();

    void storedConnections();
    void storeNewConnection_data();
    void storeNewConnection();
    void storeNewConnectionWhenFull();
    void passwordRoundTripThroughFile_data();
    void passwordRoundTripThroughFile();
    void replaceStoredConnections();
    void storedConnectionTls();
};

void TestConfig::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Keep the application-data folder inside the test's folder.
    qputenv("XDG_DATA_HOME", m_dir->filePath("share").toLocal8Bit());
    m_prog = m_dir->filePath("prog");
    QVERIFY(QDir().mkpath(m_prog));
    QFile f(m_prog + "/QuorvinOpt.ini");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    initFolders(m_prog + "/");
    setWorkAreaForTests(QRect(0, 0, 1920, 1080));
}

void TestConfig::dataFolderChoice()
{
    // The file beside the program: everything goes there.
    QCOMPARE(ProgramFolder(), m_prog);
    QCOMPARE(DataFolder(), m_prog);
    QCOMPARE(ConfigFile(), m_prog + "/QuorvinOpt.ini");
    WriteConfigString("Alapertek", "AlapVaros", "Szeged");
    QCOMPARE(ReadConfigString("alapertek", "alapvaros"), QString("Szeged"));

    // Without it: the machine-wide data folder; the program folder's case is kept.
    const QString other = m_dir->filePath("Program Files/QuorvinOpt");
    QVERIFY(QDir().mkpath(other));
    initFolders(other);
    QCOMPARE(ProgramFolder(), other);
    const QString data = m_dir->filePath("share") + "/QuorvinOpt";
    QCOMPARE(DataFolder(), data);
    QCOMPARE(ConfigFile(), data + "/QuorvinOpt.ini");
    QCOMPARE(ReadConfigString("Alapertek", "AlapVaros", "-"), QString("-"));
}

void TestConfig::missingDataFolderIsCreated()
{
    const QString data = m_dir->filePath("share") + "/QuorvinOpt";
    QVERIFY(!QFileInfo::exists(data));
    initFolders(m_dir->filePath("elsewhere"));
    QVERIFY(QFileInfo(data).isDir());
    // A first run can store its connection at once.
    QCOMPARE(StoreNewConnection("optika;localhost;3306;u;p;Bolt"), 1);
    QVERIFY(QFileInfo::exists(data + "/QuorvinOpt.ini"));
}

void TestConfig::readInt_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << QByteArray("7") << 7;
    QTest::newRow("hex") << QByteArray("0x0A") << 10;
    QTest::newRow("hex upper X") << QByteArray("0X1f") << 31;
    QTest::newRow("negative") << QByteArray("-25") << -25;
    QTest::newRow("blanks around") << QByteArray("  12  ") << 12;
    QTest::newRow("junk") << QByteArray("kilenc") << 99;
    QTest::newRow("number then junk") << QByteArray("12pt") << 99;
    QTest::newRow("bare 0x") << QByteArray("0x") << 99;
    QTest::newRow("empty") << QByteArray("") << 99;
    QTest::newRow("decimal point") << QByteArray("9.5") << 99;
}

void TestConfig::readInt()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, expected);
    setFileBytes("[Alapertek]\r\nBetumeret=" + stored + "\r\n");
    QCOMPARE(ReadConfigInt("Alapertek", "Betumeret", 99), expected);
    QCOMPARE(ReadConfigInt("Alapertek", "Nincs", 99), 99);
}

void TestConfig::readBool_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("def");
    QTest::addColumn<bool>("expected");
    QTest::newRow("0") << QByteArray("TeljesKep=0") << true << false;
    QTest::newRow("1") << QByteArray("TeljesKep=1") << false << true;
    QTest::newRow("other non-zero") << QByteArray("TeljesKep=2") << false << true;
    QTest::newRow("missing, default true") << QByteArray("Mas=0") << true << true;
    QTest::newRow("missing, default false") << QByteArray("Mas=1") << false << false;
    QTest::newRow("words are no numbers") << QByteArray("TeljesKep=false") << true << true;
}

void TestConfig::readBool()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, def);
    QFETCH(bool, expected);
    setFileBytes("[Alapertek]\r\n" + line + "\r\n");
    QCOMPARE(ReadConfigBool("Alapertek", "TeljesKep", def), expected);
    WriteConfigBool("Alapertek", "TeljesKep", !expected);
    QVERIFY(fileBytes().contains(expected ? "TeljesKep=0\r\n" : "TeljesKep=1\r\n"));
}

void TestConfig::namesIgnoreCase()
{
    setFileBytes("[ALAPERTEK]\r\nbetuMERET=10\r\n[frm_Main]\r\nLeft=3\r\n");
    QCOMPARE(ReadConfigInt("Alapertek", "Betumeret", 9), 10);
    QVERIFY(ConfigKeyExists("alapertek", "BETUMERET"));
    WriteConfigInt("alapertek", "BETUMERET", 8);
    // The key's line is changed in place: one section, one key.
    QCOMPARE(fileBytes(), QByteArray("[ALAPERTEK]\r\nbetuMERET=8\r\n[frm_Main]\r\nLeft=3\r\n"));
}

void TestConfig::writesKeepTheRest()
{
    setFileBytes("; kezi megjegyzes\r\n[Adatbazis]\r\nConStr1=abc\r\n\r\n[Alapertek]\r\nHtmlUt=/x\r\n"
                 "Betumeret=9\r\n\r\n[Tulajdonos]\r\nTulajdonos=Kiss\r\n");
    WriteConfigInt("Alapertek", "MLapHatid", 14);
    WriteConfigString("Alapertek", "HtmlUt", "/home/bolt/Html");
    WriteConfigString("frm_Beallit", "Left", "20");
    QCOMPARE(fileBytes(),
             QByteArray("; kezi megjegyzes\r\n[Adatbazis]\r\nConStr1=abc\r\n\r\n[Alapertek]\r\n"
                        "HtmlUt=/home/bolt/Html\r\nBetumeret=9\r\nMLapHatid=14\r\n\r\n[Tulajdonos]\r\n"
                        "Tulajdonos=Kiss\r\n[frm_Beallit]\r\nLeft=20\r\n"));
    QCOMPARE(ReadConfigString("Tulajdonos", "Tulajdonos"), QString("Kiss"));
    QCOMPARE(ReadConfigInt("Alapertek", "MLapHatid", 7), 14);

    // A text with line breaks stays one value.
    WriteConfigString("Alapertek", "AlapVaros", "Pécs\r\nBaranya");
    QCOMPARE(ReadConfigString("Alapertek", "AlapVaros"), QString("Pécs Baranya"));
    QCOMPARE(ReadConfigInt("Alapertek", "Betumeret", 0), 9);
}

void TestConfig::lfOnlyFileIsRead()
{
    setFileBytes("[Alapertek]\nBetumeret=10\nFormatFt=### ##0\n");
    QCOMPARE(ReadConfigInt("Alapertek", "Betumeret", 9), 10);
    QCOMPARE(ReadConfigString("Alapertek", "FormatFt"), QString("### ##0"));
    WriteConfigInt("Alapertek", "Betumeret", 8);
    QCOMPARE(fileBytes(), QByteArray("[Alapertek]\r\nBetumeret=8\r\nFormatFt=### ##0\r\n"));
}

void TestConfig::longValuesAreCut()
{
    const QString v2047(2047, 'x');
    WriteConfigString("Alapertek", "HtmlUt", v2047 + "yz");
    QCOMPARE(ReadConfigString("Alapertek", "HtmlUt"), v2047);
    WriteConfigString("Alapertek", "HtmlUt", v2047);
    QCOMPARE(ReadConfigString("Alapertek", "HtmlUt"), v2047);
}

void TestConfig::textIsWindows1250()
{
    WriteConfigString("Tulajdonos", "Tulajdonos", "Őrült Ügyfél Kft.");
    QVERIFY(fileBytes().contains("Tulajdonos=\xD5r\xFClt \xDCgyf\xE9l Kft.\r\n"));
    QCOMPARE(ReadConfigString("TULAJDONOS", "tulajdonos"), QString("Őrült Ügyfél Kft."));
}

void TestConfig::deleteKey()
{
    setFileBytes("[Adatbazis]\r\nConStr1=a\r\nConStr2=b\r\n");
    DeleteConfigKey("adatbazis", "constr1");
    QVERIFY(!ConfigKeyExists("Adatbazis", "ConStr1"));
    QCOMPARE(fileBytes(), QByteArray("[Adatbazis]\r\nConStr2=b\r\n"));
    DeleteConfigKey("Adatbazis", "ConStr9"); // nothing to delete: no error
    QFile::remove(ConfigFile());
    DeleteConfigKey("Adatbazis", "ConStr2");
    QVERIFY(!QFileInfo::exists(ConfigFile()));
}

void TestConfig::unwritableFile()
{
    // The application-data location under a plain file: its folder cannot be made.
    QFile blocker(m_dir->filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", m_dir->filePath("blocker").toLocal8Bit());
    initFolders(m_dir->filePath("elsewhere"));
    const QString path = ConfigFile();
    QCOMPARE(path, m_dir->filePath("blocker") + "/QuorvinOpt/QuorvinOpt.ini");

    const QString expected = "Hiba: a fájl nem írható: " + path + "\nA mappa nem létezik";
    auto check = [&](const std::function<void()> &write) {
        try {
            write();
            QFAIL("the write reported success");
        } catch (const Error &e) {
            QCOMPARE(e.message(), expected);
        }
    };
    check([] { WriteConfigString("Alapertek", "AlapVaros", "x"); });
    check([] { WriteConfigInt("Alapertek", "Betumeret", 9); });
    check([] { SaveWindowPlacement("frm_SQL", 1, 2, 3, 4); });
    check([] { StoreNewConnection("a;b;1;c;d;e"); });
    // The position of a closing window is dropped silently.
    SaveWindowPosition("frm_Beallit", 1, 2);
    // Reading still gives the defaults.
    QCOMPARE(ReadConfigInt("Alapertek", "Betumeret", 9), 9);
    QCOMPARE(RestoreWindowPosition("frm_Beallit"), QPoint(10, 10));
}

// A full file system: the file may grow no further than the limit, so the
// write fails part-way. The stored connections must survive with a message.
void TestConfig::fullDiskKeepsTheFile()
{
    StoreNewConnection("optika;localhost;3306;u;p;Bolt");
    WriteConfigString("Alapertek", "AlapVaros", "Szeged");
    const QByteArray before = fileBytes();
    QVERIFY(before.contains("ConStr1="));

    // Beyond this size every write fails with EFBIG (as ENOSPC on a full disk).
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = rlim_t(before.size() + 16);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString message;
    try {
        WriteConfigString("Alapertek", "Tulajdonos", QString(200, QLatin1Char('x')));
    } catch (const Error &e) {
        message = e.message();
    }
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &old), 0);
    QCOMPARE(message, "Hiba: a fájl nem írható: " + ConfigFile() + "\nA fájl túl nagy");
    QCOMPARE(fileBytes(), before);
    // No temporary file left beside it.
    QCOMPARE(QDir(DataFolder()).entryList(QDir::Files), QStringList{"QuorvinOpt.ini"});
}

// A file that is there but cannot be read (permissions) is never replaced by
// one holding only the key just written.
void TestConfig::unreadableFileIsNeverOverwritten()
{
    StoreNewConnection("optika;localhost;3306;u;p;Bolt");
    const QByteArray before = fileBytes();
    QVERIFY(QFile::setPermissions(ConfigFile(), QFile::WriteOwner));
    // Root reads any file: act as an ordinary user for the writes.
    QVERIFY(chmod(QFile::encodeName(m_dir->path()).constData(), 0755) == 0);
    QVERIFY(chmod(QFile::encodeName(DataFolder()).constData(), 0777) == 0);
    const bool root = geteuid() == 0;
    if (root)
        QVERIFY(seteuid(65534) == 0);
    QString message;
    try {
        WriteConfigString("Alapertek", "Betumeret", "10");
    } catch (const Error &e) {
        message = e.message();
    }
    bool deleteRefused = false;
    try {
        DeleteConfigKey("Adatbazis", "ConStr1");
    } catch (const Error &) {
        deleteRefused = true;
    }
    if (root)
        QVERIFY(seteuid(0) == 0);
    QVERIFY(QFile::setPermissions(ConfigFile(), QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(message, "Unable to read " + ConfigFile());
    QVERIFY(deleteRefused);
    QCOMPARE(fileBytes(), before);
}

void TestConfig::placement_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QSize>("current");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("nothing stored") << QByteArray() << QSize(640, 400) << QRect(10, 10, 640, 400);
    QTest::newRow("fits") << QByteArray("Left=100\r\nTop=50\r\nWidth=800\r\nHeight=600\r\n") << QSize(1, 1)
                          << QRect(100, 50, 800, 600);
    QTest::newRow("left beyond the right edge") << QByteArray("Left=3000\r\nTop=10\r\n") << QSize(600, 400)
                                                << QRect(0, 10, 600, 400);
    QTest::newRow("wider than the area") << QByteArray("Left=200\r\nWidth=2500\r\n") << QSize(600, 400)
                                         << QRect(0, 10, 1920, 400);
    QTest::newRow("sticks out on the right") << QByteArray("Left=1500\r\nWidth=600\r\n") << QSize(1, 400)
                                             << QRect(1320, 10, 600, 400);
    QTest::newRow("exactly at the edge") << QByteArray("Left=1320\r\nWidth=600\r\n") << QSize(1, 400)
                                         << QRect(1320, 10, 600, 400);
    QTest::newRow("as wide as the area") << QByteArray("Left=5\r\nWidth=1920\r\n") << QSize(1, 400)
                                         << QRect(0, 10, 1920, 400);
    QTest::newRow("top beyond the bottom") << QByteArray("Top=2000\r\n") << QSize(600, 400)
                                           << QRect(10, 0, 600, 400);
    QTest::newRow("sticks out at the bottom") << QByteArray("Top=900\r\n") << QSize(600, 400)
                                              << QRect(10, 680, 600, 400);
    QTest::newRow("taller than the area") << QByteArray("Top=30\r\nHeight=1200\r\n") << QSize(600, 1)
                                          << QRect(10, 0, 600, 1080);
}

void TestConfig::placement()
{
    QFETCH(QByteArray, stored);
    QFETCH(QSize, current);
    QFETCH(QRect, expected);
    setFileBytes("[frm_SQL]\r\n" + stored);
    QCOMPARE(RestoreWindowPlacement("frm_SQL", current.width(), current.height()), expected);
}

void TestConfig::positionDefaultsAndSave()
{
    QCOMPARE(RestoreWindowPosition("frm_Beallit"), QPoint(10, 10));
    SaveWindowPosition("frm_Beallit", 3000, -20);
    // Positions are used as they are: no clamping.
    QCOMPARE(RestoreWindowPosition("FRM_BEALLIT"), QPoint(3000, -20));

    // Height before width in the call; both land under their own keys.
    SaveWindowPlacement("frm_Munkalap", 11, 12, 500, 700);
    QCOMPARE(ReadConfigInt("frm_Munkalap", "Height", 0), 500);
    QCOMPARE(ReadConfigInt("frm_Munkalap", "Width", 0), 700);
    QCOMPARE(RestoreWindowPlacement("frm_Munkalap", 1, 1), QRect(11, 12, 700, 500));
    QCOMPARE(RestoreWindowPosition("frm_Munkalap"), QPoint(11, 12));
}

void TestConfig::scrambleAllBytes()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all += char(i);
    const QByteArray s = ScrambleText(all);
    QCOMPARE(s.size(), 3 + 2 * 256);
    QCOMPARE(UnscrambleText(s), all);
    QCOMPARE(s.at(3 + 2 * 255), '\0'); // 255 is stored as 0
    QCOMPARE(UnscrambleText(ScrambleText(QByteArray())), QByteArray());
    QCOMPARE(UnscrambleText(QByteArray()), QByteArray());
    QCOMPARE(UnscrambleText("ab"), QByteArray());
}

void TestConfig::scrambleShape()
{
    const QByteArray text = "optika;192.168.1.10;3306;admin;Tit0k!;Fő bolt";
    const QByteArray a = ScrambleText(text), b = ScrambleText(text);
    QVERIFY(a != b);
    QCOMPARE(a.size(), 3 + 2 * text.size());
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (i >= 3 && (i - 3) % 2 == 0)
            continue; // a data byte
        QVERIFY2(uchar(a[i]) >= 33 && uchar(a[i]) <= 87, qPrintable(QString::number(i)));
    }
}

void TestConfig::scrambleExample()
{
    const QByteArray s = ScrambleText("abc");
    QCOMPARE(s.size(), 9);
    QCOMPARE(s.at(3), 'b');
    QCOMPARE(s.at(5), 'c');
    QCOMPARE(s.at(7), 'd');
    // Any fillers unscramble the same way.
    QCOMPARE(UnscrambleText("!!!b!c!d!"), QByteArray("abc"));
    QCOMPARE(UnscrambleText("WWWbWcWdW"), QByteArray("abc"));
}

// The one value type of a stored connection reads and writes the record as
// every reader of it knows it, a cluster's node list in the host field too.
void TestConfig::connectionFieldsRoundTrip_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("one host") << "optika;localhost;3306;u;p;Bolt" << "localhost" << 3306;
    QTest::newRow("trailing separator") << "optika;db.bolt.hu;3307;u;p;Bolt;" << "db.bolt.hu" << 3307;
    QTest::newRow("cluster nodes") << "optika;10.0.1.5, 10.0.2.5:3307;3306;u;p;Lánc" << "10.0.1.5, 10.0.2.5:3307" << 3306;
    QTest::newRow("port with letters") << "optika;h;33x07;u;p;Bolt" << "h" << 3307;
    QTest::newRow("fields missing") << "optika;h" << "h" << 0;
}

void TestConfig::connectionFieldsRoundTrip()
{
    QFETCH(QString, record);
    QFETCH(QString, host);
    QFETCH(int, port);
    const ConnectionFields f = ConnectionFields::parse(record, {true, QStringLiteral("/etc/ca.pem")});
    QCOMPARE(f.host, host);
    QCOMPARE(f.portNumber(), port);
    QCOMPARE(f.database, QStringLiteral("optika"));
    const QString full = QStringList{record, QString(), QString(), QString(), QString()}.join(QLatin1Char(';'))
                             .section(QLatin1Char(';'), 0, 5);
    QCOMPARE(f.record(), full);
    QCOMPARE(f.record(true), full + QLatin1Char(';'));
    QCOMPARE(ConnectionFields::parse(f.record(true)).record(), full);
    QCOMPARE(f.tlsSetting(), (ConnectionTls{true, QStringLiteral("/etc/ca.pem")}));
    ConnectionFields off = f;
    off.tls = false;
    QCOMPARE(off.tlsSetting(), ConnectionTls{});
}

void TestConfig::storedConnections()
{
    WriteStoredConnection(3, "c;h;3306;u;p;Harmadik");
    WriteStoredConnection(1, "a;h;3306;u;p;Első;");
    WriteConfigBytes("Adatbazis", "ConStr2", QByteArray()); // present but empty
    WriteStoredConnection(30, "z;h;3306;u;p;Harmincadik");

    // The file never holds the password readable.
    QVERIFY(!fileBytes().contains("Harmadik"));
    QVERIFY(!fileBytes().contains(";p;"));

    const auto list = ReadStoredConnections(1, 25);
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).key, 1);
    QCOMPARE(list.at(0).record, QString("a;h;3306;u;p;Első;"));
    QCOMPARE(list.at(1).key, 3);
    QCOMPARE(list.at(1).record, QString("c;h;3306;u;p;Harmadik"));
    QCOMPARE(ReadStoredConnections(1, 100).size(), 3);

    DeleteStoredConnection(3);
    QVERIFY(!ConfigKeyExists("Adatbazis", "ConStr3"));
    QCOMPARE(ReadStoredConnections(1, 100).size(), 2);
}

void TestConfig::storeNewConnection_data()
{
    QTest::addColumn<QList<int>>("existing");
    QTest::addColumn<int>("expected");
    QTest::newRow("none") << QList<int>{} << 1;
    QTest::newRow("1 and 2") << QList<int>{1, 2} << 3;
    QTest::newRow("1 and 3") << QList<int>{1, 3} << 2;
    QTest::newRow("only 0 and 5") << QList<int>{0, 5} << 1;
}

void TestConfig::storeNewConnection()
{
    QFETCH(QList<int>, existing);
    QFETCH(int, expected);
    for (int n : existing)
        WriteStoredConnection(n, QString("db%1;h;3306;u;p;Bolt %1").arg(n));
    const QString rec = "uj;localhost;3306;root;jelszo;Új bolt";
    QCOMPARE(StoreNewConnection(rec), expected);
    const auto list = ReadStoredConnections(expected, expected);
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.at(0).record, rec);
    QCOMPARE(ReadStoredConnections(0, 100).size(), existing.size() + 1);
}

void TestConfig::storeNewConnectionWhenFull()
{
    QStringList records;
    for (int i = 1; i <= 100; ++i)
        records << QString("db%1;h;3306;u;p;B%1").arg(i);
    ReplaceStoredConnections(records);
    QCOMPARE(StoreNewConnection("x;h;1;u;p;Nulladik"), 0);
    QCOMPARE(ReadStoredConnections(0, 0).value(0).record, QString("x;h;1;u;p;Nulladik"));
}

void TestConfig::passwordRoundTripThroughFile_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("plain") << "Titok123";
    QTest::newRow("punctuation") << "a=b [x] #1 \"q\" 'z' ";
    QTest::newRow("Hungarian letters") << "Őszibarack-ű";
    QTest::newRow("tab, form feed, dot above") << "a\tb\fc˙d"; // bytes 9, 12, 255: LF, CR, NUL scrambled
    QTest::newRow("blank first") << " kezdo";
}

void TestConfig::passwordRoundTripThroughFile()
{
    QFETCH(QString, password);
    const QString rec = "optika;srv;3306;kassza;" + password + ";Bolt";
    QCOMPARE(StoreNewConnection(rec), 1);
    WriteConfigString("Alapertek", "AlapVaros", "Győr"); // another write in between
    const auto list = ReadStoredConnections(1, 1);
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.at(0).record, rec);
    QCOMPARE(ReadConfigString("Alapertek", "AlapVaros"), QString("Győr"));
}

void TestConfig::replaceStoredConnections()
{
    WriteStoredConnection(2, "b;h;1;u;p;B");
    WriteStoredConnection(7, "g;h;1;u;p;G");
    WriteConfigInt("Alapertek", "Betumeret", 10);
    ReplaceStoredConnections({"g;h;1;u;p;G", "b;h;1;u;p;B"});
    const auto list = ReadStoredConnections(1, 100);
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).key, 1);
    QCOMPARE(list.at(0).record, QString("g;h;1;u;p;G"));
    QCOMPARE(list.at(1).key, 2);
    QCOMPARE(list.at(1).record, QString("b;h;1;u;p;B"));
    QVERIFY(!ConfigKeyExists("Adatbazis", "ConStr7"));
    QCOMPARE(ReadConfigInt("Alapertek", "Betumeret", 9), 10);

    ReplaceStoredConnections({});
    QVERIFY(ReadStoredConnections(0, 100).isEmpty());
}

// The TLS setting lives in its own key beside the record: the records stay
// six fields, scrambled as ever, and a setting follows its record through
// renumbering, deletion and a new record in a freed place.
void TestConfig::storedConnectionTls()
{
    const QString ca = m_dir->filePath("tanúsítvány/ca.pem");
    const QString rec1 = "tavoli;db.example.hu;3306;u;p;Távoli";
    const QString rec2 = "helyi;localhost;3306;u;p;Helyi";
    WriteStoredConnection(1, rec1, {true, ca});
    WriteStoredConnection(2, rec2);

    auto lines = [this] {
        QList<QByteArray> out;
        for (const QByteArray &l : fileBytes().split('\n'))
            if (l.startsWith("ConStr") || l.startsWith("ConTls"))
                out << l.trimmed();
        return out;
    };
    auto value = [&lines](const QByteArray &key) {
        for (const QByteArray &l : lines())
            if (l.startsWith(key + '='))
                return l.mid(key.size() + 1);
        return QByteArray("<nincs>");
    };
    // The record's own key holds exactly the scrambled record, as before.
    QCOMPARE(UnscrambleText(value("ConStr1")), toCp1250(rec1));
    QCOMPARE(value("ConStr1").size(), 3 + 2 * toCp1250(rec1).size());
    QCOMPARE(value("ConTls1"), toCp1250(ca));
    QCOMPARE(value("ConTls2"), QByteArray("<nincs>"));

    const auto list = ReadStoredConnections(1, 100);
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).record, rec1);
    QVERIFY(list.at(0).tls.on);
    QCOMPARE(list.at(0).tls.caFile, ca);
    QCOMPARE(list.at(1).record, rec2);
    QVERIFY(!list.at(1).tls.on);
    QVERIFY(StoredConnectionTls(rec1).on);
    QVERIFY(!StoredConnectionTls(rec2).on);
    QVERIFY(!StoredConnectionTls("mas;h;1;u;p;X").on);

    // TLS with the system's authorities: the key present and empty.
    ReplaceStoredConnections({rec2, rec1}, {ConnectionTls{}, ConnectionTls{true, QString()}});
    QCOMPARE(value("ConTls1"), QByteArray("<nincs>"));
    QCOMPARE(value("ConTls2"), QByteArray());
    QCOMPARE(StoredConnectionTls(rec1), (ConnectionTls{true, QString()}));

    // A deleted record takes its setting along; a new record in its place starts without.
    DeleteStoredConnection(2);
    QCOMPARE(value("ConTls2"), QByteArray("<nincs>"));
    WriteConfigBytes("Adatbazis", "ConTls2", "maradek"); // left behind by hand
    QCOMPARE(StoreNewConnection("uj;h;1;u;p;Új"), 2);
    QVERIFY(!ReadStoredConnections(2, 2).value(0).tls.on);
    QCOMPARE(StoreNewConnection("uj2;h;1;u;p;Új2", {true, ca}), 3);
    QCOMPARE(ReadStoredConnections(3, 3).value(0).tls, (ConnectionTls{true, ca}));
    ReplaceStoredConnections({});
    QVERIFY(lines().isEmpty());
}

QTEST_MAIN(TestConfig)
#include "tst_config.moc"
