#include "config/Config.h"
#include "base/Codec.h"
#include "base/Error.h"
#include "config/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

namespace qo {

namespace {

const QString kConfigName = QStringLiteral("QuorvinOpt.ini");

struct Folders {
    bool ready = false;
    QString program, data, config;
    QRect workArea;
};

Folders &folders()
{
    static Folders f;
    return f;
}

const Folders &ready()
{
    if (!folders().ready)
        initFolders();
    return folders();
}

QString withoutTrailingSlash(QString p)
{
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    if (p == QLatin1String("/"))
        p.clear(); // the root: the file is then "/QuorvinOpt.ini"
    return p;
}

QByteArray oneLine(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return toCp1250(t);
}

// Decimal, or hexadecimal after "0x" / "0X"; no number gives the default.
int intValue(const IniDocument &doc, const QString &section, const QString &key, int def)
{
    const auto v = doc.value(section, key);
    if (!v)
        return def;
    const QByteArray t = v->trimmed();
    bool ok = false;
    if (t.startsWith("0x") || t.startsWith("0X")) {
        const uint u = t.mid(2).toUInt(&ok, 16);
        return ok ? int(u) : def; // 0xFFFFFFFF is -1, as a 32-bit value
    }
    const int i = t.toInt(&ok, 10);
    return ok ? i : def;
}

void writeValue(const QString &section, const QString &key, const QByteArray &value)
{
    const QString path = ConfigFile();
    IniDocument doc = IniDocument::loadForUpdate(path);
    doc.set(section, key, value);
    doc.save(path);
}

} // namespace

void initFolders(const QString &programFolder)
{
    Folders &f = folders();
    QString prog = programFolder;
    if (prog.isEmpty())
        prog = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    // Path case is kept: on this platform file names are case-sensitive.
    f.program = withoutTrailingSlash(QDir::fromNativeSeparators(prog));

    if (QFileInfo::exists(f.program + QLatin1Char('/') + kConfigName)) {
        f.data = f.program;
    } else {
        const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        f.data = withoutTrailingSlash(base) + QStringLiteral("/QuorvinOpt");
        // A first run must be able to store its connection. When the folder
        // cannot be made, the first write reports that the file cannot be written.
        QDir().mkpath(f.data);
    }
    f.config = f.data + QLatin1Char('/') + kConfigName;

    f.workArea = QRect(0, 0, 1920, 1080);
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (const QScreen *s = QGuiApplication::primaryScreen())
            f.workArea = s->availableGeometry();
    }
    f.ready = true;
}

QString ProgramFolder() { return ready().program; }
QString DataFolder() { return ready().data; }
QString ConfigFile() { return ready().config; }
QRect WorkArea() { return ready().workArea; }

void setWorkAreaForTests(const QRect &area)
{
    ready();
    folders().workArea = area;
}

QColor MarkColor() { return QColor(255, 255, 185); }
QColor FocusColor() { return QColor(166, 202, 240); }

QString ReadConfigString(const QString &section, const QString &key, const QString &def)
{
    const auto v = IniDocument::load(ConfigFile()).value(section, key);
    return v ? fromCp1250(*v) : def;
}

void WriteConfigString(const QString &section, const QString &key, const QString &value)
{
    writeValue(section, key, oneLine(value));
}

int ReadConfigInt(const QString &section, const QString &key, int def)
{
    return intValue(IniDocument::load(ConfigFile()), section, key, def);
}

void WriteConfigInt(const QString &section, const QString &key, int value)
{
    writeValue(section, key, QByteArray::number(value));
}

bool ReadConfigBool(const QString &section, const QString &key, bool def)
{
    return ReadConfigInt(section, key, def ? 1 : 0) != 0;
}

void WriteConfigBool(const QString &section, const QString &key, bool value)
{
    writeValue(section, key, value ? "1" : "0");
}

bool ConfigKeyExists(const QString &section, const QString &key)
{
    return IniDocument::load(ConfigFile()).contains(section, key);
}

void DeleteConfigKey(const QString &section, const QString &key)
{
    const QString path = ConfigFile();
    IniDocument doc = IniDocument::loadForUpdate(path);
    if (doc.remove(section, key))
        doc.save(path);
}

QByteArray ReadConfigBytes(const QString &section, const QString &key)
{
    return IniDocument::load(ConfigFile()).value(section, key).value_or(QByteArray());
}

void WriteConfigBytes(const QString &section, const QString &key, const QByteArray &value)
{
    writeValue(section, key, value);
}

QPoint RestoreWindowPosition(const QString &windowName)
{
    const IniDocument doc = IniDocument::load(ConfigFile());
    return QPoint(intValue(doc, windowName, QStringLiteral("Left"), 10),
                  intValue(doc, windowName, QStringLiteral("Top"), 10));
}

QRect RestoreWindowPlacement(const QString &windowName, int width, int height)
{
    const IniDocument doc = IniDocument::load(ConfigFile());
    int left = intValue(doc, windowName, QStringLiteral("Left"), 10);
    int top = intValue(doc, windowName, QStringLiteral("Top"), 10);
    int w = intValue(doc, windowName, QStringLiteral("Width"), width);
    int h = intValue(doc, windowName, QStringLiteral("Height"), height);
    return ClampToWorkArea(QRect(left, top, w, h));
}

QRect ClampToWorkArea(const QRect &rect)
{
    int left = rect.x(), top = rect.y(), w = rect.width(), h = rect.height();
    // Right and bottom are the work area's outer edges (left + width).
    const QRect wa = WorkArea();
    const int right = wa.x() + wa.width();
    const int bottom = wa.y() + wa.height();
    if (left > right)
        left = 0;
    if (top > bottom)
        top = 0;
    if (left + w > right) {
        if (w < right) {
            left = right - w;
        } else {
            left = 0;
            w = right;
        }
    }
    if (top + h > bottom) {
        if (h < bottom) {
            top = bottom - h;
        } else {
            top = 0;
            h = bottom;
        }
    }
    return QRect(left, top, w, h);
}

void SaveWindowPosition(const QString &windowName, int left, int top)
{
    try {
        const QString path = ConfigFile();
        IniDocument doc = IniDocument::loadForUpdate(path);
        doc.set(windowName, QStringLiteral("Left"), QByteArray::number(left));
        doc.set(windowName, QStringLiteral("Top"), QByteArray::number(top));
        doc.save(path);
    } catch (const Error &) {
        // A position that cannot be kept is not worth troubling the user with.
    }
}

void SaveWindowPlacement(const QString &windowName, int left, int top, int height, int width)
{
    const QString path = ConfigFile();
    IniDocument doc = IniDocument::loadForUpdate(path);
    doc.set(windowName, QStringLiteral("Left"), QByteArray::number(left));
    doc.set(windowName, QStringLiteral("Top"), QByteArray::number(top));
    doc.set(windowName, QStringLiteral("Width"), QByteArray::number(width));
    doc.set(windowName, QStringLiteral("Height"), QByteArray::number(height));
    doc.save(path);
}

} // namespace qo
