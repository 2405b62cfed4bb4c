#include "ui/Pictures.h"

#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QStandardPaths>
#include <QSvgRenderer>

// The resource file lives in a static library: it has to be pulled in by name.
static void initUiResources()
{
    static bool done = false;
    if (!done) {
        Q_INIT_RESOURCE(resources);
        done = true;
    }
}

namespace qo {

void InstallIconTheme()
{
    initUiResources();
    static bool done = false;
    if (done)
        return;
    done = true;
    const QString packaged = QStringLiteral("Adwaita");
    // Some platforms (no desktop session) search no folder at all: add the
    // system's icon folders ($XDG_DATA_DIRS/icons).
    QStringList themePaths = QIcon::themeSearchPaths();
    for (const QString &dir : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                                        QStandardPaths::LocateDirectory))
        if (!themePaths.contains(dir))
            themePaths << dir;
    QIcon::setThemeSearchPaths(themePaths);
    QIcon::setFallbackThemeName(packaged);
    // Without a desktop (no theme of its own, or only the bare hicolor) the
    // packaged theme is the theme.
    const QString current = QIcon::themeName();
    if (current.isEmpty() || current == QLatin1String("hicolor"))
        QIcon::setThemeName(packaged);
    QStringList paths = QIcon::fallbackSearchPaths();
    paths << QStringLiteral(":/icons");
    QIcon::setFallbackSearchPaths(paths);
}

QPixmap SvgPicture(const QByteArray &svg, int width, int height)
{
    QSvgRenderer r(svg);
    QPixmap pm(width, height);
    pm.fill(Qt::transparent);
    if (!r.isValid())
        return pm;
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QSizeF s = r.defaultSize();
    s.scale(width, height, Qt::KeepAspectRatio);
    r.render(&p, QRectF((width - s.width()) / 2, (height - s.height()) / 2, s.width(), s.height()));
    return pm;
}

QPixmap DecorativePicture(const QString &name, int width, int height)
{
    initUiResources();
    QFile f(QStringLiteral(":/pics/%1.svg").arg(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return SvgPicture(f.readAll(), width, height);
}

QPixmap ResourcePicture(const QString &path, int width, int height)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return SvgPicture(QByteArray(), width, height);
    return SvgPicture(f.readAll(), width, height);
}

} // namespace qo
