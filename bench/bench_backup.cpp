// Times the program's data backup of a shop database against the stock dump
// tool writing the same database into a file, and the stock client restoring
// the program's script into a fresh copy of the schema.
//
//   qo_bench_backup HOST PORT DATABASE [RUNS]
//
// Account qo/qo (the private server's). Prints the medians in milliseconds,
// the ratio, the file sizes, and checks that the restored copy has the same
// rows (CHECKSUM TABLE of every base table).
#include "BenchCommon.h"
#include "admin/BackupWriter.h"
#include "db/Connection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace qo;

namespace {

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

QString tool(const char *a, const char *b)
{
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(a));
    return found.isEmpty() ? QStandardPaths::findExecutable(QString::fromLatin1(b)) : found;
}

QStringList account(const ConnectParams &p)
{
    return {QStringLiteral("--no-defaults"), QStringLiteral("-h") + p.host, QStringLiteral("-P%1").arg(p.port),
            QStringLiteral("-u") + p.user, QStringLiteral("-p") + p.password};
}

bool run(const QString &program, const QStringList &args, const QString &input = {})
{
    QProcess proc;
    if (!input.isEmpty())
        proc.setStandardInputFile(input);
    proc.setStandardOutputFile(QProcess::nullDevice());
    proc.start(program, args);
    if (!proc.waitForFinished(-1) || proc.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), proc.readAllStandardError().constData());
        return false;
    }
    return true;
}

QMap<QString, QString> checksums(const ConnectParams &p)
{
    Connection c;
    c.open(p);
    QMap<QString, QString> out;
    const RowSet t = c.query(QStringLiteral("SHOW FULL TABLES WHERE Table_type = 'BASE TABLE'"));
    for (int r = 0; r < t.rowCount(); ++r)
        out.insert(t.text(r, 0), c.query(QStringLiteral("CHECKSUM TABLE `%1`").arg(t.text(r, 0))).text(0, 1));
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ConnectParams p;
    int runs = 0;
    if (!bench::ReadServerArgs(argc, argv, "qo_bench_backup", 3, p, runs))
        return 2;
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("program.sql"));
    const QString dumped = dir.filePath(QStringLiteral("dump.sql"));
    const QString dump = tool("mariadb-dump", "mysqldump");
    const QString client = tool("mariadb", "mysql");

    QVector<double> program, stock, reading;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        Connection c; // the backup's own connection, opened as the window does
        c.open(p);
        BackupWriter(c).writeScript(script);
        c.close();
        program << t.nsecsElapsed() / 1e6;

        // The share of it that only fetches the rows.
        t.restart();
        c.open(p);
        for (const QString &table : BackupWriter(c).baseTables())
            c.query(QStringLiteral("SELECT * FROM `%1`").arg(table));
        c.close();
        reading << t.nsecsElapsed() / 1e6;

        t.restart();
        if (!run(dump, account(p) + QStringList{QStringLiteral("-c"), QStringLiteral("-C"), QStringLiteral("--force"),
                                                QStringLiteral("--databases"), p.database,
                                                QStringLiteral("--result-file=") + dumped}))
            return 1;
        stock << t.nsecsElapsed() / 1e6;
    }
    std::printf("data backup (program)          %9.1f ms  %12lld bytes\n", median(program), QFileInfo(script).size());
    std::printf("  of which fetching the rows     %9.1f ms\n", median(reading));
    std::printf("%-30s %9.1f ms  %12lld bytes\n", qPrintable(QFileInfo(dump).fileName() + QStringLiteral(" -c -C --force")),
                median(stock), QFileInfo(dumped).size());
    std::printf("ratio program / dump tool      %9.2f\n", median(program) / median(stock));

    // Restore the program's script with the stock client into a fresh schema.
    const QString copy = p.database + QStringLiteral("_restore");
    Connection admin;
    ConnectParams server = p;
    server.database.clear();
    admin.open(server);
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(copy));
    admin.exec(QStringLiteral("CREATE DATABASE `%1` CHARACTER SET latin2 COLLATE latin2_hungarian_ci").arg(copy));
    if (!run(client, account(p) + QStringList{copy}, QStringLiteral(QO_SOURCE_DIR "/schema/shop.sql")))
        return 1;
    QElapsedTimer t;
    t.start();
    if (!run(client, account(p) + QStringList{QStringLiteral("--default-character-set=cp1250"), copy}, script))
        return 1;
    std::printf("restore of the program's script by %s: %.1f ms\n", qPrintable(QFileInfo(client).fileName()),
                t.nsecsElapsed() / 1e6);
    ConnectParams restored = p;
    restored.database = copy;
    const bool same = checksums(p) == checksums(restored);
    std::printf("restored copy identical (CHECKSUM TABLE): %s\n", same ? "yes" : "NO");
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(copy));
    return same ? 0 : 1;
}
