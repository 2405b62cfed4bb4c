#include "ui/ListQuery.h"
#include "db/Connection.h"
#include "ui/GridModel.h"
#include "db/SqlText.h"

#include <array>
#include <cstring>

namespace qo {

void ListQuery::open()
{
    m_open = false;
    try {
        m_model->setRowSet(Connection::main().query(sql()));
    } catch (...) {
        m_model->clear();
        throw;
    }
    m_open = true;
}

void ListQuery::close()
{
    m_open = false; // before the model reports its (now empty) rows
    m_model->clear();
}

void ListQuery::setWhere(const QString &condition)
{
    ReplaceWhereLine(m_lines, condition);
}

void ListQuery::setOrderBy(const QString &order)
{
    ReplaceOrderByLine(m_lines, order);
}

namespace {

// Lower-case of every latin2 byte, so that a locate compares stored bytes
// without decoding 100,000 cells.
const std::array<uchar, 256> &latin2Lower()
{
    static const std::array<uchar, 256> t = [] {
        std::array<uchar, 256> a{};
        for (int i = 0; i < 256; ++i) {
            const char b = char(i);
            const QByteArray low = toLatin2(fromLatin2(&b, 1).toLower());
            a[i] = low.size() == 1 ? uchar(low[0]) : uchar(i);
        }
        return a;
    }();
    return t;
}

} // namespace

int ListQuery::locatePrefix(const QString &field, const QString &text) const
{
    const RowSet &rs = m_model->rows();
    const int c = rs.fieldIndex(field);
    if (c < 0 || rs.field(c).kind != RowSet::Kind::Text)
        return -1;
    const auto &low = latin2Lower();
    QByteArray want = toLatin2(text);
    for (char &ch : want)
        ch = char(low[uchar(ch)]);
    for (int r = 0; r < rs.rowCount(); ++r) {
        int len;
        const char *p = rs.rawData(r, c, &len);
        if (len < want.size())
            continue;
        int k = 0;
        while (k < want.size() && low[uchar(p[k])] == uchar(want[k]))
            ++k;
        if (k == want.size())
            return r;
    }
    return -1;
}

int ListQuery::locateKey(const QString &field, qint64 key) const
{
    const RowSet &rs = m_model->rows();
    const int c = rs.fieldIndex(field);
    if (c < 0)
        return -1;
    for (int r = 0; r < rs.rowCount(); ++r)
        if (!rs.isNull(r, c) && rs.toInt(r, c) == key)
            return r;
    return -1;
}

} // namespace qo
