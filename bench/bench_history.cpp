// Times "Korábbi receptek" on a shop database: for a spread of clients one
// after another, the distance prescription shown in the window (its query,
// the lines and marks built from the rows, the model and the grid's columns;
// the window's widgets are made before the clock starts), against the bare
// command-line client running the same queries in one invocation.
//
//   qo_bench_history HOST PORT DATABASE [RUNS] [CLIENTS]
//
// Prints `RATIO korabbi-receptek <program ms> <client ms>`, the states and
// history rows read, the index the server uses for the query (EXPLAIN), and
// `TARGET korabbi-receptek <ratio> <= 1.5 met|MISSED`.
#include "BenchCommon.h"
#include "clients/PrescriptionHistory.h"
#include "clients/PrescriptionHistoryWindow.h"
#include "db/Connection.h"
#include "ui/GridModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <vector>

using namespace qo;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ConnectParams server;
    int runs = 7;
    if (!bench::ReadServerArgs(argc, argv, "qo_bench_history", 7, server, runs))
        return 2;
    const int wanted = argc > 5 ? QString::fromLocal8Bit(argv[5]).toInt() : 20;
    QTemporaryDir dir;
    bench::UsePrivateConfig(dir);
    Connection::main().open(server);

    // Clients spread over the whole key range, each with a distance history.
    const RowSet keys = Connection::main().query(
        QStringLiteral("SELECT DISTINCT ugyfel FROM recept_elozmeny WHERE fajta = 'TAVOL' AND ugyfel %% "
                       "GREATEST(1, (SELECT MAX(ugyfel) FROM ugyfel) DIV %1) = 0 ORDER BY ugyfel LIMIT %1")
            .arg(wanted)
            .replace(QStringLiteral("%%"), QStringLiteral("%")));
    QList<qint64> clients;
    QStringList statements;
    const PrescriptionKind &kind = kPrescriptionKinds[0];
    for (int r = 0; r < keys.rowCount(); ++r) {
        clients << keys.toInt(r, 0);
        statements << PrescriptionHistoryStore::historySql(clients.back(), kind);
    }
    if (clients.isEmpty()) {
        std::fprintf(stderr, "qo_bench_history: no prescription history in %s\n", qPrintable(server.database));
        return 1;
    }
    const RowSet plan = Connection::main().query(QStringLiteral("EXPLAIN ") + statements.first());
    std::printf("clients %d; EXPLAIN: type %s, key %s, rows %s, Extra %s\n", int(clients.size()),
                qPrintable(plan.text(0, QStringLiteral("type"))), qPrintable(plan.text(0, QStringLiteral("key"))),
                qPrintable(plan.text(0, QStringLiteral("rows"))), qPrintable(plan.text(0, QStringLiteral("Extra"))));

    QVector<double> program, client, ratios;
    int states = 0, rows = 0;
    for (int run = 0; run < runs; ++run) {
        states = rows = 0;
        // The windows' widgets are made first: the measure is the list path,
        // from the query to the model holding the lines with their marks.
        std::vector<std::unique_ptr<PrescriptionHistoryWindow>> windows;
        for (qint64 c : clients)
            windows.push_back(std::make_unique<PrescriptionHistoryWindow>(c, 0));
        QElapsedTimer t;
        t.start();
        for (const auto &w : windows) {
            if (!w->showKind(0))
                return 1;
            states += w->model()->rowCount();
        }
        program << bench::MsSince(t);
        client << bench::ClientMs(server, bench::Script(statements));
        ratios << program.back() / client.back();
    }
    for (const QString &sql : statements)
        rows += Connection::main().query(sql).rowCount();
    const double p = bench::Median(program), c = bench::Median(client);
    std::printf("RATIO korabbi-receptek %.1f %.1f\n", p, c);
    std::printf("  states shown %d from %d history rows; ratio %.2f, median of the runs' ratios %.2f\n", states, rows,
                p / c, bench::Median(ratios));
    std::printf("TARGET korabbi-receptek %.2f <= 1.5 %s\n", p / c, p / c <= 1.5 ? "met" : "MISSED");
    return 0;
}
