#pragma once
// Query result rows in one compact block, laid out as the server sends them:
// each cell a length byte (three or four for a long value, one mark for NULL)
// and its latin2 bytes, and one start offset per row. Cells are decoded only
// when asked for, so rows held cost about their bytes on the wire and
// nothing is converted that is never painted.
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

    bool isNull(int r, int c) const { return uchar(*cellAt(r, c)) == kNullMark; }
    // The stored bytes of a cell (latin2 for texts); NULL gives no bytes.
    const char *rawData(int r, int c, int *len) const
    {
        const char *p = cellAt(r, c);
        return value(p, len);
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

    // Bytes held for the rows (cells, row offsets, spare room), for the benchmarks.
    size_t memoryBytes() const;
    // Bytes of the cell values themselves.
    size_t dataBytes() const { return m_valueBytes; }
    // Gives back the spare room of a finished read.
    void squeeze();

    // Building, used by the connection while it reads a result.
    void setFields(QVector<Field> fields);
    void appendRow(const char *const *cells, const unsigned long *lengths);
    void reserveRows(int rows);
    // Appends count rows of another row set with the same fields, from row `from`.
    void appendRows(const RowSet &other, int from, int count);

private:
    static constexpr uchar kNullMark = 251, kLen16 = 252, kLen24 = 253, kLen32 = 254;
    // The value behind a cell's length prefix.
    static const char *value(const char *p, int *len)
    {
        const uchar b = uchar(*p);
        if (b < kNullMark) {
            *len = b;
            return p + 1;
        }
        if (b == kNullMark) {
            *len = 0;
            return p + 1;
        }
        const int n = b == kLen16 ? 2 : b == kLen24 ? 3 : 4;
        uint32_t v = 0;
        for (int k = n; k >= 1; --k)
            v = (v << 8) | uchar(p[k]);
        *len = int(v);
        return p + 1 + n;
    }
    const char *cellAt(int r, int c) const
    {
        const char *p = m_data.constData() + m_starts[size_t(r)];
        for (int k = 0; k < c; ++k) {
            int len;
            p = value(p, &len) + len;
        }
        return p;
    }
    void appendCell(const char *data, unsigned long len);
    bool cString(int r, int c, char *buf, int size) const;
    int c(const QString &name) const { return fieldIndex(name); }

    QVector<Field> m_fields;
    QByteArray m_data;
    std::vector<uint32_t> m_starts; // where each row's first cell begins
    size_t m_valueBytes = 0;
    int m_rows = 0;
};

} // namespace qo
