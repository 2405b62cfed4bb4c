#pragma once
// For a test class whose cases export: a folder of its own that also holds
// the configuration file (else the user's would be used), a test database of
// the test program's own with the table t_exp of every column kind, emptied
// before each case.
#include "support/TestDb.h"

#include "config/AppState.h"
#include "config/Config.h"
#include "db/Connection.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace qo::test {

class ExportFixture {
protected:
    QTemporaryDir m_dir;
    TestDb *m_db = nullptr;

    QString out(const QString &name) const { return m_dir.filePath(name); }

    // From initTestCase.
    void setUpExports()
    {
        QVERIFY(m_dir.isValid());
        QFile ini(m_dir.filePath(QStringLiteral("QuorvinOpt.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.close();
        initFolders(m_dir.path());
        QCOMPARE(DataFolder(), m_dir.path());
        appState() = AppState();
        // Named after the test program: the programs run side by side on
        // one server, and one must not drop the other's database.
        m_db = new TestDb(QCoreApplication::applicationName().remove(QStringLiteral("tst_")) + QStringLiteral("_main"));
        ExecSql(QStringLiteral("CREATE TABLE t_exp (k INT NOT NULL AUTO_INCREMENT PRIMARY KEY, nev VARCHAR(60), "
                               "megj TEXT, ar DOUBLE, datum DATE, szam INT, nagy BIGINT)"));
    }
    // From cleanupTestCase.
    void tearDownExports()
    {
        delete m_db;
        m_db = nullptr;
    }
    // From init.
    void clearExportTable() { ExecSql(QStringLiteral("DELETE FROM t_exp")); }
};

} // namespace qo::test
