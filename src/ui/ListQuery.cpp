#include "ui/ListQuery.h"
#include "base/Codec.h"
#include "db/Connection.h"
#include "db/RowCounter.h"
#include "db/SqlText.h"

#include <QElapsedTimer>
#include <QPointer>
#include <array>
#include <cstring>

namespace qo {

ListQuery &ListQuery::operator=(const ListQuery &o)
{
    if (this != &o) {
        if (m_model)
            RowCounter::instance().cancel(m_model);
        RowCounter::instance().cancel(this);
        m_lines = o.m_lines;
        m_model = o.m_model;
        m_keyField = o.m_keyField;
        m_terms.clear();
        m_open = false;
    }
    return *this;
}

ListQuery::~ListQuery()
{
    // The model outlives no query that feeds it; a late count is not wanted.
    if (m_model && m_open) {
        RowCounter::instance().cancel(m_model);
        RowCounter::instance().cancel(this);
    }
}

namespace {

bool isWhereLine(const QString &line) { return line.trimmed().startsWith(QLatin1String("WHERE"), Qt::CaseInsensitive); }
bool isOrderLine(const QString &line) { return line.trimmed().startsWith(QLatin1String("ORDER"), Qt::CaseInsensitive); }

} // namespace

QString ListQuery::condition() const
{
    for (const QString &line : m_lines)
        if (isWhereLine(line)) {
            QString c = line.trimmed().mid(5).trimmed();
            while (c.endsWith(QLatin1Char(';')))
                c.chop(1);
            return c;
        }
    return QString();
}

QString ListQuery::pageSql(const QString &extra, bool reversed, int limit) const
{
    QStringList out;
    for (const QString &line : m_lines)
        if (!isWhereLine(line) && !isOrderLine(line))
            out << line;
    const QString cond = condition();
    if (!cond.isEmpty() && !extra.isEmpty())
        out << QStringLiteral("WHERE (") + cond + QStringLiteral(") AND ") + extra;
    else if (!cond.isEmpty() || !extra.isEmpty())
        out << QStringLiteral("WHERE ") + (cond.isEmpty() ? extra : cond);
    if (!m_terms.isEmpty())
        out << QStringLiteral("ORDER BY ") + OrderByText(m_terms, reversed);
    if (limit >= 0)
        out << QStringLiteral("LIMIT %1").arg(limit);
    return out.join(QLatin1Char('\n'));
}

QString ListQuery::countSql(const QString &extra) const
{
    QStringList out;
    for (const QString &line : m_lines)
        if (!isWhereLine(line) && !isOrderLine(line))
            out << line;
    const QString cond = condition();
    QString where = cond.isEmpty() ? extra : extra.isEmpty() ? cond : QStringLiteral("(") + cond + QStringLiteral(") AND ") + extra;
    if (!where.isEmpty())
        out << QStringLiteral("WHERE ") + where;
    return QStringLiteral("SELECT COUNT(*) FROM (") + out.join(QLatin1Char('\n')) + QStringLiteral(") AS qo_rows");
}

// The sort terms as the ORDER BY line now says, with the key as the last word.
// Without an order or a key to make it total a list is read whole.
void ListQuery::prepare()
{
    QString order;
    for (const QString &line : m_lines)
        if (isOrderLine(line))
            order = line;
    RowSet known; // the list's columns as last read, for column numbers
    known.setFields(m_model->rows().columnCount() ? m_model->rows().fields() : m_fields);
    m_terms = order.isEmpty() || m_keyField.isEmpty() ? QVector<SortTerm>() : WithKey(ParseOrderBy(order, known), m_keyField);
}

// Whether every sort column's text is its value (see KeysetExact); a list
// sorted by one that is not is read whole.
bool ListQuery::exactTerms(const QVector<RowSet::Field> &fields) const
{
    RowSet rs;
    rs.setFields(fields);
    for (const SortTerm &t : m_terms) {
        const int c = rs.fieldIndex(t.column);
        if (c >= 0 && !KeysetExact(fields.at(c)))
            return false;
    }
    return true;
}

void ListQuery::open()
{
    m_open = false;
    prepare();
    try {
        bool paged = !m_terms.isEmpty() && (m_fields.isEmpty() || exactTerms(m_fields));
        QElapsedTimer t;
        t.start();
        RowSet rows = Connection::main().query(paged ? pageSql(QString(), false, GridModel::kFirstPage) : wholeSql());
        if (paged && !exactTerms(rows.fields())) {
            paged = false;
            rows = Connection::main().query(wholeSql());
        }
        const bool whole = !paged || rows.rowCount() < GridModel::kFirstPage;
        m_fields = rows.fields();
        m_model->setWindow(std::move(rows), this, true, whole, 0);
        if (t.elapsed() > GridModel::kSlowPageMs)
            m_model->readLargePages();
    } catch (...) {
        RowCounter::instance().cancel(m_model);
        RowCounter::instance().cancel(this);
        m_model->clear();
        throw;
    }
    m_open = true;
    requestCounts(false);
}

void ListQuery::close()
{
    m_open = false; // before the model reports its (now empty) rows
    RowCounter::instance().cancel(m_model);
    RowCounter::instance().cancel(this);
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

// The list's size when it is opened and, for a window moved away from the
// top, the number of rows before it, counted in the background. The two are
// asked for apart (the query itself owns the second), so that moving the
// window right after opening does not void the size already being counted
// and count it again.
void ListQuery::requestCounts(bool withBefore)
{
    RowCounter &counter = RowCounter::instance();
    counter.cancel(this); // rows before a window that has moved on
    if (m_model->complete()) {
        counter.cancel(m_model);
        return;
    }
    QPointer<GridModel> model = m_model;
    const quint64 window = m_model->windowId();
    if (!withBefore) {
        counter.request(m_model, Connection::main().params(), {countSql(QString())}, m_model,
                        [model, window](const QVector<qint64> &n) {
                            if (model)
                                model->setCounts(window, n.value(0, -1), -1);
                        });
    } else if (m_model->rowCount() > 0) {
        counter.request(this, Connection::main().params(),
                        {countSql(KeysetCondition(m_terms, m_model->rows(), 0, true, false))}, m_model,
                        [model, window](const QVector<qint64> &n) {
                            if (model)
                                model->setCounts(window, -1, n.value(0, -1));
                        });
    }
}

namespace {

// Rows read backwards (from the end, or before the window) turned round.
RowSet turned(const RowSet &rs)
{
    RowSet out;
    out.setFields(rs.fields());
    for (int r = rs.rowCount() - 1; r >= 0; --r)
        out.appendRows(rs, r, 1);
    return out;
}

// The most rows a page query asks for when a larger one would not be read in
// the list's order by an index (see ListQuery::fetch).
constexpr int kIndexedPiece = 4096;

// Whether the server would read the statement's rows by scanning the table
// and sorting them rather than in the order of an index. An account that may
// not see a view's plan gets no answer: taken as no.
bool sortsAll(const QString &sql)
{
    RowSet plan;
    try {
        plan = Connection::main().query(QStringLiteral("EXPLAIN ") + sql);
    } catch (const Error &) {
        return false;
    }
    const int extra = plan.fieldIndex(QStringLiteral("Extra"));
    for (int r = 0; extra >= 0 && r < plan.rowCount(); ++r)
        if (plan.text(r, extra).contains(QLatin1String("filesort"), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

RowSet ListQuery::fetch(const RowSet &held, bool before, int count)
{
    const auto from = [&](const RowSet &rs, int r) { return KeysetCondition(m_terms, rs, r, before, false); };
    const QString start = held.rowCount() > 0 ? from(held, before ? 0 : held.rowCount() - 1) : QString();
    // Asked for many rows, the server may leave the index that gives the
    // list's order for a scan of the whole table and a sort: a page then
    // costs as much as the whole list. When a smaller page keeps the index,
    // the rows are read in pieces of that size, each after the last row read.
    int piece = count;
    if (count > kIndexedPiece && !m_terms.isEmpty() && sortsAll(pageSql(start, before, count))
        && !sortsAll(pageSql(start, before, kIndexedPiece)))
        piece = kIndexedPiece;
    RowSet rs = Connection::main().query(pageSql(start, before, piece));
    bool more = rs.rowCount() == piece;
    while (more && rs.rowCount() < count) {
        const int want = qMin(piece, count - rs.rowCount());
        const RowSet next = Connection::main().query(pageSql(from(rs, rs.rowCount() - 1), before, want));
        rs.appendRows(next, 0, next.rowCount());
        more = next.rowCount() == want;
    }
    return before ? turned(rs) : rs;
}

void ListQuery::moveWindow(RowSet rows)
{
    const bool atEnd = rows.rowCount() < GridModel::kFirstPage;
    m_model->setWindow(std::move(rows), this, false, atEnd, -1);
    requestCounts(true);
}

namespace {

bool startsWith(const RowSet &rs, int r, int c, const QByteArray &want)
{
    const auto &low = latin2Lower();
    int len;
    const char *p = rs.rawData(r, c, &len);
    if (len < want.size())
        return false;
    for (int k = 0; k < want.size(); ++k)
        if (low[uchar(p[k])] != uchar(want[k]))
            return false;
    return true;
}

} // namespace

int ListQuery::locatePrefix(const QString &field, const QString &text)
{
    const RowSet &rs = m_model->rows();
    const int c = rs.fieldIndex(field);
    if (c < 0 || rs.field(c).kind != RowSet::Kind::Text)
        return -1;
    const auto &low = latin2Lower();
    QByteArray want = toLatin2(text);
    for (char &ch : want)
        ch = char(low[uchar(ch)]);
    for (int r = 0; r < rs.rowCount(); ++r)
        if (startsWith(rs, r, c, want))
            return r;
    // Not among the rows held: when the list is sorted by this field, the row
    // can only be past the window, at the first row at or after the text.
    if (m_model->complete() || m_terms.isEmpty() || m_terms.first().desc
        || m_terms.first().column.compare(field, Qt::CaseInsensitive) != 0)
        return -1;
    RowSet found = Connection::main().query(
        pageSql(m_terms.first().expr + QStringLiteral(" >= ") + SqlQuote(text), false, GridModel::kFirstPage));
    if (found.rowCount() == 0 || !startsWith(found, 0, found.fieldIndex(field), want))
        return -1;
    moveWindow(std::move(found));
    return 0;
}

int ListQuery::locateKey(const QString &field, qint64 key)
{
    const RowSet &rs = m_model->rows();
    const int c = rs.fieldIndex(field);
    if (c < 0)
        return -1;
    for (int r = 0; r < rs.rowCount(); ++r)
        if (!rs.isNull(r, c) && rs.toInt(r, c) == key)
            return r;
    if (m_model->complete() || m_terms.isEmpty())
        return -1;
    // The row itself first (it gives the values of its place in the order),
    // then the page that starts with it.
    QString expr = field;
    for (const SortTerm &t : m_terms)
        if (t.column.compare(field, Qt::CaseInsensitive) == 0)
            expr = t.expr; // qualified as the query writes it

    const RowSet one = Connection::main().query(pageSql(expr + QStringLiteral(" = %1").arg(key), false, 1));
    if (one.rowCount() == 0)
        return -1;
    moveWindow(Connection::main().query(pageSql(KeysetCondition(m_terms, one, 0, false, true), false, GridModel::kFirstPage)));
    return 0;
}

} // namespace qo
