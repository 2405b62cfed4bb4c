#pragma once
// Icons and pictures: the icon theme, the program's own SVG pictures.
#include <QPixmap>

class QByteArray;
class QString;

namespace qo {

// Program-wide, once at start (also by the main window): toolbar and button
// icons come from the desktop's icon theme, falling back to the packaged
// freedesktop theme "Adwaita" and then to the program's own few icons in its
// resources, so the toolbars look the same on every machine.
void InstallIconTheme();

// One of the program's own decorative pictures (src/ui/pics/<name>.svg),
// rendered at the given size; a null pixmap when the name is unknown.
QPixmap DecorativePicture(const QString &name, int width, int height);
// An SVG picture rendered centred in a transparent box of the given size,
// keeping its proportions (an empty box when the SVG is not valid).
QPixmap SvgPicture(const QByteArray &svg, int width, int height);

// An SVG picture from the resources (":/folder/name.svg") rendered as
// SvgPicture does; an empty box when it cannot be read.
QPixmap ResourcePicture(const QString &path, int width, int height);

} // namespace qo
