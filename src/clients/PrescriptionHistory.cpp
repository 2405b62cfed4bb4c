#include "clients/PrescriptionHistory.h"

#include "db/Connection.h"
#include "db/SqlText.h"

#include <QDateTime>

#include <array>
#include <cmath>
#include <optional>

namespace qo {

namespace {

constexpr int kValues = 5;
constexpr int kFirstValue = 0; // the ten values, then ervenyes and felhasznalo
constexpr int kWhen = 2 * kValues, kWho = kWhen + 1;

// A prescription value as typed ("+1,50", "-0.75", "90"); none for text.
std::optional<double> number(const QString &text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

struct Cell {
    QByteArray bytes;
    bool null = true;
};

Cell cellOf(const RowSet &rows, int r, int c)
{
    Cell cell;
    if (c < 0 || rows.isNull(r, c))
        return cell;
    int len = 0;
    const char *p = rows.rawData(r, c, &len);
    cell.bytes = QByteArray(p, len);
    cell.null = false;
    return cell;
}

using Line = std::array<Cell, 2 * kValues + 2>;

} // namespace

QString PrescriptionHistoryCode(const PrescriptionKind &kind)
{
    static const char *const codes[] = {"TAVOL", "KOZEL", "EGYEB", "KONTAKT"};
    for (size_t i = 0; i < kPrescriptionKinds.size(); ++i)
        if (kPrescriptionKinds[i].table == kind.table)
            return QString::fromLatin1(codes[i]);
    return QString();
}

ValueMark CompareValue(int column, const QString &before, const QString &now)
{
    const std::optional<double> a = number(before), b = number(now);
    if (a && b) {
        if (*a == *b)
            return ValueMark::None;
        if ((column == 0 || column == 1) && *a * *b < 0)
            return ValueMark::Strong;
        if (column == 2) {
            // An axis is a direction: 175 and 5 lie 10 degrees apart.
            const double d = std::fmod(std::fabs(*a - *b), 180.0);
            if (std::min(d, 180.0 - d) > 20.0)
                return ValueMark::Strong;
        }
        return ValueMark::Changed;
    }
    return before.trimmed() == now.trimmed() ? ValueMark::None : ValueMark::Changed;
}

PrescriptionHistoryStore::PrescriptionHistoryStore(Connection &db) : m_db(db) {}

QString PrescriptionHistoryStore::historySql(qint64 client, const PrescriptionKind &kind)
{
    const QString values = kind.contactLens ? QStringLiteral("sph, cyl, ax, bc AS v4, dia AS v5")
                                            : QStringLiteral("sph, cyl, ax, prism AS v4, pd AS v5");
    return QStringLiteral("SELECT recept_elozmeny, kulcs, oldal, %1, ervenyes, felhasznalo FROM recept_elozmeny "
                          "WHERE ugyfel = %2 AND fajta = %3 ORDER BY ervenyes, recept_elozmeny")
        .arg(values)
        .arg(client)
        .arg(SqlQuote(PrescriptionHistoryCode(kind)));
}

QStringList PrescriptionHistoryStore::valueCaptions(const PrescriptionKind &kind)
{
    return {QStringLiteral("Sph"), QStringLiteral("Cyl"), QStringLiteral("Ax"),
            kind.contactLens ? QStringLiteral("BC") : QStringLiteral("Prism"),
            kind.contactLens ? QStringLiteral("DIA") : QStringLiteral("Pd")};
}

PrescriptionHistory PrescriptionHistoryStore::read(qint64 client, const PrescriptionKind &kind)
{
    return build(m_db.query(historySql(client, kind)));
}

PrescriptionHistory PrescriptionHistoryStore::build(const RowSet &rows)
{
    PrescriptionHistory h;
    const int cKulcs = rows.fieldIndex(QStringLiteral("kulcs"));
    const int cOldal = rows.fieldIndex(QStringLiteral("oldal"));
    const int cWhen = rows.fieldIndex(QStringLiteral("ervenyes"));
    const int cWho = rows.fieldIndex(QStringLiteral("felhasznalo"));
    const int cFirst = rows.fieldIndex(QStringLiteral("sph"));

    QVector<RowSet::Field> fields;
    RowSet::Field when = cWhen >= 0 ? rows.field(cWhen) : RowSet::Field{};
    when.name = QStringLiteral("ervenyes");
    RowSet::Field who = cWho >= 0 ? rows.field(cWho) : RowSet::Field{};
    who.name = QStringLiteral("felhasznalo");
    static const char *const names[kValues] = {"sph", "cyl", "ax", "4", "5"};
    for (const char *side : {"j_", "b_"})
        for (int v = 0; v < kValues; ++v) {
            RowSet::Field f = cFirst >= 0 ? rows.field(cFirst + v) : RowSet::Field{};
            f.name = QLatin1String(side) + QLatin1String(names[v]);
            fields << f;
        }
    fields << when << who;

    // Oldest first: each line is the state after one save.
    QVector<Line> lines;
    Line state;
    int r = 0;
    while (r < rows.rowCount()) {
        const QDateTime start = rows.toDateTime(r, cWhen);
        const Cell user = cellOf(rows, r, cWho);
        bool seen[2] = {false, false};
        int last = r;
        for (int g = r; g < rows.rowCount(); ++g) {
            const int side = int(rows.toInt(g, cKulcs, 0)) - 1;
            const Cell u = cellOf(rows, g, cWho);
            const bool sameSave = g == r
                || (u.null == user.null && u.bytes == user.bytes && qAbs(start.secsTo(rows.toDateTime(g, cWhen))) <= 1
                    && !(side >= 0 && side < 2 && seen[side]));
            if (!sameSave)
                break;
            last = g;
            if (side < 0 || side > 1)
                continue; // not one of the two sides the editor shows
            seen[side] = true;
            for (int v = 0; v < kValues; ++v)
                state[size_t(kFirstValue + side * kValues + v)] = cellOf(rows, g, cFirst + v);
            const QString name = rows.text(g, cOldal).trimmed();
            if (!name.isEmpty())
                h.sideName[side] = name;
        }
        state[kWhen] = cellOf(rows, last, cWhen);
        state[kWho] = cellOf(rows, last, cWho);
        lines << state;
        r = last + 1;
    }

    h.lines.setFields(fields);
    h.lines.reserveRows(int(lines.size()));
    h.marks.fill(ValueMark::None, int(lines.size()) * 2 * kValues);
    const int n = int(lines.size());
    for (int i = n - 1; i >= 0; --i) {
        const Line &l = lines[i];
        const char *cells[2 * kValues + 2];
        unsigned long lengths[2 * kValues + 2];
        for (size_t c = 0; c < l.size(); ++c) {
            cells[c] = l[c].null ? nullptr : l[c].bytes.constData();
            lengths[c] = l[c].null ? 0 : (unsigned long)(l[c].bytes.size());
        }
        h.lines.appendRow(cells, lengths);
        if (i == 0)
            continue; // nothing before the first state
        const Line &before = lines[i - 1];
        const int shown = n - 1 - i; // newest first
        for (int v = 0; v < 2 * kValues; ++v) {
            const Cell &a = before[size_t(kFirstValue + v)], &b = l[size_t(kFirstValue + v)];
            // The stored bytes are latin2; the values compared are digits and signs.
            h.marks[shown * 2 * kValues + v] =
                CompareValue(v % kValues, QString::fromLatin1(a.bytes), QString::fromLatin1(b.bytes));
        }
    }
    return h;
}

} // namespace qo
