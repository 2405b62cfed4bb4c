#include "reports/PeriodDialog.h"
#include "ui/WindowKeys.h"

#include "ui/WindowBehaviour.h"
#include "ui/Pictures.h"
#include "ui/FormParts.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace qo {

namespace {

QDate &fixedToday()
{
    static QDate d;
    return d;
}

QDateEdit *makePicker(QWidget *parent, const char *name)
{
    auto *d = new QDateEdit(parent);
    d->setObjectName(QLatin1String(name));
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
    d->setMinimumWidth(d->fontMetrics().horizontalAdvance(QStringLiteral("0000.00.00")) + 48);
    return d;
}

} // namespace

QPair<QDate, QDate> QuickPeriodRange(QuickPeriod which, const QDate &today)
{
    const int y = today.year(), m = today.month();
    switch (which) {
    case QuickPeriod::Today:
        return {today, today};
    case QuickPeriod::ThisWeek: {
        // Monday to Sunday around the day, whichever year those days fall in.
        const QDate monday = today.addDays(1 - today.dayOfWeek());
        return {monday, monday.addDays(6)};
    }
    case QuickPeriod::ThisMonth: {
        const QDate first(y, m, 1);
        return {first, QDate(y, m, first.daysInMonth())};
    }
    case QuickPeriod::LastMonth: {
        const QDate first = QDate(y, m, 1).addMonths(-1);
        return {first, QDate(first.year(), first.month(), first.daysInMonth())};
    }
    case QuickPeriod::ThisYear:
        return {QDate(y, 1, 1), QDate(y, 12, 31)};
    case QuickPeriod::LastYear:
        return {QDate(y - 1, 1, 1), QDate(y - 1, 12, 31)};
    }
    return {today, today};
}

QDate PeriodToday()
{
    return fixedToday().isValid() ? fixedToday() : QDate::currentDate();
}

void SetPeriodToday(const QDate &day)
{
    fixedToday() = day;
}

PeriodDialog::PeriodDialog(QWidget *parent) : QDialog(parent)
{
    SetFixedDialogFrame(this, WindowKeys::kPeriodDialog, QStringLiteral("Időszak megadása"));

    GroupBox1 = new QGroupBox(QStringLiteral("Időszak"), this);
    fromDate = makePicker(GroupBox1, "DateTimePicker1");
    toDate = makePicker(GroupBox1, "DateTimePicker2");
    auto *dates = new QHBoxLayout(GroupBox1);
    dates->addWidget(fromDate);
    dates->addWidget(new QLabel(QStringLiteral("–"), GroupBox1));
    dates->addWidget(toDate);

    GroupBox2 = new QGroupBox(QStringLiteral("Intervallum"), this);
    auto *quick = new QGridLayout(GroupBox2);
    auto addQuick = [&](const QString &text, const char *name, QuickPeriod which, int row, int col) {
        auto *b = new QPushButton(text, GroupBox2);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        EnterMovesPast(b); // Enter moves on towards OK; a click or Space chooses
        connect(b, &QPushButton::clicked, this, [this, which] { applyQuick(which); });
        quick->addWidget(b, row, col);
        return b;
    };
    // Tab order runs down the first column, then the second.
    btnMa = addQuick(QStringLiteral("Csak a mai nap"), "btnMa", QuickPeriod::Today, 0, 0);
    btnEzAHet = addQuick(QStringLiteral("Ez a hét"), "btnEzAHet", QuickPeriod::ThisWeek, 1, 0);
    btnEzAHonap = addQuick(QStringLiteral("Ez a hónap"), "btnEzAHonap", QuickPeriod::ThisMonth, 2, 0);
    btnMultHonap = addQuick(QStringLiteral("Múlt hónap"), "btnMultHonap", QuickPeriod::LastMonth, 0, 1);
    btnIden = addQuick(QStringLiteral("Idén"), "btnIden", QuickPeriod::ThisYear, 1, 1);
    btnTavaly = addQuick(QStringLiteral("Tavaly"), "btnTavaly", QuickPeriod::LastYear, 2, 1);

    const OkCancelButtons buttonPair =
        MakeOkCancelButtons(this, this, QStringLiteral("btnOK"), QStringLiteral("btnMegsem"));
    btnOK = buttonPair.ok;
    btnMegsem = buttonPair.cancel;
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    Image1 = new QLabel(this);
    Image1->setPixmap(DecorativePicture(QStringLiteral("calendar"), 56, 56));
    Image1->setFixedSize(56, 56);

    auto *left = new QVBoxLayout;
    left->addWidget(GroupBox1);
    left->addWidget(GroupBox2);
    auto *right = new QVBoxLayout;
    right->addWidget(Image1, 0, Qt::AlignHCenter);
    right->addStretch();
    right->addWidget(btnOK);
    right->addWidget(btnMegsem);
    auto *main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addSpacing(6);
    main->addLayout(right);
    main->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(fromDate, toDate);
    setTabOrder(toDate, btnMa);
    setTabOrder(btnMa, btnEzAHet);
    setTabOrder(btnEzAHet, btnEzAHonap);
    setTabOrder(btnEzAHonap, btnMultHonap);
    setTabOrder(btnMultHonap, btnIden);
    setTabOrder(btnIden, btnTavaly);
    setTabOrder(btnTavaly, btnOK);
    setTabOrder(btnOK, btnMegsem);

    // Ctrl+Enter is "OK" from any control.
    for (const QKeySequence &k : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto *s = new QShortcut(k, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, &QDialog::accept);
    }

    InstallFormBehaviour(this, Placement::Position);
    fromDate->setFocus();
}

void PeriodDialog::applyQuick(QuickPeriod which)
{
    const auto [from, to] = QuickPeriodRange(which, PeriodToday());
    fromDate->setDate(from);
    toDate->setDate(to);
}

bool AskPeriod(QDate &from, QDate &to, const QString &caption, QWidget *parent)
{
    PeriodDialog dlg(parent);
    if (!caption.isEmpty())
        dlg.setWindowTitle(caption);
    dlg.fromDate->setDate(from.isValid() ? from : PeriodToday());
    dlg.toDate->setDate(to.isValid() ? to : PeriodToday());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    from = dlg.fromDate->date();
    to = dlg.toDate->date();
    return true;
}

} // namespace qo
