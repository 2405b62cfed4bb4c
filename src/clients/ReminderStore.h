#pragma once
// The SQL of the reminder list: the clients due for a reminder in a period who
// may be contacted on the chosen channel and were not told yet, the rows the
// letters, envelopes and the gateway export print, and the record of who was
// told ("Értesítve", table ertesites).
#include "clients/ClientPrivacy.h"
#include "db/RowSet.h"

#include <QDate>
#include <QList>
#include <QString>

namespace qo {

class Connection;

struct ReminderCriteria {
    QDate from, to;                                  // the reminder period, both ends included
    ContactPurpose channel = ContactPurpose::Letter; // Letter, Sms or Email
    bool oldOrders = false; // also the clients whose last work order is older than `months`
    int months = 24;        // beallit.emlek_honap
};

// The shop's reminder settings (beallit.emlek_honap, beallit.emlek_level).
struct ReminderSettings {
    int months = 24;
    QString letterText; // empty: the program's own text
};

class ReminderStore {
public:
    explicit ReminderStore(Connection &db);

    // One statement: ugyfel, ugyfel_nev, telefon, emil, cim_irsz, cim_varos,
    // cim_cim, emlek_datum (the reminder date: dat_figyelmeztet, else the last
    // order's date plus the months), utolso_munkalap; by name.
    static QString listSql(const ReminderCriteria &c);
    RowSet list(const ReminderCriteria &c);

    // Name, phone and e-mail of the clients, for an SMS or mail gateway.
    RowSet gatewayRows(const QList<qint64> &clients);
    // The envelope rows (vw_boritek) of the clients, by name.
    RowSet envelopeRows(const QList<qint64> &clients);

    // Records that the clients were told on the channel for the period, with
    // the acting user, and logs it per client: one transaction.
    void markNotified(const QList<qint64> &clients, const ReminderCriteria &c);

    ReminderSettings settings();

private:
    Connection &m_db;
};

// The code of a reminder channel in ertesites.csatorna (as hozzajarulas.cel).
QString ReminderChannelCode(ContactPurpose channel);

// The letter's text with {név} and {dátum} filled in; an empty template is
// the program's own text.
QString ReminderLetterText(const QString &templ, const QString &name, const QDate &date);

} // namespace qo
