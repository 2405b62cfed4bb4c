#include "ui/FormBehaviour.h"

#include "config/AppState.h"
#include "config/Config.h"
#include "base/Error.h"
#include "db/StorableText.h"
#include "ui/MessageBoxes.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QFile>
#include <QIcon>
#include <QStandardPaths>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QWheelEvent>

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

QTextDocument *documentOf(QWidget *w)
{
    if (auto *t = qobject_cast<QTextEdit *>(w))
        return t->document();
    if (auto *t = qobject_cast<QPlainTextEdit *>(w))
        return t->document();
    return nullptr;
}

// Removes what latin2 cannot hold from a text already mapped to plain
// typography; the first character removed is reported.
QString withoutUnstorable(const QString &text, QString *first, int *removedBefore = nullptr, int pos = 0)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const int n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, n);
        if (FirstUnstorableChar(ch).isEmpty()) {
            out += ch;
        } else {
            if (first && first->isEmpty())
                *first = ch;
            if (removedBefore && i < pos)
                *removedBefore += n;
        }
        i += n;
    }
    return out;
}

void refuseLater(QWidget *field, const QString &ch)
{
    // Not from inside the key or edit handling: the message box takes the focus.
    QPointer<QWidget> guard(field);
    QTimer::singleShot(0, qApp, [guard, ch] { ShowWarning(UnstorableCharText(ch), guard ? guard->window() : nullptr); });
}

class StorableTextGuard : public QObject {
public:
    explicit StorableTextGuard(QWidget *field) : QObject(field), m_field(field)
    {
        field->installEventFilter(this);
        if (auto *e = qobject_cast<QLineEdit *>(field)) {
            // Pasted or dropped text arrives here without key presses.
            connect(e, &QLineEdit::textEdited, this, [this, e] { fixLine(e); });
        } else if (QTextDocument *doc = documentOf(field)) {
            connect(doc, &QTextDocument::contentsChange, this, [this](int, int, int added) {
                if (added > 0 && !m_fixQueued) {
                    m_fixQueued = true;
                    QTimer::singleShot(0, this, [this] { fixDocument(); });
                }
            });
        }
    }

protected:
    bool eventFilter(QObject *obj, QEvent *ev) override
    {
        if (ev->type() != QEvent::KeyPress || obj != m_field)
            return false;
        auto *ke = static_cast<QKeyEvent *>(ev);
        const QString t = ke->text();
        if (t.isEmpty() || t.at(0).unicode() < 0x80)
            return false;
        const QString plain = PlainTypography(t);
        const QString bad = FirstUnstorableChar(plain);
        if (!bad.isEmpty()) {
            refuseLater(m_field, bad);
            return true;
        }
        if (plain == t)
            return false;
        QKeyEvent mapped(QEvent::KeyPress, ke->key(), ke->modifiers(), plain, ke->isAutoRepeat(), ke->count());
        QCoreApplication::sendEvent(m_field, &mapped);
        return true;
    }

private:
    void fixLine(QLineEdit *e)
    {
        const QString text = e->text();
        const QString plain = PlainTypography(text);
        QString bad;
        int removedBefore = 0;
        const int pos = e->cursorPosition();
        const QString kept = withoutUnstorable(plain, &bad, &removedBefore, pos);
        if (kept == text)
            return;
        e->setText(kept);
        e->setCursorPosition(pos - removedBefore);
        if (!bad.isEmpty())
            refuseLater(e, bad);
    }

    void fixDocument()
    {
        m_fixQueued = false;
        QTextDocument *doc = documentOf(m_field);
        if (!doc)
            return;
        const QString text = doc->toPlainText();
        if (PlainTypography(text) == text && FirstUnstorableChar(text).isEmpty())
            return; // nothing to do (also for text the program itself loaded)
        QString bad;
        QTextCursor c(doc);
        c.beginEditBlock();
        // From the end, so that earlier positions stay valid.
        for (qsizetype i = text.size() - 1; i >= 0; --i) {
            const QChar ch = text.at(i);
            if (ch.unicode() < 0x80)
                continue;
            qsizetype start = i;
            if (ch.isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate())
                start = i - 1;
            const QString one = text.mid(start, i - start + 1);
            const QString plain = PlainTypography(one);
            const QString unstorable = FirstUnstorableChar(plain);
            if (plain == one && unstorable.isEmpty()) {
                i = start;
                continue;
            }
            c.setPosition(int(start));
            c.setPosition(int(i + 1), QTextCursor::KeepAnchor);
            c.insertText(unstorable.isEmpty() ? plain : QString());
            if (!unstorable.isEmpty())
                bad = unstorable; // ends as the first one in the text
            i = start;
        }
        c.endEditBlock();
        if (!bad.isEmpty())
            refuseLater(m_field, bad);
    }

    QWidget *m_field;
    bool m_fixQueued = false;
};

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

class CapitalizeFirst : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *obj, QEvent *ev) override
    {
        if (ev->type() != QEvent::KeyPress)
            return false;
        auto *edit = static_cast<QLineEdit *>(obj);
        auto *ke = static_cast<QKeyEvent *>(ev);
        const QString t = ke->text();
        if (!edit->text().isEmpty() || t.size() != 1 || t[0] < u'a' || t[0] > u'z')
            return false;
        QKeyEvent upper(QEvent::KeyPress, ke->key(), ke->modifiers(), t.toUpper(), ke->isAutoRepeat(),
                        ke->count());
        QCoreApplication::sendEvent(edit, &upper);
        return true;
    }
};

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

class StarPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

class TextLengthLimit : public QObject {
public:
    TextLengthLimit(QWidget *field, QTextDocument *doc, int maxChars)
        : QObject(field), m_field(field), m_doc(doc), m_max(maxChars)
    {
        field->installEventFilter(this);
        connect(doc, &QTextDocument::contentsChange, this, [this](int pos, int, int added) {
            if (added > 0 && length() > m_max && !m_cutQueued) {
                m_cutQueued = true;
                m_cutAt = pos + added; // the end of what came in
                // Not from inside the change itself.
                QTimer::singleShot(0, this, [this] { cut(); });
            }
        });
    }
    void setMax(int maxChars) { m_max = maxChars; }

protected:
    bool eventFilter(QObject *obj, QEvent *ev) override
    {
        if (obj != m_field || ev->type() != QEvent::KeyPress)
            return false;
        auto *ke = static_cast<QKeyEvent *>(ev);
        const QString t = ke->text();
        const bool newLine = ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter;
        const bool typing = newLine || (!t.isEmpty() && t.at(0).isPrint());
        if (!typing || length() < m_max)
            return false;
        // A typed character only replaces a selection when the field is full.
        QTextCursor c = cursorOf();
        return !c.hasSelection();
    }

private:
    int length() const { return m_doc->characterCount() - 1; }
    QTextCursor cursorOf() const
    {
        if (auto *t = qobject_cast<QPlainTextEdit *>(m_field))
            return t->textCursor();
        if (auto *t = qobject_cast<QTextEdit *>(m_field))
            return t->textCursor();
        return QTextCursor(m_doc);
    }
    void cut()
    {
        m_cutQueued = false;
        const int excess = length() - m_max;
        if (excess <= 0)
            return;
        const int end = qBound(excess, m_cutAt, length());
        QTextCursor c(m_doc);
        c.setPosition(end - excess);
        c.setPosition(end, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        const int max = m_max;
        QPointer<QWidget> guard(m_field);
        QTimer::singleShot(0, qApp, [guard, max] {
            ShowWarning(QStringLiteral("A mező legfeljebb %1 karaktert fogad el.").arg(max), guard ? guard->window() : nullptr);
        });
    }

    QWidget *m_field;
    QTextDocument *m_doc;
    int m_max;
    int m_cutAt = 0;
    bool m_cutQueued = false;
};

} // namespace

void LimitTextLength(QWidget *multiLine, int maxChars)
{
    QTextDocument *doc = documentOf(multiLine);
    if (!doc || maxChars <= 0)
        return;
    // (No Q_OBJECT here: found through a property, never through findChild.)
    if (auto *existing = static_cast<TextLengthLimit *>(multiLine->property("qoTextLimit").value<QObject *>())) {
        existing->setMax(maxChars);
        return;
    }
    multiLine->setProperty("qoTextLimit", QVariant::fromValue<QObject *>(new TextLengthLimit(multiLine, doc, maxChars)));
}

void EnterMovesPast(QWidget *button)
{
    button->setProperty("qoEnterMovesPast", true);
}

void ShowPasswordAsStars(QLineEdit *edit)
{
    // One style for all password fields, living as long as the application.
    static QPointer<StarPasswordStyle> style;
    if (!style) {
        style = new StarPasswordStyle;
        style->setParent(qApp);
    }
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyle(style);
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

void InstallStorableText(QWidget *field)
{
    if (!field || field->property("qoStorableText").toBool())
        return;
    field->setProperty("qoStorableText", true);
    new StorableTextGuard(field);
}

void InstallCapitalizeFirst(QLineEdit *edit)
{
    edit->installEventFilter(new CapitalizeFirst(edit));
}

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

void InstallWheelAsArrows(QApplication *app)
{
    static QPointer<WheelAsArrows> installed;
    if (installed)
        return;
    installed = new WheelAsArrows(app);
    app->installEventFilter(installed);
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

} // namespace qo
