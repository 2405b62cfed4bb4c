#pragma once
// For a test class of windows: a folder of its own for the configuration
// file, a full-HD work area, the mouse wheel as the program sets it up, and
// default settings with no configuration file before each case.
#include "config/AppState.h"
#include "config/Config.h"
#include "ui/WheelAsArrows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

namespace qo::test {

// The window as a PNG in $QO_SHOTS_DIR, when that is set, to look at.
inline void saveShot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("QO_SHOTS_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

class WindowFixture {
protected:
    QTemporaryDir m_dir;

    // From initTestCase.
    void setUpWindows()
    {
        QVERIFY(m_dir.isValid());
        initFolders(m_dir.path());
        setWorkAreaForTests(QRect(0, 0, 1920, 1040));
        InstallWheelAsArrows(qApp);
    }
    // From init.
    void resetSettings()
    {
        appState() = AppState();
        QFile::remove(ConfigFile());
    }
};

} // namespace qo::test
