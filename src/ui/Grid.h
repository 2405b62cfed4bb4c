#pragma once
// The read-only list grid every window uses: whole-row selection that stays
// visible without focus, fixed row height (cheap with 100,000 rows), column
// widths as shares of the width, typing into the grid handed to a search box,
// and a title click reported for sorting.
#include <QTableView>

namespace qo {

class GridModel;

class Grid : public QTableView {
    Q_OBJECT
public:
    explicit Grid(QWidget *parent = nullptr);

    void setGridModel(GridModel *model);
    GridModel *gridModel() const { return m_model; }
    int currentRowIndex() const; // -1 without rows
    void setCurrentRowIndex(int row);
    // Column widths as fractions of the width minus a margin. They are set
    // when the grid first gets its columns and again whenever the grid's own
    // width changes (its window was resized); in between, widths the user
    // dragged are kept (a new query, a scroll bar that comes or goes).
    void setColumnShares(QVector<double> shares, int margin);
    void applyColumnShares();
    // Letters and digits typed into the grid go to the search box instead.
    void setTypeToSearch(bool on) { m_typeToSearch = on; }

    // True when the character starts a search from inside a list.
    static bool isSearchStartChar(QChar lower);

Q_SIGNALS:
    void typedToSearch(const QString &lowerChar);
    void titleClicked(int column);
    void rowActivated(int row);        // double click
    void currentRowChanged(int row);

protected:
    void changeEvent(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void scrolledTo(int value);
    bool moveInList(QKeyEvent *e);
    GridModel *m_model = nullptr;
    bool m_fetchingBefore = false;
    QVector<double> m_shares;
    int m_margin = 0;
    int m_sharedWidth = -1;   // the grid width the shares were last applied for
    int m_sharedColumns = -1; // and the column count
    bool m_typeToSearch = true;
};

// The row count, ": " and the 1-based number of the current row ("120: 7").
QString RecordPositionText(const Grid *grid);

} // namespace qo
