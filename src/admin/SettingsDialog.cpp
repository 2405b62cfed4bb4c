#include "admin/SettingsDialog.h"
#include "ui_SettingsDialog.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>

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

// A count the shop cannot do without: a whole number, not negative.
bool requiredCount(const QString &caption, QLineEdit *edit, int &value, QWidget *owner)
{
    QVariant v;
    if (!dayCount(caption, edit, v, owner))
        return false;
    QString fault;
    if (v.isNull())
        fault = QStringLiteral("Hiba: A(z) \"%1\" mező nem lehet üres.").arg(caption);
    else if (v.toInt() < 0)
        fault = QStringLiteral("Hiba: A(z) \"%1\" mező értéke nem lehet negatív: %2").arg(caption, edit->text());
    if (!fault.isEmpty()) {
        ShowError(fault, owner);
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    value = v.toInt();
    return true;
}

// Text as the user typed it; the stored line ends are not shown.
QString shownText(QString stored)
{
    return stored.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

SettingsDialog::SettingsDialog(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::SettingsDialog>())
{
    m_ui->setupUi(this);
    SetFixedDialogFrame(this, WindowKeys::kSettingsDialog, QStringLiteral("Beállítások"));

    // Room for six digits in the font the dialog is shown in.
    const int digits = m_ui->DBEdit1->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 16;
    for (QLineEdit *e : {m_ui->DBEdit1, m_ui->DBEdit2, m_ui->megorzes_ev, m_ui->emlek_honap, m_ui->nemvitt_nap})
        e->setMaximumWidth(digits);
    m_ui->picture->setPixmap(DecorativePicture(QStringLiteral("settings"), 120, 80));

    // Local values.
    const AppState &b = appState();
    m_ui->CheckBox1->setChecked(b.TeljesKep);
    m_ui->ComboBox1->setEditText(b.nyomtato);
    m_ui->ComboBox1->addItems(QPrinterInfo::availablePrinterNames());
    m_ui->ComboBox1->setEditText(b.nyomtato);
    m_ui->Edit1->setText(b.FormatDb);
    m_ui->Edit2->setText(b.FormatFt);

    connect(m_ui->btnOK, &QPushButton::clicked, this, &SettingsDialog::okClick);
    connect(m_ui->btnMegsem, &QPushButton::clicked, this, &QDialog::reject);

    InstallFormBehaviour(this, Placement::Position);
    m_ui->CheckBox1->setFocus();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::setRowFieldsEnabled(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(m_ui->DBCheckBox1), static_cast<QWidget *>(m_ui->DBEdit1),
                       static_cast<QWidget *>(m_ui->DBEdit2), static_cast<QWidget *>(m_ui->megorzes_ev),
                       static_cast<QWidget *>(m_ui->DBMemo1),
                       static_cast<QWidget *>(m_ui->DBCheckBox2), static_cast<QWidget *>(m_ui->emlek_honap),
                       static_cast<QWidget *>(m_ui->nemvitt_nap), static_cast<QWidget *>(m_ui->emlek_level)})
        w->setEnabled(on);
    // Whether a login is asked for, and how long health data is kept, are the
    // administrator's decisions alone.
    m_ui->DBCheckBox1->setEnabled(on && appState().rendszergazda);
    m_ui->megorzes_ev->setEnabled(on && appState().rendszergazda);
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
            m_ui->DBCheckBox1->setChecked(row.loginRequired);
            m_ui->DBCheckBox2->setChecked(row.a5WorkOrder);
            m_ui->DBEdit1->setText(row.dueDays.toString());
            m_ui->DBEdit2->setText(row.reminderDays.toString());
            m_ui->megorzes_ev->setText(QString::number(ReadRetentionYears(Connection::main(), row.key)));
            m_loadedNote = row.workOrderNote;
            QString note = m_loadedNote;
            note.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            m_ui->DBMemo1->setPlainText(note);
            m_ui->emlek_honap->setText(QString::number(row.reminderMonths));
            m_ui->nemvitt_nap->setText(QString::number(row.uncollectedDays));
            m_loadedLetter = row.reminderLetter;
            m_ui->emlek_level->setPlainText(shownText(m_loadedLetter));
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
    if (!dayCount(QStringLiteral("Munkalap hatidő (nap)"), m_ui->DBEdit1, row.dueDays, this)
        || !dayCount(QStringLiteral("Figyelmeztetés (nap)"), m_ui->DBEdit2, row.reminderDays, this))
        return false;
    // Years to keep health data: empty is 0 (none); never negative.
    QVariant years;
    if (!dayCount(QStringLiteral("Egészségügyi adatok megőrzése (év)"), m_ui->megorzes_ev, years, this))
        return false;
    if (years.toInt() < 0) {
        ShowError(QStringLiteral("Hiba: A(z) \"Egészségügyi adatok megőrzése (év)\" mező értéke nem lehet negatív: %1")
                      .arg(m_ui->megorzes_ev->text()), this);
        m_ui->megorzes_ev->setFocus();
        m_ui->megorzes_ev->selectAll();
        return false;
    }
    if (!requiredCount(QStringLiteral("Emlékeztető a legutóbbi munkalap után (hónap)"), m_ui->emlek_honap,
                       row.reminderMonths, this)
        || !requiredCount(QStringLiteral("Kész, de el nem vitt munkalap (nap)"), m_ui->nemvitt_nap,
                          row.uncollectedDays, this))
        return false;
    const QString letter = m_ui->emlek_level->toPlainText();
    row.reminderLetter = letter == shownText(m_loadedLetter) ? m_loadedLetter : letter;
    // The note keeps the line ends it was stored with unless it was edited.
    QString note = m_ui->DBMemo1->toPlainText();
    QString loaded = m_loadedNote;
    loaded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    row.workOrderNote = (note == loaded) ? m_loadedNote : note.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    row.key = m_key;
    // Only an administrator may change it; for anyone else it is not written at all.
    row.loginRequired = m_ui->DBCheckBox1->isChecked();
    row.loginWritten = appState().rendszergazda;
    row.a5WorkOrder = m_ui->DBCheckBox2->isChecked();
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
    b.TeljesKep = m_ui->CheckBox1->isChecked();
    b.nyomtato = m_ui->ComboBox1->currentText();
    b.FormatDb = m_ui->Edit1->text();
    b.FormatFt = m_ui->Edit2->text();
    accept();
}

void ShowSettingsDialog(QWidget *parent)
{
    SettingsDialog dlg(parent);
    dlg.loadRow();
    dlg.exec();
}

} // namespace qo
