#pragma once
// Inside the PDF writer: the objects of the file, written in the order given
// by a thread of their own.
#include <QByteArray>
#include <QIODevice>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace qo::pdf {

// Objects are compressed and written on a thread of their own, in the order
// given, while the next page is painted: deflating the pages was a fifth of a
// long report's time. A few pages wait at most, so memory stays bounded.
class ObjectWriter {
public:
    explicit ObjectWriter(QIODevice *out) : m_out(out), m_thread([this] { run(); }) {}
    ~ObjectWriter()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
            m_queue.clear();
        }
        m_wake.notify_all();
        m_thread.join();
    }

    // Object `id`: its dictionary, and a stream deflated at `level` when given.
    void put(int id, QByteArray dict, const QByteArray *stream, int level)
    {
        Job job{id, std::move(dict), stream ? *stream : QByteArray(), stream != nullptr, level};
        std::unique_lock lock(m_mutex);
        m_room.wait(lock, [this] { return m_queue.size() < kWaiting || m_stop; });
        m_queue.push_back(std::move(job));
        lock.unlock();
        m_wake.notify_one();
    }
    void raw(const QByteArray &bytes) { put(-1, bytes, nullptr, 0); }
    // Waits until all is written: offsets and the end are final then.
    void drain()
    {
        std::unique_lock lock(m_mutex);
        m_room.wait(lock, [this] { return (m_queue.empty() && !m_busy) || m_stop; });
    }
    bool failed() const { return m_failed.load(); }
    qint64 end() const { return m_pos; }
    qint64 offset(int id) const { return id < qsizetype(m_offsets.size()) ? m_offsets[size_t(id)] : 0; }

private:
    struct Job {
        int id;
        QByteArray dict;
        QByteArray stream;
        bool hasStream;
        int level;
    };
    static constexpr size_t kWaiting = 8;

    void run();
    void write(const QByteArray &b);
    void writeJob(const Job &job);

    QIODevice *m_out;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_room;
    std::deque<Job> m_queue;
    bool m_stop = false;
    bool m_busy = false;
    std::atomic<bool> m_failed{false};
    qint64 m_pos = 0;                // the writing thread's, read after drain()
    std::vector<qint64> m_offsets;   // likewise
    std::thread m_thread;            // last: starts once the rest is there
};

} // namespace qo::pdf
