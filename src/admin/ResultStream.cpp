#include "admin/ResultStream.h"
#include "db/Connection.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace qo {

namespace {

// How long closing waits for the server to take the stop before it reads the
// rest itself.
constexpr int kStopWaitMs = 100;

} // namespace

struct ResultStream::Kill {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
};

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
    m_pending = RowSet();
    m_pendingAt = 0;
    const bool whole = !m_db.streamOpen();
    m_model->setWindow(std::move(firstPage), this, true, whole, 0);
}

qint64 ResultStream::readRest(const std::function<void(RowSet &)> &take, const std::function<void()> &between)
{
    qint64 read = 0;
    while (m_db.streamOpen()) {
        if (between)
            between();
        RowSet batch;
        batch.setFields(m_fields);
        const int n = m_db.readStream(batch, kReadBatch); // closes the stream at the end
        read += n;
        if (n > 0)
            take(batch);
    }
    return read;
}

// The model reads the rows as pages from fetch(), exactly as when it reads
// on to the end itself: the current row, the position and the count come out
// the same.
void ResultStream::showRest(RowSet rest)
{
    m_pending = std::move(rest);
    m_pendingAt = 0;
    m_model->jumpToEnd();
    m_pending = RowSet();
    m_pendingAt = 0;
}

void ResultStream::showTail(RowSet tail, qint64 total)
{
    m_db.closeStream();
    m_pending = RowSet();
    m_pendingAt = 0;
    const qint64 offset = total - tail.rowCount();
    m_model->setWindow(std::move(tail), this, offset <= 0, true, offset);
}

// Reading the unread rest only to drop it can take as long as reading a huge
// result whole; closing the link would lose the session. So the server is
// told to stop sending (KILL QUERY from a short-lived link to the server the
// session is on, which leaves the session alone), and only what is already
// under way is read and dropped. A link slow to open does not hold the
// window: the rest is then read and dropped meanwhile.
void ResultStream::close()
{
    m_pending = RowSet();
    m_pendingAt = 0;
    if (!m_db.streamOpen())
        return;
    const unsigned long session = m_db.sessionId();
    if (session != 0) {
        auto kill = std::make_shared<Kill>();
        std::thread([kill, params = m_db.params(), server = m_db.server(), session] {
            Connection::threadInit();
            try {
                KillQueryOf(params, server, session);
            } catch (const Error &) {
                // The rest is then read and dropped to its end.
            }
            Connection::threadEnd();
            const std::lock_guard<std::mutex> lock(kill->mutex);
            kill->done = true;
            kill->ended.notify_all();
        }).detach();
        m_kill = kill;
        stopUnderWay(kStopWaitMs);
    }
    m_db.closeStream();
}

bool ResultStream::stopUnderWay(int ms) const
{
    if (!m_kill)
        return false;
    std::unique_lock<std::mutex> lock(m_kill->mutex);
    return !m_kill->ended.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_kill->done; });
}

RowSet ResultStream::fetch(const RowSet &, bool before, int count)
{
    RowSet page;
    page.setFields(m_fields);
    if (before)
        return page;
    const int given = qMin(count, m_pending.rowCount() - m_pendingAt);
    if (given > 0) {
        page.appendRows(m_pending, m_pendingAt, given);
        m_pendingAt += given;
        count -= given;
    }
    if (count > 0 && m_db.streamOpen())
        m_db.readStream(page, count);
    return page;
}

} // namespace qo
