#include "ui/WheelAsArrows.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QPointer>
#include <QWheelEvent>

#include <cstdlib>

namespace qo {

namespace {

class WheelAsArrows : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *obj, QEvent *ev) override
    {
        if (ev->type() != QEvent::Wheel || !obj->isWidgetType())
            return false;
        auto *we = static_cast<QWheelEvent *>(ev);
        if (we->modifiers() != Qt::NoModifier)
            return false;
        const int dy = we->angleDelta().y();
        if (dy == 0)
            return false;
        // Wheel events land on the view's viewport.
        QWidget *w = static_cast<QWidget *>(obj);
        auto *view = qobject_cast<QAbstractItemView *>(w->parentWidget());
        if (!view || view->viewport() != w)
            view = qobject_cast<QAbstractItemView *>(w);
        if (!view || qobject_cast<QCalendarWidget *>(view->parentWidget()))
            return false; // the month grid of a calendar keeps turning months
        // Fine-grained wheels send parts of a notch: one key per 120 units.
        int rest = view->property("qoWheelRest").toInt() + dy;
        const int steps = rest / 120;
        rest -= steps * 120;
        view->setProperty("qoWheelRest", rest);
        const int key = steps > 0 ? Qt::Key_Up : Qt::Key_Down;
        QPointer<QAbstractItemView> guard(view);
        for (int i = 0; i < std::abs(steps) && guard; ++i) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(view, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
            if (guard)
                QCoreApplication::sendEvent(view, &release);
        }
        return true;
    }
};

} // namespace

void InstallWheelAsArrows(QApplication *app)
{
    static QPointer<WheelAsArrows> installed;
    if (installed)
        return;
    installed = new WheelAsArrows(app);
    app->installEventFilter(installed);
}

} // namespace qo
