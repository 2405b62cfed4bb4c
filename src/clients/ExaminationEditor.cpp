#include "clients/ExaminationEditor.h"
#include "ui/WindowKeys.h"

#include "clients/Clients.h"
#include "clients/ClientsCommon.h"
#include "clients/ClientStore.h"
#include "ui/RecordSave.h"
#include "db/Connection.h"
#include "db/LookupName.h"
#include "base/Error.h"
#include "ui/FormParts.h"
#include "ui/MessageBoxes.h"
#include "ui_ExaminationEditor.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

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

} // namespace

ExaminationEditor::ExaminationEditor(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ExaminationEditor>())
{
    SetUpFixedForm(this, WindowKeys::kExaminationEditor, QStringLiteral("Vizsgálat"));
    m_ui->setupUi(this);
    m_ui->tabs->tabBar()->setFocusPolicy(Qt::NoFocus);
    QWidget *page = m_ui->TabSheet1;

    // Header line: number, client, date; shown only, as wide as a sample text.
    const QFont big = clients::BigBoldFont(font(), 2);
    for (QLineEdit *e : {m_ui->Sorszam, m_ui->UgyfelNev, m_ui->Datum}) {
        clients::MakeShowOnly(e);
        e->setFont(big);
    }
    m_ui->Sorszam->setFixedWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("0000000")) + 16);
    m_ui->UgyfelNev->setMinimumWidth(QFontMetrics(big).averageCharWidth() * 46);
    m_ui->Datum->setFixedWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("0000.00.00")) + 16);

    // The three groups share one grid so that their columns line up.
    QFont bold = font();
    bold.setBold(true);
    const int valueWidth = qMax(fontMetrics().horizontalAdvance(QStringLiteral("-00,00 x")),
                                fontMetrics().horizontalAdvance(QStringLiteral("Bc.átlag")))
        + 26;
    QGridLayout *g = m_ui->valueGrid;
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

    for (QPlainTextEdit *t : {m_ui->anamnezis, m_ui->diagnozis})
        t->setFixedHeight(fontMetrics().lineSpacing() * 7);
    for (QPushButton *b : {m_ui->BitBtn1, m_ui->BitBtn2})
        b->setMinimumWidth(90);
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, &ExaminationEditor::okClicked);
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    QList<QWidget *> order;
    for (QLineEdit *e : m_values)
        order << e;
    order << m_ui->anamnezis << m_ui->diagnozis << m_ui->BitBtn1 << m_ui->BitBtn2;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

ExaminationEditor::~ExaminationEditor() = default;

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
        m_binder.bind(m_ui->anamnezis, QStringLiteral("anamnezis"));
        m_binder.bind(m_ui->diagnozis, QStringLiteral("diagnozis"));
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
    m_ui->Sorszam->setText(m_editor.isNew() ? QString()
                                      : QStringLiteral("%1").arg(m_editor.key(), 5, 10, QLatin1Char('0')));
    const QVariant client = m_editor.value(QStringLiteral("ugyfel"));
    // Straight from the table: also the name of a client marked deleted since.
    m_ui->UgyfelNev->setText(client.isValid() ? LookupName(client.toLongLong(), QStringLiteral("ugyfel"), QString())
                                        : QString());
    m_ui->Datum->setText(m_editor.value(QStringLiteral("datum")).toDate().toString(QStringLiteral("yyyy.MM.dd")));
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
