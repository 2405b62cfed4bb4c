#pragma once
// The table model behind every grid: columns picked from a RowSet with their
// captions, display masks and alignment; the sorted column painted MarkColor;
// per-row colours through a styling hook. Cells are decoded when painted.
//
// A long list is held as a window: the rows read so far, one stretch of the
// whole list. A RowSource reads further pages as the grid scrolls past either
// end of the window, or a new window at the list's start or end for a jump.
// The row count and the window's place in the list may come a moment later
// (countsChanged); until then they are unknown (-1).
#include "db/RowSet.h"

#include <QAbstractTableModel>
#include <QColor>
#include <functional>

namespace qo {

struct GridColumn {
    GridColumn() = default;
    GridColumn(QString f, QString c, QString m = {}, Qt::Alignment a = {})
        : field(std::move(f)), caption(std::move(c)), mask(std::move(m)), align(a) {}
    QString field;
    QString caption;
    QString mask;            // number mask such as "### ### ##0"; "00000" pads with zeros
    Qt::Alignment align = {}; // empty: numbers right, everything else left
    int index = -1;          // resolved field index in the row set
};

// Colours of one cell; the hook leaves what it does not change invalid.
struct CellStyle {
    QColor background;
    QColor foreground;
    QColor selectedForeground; // text colour while the row is selected
};

// Where a windowed list's further rows come from.
class RowSource {
public:
    virtual ~RowSource() = default;
    // Up to count rows after the last row of held, or before its first when
    // `before`, in list order; with held empty: the list's first rows, or
    // with `before` its last ones.
    virtual RowSet fetch(const RowSet &held, bool before, int count) = 0;
    // The whole list's query, for whoever reads it all (printouts, exports).
    virtual QString wholeSql() const = 0;
    // False for a source that only reads forwards (a result streamed from
    // the server): a jump to the end reads on to the end instead.
    virtual bool canJump() const { return true; }
};

// The text a cell of the column shows for a row of rows, masks applied: what
// a grid paints, and what printouts and exports write of a list read afresh.
QString CellText(const RowSet &rows, int row, const GridColumn &column);


class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Roles { SelectedForegroundRole = Qt::UserRole + 1 };
    using Styler = std::function<void(const RowSet &rows, int row, int column, bool marked, CellStyle &style)>;

    explicit GridModel(QObject *parent = nullptr);

    // With no columns given, every field of the row set is shown under its name.
    void setColumns(QVector<GridColumn> columns);
    const QVector<GridColumn> &columns() const { return m_columns; }
    void setMask(const QString &field, const QString &mask);
    // A complete list.
    void setRowSet(RowSet rows);
    // A window of a longer list; offset is the place of its first row in the
    // list (-1 when not yet known).
    void setWindow(RowSet rows, RowSource *source, bool atStart, bool atEnd, qint64 offset);
    void clear();
    // The rows held: the whole list when complete(), else the window.
    const RowSet &rows() const { return m_rows; }
    bool complete() const { return m_atStart && m_atEnd; }
    bool atStart() const { return m_atStart; }
    bool atEnd() const { return m_atEnd; }
    // The whole list's query when only a window is held, else "".
    QString wholeSql() const { return !complete() && m_source ? m_source->wholeSql() : QString(); }
    // Every row of the list: the rows held when complete, else the whole
    // list read afresh on the main connection, in the window's order.
    RowSet wholeList() const;
    // Rows in the whole list and the list position of held row 0; -1 unknown.
    qint64 totalCount() const { return m_total; }
    qint64 offset() const { return m_offset; }
    // Counts from the background: the list's size, and how many rows come
    // before the row that was first when they were asked for.
    // `window` is windowId() when they were asked for; a count of rows before
    // a window since replaced by a jump is dropped.
    void setCounts(quint64 window, qint64 total, qint64 before);
    quint64 windowId() const { return m_windowId; }
    // Reads rows before the window (a page); the number read.
    int fetchBefore();
    // Replaces the window with the list's first or last page (a jump).
    void jumpToStart() { jump(false); }
    void jumpToEnd() { jump(true); }
    // The source's first page was slow (see fetchPage): read large pages from now on.
    void readLargePages() { m_pageAfter = m_pageBefore = kLargestPage; }
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    void setStyler(Styler s) { m_styler = std::move(s); }
    void setMarkedColumn(int column);
    int markedColumn() const { return m_marked; }
    // The model column showing a field, or -1.
    int columnOf(const QString &field) const;
    QString fieldOf(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // The text a cell shows, masks applied (also used by printouts and exports).
    QString displayText(int row, int column) const;

    // The first page a window holds, and the largest page read at once.
    static constexpr int kFirstPage = 200;
    static constexpr int kLargestPage = 32768;
    static constexpr int kSlowPageMs = 150;

Q_SIGNALS:
    void countsChanged();
    void fetchFailed(const QString &message);

private:
    void resolve();
    void resetWindow(RowSet rows, bool atStart, bool atEnd, qint64 offset);
    void jump(bool toEnd);
    RowSet fetchPage(bool before, int count, bool *failed);
    QVector<GridColumn> m_columns;
    RowSource *m_source = nullptr;
    bool m_atStart = true, m_atEnd = true;
    bool m_fetchFailed = false;
    qint64 m_offset = 0, m_total = 0;
    quint64 m_windowId = 0;
    qint64 m_prepended = 0; // rows read before the window since the counts were asked for
    int m_pageAfter = kFirstPage, m_pageBefore = kFirstPage;
    bool m_autoColumns = true;
    RowSet m_rows;
    int m_marked = -1;
    Styler m_styler;
};

} // namespace qo
