#pragma once
// A fresh shop database on the private test server, made from the shop script
// for one test case and dropped again afterwards.
#include "db/Connection.h"
#include <QString>

namespace qo::test {

// The private server of this test run (no database chosen).
ConnectParams serverParams(const QString &dbDirEnv = QStringLiteral("QO_TEST_DBDIR"));

// Runs an SQL script file with the command-line client against a database.
void runScript(const QString &database, const QString &path, const ConnectParams &server);

class TestDb {
public:
    // Creates database `name` from the shop script (dropping an old one) and
    // opens the main connection on it unless openMain is false.
    explicit TestDb(const QString &name, bool openMain = true);
    ~TestDb();
    ConnectParams params() const;
    QString name() const { return m_name; }

private:
    QString m_name;
    ConnectParams m_server;
};

} // namespace qo::test
