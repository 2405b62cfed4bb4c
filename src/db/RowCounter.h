#pragma once
// Counts rows in the background, on a connection of its own, so that a list
// can show its first rows at once and its row count a moment later while the
// main connection stays free. A newer request of the same owner makes an
// older one void: it is skipped if it has not started, and its answer is
// dropped if it has.
#include "db/Connection.h"

#include <QObject>
#include <QPointer>
#include <QVector>
#include <functional>

namespace qo {

class RowCounter {
public:
    static RowCounter &instance();
    ~RowCounter();

    // Runs each statement (one number each) on the server of params; done is
    // called on context's thread with the numbers, unless the request was
    // made void meanwhile or context is gone. A failure gives no answer.
    void request(const void *owner, const ConnectParams &params, const QStringList &sqls, QObject *context,
                 std::function<void(const QVector<qint64> &)> done);
    // Makes the owner's pending request void.
    void cancel(const void *owner);
    // Waits until nothing is queued or running (tests and benchmarks).
    void waitIdle();

private:
    RowCounter();
    struct Private;
    Private *d;
};

} // namespace qo
