#include "export/ExportSource.h"
#include "base/Error.h"
#include "db/Connection.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"

#include <QHeaderView>
#include <mysql.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace qo {

static ExportColumn columnOf(const RowSet &rows, int i)
{
    const RowSet::Field &f = rows.field(i);
    ExportColumn c;
    c.field = i;
    c.name = f.name;
    c.label = f.name;
    c.kind = f.kind;
    c.serverType = f.serverType;
    c.length = f.length;
    const bool number = f.kind == RowSet::Kind::Integer || f.kind == RowSet::Kind::Float;
    c.align = number ? Qt::AlignRight : Qt::AlignLeft;
    return c;
}

ExportSource::ExportSource(const RowSet &rows) : m_rows(&rows)
{
    for (int i = 0; i < rows.columnCount(); ++i)
        m_columns.push_back(columnOf(rows, i));
}

ExportSource::ExportSource(const Grid *grid) : m_grid(grid)
{
    const GridModel *model = grid->gridModel();
    m_rows = &model->rows();
    for (int i = 0; i < m_rows->columnCount(); ++i)
        m_columns.push_back(columnOf(*m_rows, i));
    const QVector<GridColumn> &shown = model->columns();
    for (int gc = 0; gc < shown.size(); ++gc) {
        const GridColumn &g = shown[gc];
        if (g.index < 0)
            continue;
        ExportColumn &c = m_columns[g.index];
        if (!g.caption.isEmpty())
            c.label = g.caption;
        if (g.align)
            c.align = g.align & Qt::AlignHorizontal_Mask;
        c.mask = g.mask;
        c.widthPx = grid->isColumnHidden(gc) ? 0 : grid->columnWidth(gc);
    }
}

ExportSource ExportSource::ofQuery(const QString &sql)
{
    QString text = sql.trimmed();
    while (text.endsWith(QLatin1Char(';')))
        text = text.chopped(1).trimmed();
    ExportSource s;
    s.m_sql = text;
    // The fields alone: the server plans the query but sends no row.
    s.m_shape = std::make_shared<RowSet>(
        Connection::main().query(QStringLiteral("SELECT * FROM (%1) AS q LIMIT 0").arg(text)));
    s.m_rows = s.m_shape.get();
    for (int i = 0; i < s.m_rows->columnCount(); ++i)
        s.m_columns.push_back(columnOf(*s.m_rows, i));
    return s;
}

qint64 ExportSource::knownRowCount() const
{
    if (!m_sql.isEmpty())
        return -1;
    if (m_grid && !m_grid->gridModel()->complete())
        return m_grid->gridModel()->totalCount();
    return m_rows ? m_rows->rowCount() : 0;
}

namespace {

// The rows of sql read on a worker thread and handed over a batch at a time
// (at most two waiting), so that the calling thread never waits on the server
// for long. The worker reads on a link of its own with the parameters of
// `like`: the window's thread keeps its events flowing meanwhile, and whatever
// they run on the main connection (a timer's query, a page the grid asks for)
// never meets the worker's read on the same link.
class BackgroundRead {
public:
    BackgroundRead(const Connection &like, const QString &sql, int batchRows)
    {
        m_db.open(like.params());
        m_worker = std::thread([this, sql, batchRows] {
            Connection::threadInit();
            try {
                m_db.queryBatches(sql, batchRows, [this](const RowSet &batch) {
                    std::unique_lock<std::mutex> lock(m_mutex);
                    m_changed.wait(lock, [this] { return m_queue.size() < 2 || m_stop; });
                    if (m_stop)
                        return false;
                    m_queue.push_back(batch);
                    m_changed.notify_all();
                    return true;
                });
            } catch (...) {
                const std::lock_guard<std::mutex> lock(m_mutex);
                m_failure = std::current_exception();
            }
            Connection::threadEnd();
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_ended = true;
            m_changed.notify_all();
        });
    }

    ~BackgroundRead() { stop(); }

    // The next batch into `batch`; false at the end. Calls waiting while
    // there is none yet.
    bool next(RowSet &batch, const std::function<void()> &waiting)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (m_queue.empty() && !m_ended) {
            if (m_changed.wait_for(lock, std::chrono::milliseconds(10), [this] { return !m_queue.empty() || m_ended; }))
                break;
            if (waiting) {
                lock.unlock();
                waiting();
                lock.lock();
            }
        }
        if (m_queue.empty()) {
            if (m_failure)
                std::rethrow_exception(m_failure);
            return false;
        }
        batch = std::move(m_queue.front());
        m_queue.pop_front();
        m_changed.notify_all();
        return true;
    }

    // Ends the worker: a statement still running is stopped on the server
    // (its unread rows are not fetched); the link goes with this object.
    void stop()
    {
        if (!m_worker.joinable())
            return;
        bool running;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
            running = !m_ended;
            m_changed.notify_all();
        }
        if (running && m_db.sessionId()) {
            try {
                KillQueryOf(m_db.params(), m_db.server(), m_db.sessionId());
            } catch (const Error &) {
                // The rest is read and dropped instead; only slower.
            }
        }
        m_worker.join();
    }

private:
    Connection m_db;
    std::thread m_worker;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<RowSet> m_queue;
    std::exception_ptr m_failure;
    bool m_stop = false;
    bool m_ended = false;
};

} // namespace

void ExportSource::readRows(const std::function<bool(const RowSet &)> &fn, const std::function<void()> &waiting) const
{
    const GridModel *model = m_grid ? m_grid->gridModel() : nullptr;
    if (m_sql.isEmpty()) {
        if (!m_rows)
            return;
        if (!model || model->complete()) {
            if (m_rows->rowCount() > 0)
                fn(*m_rows);
            return;
        }
    }
    // A query, or a window of a longer list: the whole afresh, a batch at a time.
    const QVector<RowSet::Field> &held = m_rows->fields();
    bool checked = !m_sql.isEmpty();
    BackgroundRead read(Connection::main(), m_sql.isEmpty() ? model->wholeSql() : m_sql, kBatchRows);
    RowSet batch;
    while (read.next(batch, waiting)) {
        if (!checked) {
            bool same = batch.columnCount() == held.size();
            for (int i = 0; same && i < held.size(); ++i)
                same = batch.field(i).name == held[i].name;
            if (!same)
                throw Error(QStringLiteral("A lista oszlopai megváltoztak; frissítse a listát, és próbálja újra."));
            checked = true;
        }
        if (!fn(batch))
            break;
    }
}

bool ExportSource::isMemo(const ExportColumn &c)
{
    if (c.kind != RowSet::Kind::Text)
        return false;
    switch (c.serverType) {
    case MYSQL_TYPE_TINY_BLOB: case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB: case MYSQL_TYPE_BLOB:
        return true;
    default:
        return false;
    }
}

bool ExportSource::isBinary(const ExportColumn &c)
{
    return c.kind == RowSet::Kind::Binary;
}

} // namespace qo
