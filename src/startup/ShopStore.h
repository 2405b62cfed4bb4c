#pragma once
// The SQL of the shop as a whole: its version, owner and settings row, the
// users who log in, and the messages placed in the database.
#include "db/RowSet.h"

#include <QString>
#include <QStringList>
#include <QVariant>

namespace qo {

class Connection;

// The editable part of the settings row (table beallit).
struct ShopSettingsRow {
    qint64 key = 0;
    bool loginRequired = false; // vanbelep
    bool loginWritten = true;   // false: writeSettings leaves vanbelep as it is
    bool a5WorkOrder = false;   // a5munkalap
    QVariant dueDays;           // mlaphatid, NULL when empty
    QVariant reminderDays;      // figynap, NULL when empty
    QString workOrderNote;      // mlapmegj, with its stored line ends
    int reminderMonths = 24;    // emlek_honap: a client is due again this long after the last work order
    int uncollectedDays = 14;   // nemvitt_nap: a finished work order not taken away is listed after this
    QString reminderLetter;     // emlek_level; empty: the program's own letter
};

class ShopStore {
public:
    explicit ShopStore(Connection &db);

    QStringList versions();         // every recorded database version
    QString owner();                // the shop's owner, "" when missing
    RowSet users();                 // every user; codes are compared by the caller, exactly
    // Stores a hash made by HashPassword as the user's password.
    void setPassword(const QString &code, const QString &hash);
    // Replaces the plain password of an older database by its hash, unless
    // the row has been changed meanwhile.
    void replaceLegacyPassword(const QString &code, const QString &plain, const QString &hash);
    bool readSettings(ShopSettingsRow &row); // false when the row is missing
    void writeSettings(const ShopSettingsRow &row);

    RowSet pendingMessages();      // unread messages, oldest first
    // Notes that the message was seen; `read` marks it read for good.
    void acknowledgeMessage(qint64 key, bool read);

private:
    Connection &m_db;
};

} // namespace qo
