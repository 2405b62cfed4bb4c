#include "config/LocalSettings.h"

#include "config/Config.h"

namespace qo {

namespace {

const QString kSection = QStringLiteral("Alapertek");
const QString kDefaultMask = QStringLiteral("### ### ##0");

} // namespace

void LoadLocalSettings(AppState &b)
{
    b.HtmlUt = ReadConfigString(kSection, QStringLiteral("HtmlUt"), ProgramFolder() + QStringLiteral("/Html"));
    b.Betumeret = ReadConfigInt(kSection, QStringLiteral("Betumeret"), 9);
    if (b.Betumeret < 8 || b.Betumeret > 10)
        b.Betumeret = 9;
    b.mlaphatid = ReadConfigInt(kSection, QStringLiteral("MLapHatid"), 7);
    b.AlapVaros = ReadConfigString(kSection, QStringLiteral("AlapVaros"));
    b.TeljesKep = ReadConfigBool(kSection, QStringLiteral("TeljesKep"), true);
    b.Tulajdonos = ReadConfigString(QStringLiteral("Tulajdonos"), QStringLiteral("Tulajdonos"));
    b.FormatFt = ReadConfigString(kSection, QStringLiteral("FormatFt"), kDefaultMask);
    b.FormatDb = ReadConfigString(kSection, QStringLiteral("FormatDb"), kDefaultMask);
}

void SaveLocalSettings(const AppState &b, const QRect &mainWindow)
{
    WriteConfigInt(kSection, QStringLiteral("Betumeret"), b.Betumeret);
    WriteConfigInt(kSection, QStringLiteral("MLapHatid"), b.mlaphatid);
    WriteConfigString(kSection, QStringLiteral("HtmlUt"), b.HtmlUt);
    WriteConfigBool(kSection, QStringLiteral("TeljesKep"), b.TeljesKep);
    WriteConfigString(QStringLiteral("Tulajdonos"), QStringLiteral("Tulajdonos"), b.Tulajdonos);
    WriteConfigString(kSection, QStringLiteral("AlapVaros"), b.AlapVaros);
    WriteConfigString(kSection, QStringLiteral("FormatFt"), b.FormatFt);
    WriteConfigString(kSection, QStringLiteral("FormatDb"), b.FormatDb);
    WriteConfigInt(kSection, QStringLiteral("Bal"), mainWindow.x());
    WriteConfigInt(kSection, QStringLiteral("Felul"), mainWindow.y());
    WriteConfigInt(kSection, QStringLiteral("Magas"), mainWindow.height());
    WriteConfigInt(kSection, QStringLiteral("Szeles"), mainWindow.width());
}

QRect StoredMainWindowRect(const QSize &defaultSize)
{
    return QRect(ReadConfigInt(kSection, QStringLiteral("Bal"), 5), ReadConfigInt(kSection, QStringLiteral("Felul"), 5),
                 ReadConfigInt(kSection, QStringLiteral("Szeles"), defaultSize.width()),
                 ReadConfigInt(kSection, QStringLiteral("Magas"), defaultSize.height()));
}

} // namespace qo
