// Times the main window's windowed lists on a large shop database against the
// bare command-line client running the statements the program sent.
//
//   qo_bench_lists HOST PORT DATABASE [RUNS]
//
// For each measure one line a script can read,
//   RATIO <name> <program ms> <client ms>
// (medians over the runs, default 7), followed by indented detail lines:
// rows held, the statements sent and their time alone on the main connection.
// Also printed: memory after the first screen and after reading a whole list,
// the time until the row count arrives, and the start-up time.
#include "BenchCommon.h"
#include "config/StoredConnections.h"
#include "db/Connection.h"
#include "db/RowCounter.h"
#include "mainwindow/MainWindow.h"
#include "startup/Splash.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/ListQuery.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <cstdio>
#include <ctime>
#include <functional>

using namespace qo;
using namespace qo::bench;

namespace {

// The background count of the previous run answered and shown, so that it
// neither loads the server during the next timing nor arrives inside it.
void settle()
{
    RowCounter::instance().waitIdle();
    QApplication::processEvents();
}

// CPU time the calling thread has used, in ms.
double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Measure {
    double program = 0; // median ms
    double cpu = 0;     // median ms of the main thread's CPU time within program
    double runRatio = 0; // median of each run's program / client (the two measured back to back)
    double client = 0;  // median ms
    double layer = 0;   // median ms of the sent statements alone on the main connection
    QStringList sent;   // the statements of the last run
};

using Step = std::function<void()>;
using ClientSql = std::function<QString(const QStringList &sent)>;

// Runs prepare (untimed), then work (timed, its statements logged), then the
// client on clientSql(statements sent), `runs` times in turn so that both
// sides see the same load on the machine.
Measure againstClient(const ConnectParams &server, int runs, const Step &prepare, const Step &work,
                      const ClientSql &clientSql)
{
    QVector<double> program, client, cpu, ratio;
    Measure m;
    for (int i = 0; i < runs; ++i) {
        prepare();
        settle();
        {
            StatementLog log;
            const double cpu0 = threadCpuMs();
            QElapsedTimer t;
            t.start();
            work();
            program << MsSince(t);
            cpu << threadCpuMs() - cpu0;
            m.sent = log.sent();
        }
        settle();
        client << ClientMs(server, clientSql(m.sent));
        ratio << program.last() / client.last();
    }
    m.program = Median(program);
    m.cpu = Median(cpu);
    m.client = Median(client);
    m.runRatio = Median(ratio);
    return m;
}

// The sent statements run again on the main connection: what the database
// layer costs of the program's time (median ms; the main thread's CPU time
// into *cpu when asked).
double layerMs(const QStringList &statements, int runs, double *cpu = nullptr)
{
    QVector<double> out, used;
    for (int i = 0; i < runs; ++i) {
        const double cpu0 = threadCpuMs();
        QElapsedTimer t;
        t.start();
        for (const QString &sql : statements)
            Connection::main().query(sql);
        out << MsSince(t);
        used << threadCpuMs() - cpu0;
    }
    if (cpu)
        *cpu = Median(used);
    return Median(out);
}

QString oneLine(QString sql, int width = 150)
{
    sql = sql.simplified();
    return sql.size() > width ? sql.left(width - 3) + QStringLiteral("...") : sql;
}

// With QO_BENCH_SQL set to a folder, a measure's statements are also written
// there as NAME.sql, a script for the client (to EXPLAIN them, say).
void saveStatements(const QString &name, const QStringList &sent)
{
    const QString dir = qEnvironmentVariable("QO_BENCH_SQL");
    if (dir.isEmpty())
        return;
    QFile f(dir + QLatin1Char('/') + name + QStringLiteral(".sql"));
    if (f.open(QIODevice::WriteOnly))
        f.write(toLatin2(Script(sent) + QStringLiteral(";\n")));
}

void printMeasure(const QString &name, const Measure &m, const QString &what, int runs)
{
    saveStatements(name, m.sent);
    std::printf("RATIO %s %.1f %.1f\n", qPrintable(name), m.program, m.client);
    std::printf("    %s; ratio %.2f (of each run's pair %.2f); main thread's CPU %.1f ms;\n"
                "    %lld statement(s), alone on the main connection %.1f ms (medians of %d)\n",
                qPrintable(what), m.program / m.client, m.runRatio, m.cpu, static_cast<long long>(m.sent.size()),
                m.layer, runs);
    for (const QString &sql : m.sent)
        std::printf("      %s\n", qPrintable(oneLine(sql)));
}

void printMemory(const char *when, const GridModel *model)
{
    const RowSet &rs = model->rows();
    std::printf("MEMORY %-34s %6d rows: row set %7.2f MB for %7.2f MB of cell bytes; process resident %6.1f MB\n", when,
                rs.rowCount(), rs.memoryBytes() / 1e6, rs.dataBytes() / 1e6, ResidentMB());
}

// The name a script reads: no blanks.
QString measureName(const QString &prefix, QString text)
{
    return prefix + text.replace(QLatin1Char(' '), QLatin1Char('_'));
}

// Start-up to the main window showing the work-order list (no login).
void benchStartup(int runs)
{
    QVector<double> out;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        MainWindow w;
        w.show();
        QApplication::processEvents();
        out << MsSince(t);
        w.close();
        settle();
    }
    std::printf("TIME start-up to the work-order list %.1f ms (median of %d)\n", Median(out), runs);
}

class ListBench {
public:
    ListBench(const ConnectParams &server, int runs) : m_server(server), m_runs(runs)
    {
        m_w.show();
        QApplication::processEvents();
        settle();
    }

    // One keystroke in the client search box, from `from` to `to`, until the
    // first screen is held; the client runs every statement it sent.
    void keystroke(const QString &from, const QString &to)
    {
        clientTab();
        Measure m = againstClient(m_server, m_runs, [&] { search()->setText(from); },
                                  [&] { search()->setText(to); }, Script);
        report(measureName(QStringLiteral("first-screen-"), to), m,
               QStringLiteral("\"%1\" -> \"%2\": %3 rows held").arg(from, to).arg(clients()->rowCount()), kFirstScreenLimit);
        if (to == QLatin1String("k"))
            printMemory("after the first screen of \"k\"", clients());
    }

    // From the keystroke "k" until the background count has arrived.
    void countAfterK()
    {
        clientTab();
        QVector<double> out;
        for (int i = 0; i < m_runs; ++i) {
            search()->setText(QString());
            settle();
            QElapsedTimer t;
            t.start();
            search()->setText(QStringLiteral("k"));
            RowCounter::instance().waitIdle();
            while (clients()->totalCount() < 0 && t.elapsed() < 60000)
                QApplication::processEvents(QEventLoop::AllEvents, 5);
            out << MsSince(t);
        }
        std::printf("TIME row count of \"k\" after the keystroke %.1f ms (median of %d): %lld rows, status \"%s\"\n",
                    Median(out), m_runs, static_cast<long long>(clients()->totalCount()), qPrintable(m_w.statusText()));
    }

    // Ctrl+End pressed on the grid of the client list filtered by "k": a jump
    // to a window read at the list's end.
    void ctrlEndOnK()
    {
        clientTab();
        search()->setText(QStringLiteral("k"));
        Grid *grid = m_w.grid(MainWindow::TabClients);
        Measure m = againstClient(
            m_server, m_runs, [&] { QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier); },
            [&] { QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier); }, Script);
        report(QStringLiteral("ctrl-end-k"), m,
               QStringLiteral("%1 rows held, at end %2, on row %3 of the list (status \"%4\")")
                   .arg(clients()->rowCount())
                   .arg(clients()->atEnd() ? QStringLiteral("yes") : QStringLiteral("no"))
                   .arg(clients()->offset() + grid->currentRowIndex() + 1)
                   .arg(m_w.statusText()),
               0);
    }

    // The keystroke "k" (which moves the window to the first name starting
    // with "k"), Ctrl+Home on the grid, then every page read in order as the
    // grid reads them when scrolled to the bottom, until the list's last row
    // is held: every row read once. The client reads the whole result.
    void fullK()
    {
        clientTab();
        Measure m = againstClient(m_server, m_runs, [&] { search()->setText(QString()); },
                                  [&] {
                                      search()->setText(QStringLiteral("k"));
                                      readAllFromStart();
                                  },
                                  [&](const QStringList &) { return m_w.query(MainWindow::TabClients).wholeSql(); });
        const QString whole = m_w.query(MainWindow::TabClients).wholeSql();
        report(QStringLiteral("full-k"), m,
               QStringLiteral("%1 rows held, complete %2; the client runs the whole query: %3")
                   .arg(clients()->rowCount())
                   .arg(clients()->complete() ? QStringLiteral("yes") : QStringLiteral("no"))
                   .arg(oneLine(whole, 400)),
               kFullLimit);
        double cpu = 0;
        const double ms = layerMs({whole}, m_runs, &cpu);
        std::printf("TIME the whole query of \"k\" alone on the main connection %.1f ms, main thread's CPU %.1f ms"
                    " (medians of %d)\n",
                    ms, cpu, m_runs);
        printMemory("after reading all of \"k\"", clients());
        scrollAloneK();
    }

    // The same reading with the keystroke's count already in: what the pages
    // cost without the background count running beside them.
    void scrollAloneK()
    {
        QVector<double> out, cpu;
        for (int i = 0; i < m_runs; ++i) {
            search()->setText(QString());
            search()->setText(QStringLiteral("k"));
            settle();
            const double cpu0 = threadCpuMs();
            QElapsedTimer t;
            t.start();
            readAllFromStart();
            out << MsSince(t);
            cpu << threadCpuMs() - cpu0;
        }
        std::printf("TIME Ctrl+Home and reading all of \"k\" after the count is in %.1f ms, main thread's CPU %.1f ms"
                    " (medians of %d): %d rows held\n",
                    Median(out), Median(cpu), m_runs, clients()->rowCount());
    }

    // The work-order list switched to the "Összes" status tab.
    void workOrdersAll()
    {
        search()->clear();
        m_w.setActiveTab(MainWindow::TabWorkOrders);
        settle();
        GridModel *orders = m_w.grid(MainWindow::TabWorkOrders)->gridModel();
        Measure m = againstClient(m_server, m_runs, [&] { m_w.setStatusTab(1); }, [&] { m_w.setStatusTab(0); }, Script);
        report(QStringLiteral("first-screen-osszes"), m,
               QStringLiteral("work orders on \"Összes\": %1 rows held").arg(orders->rowCount()), kFirstScreenLimit);
        printMemory("work orders, first screen", orders);
    }

    // Every ratio against its target.
    void checkTargets() const
    {
        for (const Target &t : m_targets)
            std::printf("TARGET %s %.2f <= %.1f %s\n", qPrintable(t.name), t.ratio, t.limit,
                        t.ratio <= t.limit ? "met" : "MISSED");
    }

private:
    struct Target {
        QString name;
        double ratio, limit;
    };
    static constexpr double kFirstScreenLimit = 1.5, kFullLimit = 1.3;

    // Prints a measure (with its statements' time alone) and keeps its ratio
    // for the targets; limit 0: no target.
    void report(const QString &name, Measure &m, const QString &what, double limit)
    {
        m.layer = layerMs(m.sent, m_runs);
        settle();
        printMeasure(name, m, what, m_runs);
        if (limit > 0)
            m_targets.push_back({name, m.program / m.client, limit});
    }

    void readAllFromStart()
    {
        QTest::keyClick(m_w.grid(MainWindow::TabClients), Qt::Key_Home, Qt::ControlModifier);
        while (clients()->canFetchMore({}))
            clients()->fetchMore({});
    }
    QLineEdit *search() const { return m_w.searchBox(); }
    GridModel *clients() const { return m_w.grid(MainWindow::TabClients)->gridModel(); }
    void clientTab()
    {
        if (m_w.activeTab() != MainWindow::TabClients) {
            m_w.setActiveTab(MainWindow::TabClients);
            settle();
        }
    }

    ConnectParams m_server;
    int m_runs;
    MainWindow m_w;
    QVector<Target> m_targets;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ConnectParams server;
    int runs = 7;
    if (!ReadServerArgs(argc, argv, "qo_bench_lists", 7, server, runs))
        return 2;
    runs = qMax(1, runs);
    SetSplashEnabled(false);
    QTemporaryDir dir;
    UsePrivateConfig(dir);
    WriteStoredConnection(1, QStringLiteral("%1;%2;%3;qo;qo;Bench").arg(server.database, server.host).arg(server.port));

    // QO_BENCH_ONLY=full-k,ctrl-end-k,... runs only the measures named.
    const QStringList only = qEnvironmentVariable("QO_BENCH_ONLY").split(QLatin1Char(','), Qt::SkipEmptyParts);
    const auto wanted = [&](const QString &name) { return only.isEmpty() || only.contains(name); };

    if (wanted(QStringLiteral("start-up")))
        benchStartup(runs);
    QVector<double> bare;
    for (int i = 0; i < runs; ++i)
        bare << ClientMs(server, QStringLiteral("SELECT 1"));
    std::printf("TIME the client's own start, connect and \"SELECT 1\" %.1f ms (median of %d; part of every client time)\n",
                Median(bare), runs);
    ListBench bench(server, runs);
    const QStringList texts{QStringLiteral("k"), QStringLiteral("ko"), QStringLiteral("kov"), QStringLiteral("kova"),
                            QStringLiteral("nagy"), QStringLiteral("30 5")};
    for (const QString &text : texts)
        if (wanted(measureName(QStringLiteral("first-screen-"), text)))
            bench.keystroke(text.left(text.size() - 1), text);
    if (wanted(QStringLiteral("count-k")))
        bench.countAfterK();
    if (wanted(QStringLiteral("ctrl-end-k")))
        bench.ctrlEndOnK();
    if (wanted(QStringLiteral("full-k")))
        bench.fullK();
    if (wanted(QStringLiteral("first-screen-osszes")))
        bench.workOrdersAll();
    bench.checkTargets();
    return 0;
}
