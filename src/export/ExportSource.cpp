#include "export/ExportSource.h"
#include "base/Error.h"
#include "db/Connection.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"

#include <QHeaderView>
#include <mysql.h>

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

void ExportSource::readRows(const std::function<bool(const RowSet &)> &fn) const
{
    if (!m_sql.isEmpty()) {
        Connection::main().queryBatches(m_sql, kBatchRows, fn);
        return;
    }
    if (!m_rows)
        return;
    const GridModel *model = m_grid ? m_grid->gridModel() : nullptr;
    if (!model || model->complete()) {
        if (m_rows->rowCount() > 0)
            fn(*m_rows);
        return;
    }
    // A window of a longer list: the whole list afresh, a batch at a time.
    const QVector<RowSet::Field> &held = m_rows->fields();
    bool checked = false;
    Connection::main().queryBatches(model->wholeSql(), kBatchRows, [&](const RowSet &batch) {
        if (!checked) {
            bool same = batch.columnCount() == held.size();
            for (int i = 0; same && i < held.size(); ++i)
                same = batch.field(i).name == held[i].name;
            if (!same)
                throw Error(QStringLiteral("A lista oszlopai megváltoztak; frissítse a listát, és próbálja újra."));
            checked = true;
        }
        return fn(batch);
    });
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
