#include "config/StoredConnections.h"
#include "ui/WindowKeys.h"
#include "startup/ConnectionSetup.h"

#include "startup/DatabaseChooser.h"
#include "config/AppState.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "ui/WindowBehaviour.h"
#include "ui/TextGuards.h"
#include "ui/FormParts.h"
#include "ui/MessageBoxes.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace qo {

void AddTlsFields(QWidget *owner, QVBoxLayout *fields, QCheckBox *&tls, QLineEdit *&caFile, QToolButton *&browse)
{
    tls = new QCheckBox(QStringLiteral("Titkosított kapcsolat (TLS)"), owner);
    tls->setObjectName(QStringLiteral("cbTls"));
    tls->setToolTip(QStringLiteral("Az adatok titkosítva mennek a kiszolgálóig, és a program ellenőrzi a "
                                   "kiszolgáló tanúsítványát. Üzleten kívüli kiszolgálóhoz."));
    caFile = new QLineEdit(owner);
    caFile->setObjectName(QStringLiteral("edtCaFajl"));
    caFile->setPlaceholderText(QStringLiteral("a rendszer hitelesítői"));
    browse = new QToolButton(owner);
    browse->setObjectName(QStringLiteral("btnCaTallozas"));
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(QStringLiteral("CA fájl kiválasztása"));
    fields->addWidget(tls);
    AddCaptionedField(fields, owner, QStringLiteral("Hitelesítő (CA) tanúsítvány fájl"), caFile, browse);
    QLineEdit *field = caFile;
    QToolButton *button = browse;
    QObject::connect(tls, &QCheckBox::toggled, owner, [field, button](bool on) {
        field->setEnabled(on);
        button->setEnabled(on);
    });
    field->setEnabled(false);
    button->setEnabled(false);
    QObject::connect(browse, &QToolButton::clicked, owner, [owner, field] {
        QFileDialog dlg(owner, QStringLiteral("CA fájl kiválasztása"));
        dlg.setOption(QFileDialog::DontUseNativeDialog);
        dlg.setFileMode(QFileDialog::ExistingFile);
        dlg.setNameFilters({QStringLiteral("Tanúsítvány (*.pem *.crt *.cer)"), QStringLiteral("Minden fájl (*)")});
        if (!field->text().isEmpty())
            dlg.selectFile(field->text());
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            field->setText(dlg.selectedFiles().constFirst());
        field->setFocus();
    });
}

bool TlsFieldsValid(QCheckBox *tls, QLineEdit *caFile, QWidget *owner)
{
    if (!tls->isChecked() || caFile->text().isEmpty() || QFileInfo(caFile->text()).isReadable())
        return true;
    ShowError(QStringLiteral("Hiba: A CA fájl nem olvasható: ") + caFile->text(), owner);
    caFile->setFocus();
    return false;
}

bool ConnectionFormValid(QWidget *owner, const QList<QLineEdit *> &fields, QLineEdit *portField, QCheckBox *tls,
                         QLineEdit *caFile, int &port)
{
    for (QLineEdit *e : fields) {
        if (FieldsHoldSeparator({e->text()})) {
            ShowError(QStringLiteral("Hiba: A mezők nem tartalmazhatnak pontosvesszőt (;)."), owner);
            e->setFocus();
            return false;
        }
    }
    if (!PortFromText(portField->text(), port, owner)) {
        portField->setFocus();
        portField->selectAll();
        return false;
    }
    return TlsFieldsValid(tls, caFile, owner);
}

ConnectionSetup::ConnectionSetup(QWidget *parent) : QDialog(parent)
{
    SetFixedDialogFrame(this, WindowKeys::kConnectionSetup, QStringLiteral("Adatbázis beállítás"));

    auto makeEdit = [this](const char *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    edtSzerver = makeEdit("edtSzerver");
    edtFelhasznalo = makeEdit("edtFelhasznalo");
    edtJelszo = makeEdit("edtJelszo");
    ShowPasswordAsStars(edtJelszo);
    edtAdatbazis = makeEdit("edtAdatbazis");
    edtNev = makeEdit("edtNev");
    edtPort = makeEdit("edtPort");
    edtPort->setText(QStringLiteral("3306"));
    edtPort->setMaximumWidth(edtPort->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);

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
    const struct { const char *label; QLineEdit *edit; } rows[] = {
        {"Kiszolgáló (webszerver) név, vagy IP cím", edtSzerver},
        {"Felhasználó", edtFelhasznalo},
        {"Jelszó", edtJelszo},
        {"Tárhely, vagy adatbázis neve", edtAdatbazis},
        {"Adatbázis megjelenített neve", edtNev},
        {"Port", edtPort},
    };
    for (const auto &r : rows)
        AddCaptionedField(fields, this, QString::fromUtf8(r.label), r.edit);
    edtSzerver->setMinimumWidth(edtSzerver->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);

    AddTlsFields(this, fields, cbTls, edtCaFajl, btnCaTallozas);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnTeszt);
    buttons->addStretch(1);
    buttons->addWidget(btnRendben);
    buttons->addWidget(btnMegsem);
    ArrangePictureForm(this, QStringLiteral("server"), 64, 120, fields, buttons);

    ChainTabOrder({edtSzerver, edtFelhasznalo, edtJelszo, edtAdatbazis, edtNev, edtPort, cbTls, edtCaFajl,
                   btnCaTallozas, btnTeszt, btnRendben, btnMegsem});

    connect(btnTeszt, &QPushButton::clicked, this, &ConnectionSetup::btnTesztClick);
    connect(btnRendben, &QPushButton::clicked, this, &ConnectionSetup::acceptSetup);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
    edtSzerver->installEventFilter(this);

    InstallFormBehaviour(this, Placement::Position);
    edtSzerver->setFocus();
}

ConnectionFields ConnectionSetup::fields() const
{
    ConnectionFields f{edtAdatbazis->text(), edtSzerver->text(), edtPort->text(), edtFelhasznalo->text(),
                       edtJelszo->text(), edtNev->text()};
    f.tls = cbTls->isChecked();
    f.caFile = f.tls ? edtCaFajl->text() : QString();
    return f;
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
    if (!PortFromText(edtPort->text(), p.port, this)) {
        edtPort->setFocus();
        return;
    }
    if (!TlsFieldsValid(cbTls, edtCaFajl, this))
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
    if (!ConnectionFormValid(this, {edtAdatbazis, edtSzerver, edtPort, edtFelhasznalo, edtJelszo, edtNev}, edtPort,
                             cbTls, edtCaFajl, port))
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
