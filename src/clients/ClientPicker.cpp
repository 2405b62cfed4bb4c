#include "clients/ClientPicker.h"
#include "ui/WindowKeys.h"

#include "clients/Clients.h"
#include "clients/ClientStore.h"
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
    aTorol = addCommand(Command::Delete, QStringLiteral("Sor törlése"));
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
    // Removes the row for good; the server refuses while work orders or
    // examinations still belong to the client (the prescriptions go with it).
    deleteCurrentRow([](qint64 key) { ClientStore(Connection::main()).deleteClient(key); });
}

QString ClientPicker::deleteRefusedText() const
{
    return QStringLiteral("Az ügyfél nem törölhető, mert munkalap vagy vizsgálat tartozik hozzá.");
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
