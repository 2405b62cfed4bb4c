#include "db/RowSet.h"
#include "db/Connection.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace qo {

int RowSet::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void RowSet::setFields(QVector<Field> fields)
{
    m_fields = std::move(fields);
    m_data.clear();
    m_ends.clear();
    m_nulls.clear();
    m_rows = 0;
}

void RowSet::reserveRows(int rows)
{
    const size_t cells = size_t(rows) * size_t(m_fields.size());
    m_ends.reserve(cells);
    m_nulls.reserve((cells + 63) / 64);
}

void RowSet::appendRow(const char *const *cells, const unsigned long *lengths)
{
    const int n = columnCount();
    size_t i = cell(m_rows, 0);
    for (int c = 0; c < n; ++c, ++i) {
        if ((i & 63) == 0)
            m_nulls.push_back(0);
        if (!cells[c])
            m_nulls.back() |= uint64_t(1) << (i & 63);
        else if (lengths[c])
            m_data.append(cells[c], qsizetype(lengths[c]));
        m_ends.push_back(uint32_t(m_data.size()));
    }
    ++m_rows;
}

void RowSet::appendRows(const RowSet &other, int from, int count)
{
    const int n = columnCount();
    for (int r = from; r < from + count; ++r) {
        size_t i = cell(m_rows, 0);
        for (int c = 0; c < n; ++c, ++i) {
            if ((i & 63) == 0)
                m_nulls.push_back(0);
            int len;
            const char *p = other.rawData(r, c, &len);
            if (other.isNull(r, c))
                m_nulls.back() |= uint64_t(1) << (i & 63);
            else if (len)
                m_data.append(p, len);
            m_ends.push_back(uint32_t(m_data.size()));
        }
        ++m_rows;
    }
}

size_t RowSet::memoryBytes() const
{
    return size_t(m_data.capacity()) + m_ends.capacity() * sizeof(uint32_t)
        + m_nulls.capacity() * sizeof(uint64_t);
}

QString RowSet::text(int r, int c) const
{
    int len;
    const char *p = rawData(r, c, &len);
    return fromLatin2(p, len);
}

// The cell as a NUL-terminated C string in buf; false for NULL, empty or
// too long a cell.
bool RowSet::cString(int r, int c, char *buf, int size) const
{
    if (isNull(r, c))
        return false;
    int len;
    const char *p = rawData(r, c, &len);
    if (len <= 0 || len >= size)
        return false;
    std::memcpy(buf, p, size_t(len));
    buf[len] = 0;
    return true;
}

qint64 RowSet::toInt(int r, int c, qint64 def) const
{
    char buf[32];
    if (!cString(r, c, buf, int(sizeof buf)))
        return def;
    char *end = nullptr;
    const long long v = std::strtoll(buf, &end, 10);
    if (end == buf)
        return def;
    if (*end == '.' || *end == 'e' || *end == 'E') // a float column read as integer
        return qint64(std::llround(std::strtod(buf, nullptr)));
    return *end ? def : v;
}

double RowSet::toDouble(int r, int c, double def) const
{
    char buf[64];
    if (!cString(r, c, buf, int(sizeof buf)))
        return def;
    char *end = nullptr;
    const double v = std::strtod(buf, &end);
    return (end == buf || *end) ? def : v;
}

QDate RowSet::toDate(int r, int c) const
{
    if (isNull(r, c))
        return {};
    int len;
    const char *p = rawData(r, c, &len);
    if (len < 10)
        return {};
    auto num = [p](int at, int n) {
        int v = 0;
        for (int k = 0; k < n; ++k)
            v = v * 10 + (p[at + k] - '0');
        return v;
    };
    return QDate(num(0, 4), num(5, 2), num(8, 2)); // a zero date gives an invalid QDate
}

QDateTime RowSet::toDateTime(int r, int c) const
{
    if (isNull(r, c))
        return {};
    return QDateTime::fromString(text(r, c), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QVariant RowSet::value(int r, int c) const
{
    if (isNull(r, c))
        return {};
    switch (m_fields[c].kind) {
    case Kind::Integer: return toInt(r, c);
    case Kind::Float: return toDouble(r, c);
    case Kind::Date: return toDate(r, c);
    case Kind::DateTime: return toDateTime(r, c);
    case Kind::Binary: {
        int len;
        const char *p = rawData(r, c, &len);
        return QByteArray(p, len);
    }
    default: return text(r, c);
    }
}

} // namespace qo
