#pragma once
// What every benchmark starts with: the server from its arguments and a
// configuration file of its own, so that a run never touches the user's.
#include "config/Config.h"
#include "db/Connection.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

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

} // namespace qo::bench
