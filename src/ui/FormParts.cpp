#include "ui/FormParts.h"
#include "ui/Pictures.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace qo {

void SetFixedDialogFrame(QDialog *window, const QString &objectName, const QString &title)
{
    window->setObjectName(objectName);
    window->setWindowTitle(title);
    window->setWindowFlags((window->windowFlags() | Qt::MSWindowsFixedSizeDialogHint)
                           & ~Qt::WindowContextHelpButtonHint);
}

void SetUpFixedForm(QDialog *window, const QString &objectName, const QString &title, Placement placement)
{
    SetFixedDialogFrame(window, objectName, title);
    InstallFormBehaviour(window, placement);
}

OkCancelButtons MakeOkCancelButtons(QDialog *dialog, QWidget *parent, const QString &okName,
                                    const QString &cancelName, int minimumWidth)
{
    OkCancelButtons b;
    b.ok = new QPushButton(QStringLiteral("OK"), parent);
    b.ok->setObjectName(okName);
    b.cancel = new QPushButton(QStringLiteral("Mégsem"), parent);
    b.cancel->setObjectName(cancelName);
    for (QPushButton *p : {b.ok, b.cancel}) {
        p->setAutoDefault(false); // Enter in a field moves on, it never closes the form
        p->setDefault(false);
        if (minimumWidth > 0)
            p->setMinimumWidth(minimumWidth);
    }
    QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return b;
}

void AddCaptionedField(QVBoxLayout *fields, QWidget *owner, const QString &caption, QWidget *field,
                       QWidget *beside)
{
    auto *l = new QLabel(caption, owner);
    l->setBuddy(field);
    fields->addWidget(l);
    if (beside) {
        auto *h = new QHBoxLayout;
        h->addWidget(field, 1);
        h->addWidget(beside);
        fields->addLayout(h);
    } else {
        fields->addWidget(field);
    }
    fields->addSpacing(4);
}

void ArrangePictureForm(QDialog *dialog, const QString &picture, int pictureWidth, int pictureHeight,
                        QLayout *fields, QLayout *buttons)
{
    auto *image = new QLabel(dialog);
    image->setPixmap(DecorativePicture(picture, pictureWidth, pictureHeight));
    image->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    auto *top = new QHBoxLayout;
    top->addWidget(image, 0, Qt::AlignTop);
    top->addSpacing(10);
    top->addLayout(fields, 1);
    auto *main = new QVBoxLayout(dialog);
    main->addLayout(top);
    main->addSpacing(6);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void ChainTabOrder(const QList<QWidget *> &order)
{
    QWidget *previous = nullptr;
    for (QWidget *w : order) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

ScrollingText MakeScrollingText(const QString &text)
{
    ScrollingText t;
    t.label = new QLabel(text);
    t.label->setTextFormat(Qt::PlainText);
    t.label->setWordWrap(true);
    t.label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    t.label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    t.area = new QScrollArea;
    t.area->setWidget(t.label); // which turns the label's background filling on
    t.area->setWidgetResizable(true);
    t.area->setFrameShape(QFrame::NoFrame);
    t.area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t.area->viewport()->setAutoFillBackground(false);
    t.label->setAutoFillBackground(false);
    return t;
}

} // namespace qo
