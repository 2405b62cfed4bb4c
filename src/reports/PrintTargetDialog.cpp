#include "reports/PrintTargetDialog.h"
#include "ui/WindowKeys.h"

#include "ui/FormBehaviour.h"
#include "ui/FormParts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qo {

namespace {

// A page under a magnifying glass.
const char kPreviewPicture[] = R"(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <path d="M10 4h30l12 12v44H10z" fill="#ffffff" stroke="#44607a" stroke-width="2.5"/>
  <path d="M40 4v12h12" fill="#dfe8f0" stroke="#44607a" stroke-width="2.5"/>
  <g stroke="#8aa6c1" stroke-width="3"><path d="M16 22h22M16 30h26M16 38h14"/></g>
  <circle cx="38" cy="42" r="10" fill="#dcecf8" fill-opacity="0.8" stroke="#2a4b66" stroke-width="3"/>
  <path d="M45 49l10 10" stroke="#2a4b66" stroke-width="5" stroke-linecap="round"/>
</svg>)";

// A printer with a sheet coming out.
const char kPrintPicture[] = R"(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <rect x="18" y="6" width="28" height="18" fill="#ffffff" stroke="#44607a" stroke-width="2.5"/>
  <rect x="6" y="22" width="52" height="24" rx="4" fill="#8a9aa8" stroke="#44607a" stroke-width="2.5"/>
  <circle cx="50" cy="30" r="2.5" fill="#6fd16f"/>
  <rect x="16" y="38" width="32" height="22" fill="#ffffff" stroke="#44607a" stroke-width="2.5"/>
  <g stroke="#8aa6c1" stroke-width="2.5"><path d="M21 46h22M21 52h16"/></g>
</svg>)";

// A worksheet with a green title row.
const char kExportPicture[] = R"(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <rect x="6" y="8" width="52" height="48" fill="#ffffff" stroke="#2f6b3a" stroke-width="2.5"/>
  <rect x="6" y="8" width="52" height="10" fill="#4c9a5a"/>
  <g stroke="#2f6b3a" stroke-width="1.5" fill="none">
    <path d="M6 28h52M6 38h52M6 48h52M22 8v48M40 8v48"/>
  </g>
</svg>)";

} // namespace

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
    const char *svg = t == PrintToPrinter ? kPrintPicture : t == PrintExportCsv ? kExportPicture : kPreviewPicture;
    Image1->setPixmap(SvgPicture(QByteArray(svg), 64, 64));
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
