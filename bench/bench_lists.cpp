// Times the main window's list paths on a large shop database and the bare
// command-line client running the same SELECT into /dev/null.
//
//   qo_bench_lists HOST PORT DATABASE [RUNS]
//
// Prints, for each measure, the median over the runs in milliseconds, the
// client's median and the ratio, and the row set's memory against its bytes.
#include "BenchCommon.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "startup/Splash.h"
#include "db/Connection.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace qo;

static double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

static QVector<double> timeRuns(int runs, const std::function<void()> &prepare, const std::function<void()> &work)
{
    QVector<double> out;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer t;
        t.start();
        work();
        out << t.nsecsElapsed() / 1e6;
    }
    return out;
}

struct Server {
    QString host, db;
    int port;
};

// The bare client: same SQL, same protocol options, output thrown away.
static double clientMedian(const Server &s, const QString &sql, int runs, bool compress)
{
    QVector<double> out;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        QStringList args{QStringLiteral("--no-defaults"), QStringLiteral("-h") + s.host, QStringLiteral("-P%1").arg(s.port),
                         QStringLiteral("-uqo"), QStringLiteral("-pqo"), QStringLiteral("--default-character-set=latin2"),
                         QStringLiteral("-B"), s.db, QStringLiteral("-e"), sql};
        if (compress)
            args.insert(1, QStringLiteral("--compress")); // after --no-defaults, which must come first
        QElapsedTimer t;
        t.start();
        p.start(QStringLiteral("mariadb"), args);
        p.waitForFinished(-1);
        out << t.nsecsElapsed() / 1e6;
    }
    return median(out);
}

static void report(const char *what, double program, double client, double clientCompressed)
{
    std::printf("%-44s program %8.1f ms | client %8.1f ms (ratio %.2f) | client --compress %8.1f ms (ratio %.2f)\n",
                what, program, client, program / client, clientCompressed, program / clientCompressed);
}

static void memory(const char *what, const RowSet &rs)
{
    size_t cells = size_t(rs.rowCount()) * size_t(rs.columnCount());
    std::printf("%-44s %d rows: %.1f MB held for %.1f MB of cell bytes (+%.1f MB length bytes on the wire): %.2fx\n",
                what, rs.rowCount(), rs.memoryBytes() / 1e6, rs.dataBytes() / 1e6, cells / 1e6,
                double(rs.memoryBytes()) / double(rs.dataBytes() + cells));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: qo_bench_lists HOST PORT DATABASE [RUNS]\n");
        return 2;
    }
    const Server s{QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[2]).toInt()};
    const int runs = argc > 4 ? std::atoi(argv[4]) : 7;
    SetSplashEnabled(false);
    QTemporaryDir dir;
    bench::UsePrivateConfig(dir);
    WriteStoredConnection(1, QStringLiteral("%1;%2;%3;qo;qo;Bench").arg(s.db, s.host).arg(s.port));

    // 3. Start-up to the main window showing the work-order list.
    QVector<double> startup;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        MainWindow w;
        w.show();
        QApplication::processEvents();
        startup << t.nsecsElapsed() / 1e6;
        w.close();
    }

    MainWindow w;
    w.show();
    QApplication::processEvents();

    // 1. One keystroke in the client search.
    w.setActiveTab(MainWindow::TabClients);
    const QStringList texts{QStringLiteral("k"), QStringLiteral("ko"), QStringLiteral("kov"), QStringLiteral("kova"),
                            QStringLiteral("nagy"), QStringLiteral("30 5")};
    for (const QString &text : texts) {
        const QString prefix = text.left(text.size() - 1);
        const QVector<double> key = timeRuns(runs, [&] { w.searchBox()->setText(prefix); },
                                             [&] { w.searchBox()->setText(text); });
        const QString sql = w.query(MainWindow::TabClients).sql();
        report(qPrintable(QStringLiteral("keystroke \"%1\" (%2 rows)").arg(text).arg(w.grid(0)->model()->rowCount())),
               median(key), clientMedian(s, sql, runs, false), clientMedian(s, sql, runs, true));
    }
    w.searchBox()->clear();
    memory("client list, all clients", w.grid(MainWindow::TabClients)->gridModel()->rows());

    // 2. Opening the work-order list on "Összes".
    w.setActiveTab(MainWindow::TabWorkOrders);
    const QVector<double> all = timeRuns(runs, [&] { w.setStatusTab(1); }, [&] { w.setStatusTab(0); });
    const QString sql = w.query(MainWindow::TabWorkOrders).sql();
    report(qPrintable(QStringLiteral("work orders \"Összes\" (%1 rows)").arg(w.grid(1)->model()->rowCount())),
           median(all), clientMedian(s, sql, runs, false), clientMedian(s, sql, runs, true));
    memory("work-order list, \"Összes\"", w.grid(MainWindow::TabWorkOrders)->gridModel()->rows());
    // The database layer alone, to see what the window adds on top of it.
    const QVector<double> layer = timeRuns(runs, [] {}, [&] { RowSet rs = Connection::main().query(sql); });
    std::printf("%-44s layer   %8.1f ms\n", "  of which reading the rows (database layer)", median(layer));

    std::printf("%-44s program %8.1f ms (median of %d)\n", "start-up to the work-order list", median(startup), runs);
    w.close();
    return 0;
}
