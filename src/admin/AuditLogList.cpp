#include "admin/AuditLogList.h"

#include "config/AppState.h"
#include "db/SqlText.h"
#include "export/ExportDialog.h"
#include "reports/GridPrintout.h"
#include "ui/Grid.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowKeys.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace qo {

namespace {

const QDate kNoDate(2000, 1, 1); // a date field at its minimum shows blank: no limit

// The log with the client's current name; hezag marks a row whose previous
// key is missing. A derived table, so that search and sort see plain columns.
ListSql auditLogSql()
{
    return {.lines = {QStringLiteral(
                 "SELECT naplo, idopont, felhasznalo, muvelet, tabla, kulcs, ugyfel, ugyfel_nev, reszlet, hezag FROM "
                 "(SELECT n.naplo, n.idopont, n.felhasznalo, n.muvelet, n.tabla, n.kulcs, n.ugyfel, u.ugyfel_nev, "
                 "n.reszlet, IF(n.naplo > 1 AND NOT EXISTS (SELECT 1 FROM naplo p WHERE p.naplo = n.naplo - 1), "
                 "'hiányzik előtte', '') AS hezag "
                 "FROM naplo n LEFT JOIN ugyfel u ON u.ugyfel = n.ugyfel) AS x"),
             QStringLiteral("WHERE 1 = 1"), QStringLiteral("ORDER BY naplo DESC;")},
            .baseCondition = QStringLiteral("1 = 1"),
            .keyField = QStringLiteral("naplo"),
            .sortField = QStringLiteral("naplo"),
            .searchColumns = {}};
}

QDateEdit *dateField(const QString &name, QWidget *parent)
{
    auto *d = new QDateEdit(parent);
    d->setObjectName(name);
    d->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
    d->setCalendarPopup(true);
    d->setMinimumDate(kNoDate);
    d->setSpecialValueText(QStringLiteral(" "));
    d->setDate(kNoDate);
    return d;
}

} // namespace

AuditLogList::AuditLogList(QWidget *parent) : SearchList(parent, Placement::Full)
{
    setObjectName(WindowKeys::kAuditLogList);
    setWindowTitle(QStringLiteral("Napló"));
    setHeading(QStringLiteral("Napló  "));
    setQuery(auditLogSql());
    setColumns({{QStringLiteral("naplo"), QStringLiteral("Sorszám")},
                {QStringLiteral("idopont"), QStringLiteral("Időpont")},
                {QStringLiteral("felhasznalo"), QStringLiteral("Felhasználó")},
                {QStringLiteral("muvelet"), QStringLiteral("Művelet")},
                {QStringLiteral("tabla"), QStringLiteral("Tábla")},
                {QStringLiteral("kulcs"), QStringLiteral("Kulcs")},
                {QStringLiteral("ugyfel_nev"), QStringLiteral("Ügyfél")},
                {QStringLiteral("reszlet"), QStringLiteral("Részlet")},
                {QStringLiteral("hezag"), QStringLiteral("Hézag")}},
               {0.07, 0.13, 0.11, 0.08, 0.09, 0.07, 0.14, 0.21, 0.10}, 40);
    // The search fields below take the place of the one search box.
    searchBox()->hide();
    grid()->setTypeToSearch(false);
    model()->setStyler([](const RowSet &rows, int row, int, bool, CellStyle &style) {
        if (!rows.text(row, QStringLiteral("hezag")).isEmpty())
            style.background = QColor(255, 200, 200);
    });

    edtUgyfel = new QLineEdit(this);
    edtUgyfel->setObjectName(QStringLiteral("edtUgyfel"));
    edtUgyfel->setClearButtonEnabled(true);
    edtFelhasznalo = new QLineEdit(this);
    edtFelhasznalo->setObjectName(QStringLiteral("edtFelhasznalo"));
    edtFelhasznalo->setClearButtonEnabled(true);
    cmbTabla = new QComboBox(this);
    cmbTabla->setObjectName(QStringLiteral("cmbTabla"));
    cmbTabla->addItem(QStringLiteral("(mind)"), QString());
    for (const char *t : {"ugyfel", "ugyfel_sz_tavol", "ugyfel_sz_kozel", "ugyfel_sz_egyeb", "ugyfel_k", "vizsgalat",
                          "munkalap", "felhasznalo"})
        cmbTabla->addItem(QString::fromLatin1(t), QString::fromLatin1(t));
    dtTol = dateField(QStringLiteral("dtTol"), this);
    dtIg = dateField(QStringLiteral("dtIg"), this);

    auto *fields = new QHBoxLayout;
    fields->setContentsMargins(4, 2, 4, 2);
    auto labelled = [&](const QString &caption, QWidget *w, int stretch) {
        auto *l = new QLabel(caption, this);
        l->setBuddy(w);
        fields->addWidget(l);
        fields->addWidget(w, stretch);
        fields->addSpacing(8);
    };
    labelled(QStringLiteral("Ügyfél (név vagy szám)"), edtUgyfel, 3);
    labelled(QStringLiteral("Felhasználó"), edtFelhasznalo, 2);
    labelled(QStringLiteral("Tábla"), cmbTabla, 1);
    labelled(QStringLiteral("Időszak"), dtTol, 1);
    fields->addWidget(new QLabel(QStringLiteral("–"), this));
    fields->addWidget(dtIg, 1);

    lblHezag = new QLabel(QStringLiteral("A naplósorok sorszámai hézag nélkül követik egymást: egy hiányzó sorszám azt "
                                         "jelzi, hogy sort töröltek a naplóból (ritkán egy visszavont módosítás is "
                                         "hagy hézagot). Az ilyen sor utáni sort a „Hézag” oszlop jelzi."),
                          this);
    lblHezag->setObjectName(QStringLiteral("lblHezag"));
    lblHezag->setWordWrap(true);
    lblHezag->setContentsMargins(6, 0, 6, 4);

    memoReszlet = new QPlainTextEdit(this);
    memoReszlet->setObjectName(QStringLiteral("memoReszlet"));
    memoReszlet->setReadOnly(true);
    memoReszlet->setMaximumHeight(memoReszlet->fontMetrics().lineSpacing() * 6 + 12);

    if (auto *main = qobject_cast<QBoxLayout *>(layout())) {
        main->insertLayout(2, fields);
        main->insertWidget(3, lblHezag);
        main->insertWidget(5, memoReszlet); // under the grid, above the status line
    }
    setTabOrder(edtUgyfel, edtFelhasznalo);
    setTabOrder(edtFelhasznalo, cmbTabla);
    setTabOrder(cmbTabla, dtTol);
    setTabOrder(dtTol, dtIg);
    setTabOrder(dtIg, grid());

    connect(edtUgyfel, &QLineEdit::textChanged, this, &AuditLogList::filtersChanged);
    connect(edtFelhasznalo, &QLineEdit::textChanged, this, &AuditLogList::filtersChanged);
    connect(cmbTabla, &QComboBox::currentIndexChanged, this, &AuditLogList::filtersChanged);
    connect(dtTol, &QDateEdit::dateChanged, this, &AuditLogList::filtersChanged);
    connect(dtIg, &QDateEdit::dateChanged, this, &AuditLogList::filtersChanged);
    connect(grid(), &Grid::currentRowChanged, this, [this](int) { showDetail(); });

    QAction *aFrissit = addCommand(Command::Refresh, QStringLiteral("Frissít"));
    aNyomtat = addCommand(QStringLiteral("aNyomtat"), QStringLiteral("Nyomtat"), QKeySequence(Qt::CTRL | Qt::Key_P),
                          QStringLiteral("document-print"));
    aNyomKep = addCommand(QStringLiteral("aNyomKep"), QStringLiteral("Nyom.kép"), QKeySequence(Qt::CTRL | Qt::Key_K),
                          QStringLiteral("document-print-preview"));
    aExcelbe = addCommand(QStringLiteral("aExcelbe"), QStringLiteral("Excelbe..."), QKeySequence(Qt::CTRL | Qt::Key_E),
                          QStringLiteral("x-office-spreadsheet"));
    aBezar = addCommand(Command::Close, QStringLiteral("Bezár"), QStringLiteral("Bezár"));
    connect(aNyomtat, &QAction::triggered, this, [this] { printClick(true); });
    connect(aNyomKep, &QAction::triggered, this, [this] { printClick(false); });
    connect(aExcelbe, &QAction::triggered, this, [this] { ShowExportDialog(grid(), QStringLiteral("Naplo.csv"), this); });
    setToolbar({aFrissit, nullptr, aNyomtat, aNyomKep, nullptr, aExcelbe, nullptr, aBezar});
    setContextMenu({aFrissit, nullptr, aNyomtat, aNyomKep, aExcelbe, nullptr, aBezar});
    aExcelbe->setIconText(aExcelbe->text()); // a tool button would drop the dots

    resize(1100, 560);
    reopen(-1);
    showDetail();
}

QString AuditLogList::searchCondition(const QString &) const
{
    QString c = QStringLiteral("1 = 1");
    const QString client = edtUgyfel->text().trimmed();
    bool isKey = false;
    const qint64 key = client.toLongLong(&isKey);
    if (isKey)
        c += QStringLiteral(" AND ugyfel = %1").arg(key);
    else
        c += BuildLikeFilter(QStringLiteral("ugyfel_nev"), client);
    c += BuildLikeFilter(QStringLiteral("felhasznalo"), edtFelhasznalo->text().trimmed());
    const QString table = cmbTabla->currentData().toString();
    if (!table.isEmpty())
        c += QStringLiteral(" AND tabla = %1").arg(SqlQuote(table));
    if (dtTol->date() > kNoDate)
        c += QStringLiteral(" AND idopont >= %1").arg(SqlDateLiteral(dtTol->date()));
    if (dtIg->date() > kNoDate)
        c += QStringLiteral(" AND idopont < %1").arg(SqlDateLiteral(dtIg->date().addDays(1)));
    return c;
}

void AuditLogList::showEvent(QShowEvent *e)
{
    SearchList::showEvent(e);
    edtUgyfel->setFocus(Qt::OtherFocusReason); // the first search field, as the other lists' search box
}

void AuditLogList::filtersChanged()
{
    query().setWhere(searchCondition(QString()));
    reopen(-1);
    showDetail();
}

void AuditLogList::showDetail()
{
    if (!hasCurrentRow()) {
        memoReszlet->clear();
        return;
    }
    memoReszlet->setPlainText(currentText(QStringLiteral("reszlet")));
}

// What the printout lists, in words, under its title.
QString AuditLogList::filterText() const
{
    QStringList parts;
    if (!edtUgyfel->text().trimmed().isEmpty())
        parts << QStringLiteral("ügyfél: ") + edtUgyfel->text().trimmed();
    if (!edtFelhasznalo->text().trimmed().isEmpty())
        parts << QStringLiteral("felhasználó: ") + edtFelhasznalo->text().trimmed();
    if (!cmbTabla->currentData().toString().isEmpty())
        parts << QStringLiteral("tábla: ") + cmbTabla->currentData().toString();
    if (dtTol->date() > kNoDate || dtIg->date() > kNoDate)
        parts << QStringLiteral("időszak: %1 – %2")
                     .arg(dtTol->date() > kNoDate ? dtTol->date().toString(QStringLiteral("yyyy.MM.dd")) : QString(),
                          dtIg->date() > kNoDate ? dtIg->date().toString(QStringLiteral("yyyy.MM.dd")) : QString());
    return parts.isEmpty() ? QStringLiteral("Teljes napló") : parts.join(QStringLiteral("; "));
}

void AuditLogList::printClick(bool print)
{
    PrintGrid(*grid(), print, false, filterText(), QString(), 7, QStringLiteral("Napló"), this);
}

void OpenAuditLog(QWidget *parent)
{
    if (!appState().rendszergazda) {
        ShowError(QStringLiteral("Nincs jogosultság a művelethez."), parent);
        return;
    }
    AuditLogList w(parent);
    w.exec();
}

} // namespace qo
