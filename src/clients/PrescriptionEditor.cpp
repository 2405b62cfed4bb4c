#include "clients/PrescriptionEditor.h"
#include "ui/WindowKeys.h"

#include "clients/Clients.h"
#include "clients/ClientsCommon.h"
#include "clients/ClientStore.h"
#include "ui/RecordSave.h"
#include "db/Connection.h"
#include "db/LookupName.h"
#include "base/Error.h"
#include "ui/FormBehaviour.h"
#include "ui/FormParts.h"
#include "db/SqlText.h"
#include "ui/MessageBoxes.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <cmath>

namespace qo {

QString FormatPrescriptionValue(const QString &text)
{
    if (IsRefusedPrescriptionValue(text))
        return text; // refused at OK, never turned into a number
    // Only a plain number: digit grouping ("1 234", or "1,234" where the
    // point is the decimal separator) is not a prescription value.
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator | QLocale::OmitGroupSeparator);
    bool ok = false;
    const double v = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return text;
    return (v < 0 ? QStringLiteral("-") : QStringLiteral("+")) + locale.toString(std::fabs(v), 'f', 2);
}

bool IsRefusedPrescriptionValue(const QString &text)
{
    static const QRegularExpression refused(
        QStringLiteral("^\\s*[+-]?(nan|inf|infinity|([0-9]+([.,][0-9]*)?|[.,][0-9]+)e[+-]?[0-9]+)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    return refused.match(text).hasMatch();
}

PrescriptionEditor::PrescriptionEditor(QWidget *parent) : QDialog(parent)
{
    SetUpFixedForm(this, WindowKeys::kPrescriptionEditor, QString());

    const QFont big = clients::BigBoldFont(font());
    clientHeading = new QLabel(QStringLiteral("ügyfél"), this);
    clientHeading->setObjectName(QStringLiteral("Label1"));
    clientHeading->setFont(clients::BigBoldFont(font(), 5));

    auto *main = new QVBoxLayout(this);
    main->addWidget(clientHeading);

    // Room for the column's ten characters in the large bold font, beside
    // the line edit's own frame and margins.
    const int valueWidth = QFontMetrics(big).horizontalAdvance(QStringLiteral("-888888,88")) + 20;
    for (int b = 0; b < 2; ++b) {
        Block &k = blocks[b];
        auto *frame = new QFrame(this);
        frame->setFrameShape(QFrame::StyledPanel);
        const QString n = QString::number(b + 1);
        auto edit = [&](const QString &name) {
            auto *e = new QLineEdit(frame);
            e->setObjectName(name + n);
            e->setFont(big);
            e->setFixedWidth(valueWidth);
            e->setAlignment(Qt::AlignCenter);
            return e;
        };
        k.oldal = edit(QStringLiteral("oldal"));
        clients::MakeShowOnly(k.oldal);
        k.sph = edit(QStringLiteral("sph"));
        k.cyl = edit(QStringLiteral("cyl"));
        k.ax = edit(QStringLiteral("ax"));
        k.v4 = edit(QStringLiteral("prism"));
        k.v5 = edit(QStringLiteral("pd"));
        k.l4 = clients::FieldLabel(QStringLiteral("Prism"), k.v4, frame);
        k.l5 = clients::FieldLabel(QStringLiteral("Pd"), k.v5, frame);
        for (QLineEdit *e : {k.sph, k.cyl})
            e->installEventFilter(this);

        auto *g = new QGridLayout(frame);
        g->setHorizontalSpacing(10);
        g->setVerticalSpacing(2);
        g->addWidget(clients::FieldLabel(QStringLiteral("Oldal"), k.oldal, frame), 0, 0);
        g->addWidget(k.oldal, 1, 0);
        g->addWidget(clients::FieldLabel(QStringLiteral("Sph"), k.sph, frame), 0, 1);
        g->addWidget(k.sph, 1, 1);
        g->addWidget(clients::FieldLabel(QStringLiteral("Cyl"), k.cyl, frame), 0, 2);
        g->addWidget(k.cyl, 1, 2);
        g->addWidget(clients::FieldLabel(QStringLiteral("Ax"), k.ax, frame), 0, 3);
        g->addWidget(k.ax, 1, 3);
        g->setRowMinimumHeight(2, 6);
        g->addWidget(k.l4, 3, 1);
        g->addWidget(k.v4, 4, 1);
        g->addWidget(k.l5, 3, 2);
        g->addWidget(k.v5, 4, 2);
        main->addWidget(frame);
    }

    auto *picture = new QLabel(this);
    picture->setPixmap(clients::Picture(QStringLiteral("glasses"), 72, 48));
    const OkCancelButtons buttonPair =
        MakeOkCancelButtons(this, this, QStringLiteral("BitBtn1"), QStringLiteral("BitBtn2"), 90);
    okButton = buttonPair.ok;
    cancelButton = buttonPair.cancel;
    connect(okButton, &QPushButton::clicked, this, &PrescriptionEditor::okClicked);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(picture);
    bottom->addStretch();
    bottom->addWidget(okButton, 0, Qt::AlignBottom);
    bottom->addWidget(cancelButton, 0, Qt::AlignBottom);
    main->addLayout(bottom);
    main->setSizeConstraint(QLayout::SetFixedSize);

    QWidget *prev = nullptr;
    for (int b = 0; b < 2; ++b)
        for (QLineEdit *e : fields(b)) {
            if (prev)
                setTabOrder(prev, e);
            prev = e;
        }
    setTabOrder(prev, okButton);
    setTabOrder(okButton, cancelButton);
}

QList<QLineEdit *> PrescriptionEditor::fields(int b) const
{
    const Block &k = blocks[b];
    return {k.sph, k.cyl, k.ax, k.v4, k.v5};
}

bool PrescriptionEditor::start(qint64 client, const QString &table, const QString &caption)
{
    // The table name is pasted into SQL text: only the four prescription tables.
    m_kind = PrescriptionKindOfTable(table);
    if (!m_kind) {
        ShowError(QStringLiteral("Ismeretlen recept tábla: %1").arg(table), parentWidget());
        return false;
    }
    if (client <= 0) {
        ShowWarning(QStringLiteral("Nincs kiválasztott ügyfél."), parentWidget());
        return false;
    }
    m_client = client;
    setWindowTitle(caption);
    for (Block &k : blocks) {
        k.l4->setText(m_kind->contactLens ? QStringLiteral("BC") : QStringLiteral("Prism"));
        k.l5->setText(m_kind->contactLens ? QStringLiteral("DIA") : QStringLiteral("Pd"));
    }
    try {
        if (!readRows()) {
            ShowWarning(QStringLiteral("Az ügyfél ezen receptjéből hiányzik a jobb vagy a bal oldal sora, "
                                       "ezért a recept nem szerkeszthető."),
                        parentWidget());
            return false;
        }
        clientHeading->setText(LookupName(client, QStringLiteral("ugyfel"), QString()));
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), parentWidget());
        return false;
    }
    return true;
}

bool PrescriptionEditor::readRows()
{
    if (!ClientStore(Connection::main()).readPrescription(m_client, *m_kind, m_read))
        return false;
    for (int b = 0; b < 2; ++b) {
        blocks[b].oldal->setText(m_read.side[b]);
        const QList<QLineEdit *> f = fields(b);
        for (int i = 0; i < 5; ++i) {
            if (m_read.length[i] > 0)
                f[i]->setMaxLength(m_read.length[i]);
            f[i]->setText(m_read.values[b][i].toString());
        }
    }
    return true;
}

void PrescriptionEditor::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    blocks[0].sph->setFocus(Qt::OtherFocusReason);
}

bool PrescriptionEditor::eventFilter(QObject *obj, QEvent *e)
{
    if (e->type() == QEvent::FocusOut) {
        if (auto *edit = qobject_cast<QLineEdit *>(obj)) {
            const QString formatted = FormatPrescriptionValue(edit->text());
            // A value too long for the column is left as typed rather than cut.
            if (formatted != edit->text() && formatted.size() <= edit->maxLength())
                edit->setText(formatted);
        }
    }
    return QDialog::eventFilter(obj, e);
}

void PrescriptionEditor::okClicked()
{
    for (int b = 0; b < 2; ++b)
        for (QLineEdit *e : fields(b))
            if (IsRefusedPrescriptionValue(e->text())) {
                ShowWarning(QStringLiteral("A(z) „%1” nem érvényes érték.").arg(e->text().trimmed()), this);
                e->setFocus(Qt::OtherFocusReason);
                e->selectAll();
                return;
            }
    QString now[2][5];
    for (int b = 0; b < 2; ++b) {
        const QList<QLineEdit *> f = fields(b);
        for (int i = 0; i < 5; ++i)
            now[b][i] = f[i]->text();
    }
    const SaveOutcome outcome = SaveRecord(this, [&] {
        ClientStore(Connection::main()).writePrescription(m_client, *m_kind, m_read, now);
    }, [this] { return readRows(); });
    if (outcome == SaveOutcome::Saved)
        accept();
    else if (outcome == SaveOutcome::Gone)
        reject();
}

bool EditPrescription(qint64 client, const QString &table, const QString &caption, QWidget *parent)
{
    PrescriptionEditor w(parent);
    if (!w.start(client, table, caption))
        return false;
    return w.exec() == QDialog::Accepted;
}

} // namespace qo
