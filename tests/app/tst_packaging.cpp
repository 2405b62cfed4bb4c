// The installed program's face to the desktop: --version and --help answered
// without a display, every other argument leaving the start as it was, and
// the main window grabbed for the AppStream screenshot.
#include "base/Version.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "ui/Grid.h"
#include "startup/Splash.h"
#include "mainwindow/MainWindow.h"
#include "support/Drive.h"
#include "support/TestDb.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>

using namespace qo;

namespace {

const QString kProgram = QStringLiteral(QO_PROGRAM_FILE);

// The environment of a machine without a desktop session.
QProcessEnvironment noDisplay(const QString &home)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

struct ScreenshotSize {
    int width = 0, height = 0;
};

// The size the AppStream metadata announces for the default screenshot.
ScreenshotSize announcedScreenshot()
{
    QFile f(QStringLiteral(QO_METAINFO_FILE));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("image"))
            return {xml.attributes().value(QLatin1String("width")).toInt(),
                    xml.attributes().value(QLatin1String("height")).toInt()};
    }
    return {};
}

} // namespace

class TestPackaging : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void informationOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("expected");
        const QStringList version{QStringLiteral("Quorvin.Opt %1").arg(QLatin1String(kProgramVersion))};
        const QStringList help{QStringLiteral("Használat:"), QStringLiteral("-h, -?, --help"),
                               QStringLiteral("-v, --version"), QStringLiteral("Kiírja a program verzióját, és kilép."),
                               QStringLiteral("Quorvin.Opt %1 – nyilvántartó program").arg(QLatin1String(kProgramVersion))};
        QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << version;
        QTest::newRow("-v") << QStringList{QStringLiteral("-v")} << version;
        QTest::newRow("-version among Qt's own") << QStringList{QStringLiteral("-style"), QStringLiteral("fusion"), QStringLiteral("-version")} << version;
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << help;
        QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << help;
        QTest::newRow("-?") << QStringList{QStringLiteral("-?")} << help;
        QTest::newRow("--help with an unknown one") << QStringList{QStringLiteral("--bogus"), QStringLiteral("--help")} << help;
    }

    // Answered and ended at once, without a display and without touching the
    // user's folders.
    void informationOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, expected);
        QTemporaryDir home;
        QProcess p;
        p.setProcessEnvironment(noDisplay(home.path()));
        p.start(kProgram, args);
        QVERIFY2(p.waitForFinished(20000), "the program did not end");
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        for (const QString &e : expected)
            QVERIFY2(out.contains(e), qPrintable(QStringLiteral("'%1' not in:\n%2").arg(e, out)));
        if (expected.size() == 1)
            QCOMPARE(out, expected.first() + QLatin1Char('\n'));
        QVERIFY2(QDir(home.path()).isEmpty(), "the user's folder was written");
    }

    void otherArgumentsStartAsBefore_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")};
        QTest::newRow("a word") << QStringList{QStringLiteral("help")};
    }

    // The first start without configuration shows the database setup, and the
    // data folder is the user's own when none lies beside the program.
    void otherArgumentsStartAsBefore()
    {
        QFETCH(QStringList, args);
        QTemporaryDir home;
        QProcessEnvironment env = noDisplay(home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Widget painting is logged with the window's object name: proof that it was on screen.
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.widgets.painting=true"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        QByteArray log;
        connect(&p, &QProcess::readyRead, &p, [&] { log += p.readAll(); });
        p.start(kProgram, args);
        QVERIFY(p.waitForStarted());
        const QRegularExpression setupShown(QStringLiteral("Flushing .*name=\"frm_Init\""));
        QTRY_VERIFY_WITH_TIMEOUT(QString::fromUtf8(log).contains(setupShown) || p.state() == QProcess::NotRunning, 30000);
        const bool shown = QString::fromUtf8(log).contains(setupShown);
        p.kill();
        p.waitForFinished();
        QVERIFY2(shown, log.right(2000).constData());
        QVERIFY(QFileInfo(home.path() + QStringLiteral("/.local/share/QuorvinOpt")).isDir());
    }

    // The main window on a small shop, at the size the metadata announces.
    void mainWindowScreenshot()
    {
        const ScreenshotSize size = announcedScreenshot();
        QVERIFY2(size.width >= 620 && size.height >= 350, "the metadata announces no usable screenshot size");

        test::TempConfig config;
        setWorkAreaForTests(QRect(0, 0, 1920, 1080));
        appState() = AppState();
        SetSplashEnabled(false);
        WriteConfigString(QStringLiteral("Alapertek"), QStringLiteral("SzolgaltatasCim"), QStringLiteral("http://127.0.0.1:9/"));
        test::TestDb db(QStringLiteral("packaging_shot"));
        const QStringList clients{
            QStringLiteral("Kovács Éva;06 30 555 1234;1052;Budapest;Váci utca 12."),
            QStringLiteral("Nagy Péter;+36 20 333 4444;6720;Szeged;Kárász utca 5."),
            QStringLiteral("Szabó Anna;06 1 234 5678;1117;Budapest;Bartók Béla út 40."),
            QStringLiteral("Tóth Gábor;06 70 987 6543;9021;Győr;Baross Gábor út 3."),
            QStringLiteral("Horváth Zsófia;06 30 246 8101;7621;Pécs;Király utca 21."),
            QStringLiteral("Varga László;06 20 135 7911;4024;Debrecen;Piac utca 8."),
            QStringLiteral("Kiss Katalin;06 30 112 2334;8000;Székesfehérvár;Fő utca 2."),
            QStringLiteral("Molnár István;06 1 765 4321;1061;Budapest;Andrássy út 9."),
            QStringLiteral("Németh Judit;06 70 556 6778;3525;Miskolc;Széchenyi utca 14."),
            QStringLiteral("Farkas Bence;06 20 998 8776;6000;Kecskemét;Rákóczi út 6."),
        };
        for (const QString &c : clients) {
            const QStringList f = c.split(QLatin1Char(';'));
            ExecSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, telefon, cim_irsz, cim_varos, cim_cim, torolve) "
                                   "VALUES ('%1', '%2', '%3', '%4', '%5', 'N')")
                        .arg(f[0], f[1], f[2], f[3], f[4]));
            ExecSql(QStringLiteral("CALL sp_oldal(LAST_INSERT_ID())"));
        }
        // Prescriptions for the client the list stands on first.
        ExecSql(QStringLiteral("UPDATE ugyfel_sz_tavol t JOIN ugyfel u ON u.ugyfel = t.ugyfel "
                               "SET t.sph = IF(t.kulcs = 1, '-1,25', '-1,50'), t.cyl = '-0,50', "
                               "t.ax = IF(t.kulcs = 1, '90', '85'), t.pd = IF(t.kulcs = 1, '31,5', '32,0')"));
        ExecSql(QStringLiteral("UPDATE ugyfel_sz_kozel SET sph = IF(kulcs = 1, '+0,75', '+0,50'), pd = IF(kulcs = 1, '30,0', '30,5')"));
        ExecSql(QStringLiteral("UPDATE ugyfel SET dat_utolso = CURDATE() - INTERVAL ugyfel * 9 DAY"));
        const ConnectParams p = db.params();
        WriteStoredConnection(1, QStringLiteral("%1;%2;%3;%4;%5;Minta Optika").arg(p.database, p.host).arg(p.port).arg(p.user, p.password));

        MainWindow w;
        QVERIFY(!w.isAborted());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(size.width, size.height);
        w.setActiveTab(MainWindow::TabClients);
        QCOMPARE(w.grid(MainWindow::TabClients)->model()->rowCount(), clients.size());
        QTRY_COMPARE(w.size(), QSize(size.width, size.height));

        const QString file = QStringLiteral(QO_SCREENSHOT_FILE);
        QFile::remove(file);
        QVERIFY(w.grab().save(file, "PNG"));
        w.close();

        QImage shot(file);
        QCOMPARE(shot.size(), QSize(size.width, size.height));
        // A real picture, not an empty surface.
        QSet<QRgb> colours;
        for (int y = 0; y < shot.height(); y += 4)
            for (int x = 0; x < shot.width(); x += 4)
                colours.insert(shot.pixel(x, y));
        QVERIFY2(colours.size() > 50, qPrintable(QStringLiteral("%1 colours").arg(colours.size())));
    }
};

QTEST_MAIN(TestPackaging)
#include "tst_packaging.moc"
