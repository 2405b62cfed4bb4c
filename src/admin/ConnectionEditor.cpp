#include "admin/ConnectionEditor.h"

#include "config/StoredConnections.h"
#include "ui/TextGuards.h"
#include "ui/WindowBehaviour.h"
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
    using F = ConnectionForm;
    m_form = std::make_unique<ConnectionForm>(this, fields, std::initializer_list<F::Row>{
        {F::DisplayName, "edtNev", "Megjelenített név"},
        {F::Host, "edtKiszolgalo", "Kiszolgáló"},
        {F::User, "edtFelhasznalo", "Felhasználó"},
        {F::Password, "edtJelszo", "Jelszó", btnMutat},
        {F::Database, "edtAdatbazis", "Adatbázis / tárhely"},
        {F::Port, "edtPort", "Port"},
    }, kFieldLength);
    m_form->setFields(row);
    QLineEdit *name = m_form->edit(F::DisplayName);
    name->setMinimumWidth(name->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnMegsem);
    ArrangePictureForm(this, QStringLiteral("server"), 64, 120, fields, buttons);

    ChainTabOrder(m_form->tabOrder() << btnOK << btnMegsem);

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
    name->setFocus();
}

void ConnectionEditor::togglePassword()
{
    QLineEdit *edtJelszo = m_form->edit(ConnectionForm::Password);
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
    if (!m_form->valid(port))
        return;
    m_row = m_form->fields();
    m_row.port = QString::number(port);
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
