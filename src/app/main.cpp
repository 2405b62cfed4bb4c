// Program entry: the application object, Hungarian standard buttons, the
// program-wide wheel rule, and the main window, which runs the start-up.
#include "config/Config.h"
#include "ui/FormBehaviour.h"
#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuorvinOpt"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorvin.Opt"));
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    QTranslator qtHu;
    if (qtHu.load(QStringLiteral("qtbase_hu"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtHu);
    qo::initFolders();
    qo::InstallWheelAsArrows(&app);
    qo::InstallIconTheme();

    qo::MainWindow w;
    if (w.isAborted())
        return 0; // nothing was saved; the messages have been shown
    w.show();
    return QApplication::exec();
}
