#include "admin/ConnectionEditor.h"

#include "config/StoredConnections.h"
#include "startup/DatabaseChooser.h"
#include "ui/FormBehaviour.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowKeys.h"

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

ConnectionEditor::ConnectionEditor(const ConnectionRow &row, QWidget *parent) : QDialog(parent), m_row(row)
{
    setObjectName(WindowKeys::kConnectionEditor);
    setWindowTitle(QStringLiteral("Tárhely"));
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);

    auto edit = [this](const char *name, const QString &text) {
        auto *e = new QLineEdit(text, this);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(kFieldLength);
        return e;
    };
    edtNev = edit("edtNev", row.adatbazisnev);
    edtKiszolgalo = edit("edtKiszolgalo", row.kiszolgalo);
    edtFelhasznalo = edit("edtFelhasznalo", row.felhasznalo);
    edtJelszo = edit("edtJelszo", row.jelszo);
    ShowPasswordAsStars(edtJelszo);
    edtAdatbazis = edit("edtAdatbazis", row.adatbazis);
    edtPort = edit("edtPort", QString::number(row.port));
    edtPort->setMaximumWidth(edtPort->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    edtNev->setMinimumWidth(edtNev->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);

    btnMutat = new QToolButton(this);
    btnMutat->setObjectName(QStringLiteral("btnMutat"));
    btnMutat->setIcon(QIcon::fromTheme(QStringLiteral("view-visible"), eyeIcon()));
    btnMutat->setToolTip(QStringLiteral("Jelszó mutatása / elrejtése"));
    btnMutat->setFocusPolicy(Qt::NoFocus);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnMegsem = new QPushButton(QStringLiteral("Mégsem"), this);
    btnMegsem->setObjectName(QStringLiteral("btnMegsem"));
    for (QPushButton *b : {btnOK, btnMegsem})
        b->setAutoDefault(false);

    auto *fields = new QVBoxLayout;
    fields->setSpacing(2);
    auto addField = [&](const char *label, QLineEdit *e, QWidget *beside = nullptr) {
        auto *l = new QLabel(QString::fromUtf8(label), this);
        l->setBuddy(e);
        fields->addWidget(l);
        if (beside) {
            auto *h = new QHBoxLayout;
            h->addWidget(e, 1);
            h->addWidget(beside);
            fields->addLayout(h);
        } else {
            fields->addWidget(e);
        }
        fields->addSpacing(4);
    };
    addField("Megjelenített név", edtNev);
    addField("Kiszolgáló", edtKiszolgalo);
    addField("Felhasználó", edtFelhasznalo);
    addField("Jelszó", edtJelszo, btnMutat);
    addField("Adatbázis / tárhely", edtAdatbazis);
    addField("Port", edtPort);

    auto *picture = new QLabel(this);
    picture->setPixmap(DecorativePicture(QStringLiteral("server"), 64, 120));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(10);
    top->addLayout(fields, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnMegsem);
    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addSpacing(6);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    QWidget *order[] = {edtNev, edtKiszolgalo, edtFelhasznalo, edtJelszo, edtAdatbazis, edtPort, btnOK, btnMegsem};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(btnOK, &QPushButton::clicked, this, &ConnectionEditor::okClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
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
    // The stored record has no escaping: a ";" would shift every later field.
    for (QLineEdit *e : {edtNev, edtKiszolgalo, edtFelhasznalo, edtJelszo, edtAdatbazis, edtPort}) {
        if (FieldsHoldSeparator({e->text()})) {
            ShowError(QStringLiteral("Hiba: A mezők nem tartalmazhatnak pontosvesszőt (;)."), this);
            e->setFocus();
            return;
        }
    }
    int port = 0;
    if (!PortFromText(edtPort->text(), port, this)) {
        edtPort->setFocus();
        edtPort->selectAll();
        return;
    }
    m_row.adatbazisnev = edtNev->text();
    m_row.kiszolgalo = edtKiszolgalo->text();
    m_row.felhasznalo = edtFelhasznalo->text();
    m_row.jelszo = edtJelszo->text();
    m_row.adatbazis = edtAdatbazis->text();
    m_row.port = port;
    accept();
}

bool EditConnectionRow(ConnectionRow &row, QWidget *parent)
{
    ConnectionEditor dlg(row, parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    row = dlg.row();
    return true;
}

} // namespace qo
