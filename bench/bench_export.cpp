// Delimited export of every work order against the bare command-line client
// writing the same columns into a file.
//
//   qo_bench_export HOST PORT DATABASE [RUNS]
//
// Prints the medians in milliseconds (the program: the rows read in batches
// and written as they come, with the progress window; the client:
// `mariadb -B -e "SELECT ..." > file`, no compression on this machine) as
// "RATIO export-csv <program> <client>", the peak memory of both, and the
// longest pause of the main thread while the program wrote.
#include "BenchCommon.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "export/DelimitedWriter.h"
#include "export/ExportDialog.h"
#include "ui/JobProgress.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

using namespace qo;

// The work-order browser's query over every client.
static const char kSql[] =
    "SELECT munkalap.*, statusz.statusz_nev, mlaptipus.mlaptipus_nev, ugyfel.ugyfel_nev FROM munkalap"
    " JOIN statusz ON (munkalap.statusz = statusz.statusz)"
    " JOIN mlaptipus ON (munkalap.mlaptipus = mlaptipus.mlaptipus)"
    " JOIN ugyfel ON (munkalap.ugyfel = ugyfel.ugyfel) ORDER BY 1";

struct ClientRun {
    double ms = 0;
    long peakKb = 0;
};

static ClientRun clientRun(const ConnectParams &p, const QString &file, bool compress)
{
    QProcess proc;
    proc.setStandardOutputFile(file);
    proc.setStandardErrorFile(file + QStringLiteral(".time"));
    QStringList args{QStringLiteral("-f"), QStringLiteral("%M"), QStringLiteral("mariadb"), QStringLiteral("--no-defaults"),
                     QStringLiteral("-h") + p.host, QStringLiteral("-P%1").arg(p.port), QStringLiteral("-uqo"),
                     QStringLiteral("-pqo"), QStringLiteral("--default-character-set=latin2"), QStringLiteral("-B"),
                     p.database, QStringLiteral("-e"), QString::fromLatin1(kSql)};
    if (compress)
        args.insert(4, QStringLiteral("--compress"));
    QElapsedTimer t;
    t.start();
    proc.start(QStringLiteral("/usr/bin/time"), args);
    proc.waitForFinished(-1);
    ClientRun r;
    r.ms = t.nsecsElapsed() / 1e6;
    QFile f(file + QStringLiteral(".time"));
    if (f.open(QIODevice::ReadOnly))
        r.peakKb = QString::fromLatin1(f.readAll()).trimmed().section(QLatin1Char('\n'), -1).toLong();
    return r;
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ConnectParams p;
    int runs = 0;
    if (!bench::ReadServerArgs(argc, argv, "qo_bench_export", 3, p, runs))
        return 2;
    QTemporaryDir dir;
    bench::UsePrivateConfig(dir);
    Connection::main().open(p);
    const QString file = dir.filePath(QStringLiteral("munkalap.csv"));

    // The export as the program runs it: the rows read in batches on the
    // main connection and written as they come, with the progress window
    // taking the events (it shows after half a second).
    QVector<double> program, client, pauses, peaks;
    long clientPeak = 0;
    int rows = 0;
    qint64 bytes = 0;
    for (int i = 0; i < runs; ++i) {
        bench::ResetPeak();
        QElapsedTimer t;
        double ms = 0;
        const double pause = bench::LongestPause([&] {
            t.start();
            const ExportSource src = ExportSource::ofQuery(QString::fromLatin1(kSql));
            JobProgress job(QStringLiteral("Exportálás"), QStringLiteral("sor"), nullptr);
            rows = WriteDelimitedFile(src, DelimitedOptions(), file, [&](int done) {
                job.check(done);
                return true;
            });
            ms = bench::MsSince(t);
        });
        peaks << bench::PeakMB();
        program << ms;
        pauses << pause;
        bytes = QFileInfo(file).size();

        const ClientRun c = clientRun(p, dir.filePath(QStringLiteral("client.tsv")), false);
        client << c.ms;
        clientPeak = std::max(clientPeak, c.peakKb);
    }
    const qint64 clientBytes = QFileInfo(dir.filePath(QStringLiteral("client.tsv"))).size();
    std::printf("work orders: %d rows; program file %.1f MB, client file %.1f MB\n", rows, bytes / 1e6, clientBytes / 1e6);
    std::printf("program (streamed export) %8.1f ms\n", bench::Median(program));
    std::printf("mariadb -B > file         %8.1f ms\n", bench::Median(client));
    std::printf("RATIO export-csv %.1f %.1f\n", bench::Median(program), bench::Median(client));
    std::printf("PEAK export-csv program %.1f MB (VmHWM of the export), client %.1f MB\n", bench::Median(peaks), clientPeak / 1024.0);
    std::printf("PAUSE export-csv %.1f ms (longest gap of a 10 ms timer on the main thread, median of runs)\n", bench::Median(pauses));
    return 0;
}
