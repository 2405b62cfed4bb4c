// The examinations tab and the commands of an examination row.
#include "clients/ClientStore.h"
#include "clients/Clients.h"
#include "db/Connection.h"
#include "mainwindow/MainListPage.h"
#include "mainwindow/MainWindow.h"
#include "clients/ClientPrintouts.h"
#include "ui/Grid.h"

namespace qo {

ExamsPage::ExamsPage(MainWindow *window, Grid *grid) : MainListPage(window, grid, ClientStore::examinationList())
{
    setColumns({{QStringLiteral("vizsgalat"), QStringLiteral("Sorszám"), QStringLiteral("00000")},
                {QStringLiteral("datum"), QStringLiteral("Dátum")},
                {QStringLiteral("ugyfel_nev"), QStringLiteral("Ügyfél")},
                {QStringLiteral("anamnezisstr"), QStringLiteral("Anamnézis")},
                {QStringLiteral("diagnozisstr"), QStringLiteral("Diagnózis")}},
               {0.15, 0.15, 0.20, 0.25, 0.25}, 40);
    connect(grid, &Grid::currentRowChanged, window, &MainWindow::updateStatusBar);
}

void ExamsPage::newRecord()
{
    const qint64 client = PickClient(-1, nullptr, window());
    if (client == -1)
        return;
    const qint64 key = EditExamination(-1, client, window());
    if (key != -1)
        showSaved(key);
}

void ExamsPage::editRecord()
{
    const qint64 exam = currentKey();
    if (exam < 0)
        return; // a new examination starts from Insert, which asks for the client
    const qint64 key = EditExamination(exam, -1, window());
    if (key != -1)
        showSaved(key);
}

void ExamsPage::removeRow(qint64 key) { ClientStore(Connection::main()).markExaminationDeleted(key); }

void ExamsPage::print(bool toPrinter)
{
    const qint64 key = currentKey();
    if (key >= 0)
        PrintExamination(key, toPrinter, window());
}

} // namespace qo
