#include "clients/PrescriptionEditor.h"
#include "ui/WindowKeys.h"

#include "clients/Clients.h"
#include "clients/ClientsCommon.h"
#include "clients/ClientStore.h"
#include "clients/PrescriptionChecks.h"
#include "ui/RecordSave.h"
#include "db/Connection.h"
#include "db/LookupName.h"
#include "base/Error.h"
#include "ui/FormParts.h"
#include "db/SqlText.h"
#include "ui/FieldMark.h"
#include "ui/MessageBoxes.h"
#include "ui_PrescriptionEditor.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>

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

PrescriptionEditor::PrescriptionEditor(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::PrescriptionEditor>())
{
    SetUpFixedForm(this, WindowKeys::kPrescriptionEditor, QString());
    m_ui->setupUi(this);
    m_blocks[0] = {m_ui->oldal1, m_ui->sph1, m_ui->cyl1, m_ui->ax1, m_ui->prism1, m_ui->pd1, m_ui->prismLabel1, m_ui->pdLabel1};
    m_blocks[1] = {m_ui->oldal2, m_ui->sph2, m_ui->cyl2, m_ui->ax2, m_ui->prism2, m_ui->pd2, m_ui->prismLabel2, m_ui->pdLabel2};

    const QFont big = clients::BigBoldFont(font());
    m_ui->Label1->setFont(clients::BigBoldFont(font(), 5));
    // Room for the column's ten characters in the large bold font, beside
    // the line edit's own frame and margins.
    const int valueWidth = QFontMetrics(big).horizontalAdvance(QStringLiteral("-888888,88")) + 20;
    for (Block &k : m_blocks) {
        for (QLineEdit *e : {k.oldal, k.sph, k.cyl, k.ax, k.v4, k.v5}) {
            e->setFont(big);
            e->setFixedWidth(valueWidth);
        }
        clients::MakeShowOnly(k.oldal);
        for (QLineEdit *e : {k.sph, k.cyl, k.ax})
            e->installEventFilter(this);
    }

    m_ui->statusLine->setMinimumHeight(m_ui->statusLine->fontMetrics().height() + 6);
    m_ui->picture->setPixmap(clients::Picture(QStringLiteral("glasses"), 72, 48));
    for (QPushButton *b : {m_ui->BitBtn1, m_ui->BitBtn2})
        b->setMinimumWidth(90);
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, &PrescriptionEditor::okClicked);
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

PrescriptionEditor::~PrescriptionEditor() = default;

QList<QLineEdit *> PrescriptionEditor::fields(int b) const
{
    const Block &k = m_blocks[b];
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
    for (Block &k : m_blocks) {
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
        m_ui->Label1->setText(LookupName(client, QStringLiteral("ugyfel"), QString()));
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
        m_blocks[b].oldal->setText(m_read.side[b]);
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
    m_blocks[0].sph->setFocus(Qt::OtherFocusReason);
}

bool PrescriptionEditor::eventFilter(QObject *obj, QEvent *e)
{
    if (e->type() == QEvent::FocusOut) {
        auto *edit = qobject_cast<QLineEdit *>(obj);
        const int block = edit == nullptr ? -1 : (edit->parentWidget() == m_blocks[0].sph->parentWidget() ? 0 : 1);
        if (edit && edit != m_blocks[block].ax) {
            const QString formatted = FormatPrescriptionValue(edit->text());
            // A value too long for the column is left as typed rather than cut.
            if (formatted != edit->text() && formatted.size() <= edit->maxLength())
                edit->setText(formatted);
        }
        // Leaving the field, not the window (a message box, another program).
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(e)->reason();
        if (edit && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            warnUnusual(block, edit);
    }
    return QDialog::eventFilter(obj, e);
}

// An unusual value is marked and named in the status line, never refused.
void PrescriptionEditor::warnUnusual(int block, QLineEdit *left)
{
    Block &k = m_blocks[block];
    // Between Cyl and Ax of one side the other half may still come.
    QWidget *next = QApplication::focusWidget();
    const bool pairOpen = (left == k.cyl && next == k.ax) || (left == k.ax && next == k.cyl);
    const QString side = k.oldal->text().trimmed().isEmpty() ? (block == 0 ? QStringLiteral("Jobb") : QStringLiteral("Bal"))
                                                             : k.oldal->text().trimmed();
    const PrescriptionWarnings w = CheckPrescriptionRow(side, k.sph->text(), k.cyl->text(), k.ax->text(), !pairOpen);
    SetFieldMark(k.sph, !w.sph.isEmpty());
    for (QLineEdit *field : {k.cyl, k.ax}) {
        const bool missing = !w.pair.isEmpty() && (field == k.ax) == w.pairMissesAxis;
        // While the pair is open, a half marked as missing keeps its mark.
        const bool keep = pairOpen && field != left && HasFieldMark(field);
        SetFieldMark(field, !(field == k.cyl ? w.cyl : w.ax).isEmpty() || missing || keep);
    }
    QString shown = left == k.sph ? w.sph : left == k.cyl ? w.cyl : w.ax;
    if (shown.isEmpty() && left != k.sph)
        shown = w.pair;
    m_ui->statusLine->setText(shown);
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
