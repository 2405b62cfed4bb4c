#include "ui/SearchList.h"

#include "base/Error.h"
#include "db/Connection.h"
#include "ui/Grid.h"
#include "db/SqlText.h"
#include "ui/MessageBoxes.h"

#include <QAction>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace qo {

SearchList::SearchList(QWidget *parent, Placement placement)
    : QDialog(parent)
{
    setWindowFlags((windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)
                   & ~Qt::WindowContextHelpButtonHint);
    setSizeGripEnabled(false); // the status bar has its own grip

    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolbar->setIconSize(QSize(16, 16));

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("Edit1"));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);

    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("Label1"));
    QFont hf = m_heading->font();
    hf.setBold(true);
    m_heading->setFont(hf);

    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_page = new ListPage(m_grid, this);

    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_counter = new QLabel(m_status);
    m_counter->setMinimumWidth(m_counter->fontMetrics().horizontalAdvance(QStringLiteral("000000: 000000")) + 8);
    m_status->addWidget(m_counter);

    auto *panel = new QHBoxLayout;
    panel->setContentsMargins(4, 4, 4, 4);
    panel->addWidget(m_search, 1);
    panel->addSpacing(12);
    panel->addWidget(m_heading, 0, Qt::AlignRight | Qt::AlignVCenter);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);
    main->addWidget(m_toolbar);
    main->addLayout(panel);
    main->addWidget(m_grid, 1);
    main->addWidget(m_status);

    connect(m_search, &QLineEdit::textChanged, this, &SearchList::searchTextChanged);
    connect(m_grid, &Grid::typedToSearch, this, &SearchList::typedToSearch);
    connect(m_grid, &Grid::titleClicked, this, &SearchList::sortByColumn);
    connect(m_grid, &Grid::rowActivated, this, [this](int) { activateRow(); });
    connect(m_grid, &Grid::currentRowChanged, this, [this](int) { updateCounter(); });

    resize(640, 420);
    InstallFormBehaviour(this, placement, FormOption::FocusColour | FormOption::EscCancels | FormOption::FontSize);
    updateCounter();
}

SearchList::~SearchList() = default;

void SearchList::setQuery(const ListSql &sql)
{
    m_page->setQuery(sql);
    m_page->setSearchColumns(QString()); // a window names what its search looks in
}

void SearchList::setColumns(const QVector<GridColumn> &columns, const QVector<double> &shares, int margin)
{
    m_page->setColumns(columns, shares, margin);
}

void SearchList::setSearchColumns(const QString &columns, SearchKind kind)
{
    m_page->setSearchColumns(columns, kind);
}

void SearchList::setHeading(const QString &text) { m_heading->setText(text); }

QAction *SearchList::addCommand(const QString &name, const QString &caption, const QKeySequence &shortcut,
                                const QString &iconName, const QString &hint)
{
    auto *a = new QAction(caption, this);
    a->setObjectName(name);
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    if (!iconName.isEmpty())
        a->setIcon(QIcon::fromTheme(iconName));
    const QString tip = hint.isEmpty() ? caption : hint;
    a->setToolTip(tip);
    a->setStatusTip(tip);
    // On the window itself, so that its shortcut works wherever it is shown.
    QDialog::addAction(a);
    return a;
}

QAction *SearchList::addCommand(Command c, const QString &caption, const QString &hint)
{
    QAction *a = nullptr;
    switch (c) {
    case Command::New:
        a = addCommand(QStringLiteral("aUj"), caption, QKeySequence(Qt::Key_Insert), QStringLiteral("document-new"), hint);
        break;
    case Command::Edit:
        a = addCommand(QStringLiteral("aSzerkeszt"), caption, QKeySequence(Qt::Key_F2), QStringLiteral("document-edit"), hint);
        break;
    case Command::Delete:
        a = addCommand(QStringLiteral("aTorol"), caption, QKeySequence(Qt::CTRL | Qt::Key_Delete),
                       QStringLiteral("edit-delete"), hint);
        break;
    case Command::Refresh:
        a = addCommand(QStringLiteral("aFrissit"), caption, QKeySequence(Qt::Key_F5), QStringLiteral("view-refresh"), hint);
        connect(a, &QAction::triggered, this, &SearchList::refresh);
        break;
    case Command::Accept:
        a = addCommand(QStringLiteral("aElfogad"), caption, {}, QStringLiteral("dialog-ok"), hint);
        a->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
        connect(a, &QAction::triggered, this, &QDialog::accept);
        break;
    case Command::Close:
        a = addCommand(QStringLiteral("aBezar"), caption, QKeySequence(Qt::Key_Escape), QStringLiteral("window-close"), hint);
        connect(a, &QAction::triggered, this, &QDialog::reject);
        break;
    }
    m_commands.insert(c, a);
    return a;
}

void SearchList::fillMenu(QWidget *target, const QList<QAction *> &actions)
{
    for (QAction *a : actions) {
        if (a) {
            target->addAction(a);
        } else {
            auto *sep = new QAction(target);
            sep->setSeparator(true);
            target->addAction(sep);
        }
    }
}

void SearchList::setToolbar(const QList<QAction *> &actions)
{
    m_toolbar->clear();
    for (QAction *a : actions) {
        if (a)
            m_toolbar->addAction(a);
        else
            m_toolbar->addSeparator();
    }
}

void SearchList::setContextMenu(const QList<QAction *> &actions)
{
    const auto old = m_grid->actions();
    for (QAction *a : old)
        m_grid->removeAction(a);
    fillMenu(m_grid, actions);
}

bool SearchList::hasCurrentRow() const { return m_grid->currentRowIndex() >= 0; }

void SearchList::clearCurrentRow()
{
    m_grid->selectionModel()->clear();
    updateCounter();
}

qint64 SearchList::currentKey() const { return m_page->currentKey(); }

QString SearchList::currentText(const QString &field) const { return m_page->currentText(field); }

void SearchList::openRows() { m_page->query().open(); }

bool SearchList::openAndStand(const std::function<int()> &rowToStandOn)
{
    bool ok = true;
    try {
        openRows();
    } catch (const Error &e) {
        ok = false;
        showError(e.message());
    }
    int row = rowToStandOn();
    if (row < 0 && model()->rowCount() > 0)
        row = 0;
    m_grid->setCurrentRowIndex(row);
    updateCounter();
    return ok;
}

bool SearchList::reopen(qint64 positionKey)
{
    return openAndStand([&] { return m_page->locate(positionKey); });
}

bool SearchList::reopenOn(const QString &field, const QString &value)
{
    return openAndStand([&] {
        const RowSet &rs = model()->rows();
        const int c = rs.fieldIndex(field);
        for (int r = 0; c >= 0 && r < rs.rowCount(); ++r)
            if (rs.text(r, c) == value)
                return r;
        return -1;
    });
}

QString SavedRowSearchClearedText()
{
    return QStringLiteral("A keresést töröltem, hogy a mentett sor látható legyen.");
}

void SearchList::showSaved(qint64 key)
{
    if (!reopen(key) || currentKey() == key || m_search->text().isEmpty())
        return;
    m_search->clear(); // re-queries when the box held text
    reopen(key);
    if (currentKey() == key)
        m_status->showMessage(SavedRowSearchClearedText(), 10000);
}

void SearchList::refresh()
{
    const QString keyField = m_page->keyField();
    if (!hasCurrentRow() || keyField.isEmpty()) {
        reopen(-1);
        return;
    }
    const RowSet &rs = model()->rows();
    const int c = rs.fieldIndex(keyField);
    if (c >= 0 && rs.field(c).kind == RowSet::Kind::Text)
        reopenOn(keyField, currentText(keyField));
    else
        reopen(currentKey());
}

QString SearchList::searchCondition(const QString &text) const { return m_page->searchCondition(text); }

void SearchList::searchTextChanged(const QString &text)
{
    try {
        m_page->search(searchCondition(text), text);
    } catch (const Error &e) {
        showError(e.message()); // the list stays empty until the next successful search
        m_grid->setCurrentRowIndex(model()->rowCount() > 0 ? 0 : -1);
    }
    updateCounter();
}

void SearchList::sortByColumn(int column)
{
    if (!m_page->sortBy(column))
        return;
    refresh();
    model()->setMarkedColumn(column);
    focusSearchBox();
}

void SearchList::focusSearchBox()
{
    // A list without a search box (hidden) keeps the keys on its grid.
    if (m_search->isHidden())
        m_grid->setFocus(Qt::OtherFocusReason);
    else
        m_search->setFocus(Qt::OtherFocusReason);
}

void SearchList::typedToSearch(const QString &lowerChar)
{
    m_search->setFocus(Qt::OtherFocusReason);
    m_search->setText(lowerChar);
    m_search->setCursorPosition(int(m_search->text().size()));
}

void SearchList::activateRow()
{
    if (!hasCurrentRow())
        return;
    if (QAction *a = command(Command::Accept))
        a->trigger();
    else if (QAction *e = command(Command::Edit))
        e->trigger();
}

bool SearchList::deleteCurrentRow(const std::function<void(qint64)> &remove)
{
    if (!hasCurrentRow())
        return false;
    if (!AskConfirm(QStringLiteral("Valóban töröljem a sort?"), QStringLiteral("Megerősítés"), this))
        return false;
    // The row after it takes its place (the one before it at the end).
    const int row = m_grid->currentRowIndex();
    const auto [after, before] = m_page->neighbourKeys();
    const qint64 next = after >= 0 ? after : before;
    try {
        remove(currentKey());
    } catch (const Error &e) {
        // 1451: rows of other tables still refer to this one (foreign key).
        QString text = QStringLiteral("Hiba: ") + e.message();
        if (e.code() == 1451)
            text = deleteRefusedText() + QStringLiteral("\n\n") + text;
        ShowError(text, this);
        refresh();
        return false;
    }
    reopen(next);
    if (next < 0) { // a list keyed by text: the same place in the list
        m_grid->setCurrentRowIndex(qMin(row, model()->rowCount() - 1));
        updateCounter();
    }
    return true;
}

QString SearchList::deleteRefusedText() const
{
    return QStringLiteral("A sor nem törölhető, mert más adatok hivatkoznak rá.");
}

void SearchList::showError(const QString &message) { ShowError(QStringLiteral("Hiba: ") + message, this); }

void SearchList::updateCounter() { m_counter->setText(RecordPositionText(m_grid)); }

void SearchList::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_grid->applyColumnShares();
        focusSearchBox();
    }
}

bool SearchList::eventFilter(QObject *obj, QEvent *e)
{
    if (obj == m_search) {
        if (e->type() == QEvent::ShortcutOverride) {
            // The window's commands win over the search box's own editing keys
            // (Ctrl+Del deletes the row, not the next word).
            const QKeySequence typed(static_cast<QKeyEvent *>(e)->keyCombination());
            const auto windowActions = actions();
            for (QAction *a : windowActions)
                if (a->isEnabled() && a->shortcuts().contains(typed)) {
                    e->ignore();
                    return true;
                }
        } else if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(e)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
                m_grid->setFocus(Qt::OtherFocusReason);
                return true;
            }
        } else if (e->type() == QEvent::FocusIn) {
            // Entering the search box selects its text; a mouse click would
            // undo it at once, so then it is done after the click.
            if (static_cast<QFocusEvent *>(e)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, m_search, &QLineEdit::selectAll);
            else
                m_search->selectAll();
        }
    }
    return QDialog::eventFilter(obj, e);
}

} // namespace qo
