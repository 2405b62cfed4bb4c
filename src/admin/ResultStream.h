#pragma once
// A query's result read forwards from the server as its grid scrolls: the
// first page is shown as soon as the server has it, further pages follow
// while the result stays open on a connection of its own (the SQL console's).
// A jump to the end reads on to the end; the row count is known once the end
// has been read.
#include "ui/GridModel.h"

#include <functional>
#include <memory>

namespace qo {

class Connection;

class ResultStream : public RowSource {
public:
    ResultStream(Connection &db, GridModel *model) : m_db(db), m_model(model) {}
    ~ResultStream() override;
    ResultStream(const ResultStream &) = delete;
    ResultStream &operator=(const ResultStream &) = delete;

    // Rows read from the server at once when the rest is read on a worker.
    static constexpr int kReadBatch = 2000;

    // Runs the statement and puts its first page into the model (the result
    // stays open while more rows remain). Throws qo::Error; the model is then
    // empty.
    void open(const QString &sql);
    // open() in two steps, for a caller that runs the statement on a worker
    // thread: readFirstPage() talks only to the connection (the model is
    // left alone), show() then puts the page into the model.
    RowSet readFirstPage(const QString &sql);
    void show(RowSet firstPage);
    // Reads the unread rest of the result a batch at a time, on the thread
    // that holds the connection (the model is left alone): each batch (its
    // own RowSet, which take may keep) goes to take; between() runs before
    // every read and may throw to stop. Returns the rows read. The result
    // ends with its last row; on a throw it stays as far as it was read.
    qint64 readRest(const std::function<void(RowSet &batch)> &take, const std::function<void()> &between);
    // After readRest: the rows it read become the model's further rows, so
    // that the model holds the result whole, as a jump to its end leaves it.
    void showRest(RowSet rest);
    // After the rest of the result was read elsewhere (a copy to the
    // clipboard): the model holds the result's last rows, which end at row
    // `total`, and the result is closed.
    void showTail(RowSet tail, qint64 total);
    const QVector<RowSet::Field> &fields() const { return m_fields; }
    // Drops the unread rest of the result; the connection is free again and
    // keeps its session (variables, temporary tables, an open transaction).
    void close();
    bool isOpen() const;
    // Whether the stop close() sent to the server may still be on its way;
    // waits at most ms for it. The session's next statement waits for it, so
    // that the stop cannot break that one off instead.
    bool stopUnderWay(int ms) const;

    // RowSource
    RowSet fetch(const RowSet &held, bool before, int count) override;
    QString wholeSql() const override { return m_sql; }
    bool canJump() const override { return false; }

private:
    struct Kill;
    Connection &m_db;
    GridModel *m_model;
    QString m_sql;
    QVector<RowSet::Field> m_fields;
    RowSet m_pending; // rows read on a worker, handed to the model as its next pages
    int m_pendingAt = 0;
    std::shared_ptr<Kill> m_kill; // the last stop sent to the server
};

} // namespace qo
