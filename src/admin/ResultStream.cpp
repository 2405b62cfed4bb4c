#include "admin/ResultStream.h"
#include "db/Connection.h"

namespace qo {

ResultStream::~ResultStream() { close(); }

bool ResultStream::isOpen() const { return m_db.streamOpen(); }

void ResultStream::open(const QString &sql)
{
    close();
    m_model->clear();
    show(readFirstPage(sql));
}

RowSet ResultStream::readFirstPage(const QString &sql)
{
    m_sql = sql;
    RowSet rows;
    m_db.openStream(sql, rows);
    m_fields = rows.fields();
    m_db.readStream(rows, GridModel::kFirstPage); // closes the stream at the end
    return rows;
}

void ResultStream::show(RowSet firstPage)
{
    const bool whole = !m_db.streamOpen();
    m_model->setWindow(std::move(firstPage), this, true, whole, 0);
}

void ResultStream::showTail(RowSet tail, qint64 total)
{
    m_db.closeStream();
    const qint64 offset = total - tail.rowCount();
    m_model->setWindow(std::move(tail), this, offset <= 0, true, offset);
}

// Reading the unread rest only to drop it can take as long as reading a huge
// result whole; closing the link would lose the session. So the server is
// told to stop sending (KILL QUERY from the main connection, which leaves
// the session alone), and only what is already under way is read and dropped.
void ResultStream::close()
{
    if (!m_db.streamOpen())
        return;
    Connection &main = Connection::main();
    const bool sameServer = main.params().host == m_db.params().host && main.params().port == m_db.params().port;
    if (&main != &m_db && sameServer && main.isOpen() && !main.streamOpen() && m_db.sessionId() != 0) {
        try {
            main.exec(QStringLiteral("KILL QUERY %1").arg(m_db.sessionId()));
        } catch (const Error &) {
            // The rest is then read and dropped below.
        }
    }
    m_db.closeStream();
}

void ResultStream::readToEnd() { m_model->jumpToEnd(); }

RowSet ResultStream::fetch(const RowSet &, bool before, int count)
{
    RowSet page;
    page.setFields(m_fields);
    if (!before && m_db.streamOpen())
        m_db.readStream(page, count);
    return page;
}

} // namespace qo
