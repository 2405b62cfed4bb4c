#include "admin/SettingsDialog.h"
#include "admin/RetentionSetting.h"
#include "startup/ShopStore.h"
#include "ui/WindowKeys.h"

#include "config/AppState.h"
#include "db/Connection.h"
#include "ui/WindowBehaviour.h"
#include "ui/Pictures.h"
#include "ui/FormParts.h"
#include "db/SqlText.h"
#include "ui/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace qo {

namespace {

// A day count: empty is NULL, a whole number is itself; anything else is
// refused before it could reach the server.
bool dayCount(const QString &caption, QLineEdit *edit, QVariant &value, QWidget *owner)
{
    const QString t = edit->text().trimmed();
    if (t.isEmpty()) {
        value = QVariant();
        return true;
    }
    bool ok = false;
    const int n = t.toInt(&ok);
    if (!ok) {
        ShowError(QStringLiteral("Hiba: A(z) \"%1\" mező értéke nem egész szám: %2").arg(caption, edit->text()), owner);
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    value = n;
    return true;
}

} // namespace

SettingsDialog::SettingsDialog(QWidget *parent) : QDialog(parent)
{
    SetFixedDialogFrame(this, WindowKeys::kSettingsDialog, QStringLiteral("Beállítások"));

    fullScreen = new QCheckBox(QStringLiteral("Megnyitáskor teljes képernyő"), this);
    loginRequired = new QCheckBox(QStringLiteral("Belépésnél jelszót kér"), this);
    dueDays = new QLineEdit(this);
    printerName = new QComboBox(this);
    printerName->setEditable(true);
    printerName->setInsertPolicy(QComboBox::NoInsert);
    printerName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    printerName->setMinimumContentsLength(24);
    reminderDays = new QLineEdit(this);
    retentionYears = new QLineEdit(this);
    retentionYears->setObjectName(QStringLiteral("megorzes_ev"));
    retentionYears->setMaximumWidth(reminderDays->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 16);
    workOrderNote = new QPlainTextEdit(this);
    workOrderNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    workOrderNote->setTabChangesFocus(true);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnMegsem = new QPushButton(QStringLiteral("Mégsem"), this);
    quantityFormat = new QLineEdit(this);
    moneyFormat = new QLineEdit(this);
    a5WorkOrder = new QCheckBox(QStringLiteral("A5 munkalap formátum"), this);

    const struct { QWidget *w; const char *name; } names[] = {
        {fullScreen, "CheckBox1"}, {loginRequired, "DBCheckBox1"}, {dueDays, "DBEdit1"},
        {printerName, "ComboBox1"}, {reminderDays, "DBEdit2"}, {workOrderNote, "DBMemo1"},
        {btnOK, "btnOK"}, {btnMegsem, "btnMegsem"}, {quantityFormat, "Edit1"}, {moneyFormat, "Edit2"},
        {a5WorkOrder, "DBCheckBox2"}};
    for (const auto &n : names)
        n.w->setObjectName(QLatin1String(n.name));

    const int digits = dueDays->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 16;
    dueDays->setMaximumWidth(digits);
    reminderDays->setMaximumWidth(digits);

    auto labelFor = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };

    auto *left = new QVBoxLayout;
    left->addWidget(fullScreen);
    left->addWidget(loginRequired);
    left->addSpacing(4);
    left->addWidget(labelFor(QStringLiteral("Munkalap hatidő (nap)"), dueDays));
    left->addWidget(dueDays);
    left->addWidget(labelFor(QStringLiteral("Alapértelmezett nyomtató"), printerName));
    left->addWidget(printerName);
    left->addWidget(labelFor(QStringLiteral("Figyelmeztetés (nap)"), reminderDays));
    left->addWidget(reminderDays);
    left->addWidget(labelFor(QStringLiteral("Egészségügyi adatok megőrzése (év)"), retentionYears));
    left->addWidget(retentionYears);
    left->addWidget(labelFor(QStringLiteral("Megjegyzés szövege a munkalapon"), workOrderNote));
    left->addWidget(workOrderNote, 1);

    auto *group = new QGroupBox(QStringLiteral("Szám formátum"), this);
    auto *g = new QVBoxLayout(group);
    g->addWidget(labelFor(QStringLiteral("Mennyiség formátum"), quantityFormat));
    g->addWidget(quantityFormat);
    g->addWidget(labelFor(QStringLiteral("Pénz formátum"), moneyFormat));
    g->addWidget(moneyFormat);

    auto *picture = new QLabel(this);
    picture->setPixmap(DecorativePicture(QStringLiteral("settings"), 120, 80));
    picture->setAlignment(Qt::AlignCenter);

    auto *right = new QVBoxLayout;
    right->addWidget(btnOK);
    right->addWidget(btnMegsem);
    right->addSpacing(8);
    right->addWidget(group);
    right->addWidget(a5WorkOrder);
    right->addStretch(1);
    right->addWidget(picture);

    auto *main = new QHBoxLayout(this);
    main->addLayout(left, 3);
    main->addSpacing(10);
    main->addLayout(right, 2);
    workOrderNote->setMinimumSize(300, 110);
    main->setSizeConstraint(QLayout::SetFixedSize);

    QWidget *order[] = {fullScreen, loginRequired, dueDays, printerName, reminderDays, retentionYears, workOrderNote,
                        btnOK, btnMegsem, quantityFormat, moneyFormat, a5WorkOrder};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // Local values.
    const AppState &b = appState();
    fullScreen->setChecked(b.TeljesKep);
    printerName->setEditText(b.nyomtato);
    printerName->addItems(QPrinterInfo::availablePrinterNames());
    printerName->setEditText(b.nyomtato);
    quantityFormat->setText(b.FormatDb);
    moneyFormat->setText(b.FormatFt);

    connect(btnOK, &QPushButton::clicked, this, &SettingsDialog::okClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);

    InstallFormBehaviour(this, Placement::Position);
    fullScreen->setFocus();
}

void SettingsDialog::setRowFieldsEnabled(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(loginRequired), static_cast<QWidget *>(dueDays),
                       static_cast<QWidget *>(reminderDays), static_cast<QWidget *>(retentionYears),
                       static_cast<QWidget *>(workOrderNote),
                       static_cast<QWidget *>(a5WorkOrder)})
        w->setEnabled(on);
    // Whether a login is asked for, and how long health data is kept, are the
    // administrator's decisions alone.
    loginRequired->setEnabled(on && appState().rendszergazda);
    retentionYears->setEnabled(on && appState().rendszergazda);
    const auto labels = findChildren<QLabel *>();
    for (QLabel *l : labels)
        if (l->buddy())
            l->setEnabled(l->buddy()->isEnabled());
}

bool SettingsDialog::loadRow()
{
    m_hasRow = false;
    try {
        ShopSettingsRow row;
        if (ShopStore(Connection::main()).readSettings(row)) {
            m_key = row.key;
            loginRequired->setChecked(row.loginRequired);
            a5WorkOrder->setChecked(row.a5WorkOrder);
            dueDays->setText(row.dueDays.toString());
            reminderDays->setText(row.reminderDays.toString());
            retentionYears->setText(QString::number(ReadRetentionYears(Connection::main(), row.key)));
            m_loadedNote = row.workOrderNote;
            QString note = m_loadedNote;
            note.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            workOrderNote->setPlainText(note);
            m_hasRow = true;
        } else {
            ShowError(QStringLiteral("Hiányzik a beállítások sora az adatbázisból."), parentWidget());
        }
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), parentWidget());
    }
    setRowFieldsEnabled(m_hasRow);
    return m_hasRow;
}

bool SettingsDialog::storeRow()
{
    ShopSettingsRow row;
    if (!dayCount(QStringLiteral("Munkalap hatidő (nap)"), dueDays, row.dueDays, this)
        || !dayCount(QStringLiteral("Figyelmeztetés (nap)"), reminderDays, row.reminderDays, this))
        return false;
    // Years to keep health data: empty is 0 (none); never negative.
    QVariant years;
    if (!dayCount(QStringLiteral("Egészségügyi adatok megőrzése (év)"), retentionYears, years, this))
        return false;
    if (years.toInt() < 0) {
        ShowError(QStringLiteral("Hiba: A(z) \"Egészségügyi adatok megőrzése (év)\" mező értéke nem lehet negatív: %1")
                      .arg(retentionYears->text()), this);
        retentionYears->setFocus();
        retentionYears->selectAll();
        return false;
    }
    // The note keeps the line ends it was stored with unless it was edited.
    QString note = workOrderNote->toPlainText();
    QString loaded = m_loadedNote;
    loaded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    row.workOrderNote = (note == loaded) ? m_loadedNote : note.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    row.key = m_key;
    // Only an administrator may change it; for anyone else it is not written at all.
    row.loginRequired = loginRequired->isChecked();
    row.loginWritten = appState().rendszergazda;
    row.a5WorkOrder = a5WorkOrder->isChecked();
    try {
        RunInTransaction(Connection::main(), [&] {
            ShopStore(Connection::main()).writeSettings(row);
            if (row.loginWritten)
                WriteRetentionYears(Connection::main(), row.key, years.toInt());
        });
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
        return false;
    }
    return true;
}

void SettingsDialog::okClick()
{
    if (m_hasRow && !storeRow())
        return; // the dialog stays open with everything as typed
    AppState &b = appState();
    b.TeljesKep = fullScreen->isChecked();
    b.nyomtato = printerName->currentText();
    b.FormatDb = quantityFormat->text();
    b.FormatFt = moneyFormat->text();
    accept();
}

void ShowSettingsDialog(QWidget *parent)
{
    SettingsDialog dlg(parent);
    dlg.loadRow();
    dlg.exec();
}

} // namespace qo
