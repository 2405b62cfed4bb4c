#pragma once
// The input fields of the work-order editor. Each reports when the focus has
// left it (after it took the typed value), which is when the editor stores
// the field and recomputes the prices.
#include <QDateEdit>
#include <QLineEdit>
#include <QVariant>

namespace qo {

class FieldEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit FieldEdit(QWidget *parent = nullptr);
    // Letters typed are turned into capitals (lens and frame types).
    void setUpperCase(bool on) { m_upper = on; }

Q_SIGNALS:
    void left();

protected:
    void focusOutEvent(QFocusEvent *e) override;

private:
    bool m_upper = false;
};

// A number field. With a display mask it shows the value through the mask
// (money: "### ### ##0") while it does not have the focus and the plain
// number while it has; without one it always shows the plain number. Only
// digits, blanks, points, a sign and one decimal comma can be typed; an
// empty field is NULL. Blanks and points between groups of three digits
// group them ("12.500" is twelve thousand five hundred); a point anywhere
// else, a text that holds no number ("-", ",") or a value beyond the limit
// is refused when the field is left: a message names it and the field keeps
// its previous value.
class NumberEdit : public FieldEdit {
    Q_OBJECT
public:
    explicit NumberEdit(QWidget *parent = nullptr);
    void setDisplayMask(const QString &mask);
    QVariant value() const; // a double, or invalid for NULL; reflects typing in progress
    void setValue(const QVariant &v);

    // "1 234,5" / "1.234,5" / "1234,5" -> 1234.5; "", a lone sign, a point
    // that does not group thousands, or a value beyond the limit -> invalid.
    static QVariant parse(const QString &text, double limit = kDefaultLimit);
    // True for an empty text or one that parse() reads.
    static bool acceptable(const QString &text, double limit = kDefaultLimit);
    static constexpr double kDefaultLimit = 999999999.0;
    // 1234.5 -> "1234,5", 40000 -> "40000"; invalid -> "".
    static QString plainText(const QVariant &v);

protected:
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    void showValue();
    QString m_mask;
    QVariant m_value;
    bool m_editing = false;
};

class FieldDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit FieldDateEdit(QWidget *parent = nullptr);
Q_SIGNALS:
    void left();

protected:
    void focusOutEvent(QFocusEvent *e) override;
};

} // namespace qo
