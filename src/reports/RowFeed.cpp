#include "reports/RowFeed.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <thread>

namespace qo {

// What the reading thread and the feed share; the thread keeps it alive after
// the feed is gone.
struct RowFeed::Shared {
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::atomic<unsigned long> session{0};
};

RowFeed::RowFeed(const ConnectParams &params, const QStringList &queries, const QStringList &setup, int batchRows)
    : m_rows(std::make_shared<RowSet>()), m_shared(std::make_shared<Shared>())
{
    QPointer<RowFeed> self(this);
    std::shared_ptr<Shared> shared = m_shared;
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
            shared->session = db.sessionId();
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
            shared->session = 0;
            db.close();
        } catch (const Error &e) {
            shared->session = 0;
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
    // The server stops sending; the reading thread then ends by itself.
    const unsigned long session = m_shared->session;
    if (session != 0 && !m_shared->done && Connection::main().isOpen()) {
        try {
            Connection::main().exec(QStringLiteral("KILL QUERY %1").arg(session));
        } catch (const Error &) {
            // Already finished: nothing to stop.
        }
    }
}

} // namespace qo
