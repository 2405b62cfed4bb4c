#include "ui/Grid.h"
#include "ui/GridModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

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
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex &i) { Q_EMIT rowActivated(i.row()); });
}

void Grid::setGridModel(GridModel *model)
{
    m_model = model;
    setModel(model);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &cur) { Q_EMIT currentRowChanged(cur.isValid() ? cur.row() : -1); });
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

void Grid::keyPressEvent(QKeyEvent *e)
{
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
    const int rows = grid->model() ? grid->model()->rowCount() : 0;
    return QStringLiteral("%1: %2").arg(rows).arg(grid->currentRowIndex() + 1);
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
