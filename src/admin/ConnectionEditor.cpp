#include "admin/ConnectionEditor.h"

#include "config/StoredConnections.h"
#include "startup/DatabaseChooser.h"
#include "startup/ConnectionSetup.h"
#include "ui/WindowBehaviour.h"
#include "ui/TextGuards.h"
#include "ui/FormParts.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowKeys.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace qo {

namespace {

constexpr int kFieldLength = 50;

// A small eye of our own, for desktops whose icon theme has none.
QIcon eyeIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.4));
    QPainterPath lid;
    lid.moveTo(1, 8);
    lid.quadTo(8, 1, 15, 8);
    lid.quadTo(8, 15, 1, 8);
    p.drawPath(lid);
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
    return QIcon(pm);
}

} // namespace

ConnectionEditor::ConnectionEditor(const ConnectionFields &row, QWidget *parent) : QDialog(parent), m_row(row)
{
    SetFixedDialogFrame(this, WindowKeys::kConnectionEditor, QStringLiteral("Tárhely"));

    auto edit = [this](const char *name, const QString &text) {
        auto *e = new QLineEdit(text, this);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(kFieldLength);
        return e;
    };
    edtNev = edit("edtNev", row.displayName);
    edtKiszolgalo = edit("edtKiszolgalo", row.host);
    // Room for the nodes of a cluster: "host1, host2:3307, ...".
    edtKiszolgalo->setMaxLength(255);
    edtFelhasznalo = edit("edtFelhasznalo", row.user);
    edtJelszo = edit("edtJelszo", row.password);
    ShowPasswordAsStars(edtJelszo);
    edtAdatbazis = edit("edtAdatbazis", row.database);
    edtPort = edit("edtPort", row.port);
    edtPort->setMaximumWidth(edtPort->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    edtNev->setMinimumWidth(edtNev->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);

    btnMutat = new QToolButton(this);
    btnMutat->setObjectName(QStringLiteral("btnMutat"));
    btnMutat->setIcon(QIcon::fromTheme(QStringLiteral("view-visible"), eyeIcon()));
    btnMutat->setToolTip(QStringLiteral("Jelszó mutatása / elrejtése"));
    btnMutat->setFocusPolicy(Qt::NoFocus);

    const OkCancelButtons buttonPair =
        MakeOkCancelButtons(this, this, QStringLiteral("btnOK"), QStringLiteral("btnMegsem"));
    btnOK = buttonPair.ok;
    btnMegsem = buttonPair.cancel;

    auto *fields = new QVBoxLayout;
    fields->setSpacing(2);
    auto addField = [&](const char *label, QLineEdit *e, QWidget *beside = nullptr) {
        AddCaptionedField(fields, this, QString::fromUtf8(label), e, beside);
    };
    addField("Megjelenített név", edtNev);
    addField("Kiszolgáló", edtKiszolgalo);
    addField("Felhasználó", edtFelhasznalo);
    addField("Jelszó", edtJelszo, btnMutat);
    addField("Adatbázis / tárhely", edtAdatbazis);
    addField("Port", edtPort);

    AddTlsFields(this, fields, cbTls, edtCaFajl, btnCaTallozas);
    cbTls->setChecked(row.tls);
    edtCaFajl->setText(row.caFile);
    edtCaFajl->setEnabled(row.tls);
    btnCaTallozas->setEnabled(row.tls);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnMegsem);
    ArrangePictureForm(this, QStringLiteral("server"), 64, 120, fields, buttons);

    ChainTabOrder({edtNev, edtKiszolgalo, edtFelhasznalo, edtJelszo, edtAdatbazis, edtPort, cbTls, edtCaFajl,
                   btnCaTallozas, btnOK, btnMegsem});

    connect(btnOK, &QPushButton::clicked, this, &ConnectionEditor::okClick);
    connect(btnMutat, &QToolButton::clicked, this, &ConnectionEditor::togglePassword);
    // Ctrl+Enter: on to the next control, then as "OK".
    for (const QKeySequence &k : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto *s = new QShortcut(k, this);
        connect(s, &QShortcut::activated, this, [this] {
            focusNextChild();
            okClick();
        });
    }
    InstallFormBehaviour(this, Placement::Position);
    edtNev->setFocus();
}

void ConnectionEditor::togglePassword()
{
    if (edtJelszo->echoMode() == QLineEdit::Password) {
        edtJelszo->setEchoMode(QLineEdit::Normal);
    } else {
        ShowPasswordAsStars(edtJelszo);
    }
    edtJelszo->setFocus(Qt::OtherFocusReason);
}

void ConnectionEditor::okClick()
{
    int port = 0;
    if (!ConnectionFormValid(this, {edtNev, edtKiszolgalo, edtFelhasznalo, edtJelszo, edtAdatbazis, edtPort}, edtPort,
                             cbTls, edtCaFajl, port))
        return;
    m_row.displayName = edtNev->text();
    m_row.host = edtKiszolgalo->text();
    m_row.user = edtFelhasznalo->text();
    m_row.password = edtJelszo->text();
    m_row.database = edtAdatbazis->text();
    m_row.port = QString::number(port);
    m_row.tls = cbTls->isChecked();
    m_row.caFile = m_row.tls ? edtCaFajl->text() : QString();
    accept();
}

bool EditConnectionRow(ConnectionFields &row, QWidget *parent)
{
    ConnectionEditor dlg(row, parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    row = dlg.row();
    return true;
}

} // namespace qo
