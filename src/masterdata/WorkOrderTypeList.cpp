#include "ui/RecordSave.h"
#include "masterdata/MasterDataStore.h"
#include "masterdata/WorkOrderTypeList.h"
#include "ui/WindowKeys.h"

#include "config/AppState.h"
#include "base/Error.h"
#include "ui/Grid.h"
#include "ui/MessageBoxes.h"
#include "masterdata/WorkOrderTypeEditor.h"

#include <QAction>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace qo {

WorkOrderTypeList::WorkOrderTypeList(QWidget *parent) : SearchList(parent, Placement::Full)
{
    setObjectName(WindowKeys::kWorkOrderTypeList);
    setWindowTitle(QStringLiteral("Munkalap típusok"));
    setHeading(QStringLiteral("Munkalap típusok  "));
    const ListSql sql = MasterDataStore::workOrderTypeList();
    setQuery(sql);
    setColumns({{QStringLiteral("mlaptipus_nev"), QStringLiteral("Munkalap típus")}}, {1.0}, 44);
    setSearchColumns(sql.searchColumns, SearchKind::Like);

    aSzerkeszt = addCommand(Command::Edit, QStringLiteral("Szerkeszt"), QStringLiteral("Szerkeszt"));
    aBezar = addCommand(Command::Close, QStringLiteral("Bezár"), QStringLiteral("Bezár"));
    connect(aSzerkeszt, &QAction::triggered, this, &WorkOrderTypeList::aSzerkesztExecute);
    setToolbar({aSzerkeszt, nullptr, aBezar});
    setContextMenu({aSzerkeszt, nullptr, aBezar});

    // The printed text of the current type, under the grid.
    printedText = new QPlainTextEdit(this);
    printedText->setObjectName(QStringLiteral("DBMemo1"));
    printedText->setReadOnly(true);
    printedText->setFocusPolicy(Qt::ClickFocus);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(WindowFontSize());
    printedText->setFont(mono);
    printedText->setFixedHeight(printedText->fontMetrics().lineSpacing() * 7 + 12);
    if (auto *box = qobject_cast<QVBoxLayout *>(layout()))
        box->insertWidget(box->indexOf(grid()) + 1, printedText);

    connect(grid(), &Grid::currentRowChanged, this, &WorkOrderTypeList::showText);
    resize(560, 460);
    reopen(-1);
}

void WorkOrderTypeList::showText()
{
    printedText->setPlainText(currentText(QStringLiteral("szoveg")));
}

void WorkOrderTypeList::aSzerkesztExecute()
{
    if (!appState().torzsszerkeszt) {
        ShowError(QStringLiteral("Nincs jogosultság a művelethez."), this);
        return;
    }
    if (!hasCurrentRow())
        return; // nothing to edit: the search matched no type
    const qint64 k = EditWorkOrderType(currentKey(), this);
    if (k == -1)
        return;
    // Clearing the search box lists every type again; a box that was already
    // empty re-queries nothing by itself, hence the reopen.
    searchBox()->clear();
    reopen(k);
}

void OpenWorkOrderTypes(QWidget *parent)
{
    WorkOrderTypeList w(parent);
    w.exec();
}

qint64 EditWorkOrderType(qint64 key, QWidget *parent)
{
    if (key < 0)
        return -1;
    WorkOrderTypeEditor dlg(parent);
    return RunRecordDialog(dlg, [&] { return dlg.load(key); },
                           QStringLiteral("A munkalap típus nem található, lehet, hogy időközben törölték."),
                           [&] { return dlg.key(); });
}

} // namespace qo
