#include "workorders/WorkOrderEditor.h"
#include "workorders/WorkOrderStore.h"
#include "db/RowConflict.h"
#include "ui/RecordSave.h"
#include "db/Kinds.h"
#include "reports/WorkOrderPrintout.h"
#include "ui/WindowKeys.h"

#include "clients/Clients.h"
#include "clients/ClientsCommon.h"
#include "db/Connection.h"
#include "db/LookupName.h"
#include "base/Error.h"
#include "ui/WindowBehaviour.h"
#include "ui/Pictures.h"

#include "ui/MessageBoxes.h"
#include "masterdata/MasterDataList.h"
#include "workorders/FieldEdits.h"
#include "workorders/WorkOrderCreate.h"
#include "ui_WorkOrderEditor.h"

#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

// The pictures are resources of a static library: registered by name.
static void initWorkOrderResources()
{
    Q_INIT_RESOURCE(workorders);
}

namespace qo {

namespace {

const QStringList kSphCyl = {QStringLiteral("jobbsph"), QStringLiteral("jobbcyl"), QStringLiteral("balsph"),
                             QStringLiteral("balcyl")};

int charsWide(const QWidget *w, int chars)
{
    return w->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 12;
}

} // namespace

QString WorkOrderTypeHeading(int type)
{
    for (const WorkOrderType &t : kWorkOrderTypes)
        if (t.number == type)
            return QString::fromUtf8(t.heading);
    return QStringLiteral("Távol");
}

QString WorkOrderMissingText()
{
    return QStringLiteral("A munkalap nem található, lehet, hogy időközben törölték.");
}

WorkOrderEditor::WorkOrderEditor(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::WorkOrderEditor>()), m_row(QStringLiteral("munkalap"), QStringLiteral("munkalap")), m_binder(&m_row)
{
    setObjectName(WindowKeys::kWorkOrderEditor);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    QFont f = font();
    f.setPointSize(WindowFontSize());
    setFont(f);
    buildLayout();
    InstallFormBehaviour(this, Placement::PositionRestoreFullSave);
}

WorkOrderEditor::~WorkOrderEditor()
{
    // A window destroyed while shown loses its focus inside ~QDialog, after
    // the row is gone: the fields must not report that any more.
    for (FieldEdit *e : std::as_const(m_texts))
        disconnect(e, nullptr, this, nullptr);
    for (NumberEdit *e : std::as_const(m_numbers))
        disconnect(e, nullptr, this, nullptr);
    disconnect(m_ui->DateTimePicker1, nullptr, this, nullptr);
}

void WorkOrderEditor::buildLayout()
{
    m_ui->setupUi(this);
    const QFont big = clients::BigBoldFont(font());
    const auto wide = [](QWidget *w, const QFont &f, const QString &sample, int extra) {
        w->setMinimumWidth(QFontMetrics(f).horizontalAdvance(sample) + extra);
    };

    // The heading: texts the editor shows but never edits.
    for (QLineEdit *e : {m_ui->edMunkalap, m_ui->edUgyfel, m_ui->edStatusz, m_ui->edDatum, m_ui->edDatKesz,
                         m_ui->edLencsemarka, m_ui->edKeretmarka})
        clients::MakeShowOnly(e);
    for (QLineEdit *e : {m_ui->edMunkalap, m_ui->edUgyfel, m_ui->edStatusz})
        e->setFont(big);
    wide(m_ui->edMunkalap, big, QStringLiteral("0000000"), 12);
    wide(m_ui->edUgyfel, big, QStringLiteral("Ügyfél neve kellő hosszan"), 12);
    wide(m_ui->edStatusz, big, QStringLiteral("Beérkezett"), 16);
    FieldDateEdit *due = m_ui->DateTimePicker1;
    const QLocale hu(QLocale::Hungarian, QLocale::Hungary);
    due->setLocale(hu);
    due->setDisplayFormat(hu.dateFormat(QLocale::LongFormat));
    wide(due, due->font(), QStringLiteral("2000. szeptember 30., csütörtök"), 40);
    connect(due, &FieldDateEdit::left, this, [this] { fieldLeft(m_ui->DateTimePicker1); });
    initWorkOrderResources();
    m_ui->picture->setPixmap(ResourcePicture(QStringLiteral(":/workorders/spectacles.svg"), 96, 56));
    m_ui->lblTipus->setFont(clients::BigBoldFont(font(), 2));

    // The input fields by column; the totals are shown only.
    for (FieldEdit *e : findChildren<FieldEdit *>()) {
        if (qobject_cast<NumberEdit *>(e))
            continue;
        bindField(e, e->objectName().startsWith(QLatin1String("szoveg_")) ? 30 : 20);
    }
    for (QLatin1String eye : {QLatin1String("jobb"), QLatin1String("bal")})
        for (QLatin1String c : {QLatin1String("sph"), QLatin1String("cyl"), QLatin1String("ax"),
                                QLatin1String("prism"), QLatin1String("pd"), QLatin1String("egyeb")})
            m_texts.value(eye + c)->setMinimumWidth(charsWide(m_texts.value(eye + c), 7));
    m_texts.value(QStringLiteral("tipus"))->setUpperCase(true);
    m_texts.value(QStringLiteral("kerettipus"))->setUpperCase(true);
    for (NumberEdit *e : findChildren<NumberEdit *>()) {
        const bool percent = e->objectName().endsWith(QLatin1String("szazalek"));
        if (!percent)
            e->setDisplayMask(MoneyMask());
        if (e == m_ui->osszar || e == m_ui->fizetendo) {
            clients::MakeShowOnly(e);
            continue;
        }
        e->setMinimumWidth(charsWide(e, percent ? 4 : 10));
        connect(e, &FieldEdit::left, this, [this, e] { fieldLeft(e); });
        m_numbers.insert(e->objectName(), e);
    }
    for (NumberEdit *e : {m_ui->osszar, m_ui->eloleg, m_ui->fizetendo}) {
        e->setFont(big);
        wide(e, big, QStringLiteral("-0 000 000"), 16);
    }
    for (QLabel *l : {m_ui->lblOsszar, m_ui->lblEloleg, m_ui->lblFizetendo})
        l->setFont(clients::BigBoldFont(font(), 1));
    for (QLineEdit *e : {m_ui->edLencsemarka, m_ui->edKeretmarka})
        e->setMinimumWidth(charsWide(e, 18));
    for (QPushButton *b : {m_ui->btnLencsemarka, m_ui->btnKeretmarka})
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 20);

    QPlainTextEdit *note = m_ui->megj;
    note->setFixedHeight(note->fontMetrics().lineSpacing() * 3 + 12);
    // The column holds 255 characters; more would be refused by the server.
    connect(note, &QPlainTextEdit::textChanged, this, [note] {
        const QString t = note->toPlainText();
        if (t.size() > 255) {
            QTextCursor c = note->textCursor();
            const int pos = qMin(c.position(), 255);
            note->setPlainText(t.left(255));
            c = note->textCursor();
            c.setPosition(pos);
            note->setTextCursor(c);
        }
    });

    // Enter in a field moves on, it never closes the window (autoDefault is off in the form).
    for (QPushButton *b : {m_ui->btnOK, m_ui->btnMegsem, m_ui->btnNyomtat, m_ui->btnElokep})
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("Mégsem")) + 40);
    m_ui->btnOK->setIcon(QIcon::fromTheme(QStringLiteral("dialog-ok")));
    m_ui->btnMegsem->setIcon(QIcon::fromTheme(QStringLiteral("dialog-cancel")));
    m_ui->btnNyomtat->setIcon(QIcon::fromTheme(QStringLiteral("document-print")));
    m_ui->btnElokep->setIcon(QIcon::fromTheme(QStringLiteral("document-print-preview")));
    connect(m_ui->btnOK, &QPushButton::clicked, this, &WorkOrderEditor::okClick);
    connect(m_ui->btnNyomtat, &QPushButton::clicked, this, [this] { printClick(true); });
    connect(m_ui->btnElokep, &QPushButton::clicked, this, [this] { printClick(false); });
    connect(m_ui->btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->btnLencsemarka, &QPushButton::clicked, this, [this] {
        chooseBrand(QStringLiteral("lencsemarka"), QStringLiteral("Lencse márka"), m_ui->tipus);
    });
    connect(m_ui->btnKeretmarka, &QPushButton::clicked, this, [this] {
        chooseBrand(QStringLiteral("keretmarka"), QStringLiteral("Keret márka"), m_ui->kerettipus);
    });
}

void WorkOrderEditor::bindField(FieldEdit *e, int minChars)
{
    e->setMinimumWidth(charsWide(e, minChars));
    connect(e, &FieldEdit::left, this, [this, e] { fieldLeft(e); });
    m_texts.insert(e->objectName(), e);
}

bool WorkOrderEditor::loadOrder(qint64 key, int type)
{
    if (!m_row.load(key))
        return false;
    if (!m_bound) {
        for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
            m_binder.bind(it.value(), it.key());
        m_binder.bind(m_ui->megj, QStringLiteral("megj"));
        m_bound = true;
    }
    m_binder.load();
    for (auto it = m_numbers.cbegin(); it != m_numbers.cend(); ++it)
        it.value()->setValue(m_row.value(it.key()));

    const int status = int(m_row.value(QStringLiteral("statusz")).toLongLong());
    const bool open = status < int(WorkOrderStatus::HandedOver);
    m_ui->btnOK->setEnabled(open);
    m_ui->btnOK->setToolTip(open ? QString() : QStringLiteral("Átadott munkalap nem menthető."));

    m_ui->edMunkalap->setText(QString::number(key));
    const auto lookup = [this](const QString &column) {
        return LookupName(m_row.value(column).toLongLong(), column, QString());
    };
    m_ui->edUgyfel->setText(lookup(QStringLiteral("ugyfel")));
    m_ui->edStatusz->setText(lookup(QStringLiteral("statusz")));
    m_ui->edDatum->setText(m_row.text(QStringLiteral("datum")));
    m_ui->edDatKesz->setText(m_row.text(QStringLiteral("dat_kesz")));
    showBrandNames();

    const QVariant stored = m_row.value(QStringLiteral("mlaptipus"));
    const int t = stored.isValid() ? int(stored.toLongLong()) : type;
    m_ui->lblTipus->setText(WorkOrderTypeHeading(t));
    const bool contact = t == kContactLensOrder;
    m_ui->lblJobbPrism->setText(contact ? QStringLiteral("Bc") : QStringLiteral("Prism"));
    m_ui->lblBalPrism->setText(m_ui->lblJobbPrism->text());
    m_ui->lblJobbPd->setText(contact ? QStringLiteral("Dia") : QStringLiteral("Pd"));
    m_ui->lblBalPd->setText(m_ui->lblJobbPd->text());

    const QDate due = m_row.value(QStringLiteral("dat_hatid")).toDate();
    m_ui->DateTimePicker1->setDate(due.isValid() ? due : QDate::currentDate());
    showTotals();
    return true;
}

QLineEdit *WorkOrderEditor::field(const QString &column) const
{
    if (FieldEdit *e = m_texts.value(column))
        return e;
    if (column == QLatin1String("osszar"))
        return m_ui->osszar;
    if (column == QLatin1String("fizetendo"))
        return m_ui->fizetendo;
    return m_numbers.value(column);
}

NumberEdit *WorkOrderEditor::numberField(const QString &column) const
{
    if (column == QLatin1String("osszar"))
        return m_ui->osszar;
    if (column == QLatin1String("fizetendo"))
        return m_ui->fizetendo;
    return m_numbers.value(column);
}

void WorkOrderEditor::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_ui->DateTimePicker1->setFocus(Qt::OtherFocusReason);
    }
}

void WorkOrderEditor::storeFields()
{
    m_binder.store();
    for (auto it = m_numbers.cbegin(); it != m_numbers.cend(); ++it)
        m_row.setValue(it.key(), it.value()->value());
    m_row.setValue(QStringLiteral("dat_hatid"), m_ui->DateTimePicker1->date());
}

void WorkOrderEditor::fieldLeft(QWidget *w)
{
    if (!m_row.hasColumn(QStringLiteral("munkalap")))
        return; // nothing loaded
    if (kSphCyl.contains(w->objectName())) {
        auto *e = static_cast<QLineEdit *>(w);
        const QString formatted = FormatPrescriptionValue(e->text());
        // A value that would not fit the column stays as typed rather than cut.
        if (formatted != e->text() && formatted.size() <= e->maxLength())
            e->setText(formatted);
    }
    recalculate();
}

void WorkOrderEditor::recalculate()
{
    storeFields();
    WorkOrderPrices p;
    const auto n = [this](const char *c) { return m_row.number(QLatin1String(c)); }; // NULL reads as 0
    p.ar_jobb = n("ar_jobb");
    p.ar_bal = n("ar_bal");
    p.lencseszazalek = n("lencseszazalek");
    p.ar_keret = n("ar_keret");
    p.keretszazalek = n("keretszazalek");
    p.ar_adaptalas = n("ar_adaptalas");
    p.ar_szinezes = n("ar_szinezes");
    p.ar_egyeb1 = n("ar_egyeb1");
    p.ar_egyeb2 = n("ar_egyeb2");
    p.ar_kedvezmeny = n("ar_kedvezmeny");
    p.eloleg = n("eloleg");
    const WorkOrderTotals t = RecalculateWorkOrder(p);
    m_row.setValue(QStringLiteral("osszar"), t.osszar);
    m_row.setValue(QStringLiteral("fizetendo"), t.fizetendo);
    showTotals();
}

void WorkOrderEditor::showTotals()
{
    m_ui->osszar->setValue(m_row.value(QStringLiteral("osszar")));
    m_ui->fizetendo->setValue(m_row.value(QStringLiteral("fizetendo")));
}

void WorkOrderEditor::showBrandNames()
{
    m_ui->edLencsemarka->setText(LookupName(m_row.value(QStringLiteral("lencsemarka")).toLongLong(),
                                      QStringLiteral("lencsemarka"), QString()));
    m_ui->edKeretmarka->setText(LookupName(m_row.value(QStringLiteral("keretmarka")).toLongLong(),
                                     QStringLiteral("keretmarka"), QString()));
}

void WorkOrderEditor::chooseBrand(const QString &table, const QString &caption, QWidget *next)
{
    const QVariant current = m_row.value(table);
    QString name;
    qint64 chosen = -1;
    try {
        chosen = OpenMasterDataList(current.isValid() ? current.toLongLong() : -1, true, table, caption, &name, this);
        if (chosen >= 0)
            m_row.setValue(table, chosen);
        // Also after a cancel: the brand may have been renamed in the list.
        showBrandNames();
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
        return;
    }
    if (chosen >= 0 && next)
        next->setFocus(Qt::OtherFocusReason);
}

// "nan", "-inf", "1e400" are no sphere or cylinder values.
bool WorkOrderEditor::eyeValuesValid()
{
    for (const QString &name : kSphCyl)
        if (auto *e = findChild<QLineEdit *>(name); e && IsRefusedPrescriptionValue(e->text())) {
            ShowWarning(QStringLiteral("A(z) „%1” nem érvényes érték.").arg(e->text().trimmed()), this);
            e->setFocus(Qt::OtherFocusReason);
            return false;
        }
    return true;
}

bool WorkOrderEditor::save()
{
    const int type = int(m_row.value(QStringLiteral("mlaptipus")).toLongLong());
    const SaveOutcome outcome = SaveRecord(this, [&] {
        recalculate();
        Connection &db = Connection::main();
        RunInTransaction(db, [&] {
            const qint64 k = m_row.post();
            WorkOrderStore(db).finish(k);
        });
        // The server may have completed the row: what is shown is what is stored.
        loadOrder(m_row.key(), type);
    }, [&] { return loadOrder(m_row.key(), type); }, WorkOrderMissingText());
    if (outcome == SaveOutcome::Gone)
        QDialog::reject();
    return outcome == SaveOutcome::Saved;
}

void WorkOrderEditor::okClick()
{
    if (m_ui->btnOK->isEnabled() && eyeValuesValid() && save())
        accept();
}

// "Nyomtat" / "Előkép": an order that is not closed is saved first (without
// completing it), then the stored order is printed; the window stays open in
// edit mode. A closed order prints as stored.
void WorkOrderEditor::printClick(bool print)
{
    if (m_ui->btnOK->isEnabled()) {
        if (!eyeValuesValid())
            return;
        const int type = int(m_row.value(QStringLiteral("mlaptipus")).toLongLong());
        const SaveOutcome outcome = SaveRecord(this, [this] {
            recalculate();
            m_row.post();
        }, [&] { return loadOrder(m_row.key(), type); }, WorkOrderMissingText());
        if (outcome == SaveOutcome::Gone)
            QDialog::reject();
        if (outcome != SaveOutcome::Saved)
            return; // never print what is not stored
    }
    try {
        PrintWorkOrder(key(), print, this);
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
    }
}

qint64 EditWorkOrder(qint64 key, qint64 client, int type, QWidget *parent)
{
    bool created = false;
    DropPendingWorkOrders(Connection::main()); // orders cancelled while the server was out of reach
    try {
        if (key == -1) {
            if (client == -1) {
                client = PickClient(-1, nullptr, parent);
                if (client <= 0)
                    return 0;
            }
            key = CreateWorkOrder(Connection::main(), client, type);
            created = true;
        }
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), parent);
        return -1;
    }

    const auto dropCreated = [&] {
        if (!created)
            return;
        try {
            DropCreatedWorkOrder(Connection::main(), key);
        } catch (const Error &e) {
            ShowError(CreatedWorkOrderLeftText(key, e.message()), parent);
        }
    };

    WorkOrderEditor dlg(parent);
    try {
        if (!dlg.loadOrder(key, type)) {
            ShowError(WorkOrderMissingText(), parent);
            return -1;
        }
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), parent);
        dropCreated();
        return -1;
    }
    if (dlg.exec() == QDialog::Accepted)
        return dlg.key();
    dropCreated();
    return -1;
}

} // namespace qo
