#pragma once
// A query result read completely into one compact block: the cells' latin2
// bytes back to back, one end offset per cell and a NULL bit per cell. Cells
// are decoded only when asked for, so a list of 100,000 rows costs little more
// than its bytes on the wire and nothing is converted that is never painted.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>
#include <cstdint>
#include <vector>

namespace qo {

class RowSet {
public:
    enum class Kind { Integer, Float, Date, DateTime, Time, Text, Binary };
    struct Field {
        QString name;
        Kind kind = Kind::Text;
        int length = 0;    // declared length in characters
        int decimals = 0;
        int serverType = 0; // the client library's field type
    };

    int rowCount() const { return m_rows; }
    int columnCount() const { return int(m_fields.size()); }
    const Field &field(int c) const { return m_fields[c]; }
    const QVector<Field> &fields() const { return m_fields; }
    // Column index by name, letter case ignored; -1 when there is no such column.
    int fieldIndex(const QString &name) const;

    bool isNull(int r, int c) const {
        const size_t i = cell(r, c);
        return (m_nulls[i >> 6] >> (i & 63)) & 1u;
    }
    // The stored bytes of a cell (latin2 for texts).
    const char *rawData(int r, int c, int *len) const {
        const size_t i = cell(r, c);
        const uint32_t begin = i ? m_ends[i - 1] : 0;
        *len = int(m_ends[i] - begin);
        return m_data.constData() + begin;
    }
    QString text(int r, int c) const;                 // NULL gives ""
    qint64 toInt(int r, int c, qint64 def = 0) const; // NULL or junk gives def
    double toDouble(int r, int c, double def = 0) const;
    QDate toDate(int r, int c) const;                 // NULL or zero date gives an invalid date
    QDateTime toDateTime(int r, int c) const;
    QVariant value(int r, int c) const;               // typed; NULL gives an invalid QVariant

    QString text(int r, const QString &col) const { return c(col) < 0 ? QString() : text(r, c(col)); }
    qint64 toInt(int r, const QString &col, qint64 def = 0) const { return c(col) < 0 ? def : toInt(r, c(col), def); }
    double toDouble(int r, const QString &col, double def = 0) const { return c(col) < 0 ? def : toDouble(r, c(col), def); }
    QDate toDate(int r, const QString &col) const { return c(col) < 0 ? QDate() : toDate(r, c(col)); }
    bool isNull(int r, const QString &col) const { return c(col) < 0 || isNull(r, c(col)); }
    QVariant value(int r, const QString &col) const { return c(col) < 0 ? QVariant() : value(r, c(col)); }

    // Bytes held for the cells (data, offsets, NULL bits), for the benchmarks.
    size_t memoryBytes() const;
    // Bytes of the cell values themselves.
    size_t dataBytes() const { return size_t(m_data.size()); }

    // Building, used by the connection while it reads a result.
    void setFields(QVector<Field> fields);
    void appendRow(const char *const *cells, const unsigned long *lengths);
    void reserveRows(int rows);
    // Appends count rows of another row set with the same fields, from row `from`.
    void appendRows(const RowSet &other, int from, int count);

private:
    bool cString(int r, int c, char *buf, int size) const;
    size_t cell(int r, int c) const { return size_t(r) * size_t(m_fields.size()) + size_t(c); }
    int c(const QString &name) const { return fieldIndex(name); }

    QVector<Field> m_fields;
    QByteArray m_data;
    std::vector<uint32_t> m_ends;
    std::vector<uint64_t> m_nulls;
    int m_rows = 0;
};

} // namespace qo
