#pragma once
// What the shop records and does for a client's data protection: the
// consents per contact purpose (table hozzajarulas), everything held about a
// client for a subject-access request, and the erasure of a client.
//
// Contacting clients: every list or command that writes to clients (the
// reminder list, a marketing export, a mailing) keeps only the clients whose
// current consent for that purpose is given. Ask one client with
// ConsentStore::mayContact, or add ConsentStore::mayContactSql to the list's
// WHERE line:
//
//     AppendToWhereLine(lines, " AND " + ConsentStore::mayContactSql(ContactPurpose::Marketing));
//
// A client with no recorded consent for a purpose may not be contacted for it.
#include "db/RowSet.h"

#include <QDateTime>
#include <QString>
#include <array>

namespace qo {

class Connection;

enum class ContactPurpose { Letter, Sms, Email, Marketing };

inline constexpr std::array<ContactPurpose, 4> kContactPurposes{
    ContactPurpose::Letter, ContactPurpose::Sms, ContactPurpose::Email, ContactPurpose::Marketing};

// The stored code of a purpose (hozzajarulas.cel): "LEVEL", "SMS", "EMAIL", "MARKETING".
QString PurposeCode(ContactPurpose purpose);
// Its caption in the client editor ("Emlékeztető levélben" ...).
QString PurposeCaption(ContactPurpose purpose);

// The current state of one purpose: the client's newest row of it.
struct ConsentState {
    bool recorded = false; // a row exists
    bool given = false;    // its megadva is 'I'
    QDateTime when;
    QString who;
};
using ConsentStates = std::array<ConsentState, 4>; // in the order of kContactPurposes

class ConsentStore {
public:
    explicit ConsentStore(Connection &db);

    ConsentStates current(qint64 client);
    // A new row: the purpose given or withdrawn now, by the program's user
    // (@qo_felhasznalo, else the database account). A plain statement: the
    // caller runs it in the unit of work of the change it belongs to.
    void record(qint64 client, ContactPurpose purpose, bool given);
    // Whether the client may be contacted for the purpose now.
    bool mayContact(qint64 client, ContactPurpose purpose);
    // The same as a condition for a list query over rows that carry the
    // client's key in clientColumn ("ugyfel", "munkalap.ugyfel").
    static QString mayContactSql(ContactPurpose purpose, const QString &clientColumn = QStringLiteral("ugyfel"));

private:
    Connection &m_db;
};

// Everything the shop holds about one client, each kind as read.
struct SubjectData {
    qint64 client = -1;
    QString shopName, shopAddress; // the shop's own data (vw_tulajdonos)
    RowSet person;        // the ugyfel row
    RowSet prescriptions; // the four prescriptions, both sides (recept, kulcs, oldal, values)
    RowSet prescriptionHistory; // every stored state of them (recept_elozmeny), by kind, oldest first
    RowSet examinations;  // every examination, also those marked deleted
    RowSet workOrders;    // every work order with its names, cancelled ones too
    RowSet consents;      // the whole consent history
    RowSet notifications; // every reminder the client was told of (ertesites)
    RowSet auditLog;      // the log entries about the client and its rows
};

// What an erasure removes and keeps, counted before asking.
struct ErasurePlan {
    qint64 client = -1;
    QString name;
    int retentionYears = 0;       // beallit.megorzes_ev
    int prescriptionsRemoved = 0; // prescription kinds with a value
    int prescriptionsKept = 0;
    int historyRemoved = 0;       // stored prescription states: they go and stay with the prescriptions
    int historyKept = 0;
    int examinationsRemoved = 0;
    int examinationsKept = 0;
    int workOrders = 0;           // all kept, amounts and all
    int consents = 0;             // consent rows removed
    int logEntries = 0;           // log entries whose details are blanked
};

class ClientPrivacy {
public:
    explicit ClientPrivacy(Connection &db);

    SubjectData read(qint64 client);
    // The log entries about a client and its rows: a WHERE condition on naplo.
    static QString auditCondition(qint64 client);

    // Counts what erase() would do now; false when the client does not exist.
    bool planErasure(qint64 client, ErasurePlan &plan);
    // Anonymises the client and removes its health and consent data as
    // planned, in one transaction, and logs it as TORLES.
    void erase(const ErasurePlan &plan);

    static QString erasedName(qint64 client); // "Törölt ügyfél 7"

private:
    int retentionYears();
    Connection &m_db;
};

} // namespace qo
