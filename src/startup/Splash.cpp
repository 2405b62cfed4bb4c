#include "startup/Splash.h"
#include "ui/WindowKeys.h"
#include "ui/Pictures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace qo {

namespace {
bool splashEnabled = true;
}

void SetSplashEnabled(bool on) { splashEnabled = on; }

void ShowSplash()
{
    if (!splashEnabled)
        return;
    auto *w = new QLabel;
    w->setObjectName(WindowKeys::kSplash);
    w->setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool);
    w->setAttribute(Qt::WA_TranslucentBackground);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    w->setPixmap(DecorativePicture(QStringLiteral("logo"), 350, 400));
    w->resize(350, 400);
    if (const QScreen *s = QGuiApplication::primaryScreen())
        w->move(s->geometry().center() - QPoint(175, 200));
    w->show();
    // After a second the opacity drops by 10 of 255 every 11 ms; at 33 or less it closes.
    auto *fade = new QTimer(w);
    fade->setInterval(11);
    QObject::connect(fade, &QTimer::timeout, w, [w, level = 255]() mutable {
        level -= 10;
        if (level <= 33) {
            w->close();
            return;
        }
        w->setWindowOpacity(level / 255.0);
    });
    QTimer::singleShot(1000, w, [fade] { fade->start(); });
}

} // namespace qo
