#pragma once
// Rows that arrive while a printout is already being laid out. A query runs
// on a thread of its own, on a connection of its own, and hands its rows over
// in batches to the user-interface thread, where they are appended to one
// growing row set; the first page needs only its first rows, and the window
// never waits for the server.
#include "db/Connection.h"
#include "db/RowSet.h"

#include <QObject>
#include <memory>

namespace qo {

class RowFeed : public QObject {
    Q_OBJECT
public:
    // Starts reading at once: the rows of each query in turn (same columns),
    // after the session settings of `setup` (one the server refuses is
    // passed over). `batchRows` rows travel per hand-over.
    RowFeed(const ConnectParams &params, const QStringList &queries, const QStringList &setup = {},
            int batchRows = 2000);
    // Rows given whole (no server): complete from the start.
    explicit RowFeed(std::shared_ptr<RowSet> rows);
    ~RowFeed() override;

    // The rows so far; grows on this thread until complete().
    std::shared_ptr<RowSet> rows() const { return m_rows; }
    bool complete() const { return m_complete; }
    // The server's message when the query failed ("" when it did not).
    QString error() const { return m_error; }
    // Throws qo::Error with the server's message when the query failed.
    void throwIfFailed() const;

    // Waits (events of the window system but the user's input are
    // processed) until more rows arrive, the rows are complete, or `ms` pass.
    void waitForMore(int ms);
    // Stops the query (the server is told to stop at once); what arrived stays.
    void stop();

Q_SIGNALS:
    void arrived(); // more rows, or the end of them

private:
    struct Shared;
    void take(const std::shared_ptr<RowSet> &batch, bool last, const QString &error);
    std::shared_ptr<RowSet> m_rows;
    std::shared_ptr<Shared> m_shared;
    bool m_complete = false;
    QString m_error;
};

} // namespace qo
