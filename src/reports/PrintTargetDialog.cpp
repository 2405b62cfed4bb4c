#include "reports/PrintTargetDialog.h"
#include "ui/WindowKeys.h"

#include "ui/WindowBehaviour.h"
#include "ui/Pictures.h"
#include "ui/FormParts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

// The pictures are resources of a static library: registered by name.
static void initPrintTargetResources()
{
    Q_INIT_RESOURCE(reports);
}

namespace qo {

PrintTargetDialog::PrintTargetDialog(const QStringList &printers, QWidget *parent) : QDialog(parent)
{
    SetFixedDialogFrame(this, WindowKeys::kPrintTargetDialog, QStringLiteral("Nyomtatás típusa"));

    targetGroup = new QGroupBox(QStringLiteral("Nyomtatás típusa"), this);
    rbKep = new QRadioButton(QStringLiteral("Nyomtatási kép"), targetGroup);
    rbNyomtat = new QRadioButton(QStringLiteral("Nyomtatás"), targetGroup);
    rbExcel = new QRadioButton(QStringLiteral("Excelbe (CSV)"), targetGroup);
    rbKep->setObjectName(QStringLiteral("rbKep"));
    rbNyomtat->setObjectName(QStringLiteral("rbNyomtat"));
    rbExcel->setObjectName(QStringLiteral("rbExcel"));
    auto *opts = new QVBoxLayout(targetGroup);
    opts->addWidget(rbKep);
    opts->addWidget(rbNyomtat);
    opts->addWidget(rbExcel);
    rbKep->setChecked(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(64, 64);

    printerLabel = new QLabel(QStringLiteral("Nyomtató"), this);
    printerChoice = new QComboBox(this);
    printerChoice->setObjectName(QStringLiteral("ComboBox1"));
    printerChoice->setEditable(true);
    printerChoice->setInsertPolicy(QComboBox::NoInsert);
    printerChoice->addItems(printers);
    printerChoice->setMinimumContentsLength(28);
    printerLabel->setBuddy(printerChoice);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnMegsem = new QPushButton(QStringLiteral("Mégsem"), this);
    btnMegsem->setObjectName(QStringLiteral("btnMegsem"));
    // Left auto-default: Enter on the focused "Mégsem" presses it, not "OK".
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);

    for (QRadioButton *b : {rbKep, rbNyomtat, rbExcel})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                targetChanged();
        });

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnOK);
    buttons->addWidget(btnMegsem);
    buttons->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(targetGroup, 1);
    top->addWidget(Image1, 0, Qt::AlignVCenter);
    top->addLayout(buttons);
    auto *printer = new QHBoxLayout;
    printer->addWidget(printerLabel);
    printer->addWidget(printerChoice, 1);
    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(printer);
    main->setSizeConstraint(QLayout::SetFixedSize);

    targetChanged();
    // Enter is "OK" (the default button).
    InstallFormBehaviour(this, Placement::Position, FormOption::FocusColour | FormOption::EscCancels | FormOption::FontSize);
    rbKep->setFocus();
}

int PrintTargetDialog::target() const
{
    if (rbNyomtat->isChecked())
        return PrintToPrinter;
    if (rbExcel->isChecked())
        return PrintExportCsv;
    return PrintPreview;
}

void PrintTargetDialog::targetChanged()
{
    const int t = target();
    initPrintTargetResources();
    const QString picture = t == PrintToPrinter ? QStringLiteral("print")
        : t == PrintExportCsv                   ? QStringLiteral("export")
                                                : QStringLiteral("preview");
    Image1->setPixmap(ResourcePicture(QStringLiteral(":/reports/pics/%1.svg").arg(picture), 64, 64));
    printerLabel->setEnabled(t == PrintToPrinter);
    printerChoice->setEnabled(t == PrintToPrinter);
}

int ChoosePrintTarget(QString &printerName, const QStringList &printers, QWidget *parent)
{
    return ChoosePrintTarget(printerName, printers, true, parent);
}

int ChoosePrintTarget(QString &printerName, const QStringList &printers, bool exportAvailable, QWidget *parent)
{
    PrintTargetDialog dlg(printers, parent);
    dlg.rbExcel->setEnabled(exportAvailable);
    if (!printerName.isEmpty()) {
        const int i = dlg.printerChoice->findText(printerName);
        if (i >= 0)
            dlg.printerChoice->setCurrentIndex(i);
        dlg.printerChoice->setEditText(printerName);
    } else if (!printers.isEmpty())
        dlg.printerChoice->setCurrentIndex(0);
    else
        dlg.printerChoice->setEditText(QString());
    if (dlg.exec() != QDialog::Accepted)
        return -1;
    printerName = dlg.printerChoice->currentText();
    return dlg.target();
}

int ChoosePrintTarget(QString &printerName, QWidget *parent)
{
    return ChoosePrintTarget(printerName, QPrinterInfo::availablePrinterNames(), parent);
}

QString ReportPrinterName(const QString &chosen)
{
    if (!chosen.isEmpty() && QPrinterInfo::availablePrinterNames().contains(chosen))
        return chosen;
    return QPrinterInfo::defaultPrinterName();
}

} // namespace qo
