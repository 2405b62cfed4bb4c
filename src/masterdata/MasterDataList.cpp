#include "ui/RecordSave.h"
#include "masterdata/MasterDataStore.h"
#include "db/Connection.h"
#include "masterdata/MasterDataList.h"
#include "ui/WindowKeys.h"

#include "base/Error.h"
#include "ui/MessageBoxes.h"
#include "masterdata/MasterNameEditor.h"

#include <QAction>
#include <QLineEdit>

namespace qo {

MasterDataList::MasterDataList(const QString &table, const QString &caption, bool choose, QWidget *parent)
    : SearchList(parent, Placement::Full), m_table(table), m_caption(caption), m_choose(choose)
{
    if (!IsPlainTableName(table))
        throw Error(QStringLiteral("Érvénytelen táblanév: %1").arg(table));
    setObjectName(WindowKeys::kMasterDataList);
    setWindowTitle(caption);
    setHeading(caption + QStringLiteral("  "));
    const QString name = table + QStringLiteral("_nev");
    const ListSql sql = MasterDataStore::brandList(table);
    setQuery(sql);
    setColumns({{name, caption}}, {1.0}, 44);
    setSearchColumns(sql.searchColumns, SearchKind::Words);

    aUj = addCommand(Command::New, QStringLiteral("Új sor"), QStringLiteral("Új sor"));
    aSzerkeszt = addCommand(Command::Edit, QStringLiteral("Szerkeszt"), QStringLiteral("Szerkeszt"));
    aTorol = addCommand(Command::Delete, QStringLiteral("Töröl"), QStringLiteral("Sor törlése"));
    aKeres = addCommand(QStringLiteral("aKeres"), QStringLiteral("Kereső"), QKeySequence(Qt::CTRL | Qt::Key_F),
                        QStringLiteral("edit-find"), QStringLiteral("Ugrás a keresőbe"));
    if (m_choose)
        aElfogad = addCommand(Command::Accept, QStringLiteral("Elfogad"), QStringLiteral("Elfogad"));
    aBezar = addCommand(Command::Close, QStringLiteral("Bezár"), QStringLiteral("Bezár"));
    connect(aUj, &QAction::triggered, this, &MasterDataList::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &MasterDataList::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &MasterDataList::aTorolExecute);
    connect(aKeres, &QAction::triggered, this, [this] { searchBox()->setFocus(Qt::ShortcutFocusReason); });

    if (m_choose) {
        setToolbar({aUj, aSzerkeszt, aTorol, nullptr, aElfogad, aBezar});
        setContextMenu({aUj, aSzerkeszt, aTorol, nullptr, aKeres, nullptr, aElfogad, aBezar});
    } else {
        setToolbar({aUj, aSzerkeszt, aTorol, nullptr, aBezar});
        setContextMenu({aUj, aSzerkeszt, aTorol, nullptr, aKeres, nullptr, aBezar});
    }
}

void MasterDataList::accept()
{
    if (!hasCurrentRow()) {
        ShowError(QStringLiteral("Nincs kiválasztott sor."), this);
        return;
    }
    SearchList::accept();
}

QString MasterDataList::deleteRefusedText() const
{
    return QStringLiteral("A sor nem törölhető, mert munkalapok hivatkoznak rá.");
}

void MasterDataList::aUjExecute()
{
    const qint64 k = EditMasterDataRow(-1, m_table, m_caption, this);
    if (k != -1)
        showSaved(k);
}

void MasterDataList::aSzerkesztExecute()
{
    if (!hasCurrentRow()) {
        ShowError(QStringLiteral("Nincs sor kiválasztva."), this);
        return;
    }
    const qint64 k = EditMasterDataRow(currentKey(), m_table, m_caption, this);
    if (k != -1)
        showSaved(k);
}

void MasterDataList::aTorolExecute()
{
    if (!hasCurrentRow()) {
        ShowError(QStringLiteral("Nincs sor kiválasztva."), this);
        return;
    }
    deleteCurrentRow([this](qint64 key) { MasterDataStore(Connection::main()).removeRow(m_table, key); });
}

qint64 OpenMasterDataList(qint64 initialKey, bool choose, const QString &table, const QString &caption,
                          QString *name, QWidget *parent)
{
    MasterDataList w(table, caption, choose, parent);
    w.reopen(initialKey);
    if (choose && initialKey <= 0)
        w.clearCurrentRow(); // nothing chosen yet: Enter must not pick the first row
    if (w.exec() != QDialog::Accepted || !choose || !w.hasCurrentRow())
        return -1;
    if (name)
        *name = w.currentText(table + QStringLiteral("_nev"));
    return w.currentKey();
}

qint64 EditMasterDataRow(qint64 key, const QString &table, const QString &caption, QWidget *parent)
{
    if (!IsPlainTableName(table))
        throw Error(QStringLiteral("Érvénytelen táblanév: %1").arg(table));
    MasterNameEditor dlg(table, caption.isEmpty() ? table : caption, parent);
    return RunRecordDialog(dlg, [&] { return dlg.start(key); },
                           QStringLiteral("A sor nem található, lehet, hogy időközben törölték."),
                           [&] { return dlg.key(); });
}

} // namespace qo
