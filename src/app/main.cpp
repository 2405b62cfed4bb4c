// Program entry: --help and --version, the application object, Hungarian
// standard buttons, the program-wide wheel rule, and the main window, which
// runs the start-up.
#include "base/Version.h"
#include "config/Config.h"
#include "ui/WheelAsArrows.h"
#include "ui/Pictures.h"
#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {

void loadQtTranslation(QTranslator &t)
{
    if (t.load(QStringLiteral("qtbase_hu"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&t);
}

// Answers --help and --version, and only those: every other argument is left
// to Qt and the start as before. They are answered without a display, so that
// the version can be asked on a machine without a desktop. Returns -1 when the
// program is to start.
int answerInformationOptions(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Our own options rather than Qt's stock ones, whose texts are not all Hungarian.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")},
                                  QStringLiteral("Kiírja a kapcsolók leírását, és kilép."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Kiírja a program verzióját, és kilép."));
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(help);
    parser.addOption(version);
    parser.parse(args); // unknown arguments are not an error here
    if (!parser.isSet(help) && !parser.isSet(version))
        return -1;

    QCoreApplication app(argc, argv);
    QTranslator qtHu;
    loadQtTranslation(qtHu);
    if (parser.isSet(version)) {
        std::printf("Quorvin.Opt %s\n", qo::kProgramVersion);
        return 0;
    }
    parser.setApplicationDescription(QStringLiteral(
        "Quorvin.Opt %1 – nyilvántartó program optikai üzletek számára.\n"
        "Indításkor a tárolt kapcsolatok egyikével csatlakozik a bolt adatbázisához; "
        "az első indítás a kapcsolat beállítását kéri.")
                                         .arg(QString::fromLatin1(qo::kProgramVersion)));
    std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const int answered = answerInformationOptions(argc, argv);
    if (answered >= 0)
        return answered;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuorvinOpt"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorvin.Opt"));
    // Lets the desktop match the windows to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvinopt"));
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    QTranslator qtHu;
    loadQtTranslation(qtHu);
    qo::initFolders();
    qo::InstallWheelAsArrows(&app);
    qo::InstallIconTheme();

    qo::MainWindow w;
    if (w.isAborted())
        return 0; // nothing was saved; the messages have been shown
    w.show();
    return QApplication::exec();
}
