#include "clients/ClientsCommon.h"
#include "ui/Pictures.h"

#include "db/Connection.h"
#include "base/Error.h"

#include <QAbstractSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSvgRenderer>

static void initClientResources()
{
    static bool done = false;
    if (!done) {
        Q_INIT_RESOURCE(clients);
        done = true;
    }
}

namespace qo::clients {

QPixmap Picture(const QString &name, int width, int height)
{
    initClientResources();
    QFile f(QStringLiteral(":/clientpics/%1.svg").arg(name));
    return f.open(QIODevice::ReadOnly) ? SvgPicture(f.readAll(), width, height) : QPixmap();
}

QFont BigBoldFont(const QFont &base, int extraPoints)
{
    QFont f = base;
    f.setPointSize((base.pointSize() > 0 ? base.pointSize() : 9) + extraPoints);
    f.setBold(true);
    return f;
}

void MakeShowOnly(QLineEdit *edit)
{
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    edit->setPalette(p);
}

void ShowBeginnings(QWidget *window)
{
    for (QLineEdit *e : window->findChildren<QLineEdit *>())
        if (!qobject_cast<QAbstractSpinBox *>(e->parentWidget())) // the date picker's own
            e->setCursorPosition(0);
}

QLabel *FieldLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

} // namespace qo::clients
