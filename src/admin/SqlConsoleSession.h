#pragma once
// Work on the SQL console's session run on a thread of its own.
//
// Why a worker thread and not Connector/C's non-blocking calls: the console's
// session lives in db/Connection, whose statements go through the link checks
// of a unit of work (never a silent reconnect, the lost-session message), the
// multi-result reading and the streamed results. The non-blocking API would
// need a second copy of all of that written as start/continue steps. On a
// worker the very same calls run unchanged: the worker owns the connection
// while the work runs, the user-interface thread does not touch it meanwhile
// and only waits, repaints and reacts to the stop. A stop sends KILL QUERY
// from a short-lived second link with the session's own parameters, so the
// session (variables, temporary tables, USE, an open transaction) stays.
#include "db/Connection.h"

#include <QString>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>

namespace qo {

class SessionRun {
public:
    explicit SessionRun(Connection &db);
    ~SessionRun(); // waits for the work (call stop() first to hurry it)
    SessionRun(const SessionRun &) = delete;
    SessionRun &operator=(const SessionRun &) = delete;

    // Starts the work on the worker and returns at once. The work must touch
    // nothing of the user interface.
    void start(std::function<void()> work);
    // Waits at most ms for the end of the work; true once it has ended.
    bool waitFor(int ms);
    bool finished() const;
    // Asks the server to stop the statement now running (KILL QUERY from a
    // second link, opened on a thread of its own so that a slow server never
    // holds the window); work that checks stopAsked() starts no further statement.
    void stop();
    bool stopAsked() const { return m_stop->load(); }
    // Called by the work between its steps: throws JobCancelled once stopped.
    void checkStop() const;
    // After the end: the work's own failure is thrown here; a statement the
    // stop broke off is thrown as JobCancelled.
    void rethrow() const;

    // The server's code of a statement broken off by KILL QUERY.
    static constexpr unsigned kQueryInterrupted = 1317;

private:
    struct State;
    Connection &m_db;
    std::shared_ptr<State> m_state;
    std::shared_ptr<std::atomic<bool>> m_stop;
};

} // namespace qo
