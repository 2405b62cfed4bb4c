#include "admin/UserList.h"

#include "admin/UserEditor.h"
#include "admin/UserStore.h"
#include "base/Error.h"
#include "config/AppState.h"
#include "db/Connection.h"
#include "ui/Grid.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowKeys.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>

namespace qo {

namespace {

constexpr int kRightsWidth = 77;
constexpr int kRightsColumns = 2 * kRightsWidth + 40;

// A right: a green tick for "I", a red cross for anything else (NULL too),
// drawn near the left of the cell instead of the text.
class RightsDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const bool on = opt.text == QLatin1String("I");
        opt.text.clear();
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, p, opt.widget);
        const int s = qMin(opt.rect.height() - 6, 12);
        const QRectF box(opt.rect.left() + 6, opt.rect.center().y() - s / 2.0, s, s);
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        QPen pen(on ? QColor(0, 150, 0) : QColor(210, 0, 0), 2.2);
        pen.setCapStyle(Qt::RoundCap);
        p->setPen(pen);
        if (on) {
            QPainterPath tick;
            tick.moveTo(box.left(), box.top() + box.height() * 0.55);
            tick.lineTo(box.left() + box.width() * 0.38, box.bottom());
            tick.lineTo(box.right(), box.top());
            p->drawPath(tick);
        } else {
            p->drawLine(box.topLeft(), box.bottomRight());
            p->drawLine(box.topRight(), box.bottomLeft());
        }
        p->restore();
    }
};

} // namespace

UserList::UserList(QWidget *parent) : SearchList(parent, Placement::Full)
{
    setObjectName(WindowKeys::kUserList);
    setWindowTitle(QStringLiteral("Felhasználók adatai"));
    setHeading(QStringLiteral("Felhasználók"));
    setQuery(UserStore::list());
    setColumns({{QStringLiteral("felhasznalo"), QStringLiteral("Kód")},
                {QStringLiteral("felhasznalo_nev"), QStringLiteral("Felhasználó")},
                {QStringLiteral("rendszergazda"), QStringLiteral("Rendszergazda")},
                {QStringLiteral("torzsszerkeszt"), QStringLiteral("Törzs.szerk.")}},
               {0.33, 0.67}, kRightsColumns);
    // No search here, and no re-sorting: the code column stays marked.
    searchBox()->hide();
    grid()->setTypeToSearch(false);
    grid()->horizontalHeader()->setSectionsClickable(false);
    grid()->setItemDelegateForColumn(2, new RightsDelegate(grid()));
    grid()->setItemDelegateForColumn(3, new RightsDelegate(grid()));

    aUj = addCommand(Command::New, QStringLiteral("Új"));
    aSzerkeszt = addCommand(Command::Edit, QStringLiteral("Szerkeszt"));
    grid()->installEventFilter(this); // Enter in the list edits the row
    aTorol = addCommand(Command::Delete, QStringLiteral("Töröl"));
    aBezar = addCommand(Command::Close, QStringLiteral("Bezár"));
    connect(aUj, &QAction::triggered, this, &UserList::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &UserList::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &UserList::aTorolExecute);
    setToolbar({aUj, aSzerkeszt, aTorol, nullptr, aBezar});
    setContextMenu({aUj, aSzerkeszt, aTorol, nullptr, aBezar});

    // A re-read list gets default widths back from the header.
    connect(model(), &QAbstractItemModel::modelReset, this, &UserList::applyColumnWidths, Qt::QueuedConnection);
    resize(560, 380);
    reopen(-1);
}

void UserList::resizeEvent(QResizeEvent *e)
{
    SearchList::resizeEvent(e);
    applyColumnWidths();
}

bool UserList::eventFilter(QObject *obj, QEvent *e)
{
    if (obj == grid() && e->type() == QEvent::KeyPress) {
        const auto *ke = static_cast<QKeyEvent *>(e);
        if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) && !(ke->modifiers() & ~Qt::KeypadModifier)) {
            aSzerkeszt->trigger();
            return true;
        }
    }
    return SearchList::eventFilter(obj, e);
}

void UserList::applyColumnWidths()
{
    grid()->applyColumnShares();
    grid()->setColumnWidth(2, kRightsWidth);
    grid()->setColumnWidth(3, kRightsWidth);
}

void UserList::aUjExecute()
{
    const QString code = EditUser(true, {}, this);
    if (!code.isEmpty())
        reopenOn(QStringLiteral("felhasznalo"), code);
}

void UserList::aSzerkesztExecute()
{
    if (!hasCurrentRow())
        return;
    const QString code = EditUser(false, currentText(QStringLiteral("felhasznalo")), this);
    if (!code.isEmpty())
        reopenOn(QStringLiteral("felhasznalo"), code);
}

void UserList::aTorolExecute()
{
    if (!hasCurrentRow())
        return;
    const QString code = currentText(QStringLiteral("felhasznalo"));
    if (!AskConfirm(QStringLiteral("Valóban töröljem a sort?"), QStringLiteral("Megerősítés"), this))
        return;
    UserStore store(Connection::main());
    try {
        // Deleting the one who is logged in, or the last administrator, can
        // lock the shop out of these windows: that takes a second, explicit yes.
        const AppState &b = appState();
        const bool loggedIn = b.vanbelep && currentText(QStringLiteral("felhasznalo_nev")) == b.felhasznalo_nev;
        const bool lastAdmin = currentText(QStringLiteral("rendszergazda")) == QLatin1String("I")
            && store.administratorCount() <= 1;
        QString warning;
        if (lastAdmin)
            warning = LastAdministratorWarning(true);
        else if (loggedIn)
            warning = QStringLiteral("Ez az éppen bejelentkezett felhasználó. Törlése után a következő "
                                     "indításkor nem tud belépni vele.\n\nBiztosan törli?");
        if (!warning.isEmpty() && !AskConfirm(warning, QStringLiteral("Megerősítés"), this))
            return;
        store.remove(code);
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), this);
        refresh();
        return;
    }
    const int row = grid()->currentRowIndex();
    reopen(-1);
    grid()->setCurrentRowIndex(qMin(row, model()->rowCount() - 1));
}

void ShowUserList(QWidget *parent)
{
    UserList w(parent);
    w.exec();
}

} // namespace qo
