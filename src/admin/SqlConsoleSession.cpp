#include "admin/SqlConsoleSession.h"
#include "ui/JobProgress.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace qo {

struct SessionRun::State {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    int kills = 0; // KILL QUERY links still under way
    std::exception_ptr failure;
    std::thread worker;
};

SessionRun::SessionRun(Connection &db)
    : m_db(db), m_state(std::make_shared<State>()), m_stop(std::make_shared<std::atomic<bool>>(false))
{
}

SessionRun::~SessionRun()
{
    if (m_state->worker.joinable())
        m_state->worker.join();
}

void SessionRun::start(std::function<void()> work)
{
    std::shared_ptr<State> state = m_state;
    state->worker = std::thread([state, work = std::move(work)] {
        Connection::threadInit();
        std::exception_ptr failure;
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        Connection::threadEnd();
        const std::lock_guard<std::mutex> lock(state->mutex);
        state->failure = failure;
        state->done = true;
        state->ended.notify_all();
    });
}

bool SessionRun::waitFor(int ms)
{
    std::unique_lock<std::mutex> lock(m_state->mutex);
    // A KILL QUERY still on its way could hit the session's next statement:
    // the run ends when it has arrived too.
    return m_state->ended.wait_for(lock, std::chrono::milliseconds(ms),
                                   [this] { return m_state->done && m_state->kills == 0; });
}

bool SessionRun::finished() const
{
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->done;
}

void SessionRun::stop()
{
    if (m_stop->exchange(true))
        return;
    const unsigned long session = m_db.sessionId();
    if (session == 0)
        return;
    // Detached: a server that does not answer keeps only this thread waiting
    // (up to the connect time-out), never the window.
    {
        const std::lock_guard<std::mutex> lock(m_state->mutex);
        ++m_state->kills;
    }
    std::thread([state = m_state, params = m_db.params(), server = m_db.server(), session] {
        Connection::threadInit();
        try {
            KillQueryOf(params, server, session);
        } catch (const Error &e) {
            qWarning("KILL QUERY: %s", qPrintable(e.message()));
        }
        Connection::threadEnd();
        const std::lock_guard<std::mutex> lock(state->mutex);
        --state->kills;
        state->ended.notify_all();
    }).detach();
}

void SessionRun::checkStop() const
{
    if (m_stop->load())
        throw JobCancelled();
}

void SessionRun::rethrow() const
{
    std::exception_ptr failure;
    {
        const std::lock_guard<std::mutex> lock(m_state->mutex);
        failure = m_state->failure;
    }
    if (!failure)
        return;
    try {
        std::rethrow_exception(failure);
    } catch (const JobCancelled &) {
        throw;
    } catch (const Error &e) {
        if (m_stop->load() && e.code() == kQueryInterrupted)
            throw JobCancelled();
        throw;
    }
}

} // namespace qo
