#include "admin/UserEditor.h"
#include "db/RowConflict.h"

#include "base/Error.h"
#include "base/PasswordHash.h"
#include "db/Connection.h"
#include "ui/WindowBehaviour.h"
#include "ui/TextGuards.h"
#include "ui/FormParts.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowKeys.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qo {

namespace {
constexpr int kCodeLength = 20;
constexpr int kNameLength = 20;
} // namespace

UserEditor::UserEditor(bool isNew, const UserRow &row, QWidget *parent)
    : QDialog(parent), m_new(isNew), m_read(row)
{
    SetFixedDialogFrame(this, WindowKeys::kUserEditor, QStringLiteral("Felhasználó adatainak szerkesztése"));

    auto edit = [this](const char *name, int length) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(length);
        return e;
    };
    edtKod = edit("edtKod", kCodeLength);
    edtNev = edit("edtNev", kNameLength);
    edtJelszo = edit("edtJelszo", kMaxPasswordLength);
    edtJelszo2 = edit("edtJelszo2", kMaxPasswordLength);
    ShowPasswordAsStars(edtJelszo);
    ShowPasswordAsStars(edtJelszo2);
    cbRendszergazda = new QCheckBox(QStringLiteral("Rendszergazda"), this);
    cbRendszergazda->setObjectName(QStringLiteral("cbRendszergazda"));
    cbTorzsszerkeszt = new QCheckBox(QStringLiteral("Törzsadat szerkesztés"), this);
    cbTorzsszerkeszt->setObjectName(QStringLiteral("cbTorzsszerkeszt"));
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnMegsem = new QPushButton(QStringLiteral("Mégsem"), this);
    btnMegsem->setObjectName(QStringLiteral("btnMegsem"));

    const int chars = edtKod->fontMetrics().horizontalAdvance(QLatin1Char('x'));
    edtKod->setMinimumWidth(chars * 24);

    auto *fields = new QVBoxLayout;
    fields->setSpacing(2);
    const struct { const char *label; QLineEdit *e; } rows[] = {
        {"Felhasználó", edtKod},
        {"Felhasználó teljes neve", edtNev},
        {"Jelszó", edtJelszo},
        {"Jelszó még egyszer", edtJelszo2},
    };
    for (const auto &r : rows)
        AddCaptionedField(fields, this, QString::fromUtf8(r.label), r.e);
    fields->addWidget(cbRendszergazda);
    fields->addWidget(cbTorzsszerkeszt);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnMegsem);
    ArrangePictureForm(this, QStringLiteral("login"), 64, 96, fields, buttons);

    ChainTabOrder({edtKod, edtNev, edtJelszo, edtJelszo2, cbRendszergazda, cbTorzsszerkeszt, btnOK, btnMegsem});

    if (!isNew)
        showRow(row);

    connect(btnOK, &QPushButton::clicked, this, &UserEditor::okClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
    InstallFormBehaviour(this, Placement::Position);
    edtKod->setFocus();
}

void UserEditor::showRow(const UserRow &row)
{
    edtKod->setText(row.felhasznalo);
    edtNev->setText(row.felhasznalo_nev);
    // The stored password is never shown: both fields start empty, and an
    // edit that leaves them so keeps it.
    cbRendszergazda->setChecked(row.rendszergazda);
    cbTorzsszerkeszt->setChecked(row.torzsszerkeszt);
}

void UserEditor::okClick()
{
    const bool typed = !edtJelszo->text().isEmpty() || !edtJelszo2->text().isEmpty();
    // An empty code, or no password for a user who has none yet, counts as
    // missing: such a user could not log in.
    if (edtKod->text().trimmed().isEmpty() || (!typed && (m_new || m_read.jelszo.isEmpty()))) {
        ShowError(QStringLiteral("Hiányos adat megadás"), this);
        return;
    }
    if (edtJelszo->text() != edtJelszo2->text()) {
        ShowError(QStringLiteral("Hibás jelszó megadás"), this);
        return;
    }
    UserRow row;
    row.felhasznalo = edtKod->text();
    row.felhasznalo_nev = edtNev->text();
    row.rendszergazda = cbRendszergazda->isChecked();
    row.torzsszerkeszt = cbTorzsszerkeszt->isChecked();
    try {
        // Taking the right from the last administrator locks everyone out of
        // the administration: that takes an explicit yes, as deleting him does.
        if (!m_new && m_read.rendszergazda && !row.rendszergazda
            && UserStore(Connection::main()).administratorCount() <= 1
            && !AskConfirm(LastAdministratorWarning(false), QStringLiteral("Megerősítés"), this))
            return;
        row.jelszo = typed ? HashPassword(edtJelszo->text()) : m_read.jelszo;
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
        return;
    }
    UserStore store(Connection::main());
    try {
        if (m_new)
            store.insert(row);
        else
            store.update(m_read, row, typed);
    } catch (const RowConflict &conflict) {
        // Changed or deleted elsewhere: nothing was written; show what is stored.
        if (!store.load(m_read.felhasznalo, m_read)) {
            ShowWarning(conflict.message(), this);
            reject();
            return;
        }
        showRow(m_read);
        ShowWarning(conflict.message(), this);
        return;
    } catch (const Error &) {
        // A code that is taken already, or a value the table refuses.
        ShowError(QStringLiteral("Hiányos adat megadás"), this);
        return;
    }
    m_saved = row.felhasznalo;
    accept();
}

QString LastAdministratorWarning(bool deleting)
{
    return QStringLiteral("Ez az utolsó rendszergazda. ")
        + (deleting ? QStringLiteral("Törlése") : QStringLiteral("Jogának elvétele"))
        + QStringLiteral(" után senki sem kezelheti a felhasználókat és az adatbázisokat.")
        + (deleting ? QStringLiteral("\n\nBiztosan törli?") : QStringLiteral("\n\nBiztosan elveszi a jogát?"));
}

QString EditUser(bool isNew, const QString &code, QWidget *parent)
{
    UserRow row;
    if (!isNew) {
        try {
            if (!UserStore(Connection::main()).load(code, row)) {
                ShowError(QStringLiteral("A felhasználó nem található, lehet, hogy időközben törölték."), parent);
                return {};
            }
        } catch (const Error &e) {
            ShowError(QStringLiteral("Hiba: ") + e.message(), parent);
            return {};
        }
    }
    UserEditor dlg(isNew, row, parent);
    if (dlg.exec() != QDialog::Accepted)
        return {};
    return dlg.savedCode();
}

} // namespace qo
