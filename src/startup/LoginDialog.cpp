#include "startup/LoginDialog.h"
#include "startup/ShopStore.h"
#include "ui/WindowKeys.h"

#include "base/PasswordHash.h"
#include "config/AppState.h"
#include "db/AuditLog.h"
#include "db/Connection.h"
#include "db/StorableText.h"
#include "ui/WindowBehaviour.h"
#include "ui/TextGuards.h"
#include "ui/Pictures.h"
#include "ui/FormParts.h"
#include "ui/InputDialog.h"
#include "db/SqlText.h"
#include "ui/MessageBoxes.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace qo {

namespace {

int lockoutBaseMs = 2000;
constexpr int kLockoutMaxMs = 60000;
constexpr int kWaitTickMs = 100;

const QString &invalidLogin()
{
    static const QString t = QStringLiteral("Érvénytelen felhasználó, vagy jelszó");
    return t;
}

} // namespace

bool CheckCredentials(const QString &code, const QString &password, QWidget *owner)
{
    // Read all users and compare here: the server's collation would match
    // letters regardless of case (and accents), a login must not.
    ShopStore store(Connection::main());
    const RowSet rs = store.users();
    const int cCode = rs.fieldIndex(QStringLiteral("felhasznalo"));
    const int cPass = rs.fieldIndex(QStringLiteral("jelszo"));
    int row = -1;
    for (int r = 0; r < rs.rowCount() && cCode >= 0; ++r) {
        if (!rs.isNull(r, cCode) && rs.text(r, cCode) == code) {
            row = r;
            break;
        }
    }
    // A NULL or empty stored password never logs in. A hash is verified; any
    // other text is a plain password of an older database, compared exactly.
    const QString stored = (row < 0 || cPass < 0 || rs.isNull(row, cPass)) ? QString() : rs.text(row, cPass);
    const bool legacy = !stored.isEmpty() && !IsPasswordHash(stored);
    const bool match = !stored.isEmpty() && (legacy ? stored == password : VerifyPassword(stored, password));
    if (!match) {
        ShowError(invalidLogin(), owner);
        return false;
    }
    if (legacy) {
        // Replaced by its hash now that it is known to be right. A database
        // whose column is still too short keeps the old text: the login goes on.
        try {
            store.replaceLegacyPassword(code, stored, HashPassword(password));
        } catch (const Error &) {
        }
    }
    auto flag = [&](const char *col) { return rs.text(row, QLatin1String(col)) == QLatin1String("I"); };
    AppState &b = appState();
    b.torzsszerkeszt = flag("torzsszerkeszt");
    b.rendszergazda = flag("rendszergazda");
    b.felhasznalo_nev = rs.text(row, QStringLiteral("felhasznalo_nev"));
    b.canins = flag("canins");
    b.canedit = flag("canedit");
    b.candel = flag("candel");
    return true;
}

LoginDialog::LoginDialog(QWidget *parent) : QDialog(parent)
{
    SetFixedDialogFrame(this, WindowKeys::kLoginDialog, QStringLiteral("Belépés azonosítás"));

    edtFelhasznalo = new QLineEdit(this);
    edtFelhasznalo->setObjectName(QStringLiteral("edtFelhasznalo"));
    edtJelszo = new QLineEdit(this);
    edtJelszo->setObjectName(QStringLiteral("edtJelszo"));
    ShowPasswordAsStars(edtJelszo);
    edtJelszo->setMaxLength(kMaxPasswordLength);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnUjJelszo = new QPushButton(QStringLiteral("Új jelszó"), this);
    btnUjJelszo->setObjectName(QStringLiteral("btnUjJelszo"));
    btnMegsem = new QPushButton(QStringLiteral("Mégsem"), this);
    btnMegsem->setObjectName(QStringLiteral("btnMegsem"));
    for (QPushButton *b : {btnOK, btnUjJelszo, btnMegsem})
        b->setAutoDefault(false);

    auto *picture = new QLabel(this);
    picture->setPixmap(DecorativePicture(QStringLiteral("login"), 64, 96));
    picture->setAlignment(Qt::AlignCenter);

    auto *l1 = new QLabel(QStringLiteral("Felhasználó"), this);
    l1->setBuddy(edtFelhasznalo);
    auto *l2 = new QLabel(QStringLiteral("Jelszó"), this);
    l2->setBuddy(edtJelszo);
    edtFelhasznalo->setMinimumWidth(edtFelhasznalo->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 26);

    auto *fields = new QVBoxLayout;
    fields->addWidget(l1);
    fields->addWidget(edtFelhasznalo);
    fields->addSpacing(4);
    fields->addWidget(l2);
    fields->addWidget(edtJelszo);
    fields->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(10);
    top->addLayout(fields, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnUjJelszo);
    buttons->addWidget(btnMegsem);
    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addSpacing(6);
    main->addLayout(buttons);
    lblVarakozas = new QLabel(this);
    lblVarakozas->setObjectName(QStringLiteral("lblVarakozas"));
    lblVarakozas->setAlignment(Qt::AlignCenter);
    lblVarakozas->setStyleSheet(QStringLiteral("color: #b00000;"));
    lblVarakozas->hide();
    main->addWidget(lblVarakozas);
    main->setSizeConstraint(QLayout::SetFixedSize);
    m_waitTimer.setInterval(kWaitTickMs);
    connect(&m_waitTimer, &QTimer::timeout, this, &LoginDialog::waitTick);

    setTabOrder(edtFelhasznalo, edtJelszo);
    setTabOrder(edtJelszo, btnOK);
    setTabOrder(btnOK, btnUjJelszo);
    setTabOrder(btnUjJelszo, btnMegsem);

    connect(btnOK, &QPushButton::clicked, this, &LoginDialog::btnOKClick);
    connect(btnUjJelszo, &QPushButton::clicked, this, &LoginDialog::btnUjJelszoClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);

    InstallFormBehaviour(this, Placement::None);
    edtFelhasznalo->setFocus();
}

void LoginDialog::showEvent(QShowEvent *ev)
{
    QDialog::showEvent(ev);
    if (!ev->spontaneous()) {
        QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
        if (s)
            move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

bool LoginDialog::CheckCredentials()
{
    try {
        return qo::CheckCredentials(edtFelhasznalo->text(), edtJelszo->text(), this);
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
        return false;
    }
}

void LoginDialog::setLockoutBaseForTests(int milliseconds) { lockoutBaseMs = milliseconds; }

bool LoginDialog::checkAttempt(bool logsIn)
{
    if (isWaiting())
        return false;
    const QString code = edtFelhasznalo->text();
    if (CheckCredentials()) {
        m_failures = 0;
        if (logsIn) {
            Connection::setActingUser(appState().felhasznalo_nev);
            AddAuditEvent(QLatin1String(Audit::kLogin), QStringLiteral("felhasznalo"), code, QString());
        }
        return true;
    }
    ++m_failures;
    AddAuditEvent(QLatin1String(Audit::kFailedLogin), QStringLiteral("felhasznalo"), code,
                  QStringLiteral("%1. sikertelen próbálkozás egymás után").arg(m_failures));
    if (m_failures >= kFreeAttempts) {
        const int doublings = qMin(m_failures - kFreeAttempts, 16);
        startWait(int(qMin<qint64>(qint64(lockoutBaseMs) << doublings, kLockoutMaxMs)));
    }
    return false;
}

// The buttons that try a password rest while the dialog waits; "Mégsem" stays.
void LoginDialog::startWait(int milliseconds)
{
    m_waitLeftMs = milliseconds;
    btnOK->setEnabled(false);
    btnUjJelszo->setEnabled(false);
    lblVarakozas->show();
    waitTick();
    m_waitTimer.start();
}

void LoginDialog::waitTick()
{
    if (m_waitTimer.isActive())
        m_waitLeftMs -= kWaitTickMs;
    if (m_waitLeftMs <= 0) {
        m_waitLeftMs = 0;
        m_waitTimer.stop();
        lblVarakozas->hide();
        btnOK->setEnabled(true);
        btnUjJelszo->setEnabled(true);
        return;
    }
    const int seconds = (m_waitLeftMs + 999) / 1000;
    lblVarakozas->setText(QStringLiteral("Túl sok sikertelen belépési kísérlet. Újra próbálhatja %1 másodperc múlva.")
                              .arg(seconds));
}

void LoginDialog::btnOKClick()
{
    if (checkAttempt(true))
        accept();
}

void LoginDialog::btnUjJelszoClick()
{
    if (!checkAttempt(false))
        return;
    QString first;
    if (!InputDialog(QStringLiteral("Jelszó megadása"), QStringLiteral("Add meg az új jelszót"), first, this))
        return;
    // An empty password would let anyone in who knows the code.
    if (first.isEmpty()) {
        ShowError(QStringLiteral("Hiányos adat megadás"), this);
        return;
    }
    // The field itself refuses such characters; kept as the last word before the UPDATE.
    if (const QString bad = FirstUnstorableChar(first); !bad.isEmpty()) {
        ShowError(UnstorableCharText(bad), this);
        return;
    }
    QString second;
    if (!InputDialog(QStringLiteral("Megerősítés"), QStringLiteral("Add újra az új jelszót"), second, this))
        return;
    if (first != second) {
        ShowError(QStringLiteral("A megadott jelszavak nem egyezőek"), this);
        return;
    }
    try {
        ShopStore(Connection::main()).setPassword(edtFelhasznalo->text(), HashPassword(first));
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
        return;
    }
    ShowInfo(QStringLiteral("Jelszó változtatás kész."), this);
}

bool ShowLoginDialog(QWidget *parent)
{
    LoginDialog dlg(parent);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace qo
