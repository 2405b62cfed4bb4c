#include "clients/ReminderList.h"
#include "ui_ReminderList.h"

#include "base/Error.h"
#include "config/AppState.h"
#include "db/Connection.h"
#include "reports/PeriodDialog.h"
#include "reports/ReminderPrintouts.h"
#include "reports/ReportOutput.h"
#include "reports/ReportParts.h"
#include "ui/WindowBehaviour.h"
#include "ui/GridModel.h"
#include "ui/MessageBoxes.h"
#include "ui/OptionDialog.h"
#include "ui/WindowKeys.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QRadioButton>
#include <set>

namespace qo {

namespace {

constexpr ContactPurpose kChannels[3] = {ContactPurpose::Letter, ContactPurpose::Sms, ContactPurpose::Email};

QString channelCaption(ContactPurpose p)
{
    switch (p) {
    case ContactPurpose::Sms:
        return QStringLiteral("SMS");
    case ContactPurpose::Email:
        return QStringLiteral("e-mail");
    default:
        return QStringLiteral("levél");
    }
}

} // namespace

ReminderCriteriaDialog::ReminderCriteriaDialog(const ReminderCriteria &start, QWidget *parent)
    : m_dlg(std::make_unique<PeriodDialog>(parent)), m_months(start.months)
{
    PeriodDialog &d = *m_dlg;
    auto *group = new QGroupBox(QStringLiteral("Értesítés módja"), &d);
    group->setObjectName(QStringLiteral("GroupBoxCsatorna"));
    auto *rows = new QVBoxLayout(group);
    auto *channelRow = new QHBoxLayout;
    const char *names[3] = {"rbLevel", "rbSms", "rbEmail"};
    for (int i = 0; i < 3; ++i) {
        m_channels[i] = new QRadioButton(channelCaption(kChannels[i]), group);
        m_channels[i]->setObjectName(QLatin1String(names[i]));
        m_channels[i]->setChecked(kChannels[i] == start.channel);
        channelRow->addWidget(m_channels[i]);
    }
    rows->addLayout(channelRow);
    m_oldOrders = new QCheckBox(QStringLiteral("a legutóbbi munkalap régebbi, mint %1 hónap").arg(m_months), group);
    m_oldOrders->setObjectName(QStringLiteral("cbRegiMunkalap"));
    m_oldOrders->setChecked(start.oldOrders);
    rows->addWidget(m_oldOrders);
    // Below the period's two groups, in the dialog's own column.
    if (auto *main = qobject_cast<QBoxLayout *>(d.layout()))
        if (auto *left = qobject_cast<QBoxLayout *>(main->itemAt(0)->layout()))
            left->addWidget(group);
    QWidget::setTabOrder(d.btnTavaly, m_channels[0]);
    QWidget::setTabOrder(m_channels[0], m_channels[1]);
    QWidget::setTabOrder(m_channels[1], m_channels[2]);
    QWidget::setTabOrder(m_channels[2], m_oldOrders);
    QWidget::setTabOrder(m_oldOrders, d.btnOK);
    d.setWindowTitle(QStringLiteral("Emlékeztető lista"));
    d.fromDate->setDate(start.from);
    d.toDate->setDate(start.to);
}

ReminderCriteriaDialog::~ReminderCriteriaDialog() = default;

bool ReminderCriteriaDialog::ask(ReminderCriteria &c)
{
    if (m_dlg->exec() != QDialog::Accepted)
        return false;
    c.from = m_dlg->fromDate->date();
    c.to = m_dlg->toDate->date();
    for (int i = 0; i < 3; ++i)
        if (m_channels[i]->isChecked())
            c.channel = kChannels[i];
    c.oldOrders = m_oldOrders->isChecked();
    c.months = m_months;
    return true;
}

ReminderList::ReminderList(const ReminderCriteria &criteria, const ReminderSettings &settings, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ReminderList>()), m_criteria(criteria), m_settings(settings)
{
    m_ui->setupUi(this);
    setObjectName(WindowKeys::kReminderList);
    m_model = new GridModel(this);
    m_model->setColumns({{QStringLiteral("ugyfel_nev"), QStringLiteral("Ügyfél")},
                         {QStringLiteral("telefon"), QStringLiteral("Telefon")},
                         {QStringLiteral("emil"), QStringLiteral("E-mail")},
                         {QStringLiteral("cim_irsz"), QStringLiteral("Irsz.")},
                         {QStringLiteral("cim_varos"), QStringLiteral("Város")},
                         {QStringLiteral("cim_cim"), QStringLiteral("Cím")},
                         {QStringLiteral("emlek_datum"), QStringLiteral("Emlékeztető")},
                         {QStringLiteral("utolso_munkalap"), QStringLiteral("Utolsó munkalap")}});
    m_ui->DBGrid1->setGridModel(m_model);
    m_ui->DBGrid1->setTypeToSearch(false);
    m_ui->DBGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_ui->DBGrid1->setColumnShares({0.17, 0.12, 0.16, 0.05, 0.11, 0.15, 0.11, 0.11}, 36);
    m_ui->lblFeltetel->setText(QStringLiteral("%1 - %2, %3%4")
                                   .arg(criteria.from.toString(QStringLiteral("yyyy.MM.dd")),
                                        criteria.to.toString(QStringLiteral("yyyy.MM.dd")),
                                        channelCaption(criteria.channel),
                                        criteria.oldOrders ? QStringLiteral(", a legutóbbi munkalap régebbi, mint %1 hónap")
                                                                 .arg(criteria.months)
                                                           : QString()));
    // Letters only go by post, the gateway export only to SMS and e-mail.
    m_ui->btnLevel->setEnabled(criteria.channel == ContactPurpose::Letter);
    m_ui->btnBoritek->setEnabled(criteria.channel == ContactPurpose::Letter);
    m_ui->btnExport->setEnabled(criteria.channel != ContactPurpose::Letter && HasReportExporter());
    connect(m_ui->btnLevel, &QPushButton::clicked, this, &ReminderList::printLetters);
    connect(m_ui->btnBoritek, &QPushButton::clicked, this, &ReminderList::printEnvelopes);
    connect(m_ui->btnExport, &QPushButton::clicked, this, &ReminderList::exportForGateway);
    connect(m_ui->btnErtesitve, &QPushButton::clicked, this, &ReminderList::markNotified);
    connect(m_ui->btnBezar, &QPushButton::clicked, this, &QDialog::reject);
    InstallFormBehaviour(this, Placement::Full);
    reload();
}

ReminderList::~ReminderList() = default;

void ReminderList::reload()
{
    m_model->setRowSet(ReminderStore(Connection::main()).list(m_criteria));
    m_ui->lblDarab->setText(QStringLiteral("%1 ügyfél").arg(rowCount()));
    const bool any = rowCount() > 0;
    for (QPushButton *b : {m_ui->btnLevel, m_ui->btnBoritek, m_ui->btnExport, m_ui->btnErtesitve})
        if (!any)
            b->setEnabled(false);
    if (any)
        m_ui->DBGrid1->setCurrentRowIndex(0);
}

int ReminderList::rowCount() const
{
    return m_model->rows().rowCount();
}

QList<qint64> ReminderList::listedClients() const
{
    QList<qint64> keys;
    const RowSet &rows = m_model->rows();
    for (int r = 0; r < rows.rowCount(); ++r)
        keys << rows.toInt(r, QStringLiteral("ugyfel"));
    return keys;
}

QList<qint64> ReminderList::selectedClients() const
{
    std::set<int> picked;
    if (QItemSelectionModel *sel = m_ui->DBGrid1->selectionModel())
        for (const QModelIndex &i : sel->selectedRows())
            picked.insert(i.row());
    QList<qint64> keys;
    const RowSet &rows = m_model->rows();
    for (int r : picked)
        keys << rows.toInt(r, QStringLiteral("ugyfel"));
    return keys;
}

void ReminderList::printLetters()
{
    auto rows = std::make_shared<RowSet>(m_model->rows());
    const QString templ = m_settings.letterText;
    const QString shop = ReadShopData().tulajdonos;
    OutputReport(BuildReminderLetters(rows, [templ, shop](const RowSet &rs, int r) {
                     QString text = ReminderLetterText(templ, rs.text(r, QStringLiteral("ugyfel_nev")),
                                                       rs.toDate(r, QStringLiteral("emlek_datum")));
                     // The program's own text ends with the greeting; the shop signs it.
                     if (templ.trimmed().isEmpty())
                         text += QLatin1Char('\n') + shop;
                     return text;
                 }),
                 false, appState().nyomtato, this);
}

void ReminderList::printEnvelopes()
{
    auto rows = std::make_shared<RowSet>(ReminderStore(Connection::main()).envelopeRows(listedClients()));
    if (rows->rowCount() == 0)
        return;
    // As the single envelope: straight to the printer.
    OutputReport(BuildEnvelopes(rows), true, QString(), this);
}

void ReminderList::exportForGateway()
{
    ExportReportRows(ReminderStore(Connection::main()).gatewayRows(listedClients()), this);
}

void ReminderList::markNotified()
{
    const QList<qint64> selected = selectedClients();
    const QList<qint64> all = listedClients();
    QList<qint64> keys = all;
    if (selected.size() < all.size()) {
        const int choice = ChooseOption(selected.size() > 1 ? 0 : 1,
                                        QStringLiteral("A kijelölt ügyfelek (%1);Mind (%2)").arg(selected.size()).arg(all.size()),
                                        QStringLiteral("Értesítve"), this);
        if (choice < 0)
            return;
        if (choice == 0)
            keys = selected;
    }
    try {
        ReminderStore(Connection::main()).markNotified(keys, m_criteria);
    } catch (const Error &e) {
        ShowError(ErrorText(e.message()), this);
    }
    reload();
}

void ShowReminderList(QWidget *parent)
{
    ReminderStore store(Connection::main());
    const ReminderSettings settings = store.settings();
    ReminderCriteria c;
    const auto [from, to] = QuickPeriodRange(QuickPeriod::ThisMonth, PeriodToday());
    c.from = from;
    c.to = to;
    c.months = settings.months;
    ReminderCriteriaDialog ask(c, parent);
    if (!ask.ask(c))
        return;
    ReminderList list(c, settings, parent);
    list.exec();
}

} // namespace qo
