#include "clients/ClientPicker.h"
#include "ui/WindowKeys.h"

#include "clients/Clients.h"
#include "clients/ClientPrivacy.h"
#include "clients/ClientStore.h"
#include "ui/GridModel.h"
#include "ui/MessageBoxes.h"
#include "db/Connection.h"
#include "ui/Grid.h"

#include <QAction>

namespace qo {

ClientPicker::ClientPicker(QWidget *parent) : SearchList(parent, Placement::Full)
{
    setObjectName(WindowKeys::kClientPicker);
    setWindowTitle(QStringLiteral("Ügyfél választás"));
    setHeading(QStringLiteral("Ügyfelek  "));
    const ListSql sql = ClientStore::pickerList();
    setQuery(sql);
    setColumns({{QStringLiteral("ugyfel_nev"), QStringLiteral("Ügyfél")},
                {QStringLiteral("telefon"), QStringLiteral("Telefon")},
                {QStringLiteral("emil"), QStringLiteral("E-mail")},
                {QStringLiteral("irszvaroscim"), QStringLiteral("Cím")}},
               {0.25, 0.20, 0.20, 0.35}, 40);
    setSearchColumns(sql.searchColumns);

    aFrissit = addCommand(Command::Refresh, QStringLiteral("Frissítés"));
    aUj = addCommand(Command::New, QStringLiteral("Új sor"));
    aSzerkeszt = addCommand(Command::Edit, QStringLiteral("Szerkeszt"));
    aTorol = addCommand(Command::Delete, QStringLiteral("Ügyfél törlése (GDPR)"));
    aElfogad = addCommand(Command::Accept, QStringLiteral("Elfogad"));
    aBezar = addCommand(Command::Close, QStringLiteral("Bezár"));
    connect(aUj, &QAction::triggered, this, &ClientPicker::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &ClientPicker::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &ClientPicker::aTorolExecute);
    setToolbar({aUj, aSzerkeszt, aTorol, nullptr, aElfogad, aBezar});
    setContextMenu({aFrissit, nullptr, aUj, aSzerkeszt, aTorol, nullptr, aElfogad, aBezar});
    resize(760, 460);
}

void ClientPicker::aUjExecute()
{
    const qint64 key = EditClient(-1, this);
    if (key >= 0)
        showSaved(key);
}

void ClientPicker::aSzerkesztExecute()
{
    if (!hasCurrentRow())
        return;
    const qint64 key = EditClient(currentKey(), this);
    if (key >= 0)
        showSaved(key);
}

void ClientPicker::aTorolExecute()
{
    if (!hasCurrentRow())
        return;
    // The row after it takes its place (the one before it at the end).
    const int row = grid()->currentRowIndex();
    const RowSet &held = grid()->gridModel()->rows();
    const qint64 next = row + 1 < held.rowCount() ? held.toInt(row + 1, QStringLiteral("ugyfel"), -1)
        : row > 0                                 ? held.toInt(row - 1, QStringLiteral("ugyfel"), -1)
                                                  : -1;
    if (EraseClient(currentKey(), this))
        reopen(next);
    else
        refresh();
}

namespace {

QString erasureQuestion(const ErasurePlan &p)
{
    QStringList goes{QStringLiteral("név, telefon, e-mail, cím, születési dátum, megjegyzés, keret adatai")};
    if (p.prescriptionsRemoved)
        goes << QStringLiteral("%1 recept").arg(p.prescriptionsRemoved);
    if (p.historyRemoved)
        goes << QStringLiteral("%1 korábbi recept-állapot").arg(p.historyRemoved);
    if (p.examinationsRemoved)
        goes << QStringLiteral("%1 vizsgálat").arg(p.examinationsRemoved);
    if (p.consents)
        goes << QStringLiteral("%1 hozzájárulás-bejegyzés").arg(p.consents);
    if (p.logEntries)
        goes << QStringLiteral("%1 naplóbejegyzés részletei").arg(p.logEntries);
    if (p.workOrders)
        goes << QStringLiteral("a munkalapok megjegyzése");
    QStringList stays;
    if (p.workOrders)
        stays << QStringLiteral("%1 munkalap az összegeivel (a bevételi kimutatások nem változnak)").arg(p.workOrders);
    if (p.prescriptionsKept)
        stays << QStringLiteral("%1 recept (megőrzési idő: %2 év)").arg(p.prescriptionsKept).arg(p.retentionYears);
    if (p.historyKept)
        stays << QStringLiteral("%1 korábbi recept-állapot (megőrzési idő: %2 év)").arg(p.historyKept).arg(p.retentionYears);
    if (p.examinationsKept)
        stays << QStringLiteral("%1 vizsgálat (megőrzési idő: %2 év)").arg(p.examinationsKept).arg(p.retentionYears);
    QString text = QStringLiteral("Ügyfél törlése (GDPR): %1\n\nTörlődik:\n- ").arg(p.name)
        + goes.join(QStringLiteral("\n- "));
    text += QStringLiteral("\n\nMegmarad:\n- ")
        + (stays.isEmpty() ? QStringLiteral("semmi") : stays.join(QStringLiteral("\n- ")));
    text += QStringLiteral("\n\nAz ügyfél ezután \"%1\" néven szerepel. A törlés nem vonható vissza. Folytatja?")
                .arg(ClientPrivacy::erasedName(p.client));
    return text;
}

} // namespace

bool EraseClient(qint64 client, QWidget *parent)
{
    try {
        ClientPrivacy privacy(Connection::main());
        ErasurePlan plan;
        if (!privacy.planErasure(client, plan)) {
            ShowError(QStringLiteral("Az ügyfél nem található (%1).").arg(client), parent);
            return false;
        }
        if (!AskConfirm(erasureQuestion(plan), QStringLiteral("Megerősítés"), parent))
            return false;
        privacy.erase(plan);
    } catch (const Error &e) {
        ShowError(QStringLiteral("Hiba: ") + e.message(), parent);
        return false;
    }
    return true;
}

qint64 PickClient(qint64 initialKey, QString *name, QWidget *parent)
{
    ClientPicker w(parent);
    w.reopen(initialKey);
    if (w.exec() != QDialog::Accepted)
        return -1;
    const qint64 key = w.currentKey();
    if (name)
        *name = key >= 0 ? w.currentText(QStringLiteral("ugyfel_nev")) : QString();
    return key;
}

} // namespace qo
