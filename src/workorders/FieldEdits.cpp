#include "workorders/FieldEdits.h"

#include "base/NumberFormat.h"

#include <QFocusEvent>
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
        QRegularExpression(QStringLiteral("^\\s*[+-]?[0-9 ]*([.,][0-9]*)?\\s*$")), this));
}

void NumberEdit::setDisplayMask(const QString &mask)
{
    m_mask = mask;
    showValue();
}

QVariant NumberEdit::parse(const QString &text)
{
    QString s = text;
    s.remove(QLatin1Char(' '));
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    if (s.startsWith(QLatin1Char('+')))
        s.remove(0, 1);
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return {};
    return v;
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
        m_value = parse(text());
        m_editing = false;
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
