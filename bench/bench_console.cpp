// "Másol" of a whole large result in the SQL console window, against the
// bare client writing the same query to a file:
//   QT_QPA_PLATFORM=offscreen qo_bench_console HOST PORT DATABASE [RUNS] [SQL]
// Reads only: the main connection's session is read-only, so the audit rows
// the console would add are refused (and warned about), never written.
#include "BenchCommon.h"

#include "admin/SqlConsole.h"
#include "config/AppState.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTimer>
#include <QWidget>

#include <Qsci/qsciscintilla.h>

using namespace qo;

namespace {

double clientToFileMs(const ConnectParams &p, const QString &sql, const QString &file)
{
    QProcess proc;
    proc.setStandardOutputFile(file);
    QElapsedTimer t;
    t.start();
    proc.start(QStringLiteral("mariadb"),
               {QStringLiteral("--no-defaults"), QStringLiteral("-h") + p.host, QStringLiteral("-P%1").arg(p.port),
                QStringLiteral("-u") + p.user, QStringLiteral("-p") + p.password,
                QStringLiteral("--default-character-set=latin2"), QStringLiteral("-B"), p.database,
                QStringLiteral("-e"), sql});
    proc.waitForFinished(-1);
    const double ms = bench::MsSince(t);
    if (proc.exitCode() != 0)
        std::fprintf(stderr, "mariadb failed: %s\n", proc.readAllStandardError().constData());
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ConnectParams p;
    int runs = 3;
    if (!bench::ReadServerArgs(argc, argv, "qo_bench_console", 3, p, runs))
        return 2;
    const QString sql = argc > 5 ? QString::fromLocal8Bit(argv[5]) : QStringLiteral("SELECT * FROM munkalap");
    QTemporaryDir dir;
    bench::UsePrivateConfig(dir);
    appState().rendszergazda = true;
    Connection::main().open(p);
    Connection::main().exec(QStringLiteral("SET SESSION TRANSACTION READ ONLY"));

    QVector<double> program, reference, pauses, peaks;
    qint64 lines = 0;
    for (int run = 0; run < runs; ++run) {
        QApplication::clipboard()->clear();
        {
            SqlConsole c;
            c.connection().setBeforeStatement({}); // no audit rows from the benchmark
            c.show();
            QCoreApplication::processEvents();
            c.findChild<QsciScintilla *>(QStringLiteral("Memo1"))->setText(sql);
            QCoreApplication::processEvents();
            bench::ResetPeak();
            const double rssBefore = bench::ResidentMB();
            QElapsedTimer t;
            t.start();
            pauses << bench::LongestPause([&] {
                c.findChild<QAction *>(QStringLiteral("aFuttat"))->trigger();
                c.findChild<QAction *>(QStringLiteral("aMasol"))->trigger();
            });
            program << bench::MsSince(t);
            peaks << bench::PeakMB() - rssBefore;
            lines = QApplication::clipboard()->text().count(QLatin1Char('\n'));
            c.hide();
        }
        reference << clientToFileMs(p, sql, dir.filePath(QStringLiteral("client.tsv")));
        std::printf("run %d: program %.0f ms, client %.0f ms, longest pause %.0f ms, peak +%.0f MB\n", run + 1,
                    program.last(), reference.last(), pauses.last(), peaks.last());
    }
    std::printf("lines copied: %lld\n", lines);
    std::printf("RATIO console-copy %.0f %.0f\n", bench::Median(program), bench::Median(reference));
    std::printf("PEAK console-copy %.0f MB above the resident set before the run (median)\n", bench::Median(peaks));
    std::printf("PAUSE console-copy %.0f ms longest user-interface pause (median of runs)\n", bench::Median(pauses));
    return 0;
}
