#include "workorders/FieldEdits.h"

#include "base/NumberFormat.h"

#include "ui/MessageBoxes.h"

#include <QFocusEvent>
#include <QTimer>
#include <QRegularExpressionValidator>
#include <cmath>

namespace qo {

FieldEdit::FieldEdit(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this](const QString &t) {
        if (!m_upper)
            return;
        const QString up = t.toUpper();
        if (up != t) {
            const int pos = cursorPosition();
            setText(up);
            setCursorPosition(pos);
        }
    });
}

void FieldEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    Q_EMIT left();
}

NumberEdit::NumberEdit(QWidget *parent) : FieldEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^\\s*[+-]?[0-9 .]*(,[0-9]*)?\\s*$")), this));
}

void NumberEdit::setDisplayMask(const QString &mask)
{
    m_mask = mask;
    showValue();
}

QVariant NumberEdit::parse(const QString &text, double limit)
{
    QString s = text;
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    QString sign;
    if (s.startsWith(QLatin1Char('+')) || s.startsWith(QLatin1Char('-'))) {
        sign = s.left(1) == QLatin1String("-") ? QStringLiteral("-") : QString();
        s.remove(0, 1);
    }
    // A Hungarian user types a point to group thousands, never as the
    // decimal point: only that reading is taken.
    if (s.contains(QLatin1Char('.'))) {
        static const QRegularExpression grouped(QStringLiteral("^[0-9]{1,3}(\\.[0-9]{3})+(,[0-9]*)?$"));
        if (!grouped.match(s).hasMatch())
            return {};
        s.remove(QLatin1Char('.'));
    }
    static const QRegularExpression plain(QStringLiteral("^([0-9]+(,[0-9]*)?|,[0-9]+)$"));
    if (!plain.match(s).hasMatch())
        return {};
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = (sign + s).toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > limit)
        return {};
    return v;
}

bool NumberEdit::acceptable(const QString &text, double limit)
{
    return text.trimmed().isEmpty() || parse(text, limit).isValid();
}

QString NumberEdit::plainText(const QVariant &v)
{
    if (!v.isValid())
        return {};
    const double d = v.toDouble();
    if (d == std::trunc(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    QString s = QString::number(d, 'f', 6);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

QVariant NumberEdit::value() const
{
    return m_editing ? parse(text()) : m_value;
}

void NumberEdit::setValue(const QVariant &v)
{
    m_value = v.isValid() && !v.isNull() ? QVariant(v.toDouble()) : QVariant();
    showValue();
}

void NumberEdit::showValue()
{
    if (m_editing || m_mask.isEmpty() || !m_value.isValid())
        setText(plainText(m_value));
    else
        setText(FormatMask(m_value.toDouble(), m_mask));
}

void NumberEdit::focusInEvent(QFocusEvent *e)
{
    if (!m_editing) {
        m_editing = true;
        showValue();
    }
    FieldEdit::focusInEvent(e);
}

void NumberEdit::focusOutEvent(QFocusEvent *e)
{
    if (m_editing) {
        const QString typed = text().trimmed();
        m_editing = false;
        if (acceptable(typed)) {
            m_value = parse(typed);
        } else {
            // Not from inside the focus change: the message box takes the focus.
            QTimer::singleShot(0, window(), [w = window(), typed] {
                ShowWarning(QStringLiteral("A(z) „%1” nem érvényes szám; a mező korábbi értéke maradt.").arg(typed), w);
            });
        }
        showValue();
    }
    FieldEdit::focusOutEvent(e);
}

FieldDateEdit::FieldDateEdit(QWidget *parent) : QDateEdit(parent) {}

void FieldDateEdit::focusOutEvent(QFocusEvent *e)
{
    QDateEdit::focusOutEvent(e);
    Q_EMIT left();
}

} // namespace qo
