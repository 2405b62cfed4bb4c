#include "admin/SettingsDialog.h"
#include "startup/ShopStore.h"
#include "ui/WindowKeys.h"

#include "config/AppState.h"
#include "db/Connection.h"
#include "ui/FormBehaviour.h"
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
    setObjectName(WindowKeys::kSettingsDialog);
    setWindowTitle(QStringLiteral("Beállítások"));
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);

    CheckBox1 = new QCheckBox(QStringLiteral("Megnyitáskor teljes képernyő"), this);
    DBCheckBox1 = new QCheckBox(QStringLiteral("Belépésnél jelszót kér"), this);
    DBEdit1 = new QLineEdit(this);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboBox1->setMinimumContentsLength(24);
    DBEdit2 = new QLineEdit(this);
    DBMemo1 = new QPlainTextEdit(this);
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setTabChangesFocus(true);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnMegsem = new QPushButton(QStringLiteral("Mégsem"), this);
    Edit1 = new QLineEdit(this);
    Edit2 = new QLineEdit(this);
    DBCheckBox2 = new QCheckBox(QStringLiteral("A5 munkalap formátum"), this);

    const struct { QWidget *w; const char *name; } names[] = {
        {CheckBox1, "CheckBox1"}, {DBCheckBox1, "DBCheckBox1"}, {DBEdit1, "DBEdit1"},
        {ComboBox1, "ComboBox1"}, {DBEdit2, "DBEdit2"}, {DBMemo1, "DBMemo1"},
        {btnOK, "btnOK"}, {btnMegsem, "btnMegsem"}, {Edit1, "Edit1"}, {Edit2, "Edit2"},
        {DBCheckBox2, "DBCheckBox2"}};
    for (const auto &n : names)
        n.w->setObjectName(QLatin1String(n.name));

    const int digits = DBEdit1->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 16;
    DBEdit1->setMaximumWidth(digits);
    DBEdit2->setMaximumWidth(digits);

    auto labelFor = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };

    auto *left = new QVBoxLayout;
    left->addWidget(CheckBox1);
    left->addWidget(DBCheckBox1);
    left->addSpacing(4);
    left->addWidget(labelFor(QStringLiteral("Munkalap hatidő (nap)"), DBEdit1));
    left->addWidget(DBEdit1);
    left->addWidget(labelFor(QStringLiteral("Alapértelmezett nyomtató"), ComboBox1));
    left->addWidget(ComboBox1);
    left->addWidget(labelFor(QStringLiteral("Figyelmeztetés (nap)"), DBEdit2));
    left->addWidget(DBEdit2);
    left->addWidget(labelFor(QStringLiteral("Megjegyzés szövege a munkalapon"), DBMemo1));
    left->addWidget(DBMemo1, 1);

    auto *group = new QGroupBox(QStringLiteral("Szám formátum"), this);
    auto *g = new QVBoxLayout(group);
    g->addWidget(labelFor(QStringLiteral("Mennyiség formátum"), Edit1));
    g->addWidget(Edit1);
    g->addWidget(labelFor(QStringLiteral("Pénz formátum"), Edit2));
    g->addWidget(Edit2);

    auto *picture = new QLabel(this);
    picture->setPixmap(DecorativePicture(QStringLiteral("settings"), 120, 80));
    picture->setAlignment(Qt::AlignCenter);

    auto *right = new QVBoxLayout;
    right->addWidget(btnOK);
    right->addWidget(btnMegsem);
    right->addSpacing(8);
    right->addWidget(group);
    right->addWidget(DBCheckBox2);
    right->addStretch(1);
    right->addWidget(picture);

    auto *main = new QHBoxLayout(this);
    main->addLayout(left, 3);
    main->addSpacing(10);
    main->addLayout(right, 2);
    DBMemo1->setMinimumSize(300, 110);
    main->setSizeConstraint(QLayout::SetFixedSize);

    QWidget *order[] = {CheckBox1, DBCheckBox1, DBEdit1, ComboBox1, DBEdit2, DBMemo1,
                        btnOK, btnMegsem, Edit1, Edit2, DBCheckBox2};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // Local values.
    const AppState &b = appState();
    CheckBox1->setChecked(b.TeljesKep);
    ComboBox1->setEditText(b.nyomtato);
    ComboBox1->addItems(QPrinterInfo::availablePrinterNames());
    ComboBox1->setEditText(b.nyomtato);
    Edit1->setText(b.FormatDb);
    Edit2->setText(b.FormatFt);

    connect(btnOK, &QPushButton::clicked, this, &SettingsDialog::okClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);

    InstallFormBehaviour(this, Placement::Position);
    CheckBox1->setFocus();
}

void SettingsDialog::setRowFieldsEnabled(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(DBCheckBox1), static_cast<QWidget *>(DBEdit1),
                       static_cast<QWidget *>(DBEdit2), static_cast<QWidget *>(DBMemo1),
                       static_cast<QWidget *>(DBCheckBox2)})
        w->setEnabled(on);
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
            DBCheckBox1->setChecked(row.loginRequired);
            DBCheckBox2->setChecked(row.a5WorkOrder);
            DBEdit1->setText(row.dueDays.toString());
            DBEdit2->setText(row.reminderDays.toString());
            m_loadedNote = row.workOrderNote;
            QString note = m_loadedNote;
            note.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            DBMemo1->setPlainText(note);
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
    if (!dayCount(QStringLiteral("Munkalap hatidő (nap)"), DBEdit1, row.dueDays, this)
        || !dayCount(QStringLiteral("Figyelmeztetés (nap)"), DBEdit2, row.reminderDays, this))
        return false;
    // The note keeps the line ends it was stored with unless it was edited.
    QString note = DBMemo1->toPlainText();
    QString loaded = m_loadedNote;
    loaded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    row.workOrderNote = (note == loaded) ? m_loadedNote : note.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    row.key = m_key;
    row.loginRequired = DBCheckBox1->isChecked();
    row.a5WorkOrder = DBCheckBox2->isChecked();
    try {
        ShopStore(Connection::main()).writeSettings(row);
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
    b.TeljesKep = CheckBox1->isChecked();
    b.nyomtato = ComboBox1->currentText();
    b.FormatDb = Edit1->text();
    b.FormatFt = Edit2->text();
    accept();
}

void ShowSettingsDialog(QWidget *parent)
{
    SettingsDialog dlg(parent);
    dlg.loadRow();
    dlg.exec();
}

} // namespace qo
