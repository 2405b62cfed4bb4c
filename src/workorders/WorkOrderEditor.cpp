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
#include "ui/FormBehaviour.h"

#include "ui/MessageBoxes.h"
#include "masterdata/MasterDataList.h"
#include "workorders/FieldEdits.h"
#include "workorders/WorkOrderCreate.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qo {

namespace {

// A pair of spectacles over a lens.
const char kPicture[] = R"(<svg xmlns="http://www.w3.org/2000/svg" width="96" height="56" viewBox="0 0 96 56">
  <g fill="#dcecf8" stroke="#2a4b66" stroke-width="4" stroke-linejoin="round">
    <path d="M8 18h30q4 0 4 4v6q0 16-18 16h-2q-16 0-16-16v-6q0-4 2-4z"/>
    <path d="M88 18h-30q-4 0-4 4v6q0 16 18 16h2q16 0 16-16v-6q0-4-2-4z"/>
  </g>
  <path d="M42 24q6-6 12 0" fill="none" stroke="#2a4b66" stroke-width="4"/>
  <path d="M14 26l8-5M62 26l8-5" stroke="#ffffff" stroke-width="3" stroke-linecap="round"/>
</svg>)";

const QStringList kSphCyl = {QStringLiteral("jobbsph"), QStringLiteral("jobbcyl"), QStringLiteral("balsph"),
                             QStringLiteral("balcyl")};

// Texts the editor shows but never edits: no focus, no frame colour of their own.
QLineEdit *displayField(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    clients::MakeShowOnly(e);
    return e;
}

QLabel *caption(const QString &text, QWidget *parent, QWidget *buddy = nullptr)
{
    auto *l = new QLabel(text, parent);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

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
    : QDialog(parent), m_row(QStringLiteral("munkalap"), QStringLiteral("munkalap")), m_binder(&m_row)
{
    setObjectName(WindowKeys::kWorkOrderEditor);
    setWindowTitle(QStringLiteral("Munkalap"));
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
    disconnect(dueDate, nullptr, this, nullptr);
}

FieldEdit *WorkOrderEditor::addText(QWidget *parent, const QString &column, int minChars)
{
    auto *e = new FieldEdit(parent);
    e->setObjectName(column);
    e->setMinimumWidth(charsWide(e, minChars));
    connect(e, &FieldEdit::left, this, [this, e] { fieldLeft(e); });
    m_texts.insert(column, e);
    return e;
}

NumberEdit *WorkOrderEditor::addNumber(QWidget *parent, const QString &column, bool money, int minChars)
{
    auto *e = new NumberEdit(parent);
    e->setObjectName(column);
    if (money)
        e->setDisplayMask(MoneyMask());
    e->setMinimumWidth(charsWide(e, minChars));
    connect(e, &FieldEdit::left, this, [this, e] { fieldLeft(e); });
    m_numbers.insert(column, e);
    return e;
}

void WorkOrderEditor::buildLayout()
{
    const QFont big = clients::BigBoldFont(font());

    // ---- Munkalap ------------------------------------------------------------
    auto *gbHead = new QGroupBox(QStringLiteral("Munkalap"), this);
    edMunkalap = displayField(gbHead, "edMunkalap");
    edUgyfel = displayField(gbHead, "edUgyfel");
    edStatusz = displayField(gbHead, "edStatusz");
    for (QLineEdit *e : {edMunkalap, edUgyfel, edStatusz})
        e->setFont(big);
    edMunkalap->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("0000000")) + 12);
    edUgyfel->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("Ügyfél neve kellő hosszan")) + 12);
    edStatusz->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("Beérkezett")) + 16);
    edDatum = displayField(gbHead, "edDatum");
    edDatKesz = displayField(gbHead, "edDatKesz");
    dueDate = new FieldDateEdit(gbHead);
    dueDate->setObjectName(QStringLiteral("DateTimePicker1"));
    dueDate->setCalendarPopup(true);
    const QLocale hu(QLocale::Hungarian, QLocale::Hungary);
    dueDate->setLocale(hu);
    dueDate->setDisplayFormat(hu.dateFormat(QLocale::LongFormat));
    dueDate->setMinimumWidth(
        dueDate->fontMetrics().horizontalAdvance(QStringLiteral("2000. szeptember 30., csütörtök")) + 40);
    connect(dueDate, &FieldDateEdit::left, this, [this] { fieldLeft(dueDate); });
    auto *pic = new QLabel(gbHead);
    pic->setPixmap(SvgPicture(QByteArray(kPicture), 96, 56));

    auto *head = new QGridLayout(gbHead);
    head->addWidget(caption(QStringLiteral("Munkalap"), gbHead), 0, 0);
    head->addWidget(caption(QStringLiteral("Ügyfél"), gbHead), 0, 1);
    head->addWidget(caption(QStringLiteral("Státusz"), gbHead), 0, 2);
    head->addWidget(edMunkalap, 1, 0);
    head->addWidget(edUgyfel, 1, 1);
    head->addWidget(edStatusz, 1, 2);
    head->addWidget(caption(QStringLiteral("Beérkezett"), gbHead), 2, 0);
    head->addWidget(caption(QStringLiteral("Határidő"), gbHead, dueDate), 2, 1);
    head->addWidget(caption(QStringLiteral("Elvitte"), gbHead), 2, 2);
    head->addWidget(edDatum, 3, 0);
    head->addWidget(dueDate, 3, 1, Qt::AlignLeft);
    head->addWidget(edDatKesz, 3, 2);
    head->addWidget(pic, 0, 3, 4, 1, Qt::AlignCenter);
    head->setColumnStretch(1, 1);

    // ---- prescription ----------------------------------------------------------
    lblTipus = new QLabel(QStringLiteral("Távol"), this);
    lblTipus->setObjectName(QStringLiteral("lblTipus"));
    lblTipus->setFont(clients::BigBoldFont(font(), 2));

    auto eyeGroup = [this](const QString &title, const QString &side, QLabel **prism, QLabel **pd) {
        auto *gb = new QGroupBox(title, this);
        auto *g = new QGridLayout(gb);
        const QStringList cols = {QStringLiteral("sph"), QStringLiteral("cyl"), QStringLiteral("ax"),
                                  QStringLiteral("prism"), QStringLiteral("pd"), QStringLiteral("egyeb")};
        const QStringList caps = {QStringLiteral("Sph"),   QStringLiteral("Cyl"), QStringLiteral("Ax"),
                                  QStringLiteral("Prism"), QStringLiteral("Pd"),  QStringLiteral("Egyéb")};
        for (int i = 0; i < cols.size(); ++i) {
            FieldEdit *e = addText(gb, side + cols[i], 7);
            QLabel *l = caption(caps[i], gb, e);
            g->addWidget(l, 0, i);
            g->addWidget(e, 1, i);
            if (i == 3)
                *prism = l;
            if (i == 4)
                *pd = l;
        }
        return gb;
    };
    QGroupBox *gbJobb = eyeGroup(QStringLiteral("Jobb"), QStringLiteral("jobb"), &lblJobbPrism, &lblJobbPd);
    QGroupBox *gbBal = eyeGroup(QStringLiteral("Bal"), QStringLiteral("bal"), &lblBalPrism, &lblBalPd);

    // ---- totals ------------------------------------------------------------------
    auto *gbSum = new QGroupBox(QStringLiteral("Összesen"), this);
    m_osszar = new NumberEdit(gbSum);
    m_osszar->setObjectName(QStringLiteral("osszar"));
    m_fizetendo = new NumberEdit(gbSum);
    m_fizetendo->setObjectName(QStringLiteral("fizetendo"));
    for (NumberEdit *e : {m_osszar, m_fizetendo}) {
        clients::MakeShowOnly(e);
        e->setDisplayMask(MoneyMask());
    }
    NumberEdit *eloleg = addNumber(gbSum, QStringLiteral("eloleg"), true, 10);
    for (NumberEdit *e : {m_osszar, eloleg, m_fizetendo}) {
        e->setFont(big);
        e->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("-0 000 000")) + 16);
    }
    auto *sum = new QGridLayout(gbSum);
    sum->addWidget(caption(QStringLiteral("Összesen"), gbSum), 0, 0);
    sum->addWidget(m_osszar, 0, 1);
    sum->addWidget(caption(QStringLiteral("Előleg"), gbSum, eloleg), 1, 0);
    sum->addWidget(eloleg, 1, 1);
    sum->addWidget(caption(QStringLiteral("Utólag"), gbSum), 2, 0);
    sum->addWidget(m_fizetendo, 2, 1);
    for (int r = 0; r < 3; ++r)
        sum->itemAtPosition(r, 0)->widget()->setFont(clients::BigBoldFont(font(), 1));

    // ---- prices --------------------------------------------------------------------
    auto *gbAr = new QGroupBox(QStringLiteral("Árak"), this);
    auto *ar = new QGridLayout(gbAr);
    ar->setColumnStretch(7, 1);
    int row = 0;
    auto priceRow = [&](const QString &text, const QString &priceCol) {
        NumberEdit *p = addNumber(gbAr, priceCol, true, 10);
        ar->addWidget(caption(text, gbAr, p), row, 0);
        ar->addWidget(p, row, 1);
        return p;
    };
    auto brandRow = [&](const QString &text, const QString &priceCol, const QString &pctCol, QLineEdit **name,
                        const char *nameField, QPushButton **button, const char *buttonName, const QString &typeCol, int typeChars) {
        priceRow(text, priceCol);
        NumberEdit *pct = addNumber(gbAr, pctCol, false, 4);
        ar->addWidget(caption(QStringLiteral("%"), gbAr, pct), row, 2, Qt::AlignRight);
        ar->addWidget(pct, row, 3);
        *name = displayField(gbAr, nameField);
        (*name)->setMinimumWidth(charsWide(*name, 18));
        ar->addWidget(caption(QStringLiteral("Márka/típus"), gbAr), row, 4);
        ar->addWidget(*name, row, 5);
        *button = new QPushButton(QStringLiteral("..."), gbAr);
        (*button)->setObjectName(QLatin1String(buttonName));
        (*button)->setAutoDefault(false);
        (*button)->setFixedWidth((*button)->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 20);
        (*button)->setToolTip(QStringLiteral("Márka választása"));
        ar->addWidget(*button, row, 6);
        FieldEdit *type = addText(gbAr, typeCol, typeChars);
        type->setUpperCase(true);
        ar->addWidget(type, row, 7);
    };
    brandRow(QStringLiteral("Jobb lencse"), QStringLiteral("ar_jobb"), QStringLiteral("lencseszazalek"),
             &edLencsemarka, "edLencsemarka", &btnLencsemarka, "btnLencsemarka", QStringLiteral("tipus"), 20);
    ++row;
    priceRow(QStringLiteral("Bal lencse"), QStringLiteral("ar_bal"));
    ++row;
    brandRow(QStringLiteral("Keret"), QStringLiteral("ar_keret"), QStringLiteral("keretszazalek"), &edKeretmarka,
             "edKeretmarka", &btnKeretmarka, "btnKeretmarka", QStringLiteral("kerettipus"), 20);
    ++row;
    const QList<QPair<QString, QString>> items = {
        {QStringLiteral("Munkadíj"), QStringLiteral("adaptalas")},
        {QStringLiteral("Vizsgálat"), QStringLiteral("szinezes")},
        {QStringLiteral("UHT, orrtámasz"), QStringLiteral("egyeb1")},
        {QStringLiteral("Egyéb"), QStringLiteral("egyeb2")},
        {QStringLiteral("Kedvezmény"), QStringLiteral("kedvezmeny")},
    };
    for (const auto &[text, name] : items) {
        priceRow(text, QStringLiteral("ar_") + name);
        FieldEdit *note = addText(gbAr, QStringLiteral("szoveg_") + name, 30);
        ar->addWidget(note, row, 2, 1, 6);
        ++row;
    }
    noteEdit = new QPlainTextEdit(gbAr);
    noteEdit->setObjectName(QStringLiteral("megj"));
    noteEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    noteEdit->setTabChangesFocus(true);
    noteEdit->setFixedHeight(noteEdit->fontMetrics().lineSpacing() * 3 + 12);
    // The column holds 255 characters; more would be refused by the server.
    connect(noteEdit, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = noteEdit->toPlainText();
        if (t.size() > 255) {
            QTextCursor c = noteEdit->textCursor();
            const int pos = qMin(c.position(), 255);
            noteEdit->setPlainText(t.left(255));
            c = noteEdit->textCursor();
            c.setPosition(pos);
            noteEdit->setTextCursor(c);
        }
    });
    ar->addWidget(caption(QStringLiteral("Megjegyzés"), gbAr, noteEdit), row, 0, Qt::AlignTop);
    ar->addWidget(noteEdit, row, 1, 1, 7);

    // ---- buttons -----------------------------------------------------------------------
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnMegsem = new QPushButton(QStringLiteral("Mégsem"), this);
    btnNyomtat = new QPushButton(QStringLiteral("Nyomtat"), this);
    btnElokep = new QPushButton(QStringLiteral("Előkép"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnMegsem->setObjectName(QStringLiteral("btnMegsem"));
    btnNyomtat->setObjectName(QStringLiteral("btnNyomtat"));
    btnElokep->setObjectName(QStringLiteral("btnElokep"));
    for (QPushButton *b : {btnOK, btnMegsem, btnNyomtat, btnElokep}) {
        b->setAutoDefault(false); // Enter in a field moves on, it never closes the window
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("Mégsem")) + 40);
    }
    btnOK->setIcon(QIcon::fromTheme(QStringLiteral("dialog-ok")));
    btnMegsem->setIcon(QIcon::fromTheme(QStringLiteral("dialog-cancel")));
    btnNyomtat->setIcon(QIcon::fromTheme(QStringLiteral("document-print")));
    btnElokep->setIcon(QIcon::fromTheme(QStringLiteral("document-print-preview")));
    connect(btnOK, &QPushButton::clicked, this, &WorkOrderEditor::okClick);
    connect(btnNyomtat, &QPushButton::clicked, this, [this] { printClick(true); });
    connect(btnElokep, &QPushButton::clicked, this, [this] { printClick(false); });
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnLencsemarka, &QPushButton::clicked, this, [this] {
        chooseBrand(QStringLiteral("lencsemarka"), QStringLiteral("Lencse márka"), m_texts.value(QStringLiteral("tipus")));
    });
    connect(btnKeretmarka, &QPushButton::clicked, this, [this] {
        chooseBrand(QStringLiteral("keretmarka"), QStringLiteral("Keret márka"), m_texts.value(QStringLiteral("kerettipus")));
    });

    // ---- arrangement ------------------------------------------------------------------
    auto *eyes = new QVBoxLayout;
    eyes->addWidget(lblTipus);
    eyes->addWidget(gbJobb);
    eyes->addWidget(gbBal);
    auto *middle = new QHBoxLayout;
    middle->addLayout(eyes, 1);
    middle->addWidget(gbSum, 0, Qt::AlignBottom);
    auto *left = new QVBoxLayout;
    left->addWidget(gbHead);
    left->addLayout(middle);
    left->addWidget(gbAr, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addSpacing(8);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnMegsem);
    buttons->addSpacing(16);
    buttons->addWidget(btnNyomtat);
    buttons->addWidget(btnElokep);
    buttons->addStretch();
    auto *main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addLayout(buttons);

    // Tab order: due date, right eye, left eye, the prices row by row, the
    // remark, the deposit, the buttons.
    QList<QWidget *> order = {dueDate};
    for (const QString &side : {QStringLiteral("jobb"), QStringLiteral("bal")})
        for (const QString &c : {QStringLiteral("sph"), QStringLiteral("cyl"), QStringLiteral("ax"),
                                 QStringLiteral("prism"), QStringLiteral("pd"), QStringLiteral("egyeb")})
            order << m_texts.value(side + c);
    order << m_numbers.value(QStringLiteral("ar_jobb")) << m_numbers.value(QStringLiteral("lencseszazalek"))
          << btnLencsemarka << m_texts.value(QStringLiteral("tipus")) << m_numbers.value(QStringLiteral("ar_bal"))
          << m_numbers.value(QStringLiteral("ar_keret")) << m_numbers.value(QStringLiteral("keretszazalek"))
          << btnKeretmarka << m_texts.value(QStringLiteral("kerettipus"));
    for (const auto &[text, name] : items)
        order << m_numbers.value(QStringLiteral("ar_") + name) << m_texts.value(QStringLiteral("szoveg_") + name);
    order << noteEdit << m_numbers.value(QStringLiteral("eloleg")) << btnOK << btnMegsem << btnNyomtat << btnElokep;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

bool WorkOrderEditor::loadOrder(qint64 key, int type)
{
    if (!m_row.load(key))
        return false;
    if (!m_bound) {
        for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
            m_binder.bind(it.value(), it.key());
        m_binder.bind(noteEdit, QStringLiteral("megj"));
        m_bound = true;
    }
    m_binder.load();
    for (auto it = m_numbers.cbegin(); it != m_numbers.cend(); ++it)
        it.value()->setValue(m_row.value(it.key()));

    const int status = int(m_row.value(QStringLiteral("statusz")).toLongLong());
    const bool open = status < int(WorkOrderStatus::HandedOver);
    btnOK->setEnabled(open);
    btnOK->setToolTip(open ? QString() : QStringLiteral("Átadott munkalap nem menthető."));

    edMunkalap->setText(QString::number(key));
    const auto lookup = [this](const QString &column) {
        return LookupName(m_row.value(column).toLongLong(), column, QString());
    };
    edUgyfel->setText(lookup(QStringLiteral("ugyfel")));
    edStatusz->setText(lookup(QStringLiteral("statusz")));
    edDatum->setText(m_row.text(QStringLiteral("datum")));
    edDatKesz->setText(m_row.text(QStringLiteral("dat_kesz")));
    showBrandNames();

    const QVariant stored = m_row.value(QStringLiteral("mlaptipus"));
    const int t = stored.isValid() ? int(stored.toLongLong()) : type;
    lblTipus->setText(WorkOrderTypeHeading(t));
    const bool contact = t == kContactLensOrder;
    lblJobbPrism->setText(contact ? QStringLiteral("Bc") : QStringLiteral("Prism"));
    lblBalPrism->setText(lblJobbPrism->text());
    lblJobbPd->setText(contact ? QStringLiteral("Dia") : QStringLiteral("Pd"));
    lblBalPd->setText(lblJobbPd->text());

    const QDate due = m_row.value(QStringLiteral("dat_hatid")).toDate();
    dueDate->setDate(due.isValid() ? due : QDate::currentDate());
    showTotals();
    return true;
}

QLineEdit *WorkOrderEditor::field(const QString &column) const
{
    if (FieldEdit *e = m_texts.value(column))
        return e;
    if (column == QLatin1String("osszar"))
        return m_osszar;
    if (column == QLatin1String("fizetendo"))
        return m_fizetendo;
    return m_numbers.value(column);
}

NumberEdit *WorkOrderEditor::numberField(const QString &column) const
{
    if (column == QLatin1String("osszar"))
        return m_osszar;
    if (column == QLatin1String("fizetendo"))
        return m_fizetendo;
    return m_numbers.value(column);
}

void WorkOrderEditor::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_shownOnce) {
        m_shownOnce = true;
        dueDate->setFocus(Qt::OtherFocusReason);
    }
}

void WorkOrderEditor::storeFields()
{
    m_binder.store();
    for (auto it = m_numbers.cbegin(); it != m_numbers.cend(); ++it)
        m_row.setValue(it.key(), it.value()->value());
    m_row.setValue(QStringLiteral("dat_hatid"), dueDate->date());
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
    m_osszar->setValue(m_row.value(QStringLiteral("osszar")));
    m_fizetendo->setValue(m_row.value(QStringLiteral("fizetendo")));
}

void WorkOrderEditor::showBrandNames()
{
    edLencsemarka->setText(LookupName(m_row.value(QStringLiteral("lencsemarka")).toLongLong(),
                                      QStringLiteral("lencsemarka"), QString()));
    edKeretmarka->setText(LookupName(m_row.value(QStringLiteral("keretmarka")).toLongLong(),
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
    if (btnOK->isEnabled() && eyeValuesValid() && save())
        accept();
}

// "Nyomtat" / "Előkép": an order that is not closed is saved first (without
// completing it), then the stored order is printed; the window stays open in
// edit mode. A closed order prints as stored.
void WorkOrderEditor::printClick(bool print)
{
    if (btnOK->isEnabled()) {
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
