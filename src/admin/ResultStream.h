#pragma once
// A query's result read forwards from the server as its grid scrolls: the
// first page is shown as soon as the server has it, further pages follow
// while the result stays open on a connection of its own (the SQL console's).
// A jump to the end reads on to the end; the row count is known once the end
// has been read.
#include "ui/GridModel.h"

namespace qo {

class Connection;

class ResultStream : public RowSource {
public:
    ResultStream(Connection &db, GridModel *model) : m_db(db), m_model(model) {}
    ~ResultStream() override;
    ResultStream(const ResultStream &) = delete;
    ResultStream &operator=(const ResultStream &) = delete;

    // Runs the statement and puts its first page into the model (the result
    // stays open while more rows remain). Throws qo::Error; the model is then
    // empty.
    void open(const QString &sql);
    // open() in two steps, for a caller that runs the statement on a worker
    // thread: readFirstPage() talks only to the connection (the model is
    // left alone), show() then puts the page into the model.
    RowSet readFirstPage(const QString &sql);
    void show(RowSet firstPage);
    // After the rest of the result was read elsewhere (a copy to the
    // clipboard): the model holds the result's last rows, which end at row
    // `total`, and the result is closed.
    void showTail(RowSet tail, qint64 total);
    const QVector<RowSet::Field> &fields() const { return m_fields; }
    // Drops the unread rest of the result; the connection is free again and
    // keeps its session (variables, temporary tables, an open transaction).
    void close();
    bool isOpen() const;
    // Reads the rest of the result into the model, so that it holds it whole.
    void readToEnd();

    // RowSource
    RowSet fetch(const RowSet &held, bool before, int count) override;
    QString wholeSql() const override { return m_sql; }
    bool canJump() const override { return false; }

private:
    Connection &m_db;
    GridModel *m_model;
    QString m_sql;
    QVector<RowSet::Field> m_fields;
};

} // namespace qo
