#include "reports/RowFeed.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <thread>

namespace qo {

// What the reading thread and the feed share; the thread keeps it alive after
// the feed is gone.
struct RowFeed::Shared {
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    ConnectParams params;
    std::mutex mutex;       // guards the two below
    unsigned long session = 0;
    ServerAddress server;   // the one of the list the session is on
    void setSession(unsigned long id, const ServerAddress &on = {})
    {
        const std::lock_guard<std::mutex> lock(mutex);
        session = id;
        server = on;
    }
};

RowFeed::RowFeed(const ConnectParams &params, const QStringList &queries, const QStringList &setup, int batchRows)
    : m_rows(std::make_shared<RowSet>()), m_shared(std::make_shared<Shared>())
{
    QPointer<RowFeed> self(this);
    std::shared_ptr<Shared> shared = m_shared;
    shared->params = params;
    std::thread([self, shared, params, queries, setup, batchRows] {
        Connection::threadInit();
        QString error;
        auto hand = [&](std::shared_ptr<RowSet> batch, bool last, const QString &err) {
            // A queued call to a feed that is gone is dropped by Qt.
            QMetaObject::invokeMethod(self.data(), [self, batch, last, err] {
                if (self)
                    self->take(batch, last, err);
            }, Qt::QueuedConnection);
        };
        try {
            Connection db;
            db.open(params);
            shared->setSession(db.sessionId(), db.server());
            for (const QString &statement : setup) {
                try {
                    db.exec(statement);
                } catch (const Error &) {
                    // A setting this server does not know: only slower.
                }
            }
            for (const QString &sql : queries) {
                if (shared->stop)
                    break;
                RowSet batch;
                db.openStream(sql, batch);
                const QVector<RowSet::Field> fields = batch.fields();
                hand(std::make_shared<RowSet>(batch), false, {}); // the columns, before any row
                for (;;) {
                    batch.setFields(fields);
                    const int n = db.readStream(batch, batchRows);
                    if (shared->stop)
                        break;
                    if (n > 0)
                        hand(std::make_shared<RowSet>(batch), false, {});
                    if (n < batchRows)
                        break;
                }
                db.closeStream();
            }
            shared->setSession(0);
            db.close();
        } catch (const Error &e) {
            shared->setSession(0);
            error = e.message();
            if (error.isEmpty())
                error = QStringLiteral("A lekérdezés nem sikerült.");
        }
        shared->done = true;
        if (!shared->stop)
            hand(nullptr, true, error);
        Connection::threadEnd();
    }).detach();
}

RowFeed::RowFeed(std::shared_ptr<RowSet> rows) : m_rows(std::move(rows)), m_shared(std::make_shared<Shared>())
{
    m_complete = true;
    m_shared->done = true;
}

RowFeed::~RowFeed()
{
    stop();
}

void RowFeed::take(const std::shared_ptr<RowSet> &batch, bool last, const QString &error)
{
    if (m_complete)
        return;
    if (batch) {
        if (m_rows->columnCount() == 0 && m_rows->rowCount() == 0)
            m_rows->setFields(batch->fields());
        m_rows->appendRows(*batch, 0, batch->rowCount());
    }
    if (last) {
        m_complete = true;
        m_error = error;
    }
    Q_EMIT arrived();
}

void RowFeed::throwIfFailed() const
{
    if (!m_error.isEmpty())
        throw Error(m_error);
}

void RowFeed::waitForMore(int ms)
{
    if (m_complete)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    const auto c = connect(this, &RowFeed::arrived, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    disconnect(c);
}

void RowFeed::stop()
{
    if (m_complete || m_shared->stop.exchange(true))
        return;
    m_complete = true;
    unsigned long session;
    ServerAddress server;
    {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        session = m_shared->session;
        server = m_shared->server;
    }
    if (session == 0 || m_shared->done)
        return;
    // The server stops sending and the reading thread then ends by itself.
    // The stop goes from a link of its own to the server the session is on
    // (the main connection may be busy, or on another node), opened on a
    // thread of its own so that the window never waits for it; until it
    // arrives, or if it cannot be sent, the reading thread reads the rest and
    // drops it.
    std::thread([shared = m_shared, server, session] {
        Connection::threadInit();
        try {
            KillQueryOf(shared->params, server, session);
        } catch (const Error &) {
            // Already finished, or no link: the rest is read and dropped.
        }
        Connection::threadEnd();
    }).detach();
}

} // namespace qo
