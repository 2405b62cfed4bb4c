#include "ui/WindowBehaviour.h"

#include "config/AppState.h"
#include "config/Config.h"
#include "base/Error.h"
#include "ui/MessageBoxes.h"
#include "ui/TextGuards.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

namespace qo {

namespace {

const char *const kPainted = "qoFocusPainted";
const char *const kOwnPalette = "qoOwnPalette";
const char *const kSavedPalette = "qoSavedPalette";

// QWidget::focusNextPrevChild is protected; a member pointer taken through a
// derived class may still call it on any widget.
struct FocusAccess : QWidget {
    static bool next(QWidget *w, bool forward = true) { return (w->*(&FocusAccess::focusNextPrevChild))(forward); }
};

// The date field a key was typed into (the field itself or its inner line edit).
QDateTimeEdit *dateFieldOf(QWidget *w)
{
    if (auto *d = qobject_cast<QDateTimeEdit *>(w))
        return d;
    return w ? qobject_cast<QDateTimeEdit *>(w->parentWidget()) : nullptr;
}

// Text fields whose typed text reaches the database.
bool isTextField(QWidget *w)
{
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return !qobject_cast<QAbstractSpinBox *>(e->parentWidget());
    return qobject_cast<QTextEdit *>(w) || qobject_cast<QPlainTextEdit *>(w);
}

bool isMultiLine(QWidget *w)
{
    if (auto *t = qobject_cast<QTextEdit *>(w))
        return !t->isReadOnly();
    if (auto *t = qobject_cast<QPlainTextEdit *>(w))
        return !t->isReadOnly();
    return false;
}

// The fields that are painted while they have the focus.
bool isInputField(QWidget *w)
{
    if (qobject_cast<QLineEdit *>(w)) {
        // The line edit inside a combo box or spin box is painted through its owner.
        QWidget *p = w->parentWidget();
        return !(qobject_cast<QComboBox *>(p) || qobject_cast<QAbstractSpinBox *>(p));
    }
    return qobject_cast<QTextEdit *>(w) || qobject_cast<QPlainTextEdit *>(w)
        || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w);
}

void paintFocused(QWidget *w, bool on)
{
    if (on) {
        if (w->property(kPainted).toBool())
            return;
        const bool own = w->testAttribute(Qt::WA_SetPalette);
        w->setProperty(kOwnPalette, own);
        if (own)
            w->setProperty(kSavedPalette, QVariant::fromValue(w->palette()));
        QPalette p = w->palette();
        p.setColor(QPalette::Base, FocusColor());
        if (auto *c = qobject_cast<QComboBox *>(w); c && !c->isEditable())
            p.setColor(QPalette::Button, FocusColor());
        w->setPalette(p);
        w->setProperty(kPainted, true);
    } else {
        if (!w->property(kPainted).toBool())
            return;
        if (w->property(kOwnPalette).toBool())
            w->setPalette(w->property(kSavedPalette).value<QPalette>());
        else
            w->setPalette(QPalette()); // back to the inherited palette
        w->setProperty(kPainted, QVariant());
        w->setProperty(kSavedPalette, QVariant());
    }
}

void applyFontSize(QWidget *window)
{
    const int size = WindowFontSize();
    if (window->font().pointSize() == size)
        return;
    QFont f = window->font();
    f.setPointSize(size);
    window->setFont(f);
}

class FormBehaviour : public QObject {
public:
    FormBehaviour(QWidget *window, Placement kind, FormOptions options)
        : QObject(window), m_window(window), m_kind(kind), m_options(options)
    {
        watch(window);
        if (m_options & FormOption::FontSize)
            applyFontSize(window);
    }

protected:
    bool eventFilter(QObject *obj, QEvent *ev) override
    {
        switch (ev->type()) {
        case QEvent::ChildAdded: {
            QObject *child = static_cast<QChildEvent *>(ev)->child();
            if (child->isWidgetType())
                watch(static_cast<QWidget *>(child));
            break;
        }
        case QEvent::FocusIn:
            if (isTextField(static_cast<QWidget *>(obj)))
                prepareField(static_cast<QWidget *>(obj));
            [[fallthrough]];
        case QEvent::FocusOut:
            if (m_options & FormOption::FocusColour)
                focusChange(static_cast<QWidget *>(obj), static_cast<QFocusEvent *>(ev));
            break;
        case QEvent::KeyPress:
            return keyPress(static_cast<QWidget *>(obj), static_cast<QKeyEvent *>(ev));
        case QEvent::Show:
            if (obj == m_window && !ev->spontaneous())
                shown();
            break;
        case QEvent::Hide:
            if (obj == m_window && !ev->spontaneous())
                hidden();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void watch(QWidget *w)
    {
        w->installEventFilter(this);
        // Children created before the widget came under the window.
        const auto children = w->children();
        for (QObject *c : children)
            if (c->isWidgetType() && !static_cast<QWidget *>(c)->isWindow())
                watch(static_cast<QWidget *>(c));
    }

    static void prepareField(QWidget *w)
    {
        InstallStorableText(w);
        if (auto *t = qobject_cast<QPlainTextEdit *>(w))
            t->setTabChangesFocus(true);
        else if (auto *t = qobject_cast<QTextEdit *>(w))
            t->setTabChangesFocus(true);
    }

    void focusChange(QWidget *w, QFocusEvent *fe)
    {
        if (w->window() != m_window || !isInputField(w))
            return;
        if (fe->type() == QEvent::FocusIn)
            paintFocused(w, true);
        else if (fe->reason() != Qt::PopupFocusReason) // a drop-down list opened: still ours
            paintFocused(w, false);
    }

    bool keyPress(QWidget *w, QKeyEvent *ke)
    {
        const int key = ke->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            // A date field would step through its own sections with Tab.
            if (!dateFieldOf(w) || w != QApplication::focusWidget() || w->window() != m_window
                || (ke->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)))
                return false;
            FocusAccess::next(m_window, key == Qt::Key_Tab && !(ke->modifiers() & Qt::ShiftModifier));
            return true;
        }
        if (key == Qt::Key_Escape) {
            // Reaches the window when no control used it.
            if (w != m_window || !(m_options & FormOption::EscCancels)
                || (ke->modifiers() & ~Qt::KeypadModifier))
                return false;
            if (auto *d = qobject_cast<QDialog *>(m_window))
                d->reject();
            else
                m_window->close();
            return true;
        }
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (!(m_options & FormOption::EnterMovesFocus))
            return false;
        // Ctrl+Enter and friends belong to the windows that use them.
        if (ke->modifiers() & ~Qt::KeypadModifier)
            return false;
        // Only the widget the key was typed into decides; the same event may
        // pass here again on its way up to the parents.
        if (w != QApplication::focusWidget() || w->window() != m_window)
            return false; // also not in a dialog opened from this window
        if (auto *b = qobject_cast<QPushButton *>(w)) {
            if (b->property("qoEnterMovesPast").toBool())
                FocusAccess::next(m_window);
            else if (b->isEnabled())
                b->click();
            return true;
        }
        if (isMultiLine(w))
            return false;
        const bool moves = qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractSpinBox *>(w)
            || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractButton *>(w)
            || qobject_cast<QTextEdit *>(w) || qobject_cast<QPlainTextEdit *>(w);
        if (!moves)
            return false; // lists and grids: Enter is theirs or the default button's
        FocusAccess::next(m_window);
        return true;
    }

    void shown()
    {
        // Fields exist now (a field is not yet a line edit while it is being
        // added to the window); those made later get theirs at first focus.
        for (QWidget *w : m_window->findChildren<QWidget *>())
            if (isTextField(w))
                prepareField(w);
        if (m_options & FormOption::FontSize)
            applyFontSize(m_window);
        const QString name = m_window->objectName();
        if (name.isEmpty())
            return;
        switch (m_kind) {
        case Placement::None:
            break;
        case Placement::Position:
        case Placement::PositionRestoreFullSave:
            m_window->move(RestoreWindowPosition(name));
            break;
        case Placement::Full: {
            const QRect r = RestoreWindowPlacement(name, m_window->width(), m_window->height());
            m_window->move(r.topLeft());
            m_window->resize(r.size());
            break;
        }
        }
    }

    void hidden()
    {
        const QString name = m_window->objectName();
        if (name.isEmpty())
            return;
        const QRect g(m_window->pos(), m_window->size());
        if (m_kind == Placement::Position) {
            // Losing a position is not worth a message.
            try {
                SaveWindowPosition(name, g.left(), g.top());
            } catch (const Error &) {
            }
        } else if (m_kind == Placement::Full || m_kind == Placement::PositionRestoreFullSave) {
            try {
                SaveWindowPlacement(name, g.left(), g.top(), g.height(), g.width());
            } catch (const Error &e) {
                // Not from inside the hide of a closing window.
                const QString text = e.message();
                QTimer::singleShot(0, qApp, [text] { ShowError(text, nullptr); });
            }
        }
    }

    QWidget *m_window;
    Placement m_kind;
    FormOptions m_options;
};

} // namespace

void EnterMovesPast(QWidget *button)
{
    button->setProperty("qoEnterMovesPast", true);
}

int WindowFontSize()
{
    const int s = appState().Betumeret;
    return (s >= 8 && s <= 10) ? s : 9;
}

void InstallFormBehaviour(QWidget *window, Placement kind, FormOptions options)
{
    new FormBehaviour(window, kind, options);
}

} // namespace qo
