#include "export/ExportSource.h"
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
