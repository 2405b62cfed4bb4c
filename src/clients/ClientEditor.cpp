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
#include "ui/TextGuards.h"
#include "ui/FormParts.h"
#include "db/SqlText.h"
#include "ui/MessageBoxes.h"
#include "ui_ClientEditor.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QDateEdit>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace qo {

namespace {

// Width that shows n average characters of the widget's font.
int charsWidth(const QWidget *w, int n)
{
    return w->fontMetrics().averageCharWidth() * n + 12;
}

} // namespace

ClientEditor::ClientEditor(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::ClientEditor>())
{
    SetUpFixedForm(this, WindowKeys::kClientEditor, QStringLiteral("Szerkesztés"));
    m_ui->setupUi(this);
    m_ui->tabs->tabBar()->setFocusPolicy(Qt::NoFocus);
    m_ui->ugyfel_nev->setFont(clients::BigBoldFont(font()));

    QDateEdit *lastVisit = m_ui->dat_utolso;
    lastVisit->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    // A client without a last visit shows an empty picker (the minimum date)
    // and keeps it empty unless a date is picked.
    lastVisit->setMinimumDate(QDate(1900, 1, 1));
    lastVisit->setSpecialValueText(QStringLiteral(" "));
    lastVisit->calendarWidget()->installEventFilter(this);
    m_ui->megjegyzes->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_ui->megjegyzes->setFixedHeight(fontMetrics().lineSpacing() * 6 + 10);

    for (QLineEdit *e : {m_ui->ugyfel_nev, m_ui->cim_varos, m_ui->cim_cim, m_ui->keret})
        InstallCapitalizeFirst(e);
    m_ui->cim_irsz->installEventFilter(this);

    for (QPushButton *b : {m_ui->BitBtn1, m_ui->BitBtn2})
        b->setMinimumWidth(90);
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, &ClientEditor::okClicked);
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    m_ui->picture->setPixmap(clients::Picture(QStringLiteral("client"), 48, 48));

    // Three columns: short fields at the left, longer ones to the right.
    const std::pair<QWidget *, int> widths[] = {{m_ui->szuldatum, 12}, {m_ui->cim_irsz, 12}, {m_ui->keret, 18},
                                                {m_ui->telefon, 34},   {m_ui->emil, 38},     {lastVisit, 28}};
    for (const auto &[w, chars] : widths)
        w->setMinimumWidth(charsWidth(w, chars));

    // The tab bar takes no focus: Ctrl+Tab changes the page, whose first box
    // then has the focus; Enter or Tab on the last box leads back to "OK".
    ConsentTab *consents = m_ui->TabSheet2;
    connect(m_ui->tabs, &QTabWidget::currentChanged, this, [this, consents](int index) {
        if (index == m_ui->tabs->indexOf(consents))
            consents->box(ContactPurpose::Letter)->setFocus(Qt::TabFocusReason);
    });
    consents->lastBox()->installEventFilter(this);
    // "Megjegyzés" comes last in the form's tab order, after the buttons:
    // Enter through the fields ends on "OK".
}

ClientEditor::~ClientEditor() = default;

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
        m_binder.bind(m_ui->ugyfel_nev, QStringLiteral("ugyfel_nev"));
        m_binder.bind(m_ui->telefon, QStringLiteral("telefon"));
        m_binder.bind(m_ui->emil, QStringLiteral("emil"));
        m_binder.bind(m_ui->cim_irsz, QStringLiteral("cim_irsz"));
        m_binder.bind(m_ui->cim_varos, QStringLiteral("cim_varos"));
        m_binder.bind(m_ui->cim_cim, QStringLiteral("cim_cim"));
        m_binder.bind(m_ui->dat_utolso, QStringLiteral("dat_utolso"));
        m_binder.bind(m_ui->keret, QStringLiteral("keret"));
        m_binder.bind(m_ui->keretszam, QStringLiteral("keretszam"));
        m_binder.bind(m_ui->megjegyzes, QStringLiteral("megjegyzes"));
        showRow();
        if (key < 0)
            m_ui->TabSheet2->showStates(ConsentStates{});
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
        m_ui->TabSheet2->showStates(ConsentStore(Connection::main()).current(m_editor.key()));
    // The birth date goes through the mask only when typed (storeBirthDate):
    // a stored text of another form stays as it is.
    m_ui->szuldatum->setText(m_editor.text(QStringLiteral("szuldatum")));
    m_ui->szuldatum->setModified(false);
    clients::ShowBeginnings(this);
}

void ClientEditor::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    m_ui->ugyfel_nev->setFocus(Qt::OtherFocusReason);
}

void ClientEditor::storeBirthDate()
{
    if (!m_ui->szuldatum->isModified())
        return;
    const QString digits = m_ui->szuldatum->text().remove(QLatin1Char('.')).trimmed();
    const QVariant old = m_editor.value(QStringLiteral("szuldatum"));
    if (digits.isEmpty()) {
        // Cleared: a field that held nothing stays NULL.
        m_editor.setValue(QStringLiteral("szuldatum"), old.isValid() ? QVariant(QString()) : QVariant());
        return;
    }
    // The points are kept with the digits; places left empty become blanks.
    QString shown = m_ui->szuldatum->displayText();
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
            m_savedKey = ClientStore(db).insertClient(m_editor, [&](qint64 key) { m_ui->TabSheet2->store(consentStore, key); });
            return;
        }
        // The consents first: a refused row then leaves the editor's state as it was read.
        RunInTransaction(db, [&] {
            m_ui->TabSheet2->store(consentStore, m_editor.key());
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
    const QString city = m_ui->cim_varos->text();
    if (!city.isEmpty() && city != appState().AlapVaros)
        return; // a city typed by hand is never overwritten
    try {
        const QString found = ClientStore(Connection::main()).cityOfPostcode(m_ui->cim_irsz->text());
        if (!found.isEmpty())
            m_ui->cim_varos->setText(found);
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
    }
}

bool ClientEditor::eventFilter(QObject *obj, QEvent *e)
{
    if (obj == m_ui->TabSheet2->lastBox() && e->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent *>(e)->key();
        const auto mods = static_cast<QKeyEvent *>(e)->modifiers();
        if ((k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Tab) && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
            m_ui->tabs->setCurrentIndex(0);
            m_ui->BitBtn1->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    if (obj == m_ui->cim_irsz && e->type() == QEvent::FocusOut) {
        cityFromPostcode();
    } else if (obj == m_ui->dat_utolso->calendarWidget() && e->type() == QEvent::Show) {
        // An empty picker opens its calendar on this month, not on 1900.
        if (m_ui->dat_utolso->date() == m_ui->dat_utolso->minimumDate())
            m_ui->dat_utolso->calendarWidget()->setCurrentPage(QDate::currentDate().year(), QDate::currentDate().month());
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
