#pragma once
// The program's own events in the audit log (table naplo), beside the rows
// the server's triggers write for every change of the audited tables.
#include <QString>

namespace qo {

class Connection;

namespace Audit {
// muvelet of the program's events
inline constexpr char kLogin[] = "BELEPES";
inline constexpr char kFailedLogin[] = "HIBAS_BELEPES";
inline constexpr char kSql[] = "SQL";
inline constexpr char kExport[] = "EXPORT";
inline constexpr char kPrint[] = "NYOMTATAS";
inline constexpr char kDataRequest[] = "ADATKIKERES";
inline constexpr char kErasure[] = "TORLES";
} // namespace Audit

// Adds one event: who (the acting user, else the database account), when,
// what (muvelet), on which table and key, with a detail text. An event about
// a client (tabla "ugyfel") is found under that client in the log window.
// The text of an SQL event that sets a password keeps no string literal.
// Never throws: the action it records has already happened, so a log that
// cannot be written is reported as false (and to the debug output).
bool AddAuditEvent(Connection &db, const QString &muvelet, const QString &tabla, const QString &kulcs,
                   const QString &reszlet);
// The same on the main connection.
bool AddAuditEvent(const QString &muvelet, const QString &tabla, const QString &kulcs, const QString &reszlet);

} // namespace qo
