// Grabs the main window on each tab to PNG files, to look at the program as a
// user sees it:  qo_screens HOST PORT DATABASE OUTDIR
#include "BenchCommon.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "startup/Splash.h"
#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QTest>
#include "ui/Grid.h"

using namespace qo;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 5)
        return 2;
    SetSplashEnabled(false);
    QTemporaryDir dir;
    bench::UsePrivateConfig(dir);
    setWorkAreaForTests(QRect(0, 0, 1280, 800));
    WriteStoredConnection(1, QStringLiteral("%1;%2;%3;qo;qo;Demó optika").arg(QString::fromLocal8Bit(argv[3]),
                                                                              QString::fromLocal8Bit(argv[1]),
                                                                              QString::fromLocal8Bit(argv[2])));
    const QString out = QString::fromLocal8Bit(argv[4]);
    MainWindow w;
    w.show();
    QTest::qWait(300);
    w.grab().save(out + QStringLiteral("/main-workorders.png"));
    w.setStatusTab(0);
    QTest::qWait(100);
    w.grab().save(out + QStringLiteral("/main-workorders-all.png"));
    w.setActiveTab(MainWindow::TabClients);
    QTest::qWait(100);
    w.grab().save(out + QStringLiteral("/main-clients.png"));
    // A name typed far down the list: first the rows, then (a moment later) the count.
    QTest::keyClicks(w.searchBox(), "kov");
    w.grab().save(out + QStringLiteral("/main-clients-kov-at-once.png"));
    QTest::qWait(1500);
    w.grab().save(out + QStringLiteral("/main-clients-kov.png"));
    QTest::keyClick(w.grid(MainWindow::TabClients), Qt::Key_End, Qt::ControlModifier);
    QTest::qWait(300);
    w.grab().save(out + QStringLiteral("/main-clients-kov-end.png"));
    w.searchBox()->clear();
    w.setActiveTab(MainWindow::TabExams);
    QTest::qWait(100);
    w.grab().save(out + QStringLiteral("/main-exams.png"));
    return 0;
}
