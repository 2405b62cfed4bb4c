#pragma once
// The stored states of one client's prescription of one kind, read from
// recept_elozmeny (written by the server's triggers) and laid out one line per
// state with both sides, newest first, each value marked when it differs from
// the state before.
#include "db/Kinds.h"
#include "db/RowSet.h"

#include <QString>
#include <QVector>

namespace qo {

class Connection;

// recept_elozmeny.fajta of a kind: TAVOL, KOZEL, EGYEB, KONTAKT.
QString PrescriptionHistoryCode(const PrescriptionKind &kind);

// How a value differs from the one of the state before.
enum class ValueMark : quint8 {
    None,
    Changed, // another value
    Strong,  // Sph or Cyl changed sign, or the axis turned by more than 20 degrees
};

// The mark of a value against the one before; column is the value's index in
// the side (0 Sph, 1 Cyl, 2 Ax, 3 Prism/BC, 4 Pd/DIA).
ValueMark CompareValue(int column, const QString &before, const QString &now);

struct PrescriptionHistory {
    // One line per state: fields j_sph, j_cyl, j_ax, j_4, j_5 (upper side,
    // kulcs 1), b_sph ... b_5 (lower, kulcs 2), then ervenyes and felhasznalo.
    RowSet lines;
    // One mark per line and value (10 per line, in the order of the fields
    // above); the oldest line has none.
    QVector<ValueMark> marks;
    QString sideName[2] = {QStringLiteral("Jobb"), QStringLiteral("Bal")};

    ValueMark mark(int line, int value) const { return marks.value(line * 10 + value, ValueMark::None); }
};

class PrescriptionHistoryStore {
public:
    explicit PrescriptionHistoryStore(Connection &db);

    // The one query the window runs: the client's history rows of the kind,
    // oldest first, read through the index (ugyfel, fajta, ervenyes).
    static QString historySql(qint64 client, const PrescriptionKind &kind);
    // The value names of the kind as the editor shows them: Sph, Cyl, Ax,
    // Prism, Pd (contact lenses: BC, DIA).
    static QStringList valueCaptions(const PrescriptionKind &kind);

    PrescriptionHistory read(qint64 client, const PrescriptionKind &kind);
    // Lines from the rows of historySql: the rows one save wrote (same user,
    // within a second, each side once) make one state.
    static PrescriptionHistory build(const RowSet &rows);

private:
    Connection &m_db;
};

} // namespace qo
