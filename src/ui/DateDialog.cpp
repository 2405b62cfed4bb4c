#include "ui/DateDialog.h"
#include "ui/WindowKeys.h"

#include "ui/WindowBehaviour.h"
#include "ui/Pictures.h"
#include "ui/FormParts.h"

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
    SetFixedDialogFrame(this, WindowKeys::kDateDialog, QStringLiteral("Dátum megadása"));

    Image1 = new QLabel(this);
    Image1->setPixmap(DecorativePicture(QStringLiteral("calendar"), 48, 48));
    Image1->setFixedSize(48, 48);

    dateEdit = new QDateEdit(this);
    dateEdit->setObjectName(QStringLiteral("DateTimePicker1"));
    dateEdit->setCalendarPopup(true);
    dateEdit->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
    dateEdit->setMinimumWidth(dateEdit->fontMetrics().horizontalAdvance(QStringLiteral("0000.00.00")) + 48);

    timeEdit = new QTimeEdit(this);
    timeEdit->setObjectName(QStringLiteral("DateTimePicker2"));
    timeEdit->setDisplayFormat(QStringLiteral("HH:mm"));
    timeEdit->hide();

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Mégsem"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *fields = new QVBoxLayout;
    fields->addWidget(dateEdit);
    fields->addWidget(timeEdit);
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
    dateEdit->setFocus();
}

bool AskDate(QDate &date, const QString &caption, QWidget *parent)
{
    DateDialog dlg(parent);
    if (!caption.isEmpty())
        dlg.setWindowTitle(caption);
    dlg.dateEdit->setDate(date.isValid() ? date : QDate::currentDate());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    date = dlg.dateEdit->date();
    return true;
}

} // namespace qo
