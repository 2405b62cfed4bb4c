#include "db/RowCounter.h"

#include <QHash>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace qo {

namespace {

struct Job {
    const void *owner;
    quint64 generation;
    ConnectParams params;
    QStringList sqls;
    QPointer<QObject> context;
    std::function<void(const QVector<qint64> &)> done;
};

bool sameServer(const ConnectParams &a, const ConnectParams &b)
{
    return a.host == b.host && a.port == b.port && a.database == b.database && a.user == b.user
        && a.password == b.password;
}

} // namespace

struct RowCounter::Private {
    std::mutex mutex;
    std::condition_variable wake, idle;
    std::deque<Job> queue;
    QHash<const void *, quint64> latest; // the generation each owner still wants
    quint64 nextGeneration = 1;
    bool running = false, stop = false;
    std::thread thread;

    bool wanted(const Job &j) { return latest.value(j.owner) == j.generation; }

    void run()
    {
        Connection::threadInit();
        {
            Connection db;
            std::unique_lock<std::mutex> lock(mutex);
            for (;;) {
                wake.wait(lock, [this] { return stop || !queue.empty(); });
                if (stop)
                    break;
                Job job = std::move(queue.front());
                queue.pop_front();
                if (!wanted(job))
                    continue;
                running = true;
                lock.unlock();
                QVector<qint64> counts;
                try {
                    if (!db.isOpen() || !sameServer(db.params(), job.params))
                        db.open(job.params);
                    for (const QString &sql : job.sqls)
                        counts << db.query(sql).toInt(0, 0, -1);
                } catch (const Error &) {
                    counts.clear();
                    db.close(); // opened afresh for the next request
                }
                lock.lock();
                running = false;
                if (!counts.isEmpty() && wanted(job) && job.context) {
                    const quint64 generation = job.generation;
                    const void *owner = job.owner;
                    auto done = std::move(job.done);
                    QMetaObject::invokeMethod(job.context, [this, owner, generation, done, counts] {
                        {
                            std::lock_guard<std::mutex> g(mutex);
                            if (latest.value(owner) != generation)
                                return;
                        }
                        done(counts);
                    }, Qt::QueuedConnection);
                }
                if (queue.empty())
                    idle.notify_all();
            }
        }
        Connection::threadEnd();
    }
};

RowCounter::RowCounter() : d(new Private)
{
    d->thread = std::thread([this] { d->run(); });
}

RowCounter::~RowCounter()
{
    {
        std::lock_guard<std::mutex> g(d->mutex);
        d->stop = true;
    }
    d->wake.notify_all();
    d->thread.join();
    delete d;
}

RowCounter &RowCounter::instance()
{
    static RowCounter counter;
    return counter;
}

void RowCounter::request(const void *owner, const ConnectParams &params, const QStringList &sqls, QObject *context,
                         std::function<void(const QVector<qint64> &)> done)
{
    std::lock_guard<std::mutex> g(d->mutex);
    const quint64 generation = d->nextGeneration++;
    d->latest.insert(owner, generation);
    // Older requests of this owner still queued are skipped by the worker.
    d->queue.push_back(Job{owner, generation, params, sqls, context, std::move(done)});
    d->wake.notify_all();
}

void RowCounter::cancel(const void *owner)
{
    std::lock_guard<std::mutex> g(d->mutex);
    d->latest.remove(owner);
}

void RowCounter::waitIdle()
{
    std::unique_lock<std::mutex> lock(d->mutex);
    d->idle.wait(lock, [this] {
        bool pending = false;
        for (const Job &j : d->queue)
            pending = pending || d->wanted(j);
        return !d->running && !pending;
    });
}

} // namespace qo
