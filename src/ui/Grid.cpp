#include "ui/Grid.h"
#include "ui/GridModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include "ui/MessageBoxes.h"

namespace qo {

namespace {

// Selected rows keep the highlight but may ask for their own text colour
// (a due reminder shows yellow text in the selected row).
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void initStyleOption(QStyleOptionViewItem *opt, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(opt, index);
        if (opt->state & QStyle::State_Selected) {
            const QVariant c = index.data(GridModel::SelectedForegroundRole);
            if (c.isValid()) {
                opt->palette.setColor(QPalette::Active, QPalette::HighlightedText, c.value<QColor>());
                opt->palette.setColor(QPalette::Inactive, QPalette::HighlightedText, c.value<QColor>());
            }
        }
    }
};

} // namespace

Grid::Grid(QWidget *parent) : QTableView(parent)
{
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setAlternatingRowColors(false);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    setItemDelegate(new GridDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &Grid::titleClicked);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &Grid::scrolledTo);
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex &i) { Q_EMIT rowActivated(i.row()); });
}

void Grid::setGridModel(GridModel *model)
{
    m_model = model;
    setModel(model);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &cur) { Q_EMIT currentRowChanged(cur.isValid() ? cur.row() : -1); });
    // The count of a long list comes later: the position text is redrawn.
    connect(model, &GridModel::countsChanged, this, [this] { Q_EMIT currentRowChanged(currentRowIndex()); });
    connect(model, &GridModel::fetchFailed, this, [this](const QString &message) {
        // Not from inside the scroll or paint that asked for the rows.
        QTimer::singleShot(0, this, [this, message] { ShowError(QStringLiteral("Hiba: ") + message, this); });
    });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_sharedColumns != m_model->columnCount())
            applyColumnShares(); // new columns; the same ones keep the user's widths
        if (m_model->rowCount() == 0)
            Q_EMIT currentRowChanged(-1);
    });
}

int Grid::currentRowIndex() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void Grid::setCurrentRowIndex(int row)
{
    if (!m_model || row < 0 || row >= m_model->rowCount()) {
        Q_EMIT currentRowChanged(currentRowIndex());
        return;
    }
    int col = currentIndex().isValid() ? currentIndex().column() : 0;
    if (col >= m_model->columnCount())
        col = 0;
    const QModelIndex i = m_model->index(row, col);
    const bool same = currentIndex() == i;
    setCurrentIndex(i);
    scrollTo(i);
    if (same)
        Q_EMIT currentRowChanged(row);
}

void Grid::setColumnShares(QVector<double> shares, int margin)
{
    m_shares = std::move(shares);
    m_margin = margin;
    applyColumnShares();
}

void Grid::applyColumnShares()
{
    if (m_shares.isEmpty() || !m_model)
        return;
    const int w = viewport()->width() + (verticalScrollBar()->isVisible() ? verticalScrollBar()->width() : 0) - m_margin;
    for (int c = 0; c < m_shares.size() && c < m_model->columnCount(); ++c)
        setColumnWidth(c, qRound(w * m_shares[c]));
    m_sharedWidth = width();
    m_sharedColumns = m_model->columnCount();
}

bool Grid::isSearchStartChar(QChar c)
{
    static const QString accented = QStringLiteral("áéíóöőúüű");
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        || accented.contains(c);
}

// Rows before the window are read when the view reaches its top: the rows
// shown stay where they were, the new ones above them.
void Grid::scrolledTo(int value)
{
    if (!m_model || value != verticalScrollBar()->minimum() || m_model->atStart() || m_fetchingBefore)
        return;
    m_fetchingBefore = true;
    const int n = m_model->fetchBefore();
    if (n > 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + n);
    m_fetchingBefore = false;
}

// Home and End (with or without Ctrl) go to the list's first and last row;
// in a long list that is a jump to a window read at that end. Moving past
// either end of the window reads the next page first.
bool Grid::moveInList(QKeyEvent *e)
{
    if (!m_model || (e->modifiers() & ~(Qt::ControlModifier | Qt::KeypadModifier)))
        return false;
    const int row = currentRowIndex();
    switch (e->key()) {
    case Qt::Key_Home:
        m_model->jumpToStart();
        setCurrentRowIndex(0);
        return true;
    case Qt::Key_End:
        m_model->jumpToEnd();
        setCurrentRowIndex(m_model->rowCount() - 1);
        return true;
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        if (m_model->complete())
            return false;
        if (row <= 0 || (e->key() == Qt::Key_PageUp && row < viewport()->height() / qMax(1, rowHeight(0))))
            scrolledTo(verticalScrollBar()->minimum());
        return false;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        if (!m_model->complete() && m_model->canFetchMore({}) && row >= m_model->rowCount() - viewport()->height() / qMax(1, rowHeight(0)) - 1)
            m_model->fetchMore({});
        return false;
    default:
        return false;
    }
}

void Grid::keyPressEvent(QKeyEvent *e)
{
    if (moveInList(e))
        return;
    const QString t = e->text();
    if (m_typeToSearch && t.size() == 1 && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const QChar lower = t.at(0).toLower();
        if (isSearchStartChar(lower)) {
            Q_EMIT typedToSearch(QString(lower));
            return;
        }
    }
    QTableView::keyPressEvent(e);
}

void Grid::changeEvent(QEvent *e)
{
    QTableView::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
        applyColumnShares();
    }
}

QString RecordPositionText(const Grid *grid)
{
    const GridModel *m = grid->gridModel();
    const int row = grid->currentRowIndex();
    if (!m)
        return QStringLiteral("0: %1").arg(row + 1);
    // A long list's count and place come a moment after its first rows.
    const QString ellipsis(QChar(0x2026));
    const QString total = m->totalCount() >= 0 ? QString::number(m->totalCount()) : ellipsis;
    const QString current = row < 0 ? QStringLiteral("0") : m->offset() >= 0 ? QString::number(m->offset() + row + 1) : ellipsis;
    return total + QStringLiteral(": ") + current;
}

void Grid::resizeEvent(QResizeEvent *e)
{
    QTableView::resizeEvent(e);
    // Also called when only the viewport changed (a scroll bar appeared
    // after a query): that is no resize of the window.
    if (width() != m_sharedWidth)
        applyColumnShares();
}

} // namespace qo
