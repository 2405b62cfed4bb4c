#include "clients/ClientEditor.h"
#include "ui/WindowKeys.h"

#include "clients/Clients.h"
#include "clients/ClientsCommon.h"
#include "clients/ClientStore.h"
#include "clients/ConsentTab.h"
#include "ui/RecordSave.h"
#include "config/AppState.h"
#include "db/Connection.h"
#include "base/Error.h"
#include "ui/FormBehaviour.h"
#include "ui/FormParts.h"
#include "db/SqlText.h"
#include "ui/MessageBoxes.h"
#include <QCheckBox>

#include <QCalendarWidget>
#include <QEvent>
#include <QKeyEvent>
#include <QDateEdit>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qo {

using clients::FieldLabel;

namespace {

QLineEdit *makeEdit(const char *name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

// Width that shows n average characters of the widget's font.
int charsWidth(const QWidget *w, int n)
{
    return w->fontMetrics().averageCharWidth() * n + 12;
}

} // namespace

ClientEditor::ClientEditor(QWidget *parent) : QDialog(parent)
{
    SetUpFixedForm(this, WindowKeys::kClientEditor, QStringLiteral("Szerkesztés"));

    tabs = new QTabWidget(this);
    tabs->tabBar()->setFocusPolicy(Qt::NoFocus);
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    tabs->addTab(page, QStringLiteral("Általános adatok"));

    ugyfel_nev = makeEdit("ugyfel_nev", page);
    ugyfel_nev->setFont(clients::BigBoldFont(font()));
    szuldatum = makeEdit("szuldatum", page);
    // Four digit places, a point, two, a point, two; empty places show "_".
    szuldatum->setInputMask(QStringLiteral("0000.00.00;_"));
    telefon = makeEdit("telefon", page);
    emil = makeEdit("emil", page);
    cim_irsz = makeEdit("cim_irsz", page);
    cim_varos = makeEdit("cim_varos", page);
    cim_cim = makeEdit("cim_cim", page);
    dat_utolso = new QDateEdit(page);
    dat_utolso->setObjectName(QStringLiteral("dat_utolso"));
    dat_utolso->setCalendarPopup(true);
    dat_utolso->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    // A client without a last visit shows an empty picker (the minimum date)
    // and keeps it empty unless a date is picked.
    dat_utolso->setMinimumDate(QDate(1900, 1, 1));
    dat_utolso->setSpecialValueText(QStringLiteral(" "));
    dat_utolso->calendarWidget()->installEventFilter(this);
    keret = makeEdit("keret", page);
    keretszam = makeEdit("keretszam", page);
    megjegyzes = new QPlainTextEdit(page);
    megjegyzes->setObjectName(QStringLiteral("megjegyzes"));
    megjegyzes->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    megjegyzes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    megjegyzes->setTabChangesFocus(true);

    for (QLineEdit *e : {ugyfel_nev, cim_varos, cim_cim, keret})
        InstallCapitalizeFirst(e);
    cim_irsz->installEventFilter(this);

    const OkCancelButtons buttonPair =
        MakeOkCancelButtons(this, page, QStringLiteral("BitBtn1"), QStringLiteral("BitBtn2"), 90);
    okButton = buttonPair.ok;
    cancelButton = buttonPair.cancel;
    connect(okButton, &QPushButton::clicked, this, &ClientEditor::okClicked);

    auto *picture = new QLabel(page);
    picture->setPixmap(clients::Picture(QStringLiteral("client"), 48, 48));

    // Three columns: short fields at the left, longer ones to the right.
    szuldatum->setMinimumWidth(charsWidth(szuldatum, 12));
    cim_irsz->setMinimumWidth(charsWidth(cim_irsz, 12));
    keret->setMinimumWidth(charsWidth(keret, 18));
    telefon->setMinimumWidth(charsWidth(telefon, 34));
    emil->setMinimumWidth(charsWidth(emil, 38));
    dat_utolso->setMinimumWidth(charsWidth(dat_utolso, 28));

    auto *g = new QGridLayout(page);
    g->setHorizontalSpacing(10);
    g->setVerticalSpacing(2);
    int r = 0;
    g->addWidget(FieldLabel(QStringLiteral("Ügyfél"), ugyfel_nev, page), r++, 0);
    g->addWidget(ugyfel_nev, r++, 0, 1, 3);
    g->setRowMinimumHeight(r++, 6);
    g->addWidget(FieldLabel(QStringLiteral("Szül.dátum"), szuldatum, page), r, 0);
    g->addWidget(FieldLabel(QStringLiteral("Telefon"), telefon, page), r, 1);
    g->addWidget(FieldLabel(QStringLiteral("E-mail"), emil, page), r++, 2);
    g->addWidget(szuldatum, r, 0);
    g->addWidget(telefon, r, 1);
    g->addWidget(emil, r++, 2);
    g->setRowMinimumHeight(r++, 6);
    g->addWidget(FieldLabel(QStringLiteral("Irányítószám"), cim_irsz, page), r, 0);
    g->addWidget(FieldLabel(QStringLiteral("Város"), cim_varos, page), r, 1);
    g->addWidget(FieldLabel(QStringLiteral("Cím"), cim_cim, page), r++, 2);
    g->addWidget(cim_irsz, r, 0);
    g->addWidget(cim_varos, r, 1);
    g->addWidget(cim_cim, r++, 2);
    g->setRowMinimumHeight(r++, 6);
    g->addWidget(FieldLabel(QStringLiteral("Nálam járt"), dat_utolso, page), r++, 0);
    g->addWidget(dat_utolso, r++, 0, 1, 2, Qt::AlignLeft);
    g->setRowMinimumHeight(r++, 6);
    g->addWidget(FieldLabel(QStringLiteral("Keret"), keret, page), r, 0);
    g->addWidget(FieldLabel(QStringLiteral("Keretszám"), keretszam, page), r++, 1);
    g->addWidget(keret, r, 0);
    g->addWidget(keretszam, r++, 1);
    g->setRowMinimumHeight(r++, 6);
    g->addWidget(FieldLabel(QStringLiteral("Megjegyzés"), megjegyzes, page), r++, 0);
    megjegyzes->setFixedHeight(fontMetrics().lineSpacing() * 6 + 10);
    g->addWidget(megjegyzes, r, 0, 1, 2);
    // Beside the note: the picture and the buttons.
    auto *side = new QVBoxLayout;
    side->addWidget(picture, 0, Qt::AlignHCenter);
    side->addStretch();
    side->addWidget(okButton);
    side->addWidget(cancelButton);
    g->addLayout(side, r, 2, Qt::AlignRight | Qt::AlignBottom);

    consents = new ConsentTab;
    tabs->addTab(consents, QStringLiteral("Hozzájárulások"));
    // The tab bar takes no focus: Ctrl+Tab changes the page, whose first box
    // then has the focus; Enter or Tab on the last box leads back to "OK".
    connect(tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == tabs->indexOf(consents))
            consents->box(ContactPurpose::Letter)->setFocus(Qt::TabFocusReason);
    });
    consents->lastBox()->installEventFilter(this);

    auto *main = new QVBoxLayout(this);
    main->addWidget(tabs);
    main->setSizeConstraint(QLayout::SetFixedSize);

    // "Megjegyzés" comes last, after the buttons: Enter through the fields ends on "OK".
    QWidget *order[] = {ugyfel_nev, szuldatum, telefon, emil, cim_irsz, cim_varos, cim_cim,
                        dat_utolso, keret, keretszam, okButton, cancelButton, megjegyzes};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

bool ClientEditor::start(qint64 key)
{
    try {
        if (key < 0) {
            m_editor.startNew();
            m_editor.setValue(QStringLiteral("cim_varos"), appState().AlapVaros);
            m_editor.setValue(QStringLiteral("dat_utolso"), QDate::currentDate());
        } else if (!m_editor.load(key)) {
            ShowError(QStringLiteral("Az ügyfél nem található (%1).").arg(key), parentWidget());
            return false;
        }
        m_binder.bind(ugyfel_nev, QStringLiteral("ugyfel_nev"));
        m_binder.bind(telefon, QStringLiteral("telefon"));
        m_binder.bind(emil, QStringLiteral("emil"));
        m_binder.bind(cim_irsz, QStringLiteral("cim_irsz"));
        m_binder.bind(cim_varos, QStringLiteral("cim_varos"));
        m_binder.bind(cim_cim, QStringLiteral("cim_cim"));
        m_binder.bind(dat_utolso, QStringLiteral("dat_utolso"));
        m_binder.bind(keret, QStringLiteral("keret"));
        m_binder.bind(keretszam, QStringLiteral("keretszam"));
        m_binder.bind(megjegyzes, QStringLiteral("megjegyzes"));
        showRow();
        if (key < 0)
            consents->showStates(ConsentStates{});
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), parentWidget());
        return false;
    }
    return true;
}

void ClientEditor::showRow()
{
    m_binder.load();
    if (!m_editor.isNew())
        consents->showStates(ConsentStore(Connection::main()).current(m_editor.key()));
    // The birth date goes through the mask only when typed (storeBirthDate):
    // a stored text of another form stays as it is.
    szuldatum->setText(m_editor.text(QStringLiteral("szuldatum")));
    szuldatum->setModified(false);
    clients::ShowBeginnings(this);
}

void ClientEditor::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    ugyfel_nev->setFocus(Qt::OtherFocusReason);
}

void ClientEditor::storeBirthDate()
{
    if (!szuldatum->isModified())
        return;
    const QString digits = szuldatum->text().remove(QLatin1Char('.')).trimmed();
    const QVariant old = m_editor.value(QStringLiteral("szuldatum"));
    if (digits.isEmpty()) {
        // Cleared: a field that held nothing stays NULL.
        m_editor.setValue(QStringLiteral("szuldatum"), old.isValid() ? QVariant(QString()) : QVariant());
        return;
    }
    // The points are kept with the digits; places left empty become blanks.
    QString shown = szuldatum->displayText();
    shown.replace(QLatin1Char('_'), QLatin1Char(' '));
    m_editor.setValue(QStringLiteral("szuldatum"), shown);
}

void ClientEditor::okClicked()
{
    m_binder.store();
    storeBirthDate();
    const bool isNew = m_editor.isNew();
    const SaveOutcome outcome = SaveRecord(this, [&] {
        Connection &db = Connection::main();
        ConsentStore consentStore(db);
        if (isNew) {
            m_savedKey = ClientStore(db).insertClient(m_editor, [&](qint64 key) { consents->store(consentStore, key); });
            return;
        }
        // The consents first: a refused row then leaves the editor's state as it was read.
        RunInTransaction(db, [&] {
            consents->store(consentStore, m_editor.key());
            m_savedKey = m_editor.post();
        });
    }, [this] {
        if (!m_editor.load(m_editor.key()))
            return false;
        showRow();
        return true;
    });
    if (outcome == SaveOutcome::Failed && isNew) {
        // The insert was rolled back: the next "OK" inserts again from the fields.
        try {
            m_editor.startNew();
        } catch (const Error &) {
        }
        m_savedKey = -1;
    }
    if (outcome == SaveOutcome::Saved)
        accept();
    else if (outcome == SaveOutcome::Gone)
        reject();
}

void ClientEditor::cityFromPostcode()
{
    const QString city = cim_varos->text();
    if (!city.isEmpty() && city != appState().AlapVaros)
        return; // a city typed by hand is never overwritten
    try {
        const QString found = ClientStore(Connection::main()).cityOfPostcode(cim_irsz->text());
        if (!found.isEmpty())
            cim_varos->setText(found);
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
    }
}

bool ClientEditor::eventFilter(QObject *obj, QEvent *e)
{
    if (obj == consents->lastBox() && e->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent *>(e)->key();
        const auto mods = static_cast<QKeyEvent *>(e)->modifiers();
        if ((k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Tab) && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
            tabs->setCurrentIndex(0);
            okButton->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    if (obj == cim_irsz && e->type() == QEvent::FocusOut) {
        cityFromPostcode();
    } else if (obj == dat_utolso->calendarWidget() && e->type() == QEvent::Show) {
        // An empty picker opens its calendar on this month, not on 1900.
        if (dat_utolso->date() == dat_utolso->minimumDate())
            dat_utolso->calendarWidget()->setCurrentPage(QDate::currentDate().year(), QDate::currentDate().month());
    }
    return QDialog::eventFilter(obj, e);
}

qint64 EditClient(qint64 key, QWidget *parent)
{
    ClientEditor w(parent);
    if (!w.start(key))
        return -1;
    if (w.exec() != QDialog::Accepted)
        return -1;
    return w.savedKey();
}

} // namespace qo
