#include "config/StoredConnections.h"
#include "ui/WindowKeys.h"
#include "startup/ConnectionSetup.h"

#include "startup/DatabaseChooser.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "ui/WindowBehaviour.h"
#include "ui/FormParts.h"
#include "ui/MessageBoxes.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qo {

ConnectionSetup::ConnectionSetup(QWidget *parent) : QDialog(parent)
{
    SetFixedDialogFrame(this, WindowKeys::kConnectionSetup, QStringLiteral("Adatbázis beállítás"));

    btnTeszt = new QPushButton(QStringLiteral("Kapcsolat tesztelése"), this);
    btnTeszt->setObjectName(QStringLiteral("btnTeszt"));
    btnRendben = new QPushButton(QStringLiteral("Rendben"), this);
    btnRendben->setObjectName(QStringLiteral("btnRendben"));
    btnRendben->setEnabled(false);
    btnMegsem = new QPushButton(QStringLiteral("Mégsem"), this);
    btnMegsem->setObjectName(QStringLiteral("btnMegsem"));
    for (QPushButton *b : {btnTeszt, btnRendben, btnMegsem})
        b->setAutoDefault(false);

    auto *fields = new QVBoxLayout;
    fields->setSpacing(2);
    using F = ConnectionForm;
    m_form = std::make_unique<ConnectionForm>(this, fields, std::initializer_list<F::Row>{
        {F::Host, "edtSzerver", "Kiszolgáló (webszerver) név, vagy IP cím"},
        {F::User, "edtFelhasznalo", "Felhasználó"},
        {F::Password, "edtJelszo", "Jelszó"},
        {F::Database, "edtAdatbazis", "Tárhely, vagy adatbázis neve"},
        {F::DisplayName, "edtNev", "Adatbázis megjelenített neve"},
        {F::Port, "edtPort", "Port"},
    });
    edtSzerver = m_form->edit(F::Host);
    edtFelhasznalo = m_form->edit(F::User);
    edtJelszo = m_form->edit(F::Password);
    edtAdatbazis = m_form->edit(F::Database);
    edtNev = m_form->edit(F::DisplayName);
    edtPort = m_form->edit(F::Port);
    cbTls = m_form->tls();
    edtCaFajl = m_form->caFile();
    btnCaTallozas = m_form->caBrowse();
    edtSzerver->setMinimumWidth(edtSzerver->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnTeszt);
    buttons->addStretch(1);
    buttons->addWidget(btnRendben);
    buttons->addWidget(btnMegsem);
    ArrangePictureForm(this, QStringLiteral("server"), 64, 120, fields, buttons);

    ChainTabOrder(m_form->tabOrder() << btnTeszt << btnRendben << btnMegsem);

    connect(btnTeszt, &QPushButton::clicked, this, &ConnectionSetup::btnTesztClick);
    connect(btnRendben, &QPushButton::clicked, this, &ConnectionSetup::acceptSetup);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
    edtSzerver->installEventFilter(this);

    InstallFormBehaviour(this, Placement::Position);
    edtSzerver->setFocus();
}

ConnectionFields ConnectionSetup::fields() const
{
    return m_form->fields();
}

QString ConnectionSetup::record() const
{
    return fields().record();
}

bool ConnectionSetup::eventFilter(QObject *obj, QEvent *ev)
{
    // Ctrl+Enter in the host field takes the data as they are, untested.
    if (obj == edtSzerver && ev->type() == QEvent::KeyPress) {
        const auto *ke = static_cast<QKeyEvent *>(ev);
        if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter)
            && (ke->modifiers() & Qt::ControlModifier)) {
            acceptSetup();
            return true;
        }
    }
    return QDialog::eventFilter(obj, ev);
}

ConnectParams ConnectionSetup::params() const
{
    return ConnectParams::fromFields(fields());
}

void ConnectionSetup::btnTesztClick()
{
    ConnectParams p = params();
    if (!m_form->validForTest(p.port))
        return;
    if (!TestConnectionParams(p, this))
        return;
    // Once tested, "Rendben" stays usable even if the fields change later.
    btnRendben->setEnabled(true);
    btnRendben->setFocus();
}

void ConnectionSetup::acceptSetup()
{
    int port = 0;
    if (!m_form->valid(port))
        return;
    const QString rec = record();
    try {
        StoreNewConnection(rec, fields().tlsSetting());
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
        return;
    }
    appState().ConStr = rec;
    accept();
}

bool RunFirstRunSetup(QWidget *parent)
{
    ConnectionSetup dlg(parent);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace qo
