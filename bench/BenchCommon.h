#pragma once
// What every benchmark starts with: the server from its arguments and a
// configuration file of its own, so that a run never touches the user's.
#include "config/Config.h"
#include "db/Connection.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QVector>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace qo::bench {

// HOST PORT DATABASE [RUNS] on the private server's account qo/qo; false
// (after printing the usage line) when they are missing.
inline bool ReadServerArgs(int argc, char **argv, const char *program, int defaultRuns, ConnectParams &p, int &runs)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s HOST PORT DATABASE [RUNS]\n", program);
        return false;
    }
    p.host = QString::fromLocal8Bit(argv[1]);
    p.port = QString::fromLocal8Bit(argv[2]).toInt();
    p.database = QString::fromLocal8Bit(argv[3]);
    p.user = p.password = QStringLiteral("qo");
    runs = argc > 4 ? QString::fromLocal8Bit(argv[4]).toInt() : defaultRuns;
    return true;
}

// An empty configuration file in dir, made the program's data folder.
inline void UsePrivateConfig(const QTemporaryDir &dir)
{
    QFile ini(dir.filePath(QStringLiteral("QuorvinOpt.ini")));
    if (ini.open(QIODevice::WriteOnly))
        ini.close();
    initFolders(dir.path());
}

// The middle value (the upper one of an even count); 0 for none.
inline double Median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

inline double MsSince(const QElapsedTimer &t) { return t.nsecsElapsed() / 1e6; }

// The bare command-line client with the program's link options (compression
// for a server elsewhere, latin2) running sql (one or more statements separated by ";") into
// /dev/null: the milliseconds from its start to its exit.
inline double ClientMs(const ConnectParams &p, const QString &sql)
{
    QProcess proc;
    proc.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    QStringList args{QStringLiteral("--no-defaults"), QStringLiteral("-h") + p.host,
                     QStringLiteral("-P%1").arg(p.port), QStringLiteral("-u") + p.user,
                     QStringLiteral("-p") + p.password, QStringLiteral("--default-character-set=latin2"),
                     QStringLiteral("-B"), p.database, QStringLiteral("-e"), sql};
    if (!IsLocalServer(p.host))
        args.insert(1, QStringLiteral("--compress"));
    proc.start(QStringLiteral("mariadb"), args);
    proc.waitForFinished(-1);
    const double ms = MsSince(t);
    if (proc.exitStatus() != QProcess::NormalExit || proc.exitCode() != 0)
        std::fprintf(stderr, "mariadb failed: %s\n", proc.readAllStandardError().constData());
    return ms;
}

// A line of /proc/self/status ("VmRSS:", "VmHWM:") in MB; 0 unknown.
inline double StatusMB(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}
// The process's resident set, and its peak since the last ResetPeak().
inline double ResidentMB() { return StatusMB("VmRSS:"); }
inline double PeakMB() { return StatusMB("VmHWM:"); }
// Starts a new peak at the present resident set: what the measured part alone needs.
inline void ResetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// The longest gap between two turns of a 10 ms timer on this thread while
// the meter lives: how long a window could not repaint.
class PauseMeter {
public:
    PauseMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, MsSince(m_gap));
            m_gap.restart();
        });
        m_gap.start();
        m_timer.start();
    }
    double longest()
    {
        const double last = MsSince(m_gap);
        if (qEnvironmentVariableIsSet("QO_BENCH_PAUSES"))
            std::printf("  longest pause %.1f ms, the last stretch %.1f ms\n", m_longest, last);
        return std::max(m_longest, last);
    }

private:
    QTimer m_timer;
    QElapsedTimer m_gap;
    double m_longest = 0;
};

// The longest pause of this thread while `work` runs.
inline double LongestPause(const std::function<void()> &work)
{
    PauseMeter meter;
    work();
    return meter.longest();
}

// The statements the main connection sends while the log lives.
class StatementLog {
public:
    StatementLog() { Connection::main().setBeforeStatement([this](const QString &sql) { m_sent << sql; }); }
    ~StatementLog() { Connection::main().setBeforeStatement({}); }
    StatementLog(const StatementLog &) = delete;
    StatementLog &operator=(const StatementLog &) = delete;
    const QStringList &sent() const { return m_sent; }

private:
    QStringList m_sent;
};

// Statements as one script for the client: each without its own closing
// ";", joined by ";".
inline QString Script(const QStringList &statements)
{
    QStringList out;
    for (QString s : statements) {
        s = s.trimmed();
        while (s.endsWith(QLatin1Char(';')))
            s.chop(1);
        out << s;
    }
    return out.join(QStringLiteral(";\n"));
}

} // namespace qo::bench
