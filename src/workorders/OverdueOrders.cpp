#include "workorders/OverdueOrders.h"

#include "db/Connection.h"
#include "db/Kinds.h"
#include "export/ExportDialog.h"
#include "reports/GridPrintout.h"
#include "ui/Grid.h"
#include "ui/WindowKeys.h"
#include "workorders/WorkOrderHistory.h"
#include "workorders/WorkOrderPrice.h"
#include "workorders/WorkOrderStore.h"

#include <QAction>
#include <QLabel>

namespace qo {

bool IsOverdueOrder(const RowSet &rows, int row, const QDate &today)
{
    const QDate due = rows.toDate(row, QStringLiteral("dat_hatid"));
    return due.isValid() && due < today
        && rows.toInt(row, QStringLiteral("statusz"), 0) == int(WorkOrderStatus::Received)
        && rows.text(row, QStringLiteral("storno")) != QLatin1String("I");
}

void MarkOverdueDueDate(const RowSet &rows, int row, const QString &field, CellStyle &style)
{
    if (field == QLatin1String("dat_hatid") && IsOverdueOrder(rows, row))
        style.foreground = QColor(Qt::red);
}

UncollectedOrders::UncollectedOrders(QWidget *parent) : SearchList(parent, Placement::Full)
{
    setObjectName(WindowKeys::kUncollectedOrders);
    setWindowTitle(QStringLiteral("Nem vitték el"));
    m_days = WorkOrderStore(Connection::main()).uncollectedDays();
    setHeading(QStringLiteral("%1 napnál régebben elkészült munkalapok  ").arg(m_days));

    const ListSql sql = WorkOrderStore::uncollectedList(m_days);
    setQuery(sql);
    const QString ft = MoneyMask();
    setColumns({{QStringLiteral("munkalap"), QStringLiteral("Sorszám")},
                {QStringLiteral("ugyfel_nev"), QStringLiteral("Ügyfél")},
                {QStringLiteral("telefon"), QStringLiteral("Telefon")},
                {QStringLiteral("mlaptipus_nev"), QStringLiteral("Típus")},
                {QStringLiteral("dat_kesz"), QStringLiteral("Elkészült")},
                {QStringLiteral("fizetendo"), QStringLiteral("Fizetendő"), ft}},
               {0.10, 0.28, 0.16, 0.18, 0.13, 0.15}, 40);
    setSearchColumns(sql.searchColumns);
    model()->setStyler([](const RowSet &rows, int row, int, bool marked, CellStyle &s) {
        StyleWorkOrderRow(rows, row, marked, s);
    });

    aNyomtat = addCommand(QStringLiteral("aNyomtat"), QStringLiteral("Nyomtat"), QKeySequence(Qt::CTRL | Qt::Key_P),
                          QStringLiteral("document-print"));
    aNyomKep = addCommand(QStringLiteral("aNyomKep"), QStringLiteral("Nyom.kép"), QKeySequence(Qt::CTRL | Qt::Key_K),
                          QStringLiteral("document-print-preview"));
    aExcelbe = addCommand(QStringLiteral("aExcelbe"), QStringLiteral("Excelbe..."), QKeySequence(Qt::CTRL | Qt::Key_E),
                          QStringLiteral("x-office-spreadsheet"));
    QAction *frissit = addCommand(Command::Refresh, QStringLiteral("Frissít"));
    QAction *bezar = addCommand(Command::Close, QStringLiteral("Bezár"));
    aExcelbe->setIconText(aExcelbe->text()); // a tool button would drop the dots
    // The list as it stands, the whole of it, as every list is printed and exported.
    const auto printList = [this](bool print) {
        PrintGrid(*grid(), print, true, heading()->text().trimmed(), QStringLiteral("fizetendo"), 8,
                  QStringLiteral("Nem vitték el"), this);
    };
    connect(aNyomtat, &QAction::triggered, this, [printList] { printList(true); });
    connect(aNyomKep, &QAction::triggered, this, [printList] { printList(false); });
    connect(aExcelbe, &QAction::triggered, this, [this] { ShowExportDialog(grid(), QStringLiteral("NemVittekEl.csv"), this); });
    setToolbar({frissit, nullptr, aNyomtat, aNyomKep, nullptr, aExcelbe, nullptr, bezar});
    setContextMenu({frissit, nullptr, aNyomtat, aNyomKep, nullptr, aExcelbe, nullptr, bezar});
    resize(820, 440);
    reopen(-1);
}

void ShowUncollectedOrders(QWidget *parent)
{
    UncollectedOrders w(parent);
    w.exec();
}

} // namespace qo
