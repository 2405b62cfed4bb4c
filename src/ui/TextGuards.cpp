#include "ui/TextGuards.h"

#include "db/StorableText.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

namespace qo {

namespace {

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

} // namespace qo
