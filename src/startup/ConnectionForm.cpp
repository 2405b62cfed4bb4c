#include "startup/ConnectionForm.h"

#include "startup/DatabaseChooser.h"
#include "ui/FormParts.h"
#include "ui/MessageBoxes.h"
#include "ui/TextGuards.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace qo {

namespace {

constexpr int kHostLength = 255; // "host1, host2:3307, ..."

} // namespace

ConnectionForm::ConnectionForm(QWidget *owner, QVBoxLayout *into, std::initializer_list<Row> rows, int maxLength)
    : m_owner(owner)
{
    for (const Row &r : rows) {
        auto *e = new QLineEdit(owner);
        e->setObjectName(QLatin1String(r.objectName));
        if (maxLength > 0)
            e->setMaxLength(r.field == Host ? kHostLength : maxLength);
        if (r.field == Password)
            ShowPasswordAsStars(e);
        if (r.field == Port)
            e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
        m_edits[r.field] = e;
        m_order << e;
        AddCaptionedField(into, owner, QString::fromUtf8(r.caption), e, r.beside);
    }
    m_edits[Port]->setText(QStringLiteral("3306"));

    m_tls = new QCheckBox(QStringLiteral("Titkosított kapcsolat (TLS)"), owner);
    m_tls->setObjectName(QStringLiteral("cbTls"));
    m_tls->setToolTip(QStringLiteral("Az adatok titkosítva mennek a kiszolgálóig, és a program ellenőrzi a "
                                     "kiszolgáló tanúsítványát. Üzleten kívüli kiszolgálóhoz."));
    m_caFile = new QLineEdit(owner);
    m_caFile->setObjectName(QStringLiteral("edtCaFajl"));
    m_caFile->setPlaceholderText(QStringLiteral("a rendszer hitelesítői"));
    m_browse = new QToolButton(owner);
    m_browse->setObjectName(QStringLiteral("btnCaTallozas"));
    m_browse->setText(QStringLiteral("..."));
    m_browse->setToolTip(QStringLiteral("CA fájl kiválasztása"));
    into->addWidget(m_tls);
    AddCaptionedField(into, owner, QStringLiteral("Hitelesítő (CA) tanúsítvány fájl"), m_caFile, m_browse);

    // The CA file is usable only while TLS is ticked.
    QLineEdit *field = m_caFile;
    QToolButton *button = m_browse;
    QObject::connect(m_tls, &QCheckBox::toggled, owner, [field, button](bool on) {
        field->setEnabled(on);
        button->setEnabled(on);
    });
    field->setEnabled(false);
    button->setEnabled(false);
    QObject::connect(m_browse, &QToolButton::clicked, owner, [owner, field] {
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

QList<QWidget *> ConnectionForm::tabOrder() const
{
    QList<QWidget *> order;
    for (QLineEdit *e : m_order)
        order << e;
    order << m_tls << m_caFile << m_browse;
    return order;
}

void ConnectionForm::setFields(const ConnectionFields &f)
{
    m_edits[Host]->setText(f.host);
    m_edits[User]->setText(f.user);
    m_edits[Password]->setText(f.password);
    m_edits[Database]->setText(f.database);
    m_edits[DisplayName]->setText(f.displayName);
    m_edits[Port]->setText(f.port);
    m_tls->setChecked(f.tls);
    m_caFile->setText(f.caFile);
    m_caFile->setEnabled(f.tls);
    m_browse->setEnabled(f.tls);
}

ConnectionFields ConnectionForm::fields() const
{
    ConnectionFields f{m_edits[Database]->text(), m_edits[Host]->text(),     m_edits[Port]->text(),
                       m_edits[User]->text(),     m_edits[Password]->text(), m_edits[DisplayName]->text()};
    f.tls = m_tls->isChecked();
    f.caFile = f.tls ? m_caFile->text() : QString();
    return f;
}

bool ConnectionForm::caFileValid() const
{
    if (!m_tls->isChecked() || m_caFile->text().isEmpty() || QFileInfo(m_caFile->text()).isReadable())
        return true;
    ShowError(QStringLiteral("Hiba: A CA fájl nem olvasható: ") + m_caFile->text(), m_owner);
    m_caFile->setFocus();
    return false;
}

bool ConnectionForm::portValid(int &port) const
{
    QLineEdit *e = m_edits[Port];
    if (PortFromText(e->text(), port, m_owner))
        return true;
    e->setFocus();
    e->selectAll();
    return false;
}

bool ConnectionForm::valid(int &port) const
{
    for (QLineEdit *e : m_order) {
        if (FieldsHoldSeparator({e->text()})) {
            ShowError(QStringLiteral("Hiba: A mezők nem tartalmazhatnak pontosvesszőt (;)."), m_owner);
            e->setFocus();
            return false;
        }
    }
    return portValid(port) && caFileValid();
}

bool ConnectionForm::validForTest(int &port) const
{
    return portValid(port) && caFileValid();
}

} // namespace qo
