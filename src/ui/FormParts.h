#pragma once
// Pieces the program's dialogs are built from, written once: the preamble of
// a fixed-size form, the "OK" / "Mégsem" pair, and the picture-beside-fields
// layout of the small connection and user forms.
#include "ui/WindowBehaviour.h"

#include <QList>
#include <QString>
#include <initializer_list>

class QDialog;
class QLabel;
class QLayout;
class QScrollArea;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace qo {

// Object name (it keys the stored placement), title, and a fixed size without
// the help button. For windows that install their form behaviour themselves,
// after their fields exist.
void SetFixedDialogFrame(QDialog *window, const QString &objectName, const QString &title);

// SetFixedDialogFrame and the shared form behaviour (InstallFormBehaviour).
void SetUpFixedForm(QDialog *window, const QString &objectName, const QString &title,
                    Placement placement = Placement::Position);

struct OkCancelButtons {
    QPushButton *ok = nullptr;
    QPushButton *cancel = nullptr;
};

// "OK" and "Mégsem" for a form where Enter moves between fields: neither is a
// default button, both at least minimumWidth wide (0: their own width), and
// "Mégsem" rejects the dialog. Connecting "OK" is the caller's.
OkCancelButtons MakeOkCancelButtons(QDialog *dialog, QWidget *parent, const QString &okName,
                                    const QString &cancelName, int minimumWidth = 0);

// A caption (buddy of the field) over the field, with the field and the
// optional widget beside it on one line, then a small gap.
void AddCaptionedField(QVBoxLayout *fields, QWidget *owner, const QString &caption, QWidget *field,
                       QWidget *beside = nullptr);

// The decorative picture at the top left, the fields beside it, the buttons
// below; the dialog keeps the size this layout asks for.
void ArrangePictureForm(QDialog *dialog, const QString &picture, int pictureWidth, int pictureHeight,
                        QLayout *fields, QLayout *buttons);

// Tab moves through the widgets in this order.
void ChainTabOrder(const QList<QWidget *> &order);

// A plain, selectable, word-wrapped text that scrolls inside its window
// instead of stretching it (the news and version-notes windows).
struct ScrollingText {
    QLabel *label = nullptr;
    QScrollArea *area = nullptr;
};
ScrollingText MakeScrollingText(const QString &text);

} // namespace qo
