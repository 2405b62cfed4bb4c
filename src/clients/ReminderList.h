#pragma once
// "Emlékeztető lista" (frm_Emlekezteto): the clients due for a reminder in a
// period who may be contacted on the chosen channel, with the letters, the
// envelopes, the export for an SMS or mail gateway and "Értesítve", which
// records that they were told.
#include "clients/ReminderStore.h"

#include <QDialog>
#include <memory>

class QCheckBox;
class QRadioButton;

namespace qo {

namespace Ui {
class ReminderList;
}

class GridModel;
class PeriodDialog;

// The period dialog with the channel ("levél", "SMS", "e-mail") and the tick
// for clients whose last work order is older than the setting's months.
class ReminderCriteriaDialog {
public:
    ReminderCriteriaDialog(const ReminderCriteria &start, QWidget *parent = nullptr);
    ~ReminderCriteriaDialog();
    // false after "Mégsem".
    bool ask(ReminderCriteria &c);

    PeriodDialog &dialog() { return *m_dlg; }

private:
    std::unique_ptr<PeriodDialog> m_dlg;
    QRadioButton *m_channels[3] = {};
    QCheckBox *m_oldOrders = nullptr;
    int m_months = 24;
};

class ReminderList : public QDialog {
    Q_OBJECT
public:
    ReminderList(const ReminderCriteria &criteria, const ReminderSettings &settings, QWidget *parent = nullptr);
    ~ReminderList() override;

    const ReminderCriteria &criteria() const { return m_criteria; }
    int rowCount() const;
    QList<qint64> listedClients() const;
    QList<qint64> selectedClients() const;

public Q_SLOTS:
    void reload();
    void printLetters();
    void printEnvelopes();
    void exportForGateway();
    void markNotified();

private:
    std::unique_ptr<Ui::ReminderList> m_ui;
    GridModel *m_model = nullptr;
    ReminderCriteria m_criteria;
    ReminderSettings m_settings;
};

// The menu command: the criteria, then the list.
void ShowReminderList(QWidget *parent = nullptr);

} // namespace qo
