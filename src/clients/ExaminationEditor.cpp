#include "clients/ExaminationEditor.h"
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
#include "ui/MessageBoxes.h"

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

namespace {

// The value matrix: per group its heading and, per column, the label and the
// right-eye and left-eye columns of table vizsgalat. The fields are built from
// it in this order, which is also the tab order (right eye row, then left).
struct ValueColumn {
    const char *label;
    const char *right;
    const char *left;
};
struct ValueGroup {
    const char *title;
    QVector<ValueColumn> columns;
};

const QVector<ValueGroup> &valueGroups()
{
    static const QVector<ValueGroup> groups = {
        {"Jelenlegi",
         {{"Sph", "jobbsph1", "balsph1"},
          {"Cyl", "jobbcyl1", "balcyl1"},
          {"Ax", "jobbax1", "balax1"},
          {"Pd", "jobbfpd1", "balfpd1"},
          {"Add", "jobbadd1", "baladd1"},
          {"Prism", "jobbprism1", "balprism1"},
          {"Egyéb", "jobbegyeb1", "balegyeb1"}}},
        {"Autorefrakto-keratometria",
         {{"Sph", "jobbsph2", "balsph2"},
          {"Cyl", "jobbcyl2", "balcyl2"},
          {"Ax", "jobbax2", "balax2"},
          {"Bc.min", "jobbbcmin2", "balbcmin2"},
          {"Bc.max", "jobbbcmax2", "balbcmax2"},
          {"Bc.átlag", "jobbbcatl2", "balbcatl2"},
          {"Fpd", "jobbefpd2", "balefpd2"}}},
        {"Vizsgálati eredmények",
         {{"Nyers", "jobbnyersv3", "balnyersv3"},
          {"Sph", "jobbsph3", "balsph3"},
          {"Cyl", "jobbcyl3", "balcyl3"},
          {"Ax", "jobbax3", "balax3"},
          // The table spells the two corrected-acuity columns differently.
          {"Korr.v", "jobbkorrv3", "balkorv3"},
          {"Pd", "jobbfpd3", "balfpd3"},
          {"Add", "jobbadd3", "baladd3"},
          {"Prism", "jobbprism3", "balprism3"},
          {"Egyéb", "jobbegyeb3", "balegyeb3"}}},
    };
    return groups;
}

// A header field as wide as the sample text in its font (0: stretches).
QLineEdit *headerField(const QString &name, const QFont &font, const QString &sample, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    clients::MakeShowOnly(e);
    e->setFont(font);
    if (!sample.isEmpty())
        e->setFixedWidth(QFontMetrics(font).horizontalAdvance(sample) + 16);
    return e;
}

} // namespace

ExaminationEditor::ExaminationEditor(QWidget *parent) : QDialog(parent)
{
    SetUpFixedForm(this, WindowKeys::kExaminationEditor, QStringLiteral("Vizsgálat"));

    auto *tabs = new QTabWidget(this);
    tabs->tabBar()->setFocusPolicy(Qt::NoFocus);
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    tabs->addTab(page, QStringLiteral("Általános adatok"));

    // Header line: number, client, date; shown only.
    const QFont big = clients::BigBoldFont(font(), 2);
    Sorszam = headerField(QStringLiteral("Sorszam"), big, QStringLiteral("0000000"), page);
    UgyfelNev = headerField(QStringLiteral("UgyfelNev"), big, QString(), page);
    UgyfelNev->setMinimumWidth(QFontMetrics(big).averageCharWidth() * 46);
    Datum = headerField(QStringLiteral("Datum"), big, QStringLiteral("0000.00.00"), page);
    auto *header = new QHBoxLayout;
    header->addWidget(clients::FieldLabel(QStringLiteral("Sorszám"), Sorszam, page));
    header->addWidget(Sorszam);
    header->addSpacing(12);
    header->addWidget(clients::FieldLabel(QStringLiteral("Ügyfél"), UgyfelNev, page));
    header->addWidget(UgyfelNev, 1);
    header->addSpacing(12);
    header->addWidget(clients::FieldLabel(QStringLiteral("Dátum"), Datum, page));
    header->addWidget(Datum);

    // The three groups share one grid so that their columns line up.
    QFont bold = font();
    bold.setBold(true);
    const int valueWidth = qMax(fontMetrics().horizontalAdvance(QStringLiteral("-00,00 x")),
                                fontMetrics().horizontalAdvance(QStringLiteral("Bc.átlag")))
        + 26;
    auto *g = new QGridLayout;
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(2);
    int row = 0;
    for (const ValueGroup &group : valueGroups()) {
        if (row > 0)
            g->setRowMinimumHeight(row++, 10);
        auto *title = new QLabel(QString::fromUtf8(group.title), page);
        title->setFont(bold);
        g->addWidget(title, row++, 0, 1, 10);
        const int labelRow = row++;
        for (int side = 0; side < 2; ++side) {
            g->addWidget(new QLabel(side == 0 ? QStringLiteral("Jobb") : QStringLiteral("Bal"), page), row, 0);
            for (int c = 0; c < group.columns.size(); ++c) {
                const ValueColumn &vc = group.columns[c];
                auto *e = new QLineEdit(page);
                e->setObjectName(QLatin1String(side == 0 ? vc.right : vc.left));
                e->setFixedWidth(valueWidth);
                g->addWidget(e, row, c + 1);
                if (side == 0)
                    g->addWidget(clients::FieldLabel(QString::fromUtf8(vc.label), e, page), labelRow, c + 1);
                m_values << e;
            }
            ++row;
        }
    }
    g->setColumnStretch(10, 1);

    anamnezis = new QPlainTextEdit(page);
    anamnezis->setObjectName(QStringLiteral("anamnezis"));
    diagnozis = new QPlainTextEdit(page);
    diagnozis->setObjectName(QStringLiteral("diagnozis"));
    auto *texts = new QGridLayout;
    texts->setHorizontalSpacing(10);
    texts->setVerticalSpacing(2);
    texts->addWidget(clients::FieldLabel(QStringLiteral("Anamnézis"), anamnezis, page), 0, 0);
    texts->addWidget(clients::FieldLabel(QStringLiteral("Diagnózis"), diagnozis, page), 0, 1);
    for (QPlainTextEdit *t : {anamnezis, diagnozis}) {
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        t->setTabChangesFocus(true);
        t->setFixedHeight(fontMetrics().lineSpacing() * 7);
    }
    texts->addWidget(anamnezis, 1, 0);
    texts->addWidget(diagnozis, 1, 1);

    const OkCancelButtons buttonPair =
        MakeOkCancelButtons(this, page, QStringLiteral("BitBtn1"), QStringLiteral("BitBtn2"), 90);
    okButton = buttonPair.ok;
    cancelButton = buttonPair.cancel;
    connect(okButton, &QPushButton::clicked, this, &ExaminationEditor::okClicked);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->addLayout(header);
    pageLayout->addSpacing(8);
    pageLayout->addLayout(g);
    pageLayout->addSpacing(10);
    pageLayout->addLayout(texts);
    pageLayout->addSpacing(6);
    pageLayout->addLayout(buttons);

    auto *main = new QVBoxLayout(this);
    main->addWidget(tabs);
    main->setSizeConstraint(QLayout::SetFixedSize);

    QList<QWidget *> order;
    for (QLineEdit *e : m_values)
        order << e;
    order << anamnezis << diagnozis << okButton << cancelButton;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QLineEdit *ExaminationEditor::field(const QString &column) const
{
    for (QLineEdit *e : m_values)
        if (e->objectName() == column)
            return e;
    return nullptr;
}

bool ExaminationEditor::start(qint64 key, qint64 client)
{
    try {
        if (key < 0) {
            // A new examination needs its client.
            if (!ClientStore(Connection::main()).clientExists(client)) {
                ShowWarning(QStringLiteral("Új vizsgálathoz előbb ki kell választani az ügyfelet."), parentWidget());
                return false;
            }
            m_editor.startNew();
            m_editor.setValue(QStringLiteral("ugyfel"), client);
            m_editor.setValue(QStringLiteral("datum"), QDate::currentDate());
        } else if (!m_editor.load(key)) {
            ShowError(QStringLiteral("A vizsgálat nem található (%1).").arg(key), parentWidget());
            return false;
        }
        for (QLineEdit *e : m_values)
            m_binder.bind(e, e->objectName());
        m_binder.bind(anamnezis, QStringLiteral("anamnezis"));
        m_binder.bind(diagnozis, QStringLiteral("diagnozis"));
        m_binder.load();
        showHeader();
        clients::ShowBeginnings(this);
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), parentWidget());
        return false;
    }
    return true;
}

void ExaminationEditor::showHeader()
{
    Sorszam->setText(m_editor.isNew() ? QString()
                                      : QStringLiteral("%1").arg(m_editor.key(), 5, 10, QLatin1Char('0')));
    const QVariant client = m_editor.value(QStringLiteral("ugyfel"));
    // Straight from the table: also the name of a client marked deleted since.
    UgyfelNev->setText(client.isValid() ? LookupName(client.toLongLong(), QStringLiteral("ugyfel"), QString())
                                        : QString());
    Datum->setText(m_editor.value(QStringLiteral("datum")).toDate().toString(QStringLiteral("yyyy.MM.dd")));
}

void ExaminationEditor::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_values.isEmpty()) // the first field of the tab order
        m_values.first()->setFocus(Qt::OtherFocusReason);
}

void ExaminationEditor::okClicked()
{
    m_binder.store();
    const SaveOutcome outcome = SaveRecord(this, [this] { m_savedKey = m_editor.post(); }, [this] {
        if (!m_editor.load(m_editor.key()))
            return false;
        m_binder.load();
        showHeader();
        return true;
    });
    if (outcome == SaveOutcome::Saved)
        accept();
    else if (outcome == SaveOutcome::Gone)
        reject();
}

qint64 EditExamination(qint64 key, qint64 client, QWidget *parent)
{
    ExaminationEditor w(parent);
    if (!w.start(key, client))
        return -1;
    if (w.exec() != QDialog::Accepted)
        return -1;
    return w.savedKey();
}

} // namespace qo
