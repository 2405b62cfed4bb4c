// Delimited export of every work order against the bare command-line client
// writing the same columns into a file.
//
//   qo_bench_export HOST PORT DATABASE [RUNS]
//
// Prints the medians in milliseconds (the program: reading the rows and
// writing the file; the client: `mariadb -B -e "SELECT ..." > file`), their
// ratio, the row set's memory, both processes' peak memory, and how often the
// export dialog took its input (the longest pause between two) while it wrote.
#include "BenchCommon.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "export/DelimitedWriter.h"
#include "export/ExportDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using namespace qo;

static double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

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
    if (!bench::ReadServerArgs(argc, argv, "qo_bench_export", 5, p, runs))
        return 2;
    QTemporaryDir dir;
    bench::UsePrivateConfig(dir);
    Connection::main().open(p);
    const QString file = dir.filePath(QStringLiteral("munkalap.csv"));

    QVector<double> program, readOnly, writeOnly, client, clientZ;
    long clientPeak = 0;
    int rows = 0;
    qint64 bytes = 0;
    size_t rowSetBytes = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const RowSet rs = Connection::main().query(QString::fromLatin1(kSql));
        const double read = t.nsecsElapsed() / 1e6;
        const ExportSource src(rs);
        WriteDelimitedFile(src, DelimitedOptions(), file);
        const double all = t.nsecsElapsed() / 1e6;
        program << all;
        readOnly << read;
        writeOnly << all - read;
        rows = rs.rowCount();
        rowSetBytes = rs.memoryBytes();
        bytes = QFileInfo(file).size();

        const ClientRun c = clientRun(p, dir.filePath(QStringLiteral("client.tsv")), false);
        client << c.ms;
        clientPeak = std::max(clientPeak, c.peakKb);
        clientZ << clientRun(p, dir.filePath(QStringLiteral("clientz.tsv")), true).ms;
    }
    const qint64 clientBytes = QFileInfo(dir.filePath(QStringLiteral("client.tsv"))).size();

    // The same export through the dialog: how often it takes its input.
    int pumps = 0;
    double longestGap = 0;
    double dialogMs = 0;
    {
        const RowSet rs = Connection::main().query(QString::fromLatin1(kSql));
        const ExportSource src(rs);
        ExportDialog d(src, file);
        d.show();
        QElapsedTimer gap, total;
        QTimer tick;
        bool running = false;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (QWidget *m = QApplication::activeModalWidget(); m && m != &d) {
                m->close(); // the "file kész." message
                return;
            }
            if (!d.findChild<QPushButton *>(QStringLiteral("stopButton"))->isEnabled())
                return;
            if (running) {
                longestGap = std::max(longestGap, gap.nsecsElapsed() / 1e6);
                ++pumps;
            }
            running = true;
            gap.restart();
        });
        tick.start(0);
        gap.start();
        total.start();
        d.findChild<QPushButton *>(QStringLiteral("startButton"))->click();
        dialogMs = total.nsecsElapsed() / 1e6;
    }

    struct rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    std::printf("work orders: %d rows, %d columns; program file %.1f MB, client file %.1f MB\n", rows,
                Connection::main().query(QString::fromLatin1(kSql) + QStringLiteral(" LIMIT 1")).columnCount(),
                bytes / 1e6, clientBytes / 1e6);
    std::printf("program (read + write)   %8.1f ms  (read %.1f ms, write %.1f ms)\n", median(program), median(readOnly),
                median(writeOnly));
    std::printf("mariadb -B > file        %8.1f ms  ratio %.2f\n", median(client), median(program) / median(client));
    std::printf("mariadb -B --compress    %8.1f ms  ratio %.2f (what the program's link did before: compressed also on this machine)\n", median(clientZ),
                median(program) / median(clientZ));
    std::printf("memory: row set %.1f MB; program peak RSS %.1f MB; client peak RSS %.1f MB\n", rowSetBytes / 1e6,
                ru.ru_maxrss / 1024.0, clientPeak / 1024.0);
    std::printf("dialog export %.1f ms: input taken %d times, longest pause %.1f ms\n", dialogMs, pumps, longestGap);
    return 0;
}
