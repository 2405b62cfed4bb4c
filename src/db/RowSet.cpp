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
    m_starts.clear();
    m_valueBytes = 0;
    m_rows = 0;
}

void RowSet::reserveRows(int rows) { m_starts.reserve(size_t(rows)); }

void RowSet::appendCell(const char *data, unsigned long len)
{
    if (!data) {
        m_data.append(char(kNullMark));
        return;
    }
    if (len < kNullMark) {
        m_data.append(char(len));
    } else {
        const int n = len <= 0xFFFF ? 2 : len <= 0xFFFFFF ? 3 : 4;
        m_data.append(char(n == 2 ? kLen16 : n == 3 ? kLen24 : kLen32));
        for (int k = 0; k < n; ++k)
            m_data.append(char((len >> (8 * k)) & 0xFF));
    }
    m_data.append(data, qsizetype(len));
    m_valueBytes += len;
}

void RowSet::appendRow(const char *const *cells, const unsigned long *lengths)
{
    m_starts.push_back(uint32_t(m_data.size()));
    const int n = columnCount();
    for (int c = 0; c < n; ++c)
        appendCell(cells[c], lengths[c]);
    ++m_rows;
}

void RowSet::appendRows(const RowSet &other, int from, int count)
{
    if (count <= 0)
        return;
    // The cells of consecutive rows lie back to back: one copy, offsets moved.
    const uint32_t begin = other.m_starts[size_t(from)];
    const uint32_t end = from + count < other.m_rows ? other.m_starts[size_t(from + count)] : uint32_t(other.m_data.size());
    const uint32_t shift = uint32_t(m_data.size()) - begin;
    for (int r = from; r < from + count; ++r)
        m_starts.push_back(other.m_starts[size_t(r)] + shift);
    m_data.append(other.m_data.constData() + begin, qsizetype(end - begin));
    if (from == 0 && count == other.m_rows) {
        m_valueBytes += other.m_valueBytes;
    } else {
        const char *p = other.m_data.constData() + begin;
        const char *stop = other.m_data.constData() + end;
        while (p < stop) {
            int len;
            p = value(p, &len) + len;
            m_valueBytes += size_t(len);
        }
    }
    m_rows += count;
}

size_t RowSet::memoryBytes() const
{
    return size_t(m_data.capacity()) + m_starts.capacity() * sizeof(uint32_t);
}

void RowSet::squeeze()
{
    m_data.squeeze();
    m_starts.shrink_to_fit();
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
    // "yyyy-mm-dd" (any separators); a cell without the digits there (a
    // column of another type) is no date rather than a made-up one.
    if (len < 10)
        return {};
    for (int k : {0, 1, 2, 3, 5, 6, 8, 9})
        if (p[k] < '0' || p[k] > '9')
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
