#include "ui/FieldMark.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

namespace qo {

namespace {

const char kMarkName[] = "qoFieldMark";

// Drawn on top of the field and transparent for the mouse, so the field
// works as before underneath.
class MarkFrame : public QWidget {
public:
    explicit MarkFrame(QWidget *field) : QWidget(field)
    {
        setObjectName(QLatin1String(kMarkName));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        field->installEventFilter(this);
        setGeometry(field->rect());
    }

protected:
    bool eventFilter(QObject *obj, QEvent *ev) override
    {
        if (obj == parent() && ev->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return false;
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QPen pen(FieldMarkColor());
        pen.setWidth(2);
        p.setPen(pen);
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
};

} // namespace

QColor FieldMarkColor()
{
    return QColor(0xd9, 0x48, 0x0f);
}

void SetFieldMark(QWidget *field, bool on)
{
    auto *frame = static_cast<MarkFrame *>(field->findChild<QWidget *>(QLatin1String(kMarkName), Qt::FindDirectChildrenOnly));
    if (!frame) {
        if (!on)
            return;
        frame = new MarkFrame(field);
    }
    frame->setVisible(on);
    if (on)
        frame->raise();
}

bool HasFieldMark(const QWidget *field)
{
    const QWidget *frame = field->findChild<QWidget *>(QLatin1String(kMarkName), Qt::FindDirectChildrenOnly);
    return frame && !frame->isHidden();
}

} // namespace qo
