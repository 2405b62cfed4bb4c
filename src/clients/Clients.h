#pragma once
// The client records: client editor, prescription editor, client picker and
// examination editor. Each opens its modal window and returns when it closes;
// the windows read and write the database through the main connection.
#include <QString>

class QWidget;

namespace qo {

// Client editor. key: the client's ugyfel, or -1 for a new client. Returns the
// saved client's key (a new client gets its eight prescription rows from
// sp_oldal in the same transaction), or -1 when the user cancelled.
qint64 EditClient(qint64 key, QWidget *parent = nullptr);

// Prescription editor for one of the tables ugyfel_sz_tavol, ugyfel_sz_kozel,
// ugyfel_sz_egyeb, ugyfel_k (contact lenses: bc and dia instead of prism and
// pd). True when the two side rows were saved. A client without both side
// rows in the table, or an unknown table, is refused with a message.
bool EditPrescription(qint64 client, const QString &table, const QString &caption, QWidget *parent = nullptr);

// Sphere and cylinder as typed into an editor: a number in the locale's
// format becomes its sign and two decimals ("1,5" -> "+1,50", "-3" -> "-3,00");
// anything else (empty, words, the other decimal separator, digit grouping)
// is returned as it is.
QString FormatPrescriptionValue(const QString &text);
// True for text a number reader would take but no prescription value is:
// "nan", "inf", "-Infinity", exponents ("1e400", "1,5e2").
bool IsRefusedPrescriptionValue(const QString &text);

// Client picker ("Ügyfél választás"). Returns the chosen client's key and,
// when name is given, its ugyfel_nev; -1 when nothing was chosen.
qint64 PickClient(qint64 initialKey, QString *name = nullptr, QWidget *parent = nullptr);

// "Ügyfél törlése (GDPR)": asks with a summary of what goes and what stays,
// then anonymises the client and removes its health and consent data in one
// transaction (see ClientPrivacy). True when the client was erased.
bool EraseClient(qint64 client, QWidget *parent = nullptr);

// "Adatkikérés" of a client: see SubjectAccess.h (ExportSubjectAccess).

// Examination editor. key: the examination's vizsgalat, or -1 for a new one
// of the given client (client is ignored for an existing examination).
// Returns the saved key or -1 (cancelled, or refused: no client for a new one).
qint64 EditExamination(qint64 key, qint64 client, QWidget *parent = nullptr);

} // namespace qo
