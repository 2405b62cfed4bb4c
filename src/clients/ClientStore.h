#pragma once
// The SQL of the client records: clients, their four prescriptions and their
// examinations. Windows call these instead of writing SQL text.
#include "db/Kinds.h"
#include "db/SqlText.h"
#include "reports/ExaminationPrintout.h"

#include <QDate>
#include <QVariant>
#include <QVector>
#include <functional>

namespace qo {

class Connection;
class RecordEditor;

// One prescription of a client as read: the side names and the five values of
// the right (index 0) and left (index 1) rows.
struct PrescriptionRows {
    QString side[2];
    QVariant values[2][5];
    int length[5] = {}; // the columns' declared lengths
};

class ClientStore {
public:
    explicit ClientStore(Connection &db);

    static ListSql clientList();      // the main window's client list (vw_ugyfel)
    static ListSql pickerList();      // the client picker
    static ListSql examinationList(); // the main window's examination list (vw_vizsgalat)
    static ListSql prescriptionList(const PrescriptionKind &kind); // one client's two rows

    // The five value columns of a prescription kind (bc/dia for contact lenses).
    static QStringList prescriptionColumns(const PrescriptionKind &kind);

    bool clientExists(qint64 client);
    // The city of a postcode, "" when unknown.
    QString cityOfPostcode(const QString &postcode);
    // A new client and its eight prescription rows, together or not at all;
    // alsoInUnit, when given, runs with the new key in the same transaction.
    qint64 insertClient(RecordEditor &row, const std::function<void(qint64 key)> &alsoInUnit = {});
    void markClientDeleted(qint64 client);
    void setReminder(qint64 client, const QDate &date); // an invalid date clears it
    void setLastVisit(qint64 client, const QDate &date);
    void markExaminationDeleted(qint64 examination);

    // ---- the rows of the printouts ---------------------------------------------
    ExaminationPrintData examinationPrintout(qint64 examination);
    RowSet envelope(qint64 client);       // vw_boritek
    RowSet postalAddress(qint64 client);  // name and postal address
    RowSet shopPostalAddress();           // the sender of the registered-mail form
    RowSet listRows(const QString &listSql); // a client list's query as the window runs it

    // False when the client lacks its right or left row of this kind.
    bool readPrescription(qint64 client, const PrescriptionKind &kind, PrescriptionRows &rows);
    // Writes the changed values of both rows in one transaction, each row only
    // while it still holds what was read (RowConflict otherwise).
    void writePrescription(qint64 client, const PrescriptionKind &kind, const PrescriptionRows &read,
                           const QString (&now)[2][5]);

private:
    Connection &m_db;
};

} // namespace qo
