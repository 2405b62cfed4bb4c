#include "ui/DateDialog.h"
#include "ui/WindowKeys.h"

#include "ui/FormBehaviour.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace qo {

DateDialog::DateDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(WindowKeys::kDateDialog);
    setWindowTitle(QStringLiteral("Dátum megadása"));
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);

    Image1 = new QLabel(this);
    Image1->setPixmap(DecorativePicture(QStringLiteral("calendar"), 48, 48));
    Image1->setFixedSize(48, 48);

    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
    DateTimePicker1->setMinimumWidth(DateTimePicker1->fontMetrics().horizontalAdvance(QStringLiteral("0000.00.00")) + 48);

    DateTimePicker2 = new QTimeEdit(this);
    DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
    DateTimePicker2->setDisplayFormat(QStringLiteral("HH:mm"));
    DateTimePicker2->hide();

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Mégsem"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *fields = new QVBoxLayout;
    fields->addWidget(DateTimePicker1);
    fields->addWidget(DateTimePicker2);
    fields->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addLayout(fields, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addSpacing(6);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    // Enter in the date field is "OK" here: the default button takes it.
    InstallFormBehaviour(this, Placement::Position, FormOption::FocusColour | FormOption::EscCancels | FormOption::FontSize);
    DateTimePicker1->setFocus();
}

bool AskDate(QDate &date, const QString &caption, QWidget *parent)
{
    DateDialog dlg(parent);
    if (!caption.isEmpty())
        dlg.setWindowTitle(caption);
    dlg.DateTimePicker1->setDate(date.isValid() ? date : QDate::currentDate());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    date = dlg.DateTimePicker1->date();
    return true;
}

} // namespace qo
