#include "ui/FieldBinder.h"
#include "ui/TextGuards.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace qo {

// ---- binder --------------------------------------------------------------

void FieldBinder::bind(QWidget *w, const QString &column)
{
    m_bindings.push_back({w, column});
    const int len = m_editor->length(column);
    if (len <= 0 || m_editor->kind(column) != RowSet::Kind::Text)
        return;
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->setMaxLength(len);
    else if (qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QTextEdit *>(w))
        LimitTextLength(w, len); // the server would refuse more in a strict session
}

void FieldBinder::load()
{
    for (auto &[w, column] : m_bindings) {
        if (!w)
            continue;
        const QVariant v = m_editor->value(column);
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->setText(m_editor->text(column));
        else if (auto *p = qobject_cast<QPlainTextEdit *>(w))
            p->setPlainText(m_editor->text(column));
        else if (auto *t = qobject_cast<QTextEdit *>(w))
            t->setPlainText(m_editor->text(column));
        else if (auto *d = qobject_cast<QDateEdit *>(w))
            d->setDate(v.toDate().isValid() ? v.toDate() : d->minimumDate()); // minimum shows as empty
        else if (auto *c = qobject_cast<QCheckBox *>(w))
            c->setChecked(m_editor->text(column) == QLatin1String("I"));
    }
}

void FieldBinder::store()
{
    for (auto &[w, column] : m_bindings) {
        if (!w)
            continue;
        const QVariant old = m_editor->value(column);
        QVariant v;
        if (auto *e = qobject_cast<QLineEdit *>(w))
            v = e->text();
        else if (auto *p = qobject_cast<QPlainTextEdit *>(w))
            v = p->toPlainText();
        else if (auto *t = qobject_cast<QTextEdit *>(w))
            v = t->toPlainText();
        else if (auto *d = qobject_cast<QDateEdit *>(w))
            v = d->date() == d->minimumDate() ? QVariant() : QVariant(d->date());
        else if (auto *c = qobject_cast<QCheckBox *>(w))
            v = QString(c->isChecked() ? QStringLiteral("I") : QStringLiteral("N"));
        // An untouched empty field keeps its NULL instead of becoming ''.
        if (!old.isValid() && v.typeId() == QMetaType::QString && v.toString().isEmpty())
            continue;
        if (m_editor->kind(column) != RowSet::Kind::Text && v.typeId() == QMetaType::QString) {
            const QString s = v.toString().trimmed();
            v = s.isEmpty() ? QVariant() : QVariant(s);
        }
        m_editor->setValue(column, v);
    }
}

} // namespace qo
