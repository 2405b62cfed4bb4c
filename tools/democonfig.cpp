// Writes a stored connection into the configuration file beside the program,
// for the demo set-up script: qo_democonfig FOLDER RECORD. A stored record with
// the same display name is replaced, so the script can run again and again.
#include "config/Config.h"
#include "config/StoredConnections.h"
#include "base/Error.h"
#include "base/Text.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: qo_democonfig FOLDER \"db;host;port;user;password;name\"\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString record = QString::fromLocal8Bit(argv[2]);
    QFile ini(folder + QStringLiteral("/QuorvinOpt.ini"));
    if (!ini.exists() && ini.open(QIODevice::WriteOnly)) // the file beside the program makes it the data folder
        ini.close();
    qo::initFolders(folder);
    const QString name = qo::FieldPart(QStringLiteral(";"), record, 6);
    try {
        for (const qo::StoredConnection &c : qo::ReadStoredConnections(0, 100)) {
            if (qo::FieldPart(QStringLiteral(";"), c.record, 6) == name) {
                qo::WriteStoredConnection(c.key, record);
                return 0;
            }
        }
        qo::StoreNewConnection(record);
    } catch (const qo::Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
