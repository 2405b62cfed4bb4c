#pragma once
// The table model behind every grid: columns picked from a RowSet with their
// captions, display masks and alignment; the sorted column painted MarkColor;
// per-row colours through a styling hook. Cells are decoded when painted.
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
    void setRowSet(RowSet rows);
    void clear();
    const RowSet &rows() const { return m_rows; }
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

private:
    void resolve();
    QVector<GridColumn> m_columns;
    bool m_autoColumns = true;
    RowSet m_rows;
    int m_marked = -1;
    Styler m_styler;
};

} // namespace qo
