#pragma once
// What every export writes: the columns of a result (name, caption, kind,
// alignment, width on screen) and its rows. The export dialog, the HTML
// page's callers, the SQL console, the reports and the work-order browser all
// describe their data this way, so one set of writers serves them all.
//
// The rows are handed to the writers in batches: a fully read result as one
// batch; a list on screen that holds only a window of its rows is read afresh
// from the server in batches, so that writing it out holds no more than a
// batch. The source refers to the caller's RowSet or grid; it must outlive
// the export.
#include "db/RowSet.h"

#include <QString>
#include <QVector>
#include <functional>
#include <memory>

namespace qo {

class Grid;
class GridModel;

struct ExportColumn {
    int field = -1;        // index in the row set
    QString name;          // the field name
    QString label;         // the caption shown in the program (the name when none)
    RowSet::Kind kind = RowSet::Kind::Text;
    int serverType = 0;    // the client library's field type
    int length = 0;        // declared length
    Qt::Alignment align = Qt::AlignLeft;
    bool visible = true;   // spreadsheet files leave hidden columns out
    int widthPx = 0;       // width on screen, 0 when not shown
    QString mask;          // display mask of the grid ("### ### ##0"), for the spreadsheet's number format
};

class ExportSource {
public:
    ExportSource() = default;
    // Every field of the row set under its own name, in field order.
    explicit ExportSource(const RowSet &rows);
    // Every field of the grid's rows in field order; the fields the grid
    // shows take its captions, alignment, masks and widths. After an export
    // into a file or the clipboard the grid stands on its last row.
    explicit ExportSource(const Grid *grid);
    // Every field of a query's result, read afresh from the main connection
    // in batches while it is written (never held whole).
    static ExportSource ofQuery(const QString &sql);

    const QVector<ExportColumn> &columns() const { return m_columns; }
    QVector<ExportColumn> &columns() { return m_columns; }
    const Grid *grid() const { return m_grid; }

    // The number of rows when known before they are read: the rows held, or
    // the count of a windowed list once counted; -1 while not known.
    qint64 knownRowCount() const;
    // Hands every row to fn in batches, in list order (a column's `field` is
    // its index in each batch); fn returns false to stop. Throws qo::Error
    // when the list cannot be read. Rows read from the server come from a
    // worker thread on the main connection (the server may take seconds
    // before its first row); meanwhile `waiting` is called every few
    // hundredths of a second on this thread, so that the progress window
    // repaints. An exception of fn or waiting (the user's stop) stops the
    // server's statement and is passed on.
    void readRows(const std::function<bool(const RowSet &batch)> &fn,
                  const std::function<void()> &waiting = {}) const;
    // The rows of a batch read from the server.
    static constexpr int kBatchRows = 2000;

    // A memo (long text) column: TEXT-type columns the server sends as text.
    static bool isMemo(const ExportColumn &c);
    // Binary large objects.
    static bool isBinary(const ExportColumn &c);

private:
    QString m_sql;                  // a query read in batches
    std::shared_ptr<RowSet> m_shape; // its fields, without rows
    const RowSet *m_rows = nullptr;
    const Grid *m_grid = nullptr;
    QVector<ExportColumn> m_columns;
};

} // namespace qo
